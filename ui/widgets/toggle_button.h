// The flat toggle button: grey when off, a coloured face with a bright frame when on.
#pragma once

#include <array>

#include "ui/widgets/face_button.h"

namespace vorante {

struct toggle_colours {
  rgb565 background;
  rgb565 border;
};

// Pressed and checked colours by toggle type (0 blue, 1 red, 2 orange, 3 green,
// 4 bright green, 5 dark green, 6 purple, 7 amber).
constexpr std::array<toggle_colours, 8> toggle_type_colours{{
    {0x34DF, 0x061E},
    {0xE002, 0x061E},
    {0xF4C0, 0x061E},
    {0x156C, 0x061E},
    {0x2567, 0x061E},
    {0x12E3, 0x1E26},
    {0x8050, 0xC8D9},
    {0xE505, 0xFEE5},
}};

constexpr toggle_colours toggle_highlight_colours(int type) {
  const bool known = type >= 0 && type < static_cast<int>(toggle_type_colours.size());
  return toggle_type_colours[known ? type : 0];
}

// Checkable from the start: a click turns it on or off.
class toggle_button : public face_button {
  Q_OBJECT

 public:
  explicit toggle_button(QWidget* parent = nullptr);

  face_look look(bool highlighted) const override;
};

}  // namespace vorante
