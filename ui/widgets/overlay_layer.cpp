#include "ui/widgets/overlay_layer.h"

#include <QEvent>
#include <QPointer>

namespace vorante {

namespace {
QPointer<QWidget> current_host;
}

void set_overlay_host(QWidget* host) { current_host = host; }

QWidget* overlay_host() { return current_host.data(); }

overlay_layer::overlay_layer() : QWidget(nullptr) {
  hide();
  attach();
}

bool overlay_layer::attach() {
  QWidget* host = current_host.data();
  if (host == nullptr) return false;
  if (parentWidget() != host) {
    if (parentWidget() != nullptr) parentWidget()->removeEventFilter(this);
    const bool was_hidden = isHidden();
    setParent(host);
    if (was_hidden) hide();
    host->installEventFilter(this);
  }
  setGeometry(host->rect());
  return true;
}

bool overlay_layer::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize)
    setGeometry(parentWidget()->rect());
  return QWidget::eventFilter(watched, event);
}

}  // namespace vorante
