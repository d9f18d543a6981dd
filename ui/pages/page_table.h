// The console's pages, one row each: the fixed page ID, the name ("--show" takes it), the
// container page that shows it and the factory that makes it. This table is the one place a
// screen is added: a new page writes its factory into its row.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "ui/pages/page.h"

namespace vorante {

enum page_id : int {
  page_home = 1,
  page_brief_cont = 2,
  page_brief_channel = 3,
  page_brief_fader = 4,
  page_edit_cont = 5,
  page_edit_input = 6,
  page_edit_efx = 7,
  page_edit_output = 8,
  page_edit_dca = 9,
  page_player = 14,
  page_setting = 15,
  page_set_scene = 16,
  page_set_copy = 17,
  page_set_mute_group = 19,
  page_set_phantom_group = 20,
  page_set_record = 21,
  page_set_phones = 22,
  page_set_monitor = 23,
  page_network = 24,
  page_signal = 25,
  page_set_input = 27,
  page_set_output = 28,
  page_set_demo = 29,
  page_set_sys = 30,
  page_factory_mode = 32,
};

// Page IDs are below this; the registry has one slot per ID.
constexpr int page_slot_count = 42;

// Makes the page as a child of `parent` (the host sizes and shows it).
using page_maker = page* (*)(QWidget* parent, page_env& env, int id);

// The factory of a page class made from (parent, env).
template <class T>
page* make_page(QWidget* parent, page_env& env, int) {
  return new T(parent, env);
}

struct page_entry {
  int id;
  std::string_view name;
  // The container page that shows it. 0: none does (home is the root host's), so the page
  // is never on screen: set_monitor and set_demo.
  int host;
  // nullptr while the page is not built: a placeholder showing its name stands in.
  page_maker create;
};

// Every page, in the order of their IDs.
std::span<const page_entry> page_table();
// The row of a page; nullptr for IDs without a page.
const page_entry* page_entry_of(int id);
// The container that hosts `id`, or 0 when none does.
int page_host_of(int id);
// The pages a container hosts, in the order of their IDs.
std::vector<int> hosted_pages(int container_id);

}  // namespace vorante
