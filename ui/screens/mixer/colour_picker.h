// The channel colour picker: twelve swatches and "CLR" on a panel over a dimmed screen.
// Any click closes it; a swatch or "CLR" also sets the channel's colour.
#pragma once

#include <QPoint>
#include <optional>

#include "ui/foundation/colour.h"

class QWidget;

namespace vorante {

class param_store;

constexpr int picker_columns = 6;
constexpr int picker_swatch = 64;
constexpr int picker_gap = 8;
constexpr int picker_padding = 16;
constexpr rgb565 picker_background = 0x1082;
constexpr rgb565 picker_border = 0x8410;
constexpr rgb565 picker_clear_colour = 0x5AEB;
constexpr int picker_backdrop_alpha = 77;  // black at 30 %

// Opens the picker for (kind, index) with its panel's top-left corner at `at` (in the
// coordinates of the overlay host, the window) and returns its backdrop; without a point
// the panel is centred. Nothing happens (nullptr) for a channel that does not exist or
// without an overlay host.
QWidget* open_colour_picker(param_store& store, std::optional<QPoint> at, int kind, int index);

}  // namespace vorante
