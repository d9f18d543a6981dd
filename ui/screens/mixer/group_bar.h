// The group bar across the top of the main frame ("-gbar 1"): a tile per channel group with
// small bars following the faders of its channels, "LR" for the MAIN faders, the "MEDIA"
// and "SYSTEM" shortcuts and the link indicator.
#pragma once

#include <QAbstractButton>
#include <QButtonGroup>
#include <QImage>
#include <QLabel>
#include <QWidget>
#include <array>
#include <optional>
#include <vector>

#include "ui/foundation/colour.h"

namespace vorante {

class navigator;

constexpr int group_bar_height = 64;
constexpr rgb565 group_bar_background = 0x4208;
constexpr rgb565 group_link_online = 0x07E0;
constexpr rgb565 group_link_offline = 0xF800;
inline constexpr const char* group_link_online_icon = "res/common/img_online.png";
inline constexpr const char* group_link_offline_icon = "res/common/img_offline.png";

// Tiles with bars: the four groups, then "LR".
constexpr int group_tile_count = 5;
constexpr int group_tile_lr = 4;
inline constexpr std::array<const char*, group_tile_count> group_tile_names{"IN1-8", "IN9-16", "ST-FX", "AUX1-8", "LR"};
inline constexpr std::array<int, group_tile_count> group_tile_bars{8, 8, 5, 8, 2};

struct group_bar_place {
  int tile;
  int bar;
  friend bool operator==(const group_bar_place&, const group_bar_place&) = default;
};

// Where the fader of (kind, index) shows; none for channels without a bar. The fifth bar
// of "ST-FX" follows DIGI (input 24), the fifth channel of the "ST-FX" bank.
constexpr std::optional<group_bar_place> group_bar_place_of(int kind, int index) {
  switch (kind) {
    case 1:
      if (index >= 0 && index < 8) return group_bar_place{0, index};
      if (index >= 8 && index < 16) return group_bar_place{1, index - 8};
      if (index == 16) return group_bar_place{2, 0};
      if (index == 18) return group_bar_place{2, 1};
      if (index == 24) return group_bar_place{2, 4};
      return std::nullopt;
    case 2:
      if (index >= 0 && index < 2) return group_bar_place{2, index + 2};
      return std::nullopt;
    case 3:
      if (index >= 0 && index < 8) return group_bar_place{3, index};
      if (index >= 8 && index < 10) return group_bar_place{group_tile_lr, index - 8};
      return std::nullopt;
    default: return std::nullopt;
  }
}

// A fader level in dB as a position on the fader scale (0 = off .. the top at +10 dB).
int group_bar_position(double db);
int group_bar_top();

// A thin vertical display of one fader.
class group_level_bar : public QWidget {
  Q_OBJECT

 public:
  explicit group_level_bar(QWidget* parent = nullptr);
  void set_value(int value);
  int value() const { return value_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int value_ = 0;
};

class group_bar : public QWidget {
  Q_OBJECT

 public:
  explicit group_bar(navigator& nav, QWidget* parent = nullptr);

  // A fader level arrived for (kind, index): its bar moves, without animation.
  void set_level(int kind, int index, double db);
  void set_link(bool online);

  group_level_bar* level_bar(int tile, int bar) const;
  // The six selectable tiles: the four groups, "MEDIA", "SYSTEM".
  QAbstractButton* selectable(int n) const { return selection_.button(n); }
  int selected() const { return selection_.checkedId(); }
  QWidget* link_image() const { return link_image_; }
  bool link_shown_online() const { return online_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void clicked(int n);

  navigator& nav_;
  QButtonGroup selection_;
  std::array<std::vector<group_level_bar*>, group_tile_count> bars_;
  QLabel* link_image_ = nullptr;
  bool online_ = false;
};

// The link image as the bar shows it.
QImage group_link_icon(bool online);

}  // namespace vorante
