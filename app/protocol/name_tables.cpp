#include "app/protocol/name_tables.h"

#include <cstdio>
#include <string>

namespace vorante {

name_tables::name_tables(ui_port& ui) : ui_(ui) {
  for (int n = 1; n <= scene_count; ++n) {
    char text[16];
    std::snprintf(text, sizeof text, "Scene%d", n);
    store_name(scene_names_[n - 1], std::string_view(text));
  }
}

void name_tables::set_scene_name(int n, std::string_view text) {
  if (n < 1 || n > scene_count) return;
  const std::string before(scene_name(n));
  store_name(scene_names_[n - 1], text);
  if (journal_) journal_->record_name(journal_item::scene_name, static_cast<uint16_t>(n), before, scene_name(n));
  scene_updates_.queue(n - 1);
}

std::string_view name_tables::scene_name(int n) const {
  if (n < 1 || n > scene_count) return {};
  return name_of(scene_names_[n - 1]);
}

void name_tables::set_channel_name(int logical, std::string_view text) {
  if (logical < 0 || logical >= channel_name_count) return;
  const std::string before(channel_name(logical));
  store_name(channel_names_[logical], text);
  if (journal_)
    journal_->record_name(journal_item::channel_name, static_cast<uint16_t>(logical), before, channel_name(logical));
  channel_updates_.queue(logical);
}

std::string_view name_tables::channel_name(int logical) const {
  if (logical < 0 || logical >= channel_name_count) return {};
  return name_of(channel_names_[logical]);
}

void name_tables::request_scene_names() {
  for (int i = 0; i < scene_count; ++i) scene_requests_.queue(i);
}

void name_tables::request_channel_names() {
  for (int i = 0; i < channel_name_count; ++i) channel_requests_.queue(i);
}

void name_tables::drop_traffic() {
  scene_requests_.clear();
  scene_updates_.clear();
  channel_requests_.clear();
  channel_updates_.clear();
}

void name_tables::flush(device_link& device) {
  if (const int i = scene_requests_.pass(); i >= 0) device.send(make_scene_name_request(static_cast<uint8_t>(i + 1)));
  if (const int i = scene_updates_.pass(); i >= 0)
    device.send(make_set_scene_name(static_cast<uint8_t>(i + 1), name_of(scene_names_[i])));
  if (const int i = channel_requests_.pass(); i >= 0) device.send(make_channel_name_request(static_cast<uint8_t>(i)));
  if (const int i = channel_updates_.pass(); i >= 0)
    device.send(make_set_channel_name(static_cast<uint8_t>(i), name_of(channel_names_[i])));
}

void name_tables::on_scene_name(std::span<const uint8_t> payload) {
  if (payload.empty() || payload[0] < 1 || payload[0] > scene_count) return;
  const int n = payload[0];
  scene_requests_.answer(n - 1);
  const std::string before(scene_name(n));
  store_name(scene_names_[n - 1], payload.subspan(1));
  if (journal_ && before != scene_name(n)) journal_->console_changed_name(journal_item::scene_name, static_cast<uint16_t>(n));
  ui_.on_scene_name(n, name_of(scene_names_[n - 1]));
}

void name_tables::on_scene_name_set(std::span<const uint8_t> payload) {
  if (!payload.empty() && payload[0] >= 1 && payload[0] <= max_confirmed_scene_slot)
    scene_updates_.answer(payload[0] - 1);
}

void name_tables::on_channel_name(std::span<const uint8_t> payload) {
  if (payload.empty() || payload[0] >= channel_name_count) return;
  const int l = payload[0];
  channel_requests_.answer(l);
  const std::string before(channel_name(l));
  store_name(channel_names_[l], payload.subspan(1));
  if (journal_ && before != channel_name(l))
    journal_->console_changed_name(journal_item::channel_name, static_cast<uint16_t>(l));
  ui_.on_name(l, name_of(channel_names_[l]));
}

void name_tables::on_channel_name_set(std::span<const uint8_t> payload) {
  if (!payload.empty() && payload[0] <= max_confirmed_channel_slot) channel_updates_.answer(payload[0]);
}

}  // namespace vorante
