#include "app/core/log.h"

#include <cstdarg>
#include <cstdio>

namespace vorante {

void log_print(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
  std::fflush(stdout);
}

}  // namespace vorante
