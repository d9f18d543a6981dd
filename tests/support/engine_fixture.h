// The engine on an in-memory link, for the unit and simulator tests, the benchmarks and
// the fuzz target: nothing leaves the process, and the clock moves only by hand.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "app/core/options.h"
#include "app/params/store.h"
#include "app/protocol/engine.h"
#include "app/protocol/memory_transport.h"
#include "app/protocol/messages.h"
#include "app/protocol/session.h"
#include "app/protocol/ui_port.h"

namespace vorante::test {

// Gives `engine` memory transports: every open makes a fresh one, which `link` then
// points at (nullptr while the engine holds none).
class memory_link {
 public:
  explicit memory_link(sync_engine& engine) {
    engine.set_transport_factory([this] {
      auto t = std::make_unique<memory_transport>();
      current_ = t.get();
      return t;
    });
    engine.open_link();
  }
  memory_link(const memory_link&) = delete;
  memory_link& operator=(const memory_link&) = delete;

  memory_transport* operator->() const { return current_; }
  memory_transport* get() const { return current_; }

  void deliver(const frame_bytes& f) { current_->deliver(f.data(), f.size()); }
  void deliver(std::span<const uint8_t> bytes) { current_->deliver(bytes.data(), bytes.size()); }

  // The frames sent so far with message code `code`.
  std::vector<std::vector<uint8_t>> sent_with(message_code code) const {
    std::vector<std::vector<uint8_t>> out;
    for (const auto& f : current_->sent)
      if (f.size() >= min_frame_size && f[2] == code_byte(code)) out.push_back(f);
    return out;
  }

 private:
  memory_transport* current_ = nullptr;
};

// The id/value pairs of a sent frame.
inline std::vector<id_value> pairs_of(const std::vector<uint8_t>& frame) {
  std::vector<id_value> out;
  for (const id_value p : pair_list(frame_payload(frame))) out.push_back(p);
  return out;
}

// A store and its engine on a memory link, reporting to a UI port of type `Ui`. The
// engine is enabled; nothing has been stepped yet.
template <class Ui = ui_port>
struct engine_rig {
  runtime_options options;
  Ui ui;
  param_store store{options, ui};
  sync_engine engine{store, options, ui};
  memory_link link{engine};
  uint32_t now;

  explicit engine_rig(uint32_t start = 1000) : now(start) {
    store.attach(engine);
    store.load_defaults();
    engine.enable();
  }
  engine_rig(const engine_rig&) = delete;
  engine_rig& operator=(const engine_rig&) = delete;

  void deliver(const frame_bytes& f) { link.deliver(f); }
  // One paced pass: the pace period later.
  void pass() {
    now += pace_period_ms;
    engine.step(now);
  }
};

// The program's whole link session (store, engine, configuration texts) on a memory link.
// `options` are taken before the session is built, as start-up does.
struct session_rig {
  runtime_options options;
  link_session session;
  memory_link link{session.engine};
  uint32_t now = 0;

  explicit session_rig(const runtime_options& opts = {}) : options(opts), session(options) {
    session.engine.enable();
  }
  session_rig(const session_rig&) = delete;
  session_rig& operator=(const session_rig&) = delete;

  void deliver(std::span<const uint8_t> bytes) { link.deliver(bytes); }
  // `steps` engine steps, `period` milliseconds apart.
  void run(int steps, uint32_t period) {
    for (int i = 0; i < steps; ++i) {
      session.engine.step(now);
      now += period;
    }
  }
};

}  // namespace vorante::test
