// The headphone-level toast: "Phone: <level>" in the middle of the screen while the
// console's headphone encoder turns, hidden 2 s after the last turn unless the headphone
// key pinned it.
#pragma once

#include <QLabel>
#include <QTimer>

#include "ui/foundation/colour.h"

namespace vorante {

class param_store;

constexpr int phones_encoder = 1;

class phones_toast : public QLabel {
  Q_OBJECT

 public:
  // Floats over `parent`, centred, outside its layout.
  phones_toast(const param_store& store, QWidget* parent);

  // Shows the current headphone level on top; unless pinned, (re)starts the hide timer.
  void show_level();
  // Pins it (no more hiding by time) or clears the pin.
  void pin(bool on);
  // Hidden and unpinned at once.
  void dismiss();
  bool pinned() const { return pinned_; }
  bool hide_pending() const { return timer_.isActive(); }
  // What the hide timer does when it runs out.
  void expire();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void centre();

  const param_store& store_;
  QTimer timer_;
  bool pinned_ = false;
};

}  // namespace vorante
