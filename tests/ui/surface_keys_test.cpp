// The console's keys as they arrive from the console: every key of the surface is pressed
// on the simulator and reaches the program as a control event over the real link, with the
// surface taken over. Each case names what the key must do (a page opened, parameters
// written, a media command, a scene recalled or stored) and the key lights afterwards.
#include <QtTest>

#include <cstdio>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/core/log.h"
#include "app/params/banks.h"
#include "app/params/convert.h"
#include "app/params/ids.h"
#include "app/params/input_editor.h"
#include "app/params/solo.h"
#include "app/protocol/frame.h"
#include "app/protocol/session.h"
#include "app/protocol/surface.h"
#include "tests/e2e/sim_process.h"
#include "tests/ui/host_window.h"
#include "tests/ui/linked_rig.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_table.h"
#include "ui/platform/qt_ui_port.h"
#include "ui/screens/editors/editor_copy.h"
#include "ui/screens/media/player.h"
#include "ui/screens/mixer/surface_keys.h"
#include "ui/screens/scenes/set_scene.h"
#include "ui/screens/settings/security_dialogs.h"

using namespace vorante;

namespace {

constexpr int answer_wait_ms = 4000;
// A global the keys never touch: the simulator pushes it after a key, and once it has
// arrived the key has been handled too (both come in order on the one link).
constexpr unsigned barrier_id = 2772;

// Keeps the payloads of the media commands the program sends.
class recording_transport : public transport {
 public:
  recording_transport(std::unique_ptr<transport> inner, std::vector<std::vector<uint8_t>>& media)
      : inner_(std::move(inner)), media_(media) {}
  void send(const uint8_t* bytes, std::size_t n) override {
    const std::span<const uint8_t> frame(bytes, n);
    if (n >= min_frame_size && frame[2] == code_byte(message_code::media_command)) {
      const auto payload = frame_payload(frame);
      media_.emplace_back(payload.begin(), payload.end());
    }
    inner_->send(bytes, n);
  }
  std::size_t poll(engine_ring& ring, uint32_t now_ms) override { return inner_->poll(ring, now_ms); }

 private:
  std::unique_ptr<transport> inner_;
  std::vector<std::vector<uint8_t>>& media_;
};

// What main() connects for the console's keys, encoders, scene keys and media keys, with
// the surface taken over so that the key lights are computed and sent.
void wire_surface(test::linked_rig& rig) {
  test::wire_settings(rig);
  navigator* nav = rig.nav.get();
  rig.port.set_surface_state_source([nav] { return nav->surface_state(); });
  QObject::connect(&rig.port, &qt_ui_port::surface_encoder, nav, &navigator::console_encoder);
  QObject::connect(&rig.port, &qt_ui_port::scene_key_lock, nav, [](bool locked) { set_scene_key_lock(locked); });
  install_scene_keys(*nav);
  install_media_keys(*nav);
}

channel_ref strip(int layer, int slot) { return fader_banks[static_cast<std::size_t>(layer)].channels[static_cast<std::size_t>(slot)]; }
unsigned on_id(channel_ref c) { return param_id(c.kind, c.index, code_on); }
const channel_ref main_l{kind_bus, main_l_bus};
const channel_ref main_r{kind_bus, main_r_bus};

// The channels the global solo and mute keys reach, as the console numbers them.
std::vector<channel_ref> global_channels() {
  std::vector<channel_ref> all;
  for (int i = 0; i < input_count; ++i) all.push_back({kind_input, i});
  for (int b = 0; b < bus_count; ++b) all.push_back({kind_bus, b});
  for (int f = 0; f < fx_count; ++f) all.push_back({kind_fx, f});
  return all;
}

std::vector<int> range(int first, int last) {
  std::vector<int> r;
  for (int n = first; n <= last; ++n) r.push_back(n);
  return r;
}

}  // namespace

class surface_keys_test : public test::linked_test {
  Q_OBJECT

 public:
  // One row of the key table: the state before, the key (a simulator command), what must
  // hold once it has been handled, and the key lights then.
  struct key_case {
    const char* name;
    std::function<void(surface_keys_test&)> before;
    std::string press;
    std::function<bool(surface_keys_test&)> done;
    std::vector<int> lit;
    std::vector<int> dark;
  };

