// Runs a file's decoded text through the import: the checks, the transfer image they fill
// and the first upload request, as the fuzz target and the corpus replay test both do. A
// text that passes must survive being written out again unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "app/scenes/scene_exchange.h"
#include "tests/support/engine_fixture.h"

namespace vorante {

struct scene_harness_result {
  bool consistent = true;
  scene_check check = scene_check::not_json;
};

inline scene_harness_result run_scene_import_harness(const uint8_t* data, std::size_t size) {
  // One engine for every run: building the store each time would cost more than the checks.
  static test::engine_rig<> rig;
  scene_harness_result r;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  auto image = std::make_unique<transfer_image>();
  r.check = check_scene_text(text, *image);
  if (r.check != scene_check::ok) return r;

  // What passed is written as the program writes it and read back: the same scene.
  auto again = std::make_unique<transfer_image>();
  const std::string rebuilt = build_scene_json(*image, 1);
  r.consistent = check_scene_text(rebuilt, *again) == scene_check::ok && again->values == image->values &&
                 again->texts == image->texts && again->name == image->name;

  // The upload starts with the first 60 values of the image.
  rig.link->sent.clear();
  scene_exchange x(rig.engine.transfer(), {});
  if (x.start_import(text, 1, rig.now) != scene_check::ok) return {false, r.check};
  x.tick(rig.now + scene_tick_ms);
  const auto writes = rig.link.sent_with(message_code::scene_values_write);
  if (writes.size() != 1) return {false, r.check};
  const auto p = frame_payload(writes[0]);
  r.consistent = r.consistent && p.size() == 4u + 2u * scene_chunk_values && get_be16(&p[2]) == 0;
  for (int i = 0; r.consistent && i < scene_chunk_values; ++i)
    r.consistent = get_be16(&p[4 + 2 * i]) == image->values[static_cast<std::size_t>(i)];
  return r;
}

}  // namespace vorante
