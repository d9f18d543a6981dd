#include "ui/pages/navigator.h"

#include <algorithm>

#include "app/params/banks.h"
#include "app/params/convert.h"
#include "app/protocol/session.h"
#include "ui/foundation/assign.h"
#include "ui/platform/main_loop.h"
#include "ui/pages/container_page.h"
#include "ui/screens/mixer/meter_bridge.h"
#include "ui/pages/page_host.h"
#include "ui/pages/page_registry.h"
#include "ui/screens/media/player.h"
#include "ui/screens/mixer/phones_toast.h"
#include "ui/screens/mixer/surface_keys.h"

namespace vorante {

namespace {

// Arguments of the navigation bar's open that highlight its page tabs.
constexpr int bar_argument_fader = 5;
constexpr int bar_argument_player = 6;
constexpr int bar_argument_setting = 7;

constexpr int dca_bank = bank_count - 1;

int bank_of_logical(int logical) {
  if (logical < 0 || logical >= logical_count) return no_bank;
  return logical_slot_of(logical).bank;
}

}  // namespace

navigator::navigator(link_session& session, const page_registry& registry, clock_fn clock)
    : session_(session), registry_(registry), clock_(clock ? std::move(clock) : clock_fn(steady_ms)),
      env_{session, *this} {}

navigator::~navigator() = default;

page_host* navigator::make_root(QWidget* parent) {
  if (root_) return root_.data();
  root_ = new page_host(parent, registry_, env_, {page_home});
  root_->setObjectName("root_host");
  root_->show_page(page_home, 0);
  return root_.data();
}

page_host* navigator::child_host(int container_id) const {
  if (!root_) return nullptr;
  page* made = nullptr;
  if (container_id == page_home) {
    made = root_->hosted(page_home);
  } else {
    page_host* above = child_host(page_host_of(container_id));
    made = above ? above->hosted(container_id) : nullptr;
  }
  auto* container = qobject_cast<container_page*>(made);
  return container ? container->host() : nullptr;
}

bool navigator::show_in(int container_id, int id, int argument) {
  page_host* host = child_host(container_id);
  return host && host->show_page(id, argument);
}

// --- page changes -------------------------------------------------------------------------

void navigator::open_editor(int kind, int index) {
  if (!is_channel(kind, index)) return;
  // The frame shows the editor of the channel's kind and tells the channel it settled on.
  editor_ = channel_ref{kind, index};
  show_in(page_home, page_edit_cont, logical_of(kind, index));
}

void navigator::go_to_strips(int logical) {
  const int bank = bank_of_logical(logical);
  // The tabs highlight the current bank, and they should show the bank on screen.
  if (bank != no_bank) change_bank(bank);
  show_in(page_home, page_brief_cont, bank_);
  show_in(page_brief_cont, page_brief_channel, logical);
}

void navigator::show_player(int argument) {
  show_in(page_home, page_brief_cont, bar_argument_player);
  show_in(page_brief_cont, page_player, argument);
}

void navigator::show_settings() {
  show_in(page_home, page_brief_cont, bar_argument_setting);
  show_in(page_brief_cont, page_setting, show_without_open);
}

bool navigator::show_by_name(std::string_view name, int argument) {
  const std::optional<int> id = registry_.id_of(name);
  if (!id || !root_) return false;
  switch (*id) {
    case page_home: return root_->show_page(page_home, argument);
    case page_brief_channel: go_to_strips(argument); return is_on_screen(page_brief_channel);
    case page_brief_fader:
      show_in(page_home, page_brief_cont, bar_argument_fader);
      return show_in(page_brief_cont, page_brief_fader, argument);
    case page_player: show_player(argument); return is_on_screen(page_player);
    case page_setting:
      show_in(page_home, page_brief_cont, bar_argument_setting);
      return show_in(page_brief_cont, page_setting, argument);
    case page_edit_input:
    case page_edit_efx:
    case page_edit_output:
    case page_edit_dca: {
      const int kind = *id - page_edit_input + 1;
      if (!is_channel(kind, argument)) return false;
      open_editor(kind, argument);
      return is_on_screen(*id);
    }
    default: break;
  }
  // Any other page through its hosts, outermost first; only the page itself is opened.
  std::vector<int> chain;
  for (int p = *id; p != page_home; p = page_host_of(p)) {
    if (p == 0) return false;
    chain.insert(chain.begin(), p);
  }
  // A page inside the settings lights the SYSTEM tab, as the menu does.
  if (std::find(chain.begin(), chain.end(), page_setting) != chain.end())
    show_in(page_home, page_brief_cont, bar_argument_setting);
  for (std::size_t i = 0; i < chain.size(); ++i) {
    const int host = i == 0 ? page_home : chain[i - 1];
    if (!show_in(host, chain[i], i + 1 == chain.size() ? argument : show_without_open)) return false;
  }
  return true;
}

// --- fader banks --------------------------------------------------------------------------

void navigator::change_bank(int bank) {
  if (!assign_changed(bank_, bank)) return;
  // The DCA bank is only shown on screen: the console's faders and strip keys stay on the
  // layer they were on, with its lights.
  if (bank == dca_bank) return;
  session_.engine.surface().set_layer(bank);
  refresh_lights();
  refresh_faders();
}

void navigator::set_current_bank(int bank) {
  if (bank >= 0 && bank < bank_count) change_bank(bank);
}

void navigator::select_bank(int bank) {
  if (bank < 0 || bank >= bank_count) return;
  change_bank(bank);
  // From the group bar the editors may be on screen; from a tab this only re-shows.
  go_to_strips(-1);
}

void navigator::select_layer(int layer) {
  if (layer < 0 || layer >= dca_bank) return;
  session_.engine.surface().set_layer(layer);
  bank_ = layer;
  go_to_strips(-1);
  refresh_lights();
  refresh_faders();
}

// --- the page on screen -------------------------------------------------------------------

page* navigator::page_on_screen() const {
  page* p = root_ ? root_->current() : nullptr;
  while (auto* container = qobject_cast<container_page*>(p)) {
    page* inner = container->host()->current();
    if (!inner) break;
    p = inner;
  }
  return p;
}

bool navigator::is_on_screen(int id) const {
  page* p = root_ ? root_->current() : nullptr;
  while (p) {
    if (p->page_id() == id) return true;
    auto* container = qobject_cast<container_page*>(p);
    p = container ? container->host()->current() : nullptr;
  }
  return false;
}

std::optional<channel_ref> navigator::editor_on_screen() const {
  if (!editor_ || !is_on_screen(page_edit_input - 1 + editor_->kind)) return std::nullopt;
  return editor_;
}

void navigator::editor_channel_changed(int kind, int index) {
  if (is_channel(kind, index)) editor_ = channel_ref{kind, index};
}

void navigator::console_key(int key) {
  if (take_surface_key(*this, key)) return;
  if (root_ && root_->current()) root_->current()->console_key(key);
}

void navigator::console_encoder(int encoder, int delta) {
  // The arrow keys turn encoder 0 from the window, past the engine that drops the
  // console's own turns while it is locked.
  if (session_.engine.console_locked()) return;
  // The first encoder of the headphone section sets the headphone level wherever we are.
  if (encoder == phones_encoder) {
    step_param(session_.store, headphone_level_id, delta > 0 ? 1 : -1, step_normal);
    phones().show_level();
    return;
  }
  if (root_ && root_->current()) root_->current()->console_encoder(encoder, delta);
}

void navigator::on_param(uint16_t id, uint16_t value, bool pushed) {
  if (root_ && root_->current()) root_->current()->on_param(id, value, pushed);
}

void navigator::on_name(int logical, const QString& text) {
  if (root_ && root_->current()) root_->current()->on_name(logical, text);
}

void navigator::on_scene_name(int scene, const QString& text) {
  if (root_ && root_->current()) root_->current()->on_scene_name(scene, text);
}

// --- the console's surface ----------------------------------------------------------------

surface_page_state navigator::surface_state() const {
  surface_page_state s;
  // The key lights mark the selected input, bus or effect return; a DCA has no select key.
  if (const auto editor = editor_on_screen(); editor && editor->kind != kind_dca) {
    s.editor_kind = editor->kind;
    s.editor_index = editor->index;
  }
  s.settings_shown = is_on_screen(page_setting);
  s.player_shown = is_on_screen(page_player);
  s.phones_pinned = phones_ && phones_->pinned();
  s.play_device = session_.media.play_device();
  s.transport_state = session_.media.transport_state();
  if (s.player_shown)
    if (const auto* player = qobject_cast<const player_page*>(page_on_screen())) s.player_source = player->player_source();
  return s;
}

void navigator::refresh_lights() {
  session_.engine.surface().lights_full_refresh(clock_(), surface_state(), session_.engine.console_locked());
}

void navigator::refresh_lights_incremental() {
  session_.engine.surface().lights_incremental_refresh(clock_(), surface_state(), session_.engine.console_locked());
}

void navigator::refresh_faders() {
  session_.engine.surface().faders_full_refresh_if_ready(session_.options.surface_takeover,
                                                          session_.engine.messages().end_marker_seen());
}

// --- shared objects -----------------------------------------------------------------------

meter_bridge& navigator::bridge() {
  if (!bridge_) bridge_ = new meter_bridge(env_, root_.data());
  return *bridge_;
}

phones_toast& navigator::phones() {
  if (!phones_) phones_ = new phones_toast(session_.store, root_.data());
  return *phones_;
}

// --- link ---------------------------------------------------------------------------------

bool navigator::link_online() const { return session_.engine.link_alive(); }

void navigator::show_link_state(bool online) { emit link_state_shown(online); }

void navigator::open_connect_dialog() {
  if (open_connect_dialog_) open_connect_dialog_();
}

}  // namespace vorante
