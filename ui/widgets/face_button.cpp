#include "ui/widgets/face_button.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cstdarg>

#include "ui/foundation/assign.h"
#include "ui/widgets/box_cache.h"
#include "ui/widgets/widget_fonts.h"

namespace vorante {

namespace {

constexpr int face_radius = 4;
constexpr int face_border_width = 1;
constexpr int progress_height = 8;
constexpr QSize default_size{80, 40};
// Disabled controls keep their colours but fade, so a state still reads at a glance.
constexpr qreal disabled_opacity = 0.4;
}  // namespace

progress_geometry progress_rects(QSize size, int percent) {
  const int p = std::clamp(percent, 0, 100);
  const int inner_w = std::max(0, size.width() - 2 * face_border_width);
  const QRect track(face_border_width, size.height() - face_border_width - progress_height,
                    inner_w, progress_height);
  const QRect fill(track.left(), track.top(), inner_w * p / 100, progress_height);
  return {track, fill};
}

face_button::face_button(QWidget* parent) : QAbstractButton(parent) {
  setFont(ui_font(default_text_px));
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  resize(default_size);
}

QSize face_button::sizeHint() const { return default_size; }

void face_button::set_text(const QString& text) {
  if (text.isEmpty()) {
    if (!label_shown_) return;
    label_shown_ = false;
  } else {
    if (label_shown_ && text == label_text_) return;
    label_text_ = text;
    label_shown_ = true;
  }
  update();
}

void face_button::set_textf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const QString text = QString::vasprintf(format, args);
  va_end(args);
  set_text(text);
}

void face_button::set_type(int type) {
  if (assign_changed(type_, type)) update();
}

void face_button::set_progress(int percent) {
  const int p = std::clamp(percent, 0, 100);
  if (assign_changed(progress_, p)) update();
}

void face_button::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (!isEnabled()) p.setOpacity(disabled_opacity);

  const face_look lk = look(highlighted());
  const QSize sz = size();
  p.drawImage(QPoint(0, 0), rounded_box(sz, {lk.background, lk.gradient, true, 0, 0, 0, face_radius}));

  // The bar is clipped by the rounded corners; the label stays clear of them.
  if (progress_) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath face;
    face.addRoundedRect(QRectF(rect()), face_radius, face_radius);
    p.setClipPath(face);
    const progress_geometry g = progress_rects(sz, *progress_);
    p.fillRect(g.track, to_qcolor(theme::bar_track));
    p.fillRect(g.fill, to_qcolor(theme::bar_fill));
    p.restore();
  }
  if (label_shown_) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(to_qcolor(highlighted() ? highlighted_text_ : theme::white));
    p.setFont(font());
    p.drawText(rect(), Qt::AlignCenter, label_text_);
  }

  // The frame goes over everything inside, as a container's border does.
  p.drawImage(QPoint(0, 0), rounded_box(sz, {0, 0, false, lk.border, lk.border_alpha, face_border_width, face_radius}));
}

}  // namespace vorante
