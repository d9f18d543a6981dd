#include "ui/widgets/widget_fonts.h"

#include "ui/foundation/fonts.h"

namespace vorante {

QFont ui_font(int px, bool bold) {
  QFont f = font_get(px > 0 ? px : default_text_px, bold);
  // The cache keeps the style of a size's first request; widgets asking otherwise get it.
  if (f.bold() != bold) f.setBold(bold);
  return f;
}

}  // namespace vorante
