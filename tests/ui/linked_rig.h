// The program's link and pages as main() puts them together, aimed at a console simulator
// running as a process on loopback: for UI tests that drive real pages over a real link.
//
//   rig_ = std::make_unique<test::linked_rig>(host_, sim_->udp_port());
//   QTRY_VERIFY_WITH_TIMEOUT(rig_->session.engine.read_finished(), 20000);
//
// `wire` runs after the navigator exists and before its root is shown, for the extra
// connections a test needs (wire_settings below: settings, toasts, console keys).
//
// A test object that wants a fresh simulator, window and rig for every test function derives
// from linked_test and calls open_link from init and close_link from cleanup.
#pragma once

#include <arpa/inet.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QObject>
#include <QtTest>
#include <QWidget>

#include "app/core/options.h"
#include "app/os/transport_factory.h"
#include "app/protocol/session.h"
#include "tests/e2e/sim_process.h"
#include "tests/ui/host_window.h"
#include "tests/ui/page_lookup.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_registry.h"
#include "ui/platform/main_loop.h"
#include "ui/platform/qt_ui_port.h"
#include "ui/screens/settings/settings_link.h"
#include "ui/widgets/toast.h"

namespace vorante::test {

struct linked_rig {
  struct setup {
    bool load_defaults = true;  // start from the default image, as the program does
    navigator::clock_fn clock;  // the navigator's clock; empty for its default
    std::function<void(linked_rig&)> wire;
    // May put a decorator around the transport the engine opens (to count frames, say).
    std::function<std::unique_ptr<transport>(std::unique_ptr<transport>)> wrap;
  };

  runtime_options options;
  qt_ui_port port;
  link_session session{options, port};
  console_target console;
  page_registry registry;
  std::unique_ptr<navigator> nav;
  std::unique_ptr<main_loop> loop;

  linked_rig(QWidget* host, uint16_t console_port) : linked_rig(host, console_port, setup{}) {}
  linked_rig(QWidget* host, uint16_t console_port, const setup& how) {
    if (how.load_defaults) session.store.load_defaults();
    console.set_address(INADDR_LOOPBACK);
    console.set_port(console_port);
    link_endpoints endpoints;
    endpoints.console = &console;
    session.engine.set_transport_factory([this, endpoints, wrap = how.wrap] {
      auto t = make_transport(options, wake_main_loop, endpoints);
      return wrap ? wrap(std::move(t)) : std::move(t);
    });
    session.engine.set_wake(wake_main_loop);
    session.engine.open_link();

    nav = std::make_unique<navigator>(session, registry, how.clock);
    QObject::connect(&port, &qt_ui_port::param_changed, nav.get(), &navigator::on_param);
    QObject::connect(&port, &qt_ui_port::channel_name_changed, nav.get(), &navigator::on_name);
    QObject::connect(&port, &qt_ui_port::link_state, nav.get(), &navigator::show_link_state);
    if (how.wire) how.wire(*this);
    show_root(*nav, host);

    loop = std::make_unique<main_loop>([this](uint32_t now) { session.engine.step(now); });
    session.engine.enable();
    loop->start();
  }
  ~linked_rig() { session.engine.close_link(); }
  linked_rig(const linked_rig&) = delete;
  linked_rig& operator=(const linked_rig&) = delete;
};

// The simulator as a process, the host window and the rig on a link to it. A failed step
// fails the test function (QtTest skips the function when init failed); call open_link last
// in init.
class linked_test : public QObject, protected host_window {
 protected:
  static constexpr int read_wait_ms = 20000;  // the whole first read of the console

  void open_link(const std::vector<std::string>& sim_args, const linked_rig::setup& how = {}) {
    sim_ = std::make_unique<sim_process>(sim_args);
    QVERIFY(sim_->ready());
    QVERIFY(open_host({1280, 800}));
    rig_ = std::make_unique<linked_rig>(host_, sim_->udp_port(), how);
    QTRY_VERIFY_WITH_TIMEOUT(rig_->session.engine.read_finished(), read_wait_ms);
  }
  // The reverse of open_link.
  void close_link() {
    rig_.reset();
    close_host();
    sim_.reset();
  }

  std::unique_ptr<sim_process> sim_;
  std::unique_ptr<linked_rig> rig_;
};

// The program's settings wiring, as main() adds it: console keys, toasts and the settings
// screens' reports.
inline void wire_settings(linked_rig& rig) {
  navigator* nav = rig.nav.get();
  QObject::connect(&rig.port, &qt_ui_port::surface_key, nav, [nav](uint16_t code) { nav->console_key(code); });
  QObject::connect(&rig.port, &qt_ui_port::toast, nav,
                   [](const QString& text, uint16_t colour, int ms) { show_toast(text, colour, ms); });
  listen_to_settings(rig.port, *nav);
}

// A click in the middle of `w`; false when it is missing or hidden.
[[nodiscard]] inline bool click(QWidget* w) {
  if (w == nullptr || !w->isVisible()) return false;
  QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
  return true;
}

// The value the simulator holds for `id` (it answers "ID VALUE").
inline int sim_value(sim_process& sim, unsigned id) {
  const std::string answer = sim.command("get " + std::to_string(id));
  return std::stoi(answer.substr(answer.find(' ') + 1));
}

}  // namespace vorante::test
