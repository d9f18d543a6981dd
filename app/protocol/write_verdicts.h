// The verdict on writes whose sends ran out: the retry rule on the wire gives an entry up
// after its fourth send, but the console's answer may still be on its way. Such a write is
// kept as unconfirmed for a grace period; an acknowledgement with the written value, or
// the value read back, confirms it, and only a write that stays unanswered until the end of
// the grace period is reported as failed.
#pragma once

#include <cstdint>
#include <functional>

#include "app/params/store.h"
#include "app/protocol/link_stats.h"

namespace vorante {

constexpr uint32_t default_unconfirmed_grace_ms = 5000;

class write_verdicts {
 public:
  // `confirmed` true: a write given up on the wire turned out to have landed; false: it
  // failed for good (the grace period passed, or the list had to make room).
  using verdict_fn = std::function<void(uint16_t id, uint16_t value, bool confirmed)>;

  explicit write_verdicts(param_store& store) : store_(store) {}

  void set_grace(uint32_t ms) { grace_ms_ = ms; }
  uint32_t grace() const { return grace_ms_; }
  void set_observer(verdict_fn fn) { on_verdict_ = std::move(fn); }
  // Where verdicts are counted and failures gathered for their toast; none when null.
  void set_stats(link_stats* stats, given_up_notice* notice) {
    stats_ = stats;
    notice_ = notice;
  }

  // The last send of `id` went out at `now` with `value`.
  void given_up(uint16_t id, uint16_t value, uint32_t now) {
    last_now_ = now;
    unconfirmed_writes::entry pushed_out;
    if (store_.unconfirmed().add(id, value, now, &pushed_out)) report(pushed_out.id, pushed_out.value, false);
  }
  // The console answered `id` with `value`, by an acknowledgement or a read.
  void answered(uint16_t id, uint16_t value) {
    if (store_.unconfirmed().confirm(id, value)) report(id, value, true);
  }
  void step(uint32_t now) {
    last_now_ = now;
    if (store_.unconfirmed().empty()) return;
    store_.unconfirmed().expire(now, grace_ms_, [&](const unconfirmed_writes::entry& e) { report(e.id, e.value, false); });
  }

 private:
  void report(uint16_t id, uint16_t value, bool confirmed) {
    if (stats_) {
      if (confirmed)
        ++stats_->writes_confirmed_late;
      else
        stats_->add_given_up(id, value, last_now_);
    }
    if (notice_ && !confirmed) notice_->add(last_now_);
    if (on_verdict_) on_verdict_(id, value, confirmed);
  }

  param_store& store_;
  uint32_t grace_ms_ = default_unconfirmed_grace_ms;
  verdict_fn on_verdict_;
  link_stats* stats_ = nullptr;
  given_up_notice* notice_ = nullptr;
  uint32_t last_now_ = 0;
};

}  // namespace vorante
