#include "ui/widgets/channel_strip.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

#include "ui/foundation/assign.h"
#include "ui/widgets/button.h"
#include "ui/widgets/eq_graph.h"
#include "ui/widgets/fader.h"
#include "ui/widgets/level_meter.h"
#include "ui/widgets/level_readout.h"
#include "ui/widgets/long_press.h"
#include "ui/widgets/pan_bar.h"
#include "ui/widgets/sends_panel.h"
#include "ui/widgets/strip_parts.h"
#include "ui/widgets/widget_colours.h"
#include "ui/widgets/widget_fonts.h"

namespace vorante {

namespace {

constexpr rgb565 gate_lit = 0x1FA0;
constexpr rgb565 comp_lit = 0xD040;
constexpr strip_frame_colours channel_strip_frame{0x1988, 0xD6DB, 153};
constexpr rgb565 strip_eq_colour = rgb565_from_rgb(0x21, 0x96, 0xF3);  // palette blue
constexpr int strip_eq_bands = 4;
constexpr QSize default_size{140, 272};
constexpr int padding = 6;
constexpr int gap = 4;
constexpr int right_gap = 8;
constexpr int left_stretch = 29;  // the right column takes 71 % of the width
constexpr int right_stretch = 71;
constexpr int name_percent = 15;
constexpr int button_row_percent = 12;
constexpr int readout_percent = 90;
constexpr int meter_px = 8;
constexpr int small_px = 12;
constexpr int lamp_grid_width = 32;
constexpr int lamp_gap = 3;
constexpr QSize lamp_size{14, 10};
constexpr int eq_border_alpha = 76;
constexpr int eq_radius = 4;
constexpr int eq_fill_opa = 204;
constexpr double eq_highpass_hz = 23;
constexpr int eq_highpass_code = 8;  // 12 dB Butterworth
constexpr double eq_lowpass_hz = 16000;
constexpr int eq_lowpass_code = 9;
}  // namespace

// ---- indicator_lamp ----

indicator_lamp::indicator_lamp(rgb565 lit, QWidget* parent) : QWidget(parent), colour_(lit) {
  setFixedSize(lamp_size);
}

QSize indicator_lamp::sizeHint() const { return lamp_size; }

void indicator_lamp::set_lit(bool on) {
  if (assign_changed(lit_, on)) update();
}

void indicator_lamp::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), lit_ ? to_qcolor(colour_) : QColor(Qt::black));
}

// ---- channel_strip ----

channel_strip::channel_strip(QWidget* parent)
    : framed_strip(parent, default_size, QSizePolicy::Preferred, channel_strip_frame) {
  setFont(ui_font(default_text_px));

  outer_ = new QHBoxLayout(this);
  outer_->setContentsMargins(padding, padding, padding, padding);
  outer_->setSpacing(gap);

  content_ = new QWidget(this);
  content_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  auto* content = new QHBoxLayout(content_);
  content->setContentsMargins(0, 0, 0, 0);
  content->setSpacing(gap);
  build_left(content);
  build_right(content);
  outer_->addWidget(content_, 1);

  set_stereo(false);
  watch_touches(content_);
}

void channel_strip::build_left(QHBoxLayout* content) {
  QBoxLayout* col;
  auto* left = bare_row(content_, col, false, 0);
  left->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

  QBoxLayout* meters;
  meter_row_ = bare_row(left, meters, true, 1);
  meter1_ = new level_meter(meter_row_);
  meter2_ = new level_meter(meter_row_);
  for (level_meter* m : {meter1_, meter2_}) {
    m->setFont(ui_font(meter_px));
    meters->addWidget(m);
  }
  // Meters in the upper half, the fader in the lower.
  meter_row_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
  col->addWidget(meter_row_, 1, Qt::AlignHCenter);

  fader_ = new vorante::fader(left);
  fader_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
  fader_->set_padding(2, 2);
  fader_->set_knob(fader_knob_smallest);
  fader_->set_show_labels(false);
  fader_->set_centred(true);
  fader_->set_tick_length(4);
  fader_->set_highlight_radius(8);
  col->addWidget(fader_, 1);
  content->addWidget(left, left_stretch);

  connect(fader_, &fader::value_changed, this, [this](double v) {
    // The readout follows the hand; the store's echo may be held back while dragging.
    readout_->set_text(fader_level_text(v));
    emit fader_moved(v);
  });
}

