#include "ui/platform/input.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>

namespace vorante {
namespace {

struct key_pair {
  int qt_key;
  uint32_t code;
};

constexpr key_pair named_keys[] = {
    {Qt::Key_Backspace, keypad_backspace}, {Qt::Key_Escape, keypad_escape},
    {Qt::Key_Return, keypad_enter},        {Qt::Key_Enter, keypad_enter},
    {Qt::Key_PageUp, keypad_prev},         {Qt::Key_PageDown, keypad_next},
    {Qt::Key_Home, keypad_home},           {Qt::Key_End, keypad_end},
    {Qt::Key_Up, keypad_up},               {Qt::Key_Down, keypad_down},
    {Qt::Key_Left, keypad_left},           {Qt::Key_Right, keypad_right},
    {Qt::Key_Delete, keypad_delete},
};

}  // namespace

bool typing_into_text_field() {
  const QWidget* focus = QApplication::focusWidget();
  return focus && focus->testAttribute(Qt::WA_InputMethodEnabled);
}

window_filter::window_filter(QWidget* window, QObject* parent) : QObject(parent), window_(window->windowHandle()) {
  if (window_) window_->installEventFilter(this);
}

bool window_filter::watches(const QObject* watched) const { return watched == window_.data(); }

uint32_t keypad_code_of(int qt_key) {
  for (const auto& pair : named_keys)
    if (pair.qt_key == qt_key) return pair.code;
  if (qt_key >= Qt::Key_A && qt_key <= Qt::Key_Z) return static_cast<uint32_t>(qt_key - Qt::Key_A + 'a');
  return static_cast<uint32_t>(qt_key);
}

int keypad_encoder_step(uint32_t code) {
  if (code == keypad_left) return 1;
  if (code == keypad_right) return -1;
  return 0;
}

int wheel_steps::feed(int angle_delta_y) {
  rest_ += angle_delta_y;
  const int notches = rest_ / units_per_notch;  // toward zero, the rest waits for more
  rest_ -= notches * units_per_notch;
  return -notches;
}

input_router::input_router(QWidget* window, QObject* parent) : window_filter(window, parent) {}

bool input_router::key_event(QEvent* event) {
  auto* key = static_cast<QKeyEvent*>(event);
  if (typing_into_text_field()) return false;
  const bool pressed = event->type() == QEvent::KeyPress;
  const uint32_t code = keypad_code_of(key->key());
  emit keypad_key(code, pressed);
  const int step = keypad_encoder_step(code);
  if (step == 0) return false;
  // Held keys repeat, and every repeat is another step.
  if (pressed) emit surface_encoder(0, step);
  return true;
}

bool input_router::eventFilter(QObject* watched, QEvent* event) {
  if (!watches(watched)) return false;
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      return key_event(event);
    case QEvent::Wheel: {
      const int steps = wheel_.feed(static_cast<QWheelEvent*>(event)->angleDelta().y());
      if (steps != 0) emit encoder_turned(steps);
      return false;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
      if (static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton)
        emit encoder_pressed(event->type() == QEvent::MouseButtonPress);
      return false;
    default:
      return false;
  }
}

}  // namespace vorante
