#include "app/os/no_transport.h"

#include <utility>

namespace vorante {

no_transport::no_transport(bool print_sent, clock_fn clock)
    : print_sent_(print_sent), clock_(clock ? std::move(clock) : clock_fn(steady_clock_ms)) {}

void no_transport::send(const uint8_t* bytes, std::size_t n) {
  if (print_sent_) print_sent_dump(bytes, n, clock_());
}

}  // namespace vorante
