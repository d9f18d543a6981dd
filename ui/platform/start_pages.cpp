#include "ui/platform/start_pages.h"

#include "ui/platform/page_stack.h"
#include "ui/widgets/gallery_page.h"

namespace vorante {

void add_start_pages(page_stack& pages) {
  pages.add_page(QString::fromLatin1(gallery_page_name), create_gallery_page);
}

}  // namespace vorante
