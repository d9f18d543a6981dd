#include "ui/widgets/strip_parts.h"

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QWidget>

#include "ui/widgets/button.h"
#include "ui/widgets/fader.h"
#include "ui/widgets/widget_fonts.h"

namespace vorante {

button* strip_button(QWidget* parent, const QString& text, button_type type, bool checkable, int height) {
  auto* b = new button(parent);
  b->set_text(text);
  b->set_type(type);
  b->setCheckable(checkable);
  b->setSizePolicy(QSizePolicy::Expanding, height > 0 ? QSizePolicy::Fixed : QSizePolicy::Ignored);
  b->setMinimumSize(0, 0);
  if (height > 0) b->setFixedHeight(height);
  return b;
}

button* strip_name_button(QWidget* parent) {
  auto* b = strip_button(parent, "CH", button_type::blue, false);
  b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  return b;
}

QWidget* bare_row(QWidget* parent, QBoxLayout*& layout, bool horizontal, int spacing) {
  auto* w = new QWidget(parent);
  layout = horizontal ? static_cast<QBoxLayout*>(new QHBoxLayout(w)) : new QVBoxLayout(w);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(spacing);
  return w;
}

void add_row_buttons(QBoxLayout* row, int text_px, std::initializer_list<button*> buttons) {
  for (button* b : buttons) {
    b->setFont(ui_font(text_px));
    b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
    row->addWidget(b, 1);
  }
}

fader* add_strip_fader(QWidget* area, int tick_length, int tick_gap) {
  constexpr int scale_px = 10;
  auto* layout = new QVBoxLayout(area);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* f = new fader(area);
  f->setFont(ui_font(scale_px));
  f->set_padding(2, 2);
  f->set_knob(fader_knob_small);
  f->set_show_labels(true);
  f->set_centred(true);
  f->set_tick_length(tick_length);
  f->set_tick_gap(tick_gap);
  f->set_highlight_radius(8);
  layout->addWidget(f);
  return f;
}

QString fader_level_text(double db, unit_display units) {
  const uint16_t raw = to_raw(value_type::fader_level, db);
  return QString::fromStdString(value_text_of_type(value_type::fader_level, raw, 0, units));
}

}  // namespace vorante
