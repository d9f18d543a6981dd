// The program's log lines: plain printf-style text on standard output.
#pragma once

#include <cstdio>

namespace vorante {

// Prints and flushes at once, so lines interleave correctly with the receive threads'
// dumps and survive a crash.
void log_print(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Where log lines go (standard output unless changed; nullptr silences them). Tools whose
// standard output is data send the log to standard error instead.
void set_log_stream(std::FILE* stream);

}  // namespace vorante
