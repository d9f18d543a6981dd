#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "app/core/translate.h"

namespace vorante {
namespace {

// ---- The pack rules ----

class translation_pack : public ::testing::Test {
 protected:
  void SetUp() override { translation_reset(); }
  void TearDown() override { translation_reset(); }
};

TEST_F(translation_pack, before_init_every_text_reads_as_itself) {
  const char* text = "SOLO";
  EXPECT_EQ(translate_text(text), text);
  EXPECT_EQ(translate_text(nullptr), nullptr);
  EXPECT_EQ(current_locale(), nullptr);
  EXPECT_EQ(translation_set_locale("zh-cn"), -1);
  EXPECT_EQ(translate_text(text), text);
}

TEST_F(translation_pack, init_rejects_an_empty_pack_and_keeps_the_current_language) {
  static const language no_locale[] = {{nullptr, nullptr, 0}, {"zh-cn", nullptr, 0}};
  static const language blank_locale[] = {{"", nullptr, 0}};
  const language_pack none{nullptr, 2};
  const language_pack zero{no_locale, 0};
  const language_pack first_without_locale{no_locale, 2};
  const language_pack first_blank{blank_locale, 1};
  for (const language_pack* pack : {static_cast<const language_pack*>(nullptr), &none, &zero,
                                    &first_without_locale, &first_blank})
    EXPECT_EQ(translation_init(pack), -1);
  EXPECT_EQ(current_locale(), nullptr);

  ASSERT_TRUE(select_language("zh-cn"));
  EXPECT_EQ(translation_init(&first_blank), -1);
  EXPECT_STREQ(current_locale(), "zh-cn");
  EXPECT_STREQ(translate_text("SOLO"), "监听");
}

TEST_F(translation_pack, init_makes_the_first_language_current) {
  ASSERT_EQ(translation_init(&default_language_pack()), 0);
  EXPECT_STREQ(current_locale(), "en");
  const char* text = "SOLO";
  EXPECT_EQ(translate_text(text), text);
}

TEST_F(translation_pack, solo_reads_in_each_language) {
  const char* text = "SOLO";
  ASSERT_TRUE(select_language("zh-cn"));
  EXPECT_STREQ(translate_text(text), "监听");
  ASSERT_TRUE(select_language("en"));
  EXPECT_EQ(translate_text(text), text);
}

TEST_F(translation_pack, english_returns_every_key_as_the_same_pointer) {
  ASSERT_TRUE(select_language("en"));
  for (const translation_pair& pair : zh_cn_phrases()) {
    // A copy, so the result cannot be the table's own pointer by accident.
    const std::string copy = pair.english;
    EXPECT_EQ(translate_text(copy.c_str()), copy.c_str()) << copy;
  }
}

TEST_F(translation_pack, a_text_missing_from_the_table_is_unchanged) {
  ASSERT_TRUE(select_language("zh-cn"));
  for (const char* text : {"CHx", "", "solo", "SOLO ", "Infinity"}) {
    EXPECT_EQ(translate_text(text), text) << text;
  }
}

struct locale_case {
  const char* name;
  int result;
  const char* current_after;  // starting from "en"
};

TEST_F(translation_pack, locale_names_match_exactly) {
  const locale_case cases[] = {
      {"zh-cn", 0, "zh-cn"}, {"en", 0, "en"},    {"EN", -1, "en"},     {"ZH-CN", -1, "en"},
      {"zh", -1, "en"},      {"zh-cn ", -1, "en"}, {"", -1, "en"},     {nullptr, -1, "en"},
  };
  for (const locale_case& c : cases) {
    SCOPED_TRACE(c.name ? c.name : "(null)");
    ASSERT_EQ(translation_init(&default_language_pack()), 0);
    EXPECT_EQ(translation_set_locale(c.name), c.result);
    EXPECT_STREQ(current_locale(), c.current_after);
  }
}

TEST_F(translation_pack, a_failed_locale_leaves_the_current_language) {
  ASSERT_TRUE(select_language("zh-cn"));
  EXPECT_EQ(translation_set_locale("EN"), -1);
  EXPECT_STREQ(current_locale(), "zh-cn");
  EXPECT_STREQ(translate_text("MUTE"), "静音");
}

struct setting_case {
  const char* setting;  // the stored LANG value; nullptr when it is missing
  bool matched;
  const char* current;
};

TEST_F(translation_pack, missing_empty_and_unknown_settings_select_english) {
  const setting_case cases[] = {
      {nullptr, true, "en"}, {"", true, "en"},  {"en", true, "en"},       {"EN", false, "en"},
      {"de", false, "en"},   {"zh-CN", false, "en"}, {"zh-cn", true, "zh-cn"},
  };
  for (const setting_case& c : cases) {
    SCOPED_TRACE(c.setting ? c.setting : "(missing)");
    EXPECT_EQ(select_language(c.setting), c.matched);
    EXPECT_STREQ(current_locale(), c.current);
    const char* text = "PHONES";
    if (std::strcmp(c.current, "en") == 0) {
      EXPECT_EQ(translate_text(text), text);
    } else {
      EXPECT_STREQ(translate_text(text), "监听");
    }
  }
}

TEST_F(translation_pack, the_default_pack_holds_english_then_chinese) {
  const language_pack& pack = default_language_pack();
  ASSERT_EQ(pack.count, 2u);
  EXPECT_STREQ(pack.languages[0].locale, "en");
  EXPECT_EQ(pack.languages[0].phrases, nullptr);
  EXPECT_STREQ(pack.languages[1].locale, "zh-cn");
  EXPECT_EQ(pack.languages[1].phrases, zh_cn_phrases().data());
  EXPECT_EQ(pack.languages[1].phrase_count, zh_cn_phrases().size());
}

// A pack of made-up languages for the lookup rules.
const translation_pair first_table[] = {
    {"A", nullptr},      // no translation: skipped, the scan goes on
    {"A", "a-first"},
    {"B", "b-first"},
    {nullptr, nullptr},  // the table ends here although the count goes on
    {"C", "c-first"},
};
const translation_pair second_table[] = {{"D", "d-second"}};

const language lookup_languages[] = {
    {"first", first_table, std::size(first_table)},
    {"second", second_table, std::size(second_table)},
    {"bare", nullptr, 0},
    {"", nullptr, 0},  // end of the pack
    {"hidden", second_table, std::size(second_table)},
};
const language_pack lookup_pack{lookup_languages, std::size(lookup_languages)};

struct lookup_case {
  const char* locale;
  const char* text;
  const char* expected;  // nullptr: the argument itself
};

TEST_F(translation_pack, lookup_rules) {
  const lookup_case cases[] = {
      {"first", "A", "a-first"},   // a pair without translation is passed over
      {"first", "B", "b-first"},
      {"first", "C", nullptr},     // after the end mark
      {"first", "D", nullptr},     // no fallback to another language's table
      {"second", "D", "d-second"},
      {"second", "B", nullptr},    // a language with a table never borrows
      {"bare", "B", "b-first"},    // a language without a table uses the first one's
      {"bare", "D", nullptr},
  };
  ASSERT_EQ(translation_init(&lookup_pack), 0);
  for (const lookup_case& c : cases) {
    SCOPED_TRACE(std::string(c.locale) + " / " + c.text);
    ASSERT_EQ(translation_set_locale(c.locale), 0);
    const std::string text = c.text;
    const char* result = translate_text(text.c_str());
    if (c.expected == nullptr)
      EXPECT_EQ(result, text.c_str());
    else
      EXPECT_STREQ(result, c.expected);
  }
  EXPECT_EQ(translation_set_locale("hidden"), -1);  // past the end of the pack
}

TEST_F(translation_pack, a_first_language_without_table_reads_as_written_for_all) {
  static const language languages[] = {{"base", nullptr, 0}, {"other", nullptr, 0}};
  static const language_pack pack{languages, 2};
  ASSERT_EQ(translation_init(&pack), 0);
  const char* text = "SOLO";
  EXPECT_EQ(translate_text(text), text);
  ASSERT_EQ(translation_set_locale("other"), 0);
  EXPECT_EQ(translate_text(text), text);
}

TEST_F(translation_pack, a_single_installed_table_translates_until_removed) {
  static const translation_pair pairs[] = {{"OFF", "AUS"}};
  static const translation_table table{"de", pairs, 1};
  set_translation_table(&table);
  EXPECT_STREQ(current_locale(), "de");
  EXPECT_STREQ(translate_text("OFF"), "AUS");
  const char* text = "ON";
  EXPECT_EQ(translate_text(text), text);
  set_translation_table(nullptr);
  EXPECT_STREQ(translate_text("OFF"), "OFF");
  EXPECT_EQ(current_locale(), nullptr);
}

// ---- The simplified-Chinese table ----

class language_zh_cn : public translation_pack {};

const char* const expected_keys[] = {
    "Local Scene", "Edit", "Solo", "Mute", "SOLO", "MUTE",
    "Are you sure to turn on the phantom power?", "NO", "YES", "EDIT", "OFF", "LINK L&R", "ON",
    "Device List:", "Refresh", "Connect", "Demo", "OUTPUT", "INPUT", "IN1", "BYPASS", "RESET",
    "PARAM", "PARAMETERS", "FADER", "SENDS ON FADERS", "STEREO", "GAIN", "DELAY", "PAN",
    "Input channel selection", "COMPRESSOR", "THRESHOLD", "RATIO", "ATTACK", "RELEASE",
    "PHASE", "HP", "LP", "LOW", "L MID", "H MID", "HIGH", "FREQ", "FILTER", "SLOPE",
    "MUTE GROUP", "COPY", "PASTE", "SELECT", "VOL", "Phone: %s", "Back", "Pg Up", "Pg Dn",
    "Player", "Recorder", "Bluetooth", "USB Audio", "Optical", "Coax", "Ready", "start",
    "Disconnected", "The multimedia player is currently being used by another client.", "stop",
    "Connected", "Password length must not exceed 8 characters.",
    "Password cannot contain spaces.", "Passwords do not match. Please try again.",
    "Change Password", "Current Password:", "New Password:", "Confirm Password:", "Cancel",
    "Password:", "Lock", "Unlock",
    "Factory reset in progress...\nPlease wait for a few seconds.(%u)",
    "Restore Factory Settings?", "Factory reset in progress...\nPlease wait a moment.", "OK",
    "CANCEL", "COPY FINISHED!", "COPYING...", "INPUT CHANNELS", "SOURCE", "TARGET",
    "OUTPUT CHANNELS", "VOL:", "ALL MUTED", "UNMUTE",
    "Password must be at least 8 characters!",
    "Configuration saved!\nTake effect after reboot!", "LAN",
    "Obtain an IP address automatically", "IP address:", "Subnet mask:", "Gateway:", "DNS:",
    "Wireless LAN", "SSID:",
    "Warning:\n"
    "    If you set incorrect network parameters, you will not be able to connect to this "
    "device.\n"
    "    However, you can reset the network parameters to default by holding down the reset "
    "button on the device until the LED flashes rapidly.",
    "I got it!", "ALL ON", "ALL OFF", "ERROR! Channel multiplexing not supported.", "ERROR!",
    "Recording settings are active!", "APPLY", "RECOVER", "CALL SUCCESS!", "CALL FAIL!",
    "SAVE SUCCESS!", "SAVE FAIL!", "CALLING SCENE %d...", "SAVING TO SCENE %d...",
    "Please select a scene!", "EXPORT SCENE SUCCESS!", "EXPORT SCENE FAIL!",
    "IMPORT SCENE SUCCESS!", "IMPORT SCENE FAIL!", "IMPORT TO SCENE %d...", "IMPORT FAIL!",
    "WRONG SCENE FILE!", "WRONG DEVICE CODE!", "EXPORT FROM SCENE %d...", "RENAME", "CALL",
    "SAVE", "IMPORT", "EXPORT", "NETWORK", "LOCK", "PASSWROD...",
    "HEADPHONE MONITORING SETTINGS", "LANGUAGE", "DEVICE NAME:", "FIRMWARE:", "UNDEF",
    "SYSTEM", "SCENE", "PHANTOM GROUP", "SIGNAL", "Setting", "COPY DONE!",
    "Stereo copying is unsupported!", "BUTTER\nWORTH", "BESSEL", "LINKWITZ\n-RILEY",
    "REVERB HALL", "REVERB ROOM", "REVERB PLATE", "REVERB VOCAL1", "REVERB VOCAL2",
    "VOCAL ECHO1", "VOCAL ECHO2", "DELAY1", "DELAY2", "MOD.DELAY", "REVERB GATE",
    "PITCH CHANGE", "CHORUS", "PHASER", "FLANGE", "TREMOLO", "EARLY REF.", "GATE REVERB",
    "VOCAL DOUBLER", "SYMPHONIC", "DISTORTION", "TAP DELAY", "REVERB PREDELAY", "ECHO DELAY",
    "SLOPE", "FREQUENCY", "REVERB DELAY", "REVERB DURATION", "ECHO REPEAT", "DEPTH",
    "REVERB RATIO", "CHANGE PASSWORD SUCCESS!", "CHANGE PASSWORD FAIL!",
    "Factory settings restored successfully!\nThe device will restart automatically.", "CLEAR",
    "DCA GROUP", "DIGI", "EFFECT\nTYPES", "PARAM1", "PARAM2", "TAP", "Q", "Name:%s", "GATE",
    "COMP", "DECAY", "HOLD", "LINK", "MEDIA", "RECORD", "PHONES", "VERSION", "WHITE NOISE",
    "PINK NOISE", "SINE WAVE", "Frequency\n%s", "Volume\n%s", "HI-Z", "LOCK MIX1-6",
    "INPUT CHANNEL MAPPING", "OUTPUT CHANNEL MAPPING", "HARDWARE CHANNEL", "LOGICAL CHANNEL",
    "GRAPHIC EQUALIZER", "Searching...", "No console found", "Undo", "Redo", "Nothing to undo",
    "Nothing to redo", "Not undone, changed on the console", "Not redone, changed on the console",
    "1 change was not confirmed by the console", "%d changes were not confirmed by the console",
    "DIFF", "READING SCENE %d...", "READING SCENE %d... %d/%d", "READING SCENE %d FAILED",
    "SCENE %d: NO DIFFERENCES", "SCENE %d: 1 DIFFERENCE", "SCENE %d: %d DIFFERENCES", "Link",
    "running",
};

TEST_F(language_zh_cn, holds_every_key_in_table_order) {
  const auto phrases = zh_cn_phrases();
  ASSERT_EQ(phrases.size(), 233u);
  ASSERT_EQ(std::size(expected_keys), phrases.size());
  for (std::size_t i = 0; i < phrases.size(); ++i) {
    ASSERT_NE(phrases[i].english, nullptr) << i;
    EXPECT_STREQ(phrases[i].english, expected_keys[i]) << "pair " << i;
  }
}

TEST_F(language_zh_cn, every_pair_has_a_translation_and_repeats_agree) {
  const auto phrases = zh_cn_phrases();
  for (std::size_t i = 0; i < phrases.size(); ++i) {
    ASSERT_NE(phrases[i].translated, nullptr) << phrases[i].english;
    EXPECT_GT(std::strlen(phrases[i].translated), 0u) << phrases[i].english;
    // Only the first pair of a text is ever used; a later one must not say otherwise.
    for (std::size_t j = 0; j < i; ++j) {
      if (std::strcmp(phrases[j].english, phrases[i].english) == 0) {
        EXPECT_STREQ(phrases[j].translated, phrases[i].translated) << phrases[i].english;
      }
    }
  }
}

TEST_F(language_zh_cn, translations_are_well_formed_utf8) {
  for (const translation_pair& pair : zh_cn_phrases()) {
    const auto* p = reinterpret_cast<const unsigned char*>(pair.translated);
    bool valid = true;
    while (*p != 0 && valid) {
      const int extra = *p < 0x80          ? 0
                        : (*p >> 5) == 0x6  ? 1
                        : (*p >> 4) == 0xE  ? 2
                        : (*p >> 3) == 0x1E ? 3
                                            : -1;
      if (extra < 0) valid = false;
      ++p;
      for (int k = 0; k < extra && valid; ++k, ++p)
        if ((*p & 0xC0) != 0x80) valid = false;
    }
    EXPECT_TRUE(valid) << pair.english;
  }
}

struct fixed_translation {
  const char* english;
  const char* translated;
};

TEST_F(language_zh_cn, fixed_translations) {
  const fixed_translation cases[] = {
      {"SOLO", "监听"},
      {"Solo", "监听"},
      {"PHONES", "监听"},
      {"MUTE", "静音"},
      {"Mute", "静音"},
      {"IN1", "通道1"},
      {"Phone: %s", "监听: %s"},
      {"Name:%s", "通道名:%s"},
      {"CALLING SCENE %d...", "调用场景%d..."},
      {"Frequency\n%s", "频率\n%s"},
      {"BUTTER\nWORTH", "巴特沃斯"},
      {"LINKWITZ\n-RILEY", "林克-瑞尔"},
      {"EFFECT\nTYPES", "效果类型"},
      {"APPLY", "确认"},
      {"OK", "确认"},
      {"RESET", "重置"},
      {"RECOVER", "重置"},
      {"New Password:", "New Password:"},
      {"Confirm Password:", "Confirm Password:"},
      {"PASSWROD...", "密码..."},
      {"SLOPE", "斜率"},
      {"Are you sure to turn on the phantom power?", "确认要打开48V吗？"},
      {"Factory reset in progress...\nPlease wait for a few seconds.(%u)",
       "正在恢复出厂设置.\n请稍候...(%u)"},
  };
  ASSERT_TRUE(select_language("zh-cn"));
  for (const fixed_translation& c : cases) {
    const std::string text = c.english;  // looked up by content, not by address
    EXPECT_STREQ(translate_text(text.c_str()), c.translated) << c.english;
  }
}

TEST_F(language_zh_cn, every_key_translates_to_its_first_pair) {
  ASSERT_TRUE(select_language("zh-cn"));
  for (const translation_pair& pair : zh_cn_phrases()) {
    const std::string text = pair.english;
    const char* result = translate_text(text.c_str());
    EXPECT_NE(result, text.c_str()) << text;
    for (const translation_pair& first : zh_cn_phrases())
      if (std::strcmp(first.english, pair.english) == 0) {
        EXPECT_EQ(result, first.translated) << text;
        break;
      }
  }
}

// The printf conversions of a format, in order ("%%" included).
std::vector<std::string> conversions(const char* format) {
  std::vector<std::string> found;
  for (const char* p = format; *p != 0; ++p) {
    if (*p != '%') continue;
    const char* start = p++;
    while (*p != 0 && std::strchr("-+ #0", *p) != nullptr) ++p;
    while (*p != 0 && (std::isdigit(static_cast<unsigned char>(*p)) || *p == '*')) ++p;
    if (*p == '.') {
      ++p;
      while (*p != 0 && (std::isdigit(static_cast<unsigned char>(*p)) || *p == '*')) ++p;
    }
    while (*p != 0 && std::strchr("hlLqjzt", *p) != nullptr) ++p;
    if (*p == 0) {  // a lone '%' at the end
      found.emplace_back(start);
      break;
    }
    found.emplace_back(start, p + 1);
  }
  return found;
}

struct conversion_case {
  const char* format;
  std::vector<std::string> expected;
};

TEST_F(language_zh_cn, conversion_scanner) {
  const conversion_case cases[] = {
      {"plain", {}},
      {"%d%%", {"%d", "%%"}},
      {"x %-5.2f y %lu %s", {"%-5.2f", "%lu", "%s"}},
      {"(%u)", {"%u"}},
      {"50%", {"%"}},
  };
  for (const conversion_case& c : cases) EXPECT_EQ(conversions(c.format), c.expected) << c.format;
}

TEST_F(language_zh_cn, translations_keep_the_conversions_in_order) {
  int with_conversions = 0;
  for (const translation_pair& pair : zh_cn_phrases()) {
    const auto english = conversions(pair.english);
    EXPECT_EQ(conversions(pair.translated), english) << pair.english;
    if (!english.empty()) ++with_conversions;
  }
  // Phone, reset countdown, four scene progress texts, Name, Frequency, Volume, the unconfirmed
  // changes, and the scene reading and difference texts.
  EXPECT_EQ(with_conversions, 16);
}

}  // namespace
}  // namespace vorante
