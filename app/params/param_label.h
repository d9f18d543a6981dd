// What a parameter is called where a person reads it: the channel it belongs to ("CH3",
// "AUX2", "SYSTEM") and its name on that channel ("EQ 2 gain"), for lists that name
// parameters one by one rather than showing them on a page.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/params/ids.h"

namespace vorante {

struct param_label {
  // The channel the parameter belongs to; kind_global for the console's own settings.
  int kind = kind_global;
  int index = 0;
  std::string parameter;
};

param_label label_of(unsigned id);

// Where an ID sits by the block formulas alone, typed or not: (kind, index, code) for every
// ID inside a channel block and for effect code 216; all zero (kind 0) for the rest.
struct param_address {
  int kind = kind_global;
  int index = 0;
  int code = 0;
};
param_address address_of(unsigned id);

// The channel part as text: the user's name when given, else the default channel name;
// "MUTE GROUP n", "PHANTOM GROUP n" and "SYSTEM" for the rest.
std::string label_channel_text(const param_label& label, std::string_view user_name = {});

// The channel "on" switches (0 = muted), named and shown as a mute.
bool is_mute_code(int code);

}  // namespace vorante
