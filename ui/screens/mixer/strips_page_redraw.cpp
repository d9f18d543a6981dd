// The strips page from the store to the widgets: changes are collected as they are heard
// of and shown together 50 ms later, always as the store has them then, so a burst of
// changes costs one redraw and the order they came in does not matter.
#include <QLabel>

#include "app/params/channel_state.h"
#include "app/params/convert.h"
#include "app/params/names.h"
#include "app/params/solo.h"
#include "app/protocol/session.h"
#include "ui/foundation/channel_colours.h"
#include "ui/pages/navigator.h"
#include "ui/screens/mixer/rename.h"
#include "ui/screens/mixer/strips_page.h"
#include "ui/screens/mixer/strips_page_dca.h"
#include "ui/screens/mixer/strips_page_main.h"
#include "ui/widgets/channel_strip.h"
#include "ui/widgets/eq_graph.h"
#include "ui/widgets/fader.h"
#include "ui/widgets/level_meter.h"
#include "ui/widgets/pan_bar.h"
#include "ui/widgets/sends_panel.h"

namespace vorante {

namespace {

constexpr int send_mode_words = 6;

bool is_colour_id(unsigned id) { return id >= colour_base_id && id < colour_base_id + logical_count; }
bool is_send_mode_id(unsigned id) { return id >= send_mode_base_id && id < send_mode_base_id + send_mode_words; }

}  // namespace

bool strips_page::sends_dragged(const sends_panel* panel) {
  if (!panel) return false;
  for (int g = 0; g < send_group_count; ++g)
    for (int i = 0; i < panel->item_count(g); ++i)
      if (panel->slider(g, i)->dragging()) return true;
  return false;
}

void strips_page::on_param(uint16_t id, uint16_t, bool) {
  if (!is_valid_id(id)) return;
  mark(id);
}

void strips_page::mark(uint16_t id) {
  if (!pending_.test(id)) {
    pending_.set(id);
    pending_ids_.push_back(id);
  }
  if (!redraw_timer_.isActive()) redraw_timer_.start();
}

void strips_page::on_name(int logical, const QString& text) {
  if (dca_row_->show_name(logical, text)) return;
  if (const int n = strip_of_logical(logical); n >= 0) strip(n)->set_name(channel_label_text(record(n).kind, record(n).index, text));
}

void strips_page::flush_redraw() {
  ++batch_redraws_;
  std::vector<uint16_t> ids;
  ids.swap(pending_ids_);
  pending_.reset();
  for (const uint16_t id : ids)
    if (redraw_param(id) == redraw_outcome::held) mark(id);
}

redraw_outcome strips_page::redraw_param(unsigned id) {
  if (is_colour_id(id)) {
    const int n = strip_of_logical(static_cast<int>(id - colour_base_id));
    if (n < 0) return redraw_outcome::ignored;
    redraw_colour(n);
    return redraw_outcome::shown;
  }
  if (id == input_stereo_bits_id || id == output_stereo_bits_id) {
    update_pan_clicks();
    highlight_selection();
    // A linked right aux solos on its second feed.
    for (int n = 0; n < strip_count; ++n)
      if (record(n).in_use && record(n).kind == kind_bus) redraw_solo(n);
    main_->redraw_param(id);
    return redraw_outcome::shown;
  }
  if (is_send_mode_id(id)) {
    // Which side an AUX send of a stereo pair shows depends on its mode.
    redraw_outcome out = redraw_outcome::ignored;
    for (int n = 0; n < strip_count; ++n) {
      const strip_record& r = record(n);
      if (!r.in_use || !is_fixed_stereo_left(r.kind, r.index)) continue;
      for (int send = 0; send < aux_send_count; ++send) {
        const redraw_outcome o = redraw_part(n, strip_part::send, code_input_aux_send + send);
        if (o != redraw_outcome::ignored && out != redraw_outcome::held) out = o;
      }
    }
    return out;
  }
  if (const redraw_outcome o = main_->redraw_param(id); o != redraw_outcome::ignored) return o;
  if (const redraw_outcome o = dca_row_->redraw_param(id); o != redraw_outcome::ignored) return o;

  const param_info p = info_of(id);
  if (id == no_param_id || p.kind < kind_input || p.kind > kind_bus) return redraw_outcome::ignored;
  if (p.kind == kind_input && is_fixed_stereo_right(p.kind, p.index)) {
    // A right member shows only through its left member's sends.
    const int n = strip_of_logical(logical_of(p.kind, p.index - 1));
    if (n < 0 || strip_part_of(p.kind, p.code) != strip_part::send) return redraw_outcome::ignored;
    return redraw_part(n, strip_part::send, p.code);
  }
  const int n = strip_of_logical(logical_of(p.kind, p.index));
  if (n < 0) return redraw_outcome::ignored;
  return redraw_part(n, strip_part_of(p.kind, p.code), p.code);
}

redraw_outcome strips_page::redraw_part(int n, strip_part part, int code) {
  const strip_record& r = record(n);
  if (!r.in_use) return redraw_outcome::ignored;
  channel_strip* s = strip(n);
  const param_store& store = env_.session.store;
  const unsigned id = param_id(r.kind, r.index, code);
  const uint16_t v = store.get(id);
  switch (part) {
    case strip_part::none: return redraw_outcome::ignored;
    case strip_part::phantom: s->set_48v(v != 0); break;
    case strip_part::gate: s->set_gate(v != 0); break;
    case strip_part::gain: s->set_gain(to_physical(param_value_type(id), v)); break;
    case strip_part::mute: s->set_mute(v == 0); break;
    case strip_part::comp: s->set_comp(v != 0); break;
    case strip_part::pan:
      if (s->pan()->dragging()) return redraw_outcome::held;
      s->set_pan(static_cast<int>(std::lround(to_physical(value_type::pan, v))));
      break;
    case strip_part::fader:
      if (s->fader()->dragging()) return redraw_outcome::held;
      s->set_level(to_physical(value_type::fader_level, v));
      break;
    case strip_part::send:
      if (sends_dragged(s->sends())) return redraw_outcome::held;
      redraw_send(n, code);
      break;
    case strip_part::solo:
    case strip_part::solo_right_feed: redraw_solo(n); break;
    case strip_part::eq:
      if (!show_eq_param(*s->eq(), eq_ids_[static_cast<size_t>(n)], id, v)) return redraw_outcome::ignored;
      break;
  }
  return redraw_outcome::shown;
}

void strips_page::redraw_send(int n, int code) {
  const strip_record& r = record(n);
  sends_panel* panel = strip(n)->sends();
  if (!panel || panel->isHidden()) return;
  const unsigned source = send_source_id(env_.session.store, r.kind, r.index, code);
  panel->param_changed(source, env_.session.store.get(source));
}

void strips_page::redraw_solo(int n) {
  const strip_record& r = record(n);
  const param_store& store = env_.session.store;
  int code = param_code(param_id(r.kind, r.index, code_solo));
  // The right aux of a linked pair solos on its second feed, which the left's solo crosses to.
  if (r.kind == kind_bus) code = is_stereo_right(store, r.kind, r.index) ? code_bus_solo_r : code_bus_solo_l;
  strip(n)->set_solo(is_solo_active(store.get(param_id(r.kind, r.index, code))));
}

void strips_page::redraw_name(int n) {
  const strip_record& r = record(n);
  const std::string_view stored = env_.session.engine.names().channel_name(logical_of(r.kind, r.index));
  strip(n)->set_name(channel_label_text(r.kind, r.index, QString::fromUtf8(stored.data(), static_cast<qsizetype>(stored.size()))));
}

void strips_page::redraw_colour(int n) {
  const strip_record& r = record(n);
  const unsigned id = colour_base_id + static_cast<unsigned>(logical_of(r.kind, r.index));
  strip(n)->set_name_colour(channel_colour(env_.session.store.get(id)));
}

// Everything the page shows, as the store has it now.
void strips_page::redraw_all() {
  ++full_redraws_;
  for (int n = 0; n < strip_count; ++n) {
    const strip_record& r = record(n);
    if (!r.in_use) continue;
    redraw_name(n);
    redraw_colour(n);
    const code_range codes = strip_codes(r.kind);
    for (int code = codes.first; code <= codes.last; ++code) {
      const strip_part part = strip_part_of(r.kind, code);
      if (part == strip_part::none) continue;
      if (redraw_part(n, part, code) == redraw_outcome::held) mark(static_cast<uint16_t>(param_id(r.kind, r.index, code)));
    }
  }
  update_pan_clicks();
  highlight_selection();
  main_->redraw_all();
  dca_row_->redraw_all();
}

void strips_page::reset_meters() {
  for (channel_strip* s : strips_) {
    s->meter1()->set_db(meter_silent_db);
    s->meter2()->set_db(meter_silent_db);
  }
}

// With the link down the meters stay where they are.
void strips_page::tick_meters() {
  // The DCA row has no meters; the strips behind it keep theirs.
  if (!env_.session.engine.link_alive() || strip_grid()->isHidden()) return;
  const param_store& store = env_.session.store;
  for (int n = 0; n < strip_count; ++n) {
    const strip_record& r = record(n);
    channel_strip* s = strip(n);
    if (!r.in_use || s->isHidden()) continue;
    const strip_meter_levels levels = strip_meters_of(store, r.kind, r.index);
    s->meter1()->set_db(levels.first, strip_meter_fall);
    if (levels.second) s->meter2()->set_db(*levels.second, strip_meter_fall);
  }
}

}  // namespace vorante
