#include "ui/widgets/widget_colours.h"

#include <QPalette>

namespace vorante {

void fill_background(QWidget* w, const QColor& colour) {
  w->setAutoFillBackground(true);
  QPalette pal = w->palette();
  pal.setColor(QPalette::Window, colour);
  w->setPalette(pal);
}

void set_text_colour(QWidget* w, const QColor& colour) {
  QPalette pal = w->palette();
  pal.setColor(QPalette::WindowText, colour);
  w->setPalette(pal);
}

}  // namespace vorante
