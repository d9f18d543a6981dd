// Where the UI tests find the program's pages: the navigator's root shown over the host
// window, and the pages the home page hosts, directly or inside one of its containers.
#pragma once

#include <QWidget>

#include "ui/pages/container_page.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_table.h"

namespace vorante::test {

// The navigator's root made over the whole of `host` and shown.
inline page_host* show_root(navigator& nav, QWidget* host) {
  page_host* root = nav.make_root(host);
  root->resize(host->size());
  root->show();
  return root;
}

// The page `id` that the home page hosts; nullptr until it was first shown.
template <class P>
P* home_page(const navigator& nav, int id) {
  auto* home = qobject_cast<container_page*>(nav.root()->hosted(page_home));
  return home ? qobject_cast<P*>(home->host()->hosted(id)) : nullptr;
}

// The page `id` inside the container `container`, which sits in the home page; nullptr until
// it was first shown.
template <class P>
P* page_in(const navigator& nav, int container, int id) {
  auto* c = home_page<container_page>(nav, container);
  return c ? qobject_cast<P*>(c->host()->hosted(id)) : nullptr;
}

}  // namespace vorante::test
