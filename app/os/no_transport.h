// Link mode 4 and any mode without a transport: frames go nowhere, nothing comes in.
#pragma once

#include "app/os/link_dump.h"
#include "app/protocol/transport.h"

namespace vorante {

class no_transport final : public transport {
 public:
  no_transport() = default;
  // The sent-frame dump still shows what the engine tried to send.
  no_transport(bool print_sent, clock_fn clock);

  void send(const uint8_t* bytes, std::size_t n) override;
  std::size_t poll(engine_ring&, uint32_t) override { return 0; }

 private:
  bool print_sent_ = false;
  clock_fn clock_;
};

}  // namespace vorante
