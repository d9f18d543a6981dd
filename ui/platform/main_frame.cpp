#include "ui/platform/main_frame.h"

#include <QVBoxLayout>

#include "ui/widgets/widget_colours.h"
#include "ui/platform/page_stack.h"

namespace vorante {

namespace {

constexpr int main_frame_padding = 4;

}  // namespace

main_frame::main_frame(QWidget* parent) : QWidget(parent), column_(new QVBoxLayout(this)), pages_(new page_stack(this)) {
  setObjectName("main_frame");
  fill_background(this, main_frame_colour);

  column_->setContentsMargins(main_frame_padding, main_frame_padding, main_frame_padding, main_frame_padding);
  column_->setSpacing(0);
  column_->addWidget(pages_, 1);
}

void main_frame::set_group_bar(QWidget* bar) {
  if (group_bar_) delete group_bar_;
  group_bar_ = bar;
  if (bar) column_->insertWidget(0, bar, 0);
}

}  // namespace vorante
