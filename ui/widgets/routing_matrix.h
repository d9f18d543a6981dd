// The routing matrix: rows along the left, columns along the top, a round marker at every
// routed crossing. A tap on a crossing routes that row to that column; the owner reads the
// routing when it needs it.
#pragma once

#include <QString>
#include <QWidget>
#include <array>

#include "app/settings/routing_rules.h"
#include "ui/foundation/colour.h"

namespace vorante {

class routing_matrix : public QWidget {
  Q_OBJECT

 public:
  explicit routing_matrix(QWidget* parent = nullptr);

  // False, and nothing changes, outside 2..32 rows and 2..34 columns; otherwise default
  // labels and the one-to-one routing.
  bool set_size(int rows, int columns);
  void set_column_label(int column, const QString& text);
  QString column_label(int column) const;
  QString row_label(int row) const;
  // -1, -1: one-to-one.
  void route(int row, int column);
  void set_marker_colour(rgb565 colour);

  const routing_grid& grid() const { return grid_; }
  int rows() const { return grid_.rows(); }
  int columns() const { return grid_.columns(); }
  int column_of_row(int row) const { return grid_.column_of_row(row); }
  int row_of_column(int column) const { return grid_.row_of_column(column); }

  // Where row and column lines lie, after the last layout.
  int row_y(int row) const { return row_y_[static_cast<std::size_t>(row)]; }
  int column_x(int column) const { return column_x_[static_cast<std::size_t>(column)]; }

  QSize sizeHint() const override { return {480, 320}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void relayout();
  int hit_row(int y) const;
  int hit_column(int x) const;

  routing_grid grid_;
  std::array<QString, routing_grid::max_rows> row_labels_;
  std::array<QString, routing_grid::max_columns> column_labels_;
  std::array<int, routing_grid::max_rows> row_y_{};
  std::array<int, routing_grid::max_columns> column_x_{};
  int label_width_ = 0;
  rgb565 marker_ = 0xF800;
  int pressed_row_ = -1;
  int pressed_column_ = -1;
};

}  // namespace vorante
