#include "app/params/journal.h"

#include <algorithm>
#include <iterator>

#include "app/params/ids.h"
#include "app/params/names.h"
#include "app/params/param_label.h"

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

std::string channel_text(int kind, int index) { return label_channel_text({kind, index, {}}); }

// "CH5 AUX3 send", as the scene diff names it; the console's own settings by their name alone.
std::string param_text(uint16_t id) {
  param_label l = label_of(id);
  // A solo writes both of its sides in one step: the toast names it once.
  if (l.parameter == "solo L" || l.parameter == "solo R") l.parameter = "solo";
  if (l.kind == kind_global) return l.parameter;
  return channel_text(l.kind, l.index) + " " + l.parameter;
}

}  // namespace

std::string journal_entry_label(const journal_entry& e) {
  switch (e.item) {
    case journal_item::scene_name: return "scene " + std::to_string(e.key) + " name";
    case journal_item::channel_name: {
      const auto ch = channel_of(e.key);
      return (ch ? channel_text(ch->kind, ch->index) : "channel " + std::to_string(e.key)) + " name";
    }
    case journal_item::param: break;
  }
  return param_text(e.key);
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
