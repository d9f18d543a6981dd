#include "ui/screens/mixer/strips_page_main.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include "app/core/translate.h"
#include "app/params/channel_state.h"
#include "app/params/convert.h"
#include "app/params/copy.h"
#include "app/params/solo.h"
#include "app/protocol/session.h"
#include "ui/pages/navigator.h"
#include "ui/widgets/box_cache.h"
#include "ui/widgets/button.h"
#include "ui/widgets/fader.h"
#include "ui/widgets/level_readout.h"
#include "ui/widgets/strip_parts.h"
#include "ui/widgets/widget_colours.h"
#include "ui/widgets/widget_fonts.h"
#include "ui/widgets/ui_text.h"

namespace vorante {

namespace {

constexpr int main_section_width = 180;

constexpr rgb565 section_background = 0x1106;
constexpr int section_radius = 4;
constexpr int section_padding = 6;
constexpr int section_gap = 6;
constexpr int link_height_percent = 8;
constexpr int button_height = 36;
constexpr int title_px = 20;
constexpr int small_px = 16;
constexpr int scale_px = 10;

constexpr std::array<int, 2> main_buses{main_l_bus, main_r_bus};
// Each side solos on its own feed: MAIN L on its left feed, MAIN R on its right one.
constexpr std::array<int, 2> solo_codes{code_bus_solo_l, code_bus_solo_r};

unsigned fader_id(int side) { return param_id(kind_bus, main_buses[static_cast<size_t>(side)], code_fader); }
unsigned on_id(int side) { return param_id(kind_bus, main_buses[static_cast<size_t>(side)], code_on); }
unsigned solo_feed_id(int side) {
  return param_id(kind_bus, main_buses[static_cast<size_t>(side)], solo_codes[static_cast<size_t>(side)]);
}

}  // namespace

strips_main_section::strips_main_section(page_env& env, QWidget* parent) : QWidget(parent), env_(env) {
  setObjectName("main_section");
  setFixedWidth(main_section_width);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(section_padding, section_padding, section_padding, section_padding);
  column->setSpacing(section_gap);

  title_ = new QLabel(tr_text("MAIN"), this);
  title_->setObjectName("main_title");
  title_->setFont(ui_font(title_px));
  title_->setAlignment(Qt::AlignCenter);
  title_->setCursor(Qt::PointingHandCursor);
  set_text_colour(title_, theme::white);
  title_->installEventFilter(this);
  column->addWidget(title_);

  link_ = strip_button(this, tr_text("LINK L&R"), button_type::green, true);
  link_->setObjectName("main_link");
  link_->setFont(ui_font(small_px));
  link_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  connect(link_, &QAbstractButton::clicked, this, [this] { toggle_link(); });
  column->addWidget(link_);

  auto* row = new QHBoxLayout;
  row->setSpacing(section_gap);
  row->addWidget(build_side(0), 1);
  row->addWidget(build_side(1), 1);
  column->addLayout(row, 1);
}

QWidget* strips_main_section::build_side(int side) {
  auto* w = new QWidget(this);
  auto* col = new QVBoxLayout(w);
  col->setContentsMargins(0, 0, 0, 0);
  col->setSpacing(section_gap);
  side_parts& parts = sides_[static_cast<size_t>(side)];

  parts.mute = strip_button(w, "M", button_type::mute, true, button_height);
  parts.solo = strip_button(w, "S", button_type::green, true, button_height);
  for (button* b : {parts.mute, parts.solo}) {
    b->setFont(ui_font(small_px));
    col->addWidget(b);
  }
  parts.mute->setObjectName(side == 0 ? "main_l_mute" : "main_r_mute");
  parts.solo->setObjectName(side == 0 ? "main_l_solo" : "main_r_solo");

  parts.level = new vorante::fader(w);
  parts.level->setObjectName(side == 0 ? "main_l_fader" : "main_r_fader");
  parts.level->setFont(ui_font(scale_px));
  parts.level->set_padding(2, 2);
  parts.level->set_knob(fader_knob_small);
  parts.level->set_show_labels(true);
  parts.level->set_centred(true);
  parts.level->set_tick_length(3);
  parts.level->set_tick_gap(1);
  parts.level->set_highlight_radius(8);
  parts.level->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
  col->addWidget(parts.level, 1);

  parts.readout = new level_readout("0dB", w);
  parts.readout->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  col->addWidget(parts.readout);

  const int bus = main_buses[static_cast<size_t>(side)];
  connect(parts.mute, &QAbstractButton::clicked, this, [this, side] {
    param_store& store = env_.session.store;
    store.linked_set(on_id(side), store.get(on_id(side)) == 0 ? 1 : 0);
    redraw_mute(side);
  });
  connect(parts.solo, &QAbstractButton::clicked, this, [this, side, bus](bool on) {
    solo_write(env_.session.store, kind_bus, bus, on);
    redraw_solo(side);
  });
  connect(parts.level, &fader::value_changed, this, [this, side](double db) {
    const uint16_t raw = to_raw(value_type::fader_level, db);
    sides_[static_cast<size_t>(side)].readout->set_text(QString::fromStdString(value_text_of_type(value_type::fader_level, raw)));
    env_.session.store.linked_set(fader_id(side), raw);
  });
  return w;
}

void strips_main_section::toggle_link() {
  param_store& store = env_.session.store;
  if (stereo_bit(store, kind_bus, main_l_bus)) {
    set_stereo_bit(store, kind_bus, main_l_bus, false);
  } else {
    // Linking makes MAIN R a copy of MAIN L first, so the pair starts out alike.
    copy_bus(store, main_r_bus, main_l_bus);
    set_stereo_bit(store, kind_bus, main_l_bus, true);
  }
  redraw_link();
}

redraw_outcome strips_main_section::redraw_param(unsigned id) {
  if (id == output_stereo_bits_id) {
    redraw_link();
    return redraw_outcome::shown;
  }
  for (int side = 0; side < 2; ++side) {
    if (id == fader_id(side)) return redraw_fader(side);
    if (id == on_id(side)) {
      redraw_mute(side);
      return redraw_outcome::shown;
    }
    if (id == solo_feed_id(side)) {
      redraw_solo(side);
      return redraw_outcome::shown;
    }
  }
  return redraw_outcome::ignored;
}

void strips_main_section::redraw_all() {
  for (int side = 0; side < 2; ++side) {
    redraw_fader(side);
    redraw_mute(side);
    redraw_solo(side);
  }
  redraw_link();
}

void strips_main_section::redraw_mute(int side) {
  sides_[static_cast<size_t>(side)].mute->setChecked(env_.session.store.get(on_id(side)) == 0);
}

void strips_main_section::redraw_solo(int side) {
  sides_[static_cast<size_t>(side)].solo->setChecked(is_solo_active(env_.session.store.get(solo_feed_id(side))));
}

redraw_outcome strips_main_section::redraw_fader(int side) {
  side_parts& parts = sides_[static_cast<size_t>(side)];
  if (parts.level->dragging()) return redraw_outcome::held;
  const unsigned id = fader_id(side);
  const param_store& store = env_.session.store;
  parts.level->set_value(to_physical(value_type::fader_level, store.get(id)));
  parts.readout->set_text(QString::fromStdString(value_text(store, id)));
  return redraw_outcome::shown;
}

void strips_main_section::redraw_link() { link_->setChecked(stereo_bit(env_.session.store, kind_bus, main_l_bus)); }

void strips_main_section::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(QPoint(0, 0), rounded_box(size(), {section_background, section_background, true, 0, 0, 0,
                                                 section_radius}));
}

void strips_main_section::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  link_->setFixedHeight(std::max(button_height, height() * link_height_percent / 100));
}

bool strips_main_section::eventFilter(QObject* watched, QEvent* e) {
  if (watched == title_ && e->type() == QEvent::MouseButtonRelease) {
    auto* m = static_cast<QMouseEvent*>(e);
    if (m->button() == Qt::LeftButton && title_->rect().contains(m->position().toPoint()))
      env_.nav.open_editor(kind_bus, main_l_bus);
    return true;
  }
  if (watched == title_ && e->type() == QEvent::MouseButtonPress) return true;
  return QWidget::eventFilter(watched, e);
}

}  // namespace vorante
