#include "ui/screens/editors/edit_efx.h"

#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <tuple>

#include "app/params/banks.h"
#include "app/params/bus_editors.h"
#include "app/params/channel_state.h"
#include "app/params/convert.h"
#include "app/params/names.h"
#include "app/params/solo.h"
#include "app/protocol/session.h"
#include "ui/foundation/channel_colours.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_table.h"
#include "ui/screens/editors/bank_fader_tab.h"
#include "ui/screens/mixer/colour_picker.h"
#include "ui/screens/mixer/rename.h"
#include "ui/widgets/button.h"
#include "ui/widgets/eq_graph.h"
#include "ui/widgets/fader.h"
#include "ui/widgets/fader_strip.h"
#include "ui/widgets/level_meter.h"
#include "ui/widgets/long_press.h"
#include "ui/widgets/name_button_fader_strip.h"
#include "ui/widgets/overlay_layer.h"
#include "ui/widgets/tile.h"

namespace vorante {

using namespace editor_parts;

namespace {

constexpr int gap = parts_gap;
constexpr int name_height = 80;
constexpr int types_height = 80;
constexpr int thumb_height = 112;
constexpr int param_height = 64;
constexpr int peq_bands = 4;
constexpr int stereo_bank = 2;
constexpr int aux_bank = 3;

constexpr int code_bypass = 185;
constexpr int code_param_2 = code_fx_param_1 + 1;
constexpr int last_peq_code = 210;
constexpr int last_read_param = code_fx_param_1 + 3;


constexpr const char* efx_parts[] = {"TYPES", "PEQ", "FADER"};

}  // namespace

edit_efx_page::edit_efx_page(QWidget* parent, page_env& env)
    : send_editor_page(parent, env, page_edit_efx, kind_fx, code_fx_fader) {
  setObjectName("edit_efx");
  const auto banks = bank_choices(aux_bank + 1, stereo_bank, tr_text("STEREO"));
  QWidget* sends = build_send_area(edit_efx_send_strips, edit_efx_bank_strips, banks);
  send_channels_[edit_efx_bank_strips] = {kind_bus, main_l_bus};
  send_channels_[edit_efx_bank_strips + 1] = {kind_bus, main_r_bus};
  const std::array<QString, peq_bands> bands{tr_text("LOW"), tr_text("L MID"), tr_text("H MID"), tr_text("HIGH")};
  QWidget* peq = build_peq_tab(peq_bands, code_bypass, last_peq_code, code_fx_filters, code_fx_bands, bands);
  lay_out(build_left(), {build_types(), peq}, sends, build_right());
  connect(&refresh_timer_, &QTimer::timeout, this, [this] { refresh_memberships(); });
  show_tab(efx_tab_types);
}

// The effect block's own code of an ID, -1 for others. The band codes have no records of
// their own, so the ID's position in the block says it.
int edit_efx_page::own_code(unsigned id) const {
  if (index_ < 0) return -1;
  const unsigned first = own_id(first_fx_code);
  if (id < first || id > own_id(code_fx_value - 1)) return -1;
  return first_fx_code + static_cast<int>(id - first);
}

int edit_efx_page::stored_type() const { return env_.session.store.get(own_id(code_fx_type)); }

unsigned edit_efx_page::strip_send_id(int n) const {
  const channel_ref c = send_channels_[static_cast<std::size_t>(n)];
  if (c.kind == kind_input) return send_param_id(c.index, kind_fx, index_);
  if (c.kind == kind_bus) return bus_send_id(kind_fx, index_, c.index);
  return no_param_id;
}

bool edit_efx_page::takes_send_slot(const channel_ref& c) const { return c.kind == kind_input || c.kind == kind_bus; }

// ---- construction ----

QWidget* edit_efx_page::build_left() {
  auto* left = new QWidget(this);
  left->setFixedWidth(side_width);
  QVBoxLayout* column = column_of(left, gap);
  name_button_ = push(QString(), left, 0, false, cell_px);
  name_button_->setObjectName("channel_name");
  fix_height(name_button_, name_height);
  connect_name_button(name_button_, this, env_, kind_fx, [this] { return index_; });
  column->addWidget(name_button_);
  button* types = push(tr_text("EFFECT\nTYPES"), left, 0, false, cell_px);
  types->setObjectName("show_types");
  fix_height(types, types_height);
  connect(types, &QAbstractButton::clicked, this, [this] { show_tab(efx_tab_types); });
  column->addWidget(types);
  button* header = make_thumb_header("PEQ", left);
  connect(header, &QAbstractButton::clicked, this, [this] { show_tab(efx_tab_peq); });
  column->addWidget(header);
  peq_small_ = make_peq_thumbnail(left, peq_bands);
  framed(peq_small_)->setFixedHeight(thumb_height);
  column->addWidget(peq_small_);
  column->addStretch(1);
  return left;
}

QWidget* edit_efx_page::build_types() {
  auto* tab = new QWidget;
  QVBoxLayout* column = column_of(tab, gap);
  auto* params = new QHBoxLayout;
  for (int n = 0; n < 2; ++n) {
    auto* t = new tile(tab);
    t->setObjectName(QString("cell_param%1").arg(n + 1));
    t->set_title(QString("PARAM%1").arg(n + 1));
    t->set_value("-");
    t->setCheckable(true);
    fix_height(t, param_height);
    register_cell(t, code_fx_param_1 + n);
    params_[static_cast<std::size_t>(n)] = t;
    params->addWidget(framed(t), 2);
    fix_height(t, param_height);
  }
  tap_ = push(tr_text("TAP"), tab, 1);
  tap_->setObjectName("tap");
  fix_height(tap_, param_height);
  connect(tap_, &QAbstractButton::clicked, this, [this] { tap(QDateTime::currentMSecsSinceEpoch()); });
  params->addWidget(tap_, 1);
  column->addLayout(params);
  auto* grid_box = new QWidget(tab);
  QGridLayout* g = grid_of(grid_box);
  type_group_.setExclusive(true);
  for (int n = 0; n < effect_types_per_fx; ++n) {
    button* b = push(QString(), grid_box, 0, true, cell_px);
    b->setObjectName(QString("type_%1").arg(n + 1));
    types_[static_cast<std::size_t>(n)] = b;
    type_group_.addButton(b, n + 1);
    g->addWidget(b, n / 4, n % 4);
    connect(b, &QAbstractButton::clicked, this, [this, n] { choose_type(n + 1); });
  }
  column->addWidget(grid_box, 1);
  return tab;
}

QWidget* edit_efx_page::build_right() { return build_right_column({}); }

// ---- opening ----

void edit_efx_page::open(int index) {
  if (!is_channel(kind_fx, index)) return;
  index_ = index;
  eq_ids_ = eq_param_block(kind_fx, index_, code_fx_filters, code_fx_bands, peq_bands);
  select_cell(-1);
  bank_tab_->fill(bank_fader_tab::bank_of(kind_fx, index_));
  for (int n = 0; n < effect_types_per_fx; ++n)
    types_[static_cast<std::size_t>(n)]->set_text(
        QString::asprintf("%d. %s", n + 1, effect_type_name(effect_type_of_button(index_, n + 1)).c_str()));
  tap_->set_text(tr_text("TAP"));
  show_tap();
  on_name(-1, QString());
  meter_->set_db(meter_silent);
  const param_store& store = env_.session.store;
  for (int c = first_fx_code; c <= last_fx_code; ++c) show_code(c, store.get(own_id(c)));
  choose_bank(first_open_ ? 0 : bank_);
  first_open_ = false;
  refresh_memberships();
  start_meter();
  place_sends_panel();
}

void edit_efx_page::sends_refilled() {
  on_name(-1, QString());
  refresh_memberships();
}

// ---- tabs ----

std::span<const char* const> edit_efx_page::part_names() const { return efx_parts; }

void edit_efx_page::show_tab(int tab) {
  if (tab < efx_tab_types || tab > efx_tab_fader) return;
  show_stack_tab(tab, efx_tab_peq);
}

// ---- effect type, parameters and tap ----

universal_fader_setup edit_efx_page::setup_of(int id) const {
  const param_info p = info_of(static_cast<unsigned>(std::max(id, 0)));
  if (id < 0 || p.kind != kind_fx || (p.code != code_fx_param_1 && p.code != code_param_2))
    return send_editor_page::setup_of(id);
  universal_fader_setup s;
  s.type = p.value_type;
  s.mode = universal_mode::range;
  s.min = 0;
  s.max = p.code == code_fx_param_1 ? effect_param1_max(stored_type()) : 100;
  return s;
}

double edit_efx_page::universal_position(int id, uint16_t raw) const {
  if (id >= 0 && (param_code(static_cast<unsigned>(id)) == code_fx_param_1 || param_code(static_cast<unsigned>(id)) == code_param_2) &&
      param_kind(static_cast<unsigned>(id)) == kind_fx)
    return raw;
  return send_editor_page::universal_position(id, raw);
}

uint16_t edit_efx_page::universal_raw(int id, double value, uint16_t shown_raw) const {
  if (id >= 0 && (param_code(static_cast<unsigned>(id)) == code_fx_param_1 || param_code(static_cast<unsigned>(id)) == code_param_2) &&
      param_kind(static_cast<unsigned>(id)) == kind_fx)
    return static_cast<uint16_t>(std::clamp<long>(std::lround(value), setup_.min, setup_.max));
  return send_editor_page::universal_raw(id, value, shown_raw);
}

void edit_efx_page::show_tap() { tap_->setVisible(is_delay_type(stored_type())); }

void edit_efx_page::choose_type(int b) {
  if (index_ < 0 || b < 1 || b > effect_types_per_fx) return;
  param_store& store = env_.session.store;
  const unsigned value_id = own_id(code_fx_value);
  store.set_local(value_id, static_cast<uint16_t>(b));
  env_.session.engine.device().send_write_now(static_cast<uint16_t>(value_id), static_cast<uint16_t>(b));
  on_param(static_cast<uint16_t>(value_id), static_cast<uint16_t>(b), false);
  type_change_ = true;
  apply_effect_entry(store, index_, effect_table_entry(store, index_, b));
  for (int c = code_fx_type; c <= code_param_2; ++c) on_param(static_cast<uint16_t>(own_id(c)), store.get(own_id(c)), false);
  type_change_ = false;
  const int selected_code = selected_ >= 0 ? param_code(static_cast<unsigned>(selected_)) : -1;
  if (selected_code == code_fx_param_1 || selected_code == code_param_2) select_cell(selected_);
  show_tap();
}

void edit_efx_page::tap(int64_t now_ms) {
  if (index_ < 0) return;
  if (const std::optional<uint16_t> p1 = shared_tap_clock().tap(now_ms, stored_type()))
    env_.session.store.linked_set(own_id(code_fx_param_1), *p1);
}

// ---- encoders ----

void edit_efx_page::console_encoder(int encoder, int delta) {
  if (selected_ < 0 || selected_ == no_param_id) return;
  const unsigned id = static_cast<unsigned>(selected_);
  const int code = own_code(id);
  if (code >= 0 && !fx_encoder_moves(encoder, code)) return;
  if (code < 0 && encoder != 0) return;
  param_store& store = env_.session.store;
  const value_type type = cell_value_type(id);
  if (type == param_value_type(id)) {
    step_param(store, id, delta, step_normal);
    return;
  }
  const uint16_t stepped = step_value_of_type(type, store.get(id), delta, step_normal, 0);
  if (stepped != store.get(id)) store.linked_set(id, stepped);
}

// ---- parameter changes ----

void edit_efx_page::show_code(int code, uint16_t v) {
  switch (code) {
    case code_fx_fader: right_.vol->set_value(QString::fromStdString(value_text_of_type(value_type::fader_level, v))); return;
    case code_fx_on: right_.universal->set_mute(v == 0); return;
    case code_fx_solo_l: right_.universal->set_solo(is_solo_active(v)); return;
    case code_bypass: bypass_->setChecked(v == 0); return;
    case code_fx_filters:
    case code_fx_filters + 2: show_filter_texts(code == code_fx_filters ? 0 : 1, v); break;
    case code_fx_type: {
      if (QAbstractButton* b = type_group_.button(effect_button_of_type(index_, v))) b->setChecked(true);
      params_[0]->set_title(QString::fromStdString(effect_param1_label(v)));
      params_[1]->set_title(QString::fromStdString(effect_param2_label(v)));
      if (!type_change_) env_.session.store.request_range(own_id(code_fx_param_1), own_id(last_read_param));
      show_tap();
      return;
    }
    case code_fx_param_1:
    case code_param_2: show_cell_value(code, v); return;
    default: break;
  }
  if (in_range(code, code_fx_filters, last_peq_code)) {
    show_peq_param(code, v);
  }
}

void edit_efx_page::on_param(uint16_t id, uint16_t value, bool pushed) {
  (void)pushed;
  if (index_ < 0) return;
  const param_info p = info_of(id);
  if (const int code = own_code(id); code >= 0) show_code(code, value);
  else if (id == own_id(code_fx_value)) show_code(code_fx_value, value);
  if (p.kind == kind_input || p.kind == kind_fx) show_sends_of(id);
  if (changes_memberships(id, false)) refresh_timer_.start();
  bank_tab_->on_param(id, value);
  follow_universal(id);
}

page* create_edit_efx(QWidget* parent, page_env& env, int id) {
  (void)id;
  return new edit_efx_page(parent, env);
}

}  // namespace vorante
