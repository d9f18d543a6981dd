// The pages the window can show at start: the mixer (the root page host with every page of
// the registry) and the widget gallery. "--show PAGE[:ARG[:PART]]" picks one by name,
// and a tab or view of it.
#pragma once

#include <QString>
#include <QStringList>
#include <string_view>

namespace vorante {

class navigator;
class page_stack;

constexpr const char* mixer_root_name = "mixer";

// Adds the mixer and the gallery; the mixer's root is made when it is first shown.
void add_start_pages(page_stack& pages, navigator& nav);

// Shows a page of the registry (inside the mixer) or a page of the stack by name. False
// when neither knows the name or the page is in no host.
bool show_start_page(page_stack& pages, navigator& nav, const QString& name, int argument);

// After show_start_page: shows the part of the named page that "--show PAGE:ARG:PART" asks
// for (see pick_part). False, with a message on the log, when the page has no such part or
// cannot show it.
bool show_start_part(navigator& nav, const QString& name, std::string_view part);

// Every name show_start_page takes, for the message about an unknown one.
QStringList start_page_names(const page_stack& pages, const navigator& nav);

}  // namespace vorante
