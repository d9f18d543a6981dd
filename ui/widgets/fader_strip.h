// The fader strip of the editors and the DCA row: name, MUTE and SOLO over a fader with a
// dB scale, optionally an ENTER button, an OFF button and a level readout. It owns no
// parameter: the owner pushes values in and hears the user through the signals.
#pragma once

#include <QString>

#include "ui/widgets/fader_strip_base.h"

class QLabel;
class QVBoxLayout;

namespace vorante {

class button;
class fader;
class level_readout;

class fader_strip : public fader_strip_base {
  Q_OBJECT

 public:
  explicit fader_strip(QWidget* parent = nullptr);

  // The optional parts, created on the first call and kept.
  void add_enter();
  void add_off();
  void add_readout();

  // An empty name hides the label.
  void set_name(const QString& text);
  void set_namef(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // Button states as the store has them; no signal.
  void set_mute(bool on);
  void set_solo(bool on);
  void set_off(bool on);

  QLabel* name_label() const { return name_; }
  button* mute_button() const { return mute_; }
  button* solo_button() const { return solo_; }
  button* enter_button() const { return enter_; }
  button* off_button() const { return off_; }
  level_readout* readout() const { return readout_; }

 signals:
  void enter_clicked();
  void off_clicked(bool checked);
  void mute_clicked(bool checked);
  void solo_clicked(bool checked);
  void name_long_pressed();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void show_level_text(double db) override;

  QVBoxLayout* column_;
  QLabel* name_;
  button* mute_;
  button* solo_;
  button* enter_ = nullptr;
  button* off_ = nullptr;
  level_readout* readout_ = nullptr;
};

}  // namespace vorante
