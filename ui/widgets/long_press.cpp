#include "ui/widgets/long_press.h"

#include <QAbstractButton>
#include <QMouseEvent>
#include <QWidget>

namespace vorante {

namespace {

constexpr int long_press_ms = 400;
// A press that wanders further than this is a drag, not a long press.
constexpr int long_press_slop_px = 10;

}  // namespace

long_press::long_press(QWidget* target) : QObject(target), target_(target) {
  timer_.setSingleShot(true);
  timer_.setInterval(long_press_ms);
  connect(&timer_, &QTimer::timeout, this, &long_press::fire);
  target->installEventFilter(this);
}

void long_press::fire() {
  timer_.stop();
  fired_ = true;
  // A button that is no longer down does not click when the finger lifts.
  if (auto* b = qobject_cast<QAbstractButton*>(target_)) b->setDown(false);
  emit long_pressed();
}

bool long_press::eventFilter(QObject* watched, QEvent* event) {
  if (watched != target_) return false;
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto* e = static_cast<QMouseEvent*>(event);
      if (e->button() != Qt::LeftButton) break;
      fired_ = false;
      origin_ = e->position().toPoint();
      timer_.start();
      break;
    }
    case QEvent::MouseMove: {
      // After a long press the button must not take itself down again on a move.
      if (fired_) return true;
      auto* e = static_cast<QMouseEvent*>(event);
      if ((e->position().toPoint() - origin_).manhattanLength() > long_press_slop_px) timer_.stop();
      break;
    }
    case QEvent::MouseButtonRelease:
      timer_.stop();
      break;
    case QEvent::Hide:
      timer_.stop();
      fired_ = false;
      break;
    default:
      break;
  }
  return false;
}

}  // namespace vorante
