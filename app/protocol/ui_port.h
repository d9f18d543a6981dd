// Everything the core tells the screens goes through this one interface. The default
// implementation does nothing, so tests and the command-line client run without any UI.
#pragma once

#include <cstdint>
#include <string_view>

namespace vorante {

class ui_port {
 public:
  virtual ~ui_port() = default;

  // A parameter changed; pushed is 1 when the console pushed the change itself.
  virtual void on_param(uint16_t id, uint16_t value, int pushed) { (void)id, (void)value, (void)pushed; }
  virtual void on_name(int logical, std::string_view name) { (void)logical, (void)name; }
  virtual void on_scene_name(int scene, std::string_view name) { (void)scene, (void)name; }

  // The group bar at the top of the main frame; absent unless the UI created it.
  virtual bool group_bar_exists() const { return false; }
  virtual void group_bar_level(int kind, int index, double db) { (void)kind, (void)index, (void)db; }
};

// The do-nothing port used when no UI is attached.
ui_port& null_ui_port();

}  // namespace vorante
