#include "ui/platform/start_pages.h"

#include <string>

#include "app/core/cmdline.h"
#include "app/core/log.h"

#include "ui/platform/page_stack.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_host.h"
#include "ui/pages/page_registry.h"
#include "ui/pages/page_table.h"
#include "ui/widgets/gallery_page.h"

namespace vorante {

void add_start_pages(page_stack& pages, navigator& nav) {
  pages.add_page(QString::fromLatin1(mixer_root_name), [&nav](QWidget* parent, int) { return nav.make_root(parent); });
  pages.add_page(QString::fromLatin1(gallery_page_name), create_gallery_page);
}

bool show_start_page(page_stack& pages, navigator& nav, const QString& name, int argument) {
  const QByteArray latin = name.toLatin1();
  const std::string_view registry_name(latin.constData(), static_cast<std::size_t>(latin.size()));
  if (nav.registry().id_of(registry_name)) {
    if (!pages.show_page(QString::fromLatin1(mixer_root_name))) return false;
    return nav.show_by_name(registry_name, argument);
  }
  return pages.show_page(name, argument);
}

bool show_start_part(navigator& nav, const QString& name, std::string_view part) {
  const QByteArray latin = name.toLatin1();
  const std::optional<int> id = nav.registry().id_of(std::string_view(latin.constData(), static_cast<std::size_t>(latin.size())));
  page* shown = nav.page_on_screen();
  const std::string text(part);
  if (!id || !shown || shown->page_id() != *id || shown->part_names().empty()) {
    log_print("page '%s' has no parts (asked for '%s')\n", latin.constData(), text.c_str());
    return false;
  }
  const std::span<const char* const> names = shown->part_names();
  const std::optional<int> n = pick_part(names, part);
  if (!n) {
    std::string known;
    for (const char* p : names) known += (known.empty() ? "" : ", ") + std::string(p);
    log_print("unknown part '%s' of page '%s' (known: %s)\n", text.c_str(), latin.constData(), known.c_str());
    return false;
  }
  if (!shown->show_part(*n)) {
    log_print("page '%s' cannot show part '%s' here\n", latin.constData(), names[static_cast<std::size_t>(*n)]);
    return false;
  }
  log_print("part '%s' of page '%s' shown\n", names[static_cast<std::size_t>(*n)], latin.constData());
  return true;
}

QStringList start_page_names(const page_stack& pages, const navigator& nav) {
  QStringList names = pages.page_names();
  // Pages in no host can never be on screen.
  for (const page_entry& e : page_table())
    if (nav.registry().find(e.id) && (e.id == page_home || e.host != 0))
      names << QString::fromLatin1(e.name.data(), static_cast<qsizetype>(e.name.size()));
  return names;
}

}  // namespace vorante
