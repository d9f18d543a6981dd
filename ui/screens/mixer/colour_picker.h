// The channel colour picker: twelve swatches and "CLR" on a panel over a dimmed screen.
// Any click closes it; a swatch or "CLR" also sets the channel's colour.
#pragma once

#include <QPoint>
#include <optional>

#include "ui/foundation/colour.h"

class QWidget;

namespace vorante {

class param_store;

// Opens the picker for (kind, index) with its panel's top-left corner at `at` (in the
// coordinates of the overlay host, the window) and returns its backdrop; without a point
// the panel is centred. Nothing happens (nullptr) for a channel that does not exist or
// without an overlay host.
QWidget* open_colour_picker(param_store& store, std::optional<QPoint> at, int kind, int index);

}  // namespace vorante
