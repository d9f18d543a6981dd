// The program's window: 1280 x 800 logical pixels, the main frame inside, the overlays
// above it. Closing it ends the program.
#pragma once

#include <QSize>
#include <QWidget>

namespace vorante {

class main_frame;
class incompatible_overlay;
class qt_ui_port;

inline constexpr QSize main_window_size{1280, 800};

enum class window_start { normal, maximised };

// Normal when the screen holds the whole window, maximised otherwise (the UI then
// reflows to the smaller area).
window_start start_state_for_screen(QSize screen);

class main_window : public QWidget {
  Q_OBJECT

 public:
  main_window();

  main_frame* frame() const { return frame_; }
  incompatible_overlay* incompatible() const { return incompatible_; }

  // Shows the window in the state the screen calls for, centred when normal. Captures
  // always want the full logical size, so they start it normal.
  void show_for_screen(bool for_capture);

  // What the core reports that the window itself shows: toasts and the incompatible
  // console.
  void listen_to(qt_ui_port& port);

 signals:
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  main_frame* frame_;
  incompatible_overlay* incompatible_;
};

}  // namespace vorante
