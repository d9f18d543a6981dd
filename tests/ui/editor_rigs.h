// The channel editors in a test: a navigator over a session whose refreshes reach the page on
// screen and no link at all (tests/ui/linked_rig.h has the real UDP link to the simulator).
#pragma once

#include <QtTest>
#include <memory>

#include "app/core/options.h"
#include "app/protocol/session.h"
#include "ui/pages/container_page.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_registry.h"
#include "ui/pages/page_table.h"
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

}  // namespace vorante
