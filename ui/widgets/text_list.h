// A touch-scrolled list of one-line rows with one selected row: the folder and file lists
// of the media player. It draws only the rows inside its content area, so a list of
// thousands of rows costs no more to paint than a screenful. A press that moves less than
// the scroll threshold is a click; a drag scrolls, and on release the list springs back
// into range or coasts on with the finger's last speed.
#pragma once

#include <QColor>
#include <QString>
#include <QVariantAnimation>
#include <QWidget>
#include <vector>

namespace vorante {

constexpr int text_list_text_max = 63;      // characters of a row's text
constexpr int text_list_suffix_max = 11;
constexpr int text_list_scroll_limit = 10;  // pixels a press moves before it scrolls
constexpr int text_list_spring_ms = 200;
constexpr int text_list_inertia_ms = 1000;
constexpr int text_list_text_indent = 4;

class text_list : public QWidget {
  Q_OBJECT

 public:
  struct row {
    QString text;
    QString suffix;
    const void* user = nullptr;  // for the owner, e.g. the file the row stands for
  };

  explicit text_list(QWidget* parent = nullptr);

  // Before the row at index, or at the end when index is negative or past it. Returns
  // the row's index.
  int insert(int index, const QString& text, const void* user = nullptr);
  void set_suffix(int index, const QString& suffix);
  void clear();
  // Ignored outside 0..count - 1; the click signal is not sent.
  void select(int index);
  void show_row(int index);
  void page_up();
  void page_down();
  void set_row_height(int px);

  const row* row_at(int index) const;
  int count() const { return static_cast<int>(rows_.size()); }
  int selected() const { return selected_; }
  int offset() const { return offset_; }
  int row_height() const { return row_height_; }
  bool dragging() const { return dragging_; }
  bool animating() const { return anim_.state() == QAbstractAnimation::Running; }
  int content_height() const { return row_height_ * count(); }
  int visible_height() const { return visible_height_; }
  // The rows the last paint drew.
  int rows_drawn() const { return rows_drawn_; }
  // The first row inside the content area at the current offset.
  int first_visible_row() const;

  void set_colours(QColor background, QColor text);
  // Sets the offset directly (tests and owners that restore a position).
  void set_offset(int offset);

 signals:
  // The selection changed or the list was cleared.
  void value_changed();
  // A click chose the row (select() does not send this).
  void row_clicked(int index);
  // Any press, drag or release on the list.
  void touched();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  enum class motion { none, spring, inertia };
  QRect content_rect() const;
  void release(int y);
  void spring_to(int target);
  void coast(int speed);

  std::vector<row> rows_;
  int selected_ = -1;
  int offset_ = 0;
  int row_height_;
  int visible_height_ = 0;
  QColor background_;
  QColor text_colour_{Qt::white};

  bool pressed_ = false;
  int press_y_ = 0;
  int press_offset_ = 0;
  bool dragging_ = false;
  int drag_threshold_ = 0;
  int last_y_ = 0;
  int last_speed_ = 0;

  QVariantAnimation anim_;
  motion motion_ = motion::none;
  int rows_drawn_ = 0;
};

}  // namespace vorante
