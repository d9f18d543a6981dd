// Names shown for effect types and their parameters, filter type/slope codes and channels.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorante {

// Effect types 1..32 (16 per effect processor). Outside 1..32 the name is empty, the
// labels read "UNDEF" and both maxima are 0.
std::string effect_type_name(int type);
std::string effect_param1_label(int type);
std::string effect_param2_label(int type);
int effect_param1_max(int type);
int effect_param2_max(int type);
constexpr bool is_effect_type(int type) { return type >= 1 && type <= 32; }

// Filter type/slope codes of the high-pass and low-pass filters. Each slope row holds one
// code per filter type (0 Butterworth, 1 Bessel, 2 Linkwitz-Riley); only the selectable
// rows are offered when stepping the slope.
struct filter_slope_row {
  const char* slope;
  bool selectable;
  std::array<uint8_t, 3> high_pass;
  std::array<uint8_t, 3> low_pass;
};

constexpr int filter_type_count = 3;
constexpr std::array<filter_slope_row, 7> filter_rows{{
    {"12dB", true, {8, 10, 12}, {9, 11, 13}},
    {"18dB", false, {14, 16, 18}, {15, 17, 19}},
    {"24dB", true, {20, 22, 24}, {21, 23, 25}},
    {"30dB", false, {46, 48, 50}, {47, 49, 51}},
    {"36dB", false, {52, 54, 56}, {53, 55, 57}},
    {"42dB", false, {58, 60, 62}, {59, 61, 63}},
    {"48dB", false, {26, 28, 30}, {27, 29, 31}},
}};

struct filter_place {
  bool low_pass;
  int row;          // index into filter_rows
  int filter_type;  // 0..2
};

// Where a code sits in the table (high-pass block searched first); empty for other codes.
std::optional<filter_place> find_filter_code(int code);
int filter_code_at(bool low_pass, int row, int filter_type);

struct filter_texts {
  std::string type;   // translated family name, e.g. "BUTTER\nWORTH"
  std::string slope;  // e.g. "24dB"
};
// Both texts are empty for a code outside the table.
filter_texts filter_text(int code);

// Channel names for (kind, index): inputs "CH5", "CH17/18", "DIGI"; effect returns "FX1";
// buses "AUX3", "LEFT", "RIGHT"; DCA groups "DCA2". Other channels have no name ("").
std::string default_channel_name(int kind, int index);
std::string channel_short_name(int kind, int index);
// The user's name for the channel when it has one, otherwise the default name.
std::string channel_display_name(int kind, int index, std::string_view user_name);

// The number a channel shows: fitted channels counted in order (inputs 0..19 by pairs,
// aux buses 0..7 one by one). With every channel fitted it equals the index.
int channel_display_number(int kind, int index);

}  // namespace vorante
