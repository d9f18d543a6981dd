// The rules of the settings screens without their widgets: address fields, the device name,
// password entries, the network page's state under the console's reports, the lock dialog's
// modes and the factory reset count.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "app/protocol/config_texts.h"
#include "app/protocol/messages.h"
#include "app/settings/factory_reset.h"
#include "app/settings/lock_flow.h"
#include "app/settings/network_settings.h"
#include "app/settings/password_form.h"
#include "app/settings/settings_rules.h"

namespace vorante {
namespace {

using namespace std::string_literals;

// --- address fields -------------------------------------------------------------------

struct address_case {
  const char* text;
  bool valid;
};

class address_validation : public ::testing::TestWithParam<address_case> {};

TEST_P(address_validation, takes_four_decimal_parts_below_256) {
  EXPECT_EQ(valid_address(GetParam().text), GetParam().valid) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    cases, address_validation,
    ::testing::Values(address_case{"10.0.0.1", true}, address_case{"0.0.0.0", true},
                      address_case{"255.255.255.255", true}, address_case{"192.168.1.256", false},
                      address_case{"10.0.0", false}, address_case{"10.0.0.1.5", false},
                      address_case{"", false}, address_case{"10..0.1", false}, address_case{"10.0.0.", false},
                      address_case{"a.b.c.d", false}, address_case{"10.0.0.-1", false},
                      address_case{"1000.0.0.1", false}, address_case{" 10.0.0.1", false},
                      // Only the first 15 characters count: the tail is never looked at.
                      address_case{"192.168.100.200xyz", true}, address_case{"192.168.100.2000", true},
                      address_case{"192.168.1.25x", false}));

// --- device name and passwords ----------------------------------------------------------

TEST(settings_rules, device_name_is_counted_in_bytes) {
  EXPECT_TRUE(device_name_fits(std::string(32, 'a')));
  EXPECT_FALSE(device_name_fits(std::string(33, 'a')));
  std::string chinese;
  for (int i = 0; i < 10; ++i) chinese += "调";  // three bytes each
  EXPECT_TRUE(device_name_fits(chinese + "ab"));   // 32 bytes
  EXPECT_FALSE(device_name_fits(chinese + "调"));  // 11 characters, 33 bytes
  EXPECT_TRUE(device_name_fits(""));
}

TEST(settings_rules, password_entries_refuse_long_texts_and_spaces) {
  EXPECT_EQ(check_password_entry(""), std::nullopt);
  EXPECT_EQ(check_password_entry("12345678"), std::nullopt);
  EXPECT_EQ(check_password_entry("123456789"), password_refusal::too_long);
  // Length counts bytes: three Chinese characters are nine.
  EXPECT_EQ(check_password_entry("密码锁"), password_refusal::too_long);
  EXPECT_EQ(check_password_entry("a b"), password_refusal::has_space);
  EXPECT_EQ(check_password_entry(" "), password_refusal::has_space);
  // Too long wins over the space.
  EXPECT_EQ(check_password_entry("a b c d e"), password_refusal::too_long);
}

TEST(settings_rules, masking_shows_one_star_per_character) {
  EXPECT_EQ(masked(""), "");
  EXPECT_EQ(masked("abc"), "***");
  EXPECT_EQ(masked("密码"), "**");
}

TEST(settings_rules, lock_entry_keeps_eight_bytes_on_a_whole_character) {
  EXPECT_EQ(lock_entry("12345678"), "12345678");
  EXPECT_EQ(lock_entry("123456789"), "12345678");
  EXPECT_EQ(lock_entry("密码锁"), "密码");  // 9 bytes: the third character does not fit
  EXPECT_EQ(lock_entry("1234567密"), "1234567");
}

TEST(password_form, refused_entries_keep_the_previous_one) {
  password_form form;
  EXPECT_EQ(form.commit(password_form::fresh, "secret"), std::nullopt);
  EXPECT_EQ(form.commit(password_form::fresh, "much too long"), password_refusal::too_long);
  EXPECT_EQ(form.commit(password_form::fresh, "se cret"), password_refusal::has_space);
  EXPECT_EQ(form.entry(password_form::fresh), "secret");
  EXPECT_EQ(form.shown(password_form::fresh), "******");
}

TEST(password_form, sends_only_when_new_and_confirmed_agree) {
  password_form form;
  form.commit(password_form::current, "old");
  form.commit(password_form::fresh, "new1");
  form.commit(password_form::confirm, "new2");
  EXPECT_TRUE(std::holds_alternative<password_form::mismatch>(form.submit()));
  form.commit(password_form::confirm, "new1");
  EXPECT_EQ(std::get<std::string>(form.submit()), "CMD=CHGPWD\nPWD=old\nNEWPWD=new1");
  // Two empty entries agree: the console is asked to drop the password.
  form.clear();
  form.commit(password_form::current, "old");
  EXPECT_EQ(std::get<std::string>(form.submit()), "CMD=CHGPWD\nPWD=old\nNEWPWD=");
}

// --- network page state -------------------------------------------------------------------

TEST(network_settings, starts_as_the_page_is_laid_out) {
  const network_settings s;
  for (const network_side* side : {&s.lan, &s.station}) {
    EXPECT_TRUE(side->dhcp);
    EXPECT_FALSE(side->fields_enabled());
    EXPECT_EQ(side->fields, (std::array<std::string, 4>{"0.0.0.0", "0.0.0.0", "0.0.0.0", "8.8.8.8"}));
  }
  EXPECT_TRUE(s.ap_view_shown());
  EXPECT_EQ(s.ap_address_text(), "IP: ");
  EXPECT_EQ(s.url_text(), "URL: ");
}

TEST(network_settings, checking_dhcp_blanks_the_fields_and_unchecking_keeps_them) {
  network_side side;
  side.set_dhcp(false);
  ASSERT_TRUE(side.fields_enabled());
  ASSERT_TRUE(side.set_field(field_ip, "10.0.0.5"));
  side.set_dhcp(true);
  EXPECT_FALSE(side.fields_enabled());
  EXPECT_EQ(side.fields, (std::array<std::string, 4>{"0.0.0.0", "0.0.0.0", "0.0.0.0", "0.0.0.0"}));
  side.set_dhcp(false);
  EXPECT_TRUE(side.fields_enabled());
  EXPECT_EQ(side.fields[field_dns], "0.0.0.0");
}

TEST(network_settings, an_invalid_address_keeps_the_old_text) {
  network_side side;
  EXPECT_FALSE(side.set_field(field_gateway, "10.0.0"));
  EXPECT_FALSE(side.set_field(field_gateway, "192.168.1.256"));
  EXPECT_EQ(side.fields[field_gateway], "0.0.0.0");
  EXPECT_TRUE(side.set_field(field_gateway, "10.0.0.1"));
  EXPECT_EQ(side.fields[field_gateway], "10.0.0.1");
}

TEST(network_settings, reports_fill_the_page_and_wifi_mode_switches_the_views) {
  network_settings s;
  for (const auto& [k, v] : std::initializer_list<std::pair<const char*, const char*>>{
           {"ETH_DHCP", "off"}, {"ETH_IP", "192.168.1.120"}, {"ETH_DNS", "1.1.1.1"}, {"WIFI_MODE", "sta"},
           {"STA_SSID", "StageNet"}, {"WIFI_STATE", "up"}, {"APIP", "192.168.4.1"}, {"DOMAIN", "mixer.local"},
           {"WIFI_DHCP", "off"}, {"WIFI_GATEWAY", "10.0.0.1"}})
    EXPECT_TRUE(s.apply_report(k, v)) << k;
  EXPECT_FALSE(s.lan.dhcp);
  EXPECT_EQ(s.lan.fields[field_ip], "192.168.1.120");
  EXPECT_EQ(s.lan.fields[field_dns], "1.1.1.1");
  EXPECT_TRUE(s.station_view_shown());
  EXPECT_FALSE(s.ap_view_shown());
  EXPECT_EQ(s.station_ssid, "StageNet");
  EXPECT_TRUE(s.wifi_up);
  EXPECT_FALSE(s.station.dhcp);
  EXPECT_EQ(s.station.fields[field_gateway], "10.0.0.1");
  EXPECT_EQ(s.ap_address_text(), "IP: 192.168.4.1");
  EXPECT_EQ(s.url_text(), "URL: http://mixer.local/");
  // Any mode but "sta" is the access point, whatever the user had chosen.
  s.apply_report("WIFI_MODE", "ap");
  EXPECT_TRUE(s.ap_view_shown());
  s.apply_report("WIFI_MODE", "STA");
  EXPECT_TRUE(s.ap_view_shown());
  // A reported DHCP box does not blank the addresses the console reports beside it.
  s.apply_report("ETH_DHCP", "on");
  EXPECT_TRUE(s.lan.dhcp);
  EXPECT_EQ(s.lan.fields[field_ip], "192.168.1.120");
}

TEST(network_settings, keys_are_never_shown) {
  network_settings s;
  EXPECT_FALSE(s.apply_report("AP_KEY", "12345678"));
  EXPECT_FALSE(s.apply_report("STA_KEY", "hunter22"));
  EXPECT_EQ(s.ap_ssid, "");
  EXPECT_EQ(s.station_ssid, "");
}

TEST(network_settings, apply_commands_carry_the_fields) {
  network_settings s;
  s.lan.set_dhcp(false);
  s.lan.set_field(field_ip, "10.0.0.9");
  EXPECT_EQ(s.lan_command(), "ETH_DHCP=off\nETH_IP=10.0.0.9\nETH_NETMASK=0.0.0.0\nETH_GATEWAY=0.0.0.0\nETH_DNS=8.8.8.8\n");
  EXPECT_EQ(s.station_command(),
            "WIFI_MODE=sta\nWIFI_DHCP=on\nWIFI_IP=0.0.0.0\nWIFI_NETMASK=0.0.0.0\nWIFI_GATEWAY=0.0.0.0\nWIFI_DNS=8.8.8.8\n");
  EXPECT_FALSE(access_point_key_ok("1234567"));
  EXPECT_TRUE(access_point_key_ok("12345678"));
}

// Reports as the console's messages bring them, through the configuration text handler
// into the page state: damaged or strange lines change nothing they should not.
class network_port : public ui_port {
 public:
  network_settings state;
  int unknown = 0;
  void network_value(std::string_view key, std::string_view value) override {
    if (!state.apply_report(key, value)) ++unknown;
  }
};

struct bad_report_case {
  const char* name;
  std::string text;
  // What the state should look like afterwards, from the reported state below.
  void (*expect)(const network_settings& before, const network_settings& after);
};

void unchanged(const network_settings& before, const network_settings& after) {
  EXPECT_EQ(after.lan.dhcp, before.lan.dhcp);
  EXPECT_EQ(after.lan.fields, before.lan.fields);
  EXPECT_EQ(after.station.dhcp, before.station.dhcp);
  EXPECT_EQ(after.station.fields, before.station.fields);
  EXPECT_EQ(after.station_mode, before.station_mode);
  EXPECT_EQ(after.ap_ssid, before.ap_ssid);
  EXPECT_EQ(after.station_ssid, before.station_ssid);
  EXPECT_EQ(after.wifi_up, before.wifi_up);
  EXPECT_EQ(after.ap_address, before.ap_address);
  EXPECT_EQ(after.domain, before.domain);
}

TEST(network_settings, bad_reports_change_nothing_they_should_not) {
  const std::string long_value(300, 'x');
  const std::vector<bad_report_case> cases = {
      {"unknown keys", "FOO=1\nETH_IPX=10.0.0.1\neth_ip=10.0.0.2\nAP_KEY=secret\n", unchanged},
      {"300-byte values", "ETH_IP=" + long_value + "\nAP_SSID=" + long_value + "\nWIFI_MODE=" + long_value + "\n",
       unchanged},
      {"300-byte key", std::string(300, 'K') + "=1\n", unchanged},
      {"lines without =", "ETH_IP\nWIFI_MODE\n\n\n", unchanged},
      {"empty values", "ETH_DHCP=\nWIFI_MODE=\nDOMAIN=\nSTA_SSID=\n",
       [](const network_settings& before, const network_settings& after) {
         // An empty DHCP value is not "off", an empty mode is not "sta".
         EXPECT_TRUE(after.lan.dhcp);
         EXPECT_FALSE(after.station_mode);
         EXPECT_EQ(after.url_text(), "URL: ");
         EXPECT_EQ(after.station_ssid, "");
         EXPECT_EQ(after.lan.fields, before.lan.fields);
         EXPECT_EQ(after.ap_ssid, before.ap_ssid);
       }},
      {"invalid UTF-8", "AP_SSID=\xff\xfe\xc3\n\xc0\x80=1\nWIFI_STATE=\xe2\x82\n",
       [](const network_settings& before, const network_settings& after) {
         EXPECT_EQ(after.ap_ssid, "\xff\xfe\xc3");
         EXPECT_FALSE(after.wifi_up);
         EXPECT_EQ(after.lan.fields, before.lan.fields);
         EXPECT_EQ(after.station_mode, before.station_mode);
       }},
      {"zero byte in a value", "DOMAIN=a\0b\nAPIP=1.2.3.4\n"s,
       [](const network_settings& before, const network_settings& after) {
         EXPECT_EQ(after.domain, "a");
         EXPECT_EQ(after.ap_address, "1.2.3.4");
         EXPECT_EQ(after.lan.fields, before.lan.fields);
       }},
  };
  for (const bad_report_case& c : cases) {
    SCOPED_TRACE(c.name);
    network_port port;
    config_texts texts(port, "VORANTE9M", nullptr);
    texts.on_report("ETH_DHCP=off\nETH_IP=192.168.1.120\nWIFI_MODE=sta\nAP_SSID=Net\nSTA_SSID=Join\n"
                    "WIFI_STATE=up\nAPIP=192.168.4.1\nDOMAIN=mixer.local\nWIFI_DHCP=off\n");
    const network_settings before = port.state;
    texts.on_report(c.text);
    c.expect(before, port.state);
  }
}

TEST(network_settings, the_network_list_request_is_an_empty_frame) {
  const frame_bytes f = make_network_list_request();
  EXPECT_EQ(std::vector<uint8_t>(f.view().begin(), f.view().end()), (std::vector<uint8_t>{0x80, 0x03, 0x38, 0x0A, 0x71}));
}

// --- lock dialog ----------------------------------------------------------------------------

struct lock_rig {
  std::vector<std::string> sent;
  int lock_reads = 0;
  lock_flow flow{{[this](std::string_view t) { sent.emplace_back(t); }, [this] { ++lock_reads; }}};
};

TEST(lock_flow, lock_mode_sends_on_with_the_entry_and_can_be_cancelled) {
  lock_rig r;
  r.flow.open(true, false);
  EXPECT_TRUE(r.flow.shown());
  EXPECT_TRUE(r.flow.cancel_shown());
  EXPECT_EQ(r.flow.action_text(), "Lock");
  EXPECT_FALSE(r.flow.console_locked());
  r.flow.enter("pw12");
  EXPECT_EQ(r.flow.field_text(), "****");
  r.flow.act();
  EXPECT_EQ(r.sent, std::vector<std::string>{"CMD=CHGLOCK\nPWD=pw12\nLOCK=ON"});
  EXPECT_EQ(r.lock_reads, 1);
  EXPECT_TRUE(r.flow.shown());  // it closes when the console's state changes
  r.flow.cancel();
  EXPECT_FALSE(r.flow.shown());
}

TEST(lock_flow, unlock_mode_has_no_cancel_and_ends_only_with_the_console) {
  lock_rig r;
  r.flow.console_lock_changed(true);
  EXPECT_TRUE(r.flow.shown());
  EXPECT_FALSE(r.flow.cancel_shown());
  EXPECT_EQ(r.flow.action_text(), "Unlock");
  EXPECT_TRUE(r.flow.console_locked());
  r.flow.cancel();
  EXPECT_TRUE(r.flow.shown());
  r.flow.enter("wrong");
  r.flow.act();
  EXPECT_EQ(r.sent.back(), "CMD=CHGLOCK\nPWD=wrong\nLOCK=OFF");
  EXPECT_TRUE(r.flow.shown());
  r.flow.console_lock_changed(false);
  EXPECT_FALSE(r.flow.shown());
  EXPECT_FALSE(r.flow.console_locked());
}

TEST(lock_flow, lock_key_locks_without_password_once) {
  lock_rig r;
  r.flow.open(true, true);
  EXPECT_EQ(r.sent, std::vector<std::string>{"CMD=FORCELOCK\nLOCK=ON"});
  EXPECT_EQ(r.lock_reads, 1);
  EXPECT_FALSE(r.flow.cancel_shown());
  EXPECT_TRUE(r.flow.console_locked());
  // Pressed again while locked: only the field is emptied.
  r.flow.enter("abc");
  r.flow.open(true, true);
  EXPECT_EQ(r.sent.size(), 1u);
  EXPECT_EQ(r.lock_reads, 1);
  EXPECT_EQ(r.flow.field_text(), "");
  // The console then reports the lock: the dialog is already in unlock mode.
  r.flow.console_lock_changed(true);
  EXPECT_FALSE(r.flow.cancel_shown());
  r.flow.console_lock_changed(false);
  EXPECT_FALSE(r.flow.shown());
}

// --- factory reset --------------------------------------------------------------------------

TEST(factory_reset_counter, counts_from_zero_each_second_and_restarts_only_when_stopped) {
  factory_reset_counter c;
  ASSERT_TRUE(c.start());
  EXPECT_EQ(c.tick(), "Factory reset in progress...\nPlease wait for a few seconds.(0)");
  EXPECT_EQ(c.tick(), "Factory reset in progress...\nPlease wait for a few seconds.(1)");
  EXPECT_EQ(c.tick(), "Factory reset in progress...\nPlease wait for a few seconds.(2)");
  // "OK" again while counting keeps the count going.
  EXPECT_FALSE(c.start());
  EXPECT_EQ(c.count(), 3u);
  c.stop();
  ASSERT_TRUE(c.start());
  EXPECT_EQ(c.tick(), "Factory reset in progress...\nPlease wait for a few seconds.(0)");
}

}  // namespace
}  // namespace vorante
