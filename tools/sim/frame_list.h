// Frames the console answers or pushes, in the order they go out.
#pragma once

#include <vector>

#include "app/protocol/messages.h"

namespace vorante::sim {

using frame_list = std::vector<frame_bytes>;

}  // namespace vorante::sim
