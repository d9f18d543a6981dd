#include <gtest/gtest.h>

#include <cjson/cJSON.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/scenes/scene_file.h"

namespace vorante {
namespace {

// A scene with something in every part: values that differ from their IDs, a name and
// a few texts.
std::unique_ptr<transfer_image> sample_image() {
  auto image = std::make_unique<transfer_image>();
  for (std::size_t id = 0; id < image->values.size(); ++id) image->values[id] = static_cast<uint16_t>(id * 7 + 3);
  store_name(image->name, std::string_view("Live_Set"));
  store_name(image->texts[0], std::string_view("Kick"));
  store_name(image->texts[59], std::string_view("Talkback"));
  return image;
}

// The data string of a list of (ID, value) groups.
std::string groups(std::initializer_list<std::pair<unsigned, unsigned>> list) {
  std::string s;
  char g[16];
  for (const auto& [id, value] : list) {
    std::snprintf(g, sizeof g, "%04X%04X", id, value);
    s += g;
  }
  return s;
}

// A scene file's text built by hand, so that each case changes exactly one thing.
struct file_parts {
  std::string code = "\"0xE001\"";
  std::string type = "\"0x3B\"";
  std::string magic = "6885";
  std::string name = "\"Imported\"";
  std::string text = "[\"A\",\"B\"]";
  std::string data = groups({{5, 0x1234}, {3517, 9}});
  std::string data_magic;  // the data's checksum unless set
  bool data_as_string = true;
  std::function<std::string(const file_parts&)> scene;  // replaces the scene object

