#include "ui/platform/main_window.h"

#include <QCloseEvent>
#include <QScreen>
#include <QVBoxLayout>

#include "app/core/identity.h"
#include "ui/platform/incompatible_overlay.h"
#include "ui/platform/main_frame.h"
#include "ui/platform/qt_ui_port.h"
#include "ui/widgets/overlay_layer.h"
#include "ui/widgets/toast.h"

namespace vorante {

window_start start_state_for_screen(QSize screen) {
  const bool fits = screen.width() >= main_window_size.width() && screen.height() >= main_window_size.height();
  return fits ? window_start::normal : window_start::maximised;
}

main_window::main_window() : frame_(new main_frame(this)), incompatible_(nullptr) {
  setObjectName("main_window");
  setWindowTitle(QString::fromUtf8(product_name()));
  resize(main_window_size);

  auto* fill = new QVBoxLayout(this);
  fill->setContentsMargins(0, 0, 0, 0);
  fill->addWidget(frame_);

  // Toasts, the busy overlay and the text entry cover the whole window, padding included.
  set_overlay_host(this);
  // Created after the frame so it stacks above it.
  incompatible_ = new incompatible_overlay(this);
}

void main_window::listen_to(qt_ui_port& port) {
  connect(&port, &qt_ui_port::incompatible, incompatible_, &incompatible_overlay::show_message);
  connect(&port, &qt_ui_port::toast, this,
          [](const QString& text, uint16_t colour, int ms) { show_toast(text, colour, ms); });
}

void main_window::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  emit closed();
}

void main_window::show_for_screen(bool for_capture) {
  const QScreen* screen = this->screen();
  const QSize screen_size = screen ? screen->size() : main_window_size;
  if (!for_capture && start_state_for_screen(screen_size) == window_start::maximised) {
    showMaximized();
    return;
  }
  resize(main_window_size);
  if (screen) {
    QRect area(QPoint(), main_window_size);
    area.moveCenter(screen->availableGeometry().center());
    move(area.topLeft());
  }
  show();
}

}  // namespace vorante
