#include "app/settings/password_form.h"

#include "app/protocol/config_texts.h"

namespace vorante {

std::optional<password_refusal> password_form::commit(int which, std::string_view text) {
  if (which < 0 || which >= field_count) return std::nullopt;
  if (const auto refusal = check_password_entry(text)) return refusal;
  entries_[static_cast<std::size_t>(which)] = text;
  return std::nullopt;
}

std::variant<std::string, password_form::mismatch> password_form::submit() const {
  if (entry(fresh) != entry(confirm)) return mismatch{};
  // Entries hold no line break (a space is refused, and the text entry takes none).
  return change_password_command(entry(current), entry(fresh)).value_or(std::string());
}

}  // namespace vorante
