#include "ui/widgets/bank_nav.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <array>
#include <cstdint>

#include "ui/foundation/assign.h"
#include "ui/foundation/res_images.h"
#include "ui/widgets/box_cache.h"
#include "ui/widgets/widget_colours.h"
#include "ui/widgets/widget_fonts.h"

namespace vorante {

namespace {

// A black triangle pointing left on a transparent ground, 16 x 16; the right arrow is its
// mirror image.
constexpr std::array<std::uint8_t, 103> left_arrow_png{
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x10, 0x08, 0x06, 0x00, 0x00, 0x00, 0x1F, 0xF3, 0xFF,
    0x61, 0x00, 0x00, 0x00, 0x2E, 0x49, 0x44, 0x41, 0x54, 0x78, 0xDA, 0x63, 0x60, 0x18, 0x91, 0xE0,
    0x3F, 0x25, 0x1A, 0xFF, 0x93, 0x63, 0xC0, 0x7F, 0x2C, 0x98, 0x6C, 0x8D, 0x44, 0x19, 0xF0, 0x9F,
    0x08, 0x4C, 0x5B, 0x03, 0x28, 0xF6, 0x02, 0xD5, 0x02, 0x91, 0x6A, 0xD1, 0x48, 0xB5, 0x84, 0x34,
    0x48, 0x01, 0x00, 0x96, 0xEC, 0x31, 0xCF, 0x06, 0xC5, 0x2E, 0x98, 0x00, 0x00, 0x00, 0x00, 0x49,
    0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82,
};

constexpr int arrow_area_min = nav_arrow_size + 8;

box_look nav_look(bool checked) {
  const rgb565 top = checked ? bank_nav_checked : bank_nav_top;
  const rgb565 bottom = checked ? bank_nav_checked : bank_nav_bottom;
  return {top, bottom, true, theme::card_border, bank_nav_border_alpha, 1, bank_nav_radius};
}

// A touch area with its arrow in the middle; a click inside calls back.
class arrow_area_widget : public QWidget {
 public:
  arrow_area_widget(bool right, QWidget* parent) : QWidget(parent), right_(right) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    setMinimumWidth(arrow_area_min);
  }
  std::function<void()> clicked;
  QSize sizeHint() const override { return {nav_arrow_area, nav_arrow_area}; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QImage& arrow = nav_arrow_image(right_);
    p.drawImage(QPoint((width() - arrow.width()) / 2, (height() - arrow.height()) / 2), arrow);
  }
  void mousePressEvent(QMouseEvent* e) override { e->accept(); }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (rect().contains(e->position().toPoint()) && clicked) clicked();
  }

 private:
  bool right_;
};

}  // namespace

const QImage& nav_arrow_image(bool right) {
  static const QImage left_image = png_image_from_memory(left_arrow_png);
  static const QImage right_image = left_image.mirrored(true, false);
  return right ? right_image : left_image;
}

// --- channel navigator --------------------------------------------------------------------

channel_nav::channel_nav(QWidget* parent) : QWidget(parent) {
  resize(bank_nav_default_size);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  auto* left = new arrow_area_widget(false, this);
  auto* right = new arrow_area_widget(true, this);
  left->clicked = [this] { arrow_clicked(0); };
  right->clicked = [this] { arrow_clicked(1); };
  left_ = left;
  right_ = right;
  label_ = new QLabel(QStringLiteral("CH1"), this);
  label_->setFont(ui_font(default_text_px));
  label_->setAlignment(Qt::AlignCenter);
  set_text_colour(label_, Qt::white);
  row->addWidget(left_, 1);
  row->addStretch(0);
  row->addWidget(label_, 0, Qt::AlignCenter);
  row->addStretch(0);
  row->addWidget(right_, 1);
}

void channel_nav::set_name(const QString& text) { label_->setText(text); }

QString channel_nav::name() const { return label_->text(); }

void channel_nav::set_checked(bool on) {
  if (assign_changed(checked_, on)) update();
}

void channel_nav::arrow_clicked(int which) {
  if (callback_) callback_(which);
}

