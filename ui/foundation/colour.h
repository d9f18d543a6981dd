// The program's colours are 16-bit RGB565 values; the screen is drawn in 24-bit, so every
// colour is widened once, here, by bit replication (full white stays full white).
#pragma once

#include <QColor>
#include <cstdint>

namespace vorante {

using rgb565 = std::uint16_t;

constexpr QRgb rgb565_to_rgb(rgb565 c) {
  const unsigned r5 = (c >> 11) & 0x1Fu;
  const unsigned g6 = (c >> 5) & 0x3Fu;
  const unsigned b5 = c & 0x1Fu;
  const unsigned r = (r5 << 3) | (r5 >> 2);
  const unsigned g = (g6 << 2) | (g6 >> 4);
  const unsigned b = (b5 << 3) | (b5 >> 2);
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}

// For the few colours that are named by their 24-bit value (palette colours).
constexpr rgb565 rgb565_from_rgb(unsigned r, unsigned g, unsigned b) {
  return static_cast<rgb565>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

// Each channel at half strength: the lower end of a button's gradient.
constexpr rgb565 rgb565_darken_half(rgb565 c) {
  const unsigned r5 = (c >> 11) & 0x1Fu;
  const unsigned g6 = (c >> 5) & 0x3Fu;
  const unsigned b5 = c & 0x1Fu;
  return static_cast<rgb565>(((r5 >> 1) << 11) | ((g6 >> 1) << 5) | (b5 >> 1));
}

inline QColor to_qcolor(rgb565 c, int alpha = 255) {
  QColor q = QColor::fromRgb(rgb565_to_rgb(c));
  q.setAlpha(alpha);
  return q;
}

// Colours more than one widget family uses.
namespace theme {
constexpr rgb565 screen_background = 0x1209;
constexpr rgb565 white = 0xFFFF;
constexpr rgb565 black = 0x0000;
// Toast texts: success, failure, hint.
constexpr rgb565 success = 0x07E0;
constexpr rgb565 failure = 0xF800;
constexpr rgb565 hint = 0xFFE0;
// The plain container frame every custom widget starts from (light grey).
constexpr rgb565 card_border = rgb565_from_rgb(0xE0, 0xE0, 0xE0);
// Display bars: track and green fill.
constexpr rgb565 bar_track = 0x39E8;
constexpr rgb565 bar_fill = 0x07E0;
// Meters and level readouts while the console is not heard: still readable, plainly stale.
constexpr double offline_opacity = 0.35;
}  // namespace theme

}  // namespace vorante
