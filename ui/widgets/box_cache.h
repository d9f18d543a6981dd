// Rounded cards drawn once and reused. Antialiased rounded shapes with gradients are the
// dearest thing the strips draw, and most of them never change between two paints: a
// card of a given size and look is rasterised once and then only copied.
#pragma once

#include <QImage>
#include <QSize>

class QPainter;

#include "ui/foundation/colour.h"

namespace vorante {

struct box_look {
  rgb565 top = 0;     // fill at the top edge ...
  rgb565 bottom = 0;  // ... and at the bottom edge (a vertical gradient)
  bool filled = true;
  rgb565 border = 0;
  int border_alpha = 0;  // 0: no border
  int border_width = 1;
  int radius = 0;
};

// The card of `size` in `look`, transparent outside its rounded edge. The reference stays
// valid until the next call.
const QImage& rounded_box(QSize size, const box_look& look);

// A bar drawn from two pictures of the same size at `at`: rows above `line` from `above`,
// the rest from `below`. Level bars are painted this way, so a new level costs two copies.
void draw_split(QPainter& p, QPoint at, const QImage& above, const QImage& below, int line);

// How many pictures the cache holds now (it starts over when it grows past its bound).
int rounded_box_cache_size();

}  // namespace vorante