  // --- what the rows use ----------------------------------------------------------------

  param_store& store() { return rig_->session.store; }
  navigator& nav() { return *rig_->nav; }
  control_surface& surface() { return rig_->session.engine.surface(); }
  media_client& media() { return rig_->session.media; }
  int sim(unsigned id) { return test::sim_value(*sim_, id); }

  // A key or encoder on the console, handled by the time this returns.
  void press(const std::string& command) {
    QCOMPARE(sim_->command(command), std::string("ok"));
    settle();
  }
  void settle() {
    const uint16_t mark = static_cast<uint16_t>(++barrier_);
    QCOMPARE(sim_->command("set " + std::to_string(barrier_id) + " " + std::to_string(mark)), std::string("ok"));
    QTRY_COMPARE_WITH_TIMEOUT(store().get(barrier_id), mark, answer_wait_ms);
  }
  // The scene-key lock as the scene page sets it. The console answers the program's query
  // for its lock after the full read; that answer must not overwrite the lock set here.
  void lock_scene_keys() {
    QTRY_VERIFY_WITH_TIMEOUT(lock_answered_, answer_wait_ms);
    set_scene_key_lock(true);
  }
  // A write of ours, once the console holds it.
  void write(unsigned id, uint16_t value) {
    store().linked_set(id, value);
    QTRY_COMPARE_WITH_TIMEOUT(sim(id), int(value), answer_wait_ms);
  }
  void solo(channel_ref c, bool on) {
    solo_write(store(), c.kind, c.index, on);
    QTRY_COMPARE_WITH_TIMEOUT(is_solo_active(static_cast<uint16_t>(sim(solo_id(c.kind, c.index)))), on, answer_wait_ms);
  }
  // The console reports its media state every half second.
  void wait_media(const std::function<bool()>& ready) { QTRY_VERIFY_WITH_TIMEOUT(ready(), answer_wait_ms); }

  uint8_t last_media_command() const { return media_sent_.empty() ? 0 : media_sent_.back().back(); }
  bool media_sent_since(std::size_t mark) const { return media_sent_.size() > mark; }
  std::size_t media_mark() const { return media_sent_.size(); }

