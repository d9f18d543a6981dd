// The program's link to the console simulator as main() puts it together, for the tests
// that drive the settings screens over UDP.
#pragma once

#include <QObject>
#include <QtTest>
#include <arpa/inet.h>
#include <functional>
#include <memory>
#include <string>

#include "app/core/options.h"
#include "app/os/transport_factory.h"
#include "app/protocol/session.h"
#include "tests/e2e/sim_process.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_registry.h"
#include "ui/platform/main_loop.h"
#include "ui/platform/qt_ui_port.h"
#include "ui/screens/settings/set_sys_page.h"
#include "ui/screens/settings/settings_link.h"
#include "ui/widgets/toast.h"

namespace vorante {

inline constexpr int read_wait_ms = 20000;
inline constexpr int answer_wait_ms = 3000;

// The program's link, pages and settings wiring as main() puts them together, aimed at the
// simulator.
struct linked_rig {
  runtime_options options;
  qt_ui_port port;
  link_session session{options, port};
  console_target console;
  page_registry registry;
  std::unique_ptr<navigator> nav;
  std::unique_ptr<main_loop> loop;

  using transport_wrap = std::function<std::unique_ptr<transport>(std::unique_ptr<transport>)>;
  // `wrap` may put a decorator around the transport the engine opens.
  transport_wrap wrap;

  linked_rig(QWidget* host, uint16_t console_port, transport_wrap wrapper = [](std::unique_ptr<transport> t) { return t; })
      : wrap(std::move(wrapper)) {
    session.store.load_defaults();
    console.set_address(INADDR_LOOPBACK);
    console.set_port(console_port);
    link_endpoints endpoints;
    endpoints.console = &console;
    session.engine.set_transport_factory([this, endpoints] { return wrap(make_transport(options, wake_main_loop, endpoints)); });
    session.engine.set_wake(wake_main_loop);
    session.engine.open_link();

    nav = std::make_unique<navigator>(session, registry);
    QObject::connect(&port, &qt_ui_port::param_changed, nav.get(), &navigator::on_param);
    QObject::connect(&port, &qt_ui_port::channel_name_changed, nav.get(), &navigator::on_name);
    QObject::connect(&port, &qt_ui_port::link_state, nav.get(), &navigator::show_link_state);
    QObject::connect(&port, &qt_ui_port::surface_key, nav.get(), [this](uint16_t code) { nav->console_key(code); });
    QObject::connect(&port, &qt_ui_port::toast, nav.get(),
                     [](const QString& text, uint16_t colour, int ms) { show_toast(text, colour, ms); });
    listen_to_settings(port, *nav);
    page_host* root = nav->make_root(host);
    root->resize(host->size());
    root->show();

    loop = std::make_unique<main_loop>([this](uint32_t now) { session.engine.step(now); });
    session.engine.enable();
    loop->start();
  }
  ~linked_rig() { session.engine.close_link(); }

  set_sys_page* sys() {
    nav->show_by_name("set_sys", 0);
    return system_page();
  }
};

inline int sim_value(test::sim_process& sim, unsigned id) {
  const std::string answer = sim.command("get " + std::to_string(id));
  return std::stoi(answer.substr(answer.find(' ') + 1));
}

[[nodiscard]] inline bool click(QWidget* w) {
  if (w == nullptr || !w->isVisible()) return false;
  QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
  return true;
}

}  // namespace vorante
