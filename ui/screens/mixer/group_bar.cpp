#include "ui/screens/mixer/group_bar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include "app/params/convert.h"
#include "ui/foundation/res_images.h"
#include "ui/foundation/resource_volume.h"
#include "ui/foundation/assign.h"
#include "ui/pages/navigator.h"
#include "ui/widgets/widget_colours.h"
#include "ui/widgets/widget_fonts.h"

namespace vorante {

namespace {

constexpr int group_tile_width = 112;
constexpr int lr_tile_width = 32;
constexpr int group_level_bar_width = 4;
constexpr rgb565 group_tile_border = 0xA514;
constexpr rgb565 group_separator = 0x630C;
constexpr QRgb group_tile_checked = 0xE91E63;  // palette pink, shown at half opacity

constexpr int bar_padding = 2;
constexpr int bar_padding_left = 4;
constexpr int bar_gap = 4;
constexpr int tile_radius = 4;
constexpr int tile_label_px = 16;
constexpr int shortcut_gap = 2;
constexpr int level_row_padding = 4;
constexpr int checked_alpha = 127;
constexpr int shortcut_icon_size = 28;

// Selectable tiles: the groups are 0..3, then the shortcuts.
constexpr int selectable_media = 4;
constexpr int selectable_system = 5;

// Arguments of the player for its shortcut.
constexpr int media_shortcut_argument = -1;

QLabel* tile_label(const QString& text, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  l->setFont(ui_font(tile_label_px));
  l->setAlignment(Qt::AlignCenter);
  l->setAttribute(Qt::WA_TransparentForMouseEvents);
  // On a button a label draws with the button-text role unless told otherwise.
  l->setForegroundRole(QPalette::WindowText);
  set_text_colour(l, Qt::white);
  return l;
}

// A tile: rounded outline, pink while checked. The labels and bars inside let clicks through.
class bar_tile : public QAbstractButton {
 public:
  bar_tile(bool bordered, QWidget* parent) : QAbstractButton(parent), bordered_(bordered) {
    // Full height of the bar; the width is set per tile.
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QColor fill = Qt::transparent;
    if (isChecked()) {
      fill = QColor::fromRgb(group_tile_checked);
      fill.setAlpha(checked_alpha);
    }
    p.setBrush(fill);
    p.setPen(bordered_ ? QPen(to_qcolor(group_tile_border), 1) : Qt::NoPen);
    p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), tile_radius, tile_radius);
  }

 private:
  bool bordered_;
};

class clickable_image : public QLabel {
 public:
  explicit clickable_image(QWidget* parent) : QLabel(parent) { setCursor(Qt::PointingHandCursor); }
  std::function<void()> clicked;

 protected:
  void mousePressEvent(QMouseEvent* e) override { e->accept(); }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (rect().contains(e->position().toPoint()) && clicked) clicked();
  }
};

}  // namespace

int group_bar_position(double db) { return nearest_ladder_index(ladder_of(value_type::fader_level), db); }

int group_bar_top() { return group_bar_position(10.0); }

QImage group_link_icon(bool online) {
  return image_file_load_recoloured(res_path(online ? group_link_online_icon : group_link_offline_icon),
                                    to_qcolor(online ? group_link_online : group_link_offline));
}

group_level_bar::group_level_bar(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFixedWidth(group_level_bar_width + 2);  // the knob stands 1 px out on each side
}

void group_level_bar::set_value(int value) {
  if (assign_changed(value_, std::clamp(value, 0, group_bar_top()))) update();
}

void group_level_bar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF track = QRectF(1, 1, group_level_bar_width, height() - 2);
  const double r = group_level_bar_width / 2.0;
  p.setPen(Qt::NoPen);
  p.setBrush(to_qcolor(theme::bar_track));
  p.drawRoundedRect(track, r, r);
  const double y = track.bottom() - track.height() * value_ / group_bar_top();
  if (value_ > 0) {
    p.setBrush(to_qcolor(theme::bar_fill));
    p.drawRoundedRect(QRectF(track.left(), y, track.width(), track.bottom() - y), r, r);
  }
  // The knob marks the fader's place.
  p.setBrush(Qt::white);
  p.drawRoundedRect(QRectF(0, std::clamp(y - 2, 0.0, height() - 4.0), width(), 4), 1, 1);
}

