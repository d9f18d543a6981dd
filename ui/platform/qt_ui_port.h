// The UI port on the Qt side: what the core reports arrives here on the UI thread and
// leaves as signals, so the window, the overlays and (later) the pages connect to what
// they show without the core knowing any of them.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

#include "app/protocol/ui_port.h"

namespace vorante {

class qt_ui_port : public QObject, public ui_port {
  Q_OBJECT

 public:
  explicit qt_ui_port(QObject* parent = nullptr) : QObject(parent) {}

  // Set by the connect dialog while it is open; the supervision skips its status reads.
  void set_connect_dialog_open(bool open) { connect_dialog_open_ = open; }
  // Set when the group bar has been made: only then does the store report fader levels.
  void set_group_bar_present(bool present) { group_bar_present_ = present; }
  // What the pages tell the console's key lights about the screen.
  void set_surface_state_source(std::function<surface_page_state()> source) { surface_source_ = std::move(source); }

  // --- ui_port ---
  void on_param(uint16_t id, uint16_t value, bool pushed) override { emit param_changed(id, value, pushed); }
  void on_name(int logical, std::string_view name) override { emit channel_name_changed(logical, text(name)); }
  void on_scene_name(int scene, std::string_view name) override { emit scene_name_changed(scene, text(name)); }
  bool group_bar_exists() const override { return group_bar_present_; }
  void group_bar_level(int kind, int index, double db) override { emit group_bar_level_changed(kind, index, db); }
  void link_state_changed(bool online) override { emit link_state(online); }
  void show_incompatible_overlay(std::string_view message) override { emit incompatible(text(message)); }
  bool connect_dialog_open() const override { return connect_dialog_open_; }
  void show_toast(std::string_view message, uint16_t colour, int ms) override { emit toast(text(message), colour, ms); }
  void device_name_changed(std::string_view name) override { emit device_name(text(name)); }
  void firmware_version_changed(std::string_view version) override { emit firmware_version(text(version)); }
  void scene_key_lock_changed(bool locked) override { emit scene_key_lock(locked); }
  void network_value(std::string_view key, std::string_view value) override { emit network_setting(text(key), text(value)); }
  void network_apply_result(std::string_view message) override { emit network_result(text(message)); }
  void network_list(const std::vector<std::string>& names) override;
  void password_changed() override { emit password_set(); }
  void factory_reset_done() override { emit factory_reset(); }
  void console_lock_changed(bool locked) override { emit console_lock(locked); }
  surface_page_state surface_state() const override { return surface_source_ ? surface_source_() : surface_page_state{}; }
  void console_key(uint16_t code) override { emit surface_key(code); }
  void console_encoder(int encoder, int steps) override { emit surface_encoder(encoder, steps); }

 signals:
  void param_changed(uint16_t id, uint16_t value, bool pushed);
  void channel_name_changed(int logical, const QString& name);
  void scene_name_changed(int scene, const QString& name);
  void link_state(bool online);
  void incompatible(const QString& message);
  void toast(const QString& message, uint16_t colour, int ms);
  void device_name(const QString& name);
  void firmware_version(const QString& version);
  void scene_key_lock(bool locked);
  void network_setting(const QString& key, const QString& value);
  void network_result(const QString& message);
  void network_names(const QStringList& names);
  void password_set();
  void factory_reset();
  void console_lock(bool locked);
  void group_bar_level_changed(int kind, int index, double db);
  void surface_key(uint16_t code);
  void surface_encoder(int encoder, int steps);

 private:
  static QString text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

  bool connect_dialog_open_ = false;
  bool group_bar_present_ = false;
  std::function<surface_page_state()> surface_source_;
};

}  // namespace vorante
