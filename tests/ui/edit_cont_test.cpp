// The editor frame: opening a channel shows its editor, labels, bank and group; the arrows
// and the bank groups move between channels and the groups remember; the group bars follow
// the faders; close goes back to the strips. Also the navigator and bank group widgets.
#include <QAbstractButton>
#include <QSignalSpy>
#include <QtTest>

#include "app/core/options.h"
#include "app/params/convert.h"
#include "app/params/editor_nav.h"
#include "app/protocol/session.h"
#include "tests/ui/editor_rigs.h"
#include "tests/ui/host_window.h"
#include "ui/pages/container_page.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_registry.h"
#include "ui/pages/page_table.h"
#include "ui/screens/editors/edit_cont.h"
#include "ui/screens/editors/edit_input.h"
#include "ui/widgets/bank_nav.h"
#include "ui/widgets/overlay_layer.h"

using namespace vorante;

namespace {

void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

}  // namespace

class edit_cont_test : public test::host_window_test {
  Q_OBJECT

 public:
  edit_cont_test() : host_window_test({1272, 792}) {}

 private slots:
  void open_shows_the_channel_and_its_bank_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("logical");
    QTest::addColumn<QString>("kind_text");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("bank");
    QTest::addColumn<int>("layer");
    QTest::newRow("input") << 1 << 3 << int(page_edit_input) << 3 << "INPUT" << "CH4" << 0 << 0 << 0;
    QTest::newRow("right member opens the pair") << 1 << 17 << int(page_edit_input) << 16 << "INPUT" << "CH17/18" << 2 << 2 << 2;
    QTest::newRow("effect return") << 2 << 1 << int(page_edit_efx) << 27 << "EFFECT" << "FX2" << 2 << 2 << 2;
    QTest::newRow("aux") << 3 << 4 << int(page_edit_output) << 32 << "OUTPUT" << "AUX5" << 3 << 3 << 3;
    // The DCA bank leaves the surface's layer as it was (1, set below).
    QTest::newRow("dca") << 4 << 0 << int(page_edit_dca) << 38 << "DCA" << "DCA1" << 4 << 4 << 1;
    // MAIN is on no bank: the bank stays as it was.
    QTest::newRow("main l") << 3 << 8 << int(page_edit_output) << 36 << "OUTPUT" << "LEFT" << 5 << 1 << 1;
  }
  void open_shows_the_channel_and_its_bank() {
    QFETCH(int, kind);
    QFETCH(int, index);
    QFETCH(int, page);
    QFETCH(int, logical);
    QFETCH(QString, kind_text);
    QFETCH(QString, name);
    QFETCH(int, group);
    QFETCH(int, bank);
    QFETCH(int, layer);
    editor_rig rig(host_);
    rig.nav->set_current_bank(1);
    rig.nav->open_editor(kind, index);
    edit_cont_frame* f = rig.frame();
    QVERIFY(f);
    QCOMPARE(rig.on_screen(), page);
    QCOMPARE(f->current_channel(), logical);
    QCOMPARE(f->kind_text(), kind_text);
    QCOMPARE(f->name_text(), name);
    QCOMPARE(f->navigator_widget()->name(), name);
    QCOMPARE(f->highlighted_group(), group);
    QCOMPARE(f->remembered(group), logical);
    QCOMPARE(rig.nav->current_bank(), bank);
    QCOMPARE(rig.session.engine.surface().layer(), layer);
    const channel_ref edited = *channel_of(logical);
    QCOMPARE(rig.nav->editor_on_screen(), std::optional<channel_ref>(edited));
    if (page == page_edit_input)
      QCOMPARE(qobject_cast<edit_input_page*>(rig.nav->page_on_screen())->channel(), edited.index);
  }

  void arrows_wrap_and_skip_right_members_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("arrow");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("page");
    QTest::newRow("next from MAIN R wraps") << 37 << 1 << 0 << int(page_edit_input);
    QTest::newRow("previous from input 0") << 0 << 0 << 37 << int(page_edit_output);
    QTest::newRow("next from CH16 to CH17/18") << 15 << 1 << 16 << int(page_edit_input);
    QTest::newRow("next from CH17/18 skips 17") << 16 << 1 << 18 << int(page_edit_input);
    QTest::newRow("next from DIGI to FX1") << 24 << 1 << 26 << int(page_edit_efx);
    QTest::newRow("previous from DCA1 to AUX8") << 38 << 0 << 35 << int(page_edit_output);
  }
  void arrows_wrap_and_skip_right_members() {
    QFETCH(int, from);
    QFETCH(int, arrow);
    QFETCH(int, to);
    QFETCH(int, page);
    editor_rig rig(host_);
    const channel_ref c = *channel_of(from);
    rig.nav->open_editor(c.kind, c.index);
    click(rig.frame()->navigator_widget()->arrow_area(arrow));
    QCOMPARE(rig.frame()->current_channel(), to);
    QCOMPARE(rig.on_screen(), page);
    QCOMPARE(rig.frame()->highlighted_group(), editor_group_of(to));
  }

  void bank_groups_remember_the_channel_edited_through_them() {
    editor_rig rig(host_);
    rig.nav->open_editor(kind_input, 5);
    edit_cont_frame* f = rig.frame();
    // AUX1-8 for the first time: AUX1, and the bank and layer follow.
    click(f->group(3));
    QCOMPARE(f->current_channel(), 28);
    QCOMPARE(rig.on_screen(), int(page_edit_output));
    QCOMPARE(rig.nav->current_bank(), 3);
    QCOMPARE(rig.session.engine.surface().layer(), 3);
    // On to AUX5, then away to another bank and back.
    for (int i = 0; i < 4; ++i) f->step(1);
    QCOMPARE(f->current_channel(), 32);
    click(f->group(0));
    QCOMPARE(f->current_channel(), 5);  // CH1-8 remembers CH6 from the first open
    click(f->group(3));
    QCOMPARE(f->current_channel(), 32);
    // MAIN: MAIN L first, and the bank stays.
    click(f->group(editor_main_group));
    QCOMPARE(f->current_channel(), 36);
    QCOMPARE(rig.nav->current_bank(), 3);
    QCOMPARE(f->highlighted_group(), editor_main_group);
    f->step(1);
    click(f->group(1));
    QCOMPARE(f->current_channel(), 8);  // never used: its first slot
    click(f->group(editor_main_group));
    QCOMPARE(f->current_channel(), 37);  // MAIN R, edited through MAIN

    // The memory survives leaving the editors.
    click(f->close_button());
    QCOMPARE(rig.on_screen(), int(page_brief_channel));
    rig.nav->open_editor(kind_dca, 2);
    click(rig.frame()->group(3));
    QCOMPARE(rig.frame()->current_channel(), 32);
    // Opening what is no channel leaves the memory as it was.
    rig.frame()->open(99);
    QCOMPARE(rig.frame()->remembered(3), 32);
  }

  void close_returns_to_the_strips_of_the_channel() {
    editor_rig rig(host_);
    rig.nav->open_editor(kind_input, 11);
    click(rig.frame()->close_button());
    QCOMPARE(rig.on_screen(), int(page_brief_channel));
    QCOMPARE(rig.nav->current_bank(), 1);
    QVERIFY(!rig.nav->editor_on_screen());
  }

  void group_bars_follow_the_faders() {
    editor_rig rig(host_);
    // Levels the store holds before the frame is shown fill the bars on show.
    const uint16_t ch3 = param_id(kind_input, 2, code_fader);
    rig.session.store.set_local(ch3, level_zero_db);
    rig.nav->open_editor(kind_input, 0);
    edit_cont_frame* f = rig.frame();
    QCOMPARE(f->group(0)->bar_value(2), position_of(value_type::fader_level, level_zero_db));
    QVERIFY(f->group(0)->bar_value(2) > 0);

    struct arrival {
      int kind, index, group, slot;
    };
    const uint16_t raw = level_zero_db - 200;
    for (const arrival a : {arrival{kind_input, 12, 1, 4}, arrival{kind_input, 24, 2, 4}, arrival{kind_fx, 1, 2, 3},
                            arrival{kind_bus, 7, 3, 7}, arrival{kind_dca, 3, 4, 3}, arrival{kind_bus, 9, 5, 1}}) {
      rig.fader_arrives(a.kind, a.index, raw);
      QCOMPARE(f->group(a.group)->bar_value(a.slot), position_of(value_type::fader_level, raw));
    }
    // A right member's fader has no bar; other levels are not faders.
    const int before = f->group(2)->bar_value(0);
    rig.fader_arrives(kind_input, 17, level_zero_db);
    QCOMPARE(f->group(2)->bar_value(0), before);
    const uint16_t send = param_id(kind_input, 0, 13);
    rig.nav->on_param(send, level_zero_db, true);
    QCOMPARE(f->group(0)->bar_value(0), position_of(value_type::fader_level, rig.session.store.get(param_id(kind_input, 0, code_fader))));
  }

  void names_and_link_state() {
    editor_rig rig(host_);
    rig.nav->open_editor(kind_bus, 2);
    edit_cont_frame* f = rig.frame();
    rig.nav->on_name(30, "Monitors");
    QCOMPARE(f->name_text(), QString("Monitors"));
    QCOMPARE(f->navigator_widget()->name(), QString("Monitors"));
    rig.nav->on_name(31, "Other");
    QCOMPARE(f->name_text(), QString("Monitors"));
    rig.nav->on_name(30, "");
    QCOMPARE(f->name_text(), QString("AUX3"));

    QVERIFY(!f->link_shown_online());
    rig.nav->show_link_state(true);
    QVERIFY(f->link_shown_online());
  }

  // --- widgets ------------------------------------------------------------------------------

  void navigator_reports_its_arrows() {
    channel_nav n;
    QVERIFY(test::show_window(n, {240, 60}));
    std::vector<int> calls;
    click(n.arrow_area(1));  // no callback yet: nothing
    n.set_callback([&calls](int which) { calls.push_back(which); });
    click(n.arrow_area(0));
    click(n.arrow_area(1));
    QCOMPARE(calls, (std::vector<int>{0, 1}));
    QCOMPARE(nav_arrow_image(false).size(), QSize(nav_arrow_size, nav_arrow_size));
    QCOMPARE(nav_arrow_image(true).cacheKey(), nav_arrow_image(true).cacheKey());
    QCOMPARE(n.name(), QString("CH1"));
  }

  void bank_group_spreads_its_visible_bars_on_a_size_change() {
    bank_group g;
    g.set_bar_count(5);
    QCOMPARE(g.bar_value(4), 50);
    g.set_bar(4, 140);
    QCOMPARE(g.bar_value(4), 100);
    g.set_bar(5, 10);  // past the count: ignored
    g.set_bar_hidden(7, true);
    g.resize(128, 60);
    g.show();
    // 120 px inside the padding, 5 bars of 4: gaps of 100 / 6, each edge truncated.
    QTRY_COMPARE(g.bar_x(0), 16);
    QCOMPARE(g.bar_row().width(), 120);
    QCOMPARE(g.bar_x(1), 37);
    QCOMPARE(g.bar_x(4), 99);

    // Hiding keeps the spacing until the next size change.
    g.set_bar_hidden(1, true);
    g.set_bar_hidden(3, true);
    QTest::qWait(10);
    QCOMPARE(g.bar_x(4), 99);
    g.resize(129, 60);
    // 3 visible bars over 121 px: gaps of 109 / 4.
    QTRY_COMPARE(g.bar_x(4), 89);
    QCOMPARE(g.bar_x(0), 27);
    QCOMPARE(g.bar_x(2), 58);
    QCOMPARE(g.bar_x(1), 37);  // hidden: where it was
    QVERIFY(g.bar_hidden(1));
  }
};

QTEST_MAIN(edit_cont_test)
#include "edit_cont_test.moc"
