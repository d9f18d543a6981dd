// What the fader strips share: a framed strip built round a fader in an area of its own.
// The user's moves come out as fader_moved() once the strip shows the new level; the
// owner pushes the store's level in through set_level(), which sends nothing.
#pragma once

#include "ui/widgets/strip_frame.h"

namespace vorante {

class fader;

class fader_strip_base : public framed_strip {
  Q_OBJECT

 public:
  // The fader's level in dB, and the strip's text for it.
  void set_level(double db);

  vorante::fader* fader() const { return fader_; }

 signals:
  void fader_moved(double value);

 protected:
  fader_strip_base(QWidget* parent, QSize default_size);

  // Makes the fader area and its fader (see add_strip_fader()); called once, where the
  // area's place among the strip's children is.
  void add_fader_area(int tick_length, int tick_gap);
  // Writes the level where the strip shows it.
  virtual void show_level_text(double db) = 0;

  QWidget* fader_area_ = nullptr;
  vorante::fader* fader_ = nullptr;
};

}  // namespace vorante
