#include "app/core/log.h"

#include <atomic>
#include <cstdarg>

namespace vorante {

namespace {
std::atomic<std::FILE*> log_stream{nullptr};
std::atomic<bool> log_silenced{false};
}  // namespace

void set_log_stream(std::FILE* stream) {
  log_stream.store(stream);
  log_silenced.store(stream == nullptr);
}

void log_print(const char* format, ...) {
  if (log_silenced.load()) return;
  std::FILE* out = log_stream.load();
  if (out == nullptr) out = stdout;
  va_list args;
  va_start(args, format);
  std::vfprintf(out, format, args);
  va_end(args);
  std::fflush(out);
}

}  // namespace vorante
