// The frame both curve plots (EQ and dynamics) lay out in the same words.
#pragma once

namespace vorante {

// Where a plot sits inside its widget: the room its axis labels take, the gap between the
// labels and the plot, and the plot's top-left corner.
struct plot_frame {
  int label_w = 0;
  int label_h = 0;
  int label_gap = 0;
  int x0 = 0;
  int y0 = 0;
};

}  // namespace vorante
