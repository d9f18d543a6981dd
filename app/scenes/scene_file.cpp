#include "app/scenes/scene_file.h"

#include <cjson/cJSON.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/core/crc16.h"
#include "app/core/identity.h"

namespace vorante {

const std::array<uint8_t, scene_file_key_size> scene_file_key{
    0xC9, 0x64, 0xF1, 0x39, 0x0F, 0x55, 0x68, 0xC0, 0x14, 0x0D, 0xA1, 0x9D, 0xEE, 0x9C, 0xF2, 0xF1,
    0x6C, 0xBD, 0x67, 0xF1, 0x16, 0x51, 0x9B, 0x2C, 0xEC, 0x69, 0x9D, 0x5A, 0xFD, 0x6D, 0xD7, 0xB5,
    0xBC, 0x83, 0x73, 0xC4, 0x19, 0x2D, 0xDF, 0x33, 0xEC, 0x74, 0x29, 0x2D, 0x7F, 0xD2, 0x5B, 0x0F,
    0xB6, 0x9A, 0xB4, 0x35, 0xE8, 0x67, 0x56, 0x4C, 0x24, 0x36, 0x9D, 0x7F, 0xC3, 0x56, 0x8F, 0xB5,
    0x90, 0xDA, 0xE3, 0xE1, 0x72, 0xFA, 0xAF, 0x97, 0x94, 0x07, 0xAF, 0x48, 0x8D, 0xE5, 0xFF, 0xA5,
    0x2E, 0xEF, 0xF2, 0x65, 0x65, 0x6D, 0x04, 0x6B, 0x32, 0xA1, 0x5B, 0x81, 0x84, 0x36, 0x2E, 0xCE,
    0x83, 0x7E, 0x27, 0x4B, 0x74, 0x90, 0x45, 0x7C, 0x87, 0x82, 0x9A, 0x3A, 0xFA, 0x88, 0xCF, 0xF9,
    0xE6, 0x1B, 0xA5, 0x8D, 0x7A, 0xA9, 0x93, 0xDB, 0xBF, 0xC7, 0xC0, 0x85, 0x8D, 0xBA, 0x24, 0x7E,
};

namespace {

// One ID/value group of "data": "%04X%04X".
constexpr std::size_t data_group_chars = 8;
constexpr std::size_t max_header_chars = 15;

struct json_deleter {
  void operator()(cJSON* j) const { cJSON_Delete(j); }
};
using json_ptr = std::unique_ptr<cJSON, json_deleter>;

const cJSON* member(const cJSON* object, const char* key) { return cJSON_GetObjectItemCaseSensitive(object, key); }

// A hexadecimal field of the header; a 0x prefix is accepted, anything unreadable is 0.
unsigned long header_number(const cJSON* item) {
  if (!cJSON_IsString(item) || item->valuestring[0] == '\0') return 0;
  return std::strtoul(item->valuestring, nullptr, 16);
}

// A checksum as the file holds it: the number's integer value; a string counts as 0.
long magic_of(const cJSON* item) { return cJSON_IsNumber(item) ? item->valueint : 0; }

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Four characters of a group; a character that is no hex digit ends the number.
unsigned hex4(const char* p) {
  unsigned v = 0;
  for (int i = 0; i < 4; ++i) {
    const int d = hex_digit(p[i]);
    if (d < 0) break;
    v = v * 16 + static_cast<unsigned>(d);
  }
  return v;
}

std::string header_code() {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(identity().product));
  return text;
}

std::string header_type() {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(identity().model));
  return text;
}

}  // namespace

std::vector<uint8_t> scene_file_code(std::span<const uint8_t> bytes) {
  std::vector<uint8_t> out(bytes.begin(), bytes.end());
  for (std::size_t i = 0; i < out.size(); ++i) out[i] ^= scene_file_key[i % scene_file_key_size];
  return out;
}

std::string scene_file_text(std::span<const uint8_t> file_bytes) {
  const std::vector<uint8_t> decoded = scene_file_code(file_bytes);
  const auto end = std::find(decoded.begin(), decoded.end(), uint8_t{0});
  return std::string(decoded.begin(), end);
}

