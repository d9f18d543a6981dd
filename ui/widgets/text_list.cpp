#include "ui/widgets/text_list.h"

#include <QEasingCurve>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "ui/foundation/assign.h"
#include "ui/foundation/colour.h"

namespace vorante {

namespace {

constexpr rgb565 selected_fill = 0x5C7C;
constexpr QRgb separator_grey = 0xFF9E9E9E;
constexpr int separator_opacity = 102;

// At most n characters (code points), never half a surrogate pair.
QString cut_characters(const QString& text, int n) {
  int units = 0;
  for (int chars = 0; units < text.size() && chars < n; ++chars)
    units += text.at(units).isHighSurrogate() && units + 1 < text.size() ? 2 : 1;
  return text.left(units);
}

}  // namespace

text_list::text_list(QWidget* parent) : QWidget(parent), row_height_(fontMetrics().height()) {
  anim_.setEasingCurve(QEasingCurve::OutCubic);
  connect(&anim_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
    if (motion_ == motion::spring) {
      set_offset(v.toInt());
    } else if (motion_ == motion::inertia) {
      const int low = std::min(0, visible_height_ - content_height());
      set_offset(std::clamp(offset_ + v.toInt(), low, 0));
    }
  });
  connect(&anim_, &QVariantAnimation::finished, this, [this] { motion_ = motion::none; });
}

QRect text_list::content_rect() const { return contentsRect(); }

void text_list::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const QMargins m = contentsMargins();
  visible_height_ = std::max(0, height() - m.top() - m.bottom() - 1);
}

void text_list::set_colours(QColor background, QColor text) {
  background_ = background;
  text_colour_ = text;
  update();
}

void text_list::set_offset(int offset) {
  if (assign_changed(offset_, offset)) update();
}

int text_list::insert(int index, const QString& text, const void* user) {
  row r{cut_characters(text, text_list_text_max), {}, user};
  if (index < 0 || index >= count()) {
    rows_.push_back(std::move(r));
    index = count() - 1;
  } else {
    rows_.insert(rows_.begin() + index, std::move(r));
    if (selected_ >= index) ++selected_;
  }
  if (count() == 1) offset_ = 0;
  update();
  return index;
}

void text_list::set_suffix(int index, const QString& suffix) {
  if (index < 0 || index >= count()) return;
  rows_[static_cast<std::size_t>(index)].suffix = cut_characters(suffix, text_list_suffix_max);
  update();
}

const text_list::row* text_list::row_at(int index) const {
  if (index < 0 || index >= count()) return nullptr;
  return &rows_[static_cast<std::size_t>(index)];
}

void text_list::clear() {
  anim_.stop();
  motion_ = motion::none;
  rows_.clear();
  selected_ = -1;
  offset_ = 0;
  emit value_changed();
  update();
}

void text_list::select(int index) {
  if (index < 0 || index >= count()) return;
  selected_ = index;
  emit value_changed();
  update();
}

void text_list::set_row_height(int px) {
  row_height_ = std::max(1, px);
  update();
}

int text_list::first_visible_row() const {
  if (rows_.empty() || offset_ >= 0) return 0;
  return std::min(count() - 1, -offset_ / row_height_);
}

// --- scrolling ------------------------------------------------------------------------

void text_list::show_row(int index) {
  if (index < 0 || index >= count()) return;
  const int top = index * row_height_;
  const int y = top + offset_;
  const bool partly_at_top = y < 0 && y + row_height_ > 0;
  const bool inside = y >= 0 && y < visible_height_;
  if (partly_at_top || inside) return;
  int offset = -top;
  if (offset < 0 && offset + content_height() < visible_height_) offset = visible_height_ - content_height();
  anim_.stop();
  set_offset(offset);
}

void text_list::page_up() {
  anim_.stop();
  set_offset(content_height() > visible_height_ ? std::min(0, offset_ + visible_height_) : 0);
}

void text_list::page_down() {
  anim_.stop();
  if (content_height() <= visible_height_) {
    set_offset(0);
    return;
  }
  int offset = offset_ - visible_height_;
  if (offset < 0 && offset + content_height() < visible_height_) offset = visible_height_ - content_height();
  set_offset(offset);
}

