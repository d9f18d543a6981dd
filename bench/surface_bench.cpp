// The console surface's key lights: a full refresh recomputed from the store and sent as
// one "control outputs" frame through the engine on a memory link, as the program does it
// on every layer change, page change by a key and lock change.
#include <benchmark/benchmark.h>

#include "app/core/log.h"
#include "app/protocol/messages.h"
#include "tests/support/engine_fixture.h"

namespace vorante {
namespace {

runtime_options driving_the_surface() {
  runtime_options o;
  o.surface_takeover = true;
  return o;
}

struct quiet_log {
  quiet_log() { set_log_stream(nullptr); }
};

struct bench_session : quiet_log, test::session_rig {
  bench_session() : session_rig(driving_the_surface()) {}
};

void surface_full_light_refresh_sent(benchmark::State& state) {
  bench_session b;
  b.session.store.load_defaults();
  // Something on every row: a mute, a solo, an editor's select light, a scene light.
  b.session.store.set_local(param_id(kind_input, 2, code_on), 0);
  b.session.store.set_local(param_id(kind_input, 5, code_solo), 1200);
  b.session.store.set_local(scene_change_marker_id, 3);
  surface_page_state page;
  page.editor_kind = kind_input;
  page.editor_index = 1;
  control_surface& surface = b.session.engine.surface();
  uint32_t now = 1000;
  std::size_t frames = 0;
  for (auto _ : state) {
    surface.lights_full_refresh(now, page, false);
    // The light timer is due: the changed words go out in one frame.
    surface.step(now + light_send_delay_ms);
    now += light_send_delay_ms;
    frames += b.link->sent.size();
    b.link->sent.clear();
  }
  if (frames != static_cast<std::size_t>(state.iterations())) state.SkipWithError("not one frame per refresh");
}
BENCHMARK(surface_full_light_refresh_sent);

}  // namespace
}  // namespace vorante
