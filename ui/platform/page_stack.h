// Shows one page at a time by name. Pages are made on first show and then kept, so a
// page returns in the state it was left in.
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
