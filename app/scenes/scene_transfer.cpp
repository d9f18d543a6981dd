#include "app/scenes/scene_transfer.h"

#include <algorithm>
#include <vector>

namespace vorante {

namespace {

// A values reply: scene, count, first ID (BE16), then the values.
constexpr std::size_t values_reply_head = 4;
// A text reply: scene, index, then the text.
constexpr std::size_t text_reply_head = 2;

}  // namespace

scene_transfer::scene_transfer(device_link& device)
    : device_(device), image_(std::make_unique<transfer_image>()) {}

void scene_transfer::send_values_read(int scene, int count, uint16_t first_id) {
  scene_ = static_cast<uint8_t>(scene);
  expected_read_first_ = first_id;
  replies_.values_read = false;
  device_.send(make_scene_values_read(scene_, static_cast<uint8_t>(count), first_id));
}

void scene_transfer::send_values_write(int scene, int count, uint16_t first_id) {
  scene_ = static_cast<uint8_t>(scene);
  expected_write_first_ = first_id;
  replies_.values_written = false;
  std::vector<uint16_t> values(static_cast<std::size_t>(std::max(count, 0)));
  for (std::size_t i = 0; i < values.size(); ++i) {
    const std::size_t id = first_id + i;
    values[i] = id < param_count ? image_->values[id] : 0;
  }
  device_.send(make_scene_values_write(scene_, first_id, values));
}

void scene_transfer::send_text_read(int scene, int index) {
  scene_ = static_cast<uint8_t>(scene);
  text_ = static_cast<uint8_t>(index);
  replies_.text_read = false;
  device_.send(make_scene_text_read(scene_, text_));
}

void scene_transfer::send_text_write(int scene, int index) {
  if (index < 0 || index >= channel_name_count) return;
  scene_ = static_cast<uint8_t>(scene);
  expected_text_write_ = index;
  replies_.text_written = false;
  device_.send(make_scene_text_write(scene_, static_cast<uint8_t>(index), name_of(image_->texts[index])));
}

void scene_transfer::send_name_read(int scene) {
  scene_ = static_cast<uint8_t>(scene);
  replies_.name_read = false;
  device_.send(make_scene_name_read(scene_));
}

void scene_transfer::send_name_write(int scene) {
  scene_ = static_cast<uint8_t>(scene);
  replies_.name_written = false;
  device_.send(make_scene_name_write(scene_, name_of(image_->name)));
}

void scene_transfer::send_write_finish(int scene) {
  scene_ = static_cast<uint8_t>(scene);
  replies_.write_finished = false;
  device_.send(make_scene_write_finish(scene_));
}

void scene_transfer::handle(message_code code, std::span<const uint8_t> payload) {
  const bool ours = !payload.empty() && payload[0] == scene_;
  switch (code) {
    case message_code::scene_values_read:
      if (ours && payload.size() >= values_reply_head && get_be16(&payload[2]) == expected_read_first_) {
        const std::size_t n = std::min<std::size_t>(payload[1], (payload.size() - values_reply_head) / 2);
        for (std::size_t i = 0; i < n; ++i) {
          const std::size_t id = expected_read_first_ + i;
          if (id < param_count) image_->values[id] = get_be16(&payload[values_reply_head + 2 * i]);
        }
        replies_.values_read = true;
      }
      break;
    case message_code::scene_values_write:
      if (ours && payload.size() >= values_reply_head && get_be16(&payload[2]) == expected_write_first_)
        replies_.values_written = true;
      break;
    case message_code::scene_write_finish:
      if (ours) replies_.write_finished = true;
      break;
    case message_code::scene_text_read:
      if (ours && payload.size() >= text_reply_head && payload[1] < channel_name_count && payload[1] == text_) {
        store_name(image_->texts[payload[1]], payload.subspan(text_reply_head));
        replies_.text_read = true;
      }
      break;
    case message_code::scene_text_write:
      if (ours && payload.size() >= text_reply_head && payload[1] == expected_text_write_) replies_.text_written = true;
      break;
    case message_code::scene_name_read:
      if (ours) {
        store_name(image_->name, payload.subspan(1));
        replies_.name_read = true;
      }
      break;
    case message_code::scene_name_write:
      if (ours) replies_.name_written = true;
      break;
    default:
      break;
  }
}

}  // namespace vorante
