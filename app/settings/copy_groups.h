// The rules behind the copy page, the mute- and phantom-group pages and the signal
// generator page, kept apart from the widgets so they can be checked on a bare store.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "app/params/ids.h"
#include "app/params/store.h"

namespace vorante {

// A channel the console has fitted (the logical slot says so).
inline bool channel_fitted(int kind, int index) { return !logical_slot_of(logical_of(kind, index)).not_fitted; }

// --- Copy page -------------------------------------------------------------------------

// Inputs 0..15 or aux buses 0..7.
constexpr int copy_input_slots = 16;
constexpr int copy_bus_slots = 8;
constexpr int copy_slots(int kind) { return kind == kind_input ? copy_input_slots : copy_bus_slots; }

// The fitted channels of a copy section in index order: what the source list offers.
std::vector<int> copy_sources(int kind);

// The input whose target button follows `index`'s: its pair partner while the pair is
// linked; none for buses or unlinked inputs.
std::optional<int> copy_partner(const param_store& store, int kind, int index);

// The targets a copy goes to: the checked slots in index order without the source.
std::vector<int> copy_targets(int source, std::span<const bool> checked);

// Copies `source` onto each target in order. Returns false (and does nothing) while an
// earlier copy is still being sent or when no target is left.
bool start_copy(param_store& store, int kind, int source, std::span<const bool> checked);

// --- Mute and phantom groups -----------------------------------------------------------

struct group_channel {
  int kind;
  int index;
  int button_type;  // the toggle type the page shows it with
};

// The channels one grid of a group page offers, fitted or not.
std::span<const group_channel> group_grid(int group_kind, int grid);
int group_grid_count(int group_kind);

// The member written beside (kind, index) on a mute-group page: the right side of the
// fixed stereo inputs 16, 18 and 24.
std::optional<int> group_right_member(int group_kind, int kind, int index);

// Writes one channel's membership of `group`, with its right member.
void set_group_member(param_store& store, int group_kind, int group, int kind, int index, bool on);
// "ALL MUTED" / "UNMUTE" and "ALL ON" / "ALL OFF": every fitted channel of the page.
void set_all_group_members(param_store& store, int group_kind, int group, bool on);

// Columns of every membership grid, from the number of fitted inputs among 0..15: half of
// them (rounded up) on the mute page, a quarter on the phantom page.
int group_grid_columns(int group_kind, int fitted_inputs);

// --- Signal generator ------------------------------------------------------------------

constexpr uint16_t generator_on_id = 2769;
constexpr uint16_t generator_type_id = 2770;
constexpr uint16_t generator_frequency_id = 2771;
constexpr uint16_t generator_level_id = 2772;
constexpr uint16_t generator_first_output_id = 2773;  // AUX 1..8, then LEFT and RIGHT
constexpr int generator_output_count = 10;
constexpr uint16_t generator_last_id = generator_first_output_id + generator_output_count - 1;
constexpr uint16_t generator_output_on = 1200;

enum generator_type : int { noise_white = 1, noise_pink = 2, sine_wave = 3 };

// Which parameter the page's slider drives: none, the frequency or the level.
class generator_binding {
 public:
  uint16_t bound() const { return bound_; }
  void bind(uint16_t id) { bound_ = (id == generator_frequency_id || id == generator_level_id) ? id : 0; }
  // The generator went off: a frequency binding is dropped, a level binding kept.
  // Returns whether the binding was dropped.
  bool generator_off() {
    if (bound_ != generator_frequency_id) return false;
    bound_ = 0;
    return true;
  }

 private:
  uint16_t bound_ = 0;
};

// What the page shows for the generator's state.
struct generator_view {
  bool on = false;
  int type = 0;  // 0 none selected, else 1..3
  std::array<bool, generator_output_count> outputs{};
};
generator_view generator_state(const param_store& store);

// ON/OFF flips 2769; a type button writes 2770 whatever the state; an output button flips
// its ID between 0 and 1200.
void toggle_generator(param_store& store);
void choose_generator_type(param_store& store, int type);
void toggle_generator_output(param_store& store, int output);

// --- Factory mode ----------------------------------------------------------------------

// Opens (1200) or closes (0) every volume with quiet writes; channels not fitted get 0.
void set_all_volumes(param_store& store, uint16_t level);

}  // namespace vorante
