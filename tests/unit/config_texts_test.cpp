#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/core/translate.h"
#include "app/protocol/config_texts.h"
#include "app/protocol/kv.h"

namespace vorante {
namespace {

using namespace std::string_literals;

// Writes every UI call as one line of text, in order.
class recording_port : public ui_port {
 public:
  std::vector<std::string> events;

  void show_toast(std::string_view text, uint16_t colour, int ms) override {
    char head[48];
    std::snprintf(head, sizeof head, "toast %04X %d ", colour, ms);
    add(head, text);
  }
  void device_name_changed(std::string_view name) override { add("name ", name); }
  void firmware_version_changed(std::string_view version) override { add("firmware ", version); }
  void scene_key_lock_changed(bool locked) override { add("scene lock ", locked ? "on" : "off"); }
  void network_value(std::string_view key, std::string_view value) override {
    add("network ", std::string(key) + "=" + std::string(value));
  }
  void network_apply_result(std::string_view text) override { add("applied ", text); }
  void password_changed() override { add("password changed", ""); }
  void factory_reset_done() override { add("reset done", ""); }

 private:
  void add(std::string_view head, std::string_view tail) {
    events.push_back(std::string(head) + std::string(tail));
  }
};

struct config_fixture {
  explicit config_fixture(std::string product = "VORANTE9M")
      : texts(port, std::move(product), [this](std::string_view t) { sent.emplace_back(t); }) {}

