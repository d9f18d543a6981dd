#include "app/settings/lock_flow.h"

#include "app/protocol/config_texts.h"
#include "app/settings/settings_rules.h"

namespace vorante {

void lock_flow::open(bool lock, bool force) {
  shown_ = true;
  entry_.clear();
  if (!force) {
    cancel_shown_ = lock;
    if (!lock) console_locked_ = true;
    return;
  }
  if (!lock || console_locked_) return;
  send(force_lock_command);
  read_lock();
  cancel_shown_ = false;
  console_locked_ = true;
}

void lock_flow::console_lock_changed(bool locked) {
  if (!last_locked_ && locked) open(false, false);
  if (last_locked_ && !locked) hide();
  last_locked_ = locked;
}

void lock_flow::hide() {
  shown_ = false;
  console_locked_ = false;
}

void lock_flow::enter(std::string_view typed) { entry_ = lock_entry(typed); }

void lock_flow::act() {
  if (const auto text = change_lock_command(entry_, cancel_shown_)) send(*text);
  read_lock();
}

void lock_flow::cancel() {
  if (cancel_shown_) hide();
}

std::string lock_flow::field_text() const { return masked(entry_); }

}  // namespace vorante
