// The page registry, page hosts and navigation: each page is made once and shown, hidden and
// opened in order; events reach only the page on screen; the bank tabs, the navigation
// operations and the console's keys move between pages. Also the mixer tables the pages
// share: the meter bridge, the channel colours and their picker, the headphone toast and
// renaming.
#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "app/core/options.h"
#include "app/params/convert.h"
#include "app/params/levels.h"
#include "app/params/solo.h"
#include "app/protocol/messages.h"
#include "app/protocol/session.h"
#include "tests/ui/host_window.h"
#include "tests/ui/page_lookup.h"
#include "ui/foundation/channel_colours.h"
#include "ui/pages/container_page.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_registry.h"
#include "ui/pages/page_table.h"
#include "ui/platform/input.h"
#include "ui/screens/mixer/brief_cont.h"
#include "ui/screens/mixer/colour_picker.h"
#include "ui/screens/mixer/meter_bridge.h"
#include "ui/screens/mixer/phones_toast.h"
#include "ui/screens/mixer/rename.h"
#include "ui/screens/mixer/surface_keys.h"
#include "ui/widgets/overlay_layer.h"
#include "ui/widgets/text_entry.h"

using namespace vorante;

namespace {

using event_log = std::vector<QString>;

// A page that writes down every operation it receives as "<page id> <operation> <args>".
class recording_page : public page {
 public:
  recording_page(QWidget* parent, int id, event_log& log) : page(parent, id), log_(log) { note("create"); }

  void page_shown() override { note("shown"); }
  void page_hidden() override { note("hidden"); }
  void open(int argument) override { note(QString("open %1").arg(argument)); }
  void console_key(int key) override { note(QString("key %1").arg(key)); }
  void console_encoder(int encoder, int delta) override { note(QString("encoder %1 %2").arg(encoder).arg(delta)); }
  void on_param(uint16_t id, uint16_t value, bool pushed) override {
    note(QString("param %1 %2 %3").arg(id).arg(value).arg(pushed));
  }
  void on_name(int logical, const QString& text) override { note(QString("name %1 %2").arg(logical).arg(text)); }
  void on_scene_name(int scene, const QString& text) override { note(QString("scene %1 %2").arg(scene).arg(text)); }

 private:
  void note(const QString& what) { log_.push_back(QString("%1 %2").arg(page_id()).arg(what)); }
  event_log& log_;
};

page_factory recorder(event_log& log) {
  return [&log](QWidget* parent, page_env&, int id) { return new recording_page(parent, id, log); };
}

// Every page of the three containers records; the containers themselves are the program's.
struct mixer_rig {
  runtime_options options;
  link_session session{options};
  page_registry registry;
  event_log log;
  uint32_t now = 1000;
  std::unique_ptr<navigator> nav;

  explicit mixer_rig(QWidget* host) {
    session.store.load_defaults();
    for (int id : {page_brief_channel, page_brief_fader, page_player, page_setting, page_edit_input, page_edit_efx,
                   page_edit_output, page_edit_dca})
      registry.set_factory(id, recorder(log));
    nav = std::make_unique<navigator>(session, registry, [this] { return now; });
    test::show_root(*nav, host);
  }

  brief_cont_page* bar() const { return test::home_page<brief_cont_page>(*nav, page_brief_cont); }

  // What the console would send: a lock report or a moved fader.
  void set_console_lock(bool locked) {
    session.engine.enable();
    const id_value lock{lock_state_id, static_cast<uint16_t>(locked ? 1 : 0)};
    session.engine.feed(make_param_values({&lock, 1}).view());
    session.engine.step(now);
  }
  void move_console_fader(int slot, uint16_t level) {
    session.engine.enable();
    const id_value moved{static_cast<uint16_t>(event_first_fader + slot), level};
    session.engine.feed(make_control_events({&moved, 1}).view());
    session.engine.step(now);
  }

  // Every parameter value, to see afterwards which ones an action changed.
  std::vector<uint16_t> values() const {
    std::vector<uint16_t> all;
    for (unsigned id = 0; id <= last_param_id; ++id) all.push_back(session.store.get(id));
    return all;
  }
  std::vector<unsigned> changed_since(const std::vector<uint16_t>& before) const {
    std::vector<unsigned> ids;
    for (unsigned id = 0; id <= last_param_id; ++id)
      if (session.store.get(id) != before[id]) ids.push_back(id);
    return ids;
  }

  // Entries of the log after `from`.
  event_log since(std::size_t from) const { return event_log(log.begin() + static_cast<long>(from), log.end()); }

  // The console has been heard: the link counts as up.
  void bring_link_up() {
    session.engine.enable();
    const id_value heard{100, 0};
    session.engine.feed(make_param_values({&heard, 1}).view());
    session.engine.step(now);
  }
};

}  // namespace

class pages_test : public test::host_window_test {
  Q_OBJECT

 public:
  pages_test() : host_window_test({1272, 792}) {}

 private slots:
  // --- registry -------------------------------------------------------------------------

