#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/core/cmdline.h"
#include "app/core/data_home.h"
#include "app/core/factory_marker.h"
#include "app/core/id_names.h"
#include "app/core/identity.h"
#include "app/core/numbers.h"

namespace vorante {
namespace {

// --- parse_number ---------------------------------------------------------------------

struct number_case {
  const char* text;
  unsigned expected;
};

class parse_number_test : public testing::TestWithParam<number_case> {};

TEST_P(parse_number_test, reads_the_text_by_the_number_rule) {
  EXPECT_EQ(parse_number(GetParam().text), GetParam().expected) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    cases, parse_number_test,
    testing::Values(
        // All decimal digits: base 10, even where the digits would also be valid hex.
        number_case{"10", 10}, number_case{"  \t\n42", 42}, number_case{"0010", 10},
        number_case{"000000000000000000000012", 12}, number_case{"4294967295", 4294967295u},
        // Anything else: base 16 with an optional prefix.
        number_case{"0xE001", 0xE001}, number_case{"0X3b", 0x3B}, number_case{"E001", 0xE001},
        number_case{"1a", 0x1A}, number_case{"FFFFFFFF", 0xFFFFFFFFu},
        number_case{"0x00000000000000001", 1},
        // No digit, trailing characters, out of range, signs: 0.
        number_case{"", 0}, number_case{"   ", 0}, number_case{"0x", 0}, number_case{"12 ", 0},
        number_case{"12z", 0}, number_case{"0x1g", 0}, number_case{"0x0x1", 0},
        number_case{"4294967296", 0}, number_case{"0x100000000", 0}, number_case{"-1", 0},
        number_case{"+5", 0}));

TEST(identity, codes_parse_into_their_widths) {
  EXPECT_EQ(identity().product, 0xE001);
  EXPECT_EQ(identity().model, 0x3B);
  EXPECT_EQ(identity().revision, 0x01);
  EXPECT_NE(parse_number(splash_switch_text()), 0u);
}

// --- numbers typed by people --------------------------------------------------------

TEST(typed_numbers, integers_are_decimal_or_prefixed_hex_and_within_their_range) {
  struct integer_case {
    const char* text;
    int64_t lo, hi;
    std::optional<int64_t> expected;
  };
  const integer_case cases[] = {
      {"0", 0, 10, 0},
      {"3517", 0, 3517, 3517},
      {"3518", 0, 3517, std::nullopt},
      {"0x0DBD", 0, 3517, 3517},
      {"0XffFF", 0, 65535, 65535},
      {"010", 0, 100, 10},  // leading zeros are decimal, not octal
      {"0x", 0, 100, std::nullopt},
      {"0x-1", -10, 10, std::nullopt},
      {"-3", -10, 10, -3},
      {"-0x10", -100, 0, -16},
      {"-1", 0, 10, std::nullopt},  // no sign where the range has no negative numbers
      {"-", -10, 10, std::nullopt},
      {"+5", 0, 10, std::nullopt},
      {" 5", 0, 10, std::nullopt},
      {"5 ", 0, 10, std::nullopt},
      {"5x", 0, 10, std::nullopt},
      {"1a", 0, 100, std::nullopt},  // hex digits need the prefix
      {"", 0, 10, std::nullopt},
      {"9223372036854775807", INT64_MIN, INT64_MAX, INT64_MAX},
      {"-9223372036854775808", INT64_MIN, INT64_MAX, INT64_MIN},
      {"9223372036854775808", INT64_MIN, INT64_MAX, std::nullopt},
      {"99999999999999999999", 0, INT64_MAX, std::nullopt},
  };
  for (const integer_case& c : cases)
    EXPECT_EQ(parse_integer(c.text, c.lo, c.hi), c.expected) << '"' << c.text << '"';

  // The typed form keeps the range of its type.
  EXPECT_EQ(parse_integer_as<uint16_t>("65535"), 65535);
  EXPECT_EQ(parse_integer_as<uint16_t>("65536"), std::nullopt);
  EXPECT_EQ(parse_integer_as<uint8_t>("0x100"), std::nullopt);
  EXPECT_EQ(parse_integer_as<int>("-2147483648"), INT32_MIN);
}

TEST(typed_numbers, ports_refuse_zero_unless_it_means_any_free_port) {
  EXPECT_EQ(parse_port("8086"), 8086);
  EXPECT_EQ(parse_port("0x1F96"), 8086);
  EXPECT_EQ(parse_port("0"), std::nullopt);
  EXPECT_EQ(parse_port("0", port_zero::allowed), 0);
  EXPECT_EQ(parse_port("65536", port_zero::allowed), std::nullopt);
  EXPECT_EQ(parse_port("-1", port_zero::allowed), std::nullopt);
}

TEST(typed_numbers, reals_and_durations_are_finite_decimals_within_their_range) {
  struct real_case {
    const char* text;
    std::optional<double> expected;  // as a probability, 0..1
  };
  const real_case cases[] = {
      {"0", 0.0},   {"1", 1.0},           {"0.25", 0.25},       {".5", 0.5},          {"1e-3", 0.001},
      {"1.5", {}},  {"-0.1", {}},         {"nan", {}},          {"inf", {}},          {"", {}},
      {"0.5s", {}}, {" 0.5", {}},         {"+0.5", {}},         {"0x1p-1", {}},
  };
  for (const real_case& c : cases) EXPECT_EQ(parse_real(c.text, 0, 1), c.expected) << '"' << c.text << '"';

  EXPECT_EQ(parse_seconds("2.5"), 2.5);
  EXPECT_EQ(parse_seconds("86400"), 86400.0);
  EXPECT_EQ(parse_seconds("86401"), std::nullopt);
  EXPECT_EQ(parse_seconds("-1"), std::nullopt);
  EXPECT_EQ(parse_seconds("30", 10), std::nullopt);
}

// --- factory marker -------------------------------------------------------------------

TEST(factory_marker, only_the_factory_tag_with_its_nul_matches) {
  EXPECT_FALSE(factory_marker_set());
  EXPECT_EQ(factory_marker_block[46], '\0');

  char block[factory_marker_size] = "FACTORY";
  EXPECT_TRUE(is_factory_marker(block));
  block[7] = 'X';  // "FACTORYX": the NUL is part of the tag
  EXPECT_FALSE(is_factory_marker(block));
  const char lower[factory_marker_size] = "factory";
  EXPECT_FALSE(is_factory_marker(lower));
}

// --- first command-line pass ----------------------------------------------------------

struct first_pass_probe {
  std::vector<std::string> calls;
  bool wait_result = true;
  bool defaults_result = true;

