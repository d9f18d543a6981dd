#include "ui/widgets/name_button_fader_strip.h"

#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/widgets/button.h"
#include "ui/widgets/fader.h"
#include "ui/widgets/long_press.h"
#include "ui/widgets/strip_parts.h"
#include "ui/widgets/toggle_button.h"
#include "ui/widgets/widget_colours.h"
#include "ui/widgets/widget_fonts.h"

namespace vorante {

namespace {
constexpr QSize default_size{76, 274};
constexpr int padding = 4;
constexpr int gap = 4;
constexpr int name_height_percent = 13;
constexpr int row_height_percent = 12;
constexpr int name_px = 16;
constexpr int button_px = 12;
constexpr int button_gap = 2;
constexpr int scale_px = 10;
constexpr int lr_width = 24;
constexpr int lr_button_height = 22;
constexpr int lr_gap = 2;

}  // namespace

name_button_fader_strip::name_button_fader_strip(QWidget* parent) : fader_strip_base(parent, default_size) {
  setFont(ui_font(name_px));

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(padding, padding, padding, padding);
  column->setSpacing(gap);

  // Name and buttons get their share of the height in resizeEvent().
  name_ = strip_name_button(this);
  name_->setFont(ui_font(name_px));
  connect(name_, &QAbstractButton::clicked, this, &name_button_fader_strip::name_clicked);
  connect(new long_press(name_), &long_press::long_pressed, this, &name_button_fader_strip::name_long_pressed);

  QBoxLayout* row;
  button_row_ = bare_row(this, row, true, button_gap);
  button_row_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  m_ = strip_button(button_row_, "M", button_type::mute, true);
  s_ = strip_button(button_row_, "S", button_type::green, true);
  add_row_buttons(row, button_px, {m_, s_});
  connect(m_, &QAbstractButton::clicked, this, &name_button_fader_strip::m_clicked);
  connect(s_, &QAbstractButton::clicked, this, &name_button_fader_strip::s_clicked);

  add_fader_area(4, 4);
  fader_->set_track_offset(4);
  connect(fader_, &fader::clicked, this, &name_button_fader_strip::fader_clicked);

  // The level sits in the fader area's top-right corner, over the fader.
  readout_ = new QLabel("0.0", fader_area_);
  readout_->setFont(ui_font(scale_px));
  set_text_colour(readout_, theme::white);
  readout_->setAttribute(Qt::WA_TransparentForMouseEvents);
  fader_area_->installEventFilter(this);

  column->addWidget(name_);
  column->addWidget(button_row_);
  column->addWidget(fader_area_, 1);
}

void name_button_fader_strip::set_name(const QString& text) { name_->set_text(text); }
void name_button_fader_strip::set_mute(bool on) { m_->setChecked(on); }
void name_button_fader_strip::set_solo(bool on) { s_->setChecked(on); }

void name_button_fader_strip::show_level_text(double db) {
  const QString text = fader_level_text(db, unit_display::hidden);
  if (text == readout_->text()) return;
  readout_->setText(text);
  readout_->adjustSize();
  place_floating();
}

void name_button_fader_strip::show_lr(bool show) {
  if (!lr_box_) {
    if (!show) return;
    lr_box_ = new QWidget(fader_area_);
    auto* col = new QVBoxLayout(lr_box_);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(lr_gap);
    auto make = [&](const char* text) {
      auto* t = new toggle_button(lr_box_);
      t->set_text(text);
      t->setFont(ui_font(button_px));
      t->setFixedSize(lr_width, lr_button_height);
      col->addWidget(t);
      return t;
    };
    l_ = make("L");
    r_ = make("R");
    lr_box_->setFixedSize(lr_width, 2 * lr_button_height + lr_gap);
    connect(l_, &QAbstractButton::clicked, this, &name_button_fader_strip::l_clicked);
    connect(r_, &QAbstractButton::clicked, this, &name_button_fader_strip::r_clicked);
    place_floating();
  }
  lr_box_->setVisible(show);
  if (show) lr_box_->raise();
}

bool name_button_fader_strip::lr_shown() const { return lr_box_ && !lr_box_->isHidden(); }

void name_button_fader_strip::place_floating() {
  readout_->move(fader_area_->width() - readout_->width(), 0);
  readout_->raise();
  if (lr_box_) lr_box_->move(0, 0);
}

void name_button_fader_strip::resizeEvent(QResizeEvent* e) {
  const int inner = height() - 2 * padding;
  name_->setFixedHeight(inner * name_height_percent / 100);
  button_row_->setFixedHeight(inner * row_height_percent / 100);
  QWidget::resizeEvent(e);
}

bool name_button_fader_strip::eventFilter(QObject* watched, QEvent* e) {
  if (watched == fader_area_ && e->type() == QEvent::Resize) place_floating();
  return QWidget::eventFilter(watched, e);
}

bool is_name_button_fader_strip(const QObject* object) {
  return qobject_cast<const name_button_fader_strip*>(object) != nullptr;
}

}  // namespace vorante
