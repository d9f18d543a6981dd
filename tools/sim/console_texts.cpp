// The console's configuration texts: key=value queries (57) answered with reports, and
// commands (58) answered with results, including the password, lock and reset commands.
#include <algorithm>

#include "app/params/defaults.h"
#include "app/protocol/kv.h"
#include "tools/sim/console_model.h"

namespace vorante::sim {

namespace {

constexpr std::string_view firmware_version = "V2.1.4";
constexpr std::string_view firmware_build = "20240917";
constexpr std::string_view result_ok = "RESULT=OK";
constexpr std::string_view result_err = "RESULT=ERR";

// Keys whose values the console keeps to itself: a report never carries a password.
bool is_secret(std::string_view key) { return key == "AP_KEY" || key == "STA_KEY"; }

std::string result(std::string_view cmd, std::string_view outcome) {
  return "CMD=" + std::string(cmd) + "\n" + std::string(outcome);
}

bool valid_password(std::string_view pwd) {
  return pwd.size() <= password_limit && pwd.find(' ') == std::string_view::npos;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> default_network() {
  return {
      {"ETH_DHCP", "on"},          {"ETH_IP", "192.168.1.120"},  {"ETH_NETMASK", "255.255.255.0"},
      {"ETH_GATEWAY", "192.168.1.1"}, {"ETH_DNS", "192.168.1.1"}, {"WIFI_MODE", "ap"},
      {"AP_SSID", "VORANTE9M-3B"}, {"AP_KEY", "12345678"},       {"STA_SSID", ""},
      {"STA_KEY", ""},             {"APIP", "192.168.4.1"},      {"DOMAIN", "vorante.local"},
      {"WIFI_DHCP", "on"},         {"WIFI_IP", "0.0.0.0"},       {"WIFI_NETMASK", "0.0.0.0"},
      {"WIFI_GATEWAY", "0.0.0.0"}, {"WIFI_DNS", "0.0.0.0"},
  };
}

const std::string* console_model::network_value(std::string_view key) const {
  for (const auto& [k, v] : config_.network)
    if (k == key) return &v;
  return nullptr;
}

void console_model::on_config_query(std::string_view text, frame_list& out) {
  std::string report;
  kv_cursor cursor(text);
  while (const auto kv = kv_next(cursor)) {
    std::string value;
    if (kv->key == "DEVNAME") {
      value = config_.device_name;
    } else if (kv->key == "FW_VER") {
      value = firmware_version;
    } else if (kv->key == "FW_BUILD") {
      value = firmware_build;
    } else if (kv->key == "SCENEKEYLOCK") {
      value = config_.scene_key_lock ? "ON" : "OFF";
    } else if (kv->key == "LAYER") {
      value = "0";
    } else if (kv->key == "WIFI_STATE") {
      const std::string* mode = network_value("WIFI_MODE");
      const std::string* ssid = network_value("STA_SSID");
      value = mode && *mode == "sta" && ssid && !ssid->empty() ? "up" : "down";
    } else if (const std::string* v = network_value(kv->key)) {
      if (!is_secret(kv->key)) value = *v;
    } else {
      continue;  // not a key of this console (also "CMD" in a query)
    }
    std::string line = std::string(kv->key) + "=" + value + "\n";
    if (report.size() + line.size() > max_payload_size) {
      out.push_back(make_config_report(report));
      report.clear();
    }
    report += line;
  }
  if (!report.empty()) out.push_back(make_config_report(report));
}

void console_model::on_config_command(std::string_view text, frame_list& out) {
  const std::string answer = command_result(text);
  if (!answer.empty()) out.push_back(make_config_result(answer));
}

std::string console_model::command_result(std::string_view text) {
  if (const auto cmd = kv_get(text, "CMD")) {
    if (*cmd == "CHGPWD") return change_password(text);
    if (*cmd == "CHGLOCK") return change_lock(text, false);
    if (*cmd == "FORCELOCK") return change_lock(text, true);
    if (*cmd == "RESET") {
      factory_reset();
      return result("RESET", result_ok);
    }
    if (*cmd == "SCENEKEYLOCK") {
      const auto v = kv_get(text, "SCENEKEYLOCK");
      if (v && (*v == "ON" || *v == "OFF")) config_.scene_key_lock = *v == "ON";
      return std::string("CMD=SCENEKEYLOCK\nSCENEKEYLOCK=") + (config_.scene_key_lock ? "ON" : "OFF");
    }
    return result(*cmd, result_err);
  }

  bool renamed = false;
  bool network = false;
  kv_cursor cursor(text);
  while (const auto kv = kv_next(cursor)) {
    if (kv->key == "DEVNAME") {
      config_.device_name = std::string(kv->value.substr(0, max_name_bytes));
      renamed = true;
      continue;
    }
    for (auto& [k, v] : config_.network) {
      if (k == kv->key) {
        v = kv->value;
        network = true;
      }
    }
  }
  // A rename is answered with the name first: the program tells it from a network result
  // by that.
  if (renamed) return "DEVNAME=" + config_.device_name + "\n" + std::string(result_ok);
  return std::string(network ? result_ok : result_err);
}

std::string console_model::change_password(std::string_view text) {
  const auto pwd = kv_get(text, "PWD");
  const auto fresh = kv_get(text, "NEWPWD");
  if (!pwd || *pwd != config_.password || !fresh || !valid_password(*fresh)) return result("CHGPWD", result_err);
  config_.password = *fresh;
  return result("CHGPWD", result_ok);
}

std::string console_model::change_lock(std::string_view text, bool forced) {
  const std::string_view cmd = forced ? "FORCELOCK" : "CHGLOCK";
  const auto lock = kv_get(text, "LOCK");
  if (!lock || (*lock != "ON" && *lock != "OFF")) return result(cmd, result_err);
  // Locking needs no password from the lock key; opening the lock always does.
  if (forced && *lock != "ON") return result(cmd, result_err);
  if (!forced) {
    const auto pwd = kv_get(text, "PWD");
    if (!pwd || *pwd != config_.password) return result(cmd, result_err);
  }
  set_lock(*lock == "ON");
  return result(cmd, result_ok);
}

void console_model::factory_reset() {
  build_defaults(values_.data(), values_.size());
  for (std::size_t i = 0; i < media_identity.size(); ++i) values_[media_client_id + i] = media_identity[i];
  for (int n = 1; n <= scene_memories; ++n) {
    scene_memory& s = scenes_[static_cast<std::size_t>(n - 1)];
    s.values = values_;
    s.texts = {};
    s.name = default_scene_name(n);
    staged_[static_cast<std::size_t>(n - 1)].reset();
  }
  channel_names_ = {};
  config_.device_name = "unnamed";
  config_.password.clear();
  config_.scene_key_lock = false;
  config_.network = default_network();
  // The console starts over: the scene-change marker makes the program read it all again.
  change(scene_change_marker_id, values_[scene_change_marker_id], true);
}

}  // namespace vorante::sim
