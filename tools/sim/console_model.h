// The simulated console: all of its state and its answers, with no sockets and no clock of
// its own. The server hands it every frame with the current time and sends what comes
// back; tests do the same and move the clock by hand.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <deque>
#include <memory>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/params/ids.h"
#include "app/protocol/messages.h"
#include "tools/sim/console_activity.h"
#include "tools/sim/frame_list.h"
#include "tools/sim/media_module.h"

namespace vorante::sim {

constexpr int scene_memories = 16;
constexpr int channel_names = 60;
constexpr std::size_t password_limit = 8;

// A console-side change waits this long for the program's echo before it goes out again,
// and is given up after this many sends.
constexpr uint32_t change_resend_ms = 500;
constexpr int change_max_sends = 4;
// More unanswered change frames than this: the oldest is given up at once, so a peer that
// never echoes cannot make the console hoard frames.
constexpr std::size_t max_awaiting_changes = 64;

// Who holds the media player (3181..3184, bit 15 of 3181 = held), the identity the console
// gives its client (3185..3188) and the client's claim (3189).
constexpr uint16_t media_holder_id = 3181;
constexpr uint16_t media_client_id = 3185;
constexpr uint16_t media_claim_id = 3189;
constexpr std::array<uint16_t, 4> media_identity = {0x1A2B, 0x3C4D, 0x5E6F, 0x7081};

struct console_settings {
  std::string name = "unnamed";
  uint16_t product = 0xE001;
  uint8_t model = 0x3B;
  bool answer_probe = false;     // plays the parameter service of the local device
  bool random_values = false;
  uint32_t random_seed = 0;      // with random_values: the seed of the varied image
  uint32_t seed = 1;             // meters, activity and media timing
  std::string password;          // the lock password the console starts with
  bool meters = false;
  double activity_rate = 0;      // console-side changes per second
  std::string disk_dir;          // empty: the built-in demo disk
};

struct console_stats {
  uint64_t frames_handled = 0;
  uint64_t frames_ignored = 0;   // unknown codes or too short for their message
  uint64_t changes_echoed = 0;
  uint64_t changes_resent = 0;
  uint64_t changes_given_up = 0;
};

// One stored scene: values, channel texts and name.
struct scene_memory {
  std::array<uint16_t, param_count> values{};
  std::array<std::string, channel_names> texts;
  std::string name;
};

// The texts of the console's configuration (the non-numeric settings).
struct console_config {
  std::string device_name;
  std::string password;
  bool scene_key_lock = false;
  std::vector<std::pair<std::string, std::string>> network;  // key, value
};

class console_model {
 public:
  explicit console_model(const console_settings& settings, uint32_t now = 0);

  // The answers to one frame from a peer, appended to `out`; they go back to its sender.
  void handle(std::span<const uint8_t> frame, uint32_t now, frame_list& out);
  frame_list handle(std::span<const uint8_t> frame, uint32_t now);

  // Everything the console sends by itself at time `now`: parameter changes and their
  // resends, meters, activity, control events, media reports. Appended to `out`.
  void tick(uint32_t now, frame_list& out);
  frame_list tick(uint32_t now);

  // Without anyone to push to, pending pushes are dropped: a program that connects later
  // reads everything anyway.
  void set_peer_present(bool present);

  // --- the console's own hands ---
  uint16_t value(unsigned id) const { return is_valid_id(id) ? values_[id] : 0; }
  // A change made on the console; pushed at the next tick. False for IDs above 3517.
  bool console_set(unsigned id, uint16_t value);
  void press_key(uint16_t code, bool long_press);
  void move_fader(int fader, uint16_t level);      // fader 0..31, 14-bit level
  void turn_encoder(int encoder, int16_t steps);   // encoder 0..31
  void set_lock(bool locked);                      // the console's own lock key
  // Writes are neither applied nor confirmed while refused.
  void set_refuse_writes(bool on) { refuse_writes_ = on; }
  bool call_scene(int n);                          // from the console's scene keys
  bool save_scene(int n);
  // The u-disk in the media module's port (the demo disk until replaced).
  void replace_disk(media_disk disk, uint32_t now);
  media_module& media() { return media_; }
  const media_module& media() const { return media_; }

