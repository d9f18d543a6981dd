#include "ui/widgets/fader_strip.h"

#include <QLabel>
#include <QVBoxLayout>
#include <cstdarg>

#include "ui/widgets/button.h"
#include "ui/widgets/fader.h"
#include "ui/widgets/level_readout.h"
#include "ui/widgets/long_press.h"
#include "ui/widgets/strip_parts.h"
#include "ui/widgets/widget_colours.h"
#include "ui/widgets/widget_fonts.h"

namespace vorante {

namespace {
constexpr QSize default_size{84, 420};
constexpr int padding = 2;
constexpr int gap = 8;
constexpr int button_height = 32;
constexpr int name_top_padding = 8;
constexpr int readout_width_percent = 90;

}  // namespace

fader_strip::fader_strip(QWidget* parent) : fader_strip_base(parent, default_size) {
  setFont(ui_font(default_text_px));

  column_ = new QVBoxLayout(this);
  column_->setContentsMargins(padding, padding, padding, padding);
  column_->setSpacing(gap);

  name_ = new QLabel("CH", this);
  name_->setAlignment(Qt::AlignCenter);
  name_->setContentsMargins(0, name_top_padding, 0, 0);
  set_text_colour(name_, theme::white);
  connect(new long_press(name_), &long_press::long_pressed, this, &fader_strip::name_long_pressed);

  mute_ = strip_button(this, "MUTE", button_type::mute, true, button_height);
  solo_ = strip_button(this, "SOLO", button_type::solo, true, button_height);

  add_fader_area(3, 1);

  column_->addWidget(name_);
  column_->addWidget(mute_);
  column_->addWidget(solo_);
  column_->addWidget(fader_area_, 1);

  connect(mute_, &QAbstractButton::clicked, this, &fader_strip::mute_clicked);
  connect(solo_, &QAbstractButton::clicked, this, &fader_strip::solo_clicked);
}

void fader_strip::add_enter() {
  if (enter_) return;
  enter_ = strip_button(this, "ENTER", button_type::blue, false, button_height);
  column_->insertWidget(column_->indexOf(name_) + 1, enter_);
  connect(enter_, &QAbstractButton::clicked, this, &fader_strip::enter_clicked);
}

void fader_strip::add_off() {
  if (off_) return;
  off_ = strip_button(this, "OFF", button_type::green, true, button_height);
  column_->insertWidget(column_->indexOf(mute_), off_);
  connect(off_, &QAbstractButton::clicked, this, &fader_strip::off_clicked);
}

void fader_strip::add_readout() {
  if (readout_) return;
  readout_ = new level_readout(fader_level_text(fader_->value()), this);
  column_->insertWidget(column_->indexOf(fader_area_) + 1, readout_, 0, Qt::AlignHCenter);
  readout_->setFixedWidth((width() - 2 * padding) * readout_width_percent / 100);
}

void fader_strip::set_name(const QString& text) {
  name_->setVisible(!text.isEmpty());
  if (!text.isEmpty()) name_->setText(text);
}

void fader_strip::set_namef(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const QString text = QString::vasprintf(format, args);
  va_end(args);
  set_name(text);
}

void fader_strip::set_mute(bool on) { mute_->setChecked(on); }
void fader_strip::set_solo(bool on) { solo_->setChecked(on); }
void fader_strip::set_off(bool on) {
  if (off_) off_->setChecked(on);
}

void fader_strip::show_level_text(double db) {
  if (readout_) readout_->set_text(fader_level_text(db));
}

void fader_strip::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  if (readout_) readout_->setFixedWidth((width() - 2 * padding) * readout_width_percent / 100);
}

}  // namespace vorante
