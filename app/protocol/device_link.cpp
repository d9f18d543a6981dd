#include "app/protocol/device_link.h"

namespace vorante {

void device_link::open() {
  transport_.reset();
  if (factory_) transport_ = factory_();
}

void device_link::send(const frame_bytes& frame) {
  if (frame.empty() || !transport_) return;
  transport_->send(frame.data(), frame.size());
  if (stats_) ++stats_->frames_sent;
}

void device_link::send_write_now(uint16_t id, uint16_t value) {
  const id_value pair{id, value};
  send(make_write_params({&pair, 1}));
}

}  // namespace vorante