void channel_nav::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(QPoint(0, 0), rounded_box(size(), nav_look(checked_)));
}

// --- bank group ---------------------------------------------------------------------------

bank_group::bank_group(QWidget* parent) : QAbstractButton(parent), title_font_(ui_font(bank_group_title_px)) {
  setCheckable(true);
  resize(bank_nav_default_size);
}

void bank_group::set_title(const QString& text) {
  if (assign_changed(title_, text)) update();
}

void bank_group::set_bar_count(int n) {
  bars_.assign(static_cast<std::size_t>(std::max(n, 0)), bar{});
  update();
}

void bank_group::set_bar(int index, int value) {
  if (index < 0 || index >= bar_count()) return;
  const int v = std::clamp(value, 0, 100);
  bar& b = bars_[static_cast<std::size_t>(index)];
  if (b.value == v) return;
  b.value = v;
  update();
}

void bank_group::set_bar_hidden(int index, bool hidden) {
  if (index < 0 || index >= bar_count()) return;
  bars_[static_cast<std::size_t>(index)].hidden = hidden;
  update();
}

int bank_group::bar_value(int index) const {
  return index >= 0 && index < bar_count() ? bars_[static_cast<std::size_t>(index)].value : 0;
}

bool bank_group::bar_hidden(int index) const {
  return index >= 0 && index < bar_count() && bars_[static_cast<std::size_t>(index)].hidden;
}

int bank_group::bar_x(int index) const {
  return index >= 0 && index < bar_count() ? bars_[static_cast<std::size_t>(index)].x : 0;
}

int bank_group::title_height() const { return QFontMetrics(title_font_).height(); }

QRect bank_group::bar_row() const {
  const QRect row(0, title_height(), width(), std::max(0, height() - title_height()));
  return row.adjusted(bank_bar_row_padding, bank_bar_row_padding, -bank_bar_row_padding, -bank_bar_row_padding);
}

void bank_group::arrange_bars() {
  arrange_queued_ = false;
  int visible = 0;
  int widths = 0;
  for (const bar& b : bars_)
    if (!b.hidden) {
      ++visible;
      widths += bank_bar_width;
    }
  const double gap = double(bar_row().width() - widths) / (visible + 1);
  double x = gap;
  for (bar& b : bars_) {
    // Hidden bars keep where they were.
    if (b.hidden) continue;
    b.x = static_cast<int>(x);
    x += bank_bar_width + gap;
  }
  update();
}

void bank_group::resizeEvent(QResizeEvent* event) {
  QAbstractButton::resizeEvent(event);
  if (arrange_queued_) return;
  arrange_queued_ = true;
  QTimer::singleShot(0, this, [this] { arrange_bars(); });
}

void bank_group::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(QPoint(0, 0), rounded_box(size(), nav_look(isDown() || isChecked())));
  p.setPen(Qt::white);
  p.setFont(title_font_);
  p.drawText(QRect(0, 0, width(), title_height()), Qt::AlignCenter, title_);

  const QRect row = bar_row();
  if (row.height() <= 0) return;
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(Qt::NoPen);
  const qreal round = bank_bar_width / 2.0;
  for (const bar& b : bars_) {
    if (b.hidden) continue;
    const QRectF track(row.left() + b.x, row.top(), bank_bar_width, row.height());
    p.setBrush(to_qcolor(bank_bar_colour, bank_bar_track_alpha));
    p.drawRoundedRect(track, round, round);
    const qreal fill = track.height() * b.value / 100.0;
    if (fill <= 0) continue;
    p.setBrush(to_qcolor(bank_bar_colour));
    p.drawRoundedRect(QRectF(track.left(), track.bottom() - fill, track.width(), fill), round, round);
    // The knob sits on the level, 1 px wider than the bar on each side.
    const qreal knob = bank_bar_width + 2;
    p.drawEllipse(QRectF(track.left() - 1, track.bottom() - fill - knob / 2, knob, knob));
  }
}

}  // namespace vorante
