#include "app/settings/network_settings.h"

#include "app/protocol/config_texts.h"
#include "app/settings/settings_rules.h"

namespace vorante {

namespace {

constexpr std::string_view blank_address = "0.0.0.0";

struct address_key {
  std::string_view key;
  bool station;
  int field;
};

constexpr std::array<address_key, 8> address_keys{{
    {"ETH_IP", false, field_ip},
    {"ETH_NETMASK", false, field_netmask},
    {"ETH_GATEWAY", false, field_gateway},
    {"ETH_DNS", false, field_dns},
    {"WIFI_IP", true, field_ip},
    {"WIFI_NETMASK", true, field_netmask},
    {"WIFI_GATEWAY", true, field_gateway},
    {"WIFI_DNS", true, field_dns},
}};

// The texts shown as the console reports them.
struct text_key {
  std::string_view key;
  std::string network_settings::*text;
};

constexpr std::array<text_key, 4> text_keys{{
    {"AP_SSID", &network_settings::ap_ssid},
    {"STA_SSID", &network_settings::station_ssid},
    {"APIP", &network_settings::ap_address},
    {"DOMAIN", &network_settings::domain},
}};

network_addresses addresses_of(const network_side& side) {
  return {side.fields[field_ip], side.fields[field_netmask], side.fields[field_gateway], side.fields[field_dns]};
}

}  // namespace

void network_side::set_dhcp(bool on) {
  if (on && !dhcp)
    for (std::string& f : fields) f = blank_address;
  dhcp = on;
}

bool network_side::set_field(int field, std::string_view text) {
  if (field < 0 || field >= address_field_count || !valid_address(text)) return false;
  fields[static_cast<std::size_t>(field)] = text;
  return true;
}

bool network_settings::apply_report(std::string_view key, std::string_view value) {
  for (const address_key& a : address_keys) {
    if (key != a.key) continue;
    // The console's own texts are shown as they come; only the user's typing is checked.
    (a.station ? station : lan).fields[static_cast<std::size_t>(a.field)] = value;
    return true;
  }
  for (const text_key& t : text_keys) {
    if (key != t.key) continue;
    this->*t.text = value;
    return true;
  }
  // The console's report only moves the box: the fields keep what it reports next to it.
  if (key == "ETH_DHCP") {
    lan.dhcp = value != "off";
  } else if (key == "WIFI_DHCP") {
    station.dhcp = value != "off";
  } else if (key == "WIFI_MODE") {
    station_mode = value == "sta";
  } else if (key == "WIFI_STATE") {
    wifi_up = value == "up";
  } else {
    // AP_KEY and STA_KEY are never shown; anything else is not ours.
    return false;
  }
  return true;
}

std::optional<std::string> network_settings::lan_command() const {
  return wired_network_command(lan.dhcp, addresses_of(lan));
}

std::optional<std::string> network_settings::station_command() const {
  return station_network_command(station.dhcp, addresses_of(station));
}

}  // namespace vorante