group_bar::group_bar(navigator& nav, QWidget* parent) : QWidget(parent), nav_(nav) {
  setObjectName("group_bar");
  setFixedHeight(group_bar_height);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(bar_padding_left, bar_padding, bar_padding, bar_padding);
  row->setSpacing(bar_gap);
  selection_.setExclusive(true);

  for (int t = 0; t < group_tile_count; ++t) {
    const bool lr = t == group_tile_lr;
    auto* tile = new bar_tile(!lr, this);
    tile->setObjectName(QString("group_tile_%1").arg(group_tile_names[t]));
    tile->setFixedWidth(lr ? lr_tile_width : group_tile_width);
    auto* column = new QVBoxLayout(tile);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(tile_label(QString::fromLatin1(group_tile_names[t]), tile));
    auto* levels = new QWidget(tile);
    levels->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* level_row = new QHBoxLayout(levels);
    level_row->setContentsMargins(level_row_padding, level_row_padding, level_row_padding, level_row_padding);
    level_row->setSpacing(0);
    // Equal room around every bar.
    level_row->addStretch(1);
    for (int b = 0; b < group_tile_bars[t]; ++b) {
      auto* bar = new group_level_bar(levels);
      bars_[t].push_back(bar);
      level_row->addWidget(bar);
      level_row->addStretch(2);
    }
    level_row->setStretch(level_row->count() - 1, 1);
    column->addWidget(levels, 1);
    if (!lr) {
      tile->setCheckable(true);
      selection_.addButton(tile, t);
    }
    row->addWidget(tile);
  }

  auto* separator = new QWidget(this);
  separator->setFixedWidth(1);
  fill_background(separator, to_qcolor(group_separator));
  row->addWidget(separator);

  const std::array<std::pair<const char*, const char*>, 2> shortcuts{{
      {"MEDIA", "res/media/img_usb_music.png"},
      {"SYSTEM", "res/setting/png_icon_setting.png"},
  }};
  for (int s = 0; s < 2; ++s) {
    auto* tile = new bar_tile(true, this);
    tile->setObjectName(QString("group_tile_%1").arg(shortcuts[s].first));
    tile->setFixedWidth(group_tile_width);
    tile->setCheckable(true);
    auto* column = new QVBoxLayout(tile);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(shortcut_gap);
    column->addWidget(tile_label(QString::fromLatin1(shortcuts[s].first), tile));
    auto* icon = new QLabel(tile);
    icon->setAttribute(Qt::WA_TransparentForMouseEvents);
    icon->setAlignment(Qt::AlignCenter);
    const QImage picture = image_file_load_recoloured(res_path(shortcuts[s].second), Qt::white);
    icon->setPixmap(QPixmap::fromImage(picture.scaled(shortcut_icon_size, shortcut_icon_size, Qt::KeepAspectRatio,
                                                      Qt::SmoothTransformation)));
    column->addWidget(icon, 1);
    selection_.addButton(tile, selectable_media + s);
    row->addWidget(tile);
  }
  connect(&selection_, &QButtonGroup::idClicked, this, [this](int n) { clicked(n); });

  row->addStretch(1);
  auto* link = new clickable_image(this);
  link->setObjectName("group_link");
  link->clicked = [this] { nav_.open_connect_dialog(); };
  link_image_ = link;
  row->addWidget(link, 0, Qt::AlignVCenter);
  set_link(false);
}

void group_bar::clicked(int n) {
  if (n < selectable_media) {
    nav_.select_bank(n);
  } else if (n == selectable_media) {
    nav_.show_player(media_shortcut_argument);
  } else if (n == selectable_system) {
    nav_.show_settings();
  }
}

void group_bar::set_level(int kind, int index, double db) {
  const auto place = group_bar_place_of(kind, index);
  if (!place || place->bar >= static_cast<int>(bars_[place->tile].size())) return;
  bars_[place->tile][place->bar]->set_value(group_bar_position(db));
}

void group_bar::set_link(bool online) {
  if (online == online_ && !link_image_->pixmap().isNull()) return;
  online_ = online;
  link_image_->setPixmap(QPixmap::fromImage(group_link_icon(online)));
}

group_level_bar* group_bar::level_bar(int tile, int bar) const {
  if (tile < 0 || tile >= group_tile_count || bar < 0 || bar >= static_cast<int>(bars_[tile].size())) return nullptr;
  return bars_[tile][bar];
}

void group_bar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), to_qcolor(group_bar_background));
}

}  // namespace vorante
