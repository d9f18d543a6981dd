// The gradient push button, the most used control of the screens.
#pragma once

#include <array>

#include "ui/widgets/face_button.h"

namespace vorante {

struct gradient_pair {
  rgb565 background;
  rgb565 gradient;
};

// What a push button shows when pressed or checked.
enum class button_type : int {
  blue = 0,
  mute = 1,          // red
  solo = 2,          // orange
  green = 3,
  bright_green = 4,
};

// Pressed and checked colours, indexed by button type.
constexpr std::array<gradient_pair, 5> button_type_colours{{
    {0x34DF, 0x020F},
    {0xE002, 0x7800},
    {0xF4C0, 0x6A40},
    {0x156C, 0x0286},
    {0x2567, 0x0300},
}};

constexpr gradient_pair button_highlight_colours(int type) {
  const bool known = type >= 0 && type < static_cast<int>(button_type_colours.size());
  return button_type_colours[known ? type : 0];
}

constexpr gradient_pair button_released_default{0x5AEB, 0x3186};

class button : public face_button {
  Q_OBJECT

 public:
  explicit button(QWidget* parent = nullptr);

  using face_button::set_type;
  void set_type(button_type type) { face_button::set_type(static_cast<int>(type)); }

  // Released look: `colour` at the top, fading to half its brightness at the bottom.
  void set_colour(rgb565 colour);
  gradient_pair released_colours() const { return released_; }

  face_look look(bool highlighted) const override;

 private:
  gradient_pair released_ = button_released_default;
};

// True only for push buttons (toggle buttons and other controls are not).
bool is_button(const QObject* object);

}  // namespace vorante
