// The program's log lines: plain printf-style text on standard output.
#pragma once

namespace vorante {

// Prints and flushes at once, so lines interleave correctly with the receive threads'
// dumps and survive a crash.
void log_print(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace vorante
