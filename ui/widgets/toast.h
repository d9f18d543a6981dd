// Short messages in the middle of the screen, the busy overlay, and calls run once after a
// delay. Toast colours: theme::success, theme::failure, theme::hint.
#pragma once

#include <QFont>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

#include "ui/foundation/colour.h"
#include "ui/widgets/busy_overlay.h"
#include "ui/widgets/overlay_layer.h"

class QObject;
class QWidget;

namespace vorante {

// Shows `text` in `colour` for `duration_ms` (checked every 100 ms). There is one toast: a new
// one replaces the text and restarts the time. A modal toast swallows touches until it goes;
// otherwise they reach the screen below. Returns the full-screen layer holding the toast, or
// nullptr when there is no overlay host.
QWidget* show_toast(const QString& text, rgb565 colour, int duration_ms, bool modal = false,
                    const std::optional<QFont>& font = std::nullopt);

// Hides the toast at once and stops its check timer.
void hide_toast();

// One check of the toast's time, as its timer runs it.
void toast_tick();

// The millisecond clock the toast measures its time with (empty: the steady clock).
using toast_clock = std::function<std::int64_t()>;
void set_toast_clock(toast_clock clock);

// Runs `fn` once after `delay_ms`, on the UI thread. With a context object the call is
// dropped when the context is gone by then.
void call_later(int delay_ms, std::function<void()> fn);
void call_later(int delay_ms, QObject* context, std::function<void()> fn);

}  // namespace vorante
