// The console's physical control surface as this program drives it: motor-fader slots
// with their retry states and the key-light words. Outputs go out only while the surface
// is driven (running on the console, or taking the surface over).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "app/params/retry.h"
#include "app/params/store.h"
#include "app/protocol/frame.h"
#include "app/protocol/ui_port.h"

namespace vorante {

constexpr int surface_fader_count = 32;
constexpr int surface_encoder_count = 32;
constexpr int surface_light_words = 32;
constexpr int surface_last_light = 86;
constexpr int surface_strip_slots = 8;
constexpr int surface_main_l_slot = 8;  // the key numbering puts MAIN L first
constexpr int surface_main_r_slot = 9;
constexpr uint32_t light_send_delay_ms = 50;

// Media key lights.
constexpr int light_media_play = 2;
constexpr int light_media_player = 3;
constexpr int light_media_record = 4;
constexpr int light_media_bluetooth = 5;

// Control event and output IDs.
constexpr uint16_t event_key = 1;
constexpr uint16_t event_first_fader = 2;
constexpr uint16_t event_first_encoder = 34;
constexpr uint16_t output_first_fader = 66;
constexpr uint16_t output_first_light_word = 98;

class control_surface {
 public:
  using send_fn = std::function<void(std::span<const id_value>)>;

  control_surface(param_store& store, send_fn send_outputs) : store_(store), send_(std::move(send_outputs)) {}

  // The fader bank the surface's faders and strip keys act on: the bank on the strips page,
  // except that showing the DCA bank (the last) leaves the layer as it was.
  int layer() const { return layer_; }
  void set_layer(int layer) { layer_ = layer; }

  // The channel a fader slot or strip-key column holds on the current layer (8 and 9 are
  // MAIN L and MAIN R on every layer); empty for an empty slot.
  std::optional<channel_ref> slot_channel(int slot) const;
  // The fader-level ID a slot drives on the current layer; -1 for an empty slot.
  int slot_param(int slot) const;
  // The slot of a fader-level ID on the current layer; -1 when it has none.
  int param_slot(unsigned id) const;

  void queue_fader(int slot, uint16_t level);
  void fader_written(unsigned id);  // a fader level was written or pushed
  // Every slot of the current layer and both MAIN slots with their current levels.
  void faders_full_refresh();
  // The same, only once a full read has delivered the levels and with surface takeover on.
  void faders_full_refresh_if_ready(bool takeover, bool end_marker_seen) {
    if (takeover && end_marker_seen) faders_full_refresh();
  }
  // Paced flush of pending fader outputs by the tick rule.
  void flush_faders();
  // The console echoed an output it applied.
  void output_applied(uint16_t output_id, uint16_t value);
  bool fader_pending(int slot) const { return slot >= 0 && slot < surface_fader_count && pending_[slot]; }
  uint16_t fader_level(int slot) const { return level_[slot]; }

  void set_light(int n, bool on, uint32_t now);
  void set_light_if_changed(int n, bool on, uint32_t now);
  bool light(int n) const { return n >= 0 && n <= surface_last_light && ((lights_[n / 16] >> (n % 16)) & 1); }
  // Sends the changed light words once the light timer is due.
  void step(uint32_t now);

  // Key lights computed from the store and the screen: all of them (every light off
  // first), or only the lights the computation names (incremental).
  void lights_full_refresh(uint32_t now, const surface_page_state& page, bool locked);
  void lights_incremental_refresh(uint32_t now, const surface_page_state& page, bool locked);
  // The media keys' lights (play, player, recorder, Bluetooth) from the media state; set
  // only where they differ.
  void media_lights(uint32_t now, const surface_page_state& page);
  // A channel parameter changed: recompute the lights incrementally 50 ms later.
  void schedule_incremental(uint32_t now);
  bool incremental_due(uint32_t now);

  // A fader moved by hand: the parameter follows, the motor is not driven against it.
  // Returns false when the slot holds no channel, or when observing only.
  bool fader_moved(int fader, uint16_t value, bool locked);

  // A client that only watches the console lets its faders move without writing the
  // parameters they drive.
  void set_observe_only(bool on) { observe_only_ = on; }

 private:
  param_store& store_;
  send_fn send_;
  int layer_ = 0;
  bool observe_only_ = false;
  std::array<uint16_t, surface_fader_count> level_{};
  std::array<bool, surface_fader_count> pending_{};
  std::array<uint8_t, surface_fader_count> state_{};
  bool flush_ = false;
  std::array<uint16_t, surface_light_words> lights_{};
  std::array<bool, surface_light_words> changed_{};
  bool light_timer_ = false;
  uint32_t light_due_ = 0;
  bool incremental_pending_ = false;
  uint32_t incremental_due_ = 0;

  void compute_lights(bool full, uint32_t now, const surface_page_state& page, bool locked);
};

}  // namespace vorante
