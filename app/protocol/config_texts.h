// Settings that are no numeric parameters (device name, firmware, network, passwords, locks,
// the scene-key lock) travel as key=value text: queries and commands go out, reports and
// results come back. This unit builds every text the program sends, so that no screen
// assembles one, and turns the console's reports and results into UI port calls.
//
// Length: a command text is not checked here. make_config_command (messages.h) refuses texts
// over max_config_command_bytes, so the engine's sender drops them without notice.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/protocol/ui_port.h"

namespace vorante {

// ---- Queries (configuration query message) -------------------------------------------

constexpr std::string_view layer_query = "LAYER=";      // when the link comes up
constexpr std::string_view device_name_query = "DEVNAME=";  // after a full read
constexpr std::string_view scene_key_lock_query = "CMD=SCENEKEYLOCK\nSCENEKEYLOCK=\n";
constexpr std::string_view system_page_query = "DEVNAME=\nFW_VER=\nFW_BUILD=";
// Sent in this order when the network page opens.
constexpr std::array<std::string_view, 3> network_queries = {
    "ETH_DHCP=\nETH_IP=\nETH_NETMASK=\nETH_GATEWAY=\nETH_DNS=\n",
    "AP_SSID=\nAP_KEY=\nSTA_SSID=\nSTA_KEY=\nAPIP=\nDOMAIN=\n",
    "WIFI_MODE=\nWIFI_DHCP=\nWIFI_IP=\nWIFI_NETMASK=\nWIFI_GATEWAY=\nWIFI_DNS=\nWIFI_STATE=\n",
};

// ---- Commands (configuration command message) ----------------------------------------
// Builders taking user or console texts return nullopt when a value holds "\r", "\n" or a
// zero byte: it would end the line early and smuggle in lines of its own (an SSID from
// the air can hold any byte). Nothing is sent then.

constexpr std::string_view force_lock_command = "CMD=FORCELOCK\nLOCK=ON";

std::string scene_key_lock_command(bool locked);
std::optional<std::string> device_name_command(std::string_view name);
std::optional<std::string> change_password_command(std::string_view current_password,
                                                   std::string_view new_password);
std::optional<std::string> change_lock_command(std::string_view password, bool lock);

// The four address fields of the wired and the station side, as the user typed them.
struct network_addresses {
  std::string_view ip;
  std::string_view netmask;
  std::string_view gateway;
  std::string_view dns;
};

std::optional<std::string> wired_network_command(bool dhcp, const network_addresses& addresses);
std::optional<std::string> station_network_command(bool dhcp, const network_addresses& addresses);
std::optional<std::string> access_point_command(std::string_view ssid, std::string_view key);
// Joining a network picked from the scanned list.
std::optional<std::string> join_wireless_command(std::string_view ssid, std::string_view key);

// ---- Reports and results ---------------------------------------------------------------

// The name the console reports until someone names it.
constexpr std::string_view unnamed_device_name = "unnamed";

class config_texts {
 public:
  // send_command takes a command text (the engine's configuration command sender).
  config_texts(ui_port& ui, std::string product_name,
               std::function<void(std::string_view)> send_command);

  // A configuration report (message 57 from the console).
  void on_report(std::string_view text);
  // A configuration result (message 58 from the console).
  void on_result(std::string_view text);

  // Reports are taken in but answered with no command: an unnamed console keeps its name.
  void set_observe_only(bool on) { observe_only_ = on; }

  // Whether the console's scene keys are locked, as last reported; initially clear.
  bool scene_key_lock() const { return scene_key_lock_; }
  // The console's name as last reported; empty before the first report.
  const std::string& device_name() const { return device_name_; }

 private:
  void set_scene_key_lock(bool locked);
  void send(const std::optional<std::string>& command);

  ui_port& ui_;
  std::string product_name_;
  std::function<void(std::string_view)> send_command_;
  bool scene_key_lock_ = false;
  bool observe_only_ = false;
  std::string device_name_;
};

}  // namespace vorante
