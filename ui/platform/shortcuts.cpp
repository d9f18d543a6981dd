#include "ui/platform/shortcuts.h"

#include <QKeyEvent>
#include <QShortcut>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include "app/protocol/session.h"
#include "app/protocol/undo.h"
#include "ui/pages/navigator.h"

namespace vorante {

namespace {

edit_journal& journal_of(navigator& nav) { return nav.session().store.journal(); }

}  // namespace

edit_gestures::edit_gestures(QWidget* window, navigator& nav, QObject* parent)
    : window_filter(window, parent), nav_(nav) {}

void edit_gestures::close_after_event() {
  // The widget acts on the event after this filter: the step closes once it has.
  QTimer::singleShot(0, this, [this] { journal_of(nav_).end_group(); });
}

bool edit_gestures::escape() {
  if (typing_into_text_field()) return false;
  const auto editor = nav_.editor_on_screen();
  if (!editor) return false;
  nav_.go_to_strips(logical_of(editor->kind, editor->index));
  return true;
}

bool edit_gestures::eventFilter(QObject* watched, QEvent* event) {
  if (!watches(watched)) return false;
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::TouchBegin:
      if (!pointer_down_) {
        pointer_down_ = true;
        journal_of(nav_).begin_group();
      }
      return false;
    case QEvent::MouseButtonRelease:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
      if (pointer_down_) {
        pointer_down_ = false;
        close_after_event();
      }
      return false;
    case QEvent::KeyPress:
      if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && escape()) return true;
      [[fallthrough]];
    case QEvent::Wheel:
      journal_of(nav_).begin_group();
      close_after_event();
      return false;
    default:
      return false;
  }
}

void undo_last_edit(navigator& nav) {
  auto& s = nav.session();
  undo_edit(s.store, s.engine.names(), s.ui);
}

void redo_last_edit(navigator& nav) {
  auto& s = nav.session();
  redo_edit(s.store, s.engine.names(), s.ui);
}

void install_shortcuts(QWidget& window, navigator& nav) {
  auto add = [&window](QKeySequence keys, auto fn) {
    auto* shortcut = new QShortcut(keys, &window);
    QObject::connect(shortcut, &QShortcut::activated, &window, fn);
  };
  add(QKeySequence(Qt::CTRL | Qt::Key_Z), [&nav] { undo_last_edit(nav); });
  add(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), [&nav] { redo_last_edit(nav); });
  add(QKeySequence(Qt::CTRL | Qt::Key_Y), [&nav] { redo_last_edit(nav); });
  for (int bank = 0; bank < 5; ++bank)
    add(QKeySequence(Qt::CTRL | (Qt::Key_1 + bank)), [&nav, bank] { nav.select_bank(bank); });
  add(QKeySequence(Qt::CTRL | Qt::Key_F), [&nav] { nav.show_by_name("brief_fader", 0); });
  add(QKeySequence(Qt::CTRL | Qt::Key_M), [&nav] { nav.show_player(0); });
  add(QKeySequence(Qt::CTRL | Qt::Key_Comma), [&nav] { nav.show_settings(); });
}

}  // namespace vorante
