#include "ui/platform/incompatible_overlay.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include "ui/widgets/widget_fonts.h"

namespace vorante {

namespace {

constexpr int incompatible_layer_alpha = 204;
constexpr int incompatible_text_px = 24;
constexpr int incompatible_text_padding = 32;

}  // namespace

incompatible_overlay::incompatible_overlay(QWidget* parent) : QWidget(parent), label_(new QLabel(this)) {
  setObjectName("incompatible_overlay");
  // Modal: touches stop here instead of reaching the page below.
  setAttribute(Qt::WA_NoMousePropagation);
  label_->setAlignment(Qt::AlignCenter);
  label_->setContentsMargins(incompatible_text_padding, incompatible_text_padding, incompatible_text_padding,
                             incompatible_text_padding);
  label_->setStyleSheet("color: white; background: transparent;");

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(label_, 0, Qt::AlignCenter);

  parent->installEventFilter(this);
  setGeometry(parent->rect());
  hide();
}

void incompatible_overlay::show_message(const QString& text) {
  // Taken now: the UI font is loaded after the window is made.
  label_->setFont(ui_font(incompatible_text_px));
  label_->setText(text);
  setGeometry(parentWidget()->rect());
  show();
  raise();
}

QString incompatible_overlay::message() const { return label_->text(); }

void incompatible_overlay::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(0, 0, 0, incompatible_layer_alpha));
}

bool incompatible_overlay::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
  return false;
}

}  // namespace vorante