  void registry_names_every_page_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("name");
    for (const auto& [id, name] : std::initializer_list<std::pair<int, const char*>>{
             {1, "home"},           {2, "brief_cont"},     {3, "brief_channel"},     {4, "brief_fader"},
             {5, "edit_cont"},      {6, "edit_input"},     {7, "edit_efx"},          {8, "edit_output"},
             {9, "edit_dca"},       {14, "player"},        {15, "setting"},          {16, "set_scene"},
             {17, "set_copy"},      {19, "set_mute_group"}, {20, "set_phantom_group"}, {21, "set_record"},
             {22, "set_phones"},    {23, "set_monitor"},   {24, "network"},          {25, "signal"},
             {27, "set_input"},     {28, "set_output"},    {29, "set_demo"},         {30, "set_sys"},
             {32, "factory_mode"}})
      QTest::newRow(name) << id << QString(name);
  }
  void registry_names_every_page() {
    QFETCH(int, id);
    QFETCH(QString, name);
    page_registry registry;
    const std::string text = name.toStdString();
    QVERIFY(registry.find(id) != nullptr);
    QCOMPARE(QString::fromLatin1(registry.find(id)->name.data(), registry.find(id)->name.size()), name);
    QCOMPARE(registry.id_of(text), std::optional<int>(id));
  }

  void registry_has_no_page_in_the_other_slots() {
    page_registry registry;
    int named = 0;
    for (int id = -1; id <= page_slot_count; ++id) named += registry.find(id) != nullptr;
    QCOMPARE(named, 25);
    for (int id : {0, 10, 13, 18, 26, 31, 33, 41, 42}) QVERIFY(registry.find(id) == nullptr);
    QVERIFY(!registry.id_of("gallery"));
    event_log unused;
    registry.set_factory(10, recorder(unused));  // an empty slot stays empty
    QVERIFY(registry.find(10) == nullptr);
  }

  void every_hosted_page_of_the_table_can_be_shown_by_name() {
    mixer_rig rig(host_);
    int shown = 0;
    for (const page_entry& e : page_table()) {
      if (e.id != page_home && e.host == 0) continue;
      // The pages inside the settings menu need the real menu, which this rig records
      // instead; the settings tests show them.
      bool in_settings = false;
      for (int h = e.host; h != 0 && h != page_home; h = page_host_of(h)) in_settings |= h == page_setting;
      if (in_settings) continue;
      const QByteArray name(e.name.data(), static_cast<qsizetype>(e.name.size()));
      // Argument 0 is a channel of every kind, so the editors open too.
      QVERIFY2(rig.nav->show_by_name(e.name, 0), name);
      QVERIFY2(rig.nav->is_on_screen(e.id), name);
      ++shown;
    }
    QCOMPARE(shown, 11);
  }

  void a_page_not_built_yet_shows_its_name() {
    mixer_rig rig(host_);
    page_registry plain;
    page_host host(host_, plain, rig.nav->env(), {page_set_demo});
    QVERIFY(host.show_page(page_set_demo, 0));
    auto* label = host.current()->findChild<QLabel*>("placeholder_name");
    QVERIFY(label);
    QCOMPARE(label->text(), QString("set_demo"));
  }

  // --- page host ------------------------------------------------------------------------

  void host_makes_each_page_once_and_keeps_the_order_of_operations() {
    mixer_rig rig(host_);
    page_host host(host_, rig.registry, rig.nav->env(), {page_edit_input, page_edit_dca});
    std::size_t mark = rig.log.size();

    QVERIFY(!host.show_page(page_brief_channel, 1));  // not listed
    QVERIFY(host.current() == nullptr);
    QCOMPARE(rig.since(mark), event_log{});

    QVERIFY(host.show_page(page_edit_input, 7));
    QCOMPARE(rig.since(mark), (event_log{"6 create", "6 shown", "6 open 7"}));
    mark = rig.log.size();

    QVERIFY(host.show_page(page_edit_dca, show_without_open));
    QCOMPARE(rig.since(mark), (event_log{"9 create", "6 hidden", "9 shown"}));
    QVERIFY(host.hosted(page_edit_input)->isHidden());
    QVERIFY(!host.current()->isHidden());
    mark = rig.log.size();

    QVERIFY(host.show_page(page_edit_dca, 3));  // current again: only open
    QVERIFY(host.show_page(page_edit_dca, show_without_open));
    QVERIFY(host.show_page(page_edit_input, 2));  // kept, not made again
    QCOMPARE(rig.since(mark), (event_log{"9 open 3", "9 hidden", "6 shown", "6 open 2"}));
    QCOMPARE(host.current_id(), int(page_edit_input));
  }

  void showing_a_page_closes_the_text_entry_without_commit() {
    mixer_rig rig(host_);
    page_host host(host_, rig.registry, rig.nav->env(), {page_edit_input});
    auto* label = new QLabel("CH1", host_);
    bool committed = false;
    text_entry_request r;
    r.target = label;
    r.callback = [&committed](QWidget*, uint16_t, uint16_t, void*, const std::string&) { committed = true; };
    text_entry_open(r);
    QVERIFY(text_entry_is_open());
    QVERIFY(!host.show_page(page_edit_dca, 0));
    // A page the host does not list changes nothing.
    QVERIFY(text_entry_is_open());
    QVERIFY(host.show_page(page_edit_input, 0));
    QVERIFY(!text_entry_is_open());
    QVERIFY(!committed);
  }

  // --- the root and forwarding ----------------------------------------------------------

  void start_shows_the_bar_and_the_strips_page() {
    mixer_rig rig(host_);
    QCOMPARE(rig.log, (event_log{"3 create", "3 shown", "3 open 0"}));
    QCOMPARE(rig.nav->page_on_screen()->page_id(), int(page_brief_channel));
    QVERIFY(rig.nav->is_on_screen(page_home) && rig.nav->is_on_screen(page_brief_cont));
    QCOMPARE(rig.bar()->highlighted_tab(), 0);
  }

  void events_reach_only_the_page_on_screen_data() {
    QTest::addColumn<QString>("event");
    QTest::addColumn<QString>("recorded");
    QTest::newRow("parameter") << "param" << "param 300 17 1";
    QTest::newRow("channel name") << "name" << "name 4 Vocal";
    QTest::newRow("scene name") << "scene" << "scene 2 Show";
    QTest::newRow("console key") << "key" << "key 60";
    QTest::newRow("console encoder") << "encoder" << "encoder 3 -2";
  }
  void events_reach_only_the_page_on_screen() {
    QFETCH(QString, event);
    QFETCH(QString, recorded);
    mixer_rig rig(host_);
    const auto send = [&] {
      if (event == "param") rig.nav->on_param(300, 17, true);
      if (event == "name") rig.nav->on_name(4, "Vocal");
      if (event == "scene") rig.nav->on_scene_name(2, "Show");
      if (event == "key") rig.nav->console_key(60);
      if (event == "encoder") rig.nav->console_encoder(3, -2);
    };
    std::size_t mark = rig.log.size();
    send();
    QCOMPARE(rig.since(mark), event_log{"3 " + recorded});

    rig.nav->open_editor(kind_input, 2);
    rig.nav->show_player(0);  // the editors' frame stays made, but off screen
    rig.nav->open_editor(kind_bus, 1);
    mark = rig.log.size();
    send();
    QCOMPARE(rig.since(mark), event_log{"8 " + recorded});
  }

  // --- navigation -----------------------------------------------------------------------

  void bank_tabs_switch_bank_and_layer_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<int>("layer");
    QTest::newRow("CH9-16") << 1 << 1;
    QTest::newRow("AUX1-8") << 3 << 3;
    QTest::newRow("DCA1-4 leaves the layer as it was") << 4 << 2;
  }
  void bank_tabs_switch_bank_and_layer() {
    QFETCH(int, tab);
    QFETCH(int, layer);
    mixer_rig rig(host_);
    QTest::mouseClick(rig.bar()->tab(2), Qt::LeftButton);
    QCOMPARE(rig.session.engine.surface().layer(), 2);
    std::size_t mark = rig.log.size();
    QTest::mouseClick(rig.bar()->tab(tab), Qt::LeftButton);
    QCOMPARE(rig.nav->current_bank(), tab);
    QCOMPARE(rig.session.engine.surface().layer(), layer);
    QCOMPARE(rig.bar()->highlighted_tab(), tab);
    QCOMPARE(rig.since(mark), event_log{"3 open -1"});

    // Re-selecting the bank only shows the strips page again; the layer stays.
    rig.session.engine.surface().set_layer(0);
    mark = rig.log.size();
    QTest::mouseClick(rig.bar()->tab(tab), Qt::LeftButton);
    QCOMPARE(rig.session.engine.surface().layer(), 0);
    QCOMPARE(rig.since(mark), event_log{"3 open -1"});
  }

  void page_tabs_show_their_pages_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<int>("page");
    QTest::newRow("FADER") << int(tab_fader) << int(page_brief_fader);
    QTest::newRow("MEDIA") << int(tab_media) << int(page_player);
    QTest::newRow("SYSTEM") << int(tab_system) << int(page_setting);
  }
  void page_tabs_show_their_pages() {
    QFETCH(int, tab);
    QFETCH(int, page);
    mixer_rig rig(host_);
    const std::size_t mark = rig.log.size();
    QTest::mouseClick(rig.bar()->tab(tab), Qt::LeftButton);
    QCOMPARE(rig.nav->page_on_screen()->page_id(), page);
    QCOMPARE(rig.since(mark), (event_log{QString("%1 create").arg(page), "3 hidden", QString("%1 shown").arg(page),
                                         QString("%1 open 0").arg(page)}));
    QCOMPARE(rig.bar()->highlighted_tab(), tab);
    QCOMPARE(rig.nav->current_bank(), 0);
  }

  void open_editor_shows_the_editor_of_the_kind_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("lights_kind");
    QTest::newRow("input") << 1 << 3 << int(page_edit_input) << 1;
    QTest::newRow("effect return") << 2 << 1 << int(page_edit_efx) << 2;
    QTest::newRow("MAIN R") << 3 << 9 << int(page_edit_output) << 3;
    QTest::newRow("DCA has no select light") << 4 << 2 << int(page_edit_dca) << 0;
  }
  void open_editor_shows_the_editor_of_the_kind() {
    QFETCH(int, kind);
    QFETCH(int, index);
    QFETCH(int, page);
    QFETCH(int, lights_kind);
    mixer_rig rig(host_);
    rig.nav->open_editor(kind, index);
    QCOMPARE(rig.nav->page_on_screen()->page_id(), page);
    QCOMPARE(rig.log.back(), QString("%1 open %2").arg(page).arg(index));
    QVERIFY(rig.nav->is_on_screen(page_edit_cont) && !rig.nav->is_on_screen(page_brief_cont));
    QCOMPARE(rig.nav->editor_on_screen(), std::optional<channel_ref>(channel_ref{kind, index}));
    QCOMPARE(rig.nav->surface_state().editor_kind, lights_kind);
    QCOMPARE(rig.nav->surface_state().editor_index, lights_kind ? index : 0);

    const std::size_t mark = rig.log.size();
    rig.nav->open_editor(kind, 99);  // no such channel
    rig.nav->open_editor(7, 0);
    QCOMPARE(rig.since(mark), event_log{});
  }

  void go_to_strips_follows_the_channel_bank_data() {
    QTest::addColumn<int>("logical");
    QTest::addColumn<int>("bank");
    QTest::addColumn<int>("layer");
    QTest::newRow("CH12") << 11 << 1 << 1;
    QTest::newRow("FX1 on ST-FX") << 26 << 2 << 2;
    QTest::newRow("AUX8") << 35 << 3 << 3;
    QTest::newRow("DCA1 leaves the layer") << 38 << 4 << 3;
    QTest::newRow("MAIN L is on no bank") << 36 << 3 << 3;
    QTest::newRow("no channel") << -1 << 3 << 3;
  }
  void go_to_strips_follows_the_channel_bank() {
    QFETCH(int, logical);
    QFETCH(int, bank);
    QFETCH(int, layer);
    mixer_rig rig(host_);
    rig.nav->set_current_bank(3);
    rig.nav->open_editor(kind_bus, 0);  // on bank 3, so the editors leave the bank as it is
    rig.nav->go_to_strips(logical);
    QCOMPARE(rig.nav->page_on_screen()->page_id(), int(page_brief_channel));
    QCOMPARE(rig.log.back(), QString("3 open %1").arg(logical));
    QCOMPARE(rig.nav->current_bank(), bank);
    QCOMPARE(rig.session.engine.surface().layer(), layer);
    QCOMPARE(rig.bar()->highlighted_tab(), bank);
  }

  void player_and_settings_are_reached_through_the_bar() {
    mixer_rig rig(host_);
    rig.nav->open_editor(kind_input, 0);
    rig.nav->show_player(3);
    QCOMPARE(rig.log.back(), QString("14 open 3"));
    QCOMPARE(rig.bar()->highlighted_tab(), int(tab_media));
    QVERIFY(rig.nav->surface_state().player_shown);

    rig.nav->show_settings();
    // Settings open without open().
    QCOMPARE(rig.log.back(), QString("15 shown"));
    QCOMPARE(rig.bar()->highlighted_tab(), int(tab_system));
    const surface_page_state s = rig.nav->surface_state();
    QVERIFY(s.settings_shown && !s.player_shown);
    QCOMPARE(s.editor_kind, 0);
  }

  void pages_are_shown_by_name_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("argument");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<int>("on_screen");
    QTest::newRow("strips") << "brief_channel" << 26 << true << int(page_brief_channel);
    QTest::newRow("fader overview") << "brief_fader" << 0 << true << int(page_brief_fader);
    QTest::newRow("output editor") << "edit_output" << 8 << true << int(page_edit_output);
    QTest::newRow("editor without its channel") << "edit_input" << 40 << false << int(page_brief_channel);
    QTest::newRow("settings") << "setting" << 0 << true << int(page_setting);
    QTest::newRow("in no host") << "set_monitor" << 0 << false << int(page_brief_channel);
    QTest::newRow("unknown") << "gallery" << 0 << false << int(page_brief_channel);
  }
  void pages_are_shown_by_name() {
    QFETCH(QString, name);
    QFETCH(int, argument);
    QFETCH(bool, shown);
    QFETCH(int, on_screen);
    mixer_rig rig(host_);
    QCOMPARE(rig.nav->show_by_name(name.toStdString(), argument), shown);
    QCOMPARE(rig.nav->page_on_screen()->page_id(), on_screen);
  }

  void link_icon_follows_the_link_and_reopens_the_connect_dialog() {
    mixer_rig rig(host_);
    int opened = 0;
    rig.nav->set_connect_dialog_opener([&opened] { ++opened; });
    QVERIFY(!rig.bar()->link_shown_online());
    rig.nav->show_link_state(true);
    QVERIFY(rig.bar()->link_shown_online());
    rig.nav->set_current_bank(3);
    rig.nav->show_link_state(false);
    QVERIFY(!rig.bar()->link_shown_online());

    // The box goes back to the strips at channel 1 before the dialog comes up.
    rig.nav->show_player(0);
    QTest::mouseClick(rig.bar()->link_box(), Qt::LeftButton);
    QCOMPARE(opened, 1);
    QCOMPARE(rig.nav->page_on_screen()->page_id(), int(page_brief_channel));
    QCOMPARE(rig.log.back(), QString("3 open 0"));
    QCOMPARE(rig.nav->current_bank(), 0);
  }

  // --- the console's keys and encoders --------------------------------------------------

  void console_keys_act_on_the_current_layer() {
    mixer_rig rig(host_);
    param_store& store = rig.session.store;
    rig.nav->console_key(39 + 1);  // layer 2: CH9-16
    QCOMPARE(rig.session.engine.surface().layer(), 1);
    QCOMPARE(rig.nav->current_bank(), 1);
    QCOMPARE(rig.bar()->highlighted_tab(), 1);

    const unsigned on_ch10 = param_id(kind_input, 9, code_on);
    const uint16_t before = store.get(on_ch10);
    rig.nav->console_key(29 + 1);  // mute key of strip 2
    QCOMPARE(store.get(on_ch10), uint16_t(before == 0 ? 1 : 0));
    const bool main_r_soloed = is_soloed(store, kind_bus, main_r_bus);
    rig.nav->console_key(19 + 8 + 1);  // solo key of MAIN R
    QCOMPARE(is_soloed(store, kind_bus, main_r_bus), !main_r_soloed);

    const std::size_t mark = rig.log.size();
    rig.nav->console_key(9);  // select strip 1: its editor
    QCOMPARE(rig.nav->editor_on_screen(), std::optional<channel_ref>(channel_ref{kind_input, 8}));
    rig.nav->console_key(9);  // again: back to the strips, on the channel
    // The strips page stays current in its own host while the editors' frame covers it.
    QCOMPARE(rig.since(mark), (event_log{"6 create", "6 shown", "6 open 8", "6 key 9", "3 open 8", "3 key 9"}));

    rig.nav->console_key(60);
    // Keys the surface does not use go to the page.
    QCOMPARE(rig.log.back(), QString("3 key 60"));
    const std::size_t after = rig.log.size();
    rig.nav->console_key(key_long_press | 29);  // held keys count only on the scene keys
    QCOMPARE(rig.log.size(), after);
  }

  void dca_bank_leaves_the_console_faders_and_keys_on_their_layer() {
    mixer_rig rig(host_);
    control_surface& surface = rig.session.engine.surface();
    constexpr int dca_bank = bank_count - 1;
    QTest::mouseClick(rig.bar()->tab(1), Qt::LeftButton);
    QTest::mouseClick(rig.bar()->tab(dca_bank), Qt::LeftButton);
    QCOMPARE(rig.nav->current_bank(), dca_bank);
    QCOMPARE(surface.layer(), 1);
    // The lights of layer 2 stay.
    for (int n : {40, 83, 84}) QVERIFY2(surface.light(n), QByteArray::number(n));

    // The console's faders and keys still act on CH9-16.
    const channel_ref ch9{kind_input, 8};
    std::vector<uint16_t> before = rig.values();
    rig.move_console_fader(0, 777);
    QCOMPARE(rig.changed_since(before), std::vector<unsigned>{param_id(ch9.kind, ch9.index, code_fader)});
    before = rig.values();
    rig.nav->console_key(29);  // mute key of strip 1
    QCOMPARE(rig.changed_since(before), std::vector<unsigned>{param_id(ch9.kind, ch9.index, code_on)});
    rig.nav->console_key(9);  // select strip 1: the editor of CH9
    QCOMPARE(rig.nav->editor_on_screen(), std::optional<channel_ref>(ch9));

    // A layer key from the DCA bank, with the lights of its layer.
    QTest::mouseClick(rig.bar()->tab(dca_bank), Qt::LeftButton);
    rig.nav->console_key(39);
    QCOMPARE(surface.layer(), 0);
    QCOMPARE(rig.nav->current_bank(), 0);
    for (int n : {39, 81, 82}) QVERIFY(surface.light(n));
    for (int n : {40, 83, 84}) QVERIFY(!surface.light(n));
  }

  void encoder_turns_and_arrow_keys_do_nothing_while_the_console_is_locked() {
    mixer_rig rig(host_);
    input_router input(host_);
    // As the program wires it: the arrows turn encoder 0 for the page on screen.
    QObject::connect(&input, &input_router::surface_encoder, rig.nav.get(), &navigator::console_encoder);
    param_store& store = rig.session.store;
    const uint16_t phones_before = store.get(headphone_level_id);

    std::size_t mark = rig.log.size();
    QTest::keyClick(host_->windowHandle(), Qt::Key_Left);
    QCOMPARE(rig.since(mark), event_log{"3 encoder 0 1"});

    rig.set_console_lock(true);
    QVERIFY(rig.session.engine.console_locked());
    mark = rig.log.size();
    QTest::keyClick(host_->windowHandle(), Qt::Key_Left);
    QTest::keyClick(host_->windowHandle(), Qt::Key_Right);
    rig.nav->console_encoder(3, 1);
    rig.nav->console_encoder(phones_encoder, 1);
    QCOMPARE(rig.since(mark), event_log{});
    QCOMPARE(store.get(headphone_level_id), phones_before);

    rig.set_console_lock(false);
    mark = rig.log.size();
    QTest::keyClick(host_->windowHandle(), Qt::Key_Right);
    QCOMPARE(rig.since(mark), event_log{"3 encoder 0 -1"});
  }

  void headphone_encoder_and_key_drive_the_toast() {
    mixer_rig rig(host_);
    param_store& store = rig.session.store;
    const uint16_t one_up = step_value(store, headphone_level_id, 1, step_normal);
    QVERIFY(one_up != store.get(headphone_level_id));
    const std::size_t mark = rig.log.size();
    rig.nav->console_encoder(phones_encoder, 3);
    // One step, however far it turned.
    QCOMPARE(store.get(headphone_level_id), one_up);
    // The headphone encoder is not the page's.
    QCOMPARE(rig.since(mark), event_log{});
    phones_toast& toast = rig.nav->phones();
    QVERIFY(toast.isVisible());
    QCOMPARE(toast.text(), QString("Phone: %1").arg(QString::fromStdString(value_text(store, headphone_level_id))));
    QVERIFY(toast.hide_pending());

    rig.nav->console_key(6);  // pin
    QVERIFY(toast.pinned() && toast.isVisible() && !toast.hide_pending());
    QVERIFY(rig.session.engine.surface().light(6));
    QVERIFY(rig.nav->surface_state().phones_pinned);
    rig.nav->console_encoder(phones_encoder, -1);
    // A pinned toast stays.
    QVERIFY(!toast.hide_pending());
    rig.nav->console_key(6);  // unpin
    QVERIFY(!toast.pinned() && !toast.isVisible());
    QVERIFY(!rig.session.engine.surface().light(6));

    rig.nav->console_encoder(phones_encoder, 1);
    toast.expire();  // what the 2000 ms timer does
    QVERIFY(!toast.isVisible());
  }

  // --- meter bridge ---------------------------------------------------------------------

  void meter_bridge_segments_data() {
    QTest::addColumn<int>("db");
    QTest::addColumn<int>("segment");
    const std::pair<int, int> rows[] = {{-128, 0}, {-31, 0}, {-30, 1}, {-21, 1}, {-20, 2}, {-11, 2}, {-10, 3},
                                        {-8, 3},   {-7, 4},  {-5, 4},  {-4, 5},  {-3, 5},  {-2, 6},  {-1, 6},
                                        {0, 7},    {1, 7},   {2, 8},   {3, 8},   {4, 9},   {6, 9},   {7, 10},
                                        {9, 10},   {10, 11}, {13, 11}, {14, 12}, {100, 12}};
    for (const auto& [db, segment] : rows) QTest::newRow(qPrintable(QString::number(db))) << db << segment;
  }
  void meter_bridge_segments() {
    QFETCH(int, db);
    QFETCH(int, segment);
    QCOMPARE(bridge_segment(db), segment);
  }

  void meter_bridge_levels_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("meter_word");  // the channel's meter parameter
    QTest::addColumn<int>("fader_raw");   // buses only
    QTest::addColumn<int>("percent");     // MAIN only (ID 3179)
    QTest::addColumn<int>("db");
    QTest::newRow("odd input reads the high byte") << 1 << 5 << 0xF406 << 0 << 0 << -12;
    QTest::newRow("stereo input: the louder byte") << 1 << 16 << 0x03FB << 0 << 0 << 3;
    QTest::newRow("stereo input: signed compare") << 1 << 18 << 0xFB03 << 0 << 0 << 3;
    QTest::newRow("effect return: low byte") << 2 << 1 << 0x7FF6 << 0 << 0 << -10;
    QTest::newRow("aux at 0 dB") << 3 << 2 << 0x00F6 << 1200 << 0 << -10;
    QTest::newRow("aux 20 dB down") << 3 << 2 << 0x00F6 << 1000 << 0 << -30;
    QTest::newRow("aux off") << 3 << 3 << 0x1400 << 0 << 0 << -100;
    QTest::newRow("MAIN L at full output") << 3 << 8 << 0x00FB << 1200 << 100 << -5;
    QTest::newRow("MAIN R at half output") << 3 << 9 << 0xFB00 << 1200 << 50 << -11;
  }
  void meter_bridge_levels() {
    QFETCH(int, kind);
    QFETCH(int, index);
    QFETCH(int, meter_word);
    QFETCH(int, fader_raw);
    QFETCH(int, percent);
    QFETCH(int, db);
    runtime_options options;
    param_store store(options);
    store.set_local(static_cast<unsigned>(meter_id(kind, index).id), static_cast<uint16_t>(meter_word));
    if (kind == kind_bus) {
      store.set_local(param_id(kind, index, code_fader), static_cast<uint16_t>(fader_raw));
      store.set_local(main_level_percent_id, static_cast<uint16_t>(percent | percent << 8));
    }
    QCOMPARE(bridge_level_db(store, kind, index), db);
  }

  void meter_bridge_ballistics_and_spacing() {
    QCOMPARE(bridge_next_value(0, 9), 90);    // instant rise
    QCOMPARE(bridge_next_value(90, 2), 80);   // falls ten per tick
    QCOMPARE(bridge_next_value(25, 2), 20);   // but not below the segment
    QCOMPARE(bridge_next_value(5, 0), 0);
    QCOMPARE(bridge_bar_positions(100, {12, 12, 12}), (std::vector<int>{16, 44, 72}));
    QCOMPARE(bridge_bar_positions(30, {12, 12, 12}), (std::vector<int>{0, 12, 24}));
  }

  void meter_bridge_reads_only_while_a_fader_page_is_up() {
    mixer_rig rig(host_);
    meter_bridge& bridge = rig.nav->bridge();
    QVERIFY(bridge.ticking());
    param_store& store = rig.session.store;
    const unsigned ch1_meter = static_cast<unsigned>(meter_id(kind_input, 0).id);
    store.set_local(ch1_meter, 0x0005);  // +5 dB: segment 9

    // Link down: no reads, and the bars stay where they are.
    bridge.tick(0);
    QVERIFY(!store.requests().contains(ch1_meter));
    QCOMPARE(bridge.bar_value(0), 0);

    rig.bring_link_up();
    store.clear_all();
    bridge.tick(100);
    QVERIFY(store.requests().contains(ch1_meter));
    QVERIFY(store.requests().contains(static_cast<unsigned>(meter_id(kind_bus, 9).id)));
    QCOMPARE(bridge.bar_value(0), 90);

    // With an editor on screen the bars still move, but nothing is read.
    rig.nav->open_editor(kind_input, 0);
    store.clear_all();
    store.set_local(ch1_meter, 0x00E0);  // -32 dB
    bridge.tick(200);
    QVERIFY(store.requests().empty());
    QCOMPARE(bridge.bar_value(0), 80);
    bridge.tick(220);  // too soon for another round, but the bars fall on every tick
    QCOMPARE(bridge.bar_value(0), 70);
  }

  void meter_bridge_times_its_rounds_on_the_navigation_clock() {
    mixer_rig rig(host_);
    QVERIFY(rig.nav->bridge().ticking());
    rig.bring_link_up();
    param_store& store = rig.session.store;
    const unsigned ch1_meter = static_cast<unsigned>(meter_id(kind_input, 0).id);
    const auto next_tick_reads = [&] {
      store.clear_all();
      QTest::qWait(2 * bridge_tick_ms);  // at least one tick of the bridge's own timer
      return store.requests().contains(ch1_meter);
    };
    QVERIFY(next_tick_reads());
    // The injected clock stands still: however long the wall clock runs, no new round.
    QVERIFY(!next_tick_reads());
    rig.now += bridge_request_period_ms;
    QVERIFY(next_tick_reads());
  }

  void meter_bridge_aux_bar_follows_its_fader() {
    mixer_rig rig(host_);
    meter_bridge& bridge = rig.nav->bridge();
    rig.bring_link_up();
    param_store& store = rig.session.store;
    const int aux1_bar = 21;
    store.set_local(static_cast<unsigned>(meter_id(kind_bus, 0).id), 0x00FF);  // a constant -1 dB
    const unsigned fader = param_id(kind_bus, 0, code_fader);
    store.set_local(fader, 1300);  // +10 dB: 9 dB after the fader
    bridge.tick(0);
    QCOMPARE(bridge.bar_value(aux1_bar), 100);
    store.set_local(fader, 1000);  // -20 dB: -21 dB
    bridge.tick(100);
    bridge.tick(200);
    QCOMPARE(bridge.bar_value(aux1_bar), 80);
    for (int t = 3; t < 12; ++t) bridge.tick(t * 100);
    QCOMPARE(bridge.bar_value(aux1_bar), 10);
  }

  void meter_bridge_labels_sit_over_their_bars() {
    mixer_rig rig(host_);
    meter_bridge& bridge = rig.nav->bridge();
    bridge.setParent(host_);
    bridge.setGeometry(0, 0, 1272, bridge_height);
    bridge.show();
    QCOMPARE(bridge.label(16)->text(), QString("17/18"));
    QCOMPARE(bridge.label(18)->text(), QString("DIGI"));
    QCOMPARE(bridge.label(30)->text(), QString("R"));
    for (int n = 0; n < bridge_bar_count; ++n) {
      const QRect bar = bridge.bar(n)->geometry().translated(bridge.bar(n)->parentWidget()->pos());
      const QRect label = bridge.label(n)->geometry().translated(bridge.label(n)->parentWidget()->pos());
      QVERIFY(qAbs(bar.center().x() - label.center().x()) <= 1);
      QCOMPARE(bar.width(), bridge_bar_width);
    }
    QVERIFY(bridge.bar(0)->geometry().left() > 0);
  }

  // --- channel colours ------------------------------------------------------------------

  void channel_colour_table_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("rgb565");
    QTest::newRow("default") << 0 << 0x5AEB;
    QTest::newRow("blue") << 1 << 0x43B8;
    QTest::newRow("cyan") << 3 << 0x069A;
    QTest::newRow("yellow") << 8 << 0xEEA8;
    QTest::newRow("last") << 12 << 0xC305;
    QTest::newRow("beyond the table") << 13 << 0x5AEB;
    QTest::newRow("far beyond") << 0xFFFF << 0x5AEB;
  }
  void channel_colour_table() {
    QFETCH(int, index);
    QFETCH(int, rgb565);
    QCOMPARE(int(channel_colour(static_cast<uint16_t>(index))), rgb565);
  }

  void colour_picker_sets_the_colour_and_closes_data() {
    QTest::addColumn<QString>("click");
    QTest::addColumn<int>("stored");
    QTest::newRow("a swatch") << "colour_swatch_7" << 7;
    QTest::newRow("CLR") << "colour_clear" << 0;
    QTest::newRow("beside the panel") << "" << 4;
  }
  void colour_picker_sets_the_colour_and_closes() {
    QFETCH(QString, click);
    QFETCH(int, stored);
    runtime_options options;
    param_store store(options);
    const unsigned id = colour_base_id + 28 + 2;  // AUX3
    store.set_local(id, 4);
    QWidget* picker = open_colour_picker(store, QPoint(300, 200), kind_bus, 2);
    QVERIFY(picker && picker->isVisible());
    QCOMPARE(picker->findChild<QWidget*>("colour_picker_panel")->pos(), QPoint(300, 200));
    QPointer<QWidget> alive = picker;
    if (click.isEmpty())
      QTest::mouseClick(picker, Qt::LeftButton, {}, QPoint(50, 50));
    else
      QTest::mouseClick(picker->findChild<QAbstractButton*>(click), Qt::LeftButton);
    QCOMPARE(int(store.get(id)), stored);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(alive.isNull());
    QVERIFY(open_colour_picker(store, QPoint(), kind_bus, 10) == nullptr);
  }

  // --- renaming -------------------------------------------------------------------------

  void renaming_stores_and_shows_the_name_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("name");
    QTest::newRow("a name") << 1 << 4 << "Kick" << "Kick";
    QTest::newRow("empty: default input name") << 1 << 4 << "" << "CH5";
    QTest::newRow("empty: stereo input") << 1 << 16 << "" << "CH17/18";
    QTest::newRow("empty: effect return") << 2 << 0 << "" << "FX1";
    QTest::newRow("empty: MAIN L") << 3 << 8 << "" << "LEFT";
    QTest::newRow("empty: DCA") << 4 << 1 << "" << "DCA2";
    // Eleven three-byte characters do not fit 31 bytes; the cut keeps whole characters.
    QTest::newRow("cut on a whole character") << 1 << 0 << QString(11, QChar(0x9F13)) << QString(10, QChar(0x9F13));
  }
  void renaming_stores_and_shows_the_name() {
    QFETCH(int, kind);
    QFETCH(int, index);
    QFETCH(QString, typed);
    QFETCH(QString, name);
    mixer_rig rig(host_);
    auto* label = new QLabel("old", host_);
    label->setGeometry(10, 10, 120, 30);
    label->show();
    rename_channel(*rig.nav, label, kind, index);
    QVERIFY(text_entry_is_open());
    auto* edit = host_->findChild<QLineEdit*>();
    QVERIFY(edit);
    QCOMPARE(edit->text(), QString("old"));
    edit->setText(typed);
    const std::size_t mark = rig.log.size();
    text_entry_close(true);
    const int logical = logical_of(kind, index);
    const std::string_view stored = rig.session.engine.names().channel_name(logical);
    QCOMPARE(QString::fromUtf8(stored.data(), static_cast<qsizetype>(stored.size())), name);
    QCOMPARE(label->text(), name);
    QCOMPARE(rig.since(mark), event_log{QString("3 name %1 %2").arg(logical).arg(name)});
    QVERIFY(rig.session.engine.names().channel_updates().contains(logical));
  }
};

QTEST_MAIN(pages_test)
#include "pages_test.moc"
