#include "ui/widgets/dyn_curves_binding.h"

#include "app/params/ids.h"
#include "app/params/store.h"
#include "ui/widgets/dyn_curves.h"

namespace vorante {

namespace {

constexpr std::array<int, 4> gate_codes{code_input_gate_threshold, code_input_gate_attack, code_input_gate_hold,
                                        code_input_gate_decay};
constexpr std::array<int, 3> comp_codes{code_input_comp_threshold, code_input_comp_ratio, code_input_comp_gain};

// The code of `id` when it is a parameter of `input`, else -1.
int input_code(int input, unsigned id) {
  if (!is_channel(kind_input, input) || !is_valid_id(id)) return -1;
  const param_info p = info_of(id);
  return p.kind == kind_input && p.index == input ? p.code : -1;
}

}  // namespace

bool show_gate_param(gate_curve& g, int input, unsigned id, uint16_t raw) {
  const int code = input_code(input, id);
  return code >= 0 && g.take_param(code, raw);
}

bool show_comp_param(comp_curve& c, int input, unsigned id, uint16_t raw) {
  const int code = input_code(input, id);
  return code >= 0 && c.take_param(code, raw);
}

void show_gate_params(gate_curve& g, int input, const param_store& store) {
  if (!is_channel(kind_input, input)) return;
  for (int code : gate_codes) g.take_param(code, store.get(param_id(kind_input, input, code)));
}

void show_comp_params(comp_curve& c, int input, const param_store& store) {
  if (!is_channel(kind_input, input)) return;
  for (int code : comp_codes) c.take_param(code, store.get(param_id(kind_input, input, code)));
}

void write_gate_drags(gate_curve& g, input_of_fn input, param_store& store) {
  QObject::connect(&g, &dyn_curve::value_changed, &g, [&g, input = std::move(input), &store] {
    const int channel = input();
    if (!is_channel(kind_input, channel)) return;
    for (const dyn_write& w : gate_curve_writes(g.model())) store.linked_set(param_id(kind_input, channel, w.code), w.raw);
  });
}

void write_comp_drags(comp_curve& c, input_of_fn input, param_store& store) {
  QObject::connect(&c, &dyn_curve::value_changed, &c, [&c, input = std::move(input), &store] {
    const int channel = input();
    if (!is_channel(kind_input, channel)) return;
    for (const dyn_write& w : comp_curve_writes(c.model())) store.linked_set(param_id(kind_input, channel, w.code), w.raw);
  });
}

}  // namespace vorante