// --- touch ------------------------------------------------------------------------------

void text_list::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  anim_.stop();
  motion_ = motion::none;
  pressed_ = true;
  dragging_ = false;
  drag_threshold_ = 0;
  press_y_ = last_y_ = event->position().toPoint().y();
  last_speed_ = 0;
  press_offset_ = offset_;
  emit touched();
}

void text_list::mouseMoveEvent(QMouseEvent* event) {
  if (!pressed_ || rows_.empty()) return;
  const int y = event->position().toPoint().y();
  const int m = y - press_y_;
  if (!dragging_) {
    if (m >= text_list_scroll_limit)
      drag_threshold_ = text_list_scroll_limit;
    else if (m <= -text_list_scroll_limit)
      drag_threshold_ = -text_list_scroll_limit;
    else
      return;
    dragging_ = true;
  }
  last_speed_ = y - last_y_;
  last_y_ = y;
  set_offset(press_offset_ + (m - drag_threshold_));
  emit touched();
}

void text_list::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !pressed_) return QWidget::mouseReleaseEvent(event);
  release(event->position().toPoint().y());
  emit touched();
}

void text_list::hideEvent(QHideEvent* event) {
  // A press that loses its list ends as a drag would, without choosing a row.
  if (pressed_ && dragging_) release(0);
  pressed_ = false;
  QWidget::hideEvent(event);
}

void text_list::release(int y) {
  pressed_ = false;
  if (!dragging_) {
    const int in_content = y - content_rect().top();
    if (in_content >= offset_) {
      const int index = (in_content - offset_) / row_height_;
      if (index < count()) {
        selected_ = index;
        emit value_changed();
        emit row_clicked(index);
        update();
      }
    }
    return;
  }
  const int content = content_height();
  if (offset_ > 0)
    spring_to(0);
  else if (offset_ < 0 && content <= visible_height_)
    spring_to(0);
  else if (offset_ < 0 && offset_ + content >= visible_height_)
    coast(last_speed_);
  else if (offset_ < 0)
    spring_to(visible_height_ - content);
  dragging_ = false;
}

void text_list::spring_to(int target) {
  anim_.stop();
  motion_ = motion::spring;
  anim_.setDuration(text_list_spring_ms);
  anim_.setStartValue(offset_);
  anim_.setEndValue(target);
  anim_.start();
}

void text_list::coast(int speed) {
  anim_.stop();
  if (speed == 0) return;
  motion_ = motion::inertia;
  anim_.setDuration(text_list_inertia_ms);
  anim_.setStartValue(speed);
  anim_.setEndValue(0);
  anim_.start();
}

// --- drawing ------------------------------------------------------------------------------

void text_list::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (background_.isValid()) p.fillRect(rect(), background_);
  const QRect content = content_rect();
  p.setClipRect(content);
  p.setFont(font());
  rows_drawn_ = 0;
  if (rows_.empty()) return;
  const int first = first_visible_row();
  QColor separator = QColor::fromRgb(separator_grey);
  separator.setAlpha(separator_opacity);
  const QColor fill = to_qcolor(selected_fill);
  for (int k = first; k < count(); ++k) {
    const int top = content.top() + offset_ + k * row_height_;
    if (top >= content.bottom() + 1) break;
    if (top + row_height_ <= content.top()) continue;
    ++rows_drawn_;
    const row& r = rows_[static_cast<std::size_t>(k)];
    const int bottom = top + row_height_ - 1;
    if (k + 1 < count()) {
      p.setPen(separator);
      p.drawLine(content.left(), bottom, content.right() + 1, bottom);
    }
    if (k == selected_) {
      const int from = k == 0 ? top + 1 : top;
      p.fillRect(QRect(content.left(), from, content.width(), bottom - from), fill);
    }
    p.setPen(text_colour_);
    p.drawText(QRect(content.left() + text_list_text_indent, top, content.width() - text_list_text_indent, row_height_),
               Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, r.text + r.suffix);
  }
}

}  // namespace vorante
