// A grid of checkable channel buttons as the copy and group pages use it: filled row by
// row with the visible buttons only, and, 50 ms after a size change, every button made as
// high as a rule says for the width of the first visible one.
#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

#include "ui/widgets/toggle_button.h"

class QGridLayout;

namespace vorante {

// A toggle in one released colour (0x52CB on these pages), with its border in the same
// colour or none.
class flat_toggle : public toggle_button {
  Q_OBJECT

 public:
  flat_toggle(QWidget* parent, rgb565 released, bool border);
  face_look look(bool highlighted) const override;

 private:
  rgb565 released_;
  bool border_;
};

constexpr rgb565 group_button_colour = 0x52CB;
constexpr int grid_resize_delay_ms = 50;

class button_grid : public QWidget {
  Q_OBJECT

 public:
  using height_rule = std::function<int(int first_width)>;
  button_grid(QWidget* parent, int gap, height_rule rule);

  // Adds a button (hidden ones are left out of the grid by arrange()).
  flat_toggle* add_button();
  const std::vector<flat_toggle*>& buttons() const { return buttons_; }
  // Places the buttons not hidden explicitly row by row in `columns` columns.
  void arrange(int columns);
  // The height rule applied now (the timer runs it 50 ms after each resize).
  void fit_heights();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QGridLayout* grid_;
  height_rule rule_;
  std::vector<flat_toggle*> buttons_;
  QTimer resize_timer_;
};

}  // namespace vorante
