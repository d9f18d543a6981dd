#include "ui/widgets/strip_parts.h"

#include <QPalette>
#include <QWidget>

#include "ui/widgets/button.h"

namespace vorante {

namespace {
constexpr int fader_level_type = 15;
}

button* strip_button(QWidget* parent, const QString& text, int type, bool checkable, int height) {
  auto* b = new button(parent);
  b->set_text(text);
  b->set_type(type);
  b->setCheckable(checkable);
  b->setSizePolicy(QSizePolicy::Expanding, height > 0 ? QSizePolicy::Fixed : QSizePolicy::Ignored);
  b->setMinimumSize(0, 0);
  if (height > 0) b->setFixedHeight(height);
  return b;
}

void set_text_colour(QWidget* label, rgb565 colour) {
  QPalette pal = label->palette();
  pal.setColor(QPalette::WindowText, to_qcolor(colour));
  pal.setColor(QPalette::Text, to_qcolor(colour));
  label->setPalette(pal);
}

QString fader_level_text(double db, unit_display units) {
  const uint16_t raw = to_raw(fader_level_type, db);
  return QString::fromStdString(value_text_of_type(fader_level_type, raw, 0, units));
}

}  // namespace vorante
