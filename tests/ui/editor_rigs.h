// The channel editors in a test: a navigator over a session whose refreshes reach the page on
// screen and no link at all (tests/ui/linked_rig.h has the real UDP link to the simulator).
#pragma once

#include <QtTest>
#include <memory>

#include "tests/ui/page_lookup.h"
#include "tests/ui/page_rig.h"
#include "ui/pages/navigator.h"
#include "ui/screens/editors/edit_cont.h"
#include "ui/screens/editors/edit_input.h"

namespace vorante {

// The editor frame as the home page hosts it.
inline edit_cont_frame* editor_frame(const navigator& nav) {
  return test::home_page<edit_cont_frame>(nav, page_edit_cont);
}

// The editor of (kind, index) as the frame hosts it, opened through the navigator.
template <class Page>
Page* open_editor_page(navigator& nav, int kind, int index) {
  nav.open_editor(kind, index);
  return qobject_cast<Page*>(editor_frame(nav)->host()->hosted(page_edit_input - 1 + kind));
}

struct editor_rig : test::page_rig {
  using page_rig::page_rig;

  edit_input_page* open(int input) { return open_editor_page<edit_input_page>(*nav, kind_input, input); }
  template <class Page>
  Page* open(int kind, int index) {
    return open_editor_page<Page>(*nav, kind, index);
  }
  bool light(int key) { return session.engine.surface().light(key); }
  edit_cont_frame* frame() const { return editor_frame(*nav); }
  int on_screen() const { return nav->page_on_screen()->page_id(); }
  // A fader level as the console reports it.
  void fader_arrives(int kind, int index, uint16_t raw) { arrives(param_id(kind, index, code_fader), raw); }
};

}  // namespace vorante
