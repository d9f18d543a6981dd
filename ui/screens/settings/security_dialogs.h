// The lock dialog, the change-password dialog and the factory reset confirmation. The
// console keeps the password and decides; these only send what the user typed and follow
// the console's answers. Each dialog is made on first use and then shown and hidden.
#pragma once

#include <QString>

class QAbstractButton;
class QLabel;
class QWidget;

namespace vorante {

class navigator;

// The link the dialogs send through (the program's one navigator).
void attach_security_dialogs(navigator& nav);

// --- lock ---
// lock set, force clear: lock mode (with "Cancel"); both clear: unlock mode, the console
// reported the lock; both set: the console's lock key.
void open_lock_dialog(bool lock, bool force);
// The console's lock parameter changed.
void console_lock_changed(bool locked);
void hide_lock_dialog();
// Whether the dialog holds the console as locked.
bool console_lock_flag();

// --- password ---
void open_password_dialog(QWidget* parent);
void hide_password_dialog();

// --- factory reset ---
void open_factory_reset(QWidget* screen);
void close_factory_reset();

// The dialogs' widgets while they exist (tests, screenshots).
struct lock_dialog_parts {
  QWidget* dialog = nullptr;
  QLabel* field = nullptr;
  QAbstractButton* action = nullptr;
  QAbstractButton* cancel = nullptr;
};
lock_dialog_parts lock_dialog();

struct password_dialog_parts {
  QWidget* dialog = nullptr;
  QLabel* fields[3] = {};
  QAbstractButton* change = nullptr;
  QAbstractButton* cancel = nullptr;
};
password_dialog_parts password_dialog();

struct factory_reset_parts {
  QWidget* dialog = nullptr;
  QLabel* question = nullptr;
  QLabel* progress = nullptr;
  QAbstractButton* ok = nullptr;
  QAbstractButton* cancel = nullptr;
  bool timer_running = false;
};
factory_reset_parts factory_reset_dialog();

}  // namespace vorante
