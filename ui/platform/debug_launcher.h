// The debug launcher: with DEBUG=yes in nativecfg.ini it comes up before anything else
// and lets the developer pick the serial port, the baud rate and the diagnostic switches
// for this run. Its labels stay in Chinese, as on the consoles' service benches.
#pragma once

#include <QDialog>
#include <QStringList>
#include <array>

#include "app/core/options.h"

class QCheckBox;
class QComboBox;
class QPushButton;

namespace vorante {

constexpr int launcher_check_count = 9;

// "COM1".."COM10" (the launcher starts on the fifth), then the serial ports present on
// this machine.
QStringList launcher_port_choices();

class debug_launcher : public QDialog {
  Q_OBJECT

 public:
  explicit debug_launcher(QWidget* parent = nullptr);

  // The choices as run-time options, on top of `options`.
  void apply_to(runtime_options& options) const;

  QComboBox* port_box() const { return port_; }
  QComboBox* baud_box() const { return baud_; }
  QCheckBox* check_box(int n) const { return checks_[static_cast<std::size_t>(n)]; }
  QPushButton* ok_button() const { return ok_; }
  QPushButton* cancel_button() const { return cancel_; }

 private:
  void update_ok();

  QComboBox* port_;
  QComboBox* baud_;
  std::array<QCheckBox*, launcher_check_count> checks_{};
  QPushButton* ok_;
  QPushButton* cancel_;
};

// Runs the launcher until it closes. OK stores the choices into `options` and returns 1;
// Cancel or closing the window returns 0 and leaves the options alone.
int run_debug_launcher(runtime_options& options);

}  // namespace vorante
