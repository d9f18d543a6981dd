#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/core/identity.h"
#include "app/os/adapters.h"
#include "app/os/discovery.h"
#include "app/protocol/messages.h"
#include "tests/unit/os_test_support.h"

namespace vorante {
namespace {

using test::bytes;
using test::udp_peer;

uint32_t ip(const char* text) {
  uint32_t a = 0;
  EXPECT_TRUE(parse_ipv4(text, a)) << text;
  return a;
}

bytes as_bytes(const frame_bytes& f) { return bytes(f.data(), f.data() + f.size()); }

// --- adapters -----------------------------------------------------------------------------

TEST(adapters, broadcast_replaces_the_last_number_with_255) {
  const std::pair<const char*, const char*> cases[] = {
      {"192.168.1.23", "192.168.1.255"}, {"10.0.0.1", "10.0.0.255"},   {"172.16.5.255", "172.16.5.255"},
      {"192.168.1.0", "192.168.1.255"},  {"127.0.0.1", "127.0.0.255"}, {"10.20.30.40", "10.20.30.255"},
  };
  for (const auto& [address, broadcast] : cases)
    EXPECT_EQ(ipv4_text(broadcast_address(ip(address))), broadcast) << address;
}

TEST(adapters, probes_up_non_loopback_non_virtual_interfaces_with_an_address) {
  struct interface_case {
    const char* name;
    bool up, loopback;
    const char* address;
    bool probed;
  };
  const interface_case cases[] = {
      {"eth0", true, false, "192.168.1.23", true},
      {"wlan0", true, false, "10.0.0.7", true},
      {"eth1", false, false, "192.168.2.5", false},
      {"lo", true, true, "127.0.0.1", false},
      {"eth2", true, false, "0.0.0.0", false},
      {"VMware Network Adapter VMnet8", true, false, "192.168.80.1", false},
      {"vmware0", true, false, "192.168.81.1", false},
      {"vmnet1", true, false, "172.16.1.1", false},
  };
  for (const interface_case& c : cases)
    EXPECT_EQ(is_probed_interface(c.name, c.up, c.loopback, ip(c.address)), c.probed) << c.name;
}

TEST(adapters, override_list_keeps_only_usable_addresses_in_order) {
  struct list_case {
    const char* text;
    std::vector<const char*> addresses;
  };
  const list_case cases[] = {
      {"127.0.0.1", {"127.0.0.1"}},
      {" 127.0.0.1 , 127.0.1.1", {"127.0.0.1", "127.0.1.1"}},
      {"bogus,0.0.0.0,,127.0.0.5,256.1.1.1,127.1", {"127.0.0.5"}},
      {"", {}},
  };
  for (const list_case& c : cases) {
    const std::vector<adapter> list = parse_adapter_list(c.text);
    std::vector<std::string> got;
    for (const adapter& a : list) got.push_back(ipv4_text(a.address));
    EXPECT_EQ(got, std::vector<std::string>(c.addresses.begin(), c.addresses.end())) << c.text;
  }
}

TEST(adapters, the_environment_list_replaces_the_machines_adapters) {
  const char* saved = std::getenv(adapters_variable);
  const std::optional<std::string> previous = saved ? std::optional<std::string>(saved) : std::nullopt;
  ::setenv(adapters_variable, "127.0.0.1,127.0.1.1", 1);
  const std::vector<adapter> list = local_adapters();
  if (previous) ::setenv(adapters_variable, previous->c_str(), 1);
  else ::unsetenv(adapters_variable);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].address, ip("127.0.0.1"));
  EXPECT_EQ(list[1].address, ip("127.0.1.1"));
}

// --- identification replies --------------------------------------------------------------