  first_pass_actions actions() {
    return {[this] { calls.push_back("mkdef"); return defaults_result; },
            [this] { calls.push_back("wait"); return wait_result; }};
  }
};

std::optional<int> run_first_pass(std::vector<const char*> args, first_pass_probe& probe,
                                  std::string& output) {
  args.insert(args.begin(), "vorante");
  testing::internal::CaptureStdout();
  const auto status = first_cmdline_pass(static_cast<int>(args.size()), args.data(), probe.actions());
  output = testing::internal::GetCapturedStdout();
  return status;
}

TEST(first_cmdline_pass, carries_on_without_its_options) {
  first_pass_probe probe;
  std::string out;
  EXPECT_EQ(run_first_pass({"-ps", "1", "mkdef", "--show", "home"}, probe, out), std::nullopt);
  EXPECT_TRUE(probe.calls.empty());
  EXPECT_EQ(out, "");
}

TEST(first_cmdline_pass, mkdef_ends_the_start_with_the_write_outcome) {
  first_pass_probe probe;
  std::string out;
  EXPECT_EQ(run_first_pass({"-gbar", "1", "-mkdef", "-wdc"}, probe, out), 0);
  EXPECT_EQ(probe.calls, std::vector<std::string>{"mkdef"});  // nothing after it runs

  probe.defaults_result = false;
  EXPECT_EQ(run_first_pass({"-mkdef"}, probe, out), 1);
}

TEST(first_cmdline_pass, wdc_waits_in_order_and_reports_the_outcome) {
  first_pass_probe probe;
  std::string out;
  EXPECT_EQ(run_first_pass({"-wdc"}, probe, out), std::nullopt);
  EXPECT_EQ(out, "waiting datacenter...\nok!\n");

  probe.wait_result = false;
  probe.calls.clear();
  EXPECT_EQ(run_first_pass({"-wdc", "-mkdef"}, probe, out), 0);
  EXPECT_EQ(out, "waiting datacenter...\nerror!\n");
  EXPECT_EQ(probe.calls, (std::vector<std::string>{"wait", "mkdef"}));
}

// --- options answered before the start ------------------------------------------------

TEST(scan_early_options, finds_them_only_where_the_second_pass_would_see_an_option) {
  struct early_case {
    std::vector<const char*> args;
    early_options expected;
  };
  const auto help = early_options{info_request::help, false};
  const auto version = early_options{info_request::version, false};
  const auto home = early_options{info_request::none, true};
  const early_case cases[] = {
      {{}, {}},
      {{"--help"}, help},
      {{"-gbar", "1", "plain", "--version"}, version},
      {{"--version", "--help"}, version},  // the first one given
      {{"-wdc", "-mkdef", "--help"}, help},
      {{"--takeover", "--help"}, help},
      {{"--connect", "127.0.0.1", "--home", "-ps", "1"}, home},
      {{"--home", "--version"}, {info_request::version, true}},
      // Values of the options before, even when they look like options.
      {{"-ps", "--help"}, {}},
      {{"--screenshot", "--version", "--show", "--home"}, {}},
      // An option the second pass refuses ends the start there, with its message.
      {{"-fast", "--help"}, {}},
      {{"--home=yes", "--version"}, {}},
      {{"--helpme"}, {}},
  };
  for (const early_case& c : cases) {
    std::vector<const char*> args = c.args;
    args.insert(args.begin(), "vorante");
    std::string text;
    for (const char* a : c.args) text += std::string(a) + " ";
    EXPECT_EQ(scan_early_options(static_cast<int>(args.size()), args.data()), c.expected) << text;
  }
}

// The menu start puts the files the program keeps in its working directory here.
TEST(data_home_dir, follows_the_base_directory_rules) {
  struct home_case {
    const char* xdg_data_home;
    const char* home;
    const char* expected;  // nullptr: no directory
  };
  const home_case cases[] = {
      {"/data/u", "/home/u", "/data/u/vorante"},
      {"/data/u", nullptr, "/data/u/vorante"},
      {nullptr, "/home/u", "/home/u/.local/share/vorante"},
      {"", "/home/u", "/home/u/.local/share/vorante"},
      {"data/u", "/home/u", "/home/u/.local/share/vorante"},  // a relative one is ignored
      {nullptr, nullptr, nullptr},
      {"", "", nullptr},
      {"data/u", "home/u", nullptr},
  };
  for (const home_case& c : cases) {
    const auto dir = data_home_dir(c.xdg_data_home, c.home);
    EXPECT_EQ(dir ? dir->string() : "(none)", c.expected ? c.expected : "(none)")
        << (c.xdg_data_home ? c.xdg_data_home : "(unset)") << ", " << (c.home ? c.home : "(unset)");
  }
}

// --- second command-line pass ---------------------------------------------------------

struct second_pass_case {
  const char* name;
  std::vector<const char*> args;
  bool ok;
  std::string output;
  bool print_sent = false;
  bool print_received = false;
  bool group_bar = false;
  int media_log_level = 2;
  launch_requests requests{};
  bool surface_takeover = false;
};

class second_pass_test : public testing::TestWithParam<second_pass_case> {};

TEST_P(second_pass_test, sets_the_options_it_names) {
  const auto& c = GetParam();
  std::vector<const char*> args = c.args;
  args.insert(args.begin(), "vorante");
  runtime_options options;
  launch_requests requests;
  testing::internal::CaptureStdout();
  const bool ok = second_cmdline_pass(static_cast<int>(args.size()), args.data(), options, requests);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), c.output);
  EXPECT_EQ(ok, c.ok);
  EXPECT_EQ(options.print_sent, c.print_sent);
  EXPECT_EQ(options.print_received, c.print_received);
  EXPECT_EQ(options.group_bar, c.group_bar);
  EXPECT_EQ(options.media_log_level, c.media_log_level);
  EXPECT_EQ(options.surface_takeover, c.surface_takeover);
  if (c.ok) {
    EXPECT_EQ(requests, c.requests);
  }
}

