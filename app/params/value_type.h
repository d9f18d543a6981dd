// Value types: what a raw parameter word means. Every parameter ID carries one; the row of
// the same number in the value-type table (convert.cpp) gives its unit, range and step.
#pragma once

#include <cstdint>

namespace vorante {

enum class value_type : uint8_t {
  plain = 0,               // raw values, shown as they are
  on_off = 1,              // switches
  pan = 2,                 // -100..100 around 100 = centre
  input_gain = 3,
  input_delay = 4,
  gate_threshold = 5,
  gate_attack = 6,
  gate_hold = 7,
  gate_decay = 8,          // a setting of 2, 4, 6, 8, 16 or 32, stepped by its index
  unused_9 = 9,            // a full row no parameter uses
  compressor_threshold = 10,
  compressor_attack = 11,
  compressor_ratio = 12,
  compressor_release = 13,
  makeup_gain = 14,        // a level word
  fader_level = 15,        // a level word
  send_level = 16,         // a level word; sends and solo feeds
  highpass_filter = 17,    // filter type/slope code
  lowpass_filter = 18,     // filter type/slope code
  highpass_frequency = 19,
  lowpass_frequency = 20,
  peq_frequency = 21,      // parametric EQ bands
  peq_gain = 22,
  peq_q = 23,
  geq_frequency = 24,      // graphic EQ bands
  geq_gain = 25,
  geq_q = 26,
  effect_type = 27,        // 1..32
  effect_param_1 = 28,     // range and text follow the effect type
  effect_param_2 = 29,
  effect_param_3 = 30,     // empty row: read as plain values
  effect_param_4 = 31,     // empty row
  effect_value = 32,       // 1..32
  unused_33 = 33,          // empty rows
  unused_34 = 34,
  unused_35 = 35,
  unused_36 = 36,
  unused_37 = 37,
  output_delay = 38,       // signed tenths of a millisecond
  phase = 39,              // 0 reads as 180 degrees
  bus_state = 40,          // empty row, carried by one bus switch
  unused_41 = 41,          // empty rows
  unused_42 = 42,
  percent = 43,
  small_count = 44,        // 0..15
};

constexpr int value_type_count = 45;

constexpr int type_number(value_type t) { return static_cast<int>(t); }

// Level words (make-up gain, fader and send levels): bits 0..13 the level, 1200 = 0 dB,
// 0 = off; bits 14 and 15 are flags every level write keeps.
constexpr uint16_t level_mask = 0x3FFF;
constexpr uint16_t level_flag_14 = 0x4000;
constexpr uint16_t level_flag_15 = 0x8000;
constexpr uint16_t level_flags = level_flag_14 | level_flag_15;
constexpr int level_zero_db = 1200;

constexpr bool is_level_type(value_type t) {
  return t == value_type::makeup_gain || t == value_type::fader_level || t == value_type::send_level;
}

constexpr bool is_frequency_type(value_type t) {
  return t == value_type::highpass_frequency || t == value_type::lowpass_frequency ||
         t == value_type::peq_frequency || t == value_type::geq_frequency;
}

}  // namespace vorante
