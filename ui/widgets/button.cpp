#include "ui/widgets/button.h"

namespace vorante {

button::button(QWidget* parent) : face_button(parent) {}

void button::set_colour(rgb565 colour) {
  const gradient_pair next{colour, rgb565_darken_half(colour)};
  if (next.background == released_.background && next.gradient == released_.gradient) return;
  released_ = next;
  update();
}

face_look button::look(bool highlighted) const {
  const gradient_pair c = highlighted ? button_highlight_colours(type()) : released_;
  return {c.background, c.gradient, theme::card_border, face_released_border_alpha};
}

bool is_button(const QObject* object) { return qobject_cast<const button*>(object) != nullptr; }

}  // namespace vorante
