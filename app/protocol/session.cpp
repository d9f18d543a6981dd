#include "app/protocol/session.h"

#include "app/core/identity.h"

namespace vorante {

link_session::link_session(runtime_options& opts, ui_port& port)
    : options(opts),
      ui(port),
      store(opts, port),
      engine(store, opts, port),
      config(port, product_name(), [this](std::string_view text) { engine.device().send_config_command(text); }),
      media([this](std::span<const uint8_t> payload) { engine.device().send_media_command(payload); }, opts.media_log_level) {
  store.attach(engine);
  store.load_defaults();
  engine.messages().set_config_handlers([this](std::string_view text) { config.on_report(text); },
                             [this](std::string_view text) { config.on_result(text); });
  // Reports are handled within the step whose time the client last heard.
  engine.messages().set_media_handlers([this](std::span<const uint8_t> frame) { media.media_report(frame, media.now()); },
                                       [this](uint32_t now) { media.step(now); });
}

void link_session::set_observe_only(bool on) {
  config.set_observe_only(on);
  engine.surface().set_observe_only(on);
}

}  // namespace vorante
