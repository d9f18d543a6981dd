#include "ui/screens/mixer/meter_bridge.h"

#include <QLabel>
#include <QLayout>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "app/params/names.h"
#include "app/protocol/session.h"
#include "ui/foundation/assign.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_registry.h"
#include "ui/widgets/widget_colours.h"
#include "ui/widgets/box_cache.h"
#include "ui/widgets/widget_fonts.h"

namespace vorante {

namespace {

constexpr int bridge_label_row_height = 12;
constexpr rgb565 bridge_background = 0x1988;
constexpr rgb565 bridge_border = 0x5DFD;
constexpr rgb565 bridge_label_background = 0x43F4;
constexpr rgb565 bridge_separator = 0x4476;

constexpr int bridge_radius = 4;
constexpr int label_padding_x = 4;
constexpr int label_px = 10;
constexpr int bar_border_alpha = 178;  // black at 70 %
// Where the fill turns from green to amber to red, as fractions of the bar.
constexpr double fill_amber_from = 0.62;
constexpr double fill_red_from = 0.88;

bool bar_fitted(const channel_ref& c) { return !logical_slot_of(logical_of(c.kind, c.index)).not_fitted; }

}  // namespace

bridge_bar::bridge_bar(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFixedWidth(bridge_bar_width);
}

void bridge_bar::set_value(int value) {
  value = std::clamp(value, 0, bridge_bar_max);
  if (value == value_) return;
  const int old_top = fill_top();
  value_ = value;
  const int new_top = fill_top();
  // Only the rows between the old and the new fill line look different.
  if (old_top != new_top) update(QRect(0, std::min(old_top, new_top), width(), std::abs(new_top - old_top)));
}

void bridge_bar::set_dimmed(bool on) {
  if (assign_changed(dimmed_, on)) update();
}

// The two pictures a bar is made of: the empty track in its border, and the same track
// filled from bottom to top. Painting copies rows of each, above and below the fill line.
void bridge_bar::rebuild_pictures() {
  const QSize size = this->size();
  track_ = QImage();
  full_ = QImage();
  if (size.isEmpty()) return;
  const QRectF outer = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(0.5, 0.5, -0.5, -0.5);
  const double r = outer.width() / 2;
  track_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
  track_.fill(Qt::transparent);
  {
    QPainter p(&track_);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 0, 0, bar_border_alpha), 1));
    p.setBrush(to_qcolor(theme::bar_track));
    p.drawRoundedRect(outer, r, r);
  }
  full_ = track_.copy();
  const QRectF inner = outer.adjusted(1, 1, -1, -1);
  QLinearGradient colours(inner.bottomLeft(), inner.topLeft());
  colours.setColorAt(0, to_qcolor(theme::bar_fill));
  colours.setColorAt(fill_amber_from, to_qcolor(theme::bar_fill));
  colours.setColorAt(fill_amber_from + 0.01, to_qcolor(0xFE60));
  colours.setColorAt(fill_red_from, to_qcolor(0xFE60));
  colours.setColorAt(fill_red_from + 0.01, to_qcolor(0xF800));
  colours.setColorAt(1, to_qcolor(0xF800));
  QPainter p(&full_);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath clip;
  clip.addRoundedRect(inner, inner.width() / 2, inner.width() / 2);
  p.setClipPath(clip);
  p.setPen(Qt::NoPen);
  p.setBrush(colours);
  p.drawRect(inner);
}

// The row where the fill begins: `height()` for an empty bar, the top of the inside at the
// maximum.
int bridge_bar::fill_top() const {
  if (value_ <= 0) return height();
  const double inner_h = std::max(0, height() - 3);
  const double inner_bottom = height() - 1.5;
  return std::clamp(static_cast<int>(std::lround(inner_bottom - inner_h * value_ / bridge_bar_max)), 0, height());
}

void bridge_bar::paintEvent(QPaintEvent*) {
  if (track_.size() != size()) rebuild_pictures();
  if (track_.isNull()) return;
  QPainter p(this);
  if (dimmed_) p.setOpacity(theme::offline_opacity);
  draw_split(p, QPoint(0, 0), track_, full_, fill_top());
}

