// The one place widgets take their fonts from, so the UI font can be swapped in later.
#pragma once

#include <QFont>

namespace vorante {

// Pixel sizes the widgets use.
constexpr int default_text_px = 20;  // text of every widget that sets no font
constexpr int small_title_px = 16;   // tile titles, toasts
constexpr int text_entry_px = 24;    // the in-place text entry

QFont ui_font(int px, bool bold = false);

}  // namespace vorante
