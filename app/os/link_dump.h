// What every transport shares: the hex dumps of sent and received bytes, the millisecond
// stamp they carry, and moving queued receive bytes on to the engine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "app/protocol/rings.h"

namespace vorante {

// Milliseconds of a monotonic clock, wrapping at 2^32.
using clock_fn = std::function<uint32_t()>;
uint32_t steady_clock_ms();

// "S: " or "R: ", each byte as two upper-case hex digits, " ts: <ms>\n".
std::string format_link_dump(const char* prefix, const uint8_t* bytes, std::size_t n, uint32_t ts);
void print_sent_dump(const uint8_t* bytes, std::size_t n, uint32_t ts);
void print_received_dump(const uint8_t* bytes, std::size_t n, uint32_t ts);

// Takes up to max_poll_bytes out of a receive thread's ring into the engine ring. The
// engine write is all or nothing: bytes that do not fit are lost and the parser
// resynchronises on the next start byte. Returns how many bytes were taken.
std::size_t move_received(transport_ring& from, engine_ring& to, bool print_received,
                          uint32_t now_ms);

}  // namespace vorante