TEST(identification_reply, accepts_our_consoles_only_and_reads_their_name) {
  const identity_codes& ours = identity();
  bytes bad_crc = as_bytes(make_identification(0, ours.product, ours.model, "Stage"));
  bad_crc.back() ^= 0x01;
  bytes trailing = as_bytes(make_identification(0, ours.product, ours.model, "FOH"));
  trailing.push_back(0x55);  // junk after the frame is not part of the name
  const uint8_t no_zero_payload[] = {0x00, static_cast<uint8_t>(ours.product >> 8),
                                     static_cast<uint8_t>(ours.product & 0xFF), ours.model, 'M', 'o', 'n'};
  const uint8_t short_payload[] = {0x00, static_cast<uint8_t>(ours.product >> 8),
                                   static_cast<uint8_t>(ours.product & 0xFF)};

  struct reply_case {
    const char* what;
    bytes reply;
    std::optional<std::string> name;
  };
  const reply_case cases[] = {
      {"named", as_bytes(make_identification(7, ours.product, ours.model, "Stage left")), "Stage left"},
      {"unnamed", as_bytes(make_identification(0, ours.product, ours.model, "unnamed")), product_name()},
      {"empty name", as_bytes(make_identification(0, ours.product, ours.model, "")), ""},
      {"long name", as_bytes(make_identification(0, ours.product, ours.model, std::string(40, 'x'))),
       std::string(31, 'x')},
      {"no terminator", as_bytes(make_frame(0, no_zero_payload)), "Mon"},
      {"bytes after the frame", trailing, "FOH"},
      {"other product", as_bytes(make_identification(0, ours.product ^ 1, ours.model, "A")), std::nullopt},
      {"other model", as_bytes(make_identification(0, ours.product, ours.model + 1, "A")), std::nullopt},
      {"other message", as_bytes(make_frame(6, no_zero_payload)), std::nullopt},
      {"payload too short", as_bytes(make_frame(0, short_payload)), std::nullopt},
      {"bad checksum", bad_crc, std::nullopt},
      {"cut short", bytes{0x80, 0x0A, 0x00, 0x00}, std::nullopt},
  };
  for (const reply_case& c : cases) {
    std::string name = "unchanged";
    const bool ok = read_identification_reply(c.reply.data(), c.reply.size(), name);
    EXPECT_EQ(ok, c.name.has_value()) << c.what;
    if (c.name) {
      EXPECT_EQ(name, *c.name) << c.what;
    }
  }
}

// --- a discovery round against fake consoles on loopback ---------------------------------

TEST(discovery_round, lists_each_answering_console_once_and_ends_after_a_quiet_wait) {
  // Two "networks": 127.0.0.x and 127.0.1.x, each with a console on its broadcast address.
  udp_peer stage(ip("127.0.0.255"), 0);
  ASSERT_TRUE(stage.ok());
  const uint16_t port = stage.port();
  udp_peer booth(ip("127.0.1.255"), port);
  udp_peer stranger(ip("127.0.0.9"), 0);
  ASSERT_TRUE(booth.ok());
  ASSERT_TRUE(stranger.ok());

  discovery_round round(port);
  testing::internal::CaptureStdout();
  ASSERT_TRUE(round.start({{"a", ip("127.0.0.1")}, {"b", ip("127.0.1.1")}}, 1000));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "discover 127.0.0.255\ndiscover 127.0.1.255\n");
  EXPECT_TRUE(round.running());

  const auto at_stage = stage.receive();
  const auto at_booth = booth.receive();
  ASSERT_TRUE(at_stage && at_booth);
  EXPECT_EQ(at_stage->data, as_bytes(make_identify()));
  EXPECT_EQ(at_booth->data, as_bytes(make_identify()));

  const identity_codes& ours = identity();
  const bytes stage_reply = as_bytes(make_identification(0, ours.product, ours.model, "Stage"));
  stage.send_to(at_stage->address, at_stage->port, stage_reply);
  stage.send_to(at_stage->address, at_stage->port, stage_reply);  // answered twice
  stranger.send_to(at_stage->address, at_stage->port,
                   as_bytes(make_identification(0, ours.product, ours.model + 1, "Other model")));
  booth.send_to(at_booth->address, at_booth->port,
                as_bytes(make_identification(0, ours.product, ours.model, "unnamed")));

  // Loopback delivers at once, so one step takes all four answers in.
  EXPECT_FALSE(round.step(1100));
  ASSERT_EQ(round.entries().size(), 2u);
  EXPECT_EQ(round.entries()[0].address, ip("127.0.0.255"));
  EXPECT_EQ(round.entries()[0].name, "Stage");
  EXPECT_EQ(round.entries()[1].address, ip("127.0.1.255"));
  EXPECT_EQ(round.entries()[1].name, product_name());

  // 200 ms of collecting, then 200 ms without a datagram.
  EXPECT_FALSE(round.step(1399));
  // A late datagram, even a useless one, keeps the round open for another 200 ms.
  stranger.send_to(at_stage->address, at_stage->port, {0x00});
  EXPECT_FALSE(round.step(1399));
  EXPECT_FALSE(round.step(1598));
  EXPECT_TRUE(round.step(1599));
  EXPECT_FALSE(round.running());
  EXPECT_EQ(round.entries().size(), 2u);
}

TEST(discovery_round, without_answers_ends_after_400_ms_with_an_empty_list) {
  udp_peer silent(ip("127.0.0.255"), 0);
  ASSERT_TRUE(silent.ok());
  discovery_round round(silent.port());
  testing::internal::CaptureStdout();
  ASSERT_TRUE(round.start({{"a", ip("127.0.0.1")}}, 0xFFFFFF00u));  // across the tick wrap
  testing::internal::GetCapturedStdout();
  EXPECT_FALSE(round.step(0xFFFFFF00u + 399));
  EXPECT_TRUE(round.step(0xFFFFFF00u + 400));
  EXPECT_TRUE(round.entries().empty());
}

}  // namespace
}  // namespace vorante
