// The program's pages on a session without a console, for tests of one page: the store's
// refreshes reach the page on screen as the program's UI port hands them on, and values
// can arrive as the console would report them.
#pragma once

#include <memory>

#include "app/core/options.h"
#include "app/protocol/session.h"
#include "app/protocol/ui_port.h"
#include "tests/ui/page_lookup.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_registry.h"

namespace vorante::test {

// A session without a console and the navigator over it, reading a clock the test moves by
// hand; the test makes the navigator once the store holds what it should start from.
struct navigator_rig {
  void make_navigator() { nav = std::make_unique<navigator>(session, registry, [this] { return now; }); }

  runtime_options options;
  link_session session{options};
  page_registry registry;
  uint32_t now = 1000;
  std::unique_ptr<navigator> nav;
};

// (The port comes first: it outlives the session attached to it.)
class page_rig : private ui_port, public navigator_rig {
 public:
  explicit page_rig(QWidget* host) {
    session.store.load_defaults();
    make_navigator();
    session.store.attach(*this);
    show_root(*nav, host);
  }

  // The page `id` inside the container `container`, which sits in `home`; nullptr until
  // it was first shown.
  template <class P>
  P* page_in(int container, int id) const {
    return test::page_in<P>(*nav, container, id);
  }

  param_store& store() { return session.store; }
  // A value as the console reports it.
  void arrives(unsigned id, uint16_t raw) {
    session.store.set_local(id, raw);
    nav->on_param(static_cast<uint16_t>(id), raw, true);
  }

 private:
  void on_param(uint16_t id, uint16_t value, bool pushed) override {
    if (nav) nav->on_param(id, value, pushed);
  }
};

}  // namespace vorante::test
