#include "app/params/fader_overview.h"

#include "app/params/channel_state.h"
#include "app/params/convert.h"
#include "app/params/input_editor.h"
#include "app/params/store.h"

namespace vorante {

namespace {

// The inputs the sends view lists: the mono inputs, CH17/18, CH19/20 and DIGI.
constexpr int last_listed_input = 19;
constexpr int digi_input = 24;

}  // namespace

std::vector<channel_ref> sends_view_channels(send_target t, const fitted_fn& fitted) {
  std::vector<channel_ref> list;
  if (!t.is_aux() && !t.is_fx()) return list;
  for (int k = 0; k < input_count; ++k)
    if ((k <= last_listed_input || k == digi_input) && !is_fixed_stereo_right(kind_input, k) &&
        fitted(logical_of(kind_input, k)))
      list.push_back({kind_input, k});
  if (t.is_aux())
    for (int f = 0; f < fx_count; ++f) list.push_back({kind_fx, f});
  if (list.size() > overview_send_strips) list.resize(overview_send_strips);
  return list;
}

unsigned overview_send_id(channel_ref source, send_target t) {
  if (source.kind == kind_input && (t.is_aux() || t.is_fx())) return send_param_id(source.index, t.kind, t.index);
  if (source.kind == kind_fx && t.is_aux() && source.index >= 0 && source.index < fx_count)
    return param_id(kind_fx, source.index, code_fx_aux_send + t.index);
  return no_param_id;
}

unsigned overview_shown_id(const param_store& store, channel_ref source, send_target t) {
  const unsigned id = overview_send_id(source, t);
  return source.kind == kind_input && id != no_param_id ? shown_param_id(store, source.index, id) : id;
}

void write_overview_send(param_store& store, channel_ref source, send_target t, send_change e, double db) {
  const unsigned id = overview_send_id(source, t);
  if (id == no_param_id) return;
  const uint16_t shown = store.get(overview_shown_id(store, source, t));
  uint16_t raw = shown;
  switch (e) {
    case send_change::post: raw = static_cast<uint16_t>(shown & ~send_pre_bit); break;
    case send_change::pre: raw = static_cast<uint16_t>(shown | send_pre_bit); break;
    case send_change::level:
      raw = static_cast<uint16_t>((to_raw(value_type::send_level, db) & level_mask) | (shown & level_flags));
      break;
  }
  if (raw != store.get(id)) store.linked_set(id, raw);
}

void write_overview_lr(param_store& store, int input, int aux, bool left, bool right) {
  if (!left && !right) left = right = true;
  write_send_lr(store, input, aux, left, right);
}

void step_overview_send(param_store& store, channel_ref source, send_target t, int delta) {
  const unsigned id = overview_send_id(source, t);
  if (id == no_param_id) return;
  const uint16_t raw = step_value(store, overview_shown_id(store, source, t), delta, step_normal);
  if (raw != store.get(id)) store.linked_set(id, raw);
}

}  // namespace vorante