void channel_strip::build_right(QHBoxLayout* content) {
  QBoxLayout* col;
  right_ = bare_row(content_, col, false, right_gap);
  right_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

  // Name and buttons get their share of the height from size_parts().
  name_ = strip_name_button(right_);
  col->addWidget(name_);
  connect(name_, &QAbstractButton::clicked, this, &channel_strip::name_clicked);
  connect(new long_press(name_), &long_press::long_pressed, this, &channel_strip::name_long_pressed);

  // Gain, then the gate and compressor lamps in a small grid.
  QBoxLayout* info;
  info_row_ = bare_row(right_, info, true, 0);
  info_row_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  info_row_->setFont(ui_font(small_px));
  gain_ = new QLabel("GAIN\n-119.9dB", info_row_);
  gain_->setAlignment(Qt::AlignCenter);
  set_text_colour(gain_, theme::white);
  auto* lamps = new QWidget(info_row_);
  lamps->setMinimumWidth(lamp_grid_width);
  auto* grid = new QGridLayout(lamps);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(lamp_gap);
  gate_label_ = new QLabel("G", lamps);
  comp_label_ = new QLabel("C", lamps);
  gate_lamp_ = new indicator_lamp(gate_lit, lamps);
  comp_lamp_ = new indicator_lamp(comp_lit, lamps);
  for (QLabel* l : {gate_label_, comp_label_}) set_text_colour(l, theme::white);
  grid->addWidget(gate_label_, 0, 0);
  grid->addWidget(gate_lamp_, 0, 1);
  grid->addWidget(comp_label_, 1, 0);
  grid->addWidget(comp_lamp_, 1, 1);
  QBoxLayout* ms_beside;
  lamp_ms_ = bare_row(info_row_, ms_beside, true, 2);
  lamp_ms_->hide();
  info->addStretch(1);
  info->addWidget(gain_);
  info->addStretch(1);
  info->addWidget(lamps);
  info->addWidget(lamp_ms_);
  info->addStretch(1);
  col->addWidget(info_row_);

  QBoxLayout* buttons;
  button_row_ = bare_row(right_, buttons, true, 2);
  button_row_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  button_row_->setFont(ui_font(small_px));
  phantom_ = strip_button(button_row_, "48v", button_type::mute, true);
  m_ = strip_button(button_row_, "M", button_type::mute, true);
  s_ = strip_button(button_row_, "S", button_type::green, true);
  add_row_buttons(buttons, small_px, {phantom_, m_, s_});
  col->addWidget(button_row_);
  connect(phantom_, &QAbstractButton::clicked, this, &channel_strip::phantom_clicked);
  connect(m_, &QAbstractButton::clicked, this, &channel_strip::mute_clicked);
  connect(s_, &QAbstractButton::clicked, this, &channel_strip::solo_clicked);

  eq_ = new eq_graph(right_);
  eq_->set_compact(true);
  eq_->set_background(Qt::transparent);
  eq_->set_border(to_qcolor(theme::white, eq_border_alpha), 1);
  eq_->set_radius(eq_radius);
  eq_->set_colour(strip_eq_colour);
  eq_->set_outline(false);
  eq_->set_fill_opa(eq_fill_opa);
  eq_->add_highpass(eq_highpass_hz, eq_highpass_code);
  eq_->add_lowpass(eq_lowpass_hz, eq_lowpass_code);
  eq_->spread_bands(strip_eq_bands);
  // A thumbnail only: touches go to the strip, and it takes the room that is left.
  eq_->setAttribute(Qt::WA_TransparentForMouseEvents);
  eq_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  eq_->setMinimumSize(0, 0);
  col->addWidget(eq_, 1);

  QBoxLayout* pan;
  pan_row_ = bare_row(right_, pan, true, 2);
  pan_row_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  pan_ = new pan_bar(pan_row_);
  pan->addWidget(pan_);
  col->addWidget(pan_row_);
  connect(pan_, &pan_bar::value_changed, this, &channel_strip::pan_moved);

  // The readout is 90 % as wide as the column, centred.
  auto* readout_row = new QHBoxLayout;
  readout_row->setSpacing(0);
  readout_ = new level_readout(fader_level_text(fader_->value()), right_);
  readout_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  readout_row->addStretch((100 - readout_percent) / 2);
  readout_row->addWidget(readout_, readout_percent);
  readout_row->addStretch((100 - readout_percent) / 2);
  col->addLayout(readout_row);

  content->addWidget(right_, right_stretch);
}

