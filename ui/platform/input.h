// Input beyond what Qt delivers to the widgets by itself: the keypad device's key codes,
// the keypad focus object (left and right arrows turn the surface's first encoder), and
// the wheel and middle button as the encoder device.
#pragma once

#include <QObject>
#include <QPointer>
#include <cstdint>

class QWidget;
class QWindow;

namespace vorante {

// Key codes the keypad device reports; everything not listed keeps its own code.
enum keypad_code : uint32_t {
  keypad_home = 2,
  keypad_end = 3,
  keypad_backspace = 8,
  keypad_next = 9,
  keypad_enter = 10,
  keypad_prev = 11,
  keypad_up = 17,
  keypad_down = 18,
  keypad_right = 19,
  keypad_left = 20,
  keypad_escape = 27,
  keypad_delete = 127,
};

// The keypad code of a Qt key (Qt::Key): named keys as above, letters in lower case.
uint32_t keypad_code_of(int qt_key);

// What the keypad focus object makes of a key: a step of encoder 0, or 0 for keys it
// ignores. Left is +1 and right is -1, as if the console's first encoder had turned.
int keypad_encoder_step(uint32_t code);

// One wheel notch is 120 units of angle delta. Smaller deltas (touchpads, free-spinning
// wheels) add up until they make a notch, so no movement is lost. Turning away from the
// user gives negative steps.
class wheel_steps {
 public:
  static constexpr int units_per_notch = 120;
  int feed(int angle_delta_y);

 private:
  int rest_ = 0;
};

// Whether a text field has the keyboard focus: it keeps its own keys (the arrows move its
// cursor, Escape is its own).
bool typing_into_text_field();

// A filter on a top-level window's handle, which sees each event once, before it is handed
// to (and propagated through) the widgets.
class window_filter : public QObject {
  Q_OBJECT

 public:
  // The window must have been created (shown, or winId() called).
  explicit window_filter(QWidget* window, QObject* parent = nullptr);

 protected:
  bool watches(const QObject* watched) const;

 private:
  QPointer<QWindow> window_;
};

// Watches one top-level window before its widgets see anything. Arrow keys become
// surface encoder steps unless a text field has the focus; the wheel and the middle
// button are reported without being taken away from the widgets under the pointer.
class input_router : public window_filter {
  Q_OBJECT

 public:
  // The window must have been created (shown, or winId() called).
  explicit input_router(QWidget* window, QObject* parent = nullptr);

 signals:
  // Every key the keypad device reports (not while typing into a text field).
  void keypad_key(uint32_t code, bool pressed);
  // The keypad focus object: the mixer pages take these as console encoder turns.
  void surface_encoder(int encoder, int steps);
  // The encoder device: wheel notches and the middle button.
  void encoder_turned(int steps);
  void encoder_pressed(bool pressed);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool key_event(QEvent* event);

  wheel_steps wheel_;
};

}  // namespace vorante