  std::string logged() {
    std::fflush(log_);
    std::rewind(log_);
    std::string text;
    char buf[512];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, log_)) > 0;) text.append(buf, n);
    std::fseek(log_, 0, SEEK_END);
    return text;
  }

  // The lights the console shows, from its "lights 3 8 ..." answer.
  std::set<int> console_lights() {
    std::istringstream words(sim_->command("lights"));
    std::set<int> on;
    std::string word;
    words >> word;
    for (int n; words >> n;) on.insert(n);
    return on;
  }

  bool on_screen(int id) const { return rig_->nav->is_on_screen(id); }
  int player_source() const {
    const auto* p = qobject_cast<const player_page*>(rig_->nav->page_on_screen());
    return p ? p->player_source() : -1;
  }
  bool editing(channel_ref c) const { return rig_->nav->editor_on_screen() == std::optional<channel_ref>(c); }
  bool all_values_as(const std::vector<uint16_t>& before) const {
    for (unsigned id = 0; id <= last_param_id; ++id)
      if (id != barrier_id && rig_->session.store.get(id) != before[id]) return false;
    return true;
  }
  std::vector<uint16_t> values() const {
    std::vector<uint16_t> all;
    for (unsigned id = 0; id <= last_param_id; ++id) all.push_back(rig_->session.store.get(id));
    return all;
  }

  std::vector<uint16_t> saved_;  // values a row keeps from its `before` for its `done`
  std::size_t media_at_ = 0;

 private:
  std::vector<std::vector<uint8_t>> media_sent_;
  int barrier_ = 0;
  bool lock_answered_ = false;
  std::FILE* log_ = nullptr;

  static const std::vector<key_case>& table();

 private slots:
  void init() {
    log_ = std::tmpfile();
    QVERIFY(log_);
    set_log_stream(log_);
    media_sent_.clear();
    saved_.clear();
    // Taken over unless the test watches an undriven surface.
    const bool driven = QTest::currentDataTag() == nullptr || std::string(QTest::currentDataTag()) != "watching";
    lock_answered_ = false;
    test::linked_rig::setup how{true, {}, [this, driven](test::linked_rig& rig) {
                                  rig.options.surface_takeover = driven;
                                  wire_surface(rig);
                                  QObject::connect(&rig.port, &qt_ui_port::scene_key_lock, rig.nav.get(),
                                                   [this](bool) { lock_answered_ = true; });
                                }, {}};
    how.wrap = [this](std::unique_ptr<transport> t) -> std::unique_ptr<transport> {
      return std::make_unique<recording_transport>(std::move(t), media_sent_);
    };
    open_link({}, how);
  }
  void cleanup() {
    end_scene_operation();
    set_scene_key_lock(false);
    hide_lock_dialog();
    editor_clipboard().clear();
    close_link();
    surface_keys() = {};
    set_log_stream(stdout);
    std::fclose(log_);
    log_ = nullptr;
  }

  void keys_data() {
    QTest::addColumn<int>("row");
    for (std::size_t i = 0; i < table().size(); ++i) QTest::newRow(table()[i].name) << int(i);
  }
  void keys() {
    QFETCH(int, row);
    const key_case& c = table()[static_cast<std::size_t>(row)];
    if (c.before) {
      c.before(*this);
      if (QTest::currentTestFailed()) return;
      settle();
    }
    press(c.press);
    if (QTest::currentTestFailed()) return;
    QTRY_VERIFY_WITH_TIMEOUT(c.done(*this), answer_wait_ms);
    // Lights follow a change 50 ms later, and the media lights follow the console's
    // next media report.
    for (int n : c.lit)
      QTRY_VERIFY2_WITH_TIMEOUT(surface().light(n), qPrintable(QString("light %1 is off").arg(n)), answer_wait_ms);
    for (int n : c.dark)
      QTRY_VERIFY2_WITH_TIMEOUT(!surface().light(n), qPrintable(QString("light %1 is on").arg(n)), answer_wait_ms);
  }

  // Encoder 1 is the headphone level, one step per turn whatever the turn's size.
  void headphone_encoder_steps_once_data() {
    QTest::addColumn<int>("turn");
    QTest::addColumn<int>("direction");
    QTest::newRow("+1") << 1 << 1;
    QTest::newRow("+3") << 3 << 1;
    QTest::newRow("-1") << -1 << -1;
    QTest::newRow("-5") << -5 << -1;
  }
  void headphone_encoder_steps_once() {
    QFETCH(int, turn);
    QFETCH(int, direction);
    write(headphone_level_id, 600);
    // One step from 600 as the stepping rule takes it, worked out on a copy of the store.
    runtime_options scratch_options;
    param_store scratch(scratch_options);
    scratch.load_defaults();
    scratch.set_local(headphone_level_id, 600);
    const uint16_t expected = step_param(scratch, headphone_level_id, direction, step_normal);
    QVERIFY(expected != 600);
    press("encoder 1 " + std::to_string(turn));
    QCOMPARE(store().get(headphone_level_id), expected);
    QTRY_COMPARE_WITH_TIMEOUT(sim(headphone_level_id), int(expected), answer_wait_ms);
    QVERIFY(nav().phones().isVisible());
  }

  // The key lights go to the console only while the surface is driven; the key acts
  // either way.
  void lights_reach_the_console_only_when_driven_data() {
    QTest::addColumn<bool>("driven");
    QTest::newRow("taken over") << true;
    QTest::newRow("watching") << false;
  }
  void lights_reach_the_console_only_when_driven() {
    QFETCH(bool, driven);
    const channel_ref ch1 = strip(0, 0);
    press("key 29");
    QTRY_COMPARE_WITH_TIMEOUT(sim(on_id(ch1)), 0, answer_wait_ms);
    if (driven) {
      // The lights of the first full refresh and the mute light of the key.
      QTRY_VERIFY_WITH_TIMEOUT(console_lights().count(29) == 1, answer_wait_ms);
      const std::set<int> lights = console_lights();
      for (int n : {8, 39, 55, 81, 82}) QVERIFY2(lights.count(n) == 1, QByteArray::number(n));
    } else {
      // Long enough for the light timer and a paced pass or two.
      QTest::qWait(300);
      QCOMPARE(sim_->command("lights"), std::string("lights none"));
      QCOMPARE(sim_->command("faders"), std::string("faders none"));
    }
  }
};

