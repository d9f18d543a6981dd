// One run of the media client over arbitrary bytes: reports of every kind, item streams
// cut anywhere, steps at any spacing, scans started and stopped at any point. Shared by the
// fuzzer and the replay of its stored inputs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "app/media/item_stream.h"
#include "app/media/media_client.h"

namespace vorante {

struct media_harness_result {
  bool consistent = true;
  int scans_finished = 0;
};

inline media_harness_result run_media_harness(const uint8_t* data, std::size_t size) {
  media_harness_result result;
  const int log_level = 0;
  uint32_t now = 1;
  bool finished_with_nodes = false;
  media_client client([](std::span<const uint8_t>) {}, log_level);
  media_events e;
  e.scan_finished = [&](int count, int code) {
    ++result.scans_finished;
    if (count < 0 || code < 0 || code > 3) result.consistent = false;
  };
  // Names may be empty; they are never longer than 63 UTF-16 units make.
  e.file_found = [&](const folder_node& folder, std::string_view name, uint32_t, uint16_t, bool) {
    if (name.size() > 3 * item_max_name_bytes || folder.name.size() > 3 * item_max_name_bytes) result.consistent = false;
  };
  client.set_events(e);

  // The raw stream on its own as well: every record it gives is whole and bounded.
  item_stream stream;
  std::size_t at = 0;
  while (at < size) {
    const uint8_t op = data[at++];
    switch (op & 7) {
      case 0:
      case 1:
      case 2: {  // a report: item data for op 0, the bytes as they come otherwise
        uint8_t p[media_report_payload] = {};
        for (std::size_t i = 0; i < media_report_payload && at < size; ++i) p[i] = data[at++];
        if ((op & 7) == 0) {
          p[0] = 0x82;
          stream.append(std::span<const uint8_t>(p + 2, std::min<std::size_t>(p[1], 10)));
          while (auto r = stream.next())
            if (r->name.size() > 3 * item_max_name_bytes) result.consistent = false;
          if (stream.queued() > item_ring_size) result.consistent = false;
        }
        client.report_payload(p, now);
        break;
      }
      case 3:
      case 4:  // steps, up to 4 s apart
        now += static_cast<uint32_t>(op >> 3) * 128u + 1u;
        client.step(now);
        break;
      case 5:
        client.scan_start();
        break;
      case 6:
        if ((op >> 3) == 0) client.scan_stop();
        break;
      default:
        // A whole frame of some length, most of them ignored.
        client.media_report(std::span<const uint8_t>(data + at, std::min<std::size_t>(size - at, op >> 3)), now);
        break;
    }
    if (!client.scanning() && client.node_count() != 0) finished_with_nodes = true;
    if (client.node_count() < 0) result.consistent = false;
  }
  // However it went, a stop leaves nothing held.
  client.scan_stop();
  if (finished_with_nodes || client.node_count() != 0) result.consistent = false;
  return result;
}

}  // namespace vorante
