// The level readout under a fader: white text centred on a small grey gradient plate.
#pragma once

#include <QLabel>

#include "ui/foundation/colour.h"

namespace vorante {

constexpr rgb565 readout_top = 0x5AEB;
constexpr rgb565 readout_bottom = 0x3186;
constexpr int readout_radius = 4;
constexpr int readout_padding = 8;  // above and below the text

class level_readout : public QLabel {
  Q_OBJECT

 public:
  explicit level_readout(const QString& text = QString(), QWidget* parent = nullptr);

  // Repaints only when the text really changes; readouts follow every fader move.
  void set_text(const QString& text);

  // Drawn faded while the console is not heard; the text stays.
  void set_dimmed(bool on);
  bool dimmed() const { return dimmed_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool dimmed_ = false;
};

}  // namespace vorante
