// The level readout under a fader: white text centred on a small grey gradient plate.
#pragma once

#include <QLabel>

#include "ui/foundation/colour.h"

namespace vorante {

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
