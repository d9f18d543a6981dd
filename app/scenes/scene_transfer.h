// Moving one scene between the program and the console's scene memory: values in blocks,
// the channel texts and the scene name, each send answered by one reply flag. Replies
// count only for the scene (and text) last asked about.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "app/params/ids.h"
#include "app/protocol/device_link.h"
#include "app/protocol/messages.h"
#include "app/protocol/name_slot.h"
#include "app/protocol/name_tables.h"

namespace vorante {

// Reply flags of the scene transfer.
struct transfer_flags {
  bool values_read = false;
  bool values_written = false;
  bool text_read = false;
  bool text_written = false;
  bool name_read = false;
  bool name_written = false;
  bool write_finished = false;
};

// One scene as it travels to or from the console.
struct transfer_image {
  std::array<uint16_t, param_count> values{};
  std::array<name_slot, channel_name_count> texts{};
  name_slot name{};
};

class scene_transfer {
 public:
  explicit scene_transfer(device_link& device);

  void send_values_read(int scene, int count, uint16_t first_id);
  // Sends `count` values of the image from `first_id`; IDs beyond the store send 0.
  void send_values_write(int scene, int count, uint16_t first_id);
  void send_text_read(int scene, int index);
  void send_text_write(int scene, int index);
  void send_name_read(int scene);
  void send_name_write(int scene);
  void send_write_finish(int scene);

  transfer_flags& replies() { return replies_; }
  transfer_image& image() { return *image_; }
  // The scene and text index the replies must carry.
  int scene() const { return scene_; }
  int text_index() const { return text_; }

  // A reply of the console to one of the sends above; other codes change nothing.
  void handle(message_code code, std::span<const uint8_t> payload);

 private:
  device_link& device_;
  transfer_flags replies_;
  std::unique_ptr<transfer_image> image_;
  uint8_t scene_ = 0;
  uint8_t text_ = 0;
  uint16_t expected_read_first_ = 0, expected_write_first_ = 0;
  int expected_text_write_ = -1;
};

}  // namespace vorante
