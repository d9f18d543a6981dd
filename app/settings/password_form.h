// The change-password dialog's entries and its two refusals, without the widgets.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "app/settings/settings_rules.h"

namespace vorante {

class password_form {
 public:
  enum field : int { current = 0, fresh, confirm, field_count };

  // Empties the three entries (the dialog opens blank).
  void clear() { entries_ = {}; }

  // A committed entry: refused (the entry keeps what it had) or taken.
  std::optional<password_refusal> commit(int which, std::string_view text);

  const std::string& entry(int which) const { return entries_[static_cast<std::size_t>(which)]; }
  std::string shown(int which) const { return masked(entry(which)); }

  // "Change Password": the command text, or the mismatch message (untranslated) when the
  // new and the confirmed entry differ.
  struct mismatch {};
  std::variant<std::string, mismatch> submit() const;

 private:
  std::array<std::string, field_count> entries_;
};

}  // namespace vorante
