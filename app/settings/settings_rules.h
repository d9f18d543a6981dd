// The rules the settings screens apply to what the user types before anything goes to the
// console: address fields, the device name, password entries, and the masked display of a
// password. Pure functions, so the screens only draw and forward.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vorante {

// The console stores the device name in 32 bytes.
constexpr std::size_t device_name_max_bytes = 32;
// The console keeps passwords of up to 8 bytes.
constexpr std::size_t password_max_bytes = 8;
// An address field looks at no more than "255.255.255.255".
constexpr std::size_t address_max_chars = 15;
// The access point refuses shorter keys.
constexpr std::size_t access_point_key_min_bytes = 8;

// A dotted IPv4 text: of its first 15 characters, exactly four parts split at ".", each
// one to three decimal digits with a value below 256.
bool valid_address(std::string_view text);

// A name the console can store, counted in bytes (a Chinese character takes three).
inline bool device_name_fits(std::string_view name) { return name.size() <= device_name_max_bytes; }

// What the change-password dialog says about an entry; nullopt when it is taken.
enum class password_refusal { too_long, has_space };
std::optional<password_refusal> check_password_entry(std::string_view entry);
// The toast text of a refusal (untranslated).
std::string_view password_refusal_text(password_refusal refusal);
inline constexpr std::string_view password_mismatch_text = "Passwords do not match. Please try again.";

// The lock dialog keeps at most 8 bytes of an entry, cut on a whole UTF-8 character.
std::string lock_entry(std::string_view typed);

// One "*" per character (UTF-8 code point) of the text.
std::string masked(std::string_view text);

// Whether an access point key is long enough to be sent.
inline bool access_point_key_ok(std::string_view key) { return key.size() >= access_point_key_min_bytes; }

}  // namespace vorante
