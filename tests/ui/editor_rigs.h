// The channel editors in a test: a navigator over a session whose refreshes reach the page on
// screen, either with no link at all or on a real UDP link to a console simulator process.
#pragma once

#include <QtTest>
#include <arpa/inet.h>
#include <memory>
#include <string>

#include "app/core/options.h"
#include "app/os/transport_factory.h"
#include "app/protocol/session.h"
#include "tests/e2e/sim_process.h"
#include "ui/pages/container_page.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_registry.h"
#include "ui/pages/page_table.h"
#include "ui/platform/main_loop.h"
#include "ui/platform/qt_ui_port.h"
#include "ui/screens/editors/edit_cont.h"
#include "ui/screens/editors/edit_input.h"

namespace vorante {

// The editor of (kind, index) as the frame hosts it, opened through the navigator.
template <class Page>
Page* open_editor_page(navigator& nav, int kind, int index) {
  nav.open_editor(kind, index);
  auto* home = qobject_cast<container_page*>(nav.root()->hosted(page_home));
  auto* frame = qobject_cast<edit_cont_frame*>(home->host()->hosted(page_edit_cont));
  return qobject_cast<Page*>(frame->host()->hosted(page_edit_input - 1 + kind));
}

// Hands the store's refreshes to the page on screen, as the program's UI port does.
struct forwarding_port : ui_port {
  navigator* nav = nullptr;
  void on_param(uint16_t id, uint16_t value, bool pushed) override {
    if (nav) nav->on_param(id, value, pushed);
  }
};

struct editor_rig {
  runtime_options options;
  forwarding_port port;
  link_session session{options};
  page_registry registry;
  std::unique_ptr<navigator> nav;

  explicit editor_rig(QWidget* host) {
    session.store.load_defaults();
    nav = std::make_unique<navigator>(session, registry, [] { return 1000u; });
    port.nav = nav.get();
    session.store.attach(port);
    page_host* root = nav->make_root(host);
    root->resize(host->size());
    root->show();
  }

  edit_input_page* open(int input) { return open_editor_page<edit_input_page>(*nav, kind_input, input); }
  template <class Page>
  Page* open(int kind, int index) {
    return open_editor_page<Page>(*nav, kind, index);
  }
  param_store& store() { return session.store; }
  // A value as the console reports it.
  void arrives(unsigned id, uint16_t raw) {
    session.store.set_local(id, raw);
    nav->on_param(static_cast<uint16_t>(id), raw, true);
  }
  bool light(int key) { return session.engine.surface().light(key); }
};

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

  edit_input_page* open(int input) { return open_editor_page<edit_input_page>(*nav, kind_input, input); }
  template <class Page>
  Page* open(int kind, int index) {
    return open_editor_page<Page>(*nav, kind, index);
  }
};

inline int sim_value(test::sim_process& sim, unsigned id) {
  const std::string answer = sim.command("get " + std::to_string(id));
  return std::stoi(answer.substr(answer.find(' ') + 1));
}

}  // namespace vorante
