// Small pieces the strips build themselves from.
#pragma once

#include <QString>

#include "app/params/convert.h"
#include "ui/foundation/colour.h"
#include "ui/widgets/button.h"

class QWidget;

namespace vorante {

// A button stretched across its strip, `height` px high (0: left to the layout).
button* strip_button(QWidget* parent, const QString& text, button_type type, bool checkable, int height = 0);

class fader;

// The fader of a fader strip, filling `area` (which it lays out): small knob, centred
// track, a labelled dB scale with ticks of `tick_length` px, `tick_gap` px from the track.
fader* add_strip_fader(QWidget* area, int tick_length, int tick_gap);

// The colour a label writes in.
void set_text_colour(QWidget* label, rgb565 colour);

// The text a fader level shows: the fader value type's text of the level rounded to its
// raw step, with or without the "dB".
QString fader_level_text(double db, unit_display units = unit_display::shown);

}  // namespace vorante
