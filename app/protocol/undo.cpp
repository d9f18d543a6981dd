#include "app/protocol/undo.h"

#include "app/core/translate.h"

namespace vorante {

void session_journal_target::write_param(uint16_t id, uint16_t value) {
  store_.set_and_send(id, value);
  store_.refresh(id);
}

std::string session_journal_target::name(journal_item item, uint16_t key) const {
  if (item == journal_item::scene_name) return std::string(names_.scene_name(key));
  if (item == journal_item::channel_name) return std::string(names_.channel_name(key));
  return {};
}

void session_journal_target::write_name(journal_item item, uint16_t key, std::string_view text) {
  if (item == journal_item::scene_name) {
    names_.set_scene_name(key, text);
    ui_.on_scene_name(key, names_.scene_name(key));
  } else if (item == journal_item::channel_name) {
    names_.set_channel_name(key, text);
    ui_.on_name(key, names_.channel_name(key));
  }
}

std::string undo_toast_text(const journal_result& result, bool redo) {
  switch (result.outcome) {
    case journal_outcome::nothing: return translate_text(redo ? "Nothing to redo" : "Nothing to undo");
    case journal_outcome::done:
      return std::string(translate_text(redo ? "Redo" : "Undo")) + ": " + result.label;
    case journal_outcome::skipped:
      return std::string(translate_text(redo ? "Not redone, changed on the console" : "Not undone, changed on the console")) +
             ": " + result.label;
  }
  return {};
}

namespace {

journal_result run(param_store& store, name_tables& names, ui_port& ui, bool redo) {
  session_journal_target target(store, names, ui);
  const journal_result result = redo ? store.journal().redo(target) : store.journal().undo(target);
  const uint16_t colour = result.outcome == journal_outcome::done ? toast_green : toast_yellow;
  ui.show_toast(undo_toast_text(result, redo), colour, undo_toast_ms);
  return result;
}

}  // namespace

journal_result undo_edit(param_store& store, name_tables& names, ui_port& ui) { return run(store, names, ui, false); }

journal_result redo_edit(param_store& store, name_tables& names, ui_port& ui) { return run(store, names, ui, true); }

}  // namespace vorante
