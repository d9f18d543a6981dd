// `edit_input`: the input channel editor inside the editor frame. For now it holds the
// channel it edits and an empty body below the frame's top bar; the tabs, cells and sends
// grow into it.
#pragma once

#include "ui/pages/page.h"

namespace vorante {

class edit_input_page : public page {
  Q_OBJECT

 public:
  edit_input_page(QWidget* parent, page_env& env);

  // Inputs 0..25; the frame never opens a right member of a stereo pair.
  void open(int index) override;
  // The frame's title was clicked: back to the overview tab.
  void return_to_overview();

  int channel() const { return index_; }
  bool overview_shown() const { return overview_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  page_env& env_;
  int index_ = -1;
  bool overview_ = true;
};

page* create_edit_input(QWidget* parent, page_env& env, int id);

}  // namespace vorante
