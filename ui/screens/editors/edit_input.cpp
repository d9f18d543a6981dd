#include "ui/screens/editors/edit_input.h"

#include <QPainter>

#include "app/params/ids.h"
#include "ui/foundation/colour.h"
#include "ui/pages/page_table.h"

namespace vorante {

namespace {
constexpr rgb565 body_background = 0x1106;
constexpr int body_radius = 4;
}  // namespace

edit_input_page::edit_input_page(QWidget* parent, page_env& env) : page(parent, page_edit_input), env_(env) {
  setObjectName("edit_input");
}

void edit_input_page::open(int index) {
  if (!is_channel(kind_input, index)) return;
  index_ = index;
}

void edit_input_page::return_to_overview() { overview_ = true; }

void edit_input_page::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(to_qcolor(body_background));
  p.drawRoundedRect(QRectF(rect()), body_radius, body_radius);
}

page* create_edit_input(QWidget* parent, page_env& env, int id) {
  (void)id;
  return new edit_input_page(parent, env);
}

}  // namespace vorante
