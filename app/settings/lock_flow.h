// The lock dialog's behaviour without its widgets. The console keeps the password and
// decides; the dialog only sends what the user typed and follows the console's lock state.
// Lock mode (from the system page) has "Cancel"; unlock mode (the console is locked) has
// not: the only way out is the console reporting the unlock.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace vorante {

class lock_flow {
 public:
  struct actions {
    std::function<void(std::string_view)> send_command;  // configuration command
    std::function<void()> read_lock_state;               // a read of the lock parameter
  };

  explicit lock_flow(actions act) : act_(std::move(act)) {}

  // The one way the dialog opens: lock set, force clear from the system page (lock mode);
  // both clear when the console reported the lock (unlock mode); both set for the
  // console's lock key, which locks without a password unless already locked.
  void open(bool lock, bool force);
  // The console's lock parameter changed (the engine reports changes only).
  void console_lock_changed(bool locked);
  // Hides the dialog and forgets the lock.
  void hide();

  // The user typed an entry (cut to what the console keeps).
  void enter(std::string_view typed);
  // The action button: lock or unlock with the entry, then ask the console how it stands.
  void act();
  // "Cancel" exists in lock mode only.
  void cancel();

  bool shown() const { return shown_; }
  bool cancel_shown() const { return cancel_shown_; }
  // "Lock" or "Unlock" (untranslated).
  std::string_view action_text() const { return cancel_shown_ ? "Lock" : "Unlock"; }
  std::string field_text() const;
  const std::string& entry() const { return entry_; }
  // Set while the dialog holds the console as locked.
  bool console_locked() const { return console_locked_; }

 private:
  void send(std::string_view text) {
    if (act_.send_command) act_.send_command(text);
  }
  void read_lock() {
    if (act_.read_lock_state) act_.read_lock_state();
  }

  actions act_;
  bool shown_ = false;
  bool cancel_shown_ = false;
  bool console_locked_ = false;
  bool last_locked_ = false;
  std::string entry_;
};

}  // namespace vorante