launch_requests connect_to(std::string address, std::optional<uint16_t> port) {
  launch_requests r;
  r.connect = connect_request{std::move(address), port};
  return r;
}
launch_requests screenshot_of(std::string file, int ms) {
  launch_requests r;
  r.screenshot = screenshot_request{std::move(file), ms};
  return r;
}
launch_requests show_of(std::string page, int arg, std::string part = {}) {
  launch_requests r;
  r.show = show_request{std::move(page), arg, std::move(part)};
  return r;
}

INSTANTIATE_TEST_SUITE_P(
    cases, second_pass_test,
    testing::Values(
        second_pass_case{"none", {}, true, ""},
        second_pass_case{"values", {"-ps", "1", "-pr", "7", "-gbar", "1", "-log6951", "5"}, true, "",
                         true, true, true, 5},
        second_pass_case{"zero_values_stay_off", {"-ps", "0", "-pr", "0", "-gbar", "0"}, true, ""},
        second_pass_case{"later_value_wins", {"-ps", "1", "-ps", "0"}, true, ""},
        second_pass_case{"atoi_like", {"-ps", " +3x", "-log6951", "-4", "-gbar", "abc"}, true, "",
                         true, false, false, -4},
        second_pass_case{"overflow_saturates", {"-log6951", "99999999999"}, true, "",
                         false, false, false, 2147483647},
        // A value option takes the next argument even when it looks like an option.
        second_pass_case{"value_swallows_next", {"-ps", "-gbar", "1"}, true, ""},
        second_pass_case{"missing_value_is_zero", {"-gbar", "1", "-log6951"}, true, "",
                         false, false, true, 0},
        second_pass_case{"wdc_takes_no_value", {"-wdc", "-ps", "1", "plain", "7"}, true, "", true},
        // Answered before this pass; they take no value here either.
        second_pass_case{"early_options_take_no_value", {"--home", "-ps", "1", "--help", "--version", "-gbar", "1"},
                         true, "", true, false, true},
        // A switch: the argument after it is the next option, not its value.
        second_pass_case{"takeover_takes_no_value", {"--takeover", "-gbar", "1"}, true, "",
                         false, false, true, 2, {}, true},
        second_pass_case{"takeover_after_values", {"-ps", "1", "--takeover"}, true, "",
                         true, false, false, 2, {}, true},
        second_pass_case{"takeover_spelt_otherwise", {"--takeover=1"}, false, "unknow parameter '--takeover=1'!\n"},
        second_pass_case{"unknown_ends", {"-ps", "1", "-mk", "-gbar", "1"}, false,
                         "unknow parameter '-mk'!\n", true},
        second_pass_case{"lone_dash", {"-"}, false, "unknow parameter '-'!\n"},
        second_pass_case{"unknown_long", {"--fast"}, false, "unknow parameter '--fast'!\n"},
        second_pass_case{"connect_with_port", {"--connect", "127.0.0.1:9000"}, true, "",
                         false, false, false, 2, connect_to("127.0.0.1", 9000)},
        second_pass_case{"connect_default_port", {"--connect", "localhost"}, true, "",
                         false, false, false, 2, connect_to("localhost", std::nullopt)},
        second_pass_case{"connect_hex_port", {"--connect", "127.0.0.1:0x2328"}, true, "",
                         false, false, false, 2, connect_to("127.0.0.1", 9000)},
        second_pass_case{"connect_port_zero", {"--connect", "127.0.0.1:0"}, false,
                         "bad value '127.0.0.1:0' for '--connect'!\n"},
        second_pass_case{"connect_bad_port", {"--connect", "127.0.0.1:70000"}, false,
                         "bad value '127.0.0.1:70000' for '--connect'!\n"},
        second_pass_case{"connect_empty_port", {"--connect", "127.0.0.1:"}, false,
                         "bad value '127.0.0.1:' for '--connect'!\n"},
        second_pass_case{"connect_missing", {"-ps", "1", "--connect"}, false,
                         "missing value for '--connect'!\n", true},
        second_pass_case{"screenshot_delay", {"--screenshot", "out.png@250"}, true, "",
                         false, false, false, 2, screenshot_of("out.png", 250)},
        second_pass_case{"screenshot_default_delay", {"--screenshot", "shot@2x.png"}, true, "",
                         false, false, false, 2, screenshot_of("shot@2x.png", default_screenshot_delay_ms)},
        second_pass_case{"screenshot_no_file", {"--screenshot", "@100"}, false,
                         "bad value '@100' for '--screenshot'!\n"},
        second_pass_case{"show_with_arg", {"--show", "strips:-1"}, true, "",
                         false, false, false, 2, show_of("strips", -1)},
        second_pass_case{"show_plain", {"--show", "edit_input"}, true, "",
                         false, false, false, 2, show_of("edit_input", 0)},
        second_pass_case{"show_bad_arg", {"--show", "strips:x"}, false,
                         "bad value 'strips:x' for '--show'!\n"},
        // The part is any text here; the page judges it when it is shown.
        second_pass_case{"show_part_by_name", {"--show", "edit_output:1:geq"}, true, "",
                         false, false, false, 2, show_of("edit_output", 1, "geq")},
        second_pass_case{"show_part_by_number", {"--show", "brief_fader:-4:3"}, true, "",
                         false, false, false, 2, show_of("brief_fader", -4, "3")},
        second_pass_case{"show_part_needs_arg", {"--show", "edit_dca::FADER"}, false,
                         "bad value 'edit_dca::FADER' for '--show'!\n"},
        second_pass_case{"show_part_bad_arg", {"--show", "edit_dca:x:FADER"}, false,
                         "bad value 'edit_dca:x:FADER' for '--show'!\n"},
        second_pass_case{"show_part_empty", {"--show", "edit_dca:1:"}, false,
                         "bad value 'edit_dca:1:' for '--show'!\n"},
        second_pass_case{"show_part_with_colon", {"--show", "brief_fader:0:C:1"}, false,
                         "bad value 'brief_fader:0:C:1' for '--show'!\n"},
        second_pass_case{"show_part_without_page", {"--show", ":0:C"}, false,
                         "bad value ':0:C' for '--show'!\n"}),
    [](const testing::TestParamInfo<second_pass_case>& info) { return std::string(info.param.name); });

