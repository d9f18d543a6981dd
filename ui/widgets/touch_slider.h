// What the pan bar and the send slider share: a value in a fixed range that the store
// sets without a signal, and a drag with the left button that reports every value the
// user makes. The subclasses say what a drag does with the finger's position.
#pragma once

#include <QWidget>

namespace vorante {

class touch_slider : public QWidget {
  Q_OBJECT

 public:
  // The value as the store has it, clamped; no signal.
  void set_value(int value);
  int value() const { return value_; }
  bool dragging() const { return dragging_; }

 signals:
  // Only the user's touches.
  void value_changed(int value);

 protected:
  touch_slider(QWidget* parent, int min, int max, int initial);

  // A press of the left button starts a drag at x; every move while it lasts follows.
  virtual void drag_started(double x) = 0;
  virtual void dragged_to(double x) = 0;
  // A value the user made: stored, shown and reported when it differs.
  void take_value(int value);
  // Presses are ignored (passed on) while drags are off; turning them off ends a drag.
  void set_drags(bool on);

  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  int min_;
  int max_;
  int value_;
  bool drags_ = true;
  bool dragging_ = false;
};

}  // namespace vorante
