// The start-up sequence that needs no window, in the order the program runs it. The
// desktop program calls these around its own window and UI steps.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/core/cmdline.h"
#include "app/core/options.h"

namespace vorante {

class param_store;

// "-mkdef": validates or writes the default image; logs why and returns false when no
// correct image is in place afterwards (not written, or a name it would not touch).
bool make_default_image();

// Answers "--help" and "--version" on standard output and moves into the program's own
// directory for "--home"; runs first of all, before any file is read. Returns the exit
// status when the process should end now (1 when the directory cannot be used).
std::optional<int> answer_early_options(int argc, const char* const* argv);

// Makes sure the default image is in place (one log line when it is not), then runs the
// first command-line pass. Returns the exit status when the process should end now.
std::optional<int> begin_process(int argc, const char* const* argv,
                                 const std::function<bool()>& wait_datacenter);

// Parses the identity codes and turns factory mode on when the marker block is patched
// (factory mode may already be on from the keyboard).
void read_identity(runtime_options& options);

// Loads the parameter-name header when writes are to be printed by name.
void load_names_if_printing(const runtime_options& options);

// The second pass between its two log lines; false when the process must end with 1.
bool parse_cmdline(int argc, const char* const* argv, runtime_options& options,
                   launch_requests& requests);

// The steps above in order, for a start without local-device probe or language.
bool start_core(int argc, const char* const* argv, runtime_options& options,
                launch_requests& requests);

// One line on what the start produced.
std::string startup_summary(const param_store& store, const runtime_options& options);

}  // namespace vorante
