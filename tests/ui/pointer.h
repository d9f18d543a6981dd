// What the widget tests press on and count with: a pointer move with the button held (QTest
// moves with no button down) and a paint counter to install as an event filter.
#pragma once

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QObject>
#include <QPoint>
#include <QWidget>

namespace vorante::test {

// The pointer moves to `p` with the left button held.
inline void move_to(QWidget* w, QPoint p) {
  QMouseEvent move(QEvent::MouseMove, QPointF(p), w->mapToGlobal(QPointF(p)), Qt::NoButton, Qt::LeftButton, {});
  QApplication::sendEvent(w, &move);
}

// Counts the paint events of what it filters.
class paint_counter : public QObject {
 public:
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

}  // namespace vorante::test
