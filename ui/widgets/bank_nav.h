// Two small widgets of the editor frame's top bar: the channel navigator (previous and next
// arrows around a channel name) and the bank group (a titled tile with one small level bar
// per channel of a bank).
#pragma once

#include <QAbstractButton>
#include <QImage>
#include <QLabel>
#include <QWidget>
#include <functional>
#include <vector>

#include "ui/foundation/colour.h"

namespace vorante {

constexpr QSize bank_nav_default_size{120, 60};
constexpr rgb565 bank_nav_top = 0x5AEB;
constexpr rgb565 bank_nav_bottom = 0x3186;
constexpr rgb565 bank_nav_checked = 0x0377;
constexpr int bank_nav_radius = 4;
constexpr int bank_nav_border_alpha = 102;
// An arrow's touch area: as wide as this where there is room, never narrower than the arrow.
constexpr int nav_arrow_area = 130;
constexpr int nav_arrow_size = 16;

constexpr int bank_group_title_px = 16;
constexpr int bank_bar_width = 4;
constexpr int bank_bar_row_padding = 4;
constexpr rgb565 bank_bar_colour = 0x0780;
constexpr int bank_bar_track_alpha = 51;  // 20 %

// The arrow pictures, decoded once and shared by every navigator.
const QImage& nav_arrow_image(bool right);

class channel_nav : public QWidget {
  Q_OBJECT

 public:
  explicit channel_nav(QWidget* parent = nullptr);

  void set_name(const QString& text);
  QString name() const;
  // which: 0 the left arrow, 1 the right arrow.
  void set_callback(std::function<void(int which)> callback) { callback_ = std::move(callback); }
  void set_checked(bool on);
  bool checked() const { return checked_; }

  QWidget* arrow_area(int which) const { return which == 0 ? left_ : right_; }
  QSize sizeHint() const override { return bank_nav_default_size; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void arrow_clicked(int which);

  QWidget* left_;
  QLabel* label_;
  QWidget* right_;
  std::function<void(int)> callback_;
  bool checked_ = false;
};

class bank_group : public QAbstractButton {
  Q_OBJECT

 public:
  explicit bank_group(QWidget* parent = nullptr);

  void set_title(const QString& text);
  QString title() const { return title_; }
  // Replaces the bars: n new ones at value 50, placed at the next size change.
  void set_bar_count(int n);
  int bar_count() const { return static_cast<int>(bars_.size()); }
  // 0..100, without animation; ignored past the bar count.
  void set_bar(int index, int value);
  void set_bar_hidden(int index, bool hidden);
  int bar_value(int index) const;
  bool bar_hidden(int index) const;
  // Left edge of a bar inside the bar row's padding.
  int bar_x(int index) const;
  // The bar row inside the group: below the title, with the row's padding.
  QRect bar_row() const;
  // What a size change runs on the next pass of the event loop.
  void arrange_bars();

  QSize sizeHint() const override { return bank_nav_default_size; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct bar {
    int value = 50;
    bool hidden = false;
    int x = 0;
  };
  int title_height() const;

  QString title_ = QStringLiteral("TITLE");
  QFont title_font_;
  std::vector<bar> bars_;
  bool arrange_queued_ = false;
};

}  // namespace vorante
