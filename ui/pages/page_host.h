// A page host shows one page at a time out of a fixed list of page IDs. A page is made the
// first time it is shown and kept, hidden, while another one is current.
#pragma once

#include <QWidget>
#include <vector>

#include "ui/pages/page.h"

class QGridLayout;

namespace vorante {

class page_registry;

// The argument that shows a page without calling its open operation.
constexpr int show_without_open = static_cast<int>(0x80000000u);

class page_host : public QWidget {
  Q_OBJECT

 public:
  // `ids`: the pages this host may show; the registry and the environment must outlive it.
  page_host(QWidget* parent, const page_registry& registry, page_env& env, std::vector<int> ids);

  // Closes an open text entry, then: creates the page on first use, hides the current page
  // (its page_hidden first), shows the new one, runs page_shown and open(argument). The
  // current page again only gets open(argument). False, and nothing changes, for an ID
  // this host does not list or whose page cannot be made.
  bool show_page(int id, int argument);

  bool lists(int id) const;
  page* current() const { return current_; }
  int current_id() const { return current_ ? current_->page_id() : 0; }
  // The page made for `id`, or nullptr while it has not been shown yet.
  page* hosted(int id) const;

 signals:
  // Another page became current (after its page_shown, before its open).
  void current_changed(int id);

 private:
  struct slot {
    int id;
    page* made = nullptr;
  };

  const page_registry& registry_;
  page_env& env_;
  QGridLayout* layout_;
  std::vector<slot> slots_;
  page* current_ = nullptr;
};

}  // namespace vorante
