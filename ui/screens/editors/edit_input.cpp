#include "ui/screens/editors/edit_input.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/core/translate.h"
#include "app/params/banks.h"
#include "app/params/channel_state.h"
#include "app/params/convert.h"
#include "app/params/editor_nav.h"
#include "app/params/names.h"
#include "app/params/solo.h"
#include "app/protocol/session.h"
#include "ui/foundation/channel_colours.h"
#include "ui/foundation/res_images.h"
#include "ui/foundation/resource_volume.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_table.h"
#include "ui/screens/editors/bank_fader_tab.h"
#include "ui/screens/editors/editor_copy.h"
#include "ui/screens/editors/editor_parts.h"
#include "ui/widgets/button.h"
#include "ui/widgets/dyn_curves.h"
#include "ui/widgets/dyn_curves_binding.h"
#include "ui/widgets/eq_graph.h"
#include "ui/widgets/fader.h"
#include "ui/widgets/fader_strip.h"
#include "ui/widgets/gr_meter.h"
#include "ui/widgets/level_meter.h"
#include "ui/widgets/name_button_fader_strip.h"
#include "ui/widgets/pan_bar.h"
#include "ui/widgets/tile.h"
#include "ui/widgets/toast.h"
#include "ui/widgets/toggle_button.h"
#include "ui/widgets/ui_text.h"

