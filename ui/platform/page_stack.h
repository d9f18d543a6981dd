// The window's outermost switch, by name: the console's page tree (one entry, the root page
// host) or a page of the program's own that is no console page (the widget gallery). Pages
// are made on first show and then kept, so a page returns in the state it was left in.
//
// Why this is not one more page host: a page host shows pages of the registry, whose IDs
// and tree are the console's own; they get the console's keys, encoders and parameter
// changes, and the navigation and the surface's key lights reason about them. The entries
// here have no page ID, take no console event and are reached only by "--show", so putting
// them into the registry would give the console's page tree members it does not have.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <map>

class QStackedLayout;

namespace vorante {

class page_stack : public QWidget {
  Q_OBJECT

 public:
  // Makes the page as a child of `parent`; the argument is the one of the first show.
  using page_factory = std::function<QWidget*(QWidget* parent, int argument)>;

  explicit page_stack(QWidget* parent = nullptr);

  void add_page(const QString& name, page_factory factory);
  bool has_page(const QString& name) const { return pages_.count(name) != 0; }
  QStringList page_names() const;

  // False (and nothing changes) for a name that was never added.
  bool show_page(const QString& name, int argument = 0);
  QString current_name() const { return current_; }
  QWidget* current_page() const;

 private:
  struct entry {
    page_factory factory;
    QWidget* widget = nullptr;
  };

  QStackedLayout* layout_;
  std::map<QString, entry> pages_;
  QString current_;
};

}  // namespace vorante