  recording_port port;
  std::vector<std::string> sent;
  config_texts texts;
};

using lines = std::vector<std::string>;

// A text from the console, what the UI is told and what goes back to the console.
struct incoming_case {
  std::string text;
  lines events;
  lines sent = {};
};

// Feeds each case's text through one of the two entry points, reports or results.
template <void (config_texts::*feed)(std::string_view)>
class config_text_test : public testing::TestWithParam<incoming_case> {
 protected:
  void check() {
    config_fixture f;
    (f.texts.*feed)(GetParam().text);
    EXPECT_EQ(f.port.events, GetParam().events);
    EXPECT_EQ(f.sent, GetParam().sent);
  }
};

// --- reports ----------------------------------------------------------------------------

using report_case = incoming_case;
class config_report_test : public config_text_test<&config_texts::on_report> {};
TEST_P(config_report_test, tells_the_ui_and_answers_the_console) { check(); }

INSTANTIATE_TEST_SUITE_P(
    config, config_report_test,
    testing::Values(
        // An unnamed console is renamed to the product and shown under that name.
        report_case{"DEVNAME = unnamed \r\n", {"name VORANTE9M"}, {"DEVNAME=VORANTE9M"}},
        report_case{"DEVNAME=Stage left\r\n", {"name Stage left"}, {}},
        report_case{"DEVNAME=Unnamed", {"name Unnamed"}, {}},
        report_case{"DEVNAME=", {"name "}, {}},
        report_case{"DEVNAME=FOH\nFW_VER=V1.2.3\nFW_BUILD=20240101",
                    {"name FOH", "firmware V1.2.3"}, {}},
        // Only "ON" locks the scene keys.
        report_case{"SCENEKEYLOCK=ON", {"scene lock on"}, {}},
        report_case{"SCENEKEYLOCK=on", {"scene lock off"}, {}},
        report_case{"SCENEKEYLOCK=OFF", {"scene lock off"}, {}},
        report_case{"LAYER=2", {}, {}},
        // Everything else belongs to the network page, in the order received.
        report_case{"ETH_IP=10.0.0.1\r\nWIFI_STATE=up\nDOMAIN=", {"network ETH_IP=10.0.0.1",
                    "network WIFI_STATE=up", "network DOMAIN="}, {}},
        report_case{"no equals here\nLAYER=1\nAPIP = 192.168.4.1 ", {"network APIP=192.168.4.1"},
                    {}}));

TEST(config_report, a_product_called_unnamed_is_not_renamed_to_itself) {
  config_fixture f("unnamed");
  f.texts.on_report("DEVNAME=unnamed");
  EXPECT_TRUE(f.sent.empty());
  EXPECT_EQ(f.port.events, lines{"name unnamed"});
}

TEST(config_report, the_rename_uses_the_given_product_name) {
  config_fixture f("DESK-2");
  f.texts.on_report("DEVNAME=unnamed");
  EXPECT_EQ(f.sent, lines{"DEVNAME=DESK-2"});
  EXPECT_EQ(f.port.events, lines{"name DESK-2"});
}

TEST(config_report, an_observer_leaves_an_unnamed_console_unnamed_and_still_reads_the_report) {
  config_fixture f;
  f.texts.set_observe_only(true);
  f.texts.on_report("DEVNAME=unnamed\nFW_VER=V1.2.3\nSCENEKEYLOCK=ON");
  EXPECT_TRUE(f.sent.empty());
  EXPECT_EQ(f.port.events, (lines{"name unnamed", "firmware V1.2.3", "scene lock on"}));
}

// --- results ----------------------------------------------------------------------------

constexpr const char* reset_text =
    "Factory settings restored successfully!\nThe device will restart automatically.";

// A result is never answered: every case sends nothing.
using result_case = incoming_case;
class config_result_test : public config_text_test<&config_texts::on_result> {};
TEST_P(config_result_test, shows_the_outcome) { check(); }

INSTANTIATE_TEST_SUITE_P(
    config, config_result_test,
    testing::Values(
        // Password change: green toast and the dialog told, or a red toast.
        result_case{"CMD=CHGPWD\nRESULT=OK", {"toast 07E0 1500 CHANGE PASSWORD SUCCESS!",
                                              "password changed"}},
        result_case{"RESULT = OK \r\nCMD = CHGPWD \r\n", {"toast 07E0 1500 CHANGE PASSWORD SUCCESS!",
                                                          "password changed"}},
        result_case{"CMD=CHGPWD\nRESULT=ERR", {"toast F800 1500 CHANGE PASSWORD FAIL!"}},
        result_case{"CMD=CHGPWD\nRESULT=ok", {"toast F800 1500 CHANGE PASSWORD FAIL!"}},
        result_case{"CMD=CHGPWD", {"toast F800 1500 CHANGE PASSWORD FAIL!"}},
        // Lock: only a failure shows.
        result_case{"CMD=CHGLOCK\nRESULT=OK", {}},
        result_case{"CMD=CHGLOCK\nRESULT=ERR", {"toast F800 1500 fail!"}},
        result_case{"CMD=CHGLOCK", {"toast F800 1500 fail!"}},
        // Factory reset: only success shows, for five seconds.
        result_case{"CMD=RESET\nRESULT=OK", {"toast 07E0 5000 "s + reset_text, "reset done"}},
        result_case{"CMD=RESET\nRESULT=ERR", {}},
        // Scene-key lock follows its own line.
        result_case{"CMD=SCENEKEYLOCK\nSCENEKEYLOCK=ON", {"scene lock on"}},
        result_case{"CMD=SCENEKEYLOCK\nSCENEKEYLOCK=on", {"scene lock off"}},
        // Commands nobody reacts to, and no CMD at all.
        result_case{"CMD=FORCELOCK\nRESULT=OK", {}},
        result_case{"CMD=\nRESULT=OK", {}},
        result_case{"ETH_DHCP=on\nRESULT=OK", {"applied ETH_DHCP=on\nRESULT=OK"}},
        result_case{"", {"applied "}},
        result_case{"DEVNAME=FOH\nRESULT=OK", {}},
        result_case{"DEVNAMEX", {}}));

TEST(config_result, scene_key_lock_without_its_line_keeps_the_known_state) {
  config_fixture f;
  f.texts.on_report("SCENEKEYLOCK=ON");
  ASSERT_TRUE(f.texts.scene_key_lock());

  f.texts.on_result("CMD=SCENEKEYLOCK\nRESULT=ERR");
  EXPECT_TRUE(f.texts.scene_key_lock());

  f.texts.on_result("CMD=SCENEKEYLOCK\nSCENEKEYLOCK=OFF");
  EXPECT_FALSE(f.texts.scene_key_lock());
  f.texts.on_result("CMD=SCENEKEYLOCK\nSCENEKEYLOCK=ON");
  EXPECT_TRUE(f.texts.scene_key_lock());
  f.texts.on_report("SCENEKEYLOCK=on");
  EXPECT_FALSE(f.texts.scene_key_lock());
  EXPECT_EQ(f.port.events, (lines{"scene lock on", "scene lock off", "scene lock on",
                                  "scene lock off"}));
}

TEST(config_result, toast_texts_are_translated) {
  static const translation_pair pairs[] = {{"CHANGE PASSWORD FAIL!", "PWD-FAIL-XL"},
                                           {"fail!", "FAIL-XL"}};
  static const translation_table table{"xx", pairs, 2};
  set_translation_table(&table);
  config_fixture f;
  f.texts.on_result("CMD=CHGPWD\nRESULT=ERR");
  f.texts.on_result("CMD=CHGLOCK\nRESULT=ERR");
  set_translation_table(nullptr);
  EXPECT_EQ(f.port.events, (lines{"toast F800 1500 PWD-FAIL-XL", "toast F800 1500 FAIL-XL"}));
}

// --- texts sent -------------------------------------------------------------------------

struct text_case {
  std::optional<std::string> built;
  std::string expected;
};

class config_command_text_test : public testing::TestWithParam<text_case> {};

TEST_P(config_command_text_test, reads_exactly_as_the_console_expects) {
  ASSERT_TRUE(GetParam().built);
  EXPECT_EQ(*GetParam().built, GetParam().expected);
}

const network_addresses lan{"192.168.1.20", "255.255.255.0", "192.168.1.1", "8.8.8.8"};

INSTANTIATE_TEST_SUITE_P(
    config, config_command_text_test,
    testing::Values(
        text_case{device_name_command("FOH"), "DEVNAME=FOH"},
        text_case{device_name_command(""), "DEVNAME="},
        text_case{scene_key_lock_command(true), "CMD=SCENEKEYLOCK\nSCENEKEYLOCK=ON"},
        text_case{scene_key_lock_command(false), "CMD=SCENEKEYLOCK\nSCENEKEYLOCK=OFF"},
        text_case{change_password_command("old1", "new2"), "CMD=CHGPWD\nPWD=old1\nNEWPWD=new2"},
        text_case{change_password_command("old1", ""), "CMD=CHGPWD\nPWD=old1\nNEWPWD="},
        text_case{change_lock_command("1234", true), "CMD=CHGLOCK\nPWD=1234\nLOCK=ON"},
        text_case{change_lock_command("1234", false), "CMD=CHGLOCK\nPWD=1234\nLOCK=OFF"},
        text_case{std::string(force_lock_command), "CMD=FORCELOCK\nLOCK=ON"},
        text_case{wired_network_command(false, lan),
                  "ETH_DHCP=off\nETH_IP=192.168.1.20\nETH_NETMASK=255.255.255.0\n"
                  "ETH_GATEWAY=192.168.1.1\nETH_DNS=8.8.8.8\n"},
        text_case{wired_network_command(true, {"0.0.0.0", "0.0.0.0", "0.0.0.0", "8.8.8.8"}),
                  "ETH_DHCP=on\nETH_IP=0.0.0.0\nETH_NETMASK=0.0.0.0\nETH_GATEWAY=0.0.0.0\n"
                  "ETH_DNS=8.8.8.8\n"},
        text_case{station_network_command(false, lan),
                  "WIFI_MODE=sta\nWIFI_DHCP=off\nWIFI_IP=192.168.1.20\n"
                  "WIFI_NETMASK=255.255.255.0\nWIFI_GATEWAY=192.168.1.1\nWIFI_DNS=8.8.8.8\n"},
        text_case{access_point_command("Mixer AP", "12345678"),
                  "WIFI_MODE=ap\nAP_SSID=Mixer AP\nAP_KEY=12345678\n"},
        text_case{join_wireless_command("Venue", "k=e y"),
                  "WIFI_MODE=sta\nSTA_SSID=Venue\nSTA_KEY=k=e y\n"}));

TEST(config_command_text, a_value_that_would_break_the_line_is_not_built) {
  // An SSID from the scanned list can hold any byte; it must not add lines of its own.
  for (const std::string& bad : {"x\nWIFI_MODE=ap"s, "x\rLOCK=OFF"s, "x\0y"s}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(device_name_command(bad));
    EXPECT_FALSE(change_password_command(bad, "a"));
    EXPECT_FALSE(change_password_command("a", bad));
    EXPECT_FALSE(change_lock_command(bad, true));
    EXPECT_FALSE(wired_network_command(true, {"1.1.1.1", "1.1.1.1", bad, "1.1.1.1"}));
    EXPECT_FALSE(station_network_command(true, {bad, "1.1.1.1", "1.1.1.1", "1.1.1.1"}));
    EXPECT_FALSE(access_point_command("ap", bad));
    EXPECT_FALSE(join_wireless_command(bad, "key"));
  }
}

TEST(config_queries, name_the_keys_the_report_handler_reads) {
  // Every query line is a key with an empty value, as the console expects.
  std::vector<std::string_view> queries{layer_query, device_name_query, scene_key_lock_query,
                                        system_page_query};
  queries.insert(queries.end(), network_queries.begin(), network_queries.end());
  for (std::string_view query : queries) {
    SCOPED_TRACE(query);
    kv_cursor cursor(query);
    int lines_seen = 0;
    while (const auto pair = kv_next(cursor)) {
      ++lines_seen;
      if (pair->key != "CMD") {
        EXPECT_EQ(pair->value, "");
      }
    }
    EXPECT_GT(lines_seen, 0);
  }
}

}  // namespace
}  // namespace vorante
