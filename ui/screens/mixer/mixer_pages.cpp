#include "ui/screens/mixer/mixer_pages.h"

#include "ui/screens/mixer/brief_cont.h"
#include "ui/pages/container_page.h"
#include "ui/pages/page_registry.h"
#include "ui/screens/mixer/strips_page.h"

namespace vorante {

void register_pages(page_registry& registry) {
  registry.set_factory(page_home, [](QWidget* parent, page_env& env, int) { return new home_page(parent, env); });
  registry.set_factory(page_brief_cont, create_brief_cont);
  registry.set_factory(page_brief_channel, create_strips_page);
  registry.set_factory(page_edit_cont, [](QWidget* parent, page_env& env, int) { return new edit_cont_page(parent, env); });
}

}  // namespace vorante
