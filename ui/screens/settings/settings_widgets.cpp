#include "ui/screens/settings/settings_widgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>

#include "app/core/translate.h"
#include "ui/foundation/res_images.h"
#include "ui/widgets/widget_colours.h"
#include "ui/widgets/overlay_layer.h"
#include "ui/widgets/widget_fonts.h"
#include "ui/widgets/ui_text.h"

namespace vorante {

namespace {

constexpr rgb565 close_background = 0xE002;
constexpr rgb565 close_border = 0xF802;
constexpr const char* close_image = "res/common/img_close.png";
constexpr int close_size = 64;
constexpr rgb565 notice_background = 0x4208;
constexpr int notice_padding = 16;
constexpr int notice_radius = 8;
constexpr int notice_shadow = 20;

}  // namespace

QString utf8_text(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string utf8_bytes(const QString& text) { return text.toUtf8().toStdString(); }

// --- colour_box -------------------------------------------------------------------------

colour_box::colour_box(QWidget* parent, rgb565 colour, int radius, int border_alpha)
    : QWidget(parent), colour_(colour), radius_(radius), border_alpha_(border_alpha) {}

void colour_box::set_shadow(rgb565 colour, int width) {
  shadow_ = colour;
  shadow_width_ = width;
  setContentsMargins(width, width, width, width);
  update();
}

void paint_settings_background(QWidget* w) {
  fill_background(w, to_qcolor(settings_background));
}

QVBoxLayout* settings_column(QWidget* page, int margin, int spacing) {
  paint_settings_background(page);
  auto* column = new QVBoxLayout(page);
  column->setContentsMargins(margin, margin, margin, margin);
  column->setSpacing(spacing);
  return column;
}

void colour_box::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (radius_ == 0 && shadow_width_ == 0 && border_alpha_ == 0) {
    p.fillRect(rect(), to_qcolor(colour_, fill_alpha_));
    return;
  }
  p.setRenderHint(QPainter::Antialiasing);
  QRectF box = rect();
  if (shadow_width_ > 0) {
    // A soft glow: rings fading outwards.
    box = box.adjusted(shadow_width_, shadow_width_, -shadow_width_, -shadow_width_);
    for (int i = shadow_width_; i > 0; i -= 2) {
      const int alpha = 90 * (shadow_width_ - i + 1) / shadow_width_ / 4;
      p.setPen(Qt::NoPen);
      p.setBrush(to_qcolor(shadow_, alpha));
      p.drawRoundedRect(box.adjusted(-i, -i, i, i), radius_ + i, radius_ + i);
    }
  }
  p.setPen(border_alpha_ > 0 ? QPen(to_qcolor(theme::white, border_alpha_), 1) : Qt::NoPen);
  p.setBrush(to_qcolor(colour_, fill_alpha_));
  p.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), radius_, radius_);
}

// --- value_field --------------------------------------------------------------------------

value_field::value_field(QWidget* parent, const QString& text) : QLabel(text, parent) {
  setFont(ui_font(20));
  setMinimumHeight(36);
  restyle();
}

void value_field::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (isEnabled() && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
}

void value_field::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  if (event->type() == QEvent::EnabledChange) restyle();
}

void value_field::restyle() {
  const QColor back = to_qcolor(isEnabled() ? theme::white : field_disabled_background);
  setStyleSheet(QString("QLabel { background: %1; color: black; border-radius: 6px; padding: 4px; }").arg(back.name()));
}

QWidget* make_separator(QWidget* parent, bool vertical) {
  constexpr int separator_alpha = 102;
  auto* line = new colour_box(parent, theme::white);
  line->set_fill_alpha(separator_alpha);
  if (vertical) line->setFixedWidth(1); else line->setFixedHeight(1);
  return line;
}

QLabel* make_label(QWidget* parent, const QString& text, int px, rgb565 colour) {
  auto* l = new QLabel(text, parent);
  l->setFont(ui_font(px));
  set_text_colour(l, to_qcolor(colour));
  return l;
}

value_field* add_field_row(QBoxLayout* column, QWidget* parent, const QString& label, int label_width,
                           const QString& name, int spacing) {
  auto* row = new QHBoxLayout;
  row->setSpacing(spacing);
  QLabel* l = make_label(parent, label);
  l->setFixedWidth(label_width);
  row->addWidget(l);
  auto* field = new value_field(parent);
  field->setObjectName(name);
  row->addWidget(field, 1);
  column->addLayout(row);
  return field;
}

// --- close_button -------------------------------------------------------------------------

close_button::close_button(QWidget* parent) : toggle_button(parent) {
  setObjectName("view_close");
  setFixedSize(close_size, close_size);
  setCheckable(false);
}

face_look close_button::look(bool) const { return {close_background, close_background, close_border, 255}; }

void close_button::paintEvent(QPaintEvent* event) {
  toggle_button::paintEvent(event);
  const QImage img = image_file_load_recoloured(close_image, Qt::white);
  if (img.isNull()) return;
  QPainter p(this);
  QRect r(QPoint(), img.size().boundedTo(size()));
  r.moveCenter(rect().center());
  p.drawImage(r, img);
}

// --- notice ---------------------------------------------------------------------------------

QWidget* show_notice(const QString& text, rgb565 colour) {
  auto* layer = new overlay_layer();
  if (!layer->attach()) {
    delete layer;
    return nullptr;
  }
  layer->setObjectName("notice_layer");
  layer->setAttribute(Qt::WA_DeleteOnClose);
  auto* outer = new QVBoxLayout(layer);
  outer->setAlignment(Qt::AlignCenter);
  auto* box = new colour_box(layer, notice_background, notice_radius, 255);
  box->set_shadow(colour, notice_shadow);
  auto* inner = new QVBoxLayout(box);
  inner->setContentsMargins(notice_padding + notice_shadow, notice_padding + notice_shadow,
                            notice_padding + notice_shadow, notice_padding + notice_shadow);
  QLabel* label = make_label(box, text, 20, colour);
  label->setObjectName("notice_text");
  label->setAlignment(Qt::AlignCenter);
  inner->addWidget(label);
  outer->addWidget(box, 0, Qt::AlignCenter);
  layer->show();
  layer->raise();
  QTimer::singleShot(notice_ms, layer, [layer] { layer->deleteLater(); });
  return layer;
}

}  // namespace vorante