  // --- state, for the line commands and the tests ---
  const console_config& config() const { return config_; }
  const scene_memory& scene(int n) const { return scenes_[static_cast<std::size_t>(n - 1)]; }
  std::string_view channel_name(int logical) const;
  bool locked() const { return values_[lock_state_id] != 0; }
  uint16_t fader_output(int fader) const { return fader_outputs_[static_cast<std::size_t>(fader)]; }
  uint16_t light_word(int word) const { return light_words_[static_cast<std::size_t>(word)]; }
  const std::array<uint16_t, 32>& light_words() const { return light_words_; }
  const std::array<uint16_t, 32>& fader_outputs() const { return fader_outputs_; }
  // Bit f: fader f has been sent a position.
  uint32_t faders_received() const { return faders_received_; }
  const console_stats& stats() const { return stats_; }
  std::size_t awaiting_echo() const { return awaiting_.size(); }
  const console_settings& settings() const { return settings_; }

 private:
  struct awaiting_change {
    std::vector<uint16_t> ids;
    frame_bytes sent;
    uint32_t sent_at = 0;
    int sends = 0;
  };

  // Handlers by message; each appends its answers.
  void on_identify(frame_list& out);
  void on_read(std::span<const uint8_t> frame, std::span<const uint8_t> payload, frame_list& out);
  void on_write(std::span<const uint8_t> payload, uint32_t now, frame_list& out);
  void on_change_echo(std::span<const uint8_t> frame);
  void on_call_scene(std::span<const uint8_t> payload, frame_list& out);
  void on_save_scene(std::span<const uint8_t> payload, frame_list& out);
  void on_scene_name(message_code code, std::span<const uint8_t> payload, frame_list& out);
  void on_channel_name(message_code code, std::span<const uint8_t> payload, frame_list& out);
  void on_status(std::span<const uint8_t> payload, frame_list& out);
  void on_network_list(frame_list& out);
  void on_config_query(std::string_view text, frame_list& out);
  void on_config_command(std::string_view text, frame_list& out);
  void on_transfer(message_code code, std::span<const uint8_t> payload, frame_list& out);
  void on_control_outputs(std::span<const uint8_t> payload, frame_list& out);

  // Configuration commands.
  std::string command_result(std::string_view text);
  std::string change_password(std::string_view text);
  std::string change_lock(std::string_view text, bool forced);
  void factory_reset();
  const std::string* network_value(std::string_view key) const;

  // A value the console itself changes: stored, and pushed at the next tick.
  // With force, pushed also when the value stays the same.
  void change(unsigned id, uint16_t value, bool force = false);
  void apply_write(uint16_t id, uint16_t value);
  void load_scene(int n);
  void flush_changes(uint32_t now, frame_list& out);
  void resend_changes(uint32_t now, frame_list& out);
  void queue_control_event(uint16_t event, uint16_t value);

  console_settings settings_;
  std::array<uint16_t, param_count> values_{};
  std::array<uint16_t, param_count> initial_{};
  std::array<scene_memory, scene_memories> scenes_;
  // Scene uploads collect here and take effect with the write-finish message, so an
  // upload that breaks off leaves the stored scene as it was.
  std::array<std::unique_ptr<scene_memory>, scene_memories> staged_;
  std::array<std::string, channel_names> channel_names_;
  console_config config_;
  std::array<uint16_t, 32> fader_outputs_{};
  std::array<uint16_t, 32> light_words_{};
  uint32_t faders_received_ = 0;

  std::bitset<param_count> pending_mask_;
  std::vector<uint16_t> pending_ids_;
  std::deque<awaiting_change> awaiting_;
  frame_list outbox_;  // control events and other one-off pushes
  bool peer_present_ = true;

  console_activity activity_;
  media_module media_;
  console_stats stats_;
  bool refuse_writes_ = false;
};

// "Scene%d": the name a scene memory has until it is renamed.
std::string default_scene_name(int n);

// The network settings a console leaves the factory with.
std::vector<std::pair<std::string, std::string>> default_network();

// The IDs a scene leaves alone when it is called: meters, the console's status and lock
// words, the scene-change marker and the probe targets.
bool is_scene_param(unsigned id);

// The image the console starts with: the defaults, or plausible varied values.
void build_start_image(std::array<uint16_t, param_count>& image, bool random, uint32_t seed);

}  // namespace vorante::sim
