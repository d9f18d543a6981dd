// The pages the window can show at start: the mixer (the root page host with every page of
// the registry) and the widget gallery. "--show PAGE[:ARG]" picks one by name.
#pragma once

#include <QString>
#include <QStringList>

namespace vorante {

class navigator;
class page_stack;

constexpr const char* mixer_root_name = "mixer";

// Adds the mixer and the gallery; the mixer's root is made when it is first shown.
void add_start_pages(page_stack& pages, navigator& nav);

// Shows a page of the registry (inside the mixer) or a page of the stack by name. False
// when neither knows the name or the page is in no host.
bool show_start_page(page_stack& pages, navigator& nav, const QString& name, int argument);

// Every name show_start_page takes, for the message about an unknown one.
QStringList start_page_names(const page_stack& pages, const navigator& nav);

}  // namespace vorante
