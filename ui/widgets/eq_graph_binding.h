// Ties an EQ graph to the parameters of one channel: stored values go into the curves, and
// drags are written back with the store's linked set. Every channel kind lays its EQ out the
// same way: a filter block (high-pass code, high-pass frequency, low-pass code, low-pass
// frequency) and bands of (type, frequency, gain, Q).
#pragma once

#include <cstdint>
#include <vector>

#include "app/params/ids.h"

namespace vorante {

class eq_graph;
class param_store;

struct eq_band_ids {
  unsigned frequency = no_param_id;
  unsigned gain = no_param_id;
  unsigned q = no_param_id;
};

struct eq_param_ids {
  unsigned highpass_type = no_param_id;
  unsigned highpass_frequency = no_param_id;
  unsigned lowpass_type = no_param_id;
  unsigned lowpass_frequency = no_param_id;
  std::vector<eq_band_ids> bands;
};

// IDs of a channel whose filter block starts at filter_code and whose bands start at
// band_code (the band type code comes first in each group of four).
eq_param_ids eq_param_block(int kind, int index, int filter_code, int band_code, int bands);

// Pushes one stored value into the graph when the ID is one of its parameters; returns
// whether it was.
bool show_eq_param(eq_graph& g, const eq_param_ids& ids, unsigned id, uint16_t raw);
// Pushes all of them.
void show_eq_params(eq_graph& g, const eq_param_ids& ids, const param_store& store);

// From now on a drag writes the moved frequency (and a band's gain) with linked_set.
void write_eq_drags(eq_graph& g, const eq_param_ids& ids, param_store& store);

}  // namespace vorante
