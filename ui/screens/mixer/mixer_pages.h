// The pages that are built: each replaces its slot's placeholder in the registry.
#pragma once

namespace vorante {

class page_registry;

void register_pages(page_registry& registry);

}  // namespace vorante
