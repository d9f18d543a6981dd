// The page registry: one slot per page ID, each with the page's name and the factory that
// makes it, filled from the page table when made. Tests put their own factories in.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string_view>

#include "ui/pages/page.h"
#include "ui/pages/page_table.h"

namespace vorante {

// Makes the page as a child of `parent` (the host sizes and shows it).
using page_factory = std::function<page*(QWidget* parent, page_env& env, int id)>;

struct page_descriptor {
  int id = 0;
  std::string_view name;  // empty: the slot holds no page
  page_factory create;
};

class page_registry {
 public:
  // Every page of the table with its factory, or the placeholder while it has none.
  page_registry();

  // Ignored for slots without a page.
  void set_factory(int id, page_factory factory);

  // The descriptor of a registered page; nullptr for empty slots and IDs out of range.
  const page_descriptor* find(int id) const;
  std::optional<int> id_of(std::string_view name) const;
  std::string_view name_of(int id) const;

 private:
  std::array<page_descriptor, page_slot_count> slots_{};
};

// The page that stands in for one not built yet: titled with its name, with a "Back"
// button to the strips page.
page* create_placeholder_page(QWidget* parent, page_env& env, int id);

}  // namespace vorante