namespace vorante {

using namespace editor_parts;

namespace {

constexpr int gap = 4;
constexpr int left_rows_stretch = 2;
constexpr int left_thumbs_stretch = 5;
constexpr int first_input_record_source = 2783;
constexpr int first_playback_destination = 2799;
constexpr int last_recorder_id = 2862;
constexpr int recorder_tracks = 16;
constexpr int comp_meter_in_base = 15;
constexpr int comp_meter_out_base = 28;

QString qstring(const std::string& s) { return QString::fromStdString(s); }


int8_t byte_of(uint16_t word, int byte) { return static_cast<int8_t>(byte ? word >> 8 : word & 0xFF); }

bool is_band_code(int code) { return code > code_input_bands && code < code_input_bands + 1 + codes_per_band * input_band_count && (code - code_input_bands) % codes_per_band != 0; }

constexpr const char* input_parts[] = {"OVERVIEW", "PEQ", "GATE", "COMP", "PHANTOM", "FADER"};

}  // namespace

edit_input_page::edit_input_page(QWidget* parent, page_env& env) : page(parent, page_edit_input), env_(env) {
  setObjectName("edit_input");
  const editor_frame frame = make_editor_frame(this, gap);
  QHBoxLayout* top = frame.top;

  left_ = new QWidget(this);
  left_->setFixedWidth(side_width);
  left_layout_ = column_of(left_, gap);
  left_layout_->addWidget(build_left_rows(), left_rows_stretch);
  left_layout_->addWidget(build_thumbnails(), left_thumbs_stretch);
  top->addWidget(left_);
  top->addWidget(build_channel_list());

  stack_ = new QStackedWidget(this);
  stack_->setObjectName("detail_stack");
  stack_->addWidget(build_overview());
  stack_->addWidget(build_peq());
  stack_->addWidget(build_gate());
  stack_->addWidget(build_comp());
  stack_->addWidget(build_phantom());
  bank_tab_ = new bank_fader_tab(env_.session.store, env_.session.engine.names());
  stack_->addWidget(bank_tab_);
  top->addWidget(stack_, 1);

  auto* meter_box = new QWidget(this);
  QHBoxLayout* meter_row = row_of(meter_box, 2);
  for (std::size_t n = 0; n < meters_.size(); ++n) {
    meters_[n] = make_meter(meter_box);
    meters_[n]->setObjectName(QString("channel_meter_%1").arg(n));
    meter_row->addWidget(meters_[n]);
  }
  top->addWidget(meter_box);
  QWidget* sends = build_sends();
  finish_editor_frame(frame, sends, build_right_column());

  connect_peq_drags(peq_large_, this, code_input_filters, code_input_bands, input_band_count,
                    [this](int code, uint16_t raw) { env_.session.store.linked_set(input_id(code), raw); });
  write_comp_drags(*comp_large_, [this] { return index_; }, env_.session.store);
  write_gate_drags(*gate_large_, [this] { return index_; }, env_.session.store);

  refresh_timer_.setSingleShot(true);
  refresh_timer_.setInterval(timer_ms);
  connect(&refresh_timer_, &QTimer::timeout, this, [this] {
    refresh_groups();
    refresh_colours();
  });
  recorder_timer_.setSingleShot(true);
  recorder_timer_.setInterval(timer_ms);
  connect(&recorder_timer_, &QTimer::timeout, this, [this] { refresh_recorder(); });

  show_tab(input_tab_overview);
}

unsigned edit_input_page::input_id(int code) const { return param_id(kind_input, std::max(index_, 0), code); }

unsigned edit_input_page::shown_id(unsigned id) const { return shown_param_id(env_.session.store, index_, id); }

QAbstractButton* edit_input_page::cell(int code) const {
  const auto it = cells_.find(static_cast<int>(input_id(code)));
  return it == cells_.end() ? nullptr : it->second;
}

void edit_input_page::register_cell(QAbstractButton* b, int id) {
  // Cells are keyed by the ID of channel 0 at construction; open() re-keys them.
  cells_[id] = b;
  b->setProperty("cell_code", param_code(static_cast<unsigned>(id)));
  connect(b, &QAbstractButton::clicked, this, [this, b] {
    const int code = b->property("cell_code").toInt();
    select_cell(static_cast<int>(input_id(code)));
  });
}

int edit_input_page::current_tab() const { return stack_->currentIndex(); }

// ---- opening ----

void edit_input_page::open(int index) {
  if (!is_channel(kind_input, index)) return;
  if (current_tab() == input_tab_phantom && phantom_return_ >= 0) {
    show_tab(phantom_return_);
    phantom_return_ = -1;
  }
  // The selection is the old channel's: let go of it before the cells move on.
  select_cell(-1);
  index_ = index;
  // The cells follow the channel.
  std::map<int, QAbstractButton*> rekeyed;
  for (auto& [id, b] : cells_) rekeyed[static_cast<int>(input_id(b->property("cell_code").toInt()))] = b;
  cells_ = std::move(rekeyed);
  eq_ids_ = eq_param_block(kind_input, index_, code_input_filters, code_input_bands, input_band_count);

  show_names();
  hiz_->setVisible(index < 2);
  const bool mono = index < 16;
  for (QWidget* w : {static_cast<QWidget*>(phantom_), static_cast<QWidget*>(gain_), mono_column_,
                     static_cast<QWidget*>(link_), static_cast<QWidget*>(copy_), static_cast<QWidget*>(paste_)})
    w->setVisible(mono);
  for (QWidget* w : mono_titles_) w->setVisible(mono);
  meters_[1]->setVisible(!mono);
  // A new channel's meters start from silence, not from the last one's levels.
  for (level_meter* m : {meters_[0], meters_[1], comp_meter_in_, comp_meter_out_}) m->set_db(meter_silent);
  if (mono) {
    const int even = index & ~1;
    link_->set_text(QString::asprintf("CH%d&%d", channel_display_number(kind_input, even) + 1,
                                      channel_display_number(kind_input, even + 1) + 1));
  }
  for (int n = 0; n < 16; ++n) list_[static_cast<std::size_t>(n)]->setChecked(n == index);
  for (int n = 0; n < 8; ++n) sends_[static_cast<std::size_t>(n)]->show_lr(is_fixed_stereo_left(kind_input, index));

  select_cell(-1);
  refill_fader_tab();
  refresh_colours();

  const param_store& store = env_.session.store;
  open_pushes_ = 0;
  const bool stereo = is_fixed_stereo_left(kind_input, index);
  for (int c = first_input_code; c <= last_input_code; ++c) {
    const unsigned id = input_id(c);
    const unsigned from = stereo && c == code_input_main_r_send ? param_id(kind_input, index + 1, c) : id;
    on_param(from, store.get(from), false);
    ++open_pushes_;
  }
  if (stereo)
    for (int c = code_input_aux_send; c < code_input_aux_send + aux_send_count; ++c) {
      const unsigned id = param_id(kind_input, index + 1, c);
      on_param(id, store.get(id), false);
      ++open_pushes_;
    }
  // Memberships, send modes, the link bit and the colour all land in the refreshes below.
  refresh_groups();
  refresh_link();
  refresh_recorder();
  if (!meter_timer_) {
    meter_timer_ = new QTimer(this);
    meter_timer_->setInterval(timer_ms);
    connect(meter_timer_, &QTimer::timeout, this, [this] { tick_meters(); });
  }
  if (!meter_timer_->isActive()) meter_timer_->start();
  if (first_open_) {
    first_open_ = false;
    show_tab(input_tab_overview);
  }
}

void edit_input_page::page_hidden() { delete meter_timer_.data(); }

void edit_input_page::return_to_overview() {
  show_tab(input_tab_overview);
  select_cell(-1);
}

void edit_input_page::show_names() {
  const name_tables& names = env_.session.engine.names();
  const QString own = channel_name_text(names, kind_input, index_);
  name_button_->set_text(own);
  right_.vol->set_title(own);
  for (int n = 0; n < 16; ++n) {
    button* b = list_[static_cast<std::size_t>(n)];
    b->set_text(channel_name_text(names, kind_input, n));
    b->setVisible(logical_fitted(logical_of(kind_input, n)));
  }
  for (int n = 0; n < edit_input_send_strips; ++n) {
    const channel_ref t = send_targets_[static_cast<std::size_t>(n)];
    name_button_fader_strip* s = sends_[static_cast<std::size_t>(n)];
    s->set_name(channel_name_text(names, t.kind, t.index));
    s->setVisible(logical_fitted(logical_of(t.kind, t.index)));
  }
  bank_tab_->show_names();
}

void edit_input_page::on_name(int logical, const QString& text) {
  (void)logical, (void)text;
  show_names();
}

// ---- tabs ----

void edit_input_page::move_left_parts(bool into_overview) {
  QVBoxLayout* to = into_overview ? overview_slot_ : left_layout_;
  to->addWidget(rows_, left_rows_stretch);
  to->addWidget(thumbs_, left_thumbs_stretch);
  left_->setVisible(!into_overview);
  list_box_->setVisible(into_overview);
}

std::span<const char* const> edit_input_page::part_names() const { return input_parts; }

bool edit_input_page::show_part(int part) {
  show_tab(part);
  return current_tab() == part;
}

void edit_input_page::show_tab(int tab) {
  if (tab < input_tab_overview || tab > input_tab_fader) return;
  move_left_parts(tab == input_tab_overview);
  stack_->setCurrentIndex(tab);
  show_selected(right_, tab == input_tab_fader);
}

// ---- cells and the universal fader ----

void edit_input_page::select_cell(int id) {
  if (id == static_cast<int>(input_id(code_input_fader)) || id == static_cast<int>(input_id(code_fader))) id = -1;
  if (const auto it = cells_.find(selected_); it != cells_.end()) it->second->setChecked(false);
  right_.vol->setChecked(false);
  selected_ = id;
  if (const auto it = cells_.find(selected_); it != cells_.end()) it->second->setChecked(true);
  // The recorder levels are global IDs, outside the channel's cells.
  rec_level_->setChecked(record_track_ >= 0 && selected_ == edit_input_first_record_level + record_track_);
  play_level_->setChecked(play_track_ >= 0 && selected_ == edit_input_first_playback_level + play_track_);
  setup_ = universal_fader_of(selected_ < 0 ? value_type::fader_level : param_value_type(static_cast<unsigned>(selected_)));
  editor_parts::set_universal_scale(*right_.universal->fader(), setup_);
  push_universal();
}

void edit_input_page::push_universal() {
  const unsigned id = selected_ < 0 ? input_id(code_input_fader) : shown_id(static_cast<unsigned>(selected_));
  const uint16_t raw = env_.session.store.get(id);
  editor_parts::show_on_universal(*right_.universal, setup_, raw, universal_fader_value(setup_, raw));
}

void edit_input_page::universal_moved(double value) {
  param_store& store = env_.session.store;
  const unsigned id = selected_ < 0 ? input_id(code_input_fader) : static_cast<unsigned>(selected_);
  write_universal(store, id, universal_fader_raw(setup_, value, store.get(shown_id(id))), echo_);
}

// ---- parameter changes ----

void edit_input_page::show_cell_value(int code, uint16_t value) {
  const auto it = cells_.find(static_cast<int>(input_id(code)));
  if (it == cells_.end()) return;
  const value_type type = param_value_type(input_id(code));
  QString text = qstring(value_text_of_type(type, value));
  if (code == code_input_gate_decay) text = "x" + text;
  show_cell_text(it->second, text, position_of(type, value));
}

int edit_input_page::send_strip_of(int code) const {
  for (int n = 0; n < edit_input_send_strips; ++n) {
    const channel_ref t = send_targets_[static_cast<std::size_t>(n)];
    if (param_code(send_param_id(0, t.kind, t.index)) == code) return n;
  }
  return -1;
}

void edit_input_page::show_send(int n) {
  const channel_ref t = send_targets_[static_cast<std::size_t>(n)];
  const uint16_t v = env_.session.store.get(shown_id(send_param_id(index_, t.kind, t.index)));
  show_send_level(*sends_[static_cast<std::size_t>(n)], v);
}

void edit_input_page::show_code(int code, uint16_t v) {
  switch (code) {
    case 0: hiz_->setChecked(v & 1); return;
    case code_input_phantom: phantom_->setChecked(v != 0); return;
    case code_input_gate_on: show_dyn_switch(gate_on_, *gate_small_, *gate_large_, v != 0); return;
    case code_input_comp_on: show_dyn_switch(comp_on_, *comp_small_, *comp_large_, v != 0); return;
    case code_input_gate_threshold:
    case 5:
    case code_input_gate_decay:
    case code_input_gate_hold:
      show_cell_value(code, v);
      show_gate_param(*gate_small_, index_, input_id(code), v);
      show_gate_param(*gate_large_, index_, input_id(code), v);
      return;
    case code_input_gain:
    case 28: show_cell_value(code, v); return;
    case code_input_fader: right_.vol->set_value(qstring(value_text_of_type(value_type::fader_level, v))); return;
    case 9: show_phase_icon(phase_icon_, v); return;
    case code_input_on: right_.universal->set_mute(v == 0); return;
    case code_input_pan: pan_bar_->set_value(static_cast<int>(std::lround(to_physical(value_type::pan, v)))); return;
    case code_input_solo_l: right_.universal->set_solo(is_solo_active(v)); return;
    case 36: bypass_->setChecked(v == 0); return;
    default: break;
  }
  if (is_input_send_code(code)) {
    if (const int n = send_strip_of(code); n >= 0) show_send(n);
    return;
  }
  if (in_range(code, code_input_comp_ratio, code_input_comp_gain) && code != 34) {
    show_cell_value(code, v);
    show_comp_param(*comp_small_, index_, input_id(code), v);
    show_comp_param(*comp_large_, index_, input_id(code), v);
    return;
  }
  if (code == 38 || code == 40) {
    const filter_texts t = filter_text(v);
    (code == 38 ? hp_filter_ : lp_filter_)->set_text(qstring(t.type));
    (code == 38 ? hp_slope_ : lp_slope_)->set_text(qstring(t.slope));
  } else if (code == 39 || code == 41 || is_band_code(code)) {
    show_cell_value(code, v);
  }
  if (in_range(code, code_input_filters, last_input_code)) {
    show_eq_param(*peq_small_, eq_ids_, input_id(code), v);
    show_eq_param(*peq_large_, eq_ids_, input_id(code), v);
  }
}

void edit_input_page::on_param(uint16_t id, uint16_t value, bool pushed) {
  (void)pushed;
  if (index_ < 0) return;
  const param_info p = info_of(id);
  if (p.kind == kind_input && p.index == index_ && p.code <= last_input_code) {
    show_code(p.code, value);
  } else if (p.kind == kind_input && is_fixed_stereo_left(kind_input, index_) && p.index == index_ + 1 &&
             is_input_send_code(p.code)) {
    // The right member carries MAIN R and the right-only aux sends.
    const unsigned left = param_id(kind_input, index_, p.code);
    if (shown_id(left) == id)
      if (const int n = send_strip_of(p.code); n >= 0) show_send(n);
  }
  if (changes_memberships(id, true)) refresh_timer_.start();
  if (id == input_stereo_bits_id) refresh_link();
  if (in_range(id, first_input_record_source, last_recorder_id)) recorder_timer_.start();
  // The FADER tab's strips follow their channels.
  bank_tab_->on_param(id, value);
  const unsigned universal_id = selected_ < 0 ? input_id(code_input_fader) : shown_id(static_cast<unsigned>(selected_));
  if (id == universal_id && !echo_) push_universal();
}

// ---- refreshes ----

void edit_input_page::refresh_groups() {
  const param_store& store = env_.session.store;
  show_memberships(store, logical_of(kind_input, index_), right_.dca, right_.mute_groups);
  if (is_fixed_stereo_left(kind_input, index_))
    for (int n = 0; n < aux_send_count; ++n) {
      name_button_fader_strip* s = sends_[static_cast<std::size_t>(n)];
      show_send_mode(*s, send_mode(store, index_, n));
      show_send(n);
    }
}

void edit_input_page::refresh_colours() {
  const param_store& store = env_.session.store;
  name_button_->set_colour(channel_colour_of(store, kind_input, index_));
  for (int n = 0; n < edit_input_send_strips; ++n) {
    const channel_ref t = send_targets_[static_cast<std::size_t>(n)];
    sends_[static_cast<std::size_t>(n)]->name_button()->set_colour(channel_colour_of(store, t.kind, t.index));
  }
}

void edit_input_page::refresh_link() {
  const bool linked = input_pan_locked(env_.session.store, index_);
  link_->setChecked(linked);
  pan_->setAttribute(Qt::WA_TransparentForMouseEvents, linked);
  pan_bar_->set_clickable(!linked);
  if (linked && selected_ == static_cast<int>(input_id(code_input_pan))) select_cell(-1);
}

void edit_input_page::refill_fader_tab() { bank_tab_->fill(bank_fader_tab::bank_of(kind_input, index_)); }

fader_strip* edit_input_page::bank_strip(int n) const { return bank_tab_->strip(n); }

void edit_input_page::refresh_recorder() {
  const param_store& store = env_.session.store;
  record_track_ = -1;
  play_track_ = -1;
  if (index_ < 16) {
    for (int n = 0; n < recorder_tracks; ++n) {
      if (record_track_ < 0 && store.get(static_cast<unsigned>(first_input_record_source + n)) == index_ + 1) record_track_ = n;
      if (play_track_ < 0 && store.get(static_cast<unsigned>(first_playback_destination + n)) == index_ + 1) play_track_ = n;
    }
  }
  rec_path_->setVisible(record_track_ >= 0);
  play_path_->setVisible(play_track_ >= 0);
  if (record_track_ >= 0) {
    const int level = store.get(static_cast<unsigned>(edit_input_first_record_level + record_track_));
    rec_level_->set_text(QString::asprintf("INPUT\n%d%%", level));
    rec_level_->set_progress(level);
    rec_label_->setText(QString::asprintf("REC%d\nIN", record_track_ + 1));
  }
  if (play_track_ >= 0) {
    const int level = store.get(static_cast<unsigned>(edit_input_first_playback_level + play_track_));
    const bool playing = store.get(static_cast<unsigned>(edit_input_first_playback_switch + play_track_)) != 0;
    play_level_->set_progress(level);
    play_percent_->setText(QString::asprintf("%d%%", level));
    play_percent_->setVisible(playing);
    play_button_->setChecked(playing);
    play_level_->setAttribute(Qt::WA_TransparentForMouseEvents, playing);
    if (playing) {
      play_button_->set_text(QString::asprintf("REC%d\nPLAY", play_track_ + 1));
      play_level_->set_text(tr_text("REC%d").replace("%d", QString::number(play_track_ + 1)));
    } else {
      play_button_->set_text("INPUT");
      play_level_->set_text(tr_text("MIC/LINE %s").replace("%s", qstring(channel_short_name(kind_input, index_))));
      if (selected_ == edit_input_first_playback_level + play_track_) select_cell(-1);
    }
  }
}

// ---- meters ----

void edit_input_page::tick_meters() {
  if (!env_.session.engine.link_alive() || index_ < 0) return;
  param_store& store = env_.session.store;
  const meter_ref m = meter_id(kind_input, index_);
  const bool stereo = is_fixed_stereo_left(kind_input, index_);
  const unsigned in_id = static_cast<unsigned>(comp_meter_in_base + index_ / 2);
  const unsigned out_id = static_cast<unsigned>(comp_meter_out_base + index_ / 2);
  if (m.id >= 0) {
    const uint16_t word = store.get(static_cast<unsigned>(m.id));
    meters_[0]->set_db(stereo ? byte_of(word, 0) : byte_of(word, m.byte), meter_fall);
    if (stereo) meters_[1]->set_db(byte_of(word, 1), meter_fall);
    store.request(static_cast<unsigned>(m.id));
  }
  auto comp_db = [&](unsigned id) {
    const uint16_t w = store.get(id);
    return stereo ? std::max<int>(byte_of(w, 0), byte_of(w, 1)) : byte_of(w, index_ & 1);
  };
  comp_meter_in_->set_db(comp_db(in_id), meter_fall);
  comp_meter_out_->set_db(comp_db(out_id), meter_fall);
  store.request(in_id);
  store.request(out_id);
  const double makeup = to_physical(value_type::makeup_gain, store.get(input_id(code_input_comp_gain)));
  gr_->set_value(static_cast<int>(std::lround(makeup + comp_meter_in_->db() - comp_meter_out_->db())));
}

// ---- the user's actions ----

void edit_input_page::press_phantom() {
  param_store& store = env_.session.store;
  const unsigned id = input_id(code_input_phantom);
  if (store.get(id) != 0) {
    store.linked_set(id, 0);
    return;
  }
  phantom_->setChecked(false);
  phantom_return_ = current_tab();
  show_tab(input_tab_phantom);
}

void edit_input_page::answer_phantom(bool yes) {
  if (yes) env_.session.store.linked_set(input_id(code_input_phantom), 1);
  show_tab(phantom_return_ >= 0 ? phantom_return_ : input_tab_overview);
  phantom_return_ = -1;
}

void edit_input_page::press_link() {
  toggle_input_link(env_.session.store, index_);
  refresh_link();
}

void edit_input_page::press_copy() {
  show_copy_outcome(env_.nav, kind_input, index_, press_copy_input(editor_clipboard(), index_));
}

void edit_input_page::press_paste() {
  show_paste_outcome(env_.nav, press_paste_input(env_.session.store, editor_clipboard(), index_));
}

void edit_input_page::send_moved(int n, double db) {
  const channel_ref t = send_targets_[static_cast<std::size_t>(n)];
  write_send_level(env_.session.store, index_, send_param_id(index_, t.kind, t.index), db);
}

void edit_input_page::send_pre(int n, bool pre) {
  const channel_ref t = send_targets_[static_cast<std::size_t>(n)];
  write_send_pre(env_.session.store, index_, send_param_id(index_, t.kind, t.index), pre);
  show_send(n);
}

void edit_input_page::send_lr(int n) {
  name_button_fader_strip* s = sends_[static_cast<std::size_t>(n)];
  if (n >= aux_send_count || !s->l_button() || !s->r_button()) return;
  write_send_lr(env_.session.store, index_, n, s->l_button()->isChecked(), s->r_button()->isChecked());
  refresh_groups();
}

void edit_input_page::console_key(int key) {
  if (key == copy_light_key) press_copy();
  else if (key == paste_light_key) press_paste();
}

void edit_input_page::console_encoder(int encoder, int delta) {
  const int shown = encoder_step(env_.session.store, index_, encoder, selected_, delta);
  // A quiet write on the left member leaves the screen to us.
  if (shown >= 0 && shown != selected_) on_param(static_cast<uint16_t>(shown), env_.session.store.get(static_cast<unsigned>(shown)), false);
}

void edit_input_page::paintEvent(QPaintEvent*) {}

page* create_edit_input(QWidget* parent, page_env& env, int id) {
  (void)id;
  return new edit_input_page(parent, env);
}

}  // namespace vorante
