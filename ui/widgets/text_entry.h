// The in-place text entry: an edit box laid over a label so the user types where the text is
// shown. Enter commits, Escape cancels; a touch anywhere else commits or cancels as the
// request's flags say. One request at a time: opening another replaces it.
#pragma once

#include <QRect>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace vorante {

// Flag bits of a request; the low byte is the caller's and comes back unchanged.
constexpr std::uint16_t entry_touch_commits = 0x8000;  // a touch outside commits (else cancels)
constexpr std::uint16_t entry_empty_commits = 0x4000;  // an empty text is reported too

// Called on commit with the request's target, id, flags & 0xFF, user and the text (UTF-8).
using entry_callback = std::function<void(QWidget* target, std::uint16_t id, std::uint16_t flags,
                                          void* user, const std::string& text)>;

struct text_entry_request {
  entry_callback callback;  // none: nothing is reported
  QWidget* target = nullptr;
  std::optional<QRect> area;  // in overlay-host coordinates; the target's rectangle when none
  std::uint16_t id = 0;
  std::uint16_t flags = 0;
  void* user = nullptr;
  QString initial_text;
};

// Shows the edit box over the area, filled with the initial text, all selected and focused.
// Does nothing without an overlay host.
void text_entry_open(const text_entry_request& request);
// Closes an open entry; with `commit` it reports the text as Enter would.
void text_entry_close(bool commit = false);
bool text_entry_is_open();

// The text a commit reports: UTF-8 without line breaks, cut to 255 bytes on a whole character.
std::string entry_commit_text(const QString& text);

// The edit box's place: the area, at least `min_height` tall, kept inside `bounds`.
QRect entry_box_rect(QRect area, int min_height, QRect bounds);

}  // namespace vorante
