// Everything the core tells the screens goes through this one interface. The default
// implementation does nothing, so tests and the command-line client run without any UI.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorante {

// Toast colours (RGB565).
constexpr uint16_t toast_green = 0x07E0;
constexpr uint16_t toast_red = 0xF800;
constexpr uint16_t toast_yellow = 0xFFE0;
constexpr int toast_default_ms = 1500;

// What the console's key lights show of the screen.
struct surface_page_state {
  int editor_kind = 0;  // kind of the channel editor on screen (1, 2, 3), 0 for none
  int editor_index = 0;
  bool settings_shown = false;
  bool player_shown = false;
  bool phones_pinned = false;
  // What the media keys light: the media client's play device and transport state, and the
  // source the player page shows (0 while it is not on screen).
  int play_device = 0;
  int transport_state = 0;
  int player_source = 0;
};

class ui_port {
 public:
  virtual ~ui_port() = default;

  // --- the page on screen ---
  // A parameter changed; pushed when the console sent the change by itself, not when it
  // answered a read or the change was made here.
  virtual void on_param(uint16_t id, uint16_t value, bool pushed) { (void)id, (void)value, (void)pushed; }
  virtual void on_name(int logical, std::string_view name) { (void)logical, (void)name; }
  virtual void on_scene_name(int scene, std::string_view name) { (void)scene, (void)name; }

  // --- the group bar at the top of the main frame; absent unless the UI created it ---
  virtual bool group_bar_exists() const { return false; }
  virtual void group_bar_level(int kind, int index, double db) { (void)kind, (void)index, (void)db; }

  // --- link state ---
  virtual void link_state_changed(bool online) { (void)online; }
  // The console's identification did not match: the application stays offline for good.
  virtual void show_incompatible_overlay(std::string_view text) { (void)text; }
  // Whether the connect dialog is open (the supervision skips its status reads then).
  virtual bool connect_dialog_open() const { return false; }

  // --- toasts (texts already translated) ---
  virtual void show_toast(std::string_view text, uint16_t colour, int ms) { (void)text, (void)colour, (void)ms; }

  // --- configuration reports and results ---
  virtual void device_name_changed(std::string_view name) { (void)name; }
  virtual void firmware_version_changed(std::string_view version) { (void)version; }
  virtual void scene_key_lock_changed(bool locked) { (void)locked; }
  virtual void network_value(std::string_view key, std::string_view value) { (void)key, (void)value; }
  virtual void network_apply_result(std::string_view text) { (void)text; }
  virtual void network_list(const std::vector<std::string>& names) { (void)names; }
  virtual void password_changed() {}
  virtual void factory_reset_done() {}

  // --- control surface ---
  virtual surface_page_state surface_state() const { return {}; }
  // A key press (bit 15 set: held long) and an encoder turn of the console's surface. The
  // engine drops encoder turns while the console is locked; keys arrive always, since the
  // scene keys print their refusal even then.
  virtual void console_key(uint16_t code) { (void)code; }
  virtual void console_encoder(int encoder, int steps) { (void)encoder, (void)steps; }

  // --- console lock (parameter 3190) ---
  virtual void console_lock_changed(bool locked) { (void)locked; }
};

// The do-nothing port used when no UI is attached.
ui_port& null_ui_port();

}  // namespace vorante