TEST(pick_part, takes_a_name_in_any_case_or_a_number_from_one) {
  constexpr const char* names[] = {"PEQ", "COMP", "GEQ", "FADER", "3"};
  struct part_case {
    const char* text;
    std::optional<int> expected;
  };
  const part_case cases[] = {
      {"GEQ", 2},   {"geq", 2},     {"Fader", 3},          {"1", 0},   {"4", 3},
      {"3", 4},  // a name before a number
      {"0", {}},    {"6", {}},      {"-1", {}},            {"", {}},   {"GE", {}},
      {"GEQS", {}}, {" GEQ", {}},   {"99999999999", {}},
  };
  for (const part_case& c : cases) EXPECT_EQ(pick_part(names, c.text), c.expected) << '"' << c.text << '"';
  EXPECT_EQ(pick_part({}, "1"), std::nullopt);
  EXPECT_EQ(pick_part({}, "GEQ"), std::nullopt);
}

// --- parameter-name header ------------------------------------------------------------

// A header declaring `count` enumerators; the last is `last`, the others ID_0, ID_1, ...
// Every fourth line carries an initialiser and every fifth a comment, as real ones do.
std::string make_header(std::size_t count, const std::string& last = std::string(id_name_last)) {
  std::string text = "#pragma once\nstruct before { int a; };\n\ntypedef enum {\n";
  for (std::size_t i = 0; i < count; ++i) {
    const std::string name = i + 1 == count ? last : "ID_" + std::to_string(i);
    text += "    " + name;
    if (i % 4 == 1) text += " = " + std::to_string(i) + " /* pinned, see below */";
    text += i + 1 == count ? "\n" : ",";
    if (i % 5 == 2) text += "  // level, in 0.1 dB, not {a name}";
    text += "\n";
  }
  text += "} param_id_t;\n\ntypedef enum { OTHER_A, OTHER_B } other_t;\n";
  return text;
}

