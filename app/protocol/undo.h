// Undo and redo of the engineer's own edits: the journal's values go out as writes of ours,
// sent, resent and acknowledged like any other, and a toast says what happened.
#pragma once

#include <string>

#include "app/params/journal.h"
#include "app/params/store.h"
#include "app/protocol/name_tables.h"
#include "app/protocol/ui_port.h"

namespace vorante {

constexpr int undo_toast_ms = 1500;

// The store and the name tables as the journal sees them; the page on screen is told of
// every value it writes, as after an edit made there.
class session_journal_target final : public journal_target {
 public:
  session_journal_target(param_store& store, name_tables& names, ui_port& ui)
      : store_(store), names_(names), ui_(ui) {}

  uint16_t param(uint16_t id) const override { return store_.get(id); }
  void write_param(uint16_t id, uint16_t value) override;
  std::string name(journal_item item, uint16_t key) const override;
  void write_name(journal_item item, uint16_t key, std::string_view text) override;

 private:
  param_store& store_;
  name_tables& names_;
  ui_port& ui_;
};

// The toast text of a result ("Undo: CH1 mute").
std::string undo_toast_text(const journal_result& result, bool redo);

// Takes the last step back / makes the last undone step again, and shows the toast.
journal_result undo_edit(param_store& store, name_tables& names, ui_port& ui);
journal_result redo_edit(param_store& store, name_tables& names, ui_port& ui);

}  // namespace vorante
