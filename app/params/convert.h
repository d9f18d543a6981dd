// Value conversion: what a raw 16-bit parameter means for its value type (dB, Hz, ms, ratio,
// position), how it reads as text, how one encoder or key step moves it, and where it sits
// on a 0..100 fader or knob.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "app/params/ids.h"
#include "app/params/value_type.h"

namespace vorante {

class param_store;

// One row of the value-type table. min, max and step are in units of physical x scale
// (the "integer position" that stepping works on).
struct value_type_info {
  int scale;        // raw units per physical unit; 0 marks an empty row
  int step;
  int min;
  int max;
  int decimals;     // 0, 1 or 2 shown
  const char* unit;
  int extra;        // carried with the row; no conversion reads it
};

// The row of a value type; types above 44 and empty rows give row 0 (plain raw values).
const value_type_info& value_type_row(value_type type);
// The row of a parameter's value type.
const value_type_info& param_type_row(unsigned id);

double to_physical(value_type type, uint16_t raw);
uint16_t to_raw(value_type type, double physical);

enum class unit_display : uint8_t { shown, hidden };

// Text of a raw value. effect_type is the effect type of the same effect return; only
// effect parameters 1 and 2 read it. Filter codes read as type and slope joined by a
// space; filter_text gives the two apart.
std::string value_text_of_type(value_type type, uint16_t raw, int effect_type = 0,
                               unit_display units = unit_display::shown);
// The same for a stored parameter; effect parameters take their effect type from the store.
std::string value_text(const param_store& store, unsigned id);
std::string value_text_plain(const param_store& store, unsigned id);

// Step modes: what one step changes.
enum step_mode : int {
  step_normal = 0,   // the value; for filter codes the filter type
  step_field_1 = 1,  // levels: set/clear bit 14; filter codes: the slope
  step_field_2 = 2,  // levels: set/clear bit 15
};

// The value one step away: delta >= 0 steps up, below 0 down (effect parameters move by
// delta itself). effect_type as for value_text_of_type.
uint16_t step_value_of_type(value_type type, uint16_t raw, int delta, int mode, int effect_type = 0);
uint16_t step_value(const param_store& store, unsigned id, int delta, int mode);
// Steps the stored value and writes it with the linked set when it changed.
uint16_t step_param(param_store& store, unsigned id, int delta, int mode);

// Fader and knob positions 0..100; raw_of_position takes a fraction 0..1 and is defined
// for the ladder types only (0 otherwise).
int position_of(value_type type, uint16_t raw);
uint16_t raw_of_position(value_type type, double fraction);

// The list of physical values a value type steps through, empty for types without one.
std::span<const double> ladder_of(value_type type);
// Index of the entry nearest to x; a tie goes to the upper entry.
int nearest_ladder_index(std::span<const double> ladder, double x);

// The gate decay setting is stored as a value of 2, 4, 6, 8, 16 or 32 and stepped and
// positioned by its index 0..5 in that list.
int gate_setting_index(int value);
int gate_setting_value(int index);

}  // namespace vorante
