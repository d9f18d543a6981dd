#include "ui/platform/page_stack.h"

#include <QStackedLayout>

namespace vorante {

page_stack::page_stack(QWidget* parent) : QWidget(parent), layout_(new QStackedLayout(this)) {
  layout_->setContentsMargins(0, 0, 0, 0);
}

void page_stack::add_page(const QString& name, page_factory factory) { pages_[name].factory = std::move(factory); }

QStringList page_stack::page_names() const {
  QStringList names;
  for (const auto& [name, page] : pages_) names << name;
  return names;
}

bool page_stack::show_page(const QString& name, int argument) {
  const auto it = pages_.find(name);
  if (it == pages_.end()) return false;
  entry& page = it->second;
  if (!page.widget) {
    page.widget = page.factory(this, argument);
    if (!page.widget) return false;
    layout_->addWidget(page.widget);
  }
  layout_->setCurrentWidget(page.widget);
  current_ = name;
  return true;
}

QWidget* page_stack::current_page() const { return layout_->currentWidget(); }

}  // namespace vorante
