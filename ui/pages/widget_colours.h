// The two palette changes the screens make on plain Qt widgets: a filled background and the
// colour of a label's text.
#pragma once

#include <QColor>
#include <QWidget>

namespace vorante {

// Makes `w` paint its whole background in `colour`.
void fill_background(QWidget* w, const QColor& colour);

// Makes `w` write its text in `colour`.
void set_text_colour(QWidget* w, const QColor& colour);

}  // namespace vorante
