#include "ui/platform/start_pages.h"

#include "ui/platform/page_stack.h"

namespace vorante {

void add_start_pages(page_stack& pages) { (void)pages; }

}  // namespace vorante
