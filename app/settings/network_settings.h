// What the network page shows and sends, without the widgets: the wired side and the
// station side (a DHCP box and four address fields each), the wireless mode, the access
// point and station names, the link icon and the two access point labels. The console's
// reports land here key by key; the page redraws from the state.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace vorante {

enum address_field : int { field_ip = 0, field_netmask, field_gateway, field_dns, address_field_count };

struct network_side {
  bool dhcp = true;
  std::array<std::string, address_field_count> fields{"0.0.0.0", "0.0.0.0", "0.0.0.0", "8.8.8.8"};

  // Checking DHCP blanks the addresses: the console will be handed new ones.
  void set_dhcp(bool on);
  // A field takes only a valid address; false (and the old text stays) otherwise.
  bool set_field(int field, std::string_view text);
  // The fields can be edited only with a fixed address.
  bool fields_enabled() const { return !dhcp; }
};

inline constexpr std::string_view network_saved_text = "Configuration saved!\nTake effect after reboot!";
inline constexpr std::string_view short_key_text = "Password must be at least 8 characters!";

struct network_settings {
  network_side lan;
  network_side station;
  bool station_mode = false;  // "Station" checked; "AP" otherwise
  std::string ap_ssid;
  std::string station_ssid;
  bool wifi_up = false;
  std::string ap_address;  // "IP: " is put before it when drawn
  std::string domain;      // empty: "URL: " alone

  // One key of a configuration report; false for keys the page does not show. Keys are
  // never shown from a report.
  bool apply_report(std::string_view key, std::string_view value);

  // The texts of the access point labels.
  std::string ap_address_text() const { return "IP: " + ap_address; }
  std::string url_text() const { return domain.empty() ? std::string("URL: ") : "URL: http://" + domain + "/"; }

  // The views follow the mode: the access point fields, or the station fields with the
  // button that opens the list of networks.
  bool ap_view_shown() const { return !station_mode; }
  bool station_view_shown() const { return station_mode; }

  // The apply commands; nullopt when a value cannot travel on one line.
  std::optional<std::string> lan_command() const;
  std::optional<std::string> station_command() const;
};

}  // namespace vorante
