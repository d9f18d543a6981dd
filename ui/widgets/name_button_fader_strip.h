// The fader strip of the fader overview and the send areas: a name button, two
// buttons (M and S unless the owner relabels them), a fader with its level in the corner,
// and on demand a pair of L/R buttons for stereo sends. It owns no parameter: the owner
// pushes values in and hears the user through the signals.
#pragma once

#include <QString>

#include "ui/widgets/fader_strip_base.h"

class QLabel;

namespace vorante {

class button;
class fader;
class toggle_button;

class name_button_fader_strip : public fader_strip_base {
  Q_OBJECT

 public:
  explicit name_button_fader_strip(QWidget* parent = nullptr);

  void set_name(const QString& text);
  // Button states as the store has them; no signal.
  void set_mute(bool on);
  void set_solo(bool on);
  // The L/R pair, created on first show.
  void show_lr(bool show);
  bool lr_shown() const;

  button* name_button() const { return name_; }
  button* m_button() const { return m_; }
  button* s_button() const { return s_; }
  toggle_button* l_button() const { return l_; }
  toggle_button* r_button() const { return r_; }
  QLabel* readout() const { return readout_; }

 signals:
  void name_clicked();
  void name_long_pressed();
  void m_clicked(bool checked);
  void s_clicked(bool checked);
  void fader_clicked();
  void l_clicked(bool checked);
  void r_clicked(bool checked);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void place_floating();
  void show_level_text(double db) override;

  button* name_;
  QWidget* button_row_;
  button* m_;
  button* s_;
  QLabel* readout_;
  QWidget* lr_box_ = nullptr;
  toggle_button* l_ = nullptr;
  toggle_button* r_ = nullptr;
};

// True for fader strips with a name button only.
bool is_name_button_fader_strip(const QObject* object);

}  // namespace vorante
