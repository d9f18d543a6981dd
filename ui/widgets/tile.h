// The tile: a titled value box. Pressed or checked, it turns orange with a black title and a
// green value box.
#pragma once

#include <QAbstractButton>
#include <QRect>
#include <QString>

#include "ui/foundation/colour.h"

namespace vorante {

constexpr rgb565 tile_background = 0x52CB;
constexpr rgb565 tile_highlight = 0xFCC0;
constexpr rgb565 tile_value_background = 0x39E8;
constexpr rgb565 tile_value_highlight = 0x146A;
constexpr int tile_radius = 4;

struct tile_geometry {
  QRect title;
  QRect value;
};

// Title row on top (its text height), value box below taking the rest of the inner area but
// never less than the minimum height.
tile_geometry tile_layout(QSize size, int title_height);

class tile : public QAbstractButton {
  Q_OBJECT

 public:
  explicit tile(QWidget* parent = nullptr);

  void set_title(const QString& text);
  QString title() const { return title_; }
  // An empty value leaves the value box empty.
  void set_value(const QString& text);
  QString value() const { return value_; }

  // Title and value box follow the tile: highlighted while it is pressed or checked.
  bool highlighted() const { return isDown() || isChecked(); }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int title_height() const;

  QString title_;
  QString value_;
  QFont title_font_;
};

}  // namespace vorante
