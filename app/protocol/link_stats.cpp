#include "app/protocol/link_stats.h"

#include <algorithm>
#include <cstdio>

#include "app/core/translate.h"
#include "app/params/convert.h"
#include "app/params/ids.h"
#include "app/params/names.h"
#include "app/params/param_label.h"
#include "app/params/store.h"

namespace vorante {

given_up_texts describe_write(const param_store& store, uint16_t id, uint16_t value) {
  const param_info p = info_of(id);
  // Named as the scene diff and the undo toasts name it.
  param_label label = label_of(id);
  given_up_texts t;
  t.channel = label.kind == kind_global ? "-" : label_channel_text(label);
  t.parameter = std::move(label.parameter);
  // Effect parameters read by the effect type the store holds for the same return.
  int effect_type = 0;
  if (p.kind == kind_fx) effect_type = store.get(param_id(kind_fx, p.index, code_fx_type));
  t.value = value_text_of_type(p.value_type, value, effect_type);
  // Codes outside a type's table have no text; the number still says what was sent.
  if (t.value.empty()) t.value = std::to_string(value);
  return t;
}

std::string rtt_summary(const link_stats& s) {
  if (s.rtt_count == 0) return "-";
  uint32_t lo = UINT32_MAX, hi = 0, last = 0;
  s.for_each_rtt([&](uint32_t ms) {
    lo = std::min(lo, ms);
    hi = std::max(hi, ms);
    last = ms;
  });
  char text[80];
  std::snprintf(text, sizeof text, "%u ms (min %u, max %u of %zu)", last, lo, hi, s.rtt_count);
  return text;
}

void given_up_notice::step(uint32_t now, ui_port& ui) {
  if (pending_ == 0 || static_cast<int32_t>(now - due_) < 0) return;
  ui.show_toast(given_up_toast_text(pending_), toast_red, given_up_toast_ms);
  pending_ = 0;
}

std::string given_up_toast_text(int count) {
  if (count == 1) return translate_text("1 change was not confirmed by the console");
  char text[120];
  std::snprintf(text, sizeof text, translate_text("%d changes were not confirmed by the console"), count);
  return text;
}

}  // namespace vorante
