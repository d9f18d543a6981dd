#include "ui/widgets/eq_graph_binding.h"

#include "app/params/convert.h"
#include "app/params/store.h"
#include "ui/widgets/eq_graph.h"

namespace vorante {

eq_param_ids eq_param_block(int kind, int index, int filter_code, int band_code, int bands) {
  eq_param_ids ids;
  ids.highpass_type = param_id(kind, index, filter_code);
  ids.highpass_frequency = param_id(kind, index, filter_code + 1);
  ids.lowpass_type = param_id(kind, index, filter_code + 2);
  ids.lowpass_frequency = param_id(kind, index, filter_code + 3);
  for (int b = 0; b < bands; ++b) {
    const int first = band_code + codes_per_band * b;
    ids.bands.push_back({param_id(kind, index, first + 1), param_id(kind, index, first + 2),
                         param_id(kind, index, first + 3)});
  }
  return ids;
}

bool show_eq_param(eq_graph& g, const eq_param_ids& ids, unsigned id, uint16_t raw) {
  if (id == no_param_id) return false;
  if (id == ids.highpass_type) {
    g.set_highpass_type(raw);
  } else if (id == ids.highpass_frequency) {
    g.set_highpass_frequency(to_physical(value_type::highpass_frequency, raw));
  } else if (id == ids.lowpass_type) {
    g.set_lowpass_type(raw);
  } else if (id == ids.lowpass_frequency) {
    g.set_lowpass_frequency(to_physical(value_type::lowpass_frequency, raw));
  } else {
    for (int b = 0; b < static_cast<int>(ids.bands.size()); ++b) {
      const eq_band_ids& band = ids.bands[static_cast<size_t>(b)];
      if (id == band.frequency) {
        g.set_band_frequency(b, to_physical(value_type::peq_frequency, raw));
        return true;
      }
      if (id == band.gain) {
        g.set_band_gain(b, to_physical(value_type::peq_gain, raw));
        return true;
      }
      if (id == band.q) {
        g.set_band_q(b, to_physical(value_type::peq_q, raw));
        return true;
      }
    }
    return false;
  }
  return true;
}

void show_eq_params(eq_graph& g, const eq_param_ids& ids, const param_store& store) {
  for (unsigned id : {ids.highpass_type, ids.highpass_frequency, ids.lowpass_type, ids.lowpass_frequency})
    show_eq_param(g, ids, id, store.get(id));
  for (const auto& b : ids.bands)
    for (unsigned id : {b.frequency, b.gain, b.q}) show_eq_param(g, ids, id, store.get(id));
}

void write_eq_drags(eq_graph& g, const eq_param_ids& ids, param_store& store) {
  QObject::connect(&g, &eq_graph::highpass_dragged, &g, [ids, &store](uint16_t raw) {
    store.linked_set(ids.highpass_frequency, raw);
  });
  QObject::connect(&g, &eq_graph::lowpass_dragged, &g, [ids, &store](uint16_t raw) {
    store.linked_set(ids.lowpass_frequency, raw);
  });
  QObject::connect(&g, &eq_graph::band_dragged, &g,
                   [ids, &store](int band, uint16_t frequency, uint16_t gain) {
                     if (band < 0 || band >= static_cast<int>(ids.bands.size())) return;
                     const eq_band_ids& b = ids.bands[static_cast<size_t>(band)];
                     store.linked_set(b.frequency, frequency);
                     store.linked_set(b.gain, gain);
                   });
}

}  // namespace vorante
