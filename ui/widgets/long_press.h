// Reports a press held on a widget for a while, as the screens use it to rename channels.
// On a button the long press replaces the click: releasing afterwards does not click.
#pragma once

#include <QObject>
#include <QPoint>
#include <QTimer>

class QWidget;

namespace vorante {

class long_press : public QObject {
  Q_OBJECT

 public:
  // Watches `target` and lives as its child.
  explicit long_press(QWidget* target);

  bool pending() const { return timer_.isActive(); }
  // What the timer does when it runs out; callable directly so tests need not wait.
  void fire();

 signals:
  void long_pressed();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* target_;
  QTimer timer_;
  QPoint origin_;
  bool fired_ = false;
};

}  // namespace vorante
