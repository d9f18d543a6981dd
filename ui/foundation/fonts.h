// The UI font from the resource volume, in the pixel sizes the screens use. One family,
// loaded once; each size is made on first request and kept.
#pragma once

#include <QFont>
#include <QString>

namespace vorante {

// Loads the volume's TrueType font into the application and creates the standard sizes
// (10, 12, 14, 16, 24, 32, 20, 22). Returns false when the volume holds no usable font;
// every size then falls back to the application's font.
bool fonts_init();

// The family the volume's font registered, empty before fonts_init or when it failed.
const QString& ui_font_family();

// The UI font at `size` pixels. Sizes outside 1..64 give the screen's text font; the
// first request of a size decides whether it is bold.
QFont font_get(int size, bool bold = false);

// The standard handles.
inline QFont font_10() { return font_get(10); }
inline QFont font_12() { return font_get(12); }
inline QFont font_14() { return font_get(14); }
inline QFont font_16() { return font_get(16); }
inline QFont font_20() { return font_get(20); }
inline QFont font_22() { return font_get(22); }
inline QFont font_24() { return font_get(24); }
inline QFont font_32() { return font_get(32); }

// Number of sizes created so far (tests).
int font_sizes_created();

}  // namespace vorante
