// The console's keys as the mixer screens answer them: page keys, the headphone key, the
// strip select, solo and mute keys of the current layer, the layer keys and the global
// solo and mute keys, the lock key. Keys of the media module, the scenes and the lock dialog
// are passed to the actions their screens register; any other key goes to the page on screen.
#pragma once

#include <cstdint>
#include <functional>

namespace vorante {

class navigator;

constexpr uint16_t key_long_press = 0x8000;

// Filled in by the screens that own these keys; an empty action ignores its keys.
struct surface_key_actions {
  std::function<void(int code)> media;                // 0, 1, 2 and 4
  std::function<void(int scene, bool store)> scene;   // 43..48 -> scene 1..6; held: store
  std::function<void()> lock;                         // 50: the lock dialog, locking
  // True while the scene-key lights blink after a recall or store: every key waits.
  std::function<bool()> keys_held;
};

surface_key_actions& surface_keys();

// Acts on a key; false when the key is the page's to handle.
bool take_surface_key(navigator& nav, int code);

}  // namespace vorante