uint16_t scene_magic(std::string_view text) {
  return crc16(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

std::string build_scene_json(const transfer_image& image, int scene) {
  const std::string code = header_code(), type = header_type();
  json_ptr root(cJSON_CreateObject());
  cJSON_AddStringToObject(root.get(), "code", code.c_str());
  cJSON_AddStringToObject(root.get(), "type", type.c_str());
  cJSON_AddNumberToObject(root.get(), "magic", scene_magic(code + type));
  cJSON* scenes = cJSON_AddArrayToObject(root.get(), "scenes");
  cJSON* s = cJSON_CreateObject();
  cJSON_AddItemToArray(scenes, s);
  cJSON_AddNumberToObject(s, "num", scene);
  cJSON_AddStringToObject(s, "name", std::string(name_of(image.name)).c_str());
  cJSON* texts = cJSON_AddArrayToObject(s, "text");
  for (const name_slot& t : image.texts) cJSON_AddItemToArray(texts, cJSON_CreateString(std::string(name_of(t)).c_str()));
  std::string data;
  data.reserve(image.values.size() * data_group_chars);
  char group[data_group_chars + 1];
  for (std::size_t id = 0; id < image.values.size(); ++id) {
    std::snprintf(group, sizeof group, "%04X%04X", static_cast<unsigned>(id), static_cast<unsigned>(image.values[id]));
    data += group;
  }
  cJSON_AddStringToObject(s, "data", data.c_str());
  cJSON_AddNumberToObject(s, "magic", scene_magic(data));
  char* printed = cJSON_PrintUnformatted(root.get());
  std::string text = printed ? printed : "";
  cJSON_free(printed);
  return text;
}

std::vector<uint8_t> build_scene_file(const transfer_image& image, int scene) {
  const std::string text = build_scene_json(image, scene);
  return scene_file_code(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

scene_check_toast scene_check_message(scene_check result) {
  switch (result) {
    case scene_check::ok:
    case scene_check::busy: return {"", 0};
    case scene_check::not_json: return {"WRONG SCENE FILE!", 1500};
    case scene_check::wrong_device: return {"WRONG DEVICE CODE!", 2000};
    default: return {"IMPORT FAIL!", 2000};
  }
}

scene_check check_scene_text(std::string_view text, transfer_image& image) {
  const json_ptr root(cJSON_ParseWithLength(text.data(), text.size()));
  if (!root) return scene_check::not_json;

  const cJSON* code = member(root.get(), "code");
  const cJSON* type = member(root.get(), "type");
  const cJSON* magic = member(root.get(), "magic");
  const cJSON* scenes = member(root.get(), "scenes");
  if (!code || !type || !magic || !scenes) return scene_check::missing_key;

  if (static_cast<uint16_t>(header_number(code)) != identity().product ||
      static_cast<uint8_t>(header_number(type)) != identity().model)
    return scene_check::wrong_device;

  // Both are non-empty strings by now: anything else read as 0 above.
  const std::string header = std::string(code->valuestring) + type->valuestring;
  if (header.size() > max_header_chars || magic_of(magic) != scene_magic(header)) return scene_check::header_checksum;

  const cJSON* scene = cJSON_IsArray(scenes) ? cJSON_GetArrayItem(scenes, 0) : nullptr;
  const cJSON* name = scene ? member(scene, "name") : nullptr;
  const cJSON* texts = scene ? member(scene, "text") : nullptr;
  const cJSON* data = scene ? member(scene, "data") : nullptr;
  const cJSON* data_magic = scene ? member(scene, "magic") : nullptr;
  if (!name || !texts || !data || !data_magic) return scene_check::no_scene;

  image = transfer_image{};
  if (cJSON_IsString(name)) store_name(image.name, std::string_view(name->valuestring));
  if (cJSON_IsArray(texts)) {
    int index = 0;
    for (const cJSON* t = texts->child; t && index < channel_name_count; t = t->next, ++index)
      if (cJSON_IsString(t)) store_name(image.texts[static_cast<std::size_t>(index)], std::string_view(t->valuestring));
  }
  if (!cJSON_IsString(data)) return scene_check::ok;

  const std::string_view groups(data->valuestring);
  if (magic_of(data_magic) != scene_magic(groups)) return scene_check::data_checksum;
  for (std::size_t at = 0; at + data_group_chars <= groups.size(); at += data_group_chars) {
    const unsigned id = hex4(&groups[at]);
    if (id < param_count) image.values[id] = static_cast<uint16_t>(hex4(&groups[at + 4]));
  }
  return scene_check::ok;
}

}  // namespace vorante
