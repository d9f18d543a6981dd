// The page registry: 42 slots indexed by page ID, each with the page's name and the factory
// that makes it. Filled once at start-up; every named page starts with a placeholder that
// shows its name, so a real page replaces it with one set_factory call.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string_view>

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

constexpr int page_slot_count = 42;

struct page_name_entry {
  int id;
  std::string_view name;
};

inline constexpr std::array<page_name_entry, 25> page_names{{
    {page_home, "home"},
    {page_brief_cont, "brief_cont"},
    {page_brief_channel, "brief_channel"},
    {page_brief_fader, "brief_fader"},
    {page_edit_cont, "edit_cont"},
    {page_edit_input, "edit_input"},
    {page_edit_efx, "edit_efx"},
    {page_edit_output, "edit_output"},
    {page_edit_dca, "edit_dca"},
    {page_player, "player"},
    {page_setting, "setting"},
    {page_set_scene, "set_scene"},
    {page_set_copy, "set_copy"},
    {page_set_mute_group, "set_mute_group"},
    {page_set_phantom_group, "set_phantom_group"},
    {page_set_record, "set_record"},
    {page_set_phones, "set_phones"},
    {page_set_monitor, "set_monitor"},
    {page_network, "network"},
    {page_signal, "signal"},
    {page_set_input, "set_input"},
    {page_set_output, "set_output"},
    {page_set_demo, "set_demo"},
    {page_set_sys, "set_sys"},
    {page_factory_mode, "factory_mode"},
}};

// Which container page hosts which page. A page without an entry is in no host and is
// never shown (set_monitor, set_demo, and the settings pages until a menu hosts them).
struct page_parent_entry {
  int id;
  int host;
};

inline constexpr std::array<page_parent_entry, 10> page_parents{{
    {page_brief_cont, page_home},
    {page_edit_cont, page_home},
    {page_brief_channel, page_brief_cont},
    {page_brief_fader, page_brief_cont},
    {page_player, page_brief_cont},
    {page_setting, page_brief_cont},
    {page_edit_input, page_edit_cont},
    {page_edit_output, page_edit_cont},
    {page_edit_efx, page_edit_cont},
    {page_edit_dca, page_edit_cont},
}};

// The container that hosts `id`, or 0 when none does.
constexpr int page_host_of(int id) {
  for (const page_parent_entry& e : page_parents)
    if (e.id == id) return e.host;
  return 0;
}

// Makes the page as a child of `parent` (the host sizes and shows it).
using page_factory = std::function<page*(QWidget* parent, page_env& env, int id)>;

struct page_descriptor {
  int id = 0;
  std::string_view name;  // empty: the slot holds no page
  page_factory create;
};

class page_registry {
 public:
  // Every named slot holds a placeholder page.
  page_registry();

  // Ignored for slots without a name.
  void set_factory(int id, page_factory factory);

  // The descriptor of a registered page; nullptr for empty slots and IDs out of range.
  const page_descriptor* find(int id) const;
  std::optional<int> id_of(std::string_view name) const;
  std::string_view name_of(int id) const;

 private:
  std::array<page_descriptor, page_slot_count> slots_{};
};

// The page every slot starts with: an empty page titled with its name.
page* create_placeholder_page(QWidget* parent, page_env& env, int id);

}  // namespace vorante
