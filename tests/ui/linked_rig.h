// The program's link and pages as main() puts them together, aimed at the console
// simulator running as a process on loopback, for UI tests on a real link.
#pragma once

#include <arpa/inet.h>

#include <memory>
#include <string>

#include "app/core/options.h"
#include "app/os/transport_factory.h"
#include "app/protocol/session.h"
#include "tests/e2e/sim_process.h"
#include "ui/platform/main_loop.h"
#include "ui/platform/qt_ui_port.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_registry.h"

namespace vorante::test {

struct linked_rig {
  runtime_options options;
  qt_ui_port port;
  link_session session{options, port};
  console_target console;
  page_registry registry;
  std::unique_ptr<navigator> nav;
  std::unique_ptr<main_loop> loop;

  linked_rig(QWidget* host, uint16_t console_port) {
    session.store.load_defaults();
    console.set_address(INADDR_LOOPBACK);
    console.set_port(console_port);
    link_endpoints endpoints;
    endpoints.console = &console;
    session.engine.set_transport_factory([this, endpoints] { return make_transport(options, wake_main_loop, endpoints); });
    session.engine.set_wake(wake_main_loop);
    session.engine.open_link();

    nav = std::make_unique<navigator>(session, registry);
    QObject::connect(&port, &qt_ui_port::param_changed, nav.get(), &navigator::on_param);
    QObject::connect(&port, &qt_ui_port::channel_name_changed, nav.get(), &navigator::on_name);
    QObject::connect(&port, &qt_ui_port::link_state, nav.get(), &navigator::show_link_state);
    page_host* root = nav->make_root(host);
    root->resize(host->size());
    root->show();

    loop = std::make_unique<main_loop>([this](uint32_t now) { session.engine.step(now); });
    session.engine.enable();
    loop->start();
  }
  ~linked_rig() { session.engine.close_link(); }
};

// The value the simulator holds ("ID VALUE" answers).
inline int sim_value(sim_process& sim, unsigned id) {
  const std::string answer = sim.command("get " + std::to_string(id));
  return std::stoi(answer.substr(answer.find(' ') + 1));
}

}  // namespace vorante::test
