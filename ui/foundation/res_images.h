// Pictures from the resource volume and the built-in logo, decoded once and shared.
// The caches are unguarded: call these from the UI thread only.
#pragma once

#include <QColor>
#include <QImage>
#include <cstdint>
#include <span>
#include <string_view>

namespace vorante {

// The picture at a volume path ("0:res/..." or "res/..."), decoded on first use and kept
// for the whole run: later calls return the same shared pixels. A null image when the
// file is missing or is not a picture; callers simply draw nothing then.
QImage image_file_load(std::string_view path);

// The same picture with every pixel turned towards `colour` by `opacity` (255: all
// colour), keeping its alpha; cached per path, colour and opacity.
QImage image_file_load_recoloured(std::string_view path, QColor colour, int opacity = 255);

// Decodes PNG bytes held in memory; null when they are not a picture. Not cached.
QImage png_image_from_memory(std::span<const std::uint8_t> bytes);

// `image` with its colour mixed towards `colour` by `opacity` and its alpha kept.
QImage recoloured(const QImage& image, QColor colour, int opacity = 255);

// The product logo compiled into the program (140 x 36).
QImage builtin_logo();

}  // namespace vorante
