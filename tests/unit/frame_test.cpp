#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "app/core/crc16.h"
#include "app/protocol/frame.h"
#include "app/protocol/rings.h"

namespace vorante {
namespace {

using bytes = std::vector<uint8_t>;

const bytes probe = {0x80, 0x05, 0x06, 0x00, 0x00, 0x13, 0xC5};
const bytes probe_answer = {0x80, 0x07, 0x06, 0x00, 0x00, 0x00, 0x00, 0x7F, 0x13};

bytes cat(std::initializer_list<bytes> parts) {
  bytes out;
  for (const bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

bytes frame_of(uint8_t code, const bytes& payload) {
  bytes out(payload.size() + frame_overhead);
  const std::size_t n = build_frame(out.data(), out.size(), code, payload.data(), payload.size());
  out.resize(n);
  return out;
}

bool crc_ok(const uint8_t* f, std::size_t n) {
  return n >= min_frame_size && f[0] == frame_start && std::size_t{f[1]} + 2 == n &&
         crc16(f, f[1]) == get_be16(f + f[1]);
}

// ---- CRC -----------------------------------------------------------------------------

TEST(frame_crc, known_values) {
  struct row {
    bytes data;
    uint16_t crc;
  } rows[] = {
      {{0x80, 0x05, 0x06, 0x00, 0x00}, 0x13C5},
      {{0x80, 0x07, 0x06, 0x00, 0x00, 0x00, 0x00}, 0x7F13},
      {{0x80, 0x04, 0x00, 0x00}, 0x2568},
      {{'1', '2', '3', '4', '5', '6', '7', '8', '9'}, 0x4B37},
      {{}, 0xFFFF},
  };
  for (const row& r : rows) EXPECT_EQ(crc16(r.data.data(), r.data.size()), r.crc) << r.data.size();
  static_assert(crc16(nullptr, 0) == 0xFFFF);
}

// The table-driven CRC takes eight bytes at a time: it must agree with the plain bit-by-bit
// definition for every length (whole blocks, every tail) and at every alignment.
TEST(frame_crc, agrees_with_the_bitwise_definition_at_every_length) {
  const auto bitwise = [](const uint8_t* p, std::size_t n) {
    uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < n; ++i) {
      crc ^= p[i];
      for (int k = 0; k < 8; ++k) crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
    }
    return crc;
  };
  std::mt19937 rng(7);
  bytes data(300 + 8);
  for (uint8_t& b : data) b = static_cast<uint8_t>(rng());
  for (std::size_t offset = 0; offset < 8; ++offset)
    for (std::size_t n = 0; n + offset <= data.size(); ++n)
      ASSERT_EQ(crc16(data.data() + offset, n), bitwise(data.data() + offset, n)) << offset << " " << n;
  static constexpr uint8_t sixteen[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  static_assert(crc16(sixteen, 16) == 0x3B28);  // still usable at compile time
}

// ---- build_frame ---------------------------------------------------------------------

TEST(frame_build, writes_header_payload_and_crc_high_byte_first) {
  EXPECT_EQ(frame_of(0x06, {0x00, 0x00}), probe);
  EXPECT_EQ(frame_of(0x06, {0x00, 0x00, 0x00, 0x00}), probe_answer);
}

TEST(frame_build, size_limits) {
  struct row {
    std::size_t payload_len, buffer_size, want;
  } rows[] = {
      {251, 256, 256},  // the longest frame
      {252, 256, 0},    // one byte too many
      {252, 300, 0},    // too long for a frame even when the buffer is larger
      {0, 5, 5},        {0, 4, 0}, {10, 15, 15}, {10, 14, 0},
  };
  for (const row& r : rows) {
    std::vector<uint8_t> payload(r.payload_len, 0x5A);
    std::vector<uint8_t> buffer(r.buffer_size + 8, 0xEE);
    EXPECT_EQ(build_frame(buffer.data(), r.buffer_size, 0x03, payload.data(), payload.size()), r.want)
        << r.payload_len << " into " << r.buffer_size;
    // Nothing is written past the stated size, built or not.
    EXPECT_TRUE(std::all_of(buffer.begin() + r.buffer_size, buffer.end(), [](uint8_t b) { return b == 0xEE; }));
    if (r.want) {
      EXPECT_TRUE(crc_ok(buffer.data(), r.want));
    }
  }
  uint8_t buf[8];
  EXPECT_EQ(build_frame(buf, sizeof buf, 1, nullptr, 1), 0u);
  EXPECT_EQ(build_frame(nullptr, 256, 1, nullptr, 0), 0u);
}

// The payload may live in the output buffer: in place at offset 3, or anywhere overlapping.
TEST(frame_build, payload_inside_the_buffer) {
  const bytes payload = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  const bytes want = frame_of(0x25, payload);
  for (std::size_t at : {0u, 1u, 2u, 3u, 4u, 7u, 20u}) {
    std::array<uint8_t, 64> buf{};
    std::copy(payload.begin(), payload.end(), buf.begin() + at);
    const std::size_t n = build_frame(buf.data(), buf.size(), 0x25, buf.data() + at, payload.size());
    EXPECT_EQ(bytes(buf.begin(), buf.begin() + n), want) << "payload at " << at;
  }
}

// ---- check_datagram ------------------------------------------------------------------

bytes long_datagram() {
  bytes d(264, 0x11);
  d[0] = 0x80;
  d[1] = 0xFF;
  d[2] = 0xFF;
  put_be16(d.data() + 262, crc16(d.data(), 262));
  return d;
}

TEST(frame_datagram, accepts_one_whole_frame_only) {
  const bytes big = long_datagram();
  bytes bad_crc = probe;
  bad_crc[6] ^= 1;
  struct row {
    const char* what;
    bytes data;
    std::size_t n;  // bytes the receiver got; the rest of data lies beyond the datagram
    bool ok;
  } rows[] = {
      {"probe", probe, 7, true},
      {"answer", probe_answer, 9, true},
      {"trailing bytes", cat({probe_answer, {0, 0, 0}}), 12, true},
      {"bad crc", bad_crc, 7, false},
      {"no start byte", cat({{0x00}, probe}), 8, false},
      {"crc outside datagram", probe, 6, false},
      {"length beyond datagram", probe_answer, 7, false},
      {"empty", {}, 0, false},
      {"no code byte", {0x80, 0x02, 0xB1, 0xE1, 0x00}, 5, false},
      {"long form", big, 264, true},
      {"long form cut", big, 263, false},
      {"long form in a 16-byte read", big, 16, false},
  };
  for (const row& r : rows) EXPECT_EQ(check_datagram(r.data.data(), r.n), r.ok) << r.what;
}

// ---- parse_frame ---------------------------------------------------------------------

struct parse_outcome {
  std::vector<int> results;  // every call until one returns 0
  std::vector<bytes> frames;
  std::size_t left = 0;
};

parse_outcome run_parser(engine_ring& ring, parse_mode mode, std::size_t out_size = max_frame_size) {
  parse_outcome o;
  std::array<uint8_t, 300> out{};
  for (int guard = 0; guard < 2000; ++guard) {
    const int r = parse_frame(ring, out.data(), out_size, mode);
    o.results.push_back(r);
    if (r > 0) o.frames.emplace_back(out.begin(), out.begin() + r);
    if (r == 0) break;
  }
  o.left = ring.count();
  return o;
}

parse_outcome parse_bytes(const bytes& in, parse_mode mode, std::size_t out_size = max_frame_size) {
  engine_ring ring;
  EXPECT_TRUE(ring.write(in.data(), in.size()));
  return run_parser(ring, mode, out_size);
}

struct parse_case {
  const char* name;
  bytes in;
  parse_mode mode;
  std::vector<int> results;
  std::vector<bytes> frames;
  std::size_t left;
  std::size_t out_size = max_frame_size;
};

std::ostream& operator<<(std::ostream& os, const parse_case& c) { return os << c.name; }

class frame_parse : public ::testing::TestWithParam<parse_case> {};

TEST_P(frame_parse, results_frames_and_what_stays_queued) {
  const parse_case& c = GetParam();
  const parse_outcome o = parse_bytes(c.in, c.mode, c.out_size);
  EXPECT_EQ(o.results, c.results);
  EXPECT_EQ(o.frames, c.frames);
  EXPECT_EQ(o.left, c.left);
}

bytes with_length_255() {
  bytes b(257, 0x00);
  b[0] = 0x80;
  b[1] = 0xFF;
  return b;
}

bytes filler(std::size_t n) { return bytes(n, 0x00); }

const parse_mode strict = parse_mode::strict;
const parse_mode scanning = parse_mode::scanning;
const bytes bad_probe = {0x80, 0x05, 0x06, 0x00, 0x00, 0x13, 0xC6};
const bytes incomplete_head = {0x80, 0x40, 0x06};  // announces 66 bytes

INSTANTIATE_TEST_SUITE_P(
    table, frame_parse,
    ::testing::Values(
        parse_case{"leading_garbage_dropped", cat({{0x00, 0x00}, probe}), strict, {7, 0}, {probe}, 0},
        parse_case{"incomplete_kept_strict", {0x80, 0x05, 0x06, 0x00}, strict, {0}, {}, 4},
        parse_case{"incomplete_kept_scanning", {0x80, 0x05, 0x06, 0x00}, scanning, {0}, {}, 4},
        parse_case{"bad_crc_then_valid", cat({bad_probe, probe_answer}), strict, {9, 0}, {probe_answer}, 0},
        parse_case{"back_to_back", cat({probe, probe_answer, probe}), strict, {7, 9, 7, 0},
                   {probe, probe_answer, probe}, 0},
        parse_case{"length_255_dropped", cat({with_length_255(), probe}), strict, {-1, 7, 0}, {probe}, 0},
        parse_case{"longer_than_out_buffer", cat({probe_answer, probe}), strict, {-1, 7, 0}, {probe}, 0, 8},
        parse_case{"strict_waits_behind_incomplete", cat({incomplete_head, probe}), strict, {0}, {}, 10},
        parse_case{"scanning_finds_behind_incomplete", cat({incomplete_head, probe}), scanning, {7, 0},
                   {probe}, 0},
        parse_case{"scanning_finds_behind_corrupt", cat({bad_probe, probe}), scanning, {7, 0}, {probe}, 0},
        parse_case{"scanning_keeps_garbage", filler(40), scanning, {0}, {}, 40},
        parse_case{"strict_eats_garbage", filler(40), strict, {0}, {}, 0},
        // 80 02 B1 E1 passes the CRC over its first two bytes but has no code byte.
        parse_case{"no_code_byte_is_no_frame", cat({{0x80, 0x02, 0xB1, 0xE1}, probe}), strict, {7, 0}, {probe},
                   0},
        // Scanning covers offsets 0..255; a candidate further back waits for strict parsing.
        parse_case{"scanning_window_last_offset", cat({incomplete_head, filler(252), probe}), scanning, {7, 0},
                   {probe}, 0},
        parse_case{"scanning_window_ends", cat({incomplete_head, filler(253), probe}), scanning, {0}, {}, 263},
        // 256 bytes queued, one start byte announcing 257: the scan has to stop.
        parse_case{"scanning_full_window_no_frame", cat({{0x80, 0xFF}, filler(254)}), scanning, {0}, {}, 256}),
    [](const ::testing::TestParamInfo<parse_case>& i) { return std::string(i.param.name); });

// A frame that lies across the end of the ring's storage comes out whole, for every split.
TEST(frame_parse_ring, frames_across_the_wrap) {
  const bytes frame = frame_of(0x03, {0x0B, 0xB8, 0x12, 0x34, 0x0B, 0xB9, 0x56, 0x78});
  for (std::size_t before_end = 1; before_end < frame.size(); ++before_end) {
    engine_ring ring;
    const bytes pad(engine_ring::capacity - before_end, 0x00);
    ASSERT_TRUE(ring.write(pad.data(), pad.size()));
    ring.drop(pad.size());
    ASSERT_TRUE(ring.write(frame.data(), frame.size()));
    const parse_outcome o = run_parser(ring, strict);
    EXPECT_EQ(o.frames, std::vector<bytes>{frame}) << before_end;
    EXPECT_EQ(o.left, 0u);
  }
}

// Bytes trickling in one at a time: each frame comes out once, when its last byte arrives.
TEST(frame_parse_ring, byte_by_byte_delivery) {
  const bytes stream = cat({{0x00}, probe, bad_probe, probe_answer, filler(3), probe});
  engine_ring ring;
  std::vector<bytes> got;
  std::vector<std::size_t> completed_at;
  std::array<uint8_t, max_frame_size> out{};
  for (std::size_t i = 0; i < stream.size(); ++i) {
    ASSERT_TRUE(ring.write(&stream[i], 1));
    for (int r; (r = parse_frame(ring, out.data(), out.size(), strict)) != 0;) {
      ASSERT_GT(r, 0);
      got.emplace_back(out.begin(), out.begin() + r);
      completed_at.push_back(i);
    }
  }
  EXPECT_EQ(got, (std::vector<bytes>{probe, probe_answer, probe}));
  EXPECT_EQ(completed_at, (std::vector<std::size_t>{7, 23, 33}));
}

TEST(frame_pairs, list_payload_and_trailing_bytes) {
  const bytes frame = frame_of(0x06, {0x0C, 0x76, 0x00, 0x01, 0x0D, 0xBD, 0xAB, 0xCD, 0xFF});
  const pair_list pairs(frame_payload(frame));
  EXPECT_EQ(frame_code(frame), 0x06);
  ASSERT_EQ(pairs.size(), 2u);
  const std::vector<id_value> seen(pairs.begin(), pairs.end());
  EXPECT_EQ(seen, (std::vector<id_value>{{3190, 1}, {3517, 0xABCD}}));
  EXPECT_EQ(pairs[1], (id_value{3517, 0xABCD}));
  EXPECT_TRUE(pair_list(frame_payload(probe)).empty());  // 2-byte payload: no pair
  EXPECT_TRUE(frame_payload(bytes{0x80, 0x02}).empty());
}

// ---- replayed malformed streams ------------------------------------------------------

// Random frames, damaged in the ways links damage them, delivered in random chunks through
// the same strict-then-scanning passes the engine makes. Whatever arrives, the parser must
// stay inside the ring, finish every pass, and hand out only intact frames that were on
// the wire.
TEST(frame_corpus, malformed_streams_keep_the_invariants) {
  std::mt19937 rng(0x5EED1234u);
  auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };

  std::size_t frames_out = 0, valid_in = 0;
  for (int stream_no = 0; stream_no < 64; ++stream_no) {
    bytes wire;
    const int pieces = pick(1, 40);
    for (int p = 0; p < pieces; ++p) {
      bytes payload(static_cast<std::size_t>(pick(0, pick(0, 1) ? 16 : 251)));
      for (uint8_t& b : payload) b = static_cast<uint8_t>(pick(0, 3) ? pick(0, 255) : 0x80);
      bytes f = frame_of(static_cast<uint8_t>(pick(0, 120)), payload);
      switch (pick(0, 7)) {
        case 0: f[static_cast<std::size_t>(pick(0, static_cast<int>(f.size()) - 1))] ^= static_cast<uint8_t>(pick(1, 255)); break;
        case 1: f.resize(static_cast<std::size_t>(pick(0, static_cast<int>(f.size()) - 1))); break;  // cut short
        case 2: f[1] = static_cast<uint8_t>(pick(0, 255)); break;                                       // lying length
        case 3: f.insert(f.begin(), static_cast<std::size_t>(pick(1, 12)), 0x80); break;               // false starts
        case 4: f.assign(static_cast<std::size_t>(pick(1, 300)), static_cast<uint8_t>(pick(0, 255))); break;
        default: ++valid_in; break;                                                                   // intact
      }
      wire.insert(wire.end(), f.begin(), f.end());
    }

    engine_ring ring;
    std::array<uint8_t, max_frame_size> out{};
    std::size_t fed = 0;
    int passes = 0;
    while (fed < wire.size() || ring.count() > 0) {
      ASSERT_LT(++passes, 100000) << "stream " << stream_no << " does not drain";
      const std::size_t chunk = std::min<std::size_t>(static_cast<std::size_t>(pick(1, 320)), wire.size() - fed);
      ring.write(wire.data() + fed, chunk);  // a full ring loses the chunk, as a transport would
      fed += chunk;
      ASSERT_LE(ring.count(), engine_ring::capacity);

      for (parse_mode mode : {strict, scanning}) {
        for (int calls = 0;; ++calls) {
          ASSERT_LT(calls, 2048) << "parser does not finish";
          const std::size_t before = ring.count();
          const int r = parse_frame(ring, out.data(), out.size(), mode);
          if (r == 0) break;
          ASSERT_LT(ring.count(), before) << "a result without consuming bytes";
          if (r < 0) continue;
          ASSERT_TRUE(crc_ok(out.data(), static_cast<std::size_t>(r)));
          ASSERT_TRUE(std::search(wire.begin(), wire.end(), out.begin(), out.begin() + r) != wire.end());
          ++frames_out;
        }
        // Strict parsing stops only at a start byte with too few bytes behind it.
        if (mode == strict && ring.count() > 0) {
          uint8_t start = 0, length = 0;
          ASSERT_TRUE(ring.peek(0, start));
          ASSERT_EQ(start, frame_start);
          if (ring.count() >= min_frame_size && ring.peek(1, length)) {
            ASSERT_GT(std::size_t{length} + 2, ring.count());
          }
        }
      }
      if (fed == wire.size()) ring.clear();  // the link goes quiet; nothing more will come
    }
  }
  // The streams are mostly intact frames; most of them must come through.
  EXPECT_GT(frames_out, valid_in / 2);
}

}  // namespace
}  // namespace vorante
