// The computer keyboard's way to the pages and to undo and redo, and the gestures that make
// one journal step each: a press to its release, a key, a wheel notch.
#pragma once

#include "ui/platform/input.h"

class QWidget;

namespace vorante {

class navigator;

// Watches the window before its widgets do and groups every edit made while a pointer is
// down, or while a key or wheel event is handled, into one journal step. Writes from
// anything else (timers, the console's own surface) are not the engineer's edits.
class edit_gestures : public window_filter {
  Q_OBJECT

 public:
  // The window must have been created; install after the input router so the step is open
  // when the arrow keys turn the encoder.
  edit_gestures(QWidget* window, navigator& nav, QObject* parent = nullptr);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void close_after_event();
  bool escape();

  navigator& nav_;
  bool pointer_down_ = false;
};

// Ctrl+Z undo, Ctrl+Shift+Z and Ctrl+Y redo, Ctrl+1..Ctrl+5 the fader banks, Ctrl+F the
// fader overview, Ctrl+M the media page, Ctrl+comma the settings.
void install_shortcuts(QWidget& window, navigator& nav);

// The same operations, for the shortcuts and for tests.
void undo_last_edit(navigator& nav);
void redo_last_edit(navigator& nav);

}  // namespace vorante
