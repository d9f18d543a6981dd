// The "gallery" page: every basic widget in each of its states, plus buttons that bring up a
// toast, the busy overlay and the in-place text entry. For looking at the widgets together.
#pragma once

class QWidget;

namespace vorante {

constexpr const char* gallery_page_name = "gallery";

// 1280 x 800 less the main frame's 4 px padding on every side.
constexpr int gallery_page_width = 1272;
constexpr int gallery_page_height = 792;

QWidget* create_gallery_page(QWidget* parent, int argument = 0);

}  // namespace vorante
