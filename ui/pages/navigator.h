// Navigation between the pages: the root page host, the global current fader bank, the
// operations every screen uses to change page, and the path by which console keys and
// encoders and parameter, name and scene-name changes reach the page on screen.
#pragma once

#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "app/params/ids.h"
#include "app/protocol/ui_port.h"
#include "ui/screens/mixer/meter_bridge.h"
#include "ui/pages/page.h"
#include "ui/pages/page_host.h"
#include "ui/screens/mixer/phones_toast.h"

namespace vorante {

class page_registry;

class navigator : public QObject {
  Q_OBJECT

 public:
  using clock_fn = std::function<uint32_t()>;

  // The clock is the one the engine steps with (the key-light timer is measured on it);
  // the pages time themselves on it too, through now().
  navigator(link_session& session, const page_registry& registry, clock_fn clock = {});
  ~navigator() override;

  link_session& session() { return session_; }
  const page_registry& registry() const { return registry_; }
  page_env& env() { return env_; }

  // The root page host, listing only `home`, as a child of `parent`; made once. Shows
  // `home`, which brings up the navigation bar and the strips page.
  page_host* make_root(QWidget* parent);
  page_host* root() const { return root_.data(); }

  // --- page changes ---
  // The editor frame for the channel's logical number, then the editor of its kind.
  void open_editor(int kind, int index);
  // The navigation bar with the channel's bank (the current bank when the channel is -1
  // or on no bank; the channel's bank becomes current), then the strips page opened with
  // the channel.
  void go_to_strips(int logical);
  void show_player(int argument);
  void show_settings();
  // Any reachable page by its registry name ("--show"): false for names that are unknown
  // or in no host.
  bool show_by_name(std::string_view name, int argument);

  // --- fader banks ---
  // The current bank is also the surface's layer: every change below sets both, with the
  // surface's lights and faders refreshed; only the DCA bank leaves the layer as it was.
  int current_bank() const { return bank_; }
  // Ignored outside 0..4.
  void set_current_bank(int bank);
  // A bank tab or group tile: makes the bank current, then shows the strips page.
  void select_bank(int bank);
  // A layer key: layer and bank change together, the strips page follows.
  void select_layer(int layer);

  // --- the page on screen ---
  // The innermost current page; nullptr before the root shows anything.
  page* page_on_screen() const;
  // Whether the page is current in its host and every host above it is on screen.
  bool is_on_screen(int id) const;
  // The channel of the editor on screen.
  std::optional<channel_ref> editor_on_screen() const;
  // An editor that moves to another channel by itself tells it here.
  void editor_channel_changed(int kind, int index);

  void console_key(int key);
  void console_encoder(int encoder, int delta);
  void on_param(uint16_t id, uint16_t value, bool pushed);
  void on_name(int logical, const QString& text);
  void on_scene_name(int scene, const QString& text);

  // --- the console's surface ---
  uint32_t now() const { return clock_(); }
  surface_page_state surface_state() const;
  void refresh_lights();
  // Only the lights the computation names, each sent only when it changed.
  void refresh_lights_incremental();
  void refresh_faders();

  // --- shared objects ---
  meter_bridge& bridge();
  phones_toast& phones();

  // --- link ---
  // The engine owns the link state; pages ask here and hear of changes by link_state_shown.
  bool link_online() const;
  // The engine reported a change of the link state.
  void show_link_state(bool online);
  void set_connect_dialog_opener(std::function<void()> open) { open_connect_dialog_ = std::move(open); }
  void open_connect_dialog();

 signals:
  void link_state_shown(bool online);

 private:
  void change_bank(int bank);
  page_host* child_host(int container_id) const;
  bool show_in(int container_id, int id, int argument);

  link_session& session_;
  const page_registry& registry_;
  clock_fn clock_;
  page_env env_;
  QPointer<page_host> root_;
  int bank_ = 0;
  std::optional<channel_ref> editor_;
  // Owned by the widget tree: the bridge moves between the fader pages.
  QPointer<meter_bridge> bridge_;
  QPointer<phones_toast> phones_;
  std::function<void()> open_connect_dialog_;
};

}  // namespace vorante
