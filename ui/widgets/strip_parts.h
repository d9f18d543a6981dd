// Small pieces the strips build themselves from.
#pragma once

#include <QString>
#include <initializer_list>

#include "app/params/convert.h"
#include "ui/foundation/colour.h"
#include "ui/widgets/button.h"

class QBoxLayout;
class QWidget;

namespace vorante {

// A button stretched across its strip, `height` px high (0: left to the layout).
button* strip_button(QWidget* parent, const QString& text, button_type type, bool checkable, int height = 0);
// The blue name button on top of a strip; its owner gives it its height.
button* strip_name_button(QWidget* parent);

// A plain widget laid out as a row (or a column) with no margins and `spacing` px between
// its parts; `layout` receives its layout.
QWidget* bare_row(QWidget* parent, QBoxLayout*& layout, bool horizontal, int spacing);
// Buttons side by side in `row`, sharing its width equally and filling its height, with
// `text_px` text.
void add_row_buttons(QBoxLayout* row, int text_px, std::initializer_list<button*> buttons);

class fader;

// The fader of a fader strip, filling `area` (which it lays out): small knob, centred
// track, a labelled dB scale with ticks of `tick_length` px, `tick_gap` px from the track.
fader* add_strip_fader(QWidget* area, int tick_length, int tick_gap);

// The text a fader level shows: the fader value type's text of the level rounded to its
// raw step, with or without the "dB".
QString fader_level_text(double db, unit_display units = unit_display::shown);

}  // namespace vorante
