#include "app/params/bus_editors.h"

#include <algorithm>
#include <cmath>

#include "app/params/channel_state.h"
#include "app/params/convert.h"
#include "app/params/copy.h"
#include "app/params/input_editor.h"
#include "app/params/store.h"

namespace vorante {

namespace {

constexpr int tap_gap_limit_ms = 999;
constexpr int tap_long_cap_ms = 675;
constexpr int tap_short_cap_ms = 340;
// One parameter unit per 5 ms: 13108 / 65536 is a fifth, rounded up.
constexpr int64_t tap_scale = 13108;

}  // namespace

unsigned bus_send_id(int kind, int index, int bus) {
  if (kind == kind_input) return send_param_id(index, kind_bus, bus);
  if (kind != kind_fx || index < 0 || index >= fx_count || bus < 0 || bus >= bus_count) return no_param_id;
  const int code = bus < aux_send_count ? code_fx_aux_send + bus : bus == main_l_bus ? code_fx_main_l_send : code_fx_main_r_send;
  return param_id(kind_fx, index, code);
}

unsigned bus_send_shown_id(const param_store& store, int kind, int index, int bus) {
  const unsigned id = bus_send_id(kind, index, bus);
  return kind == kind_input && id != no_param_id ? shown_param_id(store, index, id) : id;
}

void toggle_bus_link(param_store& store, int bus) {
  if (bus < 0 || bus >= aux_send_count) return;
  if (!stereo_bit(store, kind_bus, bus)) {
    const int even = bus & ~1;
    copy_bus(store, even + 1, even);
    set_stereo_bit(store, kind_bus, bus, true);
  } else {
    set_stereo_bit(store, kind_bus, bus, false);
  }
}

bool bus_encoder_moves(int encoder, int code) {
  switch (encoder) {
    case 0: return true;
    case 3: return code == 80 || code == 82;
    case 4: return code >= 84 && code <= 108 && code % 4 == 0;
    case 5: return code >= 69 && code <= 72;
    default: return false;
  }
}

uint16_t geq_raw_of_slider(int slider) {
  return to_raw(value_type::geq_gain, std::clamp(slider, geq_slider_min, geq_slider_max) / 100.0);
}

int geq_slider_of_raw(uint16_t raw) {
  return static_cast<int>(std::lround(to_physical(value_type::geq_gain, raw) * 100));
}

bool is_delay_type(int type) { return tap_cap_ms(type) > 0; }

int tap_cap_ms(int type) {
  switch (type) {
    case 8:
    case 9:
    case 10:
    case 24:
    case 25: return tap_long_cap_ms;
    case 6:
    case 7:
    case 22:
    case 23: return tap_short_cap_ms;
    default: return 0;
  }
}

effect_entry effect_table_entry(const param_store& store, int fx, int button) {
  const unsigned first = effect_table_id(fx, button);
  return {store.get(first), store.get(first + 1), store.get(first + 2)};
}

void apply_effect_entry(param_store& store, int fx, const effect_entry& e) {
  store.set_local(param_id(kind_fx, fx, code_fx_type), static_cast<uint16_t>(e.type + effect_types_per_fx * fx));
  store.set_local(param_id(kind_fx, fx, code_fx_param_1), e.param_1);
  store.set_local(param_id(kind_fx, fx, code_fx_param_1 + 1), e.param_2);
}

std::optional<uint16_t> tap_clock::tap(int64_t now_ms, int type) {
  const std::optional<int64_t> last = last_;
  last_ = now_ms;
  if (!last || now_ms - *last > tap_gap_limit_ms) return std::nullopt;
  const int cap = tap_cap_ms(type);
  if (cap == 0) return std::nullopt;
  const int64_t interval = std::min<int64_t>(now_ms - *last, cap);
  return static_cast<uint16_t>(interval * tap_scale / 65536);
}

tap_clock& shared_tap_clock() {
  static tap_clock clock;
  return clock;
}

value_type fx_cell_value_type(unsigned id) {
  // Untyped slots read as kind 0: the band is found from the address instead.
  if (info_of(id).kind != kind_fx)
    for (int fx = 0; fx < fx_count; ++fx)
      for (int k = 0; k < fx_band_count * 4; ++k) {
        if (param_id(kind_fx, fx, code_fx_bands + k) != id) continue;
        switch (k % 4) {
          case 1: return value_type::peq_frequency;
          case 2: return value_type::peq_gain;
          case 3: return value_type::peq_q;
          default: return param_value_type(id);
        }
      }
  return param_value_type(id);
}

bool fx_encoder_moves(int encoder, int code) {
  switch (encoder) {
    case 0: return true;
    case 3: return code == 188 || code == 190;
    case 4: return code == 192 || code == 196 || code == 200 || code == 204;
    default: return false;
  }
}

}  // namespace vorante
