// The busy overlay: a dark veil over the whole window with a turning spinner and a text,
// shown while a screen waits for the console. It swallows touches while shown.
#pragma once

#include <QString>

class QWidget;

namespace vorante {

// Shows (or re-texts) the overlay; returns its layer, or nullptr when there is no host.
QWidget* show_busy(const QString& text);
void hide_busy();

// Where the spinner's arc starts, in degrees clockwise from the top, `phase` (0..1) into a
// turn: slow at the ends of the turn, fast in the middle.
double spinner_start_angle(double phase);

}  // namespace vorante
