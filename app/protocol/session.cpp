#include "app/protocol/session.h"

#include "app/core/identity.h"

namespace vorante {

link_session::link_session(runtime_options& opts, ui_port& port)
    : options(opts),
      ui(port),
      store(opts, port),
      engine(store, opts, port),
      config(port, product_name(), [this](std::string_view text) { engine.device().send_config_command(text); }) {
  store.attach(engine);
  store.load_defaults();
  engine.messages().set_config_handlers([this](std::string_view text) { config.on_report(text); },
                             [this](std::string_view text) { config.on_result(text); });
}

void link_session::set_observe_only(bool on) {
  config.set_observe_only(on);
  engine.surface().set_observe_only(on);
}

}  // namespace vorante
