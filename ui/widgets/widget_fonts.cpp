#include "ui/widgets/widget_fonts.h"

#include <QApplication>

namespace vorante {

QFont ui_font(int px, bool bold) {
  QFont f = QApplication::font();
  f.setPixelSize(px > 0 ? px : default_text_px);
  f.setBold(bold);
  return f;
}

}  // namespace vorante