const std::vector<surface_keys_test::key_case>& surface_keys_test::table() {
  using t = surface_keys_test;
  const auto udisk = [](t& f) {
    f.media().select_udisk();
    f.wait_media([&f] { return f.media().play_device() == play_device_udisk; });
  };
  const auto nothing_changed = [](t& f) { return f.all_values_as(f.saved_); };
  const auto keep_values = [](t& f) { f.saved_ = f.values(); };

  static const std::vector<key_case> cases = {
      // --- media keys ---
      {"0 previous track", {}, "key 0", [](t& f) { return f.last_media_command() == 0xA4; }, {}, {}},
      {"1 next track", {}, "key 1", [](t& f) { return f.last_media_command() == 0xA6; }, {}, {}},
      {"2 plays the stopped u-disk", udisk, "key 2", [](t& f) { return f.last_media_command() == 0xA0; }, {2}, {4}},
      {"2 pauses the playing u-disk",
       [udisk](t& f) {
         udisk(f);
         f.media().play();
         f.wait_media([&f] { return f.media().transport_state() == transport_playing_state; });
       },
       "key 2", [](t& f) { return f.last_media_command() == 0xA1; }, {}, {2}},
      {"2 play or pause on Bluetooth",
       [](t& f) {
         f.media().select_bluetooth();
         f.wait_media([&f] { return f.media().play_device() == play_device_bluetooth; });
       },
       "key 2", [](t& f) { return f.last_media_command() == 0xA2; }, {5}, {}},
      {"3 player", {}, "key 3",
       [](t& f) { return f.on_screen(page_player) && f.player_source() == source_player; }, {3, 8, 55, 39}, {7}},
      {"4 recorder without a disk",
       [](t& f) {
         QCOMPARE(f.sim_->command("usb remove"), std::string("ok"));
         f.wait_media([&f] { return f.media().usb_port_state() != usb_port_udisk; });
         f.media_at_ = f.media_mark();
       },
       "key 4", [](t& f) { return f.on_screen(page_brief_channel) && !f.media_sent_since(f.media_at_); }, {}, {3}},
      {"4 recorder with a disk in",
       [](t& f) {
         QCOMPARE(f.sim_->command("usb insert"), std::string("ok"));
         f.wait_media([&f] { return f.media().usb_port_state() == usb_port_udisk; });
       },
       // Light 3 is the u-disk player's: lit by the page change, off with the next media report.
       "key 4", [](t& f) { return f.on_screen(page_player) && f.player_source() == source_recorder; }, {}, {3, 7}},
      {"5 Bluetooth", udisk, "key 5",
       [](t& f) { return f.on_screen(page_player) && f.player_source() == source_bluetooth; }, {5}, {3, 7}},

      // --- headphone and settings ---
      {"6 pins the headphone level", {}, "key 6", [](t& f) { return f.nav().phones().pinned(); }, {6}, {}},
      {"6 again unpins it", [](t& f) { f.press("key 6"); }, "key 6",
       [](t& f) { return !f.nav().phones().pinned() && !f.nav().phones().isVisible(); }, {}, {6}},
      {"7 settings", {}, "key 7", [](t& f) { return f.on_screen(page_setting); }, {7}, {3}},
      {"7 settings after the player", [](t& f) { f.press("key 3"); }, "key 7",
       [](t& f) { return f.on_screen(page_setting) && !f.on_screen(page_player); }, {7}, {3}},

      // --- strip keys of layer 1 and the MAIN keys ---
      {"9 selects strip 1", {}, "key 9", [](t& f) { return f.editing(strip(0, 0)) && f.on_screen(page_edit_input); },
       {9}, {10}},
      {"9 again goes back to the strips", [](t& f) { f.press("key 9"); }, "key 9",
       [](t& f) { return f.on_screen(page_brief_channel); }, {}, {9}},
      {"16 selects strip 8", {}, "key 16", [](t& f) { return f.editing(strip(0, 7)); }, {16}, {9}},
      {"17 selects MAIN L", {}, "key 17", [](t& f) { return f.editing(main_l) && f.on_screen(page_edit_output); },
       {17}, {18}},
      {"18 selects MAIN R", {}, "key 18", [](t& f) { return f.editing(main_r); }, {18}, {17}},
      {"19 solos strip 1", {}, "key 19",
       [](t& f) { return is_solo_active(static_cast<uint16_t>(f.sim(solo_id(kind_input, 0)))); }, {19}, {20}},
      {"19 again unsolos it", [](t& f) { f.solo(strip(0, 0), true); }, "key 19",
       [](t& f) { return !is_soloed(f.store(), kind_input, 0); }, {}, {19}},
      {"27 solos MAIN L alone",
       [](t& f) {
         f.solo(main_l, false);
         f.solo(main_r, false);
       },
       "key 27", [](t& f) { return is_solo_active(static_cast<uint16_t>(f.sim(main_l_solo_id))); }, {27}, {28}},
      {"27 solos both MAIN channels while they are linked",
       [](t& f) {
         f.solo(main_l, false);
         f.solo(main_r, false);
         f.write(output_stereo_bits_id, static_cast<uint16_t>(f.store().get(output_stereo_bits_id) | (1u << (main_l_bus / 2))));
       },
       "key 27", [](t& f) { return is_soloed(f.store(), kind_bus, main_r_bus); }, {27, 28}, {}},
      {"28 solos MAIN R alone",
       [](t& f) {
         f.solo(main_l, false);
         f.solo(main_r, false);
       },
       "key 28", [](t& f) { return is_solo_active(static_cast<uint16_t>(f.sim(main_r_solo_id))); }, {28}, {27}},
      {"29 mutes strip 1", {}, "key 29", [](t& f) { return f.sim(on_id(strip(0, 0))) == 0; }, {29}, {30}},
      {"29 again unmutes it", [](t& f) { f.write(on_id(strip(0, 0)), 0); }, "key 29",
       [](t& f) { return f.sim(on_id(strip(0, 0))) == 1; }, {}, {29}},
      {"36 mutes strip 8", {}, "key 36", [](t& f) { return f.sim(on_id(strip(0, 7))) == 0; }, {36}, {29}},
      {"37 mutes MAIN L", {}, "key 37", [](t& f) { return f.sim(on_id(main_l)) == 0; }, {37}, {38}},
      {"38 mutes MAIN R", {}, "key 38", [](t& f) { return f.sim(on_id(main_r)) == 0; }, {38}, {37}},
      {"30 mutes strip 2 of layer 2", [](t& f) { f.press("key 40"); }, "key 30",
       [](t& f) { return f.sim(on_id(strip(1, 1))) == 0 && f.sim(on_id(strip(0, 1))) == 1; }, {30}, {}},
      {"34 on an empty slot of layer 3 does nothing",
       [keep_values](t& f) {
         f.press("key 41");
         keep_values(f);
       },
       "key 34", nothing_changed, {41}, {34}},
      {"held strip key does nothing", keep_values, "key 29 long", nothing_changed, {}, {29}},

      // --- layers ---
      {"40 layer 2", {}, "key 40",
       [](t& f) { return f.surface().layer() == 1 && f.nav().current_bank() == 1 && f.on_screen(page_brief_channel); },
       {40, 83, 84}, {39, 81, 82, 41, 42, 85, 86}},
      {"41 layer 3 from an editor", [](t& f) { f.press("key 9"); }, "key 41",
       [](t& f) { return f.surface().layer() == 2 && f.on_screen(page_brief_channel); }, {41, 85, 86},
       {39, 40, 42, 81, 82, 83, 84, 9}},
      {"42 layer 4", {}, "key 42", [](t& f) { return f.surface().layer() == 3 && f.nav().current_bank() == 3; },
       {42, 81, 82, 85, 86}, {39, 40, 41, 83, 84}},
      {"39 from the DCA bank", [](t& f) { f.nav().select_bank(bank_count - 1); }, "key 39",
       [](t& f) { return f.surface().layer() == 0 && f.nav().current_bank() == 0 && f.on_screen(page_brief_channel); },
       {39, 81, 82}, {40, 41, 42, 83, 84, 85, 86}},

      // --- scene keys ---
      {"45 recalls scene 3 and blinks", {}, "key 45",
       [](t& f) { return f.sim(scene_change_marker_id) == 3 && scene_key_blinking(); }, {}, {43, 44, 46, 47, 48}},
      {"45 held stores scene 3 and blinks", {}, "key 45 long",
       [](t& f) {
         return f.sim(scene_change_marker_id) == 3 && scene_key_blinking() &&
                f.logged().find("save scene 3\n") != std::string::npos;
       },
       {}, {43, 44, 46, 47, 48}},
      {"45 while the scene keys are locked",
       [keep_values](t& f) {
         f.lock_scene_keys();
         keep_values(f);
       },
       "key 45",
       [nothing_changed](t& f) {
         return f.logged().find("scene key is locked!\n") != std::string::npos && !scene_key_blinking() &&
                !scene_operation_running() && nothing_changed(f);
       },
       {}, {}},
      {"45 held while the scene keys are locked",
       [keep_values](t& f) {
         f.lock_scene_keys();
         keep_values(f);
       },
       "key 45 long",
       [nothing_changed](t& f) {
         const std::string log = f.logged();
         return log.find("scene key is locked!\n") != std::string::npos && log.find("save scene") == std::string::npos &&
                !scene_key_blinking() && nothing_changed(f);
       },
       {}, {}},
      {"every key waits while the scene lights blink",
       [](t& f) {
         f.press("key 44");
         QTRY_VERIFY_WITH_TIMEOUT(scene_key_blinking() && f.sim(scene_change_marker_id) == 2, answer_wait_ms);
         QTRY_VERIFY_WITH_TIMEOUT(f.rig_->session.engine.read_finished(), read_wait_ms);
         f.press("key 46");  // another scene key: ignored as well
       },
       "key 29",
       [](t& f) {
         return f.sim(on_id(strip(0, 0))) == 1 && f.sim(scene_change_marker_id) == 2 && scene_key_blinking();
       },
       {}, {29}},

      // --- global keys ---
      {"49 clears every solo",
       [](t& f) {
         for (channel_ref c : {channel_ref{kind_input, 3}, channel_ref{kind_input, 17}, channel_ref{kind_bus, 2},
                               channel_ref{kind_fx, 1}, main_l, main_r})
           f.solo(c, true);
       },
       "key 49",
       [](t& f) {
         for (channel_ref c : global_channels())
           if (is_solo_active(static_cast<uint16_t>(f.sim(solo_id(c.kind, c.index))))) return false;
         return true;
       },
       {}, range(19, 28)},
      {"50 locks the console", {}, "key 50", [](t& f) { return f.rig_->session.engine.console_locked(); }, {50},
       {}},
      {"51 mutes all",
       [](t& f) { f.saved_ = {static_cast<uint16_t>(f.sim(on_id({kind_dca, 0})))}; },
       "key 51",
       [](t& f) {
         for (channel_ref c : global_channels())
           if (f.sim(on_id(c)) != 0) return false;
         return f.sim(on_id({kind_dca, 0})) == f.saved_[0];
       },
       range(29, 38), {}},
      {"52 unmutes all",
       [](t& f) {
         for (channel_ref c : {channel_ref{kind_input, 0}, channel_ref{kind_input, 25}, channel_ref{kind_bus, 9},
                               channel_ref{kind_fx, 0}})
           f.write(on_id(c), 0);
       },
       "key 52",
       [](t& f) {
         for (channel_ref c : global_channels())
           if (f.sim(on_id(c)) != 1) return false;
         return true;
       },
       {}, range(29, 38)},

      // --- keys for the page on screen ---
      {"53 goes to the input editor (copy)", [](t& f) { f.press("key 9"); }, "key 53",
       [](t&) { return editor_clipboard().holds(kind_input, 0); }, {9}, {}},
      {"53 on the strips page changes nothing", keep_values, "key 53",
       [nothing_changed](t& f) { return editor_clipboard().empty() && nothing_changed(f); }, {}, {}},
  };
  return cases;
}

QTEST_MAIN(surface_keys_test)
#include "surface_keys_test.moc"
