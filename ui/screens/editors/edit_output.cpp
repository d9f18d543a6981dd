#include "ui/screens/editors/edit_output.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QResizeEvent>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <tuple>

#include "app/params/banks.h"
#include "app/params/bus_editors.h"
#include "app/params/channel_state.h"
#include "app/params/convert.h"
#include "app/params/editor_nav.h"
#include "app/params/levels.h"
#include "app/params/names.h"
#include "app/params/solo.h"
#include "app/protocol/session.h"
#include "ui/foundation/channel_colours.h"
#include "ui/foundation/dyn_math.h"
#include "ui/foundation/res_images.h"
#include "ui/foundation/resource_volume.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_table.h"
#include "ui/screens/editors/bank_fader_tab.h"
#include "ui/screens/editors/editor_copy.h"
#include "ui/screens/editors/editor_parts.h"
#include "ui/screens/mixer/colour_picker.h"
#include "ui/screens/mixer/rename.h"
#include "ui/widgets/button.h"
#include "ui/widgets/dyn_curves.h"
#include "ui/widgets/eq_graph.h"
#include "ui/widgets/fader.h"
#include "ui/widgets/fader_strip.h"
#include "ui/widgets/level_meter.h"
#include "ui/widgets/long_press.h"
#include "ui/widgets/name_button_fader_strip.h"
#include "ui/widgets/overlay_layer.h"
#include "ui/widgets/tile.h"
#include "ui/widgets/toggle_button.h"
#include "ui/widgets/widget_fonts.h"

