// The two palette changes the widgets and screens make on plain Qt widgets: a filled
// background and the colour of a label's text.
#pragma once

#include <QColor>
#include <QWidget>
#include <concepts>

#include "ui/foundation/colour.h"

namespace vorante {

// Makes `w` paint its whole background in `colour`.
void fill_background(QWidget* w, const QColor& colour);

// Makes `w` write its text in `colour`.
void set_text_colour(QWidget* w, const QColor& colour);
// The same for a theme colour. A template, so that only an rgb565 takes this path: Qt's
// named colours still go to QColor, and an rgb565 never becomes a QRgb on the way.
template <std::same_as<rgb565> C>
void set_text_colour(QWidget* w, C colour) {
  set_text_colour(w, to_qcolor(colour));
}

}  // namespace vorante
