// The media player's turntable: a record that turns while a track plays and a tone arm
// that swings onto it when playback starts and off when it stops. The record starts
// turning only once the arm has landed. The three pictures are loaded once for every
// disc of the program.
#pragma once

#include <QImage>
#include <QTimer>
#include <QVariantAnimation>
#include <QWidget>
#include <cstdint>

namespace vorante {

constexpr int disc_spin_ms = 80;
constexpr int disc_spin_step = 20;       // 0.1 degree a tick
constexpr int disc_full_turn = 3600;
constexpr int disc_arm_off = 3400;       // 340.0 degrees: beside the record
constexpr int disc_arm_on = 3600;
constexpr int disc_arm_ms = 500;
constexpr QSize disc_body_size{240, 240};

class disc : public QWidget {
  Q_OBJECT

 public:
  enum class state { stopped, landing, spinning, lifting };

  explicit disc(QWidget* parent = nullptr);

  void play();
  void stop();

  state current_state() const;
  int disc_angle() const { return disc_angle_; }
  int arm_angle() const { return arm_angle_; }
  bool playing() const { return playing_; }
  bool spinning() const { return spin_.isActive(); }
  // One tick of the spin timer (the timer calls it; tests too).
  void spin_tick();

  // How many times the pictures were read from the volume in this run.
  static int picture_loads();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void arm_to(int target);

  int16_t disc_angle_ = 0;
  int32_t arm_angle_ = disc_arm_off;
  bool playing_ = false;
  QTimer spin_;
  QVariantAnimation arm_;
};

}  // namespace vorante
