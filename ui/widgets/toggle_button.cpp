#include "ui/widgets/toggle_button.h"

namespace vorante {

namespace {

constexpr rgb565 toggle_released_background = 0x5AEB;

}  // namespace

toggle_button::toggle_button(QWidget* parent) : face_button(parent) { setCheckable(true); }

face_look toggle_button::look(bool highlighted) const {
  if (!highlighted)
    return {toggle_released_background, toggle_released_background, theme::card_border,
            face_released_border_alpha};
  const toggle_colours c = toggle_highlight_colours(type());
  return {c.background, c.background, c.border, 255};
}

}  // namespace vorante
