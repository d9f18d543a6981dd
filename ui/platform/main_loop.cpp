#include "ui/platform/main_loop.h"

#include <chrono>

namespace vorante {
namespace {

std::atomic<main_loop*> running_loop{nullptr};

}  // namespace

uint32_t steady_ms() {
  using namespace std::chrono;
  return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

main_loop::main_loop(step_fn step, clock_fn clock, QObject* parent)
    : QObject(parent), step_(std::move(step)), clock_(std::move(clock)) {
  timer_.setInterval(period_ms);
  timer_.setTimerType(Qt::PreciseTimer);  // coarse timers may stretch 20 ms by 5 %
  connect(&timer_, &QTimer::timeout, this, &main_loop::run_step);
}

main_loop::~main_loop() {
  main_loop* self = this;
  running_loop.compare_exchange_strong(self, nullptr);
}

void main_loop::start() {
  running_loop.store(this);
  timer_.start();
}

void main_loop::wake() {
  if (wake_posted_.exchange(true)) return;
  QMetaObject::invokeMethod(
      this,
      [this] {
        // Cleared before stepping: a wake raised during the step needs a step of its own.
        wake_posted_.store(false);
        run_step();
      },
      Qt::QueuedConnection);
}

void main_loop::run_step() {
  ++steps_;
  step_(clock_());
}

void wake_main_loop() {
  if (main_loop* loop = running_loop.load()) loop->wake();
}

}  // namespace vorante
