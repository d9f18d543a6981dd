#include "ui/screens/mixer/surface_keys.h"

#include <optional>

#include "app/params/banks.h"
#include "app/params/solo.h"
#include "app/protocol/session.h"
#include "app/protocol/surface.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page.h"
#include "ui/screens/media/player.h"
#include "ui/screens/mixer/phones_toast.h"

namespace vorante {

namespace {

enum key_code : int {
  key_media_first = 0,
  key_media_play = 2,
  key_player = 3,
  key_recorder = 4,        // the media module's, it opens the recorder only with a disk in
  key_bluetooth = 5,
  key_phones = 6,
  key_settings = 7,
  key_first_select = 9,    // strips 1..8, then MAIN L, MAIN R
  key_first_solo = 19,
  key_first_mute = 29,
  key_first_layer = 39,    // layers 1..4
  key_first_scene = 43,    // scenes 1..6
  key_clear_solo = 49,
  key_lock = 50,
  key_mute_all = 51,
  key_unmute_all = 52,
};

constexpr int strip_keys_per_row = 10;  // eight strips and the two MAIN channels
constexpr int layer_key_count = 4;
constexpr int scene_key_count = 6;

enum class strip_row { select, solo, mute };

// The channels the global solo and mute keys reach: inputs (each fixed stereo pair once),
// the buses and the effect returns.
template <class Fn>
void for_each_global_channel(Fn fn) {
  for (int i = 0; i < input_count; ++i)
    if (!is_fixed_stereo_right(kind_input, i)) fn(kind_input, i);
  for (int b = 0; b < bus_count; ++b) fn(kind_bus, b);
  for (int f = 0; f < fx_count; ++f) fn(kind_fx, f);
}

void toggle_on_switch(param_store& store, int kind, int index) {
  const unsigned id = param_id(kind, index, code_on);
  store.linked_set(id, store.get(id) == 0 ? 1 : 0);
}

// Select, solo and mute keys; false when the slot holds no channel.
bool strip_key(navigator& nav, strip_row row, int column, int code) {
  link_session& s = nav.session();
  const auto channel = s.engine.surface().slot_channel(column);
  if (!channel) return false;
  switch (row) {
    case strip_row::mute: toggle_on_switch(s.store, channel->kind, channel->index); return true;
    case strip_row::solo:
      // A DCA has no solo: the second word a solo write sets is, for a DCA, its
      // membership word, and writing it would add channels to the DCA.
      if (channel->kind == kind_dca) return true;
      solo_write(s.store, channel->kind, channel->index, !is_soloed(s.store, channel->kind, channel->index));
      return true;
    case strip_row::select: {
      const auto editor = nav.editor_on_screen();
      if (editor && *editor == *channel)
        nav.go_to_strips(logical_of(channel->kind, channel->index));
      else
        nav.open_editor(channel->kind, channel->index);
      nav.refresh_lights();
      // The page now on screen hears of the key as well.
      if (page* p = nav.page_on_screen()) p->console_key(code);
      return true;
    }
  }
  return false;
}

}  // namespace

surface_key_actions& surface_keys() {
  static surface_key_actions actions;
  return actions;
}

bool take_surface_key(navigator& nav, int code) {
  link_session& s = nav.session();
  if (s.engine.console_locked()) return true;
  if (surface_keys().keys_held && surface_keys().keys_held()) return true;

  const bool held = (code & key_long_press) != 0;
  const int key = code & ~key_long_press;
  if (key >= key_first_scene && key < key_first_scene + scene_key_count) {
    if (surface_keys().scene) surface_keys().scene(key - key_first_scene + 1, held);
    return true;
  }
  // A long press means something only on the scene keys.
  if (held) return true;

  switch (key) {
    case key_media_first:
    case key_media_first + 1:
    case key_media_play:
    case key_recorder:
      if (surface_keys().media) surface_keys().media(key);
      return true;
    case key_player:
      nav.show_player(source_player);
      nav.refresh_lights();
      return true;
    case key_bluetooth:
      nav.show_player(source_bluetooth);
      nav.refresh_lights();
      return true;
    case key_phones: {
      phones_toast& toast = nav.phones();
      const bool pin = !toast.pinned();
      s.engine.surface().set_light(key_phones, pin, nav.now());
      if (pin) {
        toast.pin(true);
        toast.show_level();
      } else {
        toast.dismiss();
      }
      return true;
    }
    case key_settings:
      nav.show_settings();
      nav.refresh_lights();
      return true;
    case key_clear_solo:
      for_each_global_channel([&s](int kind, int index) { solo_write(s.store, kind, index, false); });
      return true;
    case key_lock:
      if (!surface_keys().lock) return true;
      surface_keys().lock();
      // Locked from now on, not only once the console reports it: the keys, faders and
      // encoders stop at once, and the lock key's light comes on.
      s.engine.messages().hold_locked();
      nav.refresh_lights_incremental();
      return true;
    case key_mute_all:
    case key_unmute_all: {
      const uint16_t on = key == key_unmute_all ? 1 : 0;
      for_each_global_channel([&s, on](int kind, int index) { s.store.linked_set(param_id(kind, index, code_on), on); });
      return true;
    }
    default: break;
  }
  if (key >= key_first_layer && key < key_first_layer + layer_key_count) {
    nav.select_layer(key - key_first_layer);
    return true;
  }
  if (key >= key_first_select && key < key_first_select + 3 * strip_keys_per_row) {
    const int offset = key - key_first_select;
    const auto row = static_cast<strip_row>(offset / strip_keys_per_row);
    return strip_key(nav, row, offset % strip_keys_per_row, code);
  }
  return false;
}

}  // namespace vorante