// ---- values ----

void channel_strip::set_name(const QString& text) { name_->set_text(text); }
void channel_strip::set_name_colour(rgb565 colour) { name_->set_colour(colour); }

void channel_strip::set_gain(double db) {
  const QString text = QString::asprintf("GAIN\n%.1fdB", db);
  if (text != gain_->text()) gain_->setText(text);
}

void channel_strip::set_gate(bool on) { gate_lamp_->set_lit(on); }
void channel_strip::set_comp(bool on) { comp_lamp_->set_lit(on); }
void channel_strip::set_48v(bool on) { phantom_->setChecked(on); }
void channel_strip::set_mute(bool on) { m_->setChecked(on); }
void channel_strip::set_solo(bool on) { s_->setChecked(on); }
void channel_strip::set_pan(int value) { pan_->set_value(value); }

void channel_strip::set_level(double db) {
  fader_->set_value(db);
  readout_->set_text(fader_level_text(db));
}

// ---- layout ----

void channel_strip::set_stereo(bool on) {
  meter2_->setVisible(on);
  meter1_->show_scale(!on);
}

bool channel_strip::stereo() const { return !meter2_->isHidden(); }

void channel_strip::show_sends(bool show) {
  if (!sends_) {
    if (!show) return;
    sends_ = new sends_panel(this);
    sends_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    outer_->addWidget(sends_, 1);
    connect(sends_, &sends_panel::send_changed, this, &channel_strip::send_moved);
    watch_touches(sends_);
  }
  sends_->setVisible(show);
}

void channel_strip::set_comp_label(const QString& text) { comp_label_->setText(text); }

void channel_strip::set_ms_beside_lamps(bool on) {
  QWidget* target = on ? lamp_ms_ : button_row_;
  if (m_->parentWidget() == target) return;
  for (button* b : {m_, s_}) {
    b->setParent(target);
    target->layout()->addWidget(b);
    b->setSizePolicy(QSizePolicy::Ignored, on ? QSizePolicy::Fixed : QSizePolicy::Expanding);
    b->show();
  }
  lamp_ms_->setVisible(on);
  size_parts();
}

// The name and the button row take fixed shares of the strip's height. Set after the
// strip's own layout has run, so the columns lay out again with the new heights.
void channel_strip::size_parts() {
  const int h = std::max(0, height() - 2 * padding);
  name_->setFixedHeight(h * name_percent / 100);
  button_row_->setFixedHeight(h * button_row_percent / 100);
  if (!lamp_ms_->isHidden()) {
    const int side = lamp_size.height() * 2 + lamp_gap;
    for (button* b : {m_, s_}) b->setFixedSize(side, side);
  } else {
    for (button* b : {m_, s_}) {
      b->setMinimumSize(0, 0);
      b->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
  }
}

void channel_strip::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  size_parts();
}

void channel_strip::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) report_touch();
  QWidget::mousePressEvent(e);
}

void channel_strip::mouseReleaseEvent(QMouseEvent* e) {
  touch_reported_ = false;
  QWidget::mouseReleaseEvent(e);
}

// A press that nobody takes travels up through every parent; it is one touch all the same.
void channel_strip::report_touch() {
  if (touch_reported_) return;
  touch_reported_ = true;
  emit touched();
}

void channel_strip::watch_touches(QWidget* root) {
  root->installEventFilter(this);
  for (QWidget* w : root->findChildren<QWidget*>()) w->installEventFilter(this);
}

bool channel_strip::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
    report_touch();
  } else if (e->type() == QEvent::MouseButtonRelease) {
    touch_reported_ = false;
  } else if (e->type() == QEvent::ChildAdded) {
    // Parts made later (a rebuilt sends panel) select the strip like the rest.
    QObject* child = static_cast<QChildEvent*>(e)->child();
    if (child->isWidgetType()) watch_touches(static_cast<QWidget*>(child));
  }
  return QWidget::eventFilter(watched, e);
}

}  // namespace vorante
