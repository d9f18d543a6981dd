#include "app/media/playlist.h"

#include <cjson/cJSON.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/core/log.h"

namespace vorante {

namespace {

struct json_deleter {
  void operator()(cJSON* j) const { cJSON_Delete(j); }
};
using json_ptr = std::unique_ptr<cJSON, json_deleter>;

bool is_continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

}  // namespace

std::string cut_name(std::string_view text, std::size_t max) {
  if (text.size() <= max) return std::string(text);
  std::size_t n = max;
  // Back over at most three continuation bytes to the start of the character they finish.
  for (int i = 0; i < 3 && n > 0 && is_continuation(static_cast<unsigned char>(text[n])); ++i) --n;
  if (n > 0 && is_continuation(static_cast<unsigned char>(text[n]))) n = max;  // not UTF-8 anyway
  return std::string(text.substr(0, n));
}

std::size_t playlist_count(const playlist& list) {
  std::size_t n = 0;
  for (const playlist_folder& f : list) n += f.files.size();
  return n;
}

std::string playlist_to_json(const playlist& list) {
  json_ptr root(cJSON_CreateObject());
  cJSON* folders = cJSON_AddArrayToObject(root.get(), "folders");
  for (const playlist_folder& folder : list) {
    cJSON* f = cJSON_CreateObject();
    cJSON_AddStringToObject(f, "c", "0");
    cJSON_AddStringToObject(f, "n", folder.name.c_str());
    cJSON* files = cJSON_AddArrayToObject(f, "files");
    for (const playlist_file& file : folder.files) {
      cJSON* e = cJSON_CreateObject();
      cJSON_AddStringToObject(e, "c", std::to_string(file.id).c_str());
      cJSON_AddStringToObject(e, "n", file.name.c_str());
      cJSON_AddItemToArray(files, e);
    }
    cJSON_AddItemToArray(folders, f);
  }
  char* text = cJSON_PrintUnformatted(root.get());
  std::string out = text ? text : "";
  cJSON_free(text);
  return out;
}

playlist playlist_from_json(std::string_view text) {
  playlist list;
  json_ptr root(cJSON_ParseWithLength(text.data(), text.size()));
  const cJSON* folders = cJSON_GetObjectItemCaseSensitive(root.get(), "folders");
  if (!cJSON_IsArray(folders)) return list;
  const cJSON* folder = nullptr;
  cJSON_ArrayForEach(folder, folders) {
    const cJSON* c = cJSON_GetObjectItemCaseSensitive(folder, "c");
    const cJSON* n = cJSON_GetObjectItemCaseSensitive(folder, "n");
    const cJSON* files = cJSON_GetObjectItemCaseSensitive(folder, "files");
    if (!cJSON_IsString(c) || !cJSON_IsString(n) || !cJSON_IsArray(files)) continue;
    playlist_folder entry;
    entry.name = n->valuestring;
    const cJSON* file = nullptr;
    cJSON_ArrayForEach(file, files) {
      const cJSON* fc = cJSON_GetObjectItemCaseSensitive(file, "c");
      const cJSON* fn = cJSON_GetObjectItemCaseSensitive(file, "n");
      if (!cJSON_IsString(fc) || !cJSON_IsString(fn)) continue;
      entry.files.push_back({static_cast<uint32_t>(std::strtoul(fc->valuestring, nullptr, 10)), cut_name(fn->valuestring)});
    }
    list.push_back(std::move(entry));
  }
  return list;
}

playlist playlist_read(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return {};
  std::string text;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
  std::fclose(f);
  if (text.empty()) return {};
  const auto start = std::chrono::steady_clock::now();
  log_print("play list file size: %d\n", static_cast<int>(text.size()));
  log_print("parsing play list file...\n");
  playlist list = playlist_from_json(text);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  log_print("parse play list file finished!  elapsed time: %ums\n", static_cast<unsigned>(ms));
  return list;
}

bool playlist_write(const playlist& list, const std::string& path) {
  log_print("saving play list...\n");
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const std::string text = playlist_to_json(list);
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
  log_print("save play list finish!\n");
  return true;
}

}  // namespace vorante
