// A store with a recording UI port and engine events, for the parameter model tests.
#pragma once

#include <utility>
#include <vector>

#include "app/params/store.h"

namespace vorante::test {

struct recording_ui : ui_port {
  std::vector<std::pair<uint16_t, uint16_t>> params;
  bool bar = false;
  std::vector<double> bar_levels;
  void on_param(uint16_t id, uint16_t value, bool) override { params.emplace_back(id, value); }
  bool group_bar_exists() const override { return bar; }
  void group_bar_level(int, int, double db) override { bar_levels.push_back(db); }
  bool refreshed(uint16_t id) const {
    for (const auto& p : params)
      if (p.first == id) return true;
    return false;
  }
};

struct recording_events : store_events {
  int scene_name_requests = 0, channel_name_requests = 0, drops = 0, restarts = 0, key_lights = 0;
  std::vector<uint16_t> surface_faders;
  bool locked = false, scene_call = false;
  void request_scene_names() override { ++scene_name_requests; }
  void request_channel_names() override { ++channel_name_requests; }
  void drop_name_traffic() override { ++drops; }
  void read_restarted() override { ++restarts; }
  bool console_locked() const override { return locked; }
  bool scene_call_pending() const override { return scene_call; }
  void surface_fader_written(uint16_t id) override { surface_faders.push_back(id); }
  void schedule_key_lights() override { ++key_lights; }
};

struct store_fixture {
  runtime_options options;
  recording_ui ui;
  recording_events events;
  param_store store{options, ui, events};
  store_fixture() { store.load_defaults(); }
};

}  // namespace vorante::test