namespace vorante {

using namespace editor_parts;

namespace {

constexpr int gap = parts_gap;
constexpr int select_px = 10;
constexpr int comp_curve_px = 360;
constexpr int comp_button_w = 120;
constexpr int comp_button_h = 48;
constexpr int geq_light_px = 16;

constexpr int code_delay = 67;
constexpr int code_phase = 63;
constexpr int code_geq_on = 76;
constexpr int code_peq_bypass = 77;
constexpr int code_hp_type = 79;
constexpr int code_lp_type = 81;
constexpr int code_comp_ratio = 69;
constexpr int code_comp_gain = 73;
constexpr int code_comp_threshold = 72;
constexpr int last_peq_code = 110;
constexpr int last_comp_code = 73;

// The compressor curve speaks the input channel's codes; the bus keeps the same values
// elsewhere.
constexpr std::array<std::pair<int, int>, 3> comp_curve_codes{
    {{code_comp_threshold, code_input_comp_threshold}, {code_comp_ratio, code_input_comp_ratio}, {code_comp_gain, code_input_comp_gain}}};


constexpr const char* output_parts[] = {"PEQ", "COMP", "GEQ", "FADER"};

}  // namespace

edit_output_page::edit_output_page(QWidget* parent, page_env& env)
    : send_editor_page(parent, env, page_edit_output, kind_bus, code_bus_fader) {
  setObjectName("edit_output");
  const auto banks = bank_choices(3);
  QWidget* sends = build_send_area(edit_output_send_strips, edit_output_send_strips, banks);
  std::array<QString, bus_band_count> bands;
  for (int b = 0; b < bus_band_count; ++b) bands[static_cast<std::size_t>(b)] = QString::number(b + 1);
  QWidget* peq = build_peq_tab(bus_band_count, code_peq_bypass, last_peq_code, code_bus_filters, code_bus_bands, bands);
  lay_out(build_left(), {peq, build_comp(), build_geq()}, sends, build_right());

  param_store& store = env_.session.store;
  connect(comp_large_, &dyn_curve::value_changed, this, [this, &store] {
    for (const dyn_write& w : comp_curve_writes(comp_large_->model()))
      for (const auto& [bus_code, curve_code] : comp_curve_codes)
        if (w.code == curve_code) store.linked_set(own_id(bus_code), w.raw);
  });

  connect(&refresh_timer_, &QTimer::timeout, this, [this] { refresh_groups(); });
  show_tab(output_tab_peq);
}

unsigned edit_output_page::strip_send_id(int n) const {
  const channel_ref c = send_channels_[static_cast<std::size_t>(n)];
  return c.kind == 0 ? no_param_id : bus_send_id(c.kind, c.index, index_);
}

bool edit_output_page::takes_send_slot(const channel_ref& c) const { return c.kind != kind_bus && c.kind != kind_dca; }

// ---- construction ----

QWidget* edit_output_page::build_left() {
  auto* left = new QWidget(this);
  left->setFixedWidth(side_width);
  QVBoxLayout* column = column_of(left, gap);

  auto* row1 = new QHBoxLayout;
  row1->setSpacing(gap);
  delay_ = new tile(left);
  delay_->setObjectName("cell_delay");
  delay_->set_title(tr_text("DELAY"));
  delay_->set_value("0ms");
  delay_->setCheckable(true);
  register_cell(delay_, code_delay);
  phase_ = make_phase_cell(left, phase_icon_);
  connect(phase_, &QAbstractButton::clicked, this, [this] { toggle_code(code_phase); });
  row1->addWidget(framed(delay_), 1);
  row1->addWidget(framed(phase_), 1);
  auto* row1_box = new QWidget(left);
  row1_box->setMaximumHeight(row_height);
  row1->setContentsMargins(0, 0, 0, 0);
  row1_box->setLayout(row1);
  column->addWidget(row1_box, 1);

  auto* row2_box = new QWidget(left);
  row2_box->setMaximumHeight(row_height);
  QHBoxLayout* row2 = row_of(row2_box, gap);
  button* geq = push("GEQ", row2_box, 0, false, cell_px);
  geq->setObjectName("show_geq");
  connect(geq, &QAbstractButton::clicked, this, [this] { show_tab(output_tab_geq); });
  name_button_ = push(QString(), row2_box, 0, false, cell_px);
  name_button_->setObjectName("channel_name");
  connect_name_button(name_button_, this, env_, kind_bus, [this] { return index_; });
  row2->addWidget(geq, 1);
  row2->addWidget(name_button_, 1);
  column->addWidget(row2_box, 1);

  auto thumbnail = [&](const char* title, int tab, QWidget* body) {
    button* header = make_thumb_header(title, left);
    connect(header, &QAbstractButton::clicked, this, [this, tab] { show_tab(tab); });
    column->addWidget(header);
    body->setAttribute(Qt::WA_TransparentForMouseEvents);
    column->addWidget(framed(body), 2);
  };
  peq_small_ = make_peq_thumbnail(left, bus_band_count);
  thumbnail("PEQ", output_tab_peq, peq_small_);
  comp_small_ = make_curve<comp_curve>(left, comp_colour);
  thumbnail("COMP", output_tab_comp, comp_small_);
  return left;
}

QWidget* edit_output_page::build_comp() {
  auto* tab = new QWidget;
  QHBoxLayout* row = row_of(tab, gap);
  comp_large_ = make_curve<comp_curve>(tab, comp_colour, "comp_curve");
  comp_large_->setFixedSize(comp_curve_px, comp_curve_px);
  row->addWidget(comp_large_, 0, Qt::AlignTop);
  auto* grid_box = new QWidget(tab);
  QGridLayout* g = grid_of(grid_box);
  // Fixed, not ignored: the grid's size hint then counts the buttons' height, and the tab,
  // which places the grid at that hint, leaves every row its button.
  auto sized = [](button* b) {
    b->setFixedSize(comp_button_w, comp_button_h);
    b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return b;
  };
  comp_on_ = sized(push(tr_text("OFF"), grid_box, 4, true));
  comp_on_->setObjectName("comp_on");
  connect(comp_on_, &QAbstractButton::clicked, this, [this] { toggle_code(code_bus_comp_on); });
  button* reset = sized(push(tr_text("RESET"), grid_box, 0));
  reset->setObjectName("comp_reset");
  connect(reset, &QAbstractButton::clicked, this, [this] { write_defaults(code_bus_comp_on, last_comp_code); });
  g->addWidget(comp_on_, 0, 0);
  g->addWidget(reset, 0, 1);
  add_comp_cells(g, grid_box, {code_comp_gain, code_comp_threshold, code_comp_ratio, 70, 71},
                 [&](int code) { return sized(grid_cell(grid_box, code, "0.0dB")); });
  g->setRowStretch(7, 1);
  row->addWidget(grid_box, 0, Qt::AlignTop);
  row->addStretch(1);
  return tab;
}

QWidget* edit_output_page::build_geq() {
  auto* tab = new QWidget;
  QVBoxLayout* column = column_of(tab, gap);
  column->addWidget(plain_label(tr_text("GRAPHIC EQUALIZER"), tab, cell_px));
  auto* box = new panel(edit_output_geq_panel, tab);
  box->setObjectName("geq_panel");
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(gap, gap, gap, gap);
  row->setSpacing(2);
  auto scale = [&] {
    auto* s = new QVBoxLayout;
    s->addSpacing(header_height);
    const char* marks[] = {"12", "0", "-12"};
    for (int n = 0; n < 3; ++n) {
      s->addWidget(plain_label(marks[n], box, select_px), 0, n == 0 ? Qt::AlignTop : n == 1 ? Qt::AlignVCenter : Qt::AlignBottom);
      if (n < 2) s->addStretch(1);
    }
    row->addLayout(s);
  };
  scale();
  for (int b = 0; b < edit_output_geq_bands; ++b) {
    auto* band = new QVBoxLayout;
    band->setSpacing(0);
    QLabel* label = plain_label("Hz", box, select_px);
    label->setFixedHeight(header_height);
    geq_labels_[static_cast<std::size_t>(b)] = label;
    auto* f = new fader(box);
    f->setObjectName(QString("geq_%1").arg(b));
    f->set_range(geq_slider_min, geq_slider_max);
    f->set_knob("res/common/img_slider_small.png");
    f->set_value(0);
    f->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
    geq_[static_cast<std::size_t>(b)] = f;
    connect(f, &fader::value_changed, this, [this, b](double v) { geq_moved(b, static_cast<int>(std::lround(v))); });
    band->addWidget(label);
    band->addWidget(f, 1);
    row->addLayout(band, 1);
  }
  scale();
  column->addWidget(box, 1);

  auto* buttons = new QHBoxLayout;
  button* reset = push(tr_text("RESET"), tab, 1);
  reset->setObjectName("geq_reset");
  fix_height(reset, bank_button_h);
  connect(reset, &QAbstractButton::clicked, this, [this] {
    param_store& s = env_.session.store;
    s.linked_set(own_id(code_geq_on), s.default_of(own_id(code_geq_on)));
    write_defaults(code_bus_graphic_bands, last_bus_code);
  });
  geq_on_ = push(tr_text("OFF"), tab, 4, false);
  geq_on_->setObjectName("geq_on");
  fix_height(geq_on_, bank_button_h);
  auto* on_row = new QHBoxLayout(geq_on_);
  on_row->setContentsMargins(gap * 2, 0, 0, 0);
  geq_light_ = new panel(edit_output_geq_off, geq_on_);
  geq_light_->setObjectName("geq_light");
  geq_light_->setFixedSize(geq_light_px, geq_light_px);
  geq_light_->setAttribute(Qt::WA_TransparentForMouseEvents);
  on_row->addWidget(geq_light_, 0, Qt::AlignLeft | Qt::AlignVCenter);
  on_row->addStretch(1);
  connect(geq_on_, &QAbstractButton::clicked, this, [this] { toggle_code(code_geq_on); });
  // Both ignore their size hints: without stretch factors ON would take the whole row.
  buttons->addWidget(reset, 1);
  buttons->addWidget(geq_on_, 1);
  column->addLayout(buttons);
  return tab;
}

QWidget* edit_output_page::build_right() {
  return build_right_column([this](QGridLayout* g, int& row, QWidget* box) {
    const link_copy_paste lcp = add_link_copy_paste(g, row, box, "AUX1&2");
    link_ = lcp.link;
    connect(link_, &QAbstractButton::clicked, this, [this] { press_link(); });
    connect(lcp.copy, &QAbstractButton::clicked, this, [this] { press_copy(); });
    connect(lcp.paste, &QAbstractButton::clicked, this, [this] { press_paste(); });
  });
}

// ---- opening ----

void edit_output_page::open(int index) {
  if (!is_channel(kind_bus, index)) return;
  index_ = index;
  eq_ids_ = eq_param_block(kind_bus, index_, code_bus_filters, code_bus_bands, bus_band_count);
  select_cell(-1);
  bank_tab_->fill(bank_fader_tab::bank_of(kind_bus, index_));
  const bool main = index_ >= main_l_bus;
  if (main && current_tab() == output_tab_fader) show_tab(output_tab_peq);
  right_.settings->setVisible(!main);
  if (main) {
    link_->set_text(QString());
  } else {
    const int even = index_ & ~1;
    link_->set_text(QString::asprintf("AUX%d&%d", channel_display_number(kind_bus, even) + 1,
                                      channel_display_number(kind_bus, even + 1) + 1));
  }
  on_name(-1, QString());
  meter_->set_db(meter_silent);
  const param_store& store = env_.session.store;
  for (int c = first_bus_code; c <= last_bus_code; ++c) show_code(c, store.get(own_id(c)));
  choose_bank(first_open_ ? 0 : bank_);
  first_open_ = false;
  refresh_groups();
  on_param(output_stereo_bits_id, store.get(output_stereo_bits_id), false);
  start_meter();
  place_sends_panel();
}

// ---- tabs ----

std::span<const char* const> edit_output_page::part_names() const { return output_parts; }

void edit_output_page::show_tab(int tab) {
  if (tab < output_tab_peq || tab > output_tab_fader) return;
  if (tab == output_tab_fader && index_ >= main_l_bus) return;
  // The compressor keeps what was shown; the other tabs decide.
  show_stack_tab(tab, output_tab_comp);
}

// ---- sends on faders ----

std::function<void()> edit_output_page::lr_action(int strip) {
  return [this, strip] { send_lr(strip); };
}

void edit_output_page::sends_refilled() {
  on_name(-1, QString());
  refresh_groups();
}

void edit_output_page::send_lr(int n) {
  const channel_ref c = send_channels_[static_cast<std::size_t>(n)];
  name_button_fader_strip* s = sends_[static_cast<std::size_t>(n)];
  if (c.kind != kind_input || index_ >= aux_send_count || !s->l_button() || !s->r_button()) return;
  write_send_lr(env_.session.store, c.index, index_, s->l_button()->isChecked(), s->r_button()->isChecked(),
                bus_send_none_mode);
  refresh_groups();
}

// ---- the user's actions ----

void edit_output_page::geq_moved(int band, int slider) {
  if (index_ < 0 || band < 0 || band >= edit_output_geq_bands) return;
  geq_drag_ = true;
  env_.session.store.linked_set(own_id(geq_gain_code(band)), geq_raw_of_slider(slider));
  geq_drag_ = false;
}

void edit_output_page::press_link() {
  toggle_bus_link(env_.session.store, index_);
  link_->setChecked(stereo_bit(env_.session.store, kind_bus, index_));
}

void edit_output_page::press_copy() {
  if (index_ < main_l_bus) show_copy_outcome(env_.nav, kind_bus, index_, press_copy_bus(editor_clipboard(), index_));
}

void edit_output_page::press_paste() {
  if (index_ < main_l_bus) show_paste_outcome(env_.nav, press_paste_bus(env_.session.store, editor_clipboard(), index_));
}

void edit_output_page::console_key(int key) {
  if (key == copy_light_key) press_copy();
  else if (key == paste_light_key) press_paste();
}

void edit_output_page::console_encoder(int encoder, int delta) {
  if (selected_ < 0 || selected_ == no_param_id) return;
  param_store& store = env_.session.store;
  const param_info p = info_of(static_cast<unsigned>(selected_));
  if (p.kind == kind_bus) {
    if (bus_encoder_moves(encoder, p.code)) step_param(store, static_cast<unsigned>(selected_), delta, step_normal);
    return;
  }
  // A channel's send: the input editor's rules, the right member's level included.
  const int shown = encoder_step(store, p.kind == kind_input ? p.index : -1, encoder, selected_, delta);
  if (shown >= 0 && shown != selected_) on_param(static_cast<uint16_t>(shown), store.get(static_cast<unsigned>(shown)), false);
}

// ---- parameter changes ----

void edit_output_page::show_code(int code, uint16_t v) {
  const value_type type = param_value_type(own_id(code));
  switch (code) {
    case code_bus_fader: right_.vol->set_value(QString::fromStdString(value_text_of_type(value_type::fader_level, v))); return;
    case code_delay: show_cell_value(code, v); return;
    case code_phase: show_phase_icon(phase_icon_, v); return;
    case code_bus_on: right_.universal->set_mute(v == 0); return;
    case code_bus_comp_on: show_dyn_switch(comp_on_, *comp_small_, *comp_large_, v != 0); return;
    case code_bus_solo_l:
    case code_bus_solo_r:
      if ((code == code_bus_solo_r) == (index_ == main_r_bus)) right_.universal->set_solo(is_solo_active(v));
      return;
    case code_geq_on:
      geq_on_->set_text(tr_text(v != 0 ? "ON" : "OFF"));
      geq_light_->set_background(v != 0 ? edit_output_geq_on : edit_output_geq_off);
      return;
    case code_peq_bypass: bypass_->setChecked(v == 0); return;
    case code_hp_type:
    case code_lp_type: show_filter_texts(code == code_hp_type ? 0 : 1, v); break;
    default: break;
  }
  if (in_range(code, code_comp_ratio, code_comp_gain)) {
    show_cell_value(code, v);
    for (const auto& [bus_code, curve_code] : comp_curve_codes)
      if (bus_code == code) {
        comp_small_->take_param(curve_code, v);
        comp_large_->take_param(curve_code, v);
      }
    return;
  }
  if (in_range(code, code_hp_type, last_peq_code)) {
    show_peq_param(code, v);
    return;
  }
  if (const int band = geq_band_of(code); band >= 0) {
    if (type == value_type::geq_frequency)
      geq_labels_[static_cast<std::size_t>(band)]->setText(QString::fromStdString(value_text_of_type(type, v)));
    else if (type == value_type::geq_gain && !geq_drag_)
      geq_[static_cast<std::size_t>(band)]->set_value(geq_slider_of_raw(v));
  }
}

void edit_output_page::on_param(uint16_t id, uint16_t value, bool pushed) {
  (void)pushed;
  if (index_ < 0) return;
  const param_info p = info_of(id);
  if (p.kind == kind_bus && p.index == index_ && p.code <= last_bus_code) show_code(p.code, value);
  if (p.kind == kind_input || p.kind == kind_fx) show_sends_of(id);
  if (id == output_stereo_bits_id) link_->setChecked(stereo_bit(env_.session.store, kind_bus, index_));
  if (changes_memberships(id, true)) refresh_timer_.start();
  bank_tab_->on_param(id, value);
  follow_universal(id);
}

// ---- refreshes ----

void edit_output_page::refresh_groups() {
  refresh_memberships();
  const param_store& store = env_.session.store;
  for (std::size_t n = 0; n < sends_.size(); ++n) {
    const channel_ref c = send_channels_[n];
    name_button_fader_strip* s = sends_[n];
    const bool lr = c.kind == kind_input && index_ < aux_send_count && is_fixed_stereo_left(kind_input, c.index);
    s->show_lr(lr);
    if (lr && s->l_button() && s->r_button()) show_send_mode(*s, send_mode(store, c.index, index_));
    show_send(static_cast<int>(n));
  }
}

page* create_edit_output(QWidget* parent, page_env& env, int id) {
  (void)id;
  return new edit_output_page(parent, env);
}

}  // namespace vorante
