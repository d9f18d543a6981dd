// The sends panel: a channel's send levels as small horizontal sliders in three boxes,
// AUX (eight by default), FX (two) and MAIN (L and R). The owner pushes stored send
// values in by parameter and hears which slider the user moved.
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>
#include <vector>

#include "ui/foundation/colour.h"
#include "ui/widgets/touch_slider.h"

class QLabel;
class QVBoxLayout;

namespace vorante {

constexpr rgb565 send_post_colour = 0xFCC0;  // orange: after the fader
constexpr rgb565 send_pre_colour = 0x56E8;   // green: before the fader

enum send_group : int { send_group_aux = 0, send_group_fx = 1, send_group_main = 2 };
constexpr int send_group_count = 3;
constexpr int default_aux_sends = 8;
constexpr int default_fx_sends = 2;

// A send level: a thin bar 0..100 with a white knob. A drag moves it by the distance the
// finger travels, so touching it never changes the send by itself.
class send_slider : public touch_slider {
  Q_OBJECT

 public:
  explicit send_slider(QWidget* parent = nullptr);

  void set_colour(rgb565 c);
  rgb565 colour() const { return colour_; }
  void set_compact(bool on);

  // Where the knob's centre can go, and the knob at a value.
  QRectF track_rect() const;
  QRectF knob_rect_of(int value) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void drag_started(double x) override;
  void dragged_to(double x) override;

 private:
  int track_height() const;

  rgb565 colour_ = send_post_colour;
  bool compact_ = false;
  double grab_x_ = 0;
  int grab_value_ = 0;
};

// The last slider the user moved.
struct send_event {
  int type = 0;  // 1 once a slider has moved
  send_slider* slider = nullptr;
  int item = 0;
  int group = 0;
};

// Boxes stacked in a panel's height: each box needs its fixed part (padding, title) and
// shares the rest by its rows, so that a row is equally high in every box; the pixels
// that do not divide go one each to the first rows. The gaps between the boxes give way,
// down to `min_gap`, before a row gets less than `row_min`.
struct box_stack {
  int gap = 0;
  std::vector<int> heights;
};
box_stack stack_boxes(int height, int gap, int min_gap, int row_min, const std::vector<int>& fixed,
                      const std::vector<int>& rows);

class sends_panel : public QWidget {
  Q_OBJECT

 public:
  explicit sends_panel(QWidget* parent = nullptr);

  // Rebuilds with n AUX and m FX sliders; ignored unless both are at least 1.
  void build(int aux_items, int fx_items);
  // Titles turned on their side left of each box, or written above it.
  void set_vertical_titles(bool on);
  bool vertical_titles() const { return vertical_titles_; }
  // Bare rows without the boxes' frames, and slightly thicker sliders.
  void set_compact(bool on);
  bool compact() const { return compact_; }

  // The channel whose sends are shown: an aux output shows none, an effect return no FX
  // sends; the remaining boxes keep their places.
  void set_channel(int kind, int index);
  int channel_kind() const { return kind_; }
  int channel_index() const { return index_; }

  // A stored value of the channel shown: moves and colours the slider of that send.
  // Returns whether the parameter belonged to a slider.
  bool param_changed(unsigned id, std::uint16_t raw);

  int item_count(int group) const;
  send_slider* slider(int group, int item) const;
  QLabel* item_label(int group, int item) const;
  QWidget* group_box(int group) const;

  const send_event& last_event() const { return last_event_; }
  int last_value() const { return last_value_; }
  double last_relative() const { return last_relative_; }

  QSize sizeHint() const override;

 signals:
  // The user moved a slider: group (0 AUX, 1 FX, 2 MAIN), item from 0, value 0..100.
  void send_changed(int group, int item, int value);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct group_parts {
    QWidget* box = nullptr;
    QWidget* title = nullptr;
    std::vector<send_slider*> sliders;
    std::vector<QLabel*> labels;
  };

  void rebuild();
  void share_height();
  QWidget* make_box(int group, int items);
  void apply_channel_visibility();
  void report(int group, int item, int value);

  QVBoxLayout* column_;
  std::array<group_parts, send_group_count> groups_;
  int aux_items_ = default_aux_sends;
  int fx_items_ = default_fx_sends;
  bool vertical_titles_ = false;
  bool compact_ = false;
  int kind_ = 0;
  int index_ = 0;
  send_event last_event_;
  int last_value_ = -1;
  double last_relative_ = 0;
};

}  // namespace vorante
