#include <gtest/gtest.h>

#include <optional>

#include "app/os/probe.h"
#include "app/protocol/messages.h"
#include "tests/unit/os_test_support.h"

namespace vorante {
namespace {

using test::bytes;
using test::udp_peer;
using test::udp_responder;

bytes as_bytes(const frame_bytes& f) { return bytes(f.data(), f.data() + f.size()); }

// Our end on an ephemeral port instead of 1080.
probe_ports to_service(uint16_t port) { return {.local = 0, .service = port}; }

TEST(local_probe, finds_a_service_only_when_it_answers_with_a_valid_frame) {
  struct service_case {
    const char* what;
    bytes reply;
    bool found;
  };
  const service_case cases[] = {
      {"answers the probe", as_bytes(make_probe_answer()), true},
      {"answers with any valid frame", as_bytes(make_identify()), true},
      {"answers garbage", bytes{0x80, 0x07, 0x06, 0x00, 0x00, 0x00, 0x00, 0x7F, 0x14}, false},
      {"claims a frame longer than the datagram", bytes{0x80, 0xFF, 0xFF, 0x00, 0x00}, false},
      {"stays silent", bytes{}, false},
  };
  for (const service_case& c : cases) {
    udp_responder service(c.reply);
    EXPECT_EQ(local_probe(to_service(service.port())), c.found) << c.what;
    // A miss is three probes; the last may still be on its way to the service.
    const std::size_t probes = c.found ? 1 : 3;
    ASSERT_TRUE(test::eventually([&] { return service.received().size() == probes; })) << c.what;
    EXPECT_EQ(service.received().front(), as_bytes(make_presence_probe())) << c.what;
  }
}

TEST(local_probe, fails_when_its_own_port_is_taken) {
  udp_peer holder(loopback_address, 0);
  udp_responder service(as_bytes(make_probe_answer()));
  EXPECT_FALSE(local_probe({.local = holder.port(), .service = service.port()}));
  EXPECT_TRUE(service.received().empty());
}

TEST(datacenter_wait, returns_after_three_answers) {
  udp_responder service(as_bytes(make_probe_answer()));
  EXPECT_TRUE(datacenter_wait(to_service(service.port())));
  EXPECT_EQ(service.received().size(), 3u);
}

TEST(datacenter_wait, keeps_probing_a_silent_service_until_stopped) {
  udp_responder silent(bytes{});
  int asked = 0;
  EXPECT_FALSE(datacenter_wait(to_service(silent.port()), [&asked] { return ++asked > 2; }));
  EXPECT_EQ(asked, 3);
  EXPECT_TRUE(test::eventually([&] { return silent.received().size() == 2; }));
}

TEST(datacenter_wait, cannot_start_when_its_own_port_is_taken) {
  udp_peer holder(loopback_address, 0);
  EXPECT_FALSE(datacenter_wait({.local = holder.port(), .service = holder.port()}, [] { return true; }));
}

}  // namespace
}  // namespace vorante
