// The channel editors in a test: a navigator over a session whose refreshes reach the page on
// screen and no link at all (tests/ui/linked_rig.h has the real UDP link to the simulator).
#pragma once

#include <QtTest>
#include <memory>

#include "tests/ui/page_rig.h"
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

struct editor_rig : test::page_rig {
  using page_rig::page_rig;

  edit_input_page* open(int input) { return open_editor_page<edit_input_page>(*nav, kind_input, input); }
  template <class Page>
  Page* open(int kind, int index) {
    return open_editor_page<Page>(*nav, kind, index);
  }
  bool light(int key) { return session.engine.surface().light(key); }
};

}  // namespace vorante
