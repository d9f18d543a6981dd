// The scene file: one scene as compact JSON, every byte XORed with the program's file key.
// Building and checking are pure functions over the transfer image; nothing here talks to
// the console.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/scenes/scene_transfer.h"

namespace vorante {

// The file key. Part of the file format: files open only where the key is the same, so
// these bytes never change.
constexpr std::size_t scene_file_key_size = 128;
extern const std::array<uint8_t, scene_file_key_size> scene_file_key;

// Byte i XOR key byte (i mod 128); the same call decodes.
std::vector<uint8_t> scene_file_code(std::span<const uint8_t> bytes);
// The text of a file's bytes: decoded, up to the first zero byte.
std::string scene_file_text(std::span<const uint8_t> file_bytes);

// CRC-16/MODBUS of a text, as the file's "magic" numbers carry it.
uint16_t scene_magic(std::string_view text);

// The JSON text of one scene, compact, keys in file order.
std::string build_scene_json(const transfer_image& image, int scene);
// The file bytes of one scene (the JSON text coded with the key).
std::vector<uint8_t> build_scene_file(const transfer_image& image, int scene);

// What the import checks make of a file's text, in the order they run.
enum class scene_check {
  ok,
  not_json,           // "WRONG SCENE FILE!"
  missing_key,        // "IMPORT FAIL!" (also a wrong header checksum, no scene, a wrong data checksum)
  wrong_device,       // "WRONG DEVICE CODE!"
  header_checksum,    // "IMPORT FAIL!"
  no_scene,           // "IMPORT FAIL!"
  data_checksum,      // "IMPORT FAIL!"
  busy,               // not looked at: a transfer runs (no toast)
};

struct scene_check_toast {
  const char* text;  // untranslated; empty for ok
  int ms;
};
scene_check_toast scene_check_message(scene_check result);

// Runs the import checks on a file's text; on ok `image` holds the scene to upload (missing
// values 0, IDs beyond the store skipped). On a refusal `image` is unspecified.
scene_check check_scene_text(std::string_view text, transfer_image& image);

}  // namespace vorante
