#include "app/params/names.h"

#include <cstdio>

#include "app/core/translate.h"
#include "app/params/ids.h"

namespace vorante {

namespace {

// Types 1..16 belong to the first effect processor, 17..32 to the second.
constexpr std::array<const char*, 32> effect_names{
    "REVERB HALL",  "REVERB ROOM",   "REVERB PLATE", "REVERB VOCAL1", "REVERB VOCAL2",
    "VOCAL ECHO1",  "VOCAL ECHO2",   "DELAY1",       "DELAY2",        "MOD.DELAY",
    "REVERB GATE",  "PITCH CHANGE",  "CHORUS",       "PHASER",        "FLANGE",
    "TREMOLO",      "REVERB HALL",   "REVERB ROOM",  "REVERB PLATE",  "REVERB VOCAL1",
    "REVERB VOCAL2", "VOCAL ECHO1",  "VOCAL ECHO2",  "DELAY1",        "DELAY2",
    "EARLY REF.",   "GATE REVERB",   "VOCAL DOUBLER", "FLANGE",       "SYMPHONIC",
    "DISTORTION",   "TAP DELAY",
};

struct effect_params {
  const char* label1;
  int max1;
  const char* label2;
};

constexpr effect_params reverb{"REVERB PREDELAY", 30, "REVERB DURATION"};
constexpr effect_params echo_short{"ECHO DELAY", 68, "ECHO REPEAT"};
constexpr effect_params echo_long{"ECHO DELAY", 135, "ECHO REPEAT"};

constexpr std::array<effect_params, 32> effect_param_table{{
    reverb, reverb, reverb, reverb, reverb,                    // 1..5
    echo_short, echo_short,                                    // 6, 7
    echo_long, echo_long, echo_long,                           // 8..10
    {"ECHO DELAY", 100, "ECHO DELAY"},                         // 11
    {"SLOPE", 63, "DEPTH"},                                    // 12
    {"FREQUENCY", 42, "DEPTH"},                                // 13
    {"FREQUENCY", 63, "DEPTH"}, {"FREQUENCY", 63, "DEPTH"},    // 14, 15
    {"FREQUENCY", 127, "DEPTH"},                               // 16
    reverb, reverb, reverb, reverb, reverb,                    // 17..21
    echo_short, echo_short,                                    // 22, 23
    echo_long, echo_long,                                      // 24, 25
    {"REVERB DELAY", 100, "ECHO REPEAT"},                      // 26
    {"REVERB DELAY", 100, "ECHO REPEAT"},                      // 27
    {"FREQUENCY", 42, "REVERB RATIO"},                         // 28
    {"FREQUENCY", 63, "REVERB RATIO"},                         // 29
    {"ECHO DELAY", 42, "ECHO REPEAT"},                         // 30
    {"FREQUENCY", 63, "DEPTH"},                                // 31
    echo_long,                                                 // 32
}};

constexpr int effect_param2_limit = 100;

constexpr std::array<const char*, filter_type_count> filter_type_names{
    "BUTTER\nWORTH", "BESSEL", "LINKWITZ\n-RILEY"};

constexpr int numbered_inputs = 20;  // inputs 0..19 take their number from the fitted slots
constexpr int aux_bus_count = 8;
constexpr int first_bus_logical = 28;
constexpr int digital_input = 24;

std::string printed(const char* format, int a, int b = 0) {
  char text[32];
  std::snprintf(text, sizeof text, format, a, b);
  return text;
}

// Counts the fitted slots before `index` among logical first..first + index - 1.
int fitted_before(int first_logical, int index) {
  int n = 0;
  for (int i = 0; i < index; ++i)
    if (!logical_slot_of(first_logical + i).not_fitted) ++n;
  return n;
}

}  // namespace

std::string effect_type_name(int type) {
  if (!is_effect_type(type)) return "";
  return translate_text(effect_names[type - 1]);
}

std::string effect_param1_label(int type) {
  return translate_text(is_effect_type(type) ? effect_param_table[type - 1].label1 : "UNDEF");
}

std::string effect_param2_label(int type) {
  return translate_text(is_effect_type(type) ? effect_param_table[type - 1].label2 : "UNDEF");
}

int effect_param1_max(int type) { return is_effect_type(type) ? effect_param_table[type - 1].max1 : 0; }

int effect_param2_max(int type) { return is_effect_type(type) ? effect_param2_limit : 0; }

std::optional<filter_place> find_filter_code(int code) {
  for (bool low_pass : {false, true})
    for (int row = 0; row < static_cast<int>(filter_rows.size()); ++row) {
      const auto& codes = low_pass ? filter_rows[row].low_pass : filter_rows[row].high_pass;
      for (int t = 0; t < filter_type_count; ++t)
        if (codes[t] == code) return filter_place{low_pass, row, t};
    }
  return std::nullopt;
}

int filter_code_at(bool low_pass, int row, int filter_type) {
  const filter_slope_row& r = filter_rows[row];
  return low_pass ? r.low_pass[filter_type] : r.high_pass[filter_type];
}

filter_texts filter_text(int code) {
  const std::optional<filter_place> place = find_filter_code(code);
  if (!place) return {};
  return {translate_text(filter_type_names[place->filter_type]), filter_rows[place->row].slope};
}

int channel_display_number(int kind, int index) {
  if (kind == kind_input && index >= 0 && index < numbered_inputs) return fitted_before(0, index);
  if (kind == kind_bus && index >= 0 && index < aux_bus_count)
    return fitted_before(first_bus_logical, index);
  return index;
}

namespace {

// Full and short name of a channel as printf formats with their two numbers.
struct channel_name_formats {
  const char* full;
  const char* brief;
  int first = 0;
  int second = 0;
};

std::optional<channel_name_formats> name_formats(int kind, int index) {
  if (!is_channel(kind, index)) return std::nullopt;
  const int n = channel_display_number(kind, index);
  switch (kind) {
    case kind_input:
      if (index == digital_input) return channel_name_formats{"DIGI", "DIGI"};
      if (is_fixed_stereo_left(kind, index)) return channel_name_formats{"CH%d/%d", "%d/%d", n + 1, n + 2};
      return channel_name_formats{"CH%d", "%d", n + 1};
    case kind_fx: return channel_name_formats{"FX%d", "FX%d", index + 1};
    case kind_bus:
      if (index == main_l_bus) return channel_name_formats{"LEFT", "L"};
      if (index == main_r_bus) return channel_name_formats{"RIGHT", "R"};
      return channel_name_formats{"AUX%d", "A%d", n + 1};
    default: return channel_name_formats{"DCA%d", "D%d", index + 1};
  }
}

}  // namespace

std::string default_channel_name(int kind, int index) {
  const auto f = name_formats(kind, index);
  return f ? printed(f->full, f->first, f->second) : std::string();
}

std::string channel_short_name(int kind, int index) {
  const auto f = name_formats(kind, index);
  return f ? printed(f->brief, f->first, f->second) : std::string();
}

std::string channel_display_name(int kind, int index, std::string_view user_name) {
  if (!user_name.empty()) return std::string(user_name);
  return default_channel_name(kind, index);
}

}  // namespace vorante
