// Ties the gate and compressor curves to the input channel whose dynamics they show: stored
// values go into the curves, and a drag writes the curve's values back with the store's
// linked set (gate: threshold, attack, hold, decay; compressor: threshold, then ratio).
#pragma once

#include <cstdint>
#include <functional>

namespace vorante {

class comp_curve;
class gate_curve;
class param_store;

// The input channel a curve shows; it may change as the editor moves between channels.
using input_of_fn = std::function<int()>;

// Pushes one stored value of `input` into the curve when it is one of its parameters.
bool show_gate_param(gate_curve& g, int input, unsigned id, uint16_t raw);
bool show_comp_param(comp_curve& c, int input, unsigned id, uint16_t raw);
// Pushes all of them.
void show_gate_params(gate_curve& g, int input, const param_store& store);
void show_comp_params(comp_curve& c, int input, const param_store& store);

// From now on every report of a drag writes the curve's parameters.
void write_gate_drags(gate_curve& g, input_of_fn input, param_store& store);
void write_comp_drags(comp_curve& c, input_of_fn input, param_store& store);

}  // namespace vorante
