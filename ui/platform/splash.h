// The splash window: the product artwork on a borderless window with rounded corners,
// fading in, held, then closed, before the main window exists.
#pragma once

#include <QElapsedTimer>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

namespace vorante {

inline constexpr QSize splash_size{640, 360};

// Window opacity (0..1) at `elapsed_ms` after the splash appeared; below 0 once it is due
// to close.
double splash_opacity(int elapsed_ms);

// The artwork, drawn rather than loaded so it needs no resource.
QPixmap splash_picture();

class splash_window : public QWidget {
  Q_OBJECT

 public:
  splash_window();

  // Shows the splash centred and returns once it has closed again.
  void run();

 signals:
  void finished();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void tick();

  QPixmap picture_;
  QElapsedTimer clock_;
  QTimer timer_;
};

}  // namespace vorante
