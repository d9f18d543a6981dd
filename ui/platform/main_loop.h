// The Qt event loop runs the program; this steps the synchronisation engine inside it:
// every 20 ms, and at once whenever a receive thread or the engine itself asks for it.
#pragma once

#include <QObject>
#include <QTimer>
#include <atomic>
#include <cstdint>
#include <functional>

namespace vorante {

// Milliseconds of a steady clock, wrapping like the engine's tick.
uint32_t steady_ms();

class main_loop : public QObject {
  Q_OBJECT

 public:
  static constexpr int period_ms = 20;
  using step_fn = std::function<void(uint32_t now)>;
  using clock_fn = std::function<uint32_t()>;

  explicit main_loop(step_fn step, clock_fn clock = steady_ms, QObject* parent = nullptr);
  // Receive threads may still hold the loop while they wake it: close the link first.
  ~main_loop() override;

  // Starts the periodic step and makes this loop the one wake_main_loop() reaches.
  void start();

  // Thread-safe. Any number of wakes before the next step runs make one extra step: the
  // first posts a call to the UI thread, the rest see the flag and return.
  void wake();

  uint64_t steps_run() const { return steps_; }

 private:
  void run_step();

  step_fn step_;
  clock_fn clock_;
  QTimer timer_;
  std::atomic<bool> wake_posted_{false};
  uint64_t steps_ = 0;
};

// Wakes the running main loop from any thread; does nothing before one has started.
void wake_main_loop();

}  // namespace vorante
