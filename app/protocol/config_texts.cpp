#include "app/protocol/config_texts.h"

#include <utility>

#include "app/core/translate.h"
#include "app/protocol/kv.h"

namespace vorante {

namespace {

// Joins fixed text and values, remembering whether every value fits on its line.
class command_text {
 public:
  command_text& fixed(std::string_view text) {
    text_ += text;
    return *this;
  }
  command_text& value(std::string_view value) {
    constexpr std::string_view line_ends("\r\n\0", 3);
    if (value.find_first_of(line_ends) != std::string_view::npos) fits_ = false;
    text_ += value;
    return *this;
  }
  std::optional<std::string> done() {
    if (!fits_) return std::nullopt;
    return std::move(text_);
  }

 private:
  std::string text_;
  bool fits_ = true;
};

std::string_view on_off_upper(bool on) { return on ? "ON" : "OFF"; }
std::string_view on_off_lower(bool on) { return on ? "on" : "off"; }

command_text& address_lines(command_text& text, std::string_view prefix,
                             const network_addresses& a) {
  return text.fixed("\n").fixed(prefix).fixed("IP=").value(a.ip)
      .fixed("\n").fixed(prefix).fixed("NETMASK=").value(a.netmask)
      .fixed("\n").fixed(prefix).fixed("GATEWAY=").value(a.gateway)
      .fixed("\n").fixed(prefix).fixed("DNS=").value(a.dns)
      .fixed("\n");
}

// The wireless mode and the network it makes or joins, its fields named with `prefix`.
std::optional<std::string> wireless_command(std::string_view mode, std::string_view prefix, std::string_view ssid,
                                            std::string_view key) {
  return command_text()
      .fixed("WIFI_MODE=").fixed(mode)
      .fixed("\n").fixed(prefix).fixed("SSID=").value(ssid)
      .fixed("\n").fixed(prefix).fixed("KEY=").value(key)
      .fixed("\n")
      .done();
}

bool equals(const std::optional<std::string_view>& value, std::string_view expected) {
  return value && *value == expected;
}

constexpr int reset_toast_ms = 5000;

}  // namespace

std::string scene_key_lock_command(bool locked) {
  return std::string("CMD=SCENEKEYLOCK\nSCENEKEYLOCK=").append(on_off_upper(locked));
}

std::optional<std::string> device_name_command(std::string_view name) {
  return command_text().fixed("DEVNAME=").value(name).done();
}

std::optional<std::string> change_password_command(std::string_view current_password,
                                                   std::string_view new_password) {
  return command_text()
      .fixed("CMD=CHGPWD\nPWD=").value(current_password)
      .fixed("\nNEWPWD=").value(new_password)
      .done();
}

std::optional<std::string> change_lock_command(std::string_view password, bool lock) {
  return command_text()
      .fixed("CMD=CHGLOCK\nPWD=").value(password)
      .fixed("\nLOCK=").fixed(on_off_upper(lock))
      .done();
}

std::optional<std::string> wired_network_command(bool dhcp, const network_addresses& addresses) {
  command_text text;
  text.fixed("ETH_DHCP=").fixed(on_off_lower(dhcp));
  return address_lines(text, "ETH_", addresses).done();
}

std::optional<std::string> station_network_command(bool dhcp,
                                                   const network_addresses& addresses) {
  command_text text;
  text.fixed("WIFI_MODE=sta\nWIFI_DHCP=").fixed(on_off_lower(dhcp));
  return address_lines(text, "WIFI_", addresses).done();
}

std::optional<std::string> access_point_command(std::string_view ssid, std::string_view key) {
  return wireless_command("ap", "AP_", ssid, key);
}

std::optional<std::string> join_wireless_command(std::string_view ssid, std::string_view key) {
  return wireless_command("sta", "STA_", ssid, key);
}

config_texts::config_texts(ui_port& ui, std::string product_name,
                           std::function<void(std::string_view)> send_command)
    : ui_(ui), product_name_(std::move(product_name)), send_command_(std::move(send_command)) {}

void config_texts::on_report(std::string_view text) {
  kv_cursor cursor(text);
  while (const auto line = kv_next(cursor)) {
    const std::string_view key = line->key;
    std::string_view value = line->value;
    if (key == "DEVNAME") {
      // A console nobody has named yet gets the product name, here and on the console.
      if (value == unnamed_device_name && product_name_ != unnamed_device_name && !observe_only_) {
        send(device_name_command(product_name_));
        value = product_name_;
      }
      device_name_ = std::string(value);
      ui_.device_name_changed(value);
    } else if (key == "FW_VER") {
      ui_.firmware_version_changed(value);
    } else if (key == "FW_BUILD" || key == "LAYER") {
      // Asked for with their neighbours; nothing shows them.
    } else if (key == "SCENEKEYLOCK") {
      set_scene_key_lock(value == "ON");
    } else {
      ui_.network_value(key, value);
    }
  }
}

void config_texts::on_result(std::string_view text) {
  const auto command = kv_get(text, "CMD");
  if (!command) {
    // The console answers a rename with the name; everything else without CMD answers the
    // network page's last apply.
    if (!text.starts_with("DEVNAME")) ui_.network_apply_result(text);
    return;
  }

  const bool ok = equals(kv_get(text, "RESULT"), "OK");
  if (*command == "CHGPWD") {
    if (ok) {
      ui_.show_toast(translate_text("CHANGE PASSWORD SUCCESS!"), toast_green, toast_default_ms);
      ui_.password_changed();
    } else {
      ui_.show_toast(translate_text("CHANGE PASSWORD FAIL!"), toast_red, toast_default_ms);
    }
  } else if (*command == "CHGLOCK") {
    // Success shows itself: the console's lock parameter changes.
    if (!ok) ui_.show_toast(translate_text("fail!"), toast_red, toast_default_ms);
  } else if (*command == "RESET") {
    if (ok) {
      ui_.show_toast(translate_text("Factory settings restored successfully!\n"
                                    "The device will restart automatically."),
                     toast_green, reset_toast_ms);
      ui_.factory_reset_done();
    }
  } else if (*command == "SCENEKEYLOCK") {
    // Without the line the console said nothing about the lock; keep what we know.
    if (const auto state = kv_get(text, "SCENEKEYLOCK")) set_scene_key_lock(*state == "ON");
  }
}

void config_texts::set_scene_key_lock(bool locked) {
  scene_key_lock_ = locked;
  ui_.scene_key_lock_changed(locked);
}

void config_texts::send(const std::optional<std::string>& command) {
  if (command && send_command_) send_command_(*command);
}

}  // namespace vorante
