#include "ui/pages/page_table.h"

#include <array>

#include "ui/pages/container_page.h"
#include "ui/screens/editors/edit_cont.h"
#include "ui/screens/editors/edit_dca.h"
#include "ui/screens/editors/edit_efx.h"
#include "ui/screens/editors/edit_input.h"
#include "ui/screens/editors/edit_output.h"
#include "ui/screens/media/player.h"
#include "ui/screens/mixer/brief_cont.h"
#include "ui/screens/mixer/brief_fader.h"
#include "ui/screens/mixer/strips_page.h"
#include "ui/screens/scenes/set_scene.h"
#include "ui/screens/settings/group_page.h"
#include "ui/screens/settings/network_page.h"
#include "ui/screens/settings/routing_pages.h"
#include "ui/screens/settings/set_copy_page.h"
#include "ui/screens/settings/set_sys_page.h"
#include "ui/screens/settings/setting_page.h"
#include "ui/screens/settings/signal_page.h"

namespace vorante {

namespace {

constexpr std::array<page_entry, 25> pages{{
    {page_home, "home", 0, make_page<home_page>},
    {page_brief_cont, "brief_cont", page_home, create_brief_cont},
    {page_brief_channel, "brief_channel", page_brief_cont, create_strips_page},
    {page_brief_fader, "brief_fader", page_brief_cont, create_brief_fader},
    {page_edit_cont, "edit_cont", page_home, create_edit_cont},
    {page_edit_input, "edit_input", page_edit_cont, create_edit_input},
    {page_edit_efx, "edit_efx", page_edit_cont, create_edit_efx},
    {page_edit_output, "edit_output", page_edit_cont, create_edit_output},
    {page_edit_dca, "edit_dca", page_edit_cont, create_edit_dca},
    {page_player, "player", page_brief_cont, create_player},
    {page_setting, "setting", page_brief_cont, create_setting_page},
    {page_set_scene, "set_scene", page_setting, create_set_scene},
    {page_set_copy, "set_copy", page_setting, create_set_copy_page},
    {page_set_mute_group, "set_mute_group", page_setting, create_group_page},
    {page_set_phantom_group, "set_phantom_group", page_setting, create_group_page},
    {page_set_record, "set_record", page_set_sys, create_set_record_page},
    {page_set_phones, "set_phones", page_set_sys, create_set_phones_page},
    {page_set_monitor, "set_monitor", 0, nullptr},
    {page_network, "network", page_set_sys, create_network_page},
    {page_signal, "signal", page_setting, create_signal_page},
    {page_set_input, "set_input", page_set_sys, create_set_input_page},
    {page_set_output, "set_output", page_set_sys, create_set_output_page},
    {page_set_demo, "set_demo", 0, nullptr},
    {page_set_sys, "set_sys", page_setting, create_set_sys_page},
    {page_factory_mode, "factory_mode", page_setting, create_factory_mode_page},
}};

static_assert([] {
  int previous = 0;
  for (const page_entry& e : pages) {
    if (e.id <= previous || e.id >= page_slot_count || e.name.empty()) return false;
    previous = e.id;
  }
  return true;
}(), "page rows are in ID order, each ID once, below page_slot_count, each with a name");

}  // namespace

std::span<const page_entry> page_table() { return pages; }

const page_entry* page_entry_of(int id) {
  for (const page_entry& e : pages)
    if (e.id == id) return &e;
  return nullptr;
}

int page_host_of(int id) {
  const page_entry* e = page_entry_of(id);
  return e ? e->host : 0;
}

std::vector<int> hosted_pages(int container_id) {
  std::vector<int> ids;
  for (const page_entry& e : pages)
    if (e.host != 0 && e.host == container_id) ids.push_back(e.id);
  return ids;
}

}  // namespace vorante
