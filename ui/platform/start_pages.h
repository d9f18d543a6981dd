// The pages "--show PAGE[:ARG]" can put on screen at start, by their registry names.
#pragma once

namespace vorante {

class page_stack;

void add_start_pages(page_stack& pages);

}  // namespace vorante
