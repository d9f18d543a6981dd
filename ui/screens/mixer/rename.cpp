#include "ui/screens/mixer/rename.h"

#include <QAbstractButton>
#include <QLabel>
#include <string>

#include "app/params/ids.h"
#include "app/params/names.h"
#include "app/protocol/session.h"
#include "ui/pages/navigator.h"
#include "ui/widgets/face_button.h"
#include "ui/widgets/text_entry.h"

namespace vorante {

namespace {

constexpr std::uint16_t rename_flags = entry_touch_commits | entry_empty_commits;

// The console keeps 31 bytes of a name. Cutting inside a character would leave a broken
// one at the end, so the cut goes back to the start of that character.
std::string cut_to_name_slot(std::string text) {
  if (text.size() <= max_name_length) return text;
  std::size_t n = max_name_length;
  while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  text.resize(n);
  return text;
}

QString label_text(QWidget* label) {
  if (auto* l = qobject_cast<QLabel*>(label)) return l->text();
  if (auto* b = qobject_cast<face_button*>(label)) return b->label_text();
  if (auto* b = qobject_cast<QAbstractButton*>(label)) return b->text();
  return {};
}

void set_label_text(QWidget* label, const QString& text) {
  if (auto* l = qobject_cast<QLabel*>(label)) {
    l->setText(text);
  } else if (auto* b = qobject_cast<face_button*>(label)) {
    b->set_text(text);
  } else if (auto* b = qobject_cast<QAbstractButton*>(label)) {
    b->setText(text);
  }
}

}  // namespace

QString channel_label_text(int kind, int index, const QString& name) {
  if (!name.isEmpty()) return name;
  return QString::fromStdString(default_channel_name(kind, index));
}

void rename_channel(navigator& nav, QWidget* label, int kind, int index) {
  const int logical = logical_of(kind, index);
  const auto channel = channel_of(logical);
  if (!channel || channel->kind != kind || channel->index != index || label == nullptr) return;

  text_entry_request r;
  r.target = label;
  r.flags = rename_flags;
  r.initial_text = label_text(label);
  r.callback = [&nav, kind, index, logical](QWidget* target, std::uint16_t, std::uint16_t, void*,
                                              const std::string& text) {
    const std::string name = text.empty() ? default_channel_name(kind, index) : cut_to_name_slot(text);
    sync_engine& engine = nav.session().engine;
    engine.names().set_channel_name(logical, name);
    const std::string_view stored = engine.names().channel_name(logical);
    const QString shown = QString::fromUtf8(stored.data(), static_cast<qsizetype>(stored.size()));
    set_label_text(target, shown);
    nav.on_name(logical, shown);
  };
  text_entry_open(r);
}

}  // namespace vorante
