#include "ui/pages/page_registry.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/core/translate.h"
#include "ui/foundation/colour.h"
#include "ui/pages/named_button.h"
#include "ui/pages/navigator.h"
#include "ui/widgets/widget_colours.h"
#include "ui/widgets/button.h"
#include "ui/widgets/widget_fonts.h"

namespace vorante {

namespace {

constexpr rgb565 placeholder_text_colour = 0x8410;
constexpr int placeholder_text_px = 24;
constexpr QSize close_button_size{120, 48};
constexpr int close_margin = 8;

}  // namespace

page* create_placeholder_page(QWidget* parent, page_env& env, int id) {
  auto* p = new page(parent, id);
  p->setObjectName("placeholder_page");
  auto* column = new QVBoxLayout(p);
  column->setContentsMargins(close_margin, close_margin, close_margin, close_margin);

  // Some placeholders stand in for whole screens without the navigation bar (the
  // editors): each has its own way back to the strips.
  auto* top = new QHBoxLayout;
  top->addStretch(1);
  auto* close = named_button(p, "placeholder_close", QString::fromUtf8(translate_text("Back")));
  close->setFixedSize(close_button_size);
  QObject::connect(close, &QAbstractButton::clicked, p, [&env] { env.nav.go_to_strips(-1); });
  top->addWidget(close);
  column->addLayout(top);

  const page_entry* entry = page_entry_of(id);
  const std::string_view name = entry ? entry->name : std::string_view{};
  auto* label = new QLabel(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())), p);
  label->setObjectName("placeholder_name");
  label->setAlignment(Qt::AlignCenter);
  label->setFont(ui_font(placeholder_text_px));
  set_text_colour(label, to_qcolor(placeholder_text_colour));
  column->addWidget(label);
  return p;
}

page_registry::page_registry() {
  for (const page_entry& e : page_table())
    slots_[e.id] = {e.id, e.name, e.create ? page_factory(e.create) : page_factory(create_placeholder_page)};
}

void page_registry::set_factory(int id, page_factory factory) {
  if (id <= 0 || id >= page_slot_count || slots_[id].name.empty()) return;
  slots_[id].create = std::move(factory);
}

const page_descriptor* page_registry::find(int id) const {
  if (id <= 0 || id >= page_slot_count || slots_[id].name.empty()) return nullptr;
  return &slots_[id];
}

std::optional<int> page_registry::id_of(std::string_view name) const {
  for (const page_descriptor& d : slots_)
    if (!d.name.empty() && d.name == name) return d.id;
  return std::nullopt;
}

std::string_view page_registry::name_of(int id) const {
  const page_descriptor* d = find(id);
  return d ? d->name : std::string_view{};
}

}  // namespace vorante