meter_bridge::meter_bridge(page_env& env, QWidget* parent)
    : QWidget(parent), env_(env), label_row_(new QWidget(this)), meter_row_(new QWidget(this)) {
  setObjectName("meter_bridge");
  setFixedHeight(bridge_height);
  label_row_->setObjectName("bridge_labels");
  fill_background(label_row_, to_qcolor(bridge_label_background));

  for (int n = 0; n < bridge_bar_count; ++n) {
    const channel_ref c = bridge_channels[n];
    bars_[n] = new bridge_bar(meter_row_);
    labels_[n] = new QLabel(QString::fromStdString(channel_short_name(c.kind, c.index)), label_row_);
    labels_[n]->setFont(ui_font(label_px));
    labels_[n]->setAlignment(Qt::AlignCenter);
    set_text_colour(labels_[n], Qt::white);
    if (!bar_fitted(c)) {
      bars_[n]->hide();
      labels_[n]->hide();
    }
  }

  show_link_state(env_.nav.link_online());
  connect(&env_.nav, &navigator::link_state_shown, this, [this](bool online) { show_link_state(online); });

  timer_.setInterval(bridge_tick_ms);
  connect(&timer_, &QTimer::timeout, this, [this] { tick(env_.nav.now()); });
  timer_.start();
}

void meter_bridge::move_into(QWidget* area) {
  if (parentWidget() == area) return;
  setParent(area);
  area->layout()->addWidget(this);
  show();
}

void meter_bridge::tick(uint32_t now_ms) {
  // Unsigned difference: the clock wraps.
  const bool round = !rounds_started_ || now_ms - last_round_ms_ >= static_cast<uint32_t>(bridge_request_period_ms);
  if (round) {
    rounds_started_ = true;
    last_round_ms_ = now_ms;
  }
  link_session& s = env_.session;
  const bool online = s.engine.link_alive();
  const bool fader_page = env_.nav.is_on_screen(page_brief_channel) || env_.nav.is_on_screen(page_brief_fader);
  for (int n = 0; n < bridge_bar_count; ++n) {
    if (bars_[n]->isHidden()) continue;
    const channel_ref c = bridge_channels[n];
    if (round && online && fader_page) s.store.request(static_cast<unsigned>(meter_id(c.kind, c.index).id));
    // With the link down the bars freeze where they are.
    if (!online) continue;
    const int segment = bridge_segment(bridge_level_db(s.store, c.kind, c.index));
    bars_[n]->set_value(bridge_next_value(bars_[n]->value(), segment));
  }
}

void meter_bridge::show_link_state(bool online) {
  for (bridge_bar* b : bars_) b->set_dimmed(!online);
}

void meter_bridge::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(QPoint(0, 0), rounded_box(size(), {bridge_background, bridge_background, true, bridge_border, 255, 1,
                                                 bridge_radius}));
  p.setPen(Qt::NoPen);
  p.setBrush(to_qcolor(bridge_separator));
  p.drawRect(1, 1 + bridge_label_row_height, width() - 2, 1);
}

void meter_bridge::resizeEvent(QResizeEvent*) { place_bars(); }

void meter_bridge::place_bars() {
  // Inside the 1 px frame: the label row, the separator, then the meter row.
  const int inner_w = width() - 2;
  label_row_->setGeometry(1 + bridge_radius / 2, 1, inner_w - bridge_radius, bridge_label_row_height);
  const int meter_top = 2 + bridge_label_row_height;
  meter_row_->setGeometry(1, meter_top, inner_w, height() - meter_top - 1);

  std::vector<int> widths;
  std::vector<int> shown;
  for (int n = 0; n < bridge_bar_count; ++n) {
    if (bars_[n]->isHidden()) continue;
    widths.push_back(bridge_bar_width);
    shown.push_back(n);
  }
  const std::vector<int> x = bridge_bar_positions(meter_row_->width() - 2 * bridge_row_padding, widths);
  const int bar_h = meter_row_->height() - 2 * bridge_row_padding;
  const int label_offset = label_row_->x() - meter_row_->x();
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const int n = shown[i];
    const int left = bridge_row_padding + x[i];
    bars_[n]->setGeometry(left, bridge_row_padding, bridge_bar_width, bar_h);
    const int centre = left + bridge_bar_width / 2 - label_offset;
    const int label_w = labels_[n]->sizeHint().width() + 2 * label_padding_x;
    labels_[n]->setGeometry(centre - label_w / 2, 0, label_w, bridge_label_row_height);
  }
}

}  // namespace vorante
