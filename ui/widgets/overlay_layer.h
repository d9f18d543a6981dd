// Layers that cover the whole window above the pages: toasts, the busy overlay and the text
// entry's touch catcher. They all sit on one host widget, which the platform names once.
#pragma once

#include <QWidget>

namespace vorante {

// The widget the overlays cover (the main window's central widget). Layers made before a
// change of host move to the new one the next time they are used.
void set_overlay_host(QWidget* host);
QWidget* overlay_host();

class overlay_layer : public QWidget {
  Q_OBJECT

 public:
  // A hidden layer of the current host's size.
  overlay_layer();

  // Moves the layer onto the current host when that changed; false when there is no host.
  bool attach();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace vorante
