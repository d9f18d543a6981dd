#include "ui/widgets/text_entry.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QValidator>
#include <algorithm>

#include "ui/widgets/overlay_layer.h"
#include "ui/widgets/widget_fonts.h"

namespace vorante {

namespace {

constexpr int entry_max_chars = 31;                    // longer texts cannot be typed
constexpr std::size_t entry_max_bytes = 255;           // committed UTF-8 is cut to this

// Refuses any edit that would leave more than the limit, however it comes (typing, paste,
// input method), but never one that shortens a text that is already too long.
class length_limit : public QValidator {
 public:
  explicit length_limit(QLineEdit* edit) : QValidator(edit) {
    // The edit box already holds the new text while it asks, so remember the last one.
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& t) { accepted_ = t.size(); });
  }

  State validate(QString& input, int&) const override {
    return input.size() <= std::max<qsizetype>(entry_max_chars, accepted_) ? Acceptable : Invalid;
  }

 private:
  qsizetype accepted_ = 0;
};

class entry_edit : public QLineEdit {
 public:
  explicit entry_edit(QWidget* parent) : QLineEdit(parent) {
    setObjectName("text_entry");
    setFont(ui_font(text_entry_px));
    setContextMenuPolicy(Qt::NoContextMenu);
    setValidator(new length_limit(this));
    setStyleSheet("QLineEdit#text_entry { background: #FFFFFF; color: #000000;"
                  " border: 2px solid #319AFF; padding: 0 4px;"
                  " selection-background-color: #319AFF; selection-color: #FFFFFF; }");
    hide();
  }

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    switch (e->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter:
        text_entry_close(true);
        return;
      case Qt::Key_Escape:
        text_entry_close(false);
        return;
      default:
        QLineEdit::keyPressEvent(e);
    }
  }
};

// Transparent and full-screen, holding the edit box: a touch anywhere else ends the entry.
class touch_catcher : public overlay_layer {
 public:
  touch_catcher() { setObjectName("text_entry_catcher"); }

  entry_edit* edit = nullptr;

 protected:
  void mousePressEvent(QMouseEvent* e) override;
};

struct entry_state {
  QPointer<touch_catcher> catcher;
  bool open = false;
  entry_callback callback;
  QPointer<QWidget> target;
  std::uint16_t id = 0;
  std::uint16_t flags = 0;
  void* user = nullptr;
};

entry_state& state() {
  static entry_state s;
  return s;
}

void touch_catcher::mousePressEvent(QMouseEvent* e) {
  e->accept();
  text_entry_close((state().flags & entry_touch_commits) != 0);
}

QRect target_rect(QWidget* target, QWidget* host) {
  if (target == nullptr) return {};
  const QPoint top_left = host->mapFromGlobal(target->mapToGlobal(QPoint(0, 0)));
  return QRect(top_left, target->size());
}

}  // namespace

std::string entry_commit_text(const QString& text) {
  QString clean = text;
  clean.remove(QChar('\r'));
  clean.remove(QChar('\n'));
  const QByteArray utf8 = clean.toUtf8();
  std::size_t n = std::min<std::size_t>(utf8.size(), entry_max_bytes);
  // Back off continuation bytes so no character is cut in half.
  if (n < static_cast<std::size_t>(utf8.size()))
    while (n > 0 && (static_cast<unsigned char>(utf8[static_cast<qsizetype>(n)]) & 0xC0) == 0x80)
      --n;
  return std::string(utf8.constData(), n);
}

QRect entry_box_rect(QRect area, int min_height, QRect bounds) {
  QRect r = area;
  if (r.height() < min_height) r.setHeight(min_height);
  if (bounds.isValid()) {
    if (r.bottom() > bounds.bottom()) r.moveBottom(bounds.bottom());
    if (r.top() < bounds.top()) r.moveTop(bounds.top());
  }
  return r;
}

void text_entry_open(const text_entry_request& request) {
  QWidget* host = overlay_host();
  if (host == nullptr) return;
  entry_state& s = state();
  if (!s.catcher) {
    s.catcher = new touch_catcher();
    s.catcher->edit = new entry_edit(s.catcher.data());
  }
  touch_catcher* catcher = s.catcher.data();
  catcher->attach();
  entry_edit* edit = catcher->edit;

  s.open = true;
  s.callback = request.callback;
  s.target = request.target;
  s.id = request.id;
  s.flags = request.flags;
  s.user = request.user;

  // The catcher covers the host exactly, so host coordinates place the edit box.
  const QRect area = request.area ? *request.area : target_rect(request.target, host);
  edit->setGeometry(entry_box_rect(area, edit->sizeHint().height(), host->rect()));
  edit->setText(request.initial_text);
  edit->selectAll();
  edit->show();
  catcher->show();
  catcher->raise();
  edit->setFocus(Qt::OtherFocusReason);
}

void text_entry_close(bool commit) {
  entry_state& s = state();
  if (!s.open) return;
  entry_edit* edit = s.catcher ? s.catcher->edit : nullptr;
  const std::string text = edit != nullptr ? entry_commit_text(edit->text()) : std::string();

  // The request is closed before the callback runs, so the callback may open the next entry.
  const entry_callback callback = std::move(s.callback);
  QWidget* const target = s.target.data();
  const std::uint16_t id = s.id;
  const std::uint16_t flags = s.flags;
  void* const user = s.user;
  s.open = false;
  s.callback = nullptr;
  s.target = nullptr;
  if (s.catcher) s.catcher->hide();

  if (!commit || !callback || target == nullptr) return;
  if (text.empty() && (flags & entry_empty_commits) == 0) return;
  callback(target, id, flags & 0xFF, user, text);
}

bool text_entry_is_open() { return state().open; }

}  // namespace vorante
