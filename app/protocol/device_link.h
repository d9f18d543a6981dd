// The connection to the console: the transport of the current link mode, opened and
// closed on demand, and the one way frames leave the program.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string_view>

#include "app/protocol/link_stats.h"
#include "app/protocol/messages.h"
#include "app/protocol/rings.h"
#include "app/protocol/transport.h"

namespace vorante {

class device_link {
 public:
  // Opens the transport of the current link mode (nullptr: no transport).
  using transport_factory = std::function<std::unique_ptr<transport>()>;

  void set_factory(transport_factory factory) { factory_ = std::move(factory); }
  // Where the frames that go out are counted; none when null.
  void set_stats(link_stats* stats) { stats_ = stats; }
  // Drops the current transport and opens a fresh one.
  void open();
  void close() { transport_.reset(); }
  transport* current() const { return transport_.get(); }

  // Moves received bytes into `ring`; 0 without a transport.
  std::size_t poll(engine_ring& ring, uint32_t now) { return transport_ ? transport_->poll(ring, now) : 0; }

  // Frames that could not be built (empty) and frames without a transport go nowhere.
  void send(const frame_bytes& frame);
  // A write that bypasses the pending set: sent once, not retried.
  void send_write_now(uint16_t id, uint16_t value);
  void send_status_request() { send(make_status_request()); }
  void send_identify() { send(make_identify()); }
  void send_config_query(std::string_view text) { send(make_config_query(text)); }
  void send_config_command(std::string_view text) { send(make_config_command(text)); }
  void send_network_list_request() { send(make_network_list_request()); }
  void send_media_command(std::span<const uint8_t> payload) { send(make_media_command(payload)); }

 private:
  transport_factory factory_;
  std::unique_ptr<transport> transport_;
  link_stats* stats_ = nullptr;
};

}  // namespace vorante
