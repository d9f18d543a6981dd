#include "app/params/journal.h"

#include <algorithm>
#include <iterator>

#include "app/params/ids.h"
#include "app/params/names.h"

namespace vorante {

void edit_journal::end_group() {
  if (depth_ == 0) return;
  if (--depth_ != 0) return;
  auto& entries = open_.entries;
  // A drag that ends where it began changed nothing.
  std::erase_if(entries, [](const journal_entry& e) {
    return e.item == journal_item::param ? e.before == e.after : e.before_text == e.after_text;
  });
  if (entries.empty()) {
    open_ = {};
    return;
  }
  undo_.push_back(std::move(open_));
  open_ = {};
  while (undo_.size() > journal_capacity) undo_.pop_front();
  redo_.clear();
}

journal_entry* edit_journal::open_entry(journal_item item, uint16_t key) {
  for (auto& e : open_.entries)
    if (e.item == item && e.key == key) return &e;
  return nullptr;
}

void edit_journal::record_param(uint16_t id, uint16_t before, uint16_t after) {
  if (!recording()) return;
  // Every move of a drag writes the same parameter again: the step keeps the first value
  // before and the last after.
  if (journal_entry* e = open_entry(journal_item::param, id)) {
    e->after = after;
    return;
  }
  journal_entry e;
  e.item = journal_item::param;
  e.key = id;
  e.before = before;
  e.after = after;
  open_.entries.push_back(std::move(e));
}

void edit_journal::record_name(journal_item item, uint16_t key, std::string_view before, std::string_view after) {
  if (!recording() || item == journal_item::param) return;
  if (journal_entry* e = open_entry(item, key)) {
    e->after_text = after;
    return;
  }
  journal_entry e;
  e.item = item;
  e.key = key;
  e.before_text = before;
  e.after_text = after;
  open_.entries.push_back(std::move(e));
}

void edit_journal::mark(journal_item item, uint16_t key) {
  auto touches = [&](const journal_step& s) {
    return std::any_of(s.entries.begin(), s.entries.end(),
                       [&](const journal_entry& e) { return e.item == item && e.key == key; });
  };
  for (auto* steps : {&undo_, &redo_})
    for (auto& s : *steps)
      if (!s.console_changed && touches(s)) s.console_changed = true;
  if (touches(open_)) open_.console_changed = true;
}

void edit_journal::console_changed_param(uint16_t id) { mark(journal_item::param, id); }

void edit_journal::console_changed_name(journal_item item, uint16_t key) { mark(item, key); }

void edit_journal::console_is(std::string_view identity) {
  if (identity.empty() || identity == console_) return;
  if (!console_.empty()) forget();
  console_ = identity;
}

void edit_journal::forget() {
  undo_.clear();
  redo_.clear();
  open_ = {};
}

namespace {

bool holds(const journal_target& target, const journal_entry& e, bool after) {
  if (e.item == journal_item::param) return target.param(e.key) == (after ? e.after : e.before);
  return target.name(e.item, e.key) == (after ? e.after_text : e.before_text);
}

}  // namespace

journal_result edit_journal::replay(journal_target& target, std::deque<journal_step>& from,
                                    std::deque<journal_step>& to, bool backwards) {
  if (from.empty()) return {};
  journal_step step = std::move(from.back());
  from.pop_back();
  journal_result result{journal_outcome::done, journal_label(step)};
  // The console's own change wins: the step goes, untouched. Comparing the values as well
  // catches writes that were not ours and not pushed (a surface fader, a scene recall).
  const bool intact = !step.console_changed && std::all_of(step.entries.begin(), step.entries.end(), [&](const journal_entry& e) {
    return holds(target, e, backwards);
  });
  if (!intact) {
    result.outcome = journal_outcome::skipped;
    return result;
  }
  replaying_ = true;
  auto apply = [&](const journal_entry& e) {
    if (e.item == journal_item::param)
      target.write_param(e.key, backwards ? e.before : e.after);
    else
      target.write_name(e.item, e.key, backwards ? e.before_text : e.after_text);
  };
  if (backwards)
    std::for_each(step.entries.rbegin(), step.entries.rend(), apply);
  else
    std::for_each(step.entries.begin(), step.entries.end(), apply);
  replaying_ = false;
  to.push_back(std::move(step));
  while (to.size() > journal_capacity) to.pop_front();
  return result;
}

journal_result edit_journal::undo(journal_target& target) { return replay(target, undo_, redo_, true); }

journal_result edit_journal::redo(journal_target& target) { return replay(target, redo_, undo_, false); }

// --- labels ------------------------------------------------------------------------------

namespace {

// What the toast calls a parameter code; ranges count their members from 1.
struct code_word {
  uint8_t kind;
  uint8_t first;
  uint8_t count;
  const char* word;
};

constexpr code_word code_words[] = {
    {kind_input, code_input_phantom, 1, "phantom"},
    {kind_input, code_input_gate_on, 1, "gate"},
    {kind_input, code_input_gate_threshold, 1, "gate threshold"},
    {kind_input, code_input_gate_attack, 1, "gate attack"},
    {kind_input, code_input_gate_decay, 1, "gate decay"},
    {kind_input, code_input_gate_hold, 1, "gate hold"},
    {kind_input, code_input_gain, 1, "gain"},
    {kind_input, code_input_on, 1, "mute"},
    {kind_input, code_input_pan, 1, "pan"},
    {kind_input, code_input_fader, 1, "fader"},
    {kind_input, code_input_aux_send, 8, "AUX send"},
    {kind_input, code_input_main_l_send, 1, "LEFT send"},
    {kind_input, code_input_main_r_send, 1, "RIGHT send"},
    {kind_input, code_input_solo_l, 2, "solo"},
    {kind_input, code_input_fx_send, 2, "FX send"},
    {kind_input, code_input_comp_on, 1, "comp"},
    {kind_input, code_input_comp_ratio, 1, "comp ratio"},
    {kind_input, code_input_comp_threshold, 1, "comp threshold"},
    {kind_input, code_input_comp_gain, 1, "comp gain"},
    {kind_input, code_input_filters, 4, "filter"},
    {kind_input, code_input_bands, 20, "EQ"},
    {kind_bus, code_bus_fader, 1, "fader"},
    {kind_bus, code_bus_on, 1, "mute"},
    {kind_bus, code_bus_comp_on, 1, "comp"},
    {kind_bus, code_bus_solo_l, 2, "solo"},
    {kind_bus, code_bus_filters, 4, "filter"},
    {kind_bus, code_bus_bands, 28, "EQ"},
    {kind_bus, code_bus_graphic_bands, 31, "graphic EQ"},
    {kind_fx, code_fx_fader, 1, "fader"},
    {kind_fx, code_fx_on, 1, "mute"},
    {kind_fx, code_fx_aux_send, 8, "AUX send"},
    {kind_fx, code_fx_main_l_send, 1, "LEFT send"},
    {kind_fx, code_fx_main_r_send, 1, "RIGHT send"},
    {kind_fx, code_fx_solo_l, 2, "solo"},
    {kind_fx, code_fx_filters, 4, "filter"},
    {kind_fx, code_fx_bands, 20, "EQ"},
    {kind_fx, code_fx_type, 1, "effect type"},
    {kind_fx, code_fx_param_1, 4, "effect parameter"},
    {kind_dca, code_dca_fader, 1, "fader"},
    {kind_dca, code_dca_on, 1, "mute"},
    {kind_dca, code_dca_solo, 1, "solo"},
    {kind_dca, code_dca_members, 4, "members"},
    {kind_mute_group, code_mute_active, 1, "on"},
    {kind_mute_group, code_mute_members, 4, "members"},
    {kind_phantom_group, code_phantom_active, 1, "on"},
    {kind_phantom_group, code_phantom_members, 2, "members"},
};

// Ranges whose members are told apart in the toast ("AUX3 send", "FX2 send").
bool numbered(const code_word& w) { return w.count > 1 && std::string_view(w.word).ends_with("send"); }

std::string channel_word(int kind, int index) {
  if (kind == kind_mute_group) return "MUTE GROUP" + std::to_string(index + 1);
  if (kind == kind_phantom_group) return "PHANTOM GROUP" + std::to_string(index + 1);
  return default_channel_name(kind, index);
}

std::string param_label(uint16_t id) {
  const param_info p = info_of(id);
  const std::string channel = p.kind == kind_global ? std::string() : channel_word(p.kind, p.index);
  for (const auto& w : code_words) {
    if (w.kind != p.kind || p.code < w.first || p.code >= w.first + w.count) continue;
    std::string word = w.word;
    if (numbered(w)) word.insert(word.size() - 5, std::to_string(p.code - w.first + 1));
    return channel.empty() ? word : channel + " " + word;
  }
  if (id >= colour_base_id && id < colour_base_id + logical_count) {
    const auto ch = channel_of(id - colour_base_id);
    if (ch) return channel_word(ch->kind, ch->index) + " colour";
  }
  const std::string word = "parameter " + std::to_string(id);
  return channel.empty() ? word : channel + " " + word;
}

}  // namespace

std::string journal_entry_label(const journal_entry& e) {
  switch (e.item) {
    case journal_item::scene_name: return "scene " + std::to_string(e.key) + " name";
    case journal_item::channel_name: {
      const auto ch = channel_of(e.key);
      return (ch ? channel_word(ch->kind, ch->index) : "channel " + std::to_string(e.key)) + " name";
    }
    case journal_item::param: break;
  }
  return param_label(e.key);
}

std::string journal_label(const journal_step& step) {
  // A stereo pair writes both members: the toast names the member that was touched.
  auto partners = [](const journal_entry& a, const journal_entry& b) {
    if (a.item != journal_item::param || b.item != journal_item::param) return false;
    const param_info pa = info_of(a.key), pb = info_of(b.key);
    const bool paired_kind = pa.kind == kind_input || pa.kind == kind_fx || pa.kind == kind_bus;
    const bool same_code = pa.code == pb.code || (pa.kind == kind_bus && pa.code + pb.code == code_bus_solo_l + code_bus_solo_r);
    return paired_kind && pa.kind == pb.kind && (pa.index ^ 1) == pb.index && same_code;
  };
  std::vector<std::string> labels;
  const auto& entries = step.entries;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const bool pair_member = std::any_of(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(i),
                                         [&](const journal_entry& earlier) { return partners(earlier, entries[i]); });
    if (pair_member) continue;
    std::string label = journal_entry_label(entries[i]);
    if (std::find(labels.begin(), labels.end(), label) == labels.end()) labels.push_back(std::move(label));
  }
  if (labels.empty()) return {};
  if (labels.size() == 1) return labels.front();
  return labels.front() + " and " + std::to_string(labels.size() - 1) + " more";
}

}  // namespace vorante