TEST(id_name_table, accepts_exactly_the_full_list_ending_with_the_marker) {
  id_name_table table;
  ASSERT_TRUE(table.parse(make_header(id_name_count)));
  EXPECT_EQ(table.size(), id_name_count);
  EXPECT_STREQ(table.name(0), "ID_0");
  EXPECT_STREQ(table.name(1), "ID_1");  // "= 1" and the comment dropped
  EXPECT_STREQ(table.name(2), "ID_2");
  EXPECT_STREQ(table.name(3016), "ID_3016");
  EXPECT_STREQ(table.name(3017), "ID_M0_END");
  EXPECT_STREQ(table.name(3018), "ID_UNDEF");
  EXPECT_STREQ(table.name(0xFFFFFFFFu), "ID_UNDEF");
}

TEST(id_name_table, rejects_any_other_list_and_forgets_the_previous_one) {
  const std::string bad[] = {
      make_header(id_name_count - 1),
      make_header(id_name_count + 1),
      make_header(id_name_count, "ID_M1_END"),
      "typedef enum { SMALL_A, SMALL_B } small_t;\n" + make_header(id_name_count),  // first enum only
      "typedef enum { A, B",  // never closed
      "",
  };
  for (const auto& text : bad) {
    id_name_table table;
    ASSERT_TRUE(table.parse(make_header(id_name_count)));
    EXPECT_FALSE(table.parse(text)) << text.substr(0, 80);
    EXPECT_EQ(table.size(), 0u);
    EXPECT_STREQ(table.name(0), "ID_UNDEF");
  }
}

