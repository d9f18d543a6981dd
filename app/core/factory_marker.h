// The factory marker: a block in the program's initialised data that the factory tool
// finds by its text and overwrites inside the program file to switch factory mode on.
#pragma once

#include <cstddef>

namespace vorante {

constexpr std::size_t factory_marker_size = 47;

// Volatile so that every read sees the bytes as they are in the file, never the
// initialiser the compiler knows about.
extern volatile char factory_marker_block[factory_marker_size];

// True when the first eight bytes of `block` are "FACTORY" and a NUL.
bool is_factory_marker(const volatile char* block);

// True when the program file has been patched by the factory tool.
bool factory_marker_set();

}  // namespace vorante