  std::string json() const {
    const std::string d = data_as_string ? "\"" + data + "\"" : data;
    const std::string dm = data_magic.empty() ? std::to_string(scene_magic(data)) : data_magic;
    const std::string s = scene ? scene(*this)
                                : "{\"num\":3,\"name\":" + name + ",\"text\":" + text + ",\"data\":" + d + ",\"magic\":" + dm + "}";
    return "{\"code\":" + code + ",\"type\":" + type + ",\"magic\":" + magic + ",\"scenes\":[" + s + "]}";
  }
};

TEST(scene_file_test, checksum_is_crc16_modbus_of_the_text) {
  EXPECT_EQ(scene_magic("123456789"), 19255);
  EXPECT_EQ(scene_magic("0xE0010x3B"), 6885);
}

TEST(scene_file_test, coding_is_its_own_inverse_and_the_text_ends_at_the_first_zero) {
  std::vector<uint8_t> text(300);
  for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<uint8_t>('a' + i % 26);
  const std::vector<uint8_t> coded = scene_file_code(text);
  ASSERT_EQ(coded.size(), text.size());
  for (std::size_t i = 0; i < coded.size(); ++i)
    ASSERT_EQ(coded[i], text[i] ^ scene_file_key[i % scene_file_key_size]) << i;
  EXPECT_EQ(scene_file_code(coded), text);
  std::vector<uint8_t> with_zero = text;
  with_zero[10] = 0;
  EXPECT_EQ(scene_file_text(scene_file_code(with_zero)), std::string(text.begin(), text.begin() + 10));
}

TEST(scene_file_test, export_text_is_compact_with_keys_in_file_order) {
  const auto image = sample_image();
  const std::string json = build_scene_json(*image, 4);
  EXPECT_EQ(json.find_first_of(" \n\t"), std::string::npos);
  const std::string head = "{\"code\":\"0xE001\",\"type\":\"0x3B\",\"magic\":6885,\"scenes\":[{\"num\":4,\"name\":\"Live_Set\","
                           "\"text\":[\"Kick\",\"\",";
  EXPECT_EQ(json.substr(0, head.size()), head);
  const auto data_at = json.find("\"data\":\"");
  ASSERT_NE(data_at, std::string::npos);
  const std::string data = json.substr(data_at + 8, 28144);
  EXPECT_EQ(data.substr(0, 16), "000000030001000A");  // ID 0 value 3, ID 1 value 10
  EXPECT_EQ(data.substr(28144 - 8), groups({{3517, (3517 * 7 + 3) & 0xFFFF}}));
  EXPECT_EQ(json.substr(data_at + 8 + 28144), "\",\"magic\":" + std::to_string(scene_magic(data)) + "}]}");
  EXPECT_NE(json.find("\"\",\"Talkback\"]"), std::string::npos);
}

TEST(scene_file_test, an_exported_file_imports_as_the_same_scene) {
  const auto image = sample_image();
  const std::vector<uint8_t> file = build_scene_file(*image, 4);
  transfer_image back;
  ASSERT_EQ(check_scene_text(scene_file_text(file), back), scene_check::ok);
  EXPECT_EQ(back.values, image->values);
  EXPECT_EQ(back.texts, image->texts);
  EXPECT_EQ(back.name, image->name);
}

TEST(scene_file_test, refused_files_give_their_toast) {
  struct refusal {
    const char* what;
    std::function<void(file_parts&)> change;
    std::string raw;  // used instead of the parts when set
    scene_check result;
    const char* toast;
  };
  const std::vector<refusal> cases = {
      {"not JSON", nullptr, "{\"code\":\"0xE001\",", scene_check::not_json, "WRONG SCENE FILE!"},
      {"empty text", nullptr, " ", scene_check::not_json, "WRONG SCENE FILE!"},
      {"no code", [](file_parts& p) { p.code.clear(); }, "", scene_check::missing_key, "IMPORT FAIL!"},
      {"no scenes", nullptr, "{\"code\":\"0xE001\",\"type\":\"0x3B\",\"magic\":6885}", scene_check::missing_key,
       "IMPORT FAIL!"},
      {"keys differ in case", nullptr, "{\"Code\":\"0xE001\",\"type\":\"0x3B\",\"magic\":6885,\"scenes\":[]}",
       scene_check::missing_key, "IMPORT FAIL!"},
      {"other product", [](file_parts& p) { p.code = "\"0xE002\""; }, "", scene_check::wrong_device,
       "WRONG DEVICE CODE!"},
      {"other model", [](file_parts& p) { p.type = "\"0x3C\""; }, "", scene_check::wrong_device, "WRONG DEVICE CODE!"},
      {"code as a number", [](file_parts& p) { p.code = "57345"; }, "", scene_check::wrong_device,
       "WRONG DEVICE CODE!"},
      {"empty type", [](file_parts& p) { p.type = "\"\""; }, "", scene_check::wrong_device, "WRONG DEVICE CODE!"},
      {"wrong header checksum", [](file_parts& p) { p.magic = "6886"; }, "", scene_check::header_checksum,
       "IMPORT FAIL!"},
      {"header checksum as a string", [](file_parts& p) { p.magic = "\"6885\""; }, "", scene_check::header_checksum,
       "IMPORT FAIL!"},
      {"header longer than 15", [](file_parts& p) {
         p.code = "\"0x00000000E001\"";
         p.magic = std::to_string(scene_magic("0x00000000E0010x3B"));
       }, "", scene_check::header_checksum, "IMPORT FAIL!"},
      {"scenes empty", [](file_parts& p) { p.scene = [](const file_parts&) { return std::string(); }; }, "",
       scene_check::no_scene, "IMPORT FAIL!"},
      {"scene without data", [](file_parts& p) {
         p.scene = [](const file_parts&) { return std::string("{\"name\":\"x\",\"text\":[],\"magic\":1}"); };
       }, "", scene_check::no_scene, "IMPORT FAIL!"},
      {"scene without magic", [](file_parts& p) {
         p.scene = [](const file_parts&) { return std::string("{\"name\":\"x\",\"text\":[],\"data\":\"\"}"); };
       }, "", scene_check::no_scene, "IMPORT FAIL!"},
      {"scene is no object", [](file_parts& p) { p.scene = [](const file_parts&) { return std::string("7"); }; }, "",
       scene_check::no_scene, "IMPORT FAIL!"},
      {"wrong data checksum", [](file_parts& p) { p.data_magic = std::to_string(scene_magic(p.data) ^ 1); }, "",
       scene_check::data_checksum, "IMPORT FAIL!"},
      {"data checksum as a string", [](file_parts& p) { p.data_magic = "\"" + std::to_string(scene_magic(p.data)) + "\""; },
       "", scene_check::data_checksum, "IMPORT FAIL!"},
  };
  for (const refusal& c : cases) {
    file_parts parts;
    if (c.change) c.change(parts);
    std::string text = c.raw.empty() ? parts.json() : c.raw;
    if (c.change && parts.code.empty()) text.replace(text.find("\"code\":,"), 8, "");
    transfer_image image;
    EXPECT_EQ(check_scene_text(text, image), c.result) << c.what << ": " << text.substr(0, 120);
    EXPECT_STREQ(scene_check_message(c.result).text, c.toast) << c.what;
    EXPECT_EQ(scene_check_message(c.result).ms, c.result == scene_check::not_json ? 1500 : 2000) << c.what;
  }
}

TEST(scene_file_test, accepted_files_fill_the_image_as_far_as_they_go) {
  struct accepted {
    const char* what;
    std::function<void(file_parts&)> change;
    std::vector<std::pair<unsigned, uint16_t>> values;  // expected non-zero values
    std::vector<std::string> texts;                     // expected leading texts (the rest empty)
    std::string name;
  };
  std::string many = "[";
  for (int i = 0; i < 62; ++i) many += (i ? ",\"t" : "\"t") + std::to_string(i) + "\"";
  many += "]";
  std::vector<std::string> sixty;
  for (int i = 0; i < 60; ++i) sixty.push_back("t" + std::to_string(i));
  const std::vector<accepted> cases = {
      {"plain", nullptr, {{5, 0x1234}, {3517, 9}}, {"A", "B"}, "Imported"},
      {"IDs beyond the store are skipped, later groups win",
       [](file_parts& p) { p.data = groups({{3518, 1}, {0xFFFF, 2}, {7, 3}, {7, 4}}); }, {{7, 4}}, {"A", "B"}, "Imported"},
      {"lower-case hex and trailing characters",
       [](file_parts& p) { p.data = "000affff" + std::string("0001"); }, {{10, 0xFFFF}}, {"A", "B"}, "Imported"},
      {"data shorter than one group", [](file_parts& p) { p.data = "0001"; }, {}, {"A", "B"}, "Imported"},
      {"data a number", [](file_parts& p) {
         p.data = "12";
         p.data_as_string = false;
       }, {}, {"A", "B"}, "Imported"},
      {"more than 60 texts", [&](file_parts& p) { p.text = many; }, {{5, 0x1234}, {3517, 9}}, sixty, "Imported"},
      {"texts that are no strings stay empty", [](file_parts& p) { p.text = "[1,\"x\",null]"; },
       {{5, 0x1234}, {3517, 9}}, {"", "x"}, "Imported"},
      {"name and texts of other types", [](file_parts& p) {
         p.name = "5";
         p.text = "{}";
       }, {{5, 0x1234}, {3517, 9}}, {}, ""},
      {"long name cut at 31 bytes", [](file_parts& p) { p.name = "\"" + std::string(40, 'n') + "\""; },
       {{5, 0x1234}, {3517, 9}}, {"A", "B"}, std::string(31, 'n')},
      {"code and type read as hex without prefix", [](file_parts& p) {
         p.code = "\"e001\"";
         p.type = "\"3b\"";
         p.magic = std::to_string(scene_magic("e0013b"));
       }, {{5, 0x1234}, {3517, 9}}, {"A", "B"}, "Imported"},
  };
  for (const accepted& c : cases) {
    file_parts parts;
    if (c.change) c.change(parts);
    auto image = sample_image();  // whatever was there before must go
    ASSERT_EQ(check_scene_text(parts.json(), *image), scene_check::ok) << c.what;
    std::array<uint16_t, param_count> want{};
    for (const auto& [id, v] : c.values) want[id] = v;
    EXPECT_EQ(image->values, want) << c.what;
    for (int i = 0; i < channel_name_count; ++i)
      EXPECT_EQ(name_of(image->texts[i]), i < static_cast<int>(c.texts.size()) ? c.texts[i] : "") << c.what << " " << i;
    EXPECT_EQ(name_of(image->name), c.name) << c.what;
  }
}

}  // namespace
}  // namespace vorante
