#include "app/params/store.h"

#include "app/params/channel_state.h"
#include "app/params/defaults.h"

namespace vorante {

store_events& null_store_events() {
  static store_events events;
  return events;
}

param_store::param_store(runtime_options& options, ui_port& ui, store_events& events)
    : options_(&options), ui_(&ui), events_(&events) {}

void param_store::load_defaults() {
  build_defaults(defaults_.data(), defaults_.size());
  values_ = defaults_;
}

void param_store::change_hook(unsigned id) {
  const int kind = param_kind(id);
  if ((kind == kind_input || kind == kind_fx || kind == kind_bus) && options_->drives_surface())
    events_->schedule_key_lights();
}

void param_store::set_local(unsigned id, uint16_t value) {
  if (!is_valid_id(id)) return;
  values_[id] = value;
  change_hook(id);
}

void param_store::set_and_send(unsigned id, uint16_t value) {
  if (!is_valid_id(id)) return;
  journal_.record_param(static_cast<uint16_t>(id), values_[id], value);
  values_[id] = value;
  change_hook(id);
  dirty_.queue(id);
  unconfirmed_.forget(static_cast<uint16_t>(id));
  if (options_->surface_takeover && param_value_type(id) == value_type::fader_level) events_->surface_fader_written(static_cast<uint16_t>(id));
}

void param_store::refresh(unsigned id) {
  if (refresh_suppressed_ || !is_valid_id(id)) return;
  ui_->on_param(static_cast<uint16_t>(id), values_[id], 0);
  tell_group_bar(id);
}

void param_store::tell_group_bar(unsigned id) {
  if (!is_valid_id(id) || param_value_type(id) != value_type::fader_level || !ui_->group_bar_exists()) return;
  const param_info p = info_of(id);
  ui_->group_bar_level(p.kind, p.index, ((values_[id] & level_mask) - level_zero_db) / 10.0);
}

void param_store::write(unsigned id, uint16_t value, bool refresh_after) {
  set_and_send(id, value);
  if (refresh_after) refresh(id);
}

void param_store::linked_set_input(const param_info& p, unsigned id, uint16_t value) {
  const int i = p.index;
  const int c = p.code;
  const bool is_send = is_input_send_code(c);
  if (stereo_bit(*this, kind_input, i) && c != code_input_pan && !is_send) {
    write(param_id(kind_input, i & ~1, c), value, true);
    write(param_id(kind_input, i | 1, c), value, true);
    return;
  }
  if (!is_fixed_stereo_left(kind_input, i)) {
    write(id, value, true);
    return;
  }
  const unsigned right = param_id(kind_input, i + 1, c);
  uint16_t left_value = value;
  uint16_t right_value = value;
  bool refresh_right = false;
  if (c >= code_input_aux_send && c < code_input_aux_send + aux_send_count) {
    switch (send_mode(*this, i, c - code_input_aux_send)) {
      case 1: right_value = 0; break;
      case 2: left_value = 0; refresh_right = true; break;
      default: break;
    }
  } else if (c == code_input_main_l_send || c == code_input_solo_l) {
    right_value = 0;
  } else if (c == code_input_main_r_send || c == code_input_solo_r) {
    left_value = 0;
    refresh_right = true;
  }
  // The left member is the one shown; the right member is refreshed only where it alone
  // carries the value.
  write(id, left_value, !refresh_right);
  write(right, right_value, refresh_right);
}

namespace {

// The partner's code for a linked bus write: solo feeds cross over between the members,
// left 74 pairs with right 75.
int bus_partner_code(int c) {
  if (c == code_bus_solo_l) return code_bus_solo_r;
  if (c == code_bus_solo_r) return code_bus_solo_l;
  return c;
}

constexpr unsigned send_mode_words = 6;  // two for each fixed stereo pair

}  // namespace

void param_store::linked_set_bus(const param_info& p, unsigned id, uint16_t value) {
  const int i = p.index;
  const int c = p.code;
  if (!stereo_bit(*this, kind_bus, i)) {
    write(id, value, true);
    return;
  }
  const bool left = (i & 1) == 0;
  bool refresh_both = true;
  if (c == code_bus_solo_l || c == code_bus_solo_r)
    refresh_both = (left && c == code_bus_solo_l) || (!left && c == code_bus_solo_r);
  const unsigned partner = param_id(kind_bus, i ^ 1, bus_partner_code(c));
  const unsigned left_id = left ? id : partner;
  const unsigned right_id = left ? partner : id;
  write(left_id, value, refresh_both);
  write(right_id, value, refresh_both);
}

namespace {

// What a group's switch acts on: mute groups switch inputs, effect returns and buses off,
// phantom groups power inputs. Membership bitmaps span four and two words.
constexpr int mute_member_words = 4;
constexpr int phantom_member_words = 2;
bool muted_by_groups(int kind) { return kind == kind_input || kind == kind_fx || kind == kind_bus; }
bool powered_by_groups(int kind) { return kind == kind_input; }

// Every logical channel set in the membership words of a group, visited in order.
template <class Fn>
void for_each_member(const param_store& store, unsigned first_word_id, int words, Fn&& fn) {
  for (int w = 0; w < words; ++w) {
    const uint16_t bits = store.get(first_word_id + w);
    for (int b = 0; b < 16; ++b)
      if ((bits >> b) & 1) fn(w * 16 + b);
  }
}

bool in_other_active_group(const param_store& store, int kind, int group, int count, int active_code,
                           int logical) {
  for (int g = 0; g < count; ++g) {
    if (g == group || store.get(param_id(kind, g, active_code)) == 0) continue;
    if (is_member(store, kind, g, logical)) return true;
  }
  return false;
}

}  // namespace

void param_store::linked_set_mute_group(const param_info& p, unsigned id, uint16_t value) {
  write(id, value, true);
  if (p.code != code_mute_active) return;
  const int group = p.index;
  for_each_member(*this, param_id(kind_mute_group, group, code_mute_members), mute_member_words, [&](int logical) {
    const auto ch = channel_of(logical);
    if (!ch || !muted_by_groups(ch->kind)) return;
    const unsigned on_id = param_id(ch->kind, ch->index, code_on);
    if (value != 0) {
      write(on_id, 0, true);
      return;
    }
    if (get(on_id) == 0 &&
        in_other_active_group(*this, kind_mute_group, group, mute_group_count, code_mute_active, logical))
      return;
    write(on_id, 1, true);
  });
}

void param_store::linked_set_phantom_group(const param_info& p, unsigned id, uint16_t value) {
  write(id, value, true);
  if (p.code != code_phantom_active) return;
  const int group = p.index;
  for_each_member(*this, param_id(kind_phantom_group, group, code_phantom_members), phantom_member_words,
                  [&](int logical) {
    const auto ch = channel_of(logical);
    if (!ch || !powered_by_groups(ch->kind)) return;
    const unsigned phantom_id = param_id(kind_input, ch->index, code_input_phantom);
    if (value != 0) {
      write(phantom_id, value, true);
      return;
    }
    if (get(phantom_id) != 0 &&
        in_other_active_group(*this, kind_phantom_group, group, phantom_group_count, code_phantom_active, logical))
      return;
    write(phantom_id, 0, true);
  });
}

void param_store::linked_set(unsigned id, uint16_t value) {
  if (!is_valid_id(id)) return;
  const param_info p = info_of(id);
  switch (p.kind) {
    case kind_input: linked_set_input(p, id, value); break;
    case kind_bus: linked_set_bus(p, id, value); break;
    case kind_mute_group: linked_set_mute_group(p, id, value); break;
    case kind_phantom_group: linked_set_phantom_group(p, id, value); break;
    default: write(id, value, true); break;
  }
}

std::vector<uint16_t> linked_set_reads(unsigned id) {
  std::vector<uint16_t> ids;
  if (!is_valid_id(id)) return ids;
  auto add = [&](unsigned other) { ids.push_back(static_cast<uint16_t>(other)); };
  add(id);
  const param_info p = info_of(id);
  const int i = p.index;
  const int c = p.code;
  // A group switch consults every group (another active one keeps a member as it is) and
  // touches the switch of every channel it can reach.
  auto group_switch = [&](int kind, int groups, int active_code, int members_code, int words, auto reaches,
                          int switch_code) {
    for (int g = 0; g < groups; ++g) {
      add(param_id(kind, g, active_code));
      for (int w = 0; w < words; ++w) add(param_id(kind, g, members_code + w));
    }
    for (int l = 0; l < logical_count; ++l) {
      const auto ch = channel_of(l);
      if (ch && reaches(ch->kind)) add(param_id(ch->kind, ch->index, switch_code));
    }
  };
  switch (p.kind) {
    case kind_input:
      add(input_stereo_bits_id);
      add(param_id(kind_input, i & ~1, c));
      add(param_id(kind_input, i | 1, c));
      if (is_fixed_stereo_left(kind_input, i)) {
        add(param_id(kind_input, i + 1, c));
        for (unsigned mode = send_mode_base_id; mode < send_mode_base_id + send_mode_words; ++mode) add(mode);
      }
      break;
    case kind_bus:
      add(output_stereo_bits_id);
      add(param_id(kind_bus, i ^ 1, bus_partner_code(c)));
      break;
    case kind_mute_group:
      if (c == code_mute_active)
        group_switch(kind_mute_group, mute_group_count, code_mute_active, code_mute_members, mute_member_words,
                     muted_by_groups, code_on);
      break;
    case kind_phantom_group:
      if (c == code_phantom_active)
        group_switch(kind_phantom_group, phantom_group_count, code_phantom_active, code_phantom_members,
                     phantom_member_words, powered_by_groups, code_input_phantom);
      break;
    default: break;
  }
  return ids;
}

void param_store::quiet_linked_set(unsigned id, uint16_t value) {
  const bool was = refresh_suppressed_;
  refresh_suppressed_ = true;
  linked_set(id, value);
  refresh_suppressed_ = was;
}

bool param_store::meter_read_allowed() const {
  return !options_->meter_polling_disabled && !events_->console_locked() && !events_->scene_call_pending();
}

void param_store::request(unsigned id) {
  if (!is_valid_id(id)) return;
  // A refused meter read still gets a queued state, it just is not pending.
  if (!is_meter_id(id) || meter_read_allowed()) requests_.insert(id);
  requests_.queue_state(id);
  requests_.set_pending(true);
}

void param_store::request_range(unsigned first, unsigned last) {
  if (last < first) return;
  if (last > last_param_id) last = last_param_id;
  for (unsigned id = first; id <= last; ++id) request(id);
}

void param_store::request_all() {
  events_->read_restarted();
  const bool meters = meter_read_allowed();
  for (unsigned id = 0; id < param_count; ++id) {
    dirty_.erase(id);
    if (meters || !is_meter_id(id)) requests_.insert(id);
    requests_.queue_state(id);
  }
  requests_.set_pending(true);
}

void param_store::full_resync() {
  request_all();
  events_->request_scene_names();
  events_->request_channel_names();
}

void param_store::clear_all() {
  dirty_.clear();
  requests_.clear();
  events_->drop_name_traffic();
}

void param_store::resync_all() {
  clear_all();
  request_all();
  events_->request_scene_names();
}

void param_store::store_received(unsigned id, uint16_t value) {
  if (!is_valid_id(id)) return;
  if (values_[id] != value) journal_.console_changed_param(static_cast<uint16_t>(id));
  values_[id] = value;
  change_hook(id);
  requests_.settle(id);
}

void param_store::store_read_reply(unsigned id, uint16_t value) {
  // A write of ours still on its way wins over a reply to an earlier read: on a slow link
  // the reply would otherwise put the old value back, and the next send of the write would
  // carry it to the console.
  if (dirty_.contains(id)) {
    requests_.settle(id);
    return;
  }
  store_received(id, value);
}

bool param_store::acknowledge_write(unsigned id, uint16_t value) {
  if (!is_valid_id(id) || values_[id] != value) return false;
  dirty_.settle(id);
  return true;
}

}  // namespace vorante
