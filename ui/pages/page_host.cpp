#include "ui/pages/page_host.h"

#include <QGridLayout>

#include "ui/pages/page_registry.h"
#include "ui/widgets/text_entry.h"

namespace vorante {

page_host::page_host(QWidget* parent, const page_registry& registry, page_env& env, std::vector<int> ids)
    : QWidget(parent), registry_(registry), env_(env), layout_(new QGridLayout(this)) {
  layout_->setContentsMargins(0, 0, 0, 0);
  layout_->setSpacing(0);
  slots_.reserve(ids.size());
  for (const int id : ids) slots_.push_back({id});
}

bool page_host::lists(int id) const {
  for (const slot& s : slots_)
    if (s.id == id) return true;
  return false;
}

page* page_host::hosted(int id) const {
  for (const slot& s : slots_)
    if (s.id == id) return s.made;
  return nullptr;
}

bool page_host::show_page(int id, int argument) {
  slot* target = nullptr;
  for (slot& s : slots_)
    if (s.id == id) target = &s;
  if (target == nullptr) return false;

  // An edit box left over a page that goes away would write into the wrong channel.
  text_entry_close();

  if (target->made == nullptr) {
    const page_descriptor* d = registry_.find(id);
    if (d == nullptr || !d->create) return false;
    page* made = d->create(this, env_, id);
    if (made == nullptr) return false;
    made->hide();
    // Every page of a host takes the same cell: only the visible one gets space.
    layout_->addWidget(made, 0, 0);
    target->made = made;
  }

  page* next = target->made;
  if (next != current_) {
    if (current_) {
      current_->page_hidden();
      current_->hide();
    }
    next->show();
    current_ = next;
    next->page_shown();
    emit current_changed(next->page_id());
  }
  if (argument != show_without_open) next->open(argument);
  return true;
}

}  // namespace vorante
