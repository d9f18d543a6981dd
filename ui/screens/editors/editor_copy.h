// The copy clipboard of the channel editors, shared by the input and output editors, and
// what shows that a copy is pending: the copy key's light blinking on the console and a
// blinking badge at the top of the screen with the copied channel's name.
#pragma once

#include "app/params/input_editor.h"

namespace vorante {

class navigator;

constexpr int copy_light_key = 53;
constexpr int paste_light_key = 54;
constexpr int copy_light_blink_ms = 200;
constexpr int copy_badge_blink_ms = 500;
constexpr int paste_light_ms = 1000;
constexpr int copy_badge_top = 8;

copy_clipboard& editor_clipboard();

// The clipboard now holds (kind, index): both blinkers start.
void copy_indicator_start(navigator& nav, int kind, int index);
// The clipboard was emptied: blinkers stop, the copy light goes off, the badge goes.
void copy_indicator_stop();
// A paste was made: the paste key lights for a second.
void paste_indicator_flash(navigator& nav);
// What the COPY and PASTE buttons of an editor show for an outcome: the blinkers, the
// paste light and the toasts.
void show_copy_outcome(navigator& nav, int kind, int index, copy_outcome outcome);
void show_paste_outcome(navigator& nav, paste_outcome outcome);
// For tests: whether the badge is up, and the copy light's current state.
bool copy_badge_shown();

}  // namespace vorante