TEST(id_name_table, names_end_at_any_separator_and_commented_enumerators_do_not_count) {
  // Compact forms and names hidden in comments around the real ones.
  std::string text = "typedef enum{/* ID_HIDDEN, */A=5,B ,// C,\n";
  for (std::size_t i = 2; i + 1 < id_name_count; ++i) text += "N" + std::to_string(i) + "=N1+1,";
  text += "ID_M0_END}x;";
  id_name_table table;
  ASSERT_TRUE(table.parse(text));
  EXPECT_STREQ(table.name(0), "A");
  EXPECT_STREQ(table.name(1), "B");
  EXPECT_STREQ(table.name(2), "N2");
}

class id_name_files : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "vorante-names-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    work_ = root_ / "build" / "bin";
    std::filesystem::create_directories(work_);
    std::filesystem::create_directories(root_ / "app" / "protocol");
  }
  void TearDown() override {
    id_names().parse("");
    std::filesystem::remove_all(root_);
  }
  static void write(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  // Runs the start-up loader from the working directory; returns its log line.
  std::string load_at_start(bool& ok) {
    testing::internal::CaptureStdout();
    ok = load_id_names_at_start(work_);
    return testing::internal::GetCapturedStdout();
  }

  std::filesystem::path root_;
  std::filesystem::path work_;
};

TEST_F(id_name_files, missing_file_reports_a_read_error_and_names_stay_undefined) {
  testing::internal::CaptureStderr();
  EXPECT_FALSE(load_id_names(root_ / "absent.h"));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error reading file\n");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(load_id_names(root_));  // a directory is not a header either
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error reading file\n");
  EXPECT_STREQ(id_name(5), "ID_UNDEF");
}

TEST_F(id_name_files, start_prefers_the_local_header_and_falls_back_to_the_source_tree) {
  write(root_ / "app" / "protocol" / "id_24ch.h", make_header(id_name_count, "ID_M0_END"));
  bool ok = false;
  EXPECT_EQ(load_at_start(ok), "parse id enum success!!!!\n");
  EXPECT_TRUE(ok);
  EXPECT_STREQ(id_name(4), "ID_4");

  // A local header wins even when it is wrong; there is no second try.
  write(work_ / "id_32ch.h", make_header(id_name_count - 1));
  EXPECT_EQ(load_at_start(ok), "parse id enum fail!!!!\n");
  EXPECT_FALSE(ok);
  EXPECT_STREQ(id_name(4), "ID_UNDEF");
  EXPECT_STREQ(id_name(3017), "ID_UNDEF");
}

}  // namespace
}  // namespace vorante
