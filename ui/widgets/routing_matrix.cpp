#include "ui/widgets/routing_matrix.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "ui/widgets/widget_fonts.h"

namespace vorante {

namespace {

constexpr int padding = 6;
constexpr int row_label_gap = 8;
constexpr int column_label_gap = 6;
constexpr int label_chars = 7;
constexpr rgb565 grid_colour = 0xCE59;
constexpr rgb565 pressed_colour = 0xFFE0;
constexpr QColor marker_border{0x21, 0x96, 0xF3, 178};
constexpr int matrix_font_px = 12;

QPen line_pen(rgb565 colour, bool solid) {
  QPen pen(to_qcolor(colour), 1);
  if (!solid) pen.setDashPattern({4, 6});
  return pen;
}

}  // namespace

routing_matrix::routing_matrix(QWidget* parent) : QWidget(parent) {
  setFont(ui_font(matrix_font_px));
  resize(480, 320);
  set_size(8, 16);
}

bool routing_matrix::set_size(int rows, int columns) {
  if (!grid_.set_size(rows, columns)) return false;
  for (int r = 0; r < routing_grid::max_rows; ++r) row_labels_[static_cast<std::size_t>(r)] = QString("REC%1").arg(r + 1);
  for (int c = 0; c < routing_grid::max_columns; ++c) column_labels_[static_cast<std::size_t>(c)] = QString::number(c + 1);
  relayout();
  update();
  return true;
}

void routing_matrix::set_column_label(int column, const QString& text) {
  if (column < 0 || column >= grid_.columns()) return;
  column_labels_[static_cast<std::size_t>(column)] = text.left(label_chars);
  relayout();
  update();
}

QString routing_matrix::column_label(int column) const {
  return column >= 0 && column < routing_grid::max_columns ? column_labels_[static_cast<std::size_t>(column)] : QString();
}

QString routing_matrix::row_label(int row) const {
  return row >= 0 && row < routing_grid::max_rows ? row_labels_[static_cast<std::size_t>(row)] : QString();
}

void routing_matrix::route(int row, int column) {
  grid_.route(row, column);
  update();
}

void routing_matrix::set_marker_colour(rgb565 colour) {
  marker_ = colour;
  update();
}

void routing_matrix::resizeEvent(QResizeEvent*) { relayout(); }

void routing_matrix::relayout() {
  const QFontMetrics fm(font());
  const int h = fm.height();
  label_width_ = 0;
  for (int r = 0; r < grid_.rows(); ++r)
    label_width_ = std::max(label_width_, fm.horizontalAdvance(row_labels_[static_cast<std::size_t>(r)]));
  const int left = padding + label_width_ + row_label_gap;
  const int top = padding + h + column_label_gap;
  const int right =
      width() - 1 - padding - fm.horizontalAdvance(column_labels_[static_cast<std::size_t>(grid_.columns() - 1)]) / 2;
  const int bottom = height() - 1 - h / 2 - padding;
  const float row_step = static_cast<float>(bottom - top) / static_cast<float>(grid_.rows() - 1);
  const float column_step = static_cast<float>(right - left) / static_cast<float>(grid_.columns() - 1);
  for (int r = 0; r < grid_.rows(); ++r)
    row_y_[static_cast<std::size_t>(r)] = static_cast<int>(static_cast<float>(top) + static_cast<float>(r) * row_step);
  for (int c = 0; c < grid_.columns(); ++c)
    column_x_[static_cast<std::size_t>(c)] =
        static_cast<int>(static_cast<float>(left) + static_cast<float>(c) * column_step);
  row_y_[static_cast<std::size_t>(grid_.rows() - 1)] = bottom;
  column_x_[static_cast<std::size_t>(grid_.columns() - 1)] = right;
}

void routing_matrix::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setFont(font());
  const QFontMetrics fm(font());
  const int h = fm.height();
  const int rows = grid_.rows();
  const int columns = grid_.columns();
  const int left = column_x_[0];
  const int right = column_x_[static_cast<std::size_t>(columns - 1)];
  const int top = row_y_[0];
  const int bottom = row_y_[static_cast<std::size_t>(rows - 1)];

  for (int r = 0; r < rows; ++r) {
    const int y = row_y_[static_cast<std::size_t>(r)];
    p.setPen(line_pen(r == pressed_row_ ? pressed_colour : grid_colour, r == 0 || r == rows - 1));
    p.drawLine(left, y, right, y);
    p.setPen(Qt::white);
    p.drawText(QRect(left - row_label_gap - 1 - label_width_, y - h / 2, label_width_, h), Qt::AlignRight | Qt::AlignVCenter,
               row_labels_[static_cast<std::size_t>(r)]);
  }
  for (int c = 0; c < columns; ++c) {
    const int x = column_x_[static_cast<std::size_t>(c)];
    p.setPen(line_pen(c == pressed_column_ ? pressed_colour : grid_colour, c == 0 || c == columns - 1));
    p.drawLine(x, top, x, bottom);
    p.setPen(Qt::white);
    const QString& label = column_labels_[static_cast<std::size_t>(c)];
    const int w = fm.horizontalAdvance(label) + 2;
    p.drawText(QRect(x - w / 2, top - column_label_gap - h, w, h), Qt::AlignCenter, label);
  }
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(marker_border, 1));
  p.setBrush(to_qcolor(marker_));
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < columns; ++c)
      if (grid_.routed(r, c))
        p.drawEllipse(QPointF(column_x_[static_cast<std::size_t>(c)], row_y_[static_cast<std::size_t>(r)]), h / 2.0, h / 2.0);
}

int routing_matrix::hit_row(int y) const {
  const int pitch = row_y_[1] - row_y_[0];
  for (int r = 0; r < grid_.rows(); ++r)
    if (std::abs(y - row_y_[static_cast<std::size_t>(r)]) * 2 <= pitch) return r;
  return -1;
}

int routing_matrix::hit_column(int x) const {
  const int pitch = column_x_[1] - column_x_[0];
  for (int c = 0; c < grid_.columns(); ++c)
    if (std::abs(x - column_x_[static_cast<std::size_t>(c)]) * 2 <= pitch) return c;
  return -1;
}

void routing_matrix::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  pressed_row_ = hit_row(pos.y());
  pressed_column_ = hit_column(pos.x());
  update();
}

void routing_matrix::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (rect().contains(pos) && pressed_row_ >= 0 && pressed_column_ >= 0) {
    const int r = hit_row(pos.y());
    const int c = hit_column(pos.x());
    if (r >= 0 && c >= 0) grid_.route(r, c);
  }
  pressed_row_ = -1;
  pressed_column_ = -1;
  update();
}

}  // namespace vorante
