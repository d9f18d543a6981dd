// The container that fills the window and holds everything else: 4 px padding on the
// frame colour, a column with the group bar on top (when there is one) and the page host
// taking the rest of the height.
#pragma once

#include <QColor>
#include <QWidget>

class QVBoxLayout;

namespace vorante {

class page_stack;

inline constexpr QColor main_frame_colour{0x10, 0x41, 0x4A};  // 0x1209

class main_frame : public QWidget {
  Q_OBJECT

 public:
  explicit main_frame(QWidget* parent = nullptr);

  page_stack* pages() const { return pages_; }
  // Puts the bar above the page host; the frame takes ownership.
  void set_group_bar(QWidget* bar);
  QWidget* group_bar() const { return group_bar_; }

 private:
  QVBoxLayout* column_;
  page_stack* pages_;
  QWidget* group_bar_ = nullptr;
};

}  // namespace vorante
