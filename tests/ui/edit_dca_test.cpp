// The DCA editor: channel buttons write the current DCA's membership bits (both members of
// a fixed stereo pair), CLEAR empties the current DCA only, the DCA buttons switch the
// editor and the frame, the two on/off controls of a DCA always agree, and the FADER view
// follows and writes the DCA faders.
#include <QtTest>

#include "app/params/channel_state.h"
#include "app/params/convert.h"
#include "tests/ui/host_window.h"
#include "tests/ui/editor_rigs.h"
#include "ui/screens/editors/edit_cont.h"
#include "ui/screens/editors/edit_dca.h"
#include "ui/widgets/button.h"
#include "ui/widgets/fader.h"
#include "ui/widgets/fader_strip.h"

using namespace vorante;

namespace {

unsigned dca_id(int dca, int code) { return param_id(kind_dca, dca, code); }

struct dca_rig : editor_rig {
  using editor_rig::editor_rig;
  edit_dca_page* open(int dca) {
    nav->open_editor(kind_dca, dca);
    return page_in<edit_dca_page>(page_edit_cont, page_edit_dca);
  }
  // The logical channels that are members of DCA d.
  QList<int> members(int d) {
    QList<int> found;
    for (int l = 0; l < logical_count; ++l)
      if (is_member(store(), kind_dca, d, l)) found << l;
    return found;
  }
};

void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

}  // namespace

class edit_dca_test : public test::host_window_test {
  Q_OBJECT

 public:
  edit_dca_test() : host_window_test({1280, 800}) {}

 private slots:
  void channel_buttons_write_membership_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("index");
    QTest::addColumn<QList<int>>("logicals");
    QTest::newRow("mono input") << 1 << 2 << QList<int>{2};
    QTest::newRow("CH17/18 sets both members") << 1 << 16 << QList<int>{16, 17};
    QTest::newRow("CH19/20") << 1 << 18 << QList<int>{18, 19};
    QTest::newRow("DIGI") << 1 << 24 << QList<int>{24, 25};
    QTest::newRow("effect return") << 2 << 1 << QList<int>{27};
    QTest::newRow("aux") << 3 << 7 << QList<int>{35};
  }
  void channel_buttons_write_membership() {
    QFETCH(int, kind);
    QFETCH(int, index);
    QFETCH(QList<int>, logicals);
    dca_rig rig(host_);
    edit_dca_page* e = rig.open(1);
    QVERIFY(e);
    button* b = e->channel_button(kind, index);
    QVERIFY(b && b->isVisible());
    click(b);
    QVERIFY(b->isChecked());
    QCOMPARE(rig.members(1), logicals);
    QVERIFY(rig.members(0).isEmpty());
    click(b);
    QVERIFY(!b->isChecked());
    QVERIFY(rig.members(1).isEmpty());
  }

  void buttons_show_the_current_dca_membership() {
    dca_rig rig(host_);
    rig.arrives(dca_id(2, code_dca_members), 1u << 5);
    rig.arrives(dca_id(2, code_dca_members + 1), 1u << (16 - 16));  // logical 16, CH17/18
    rig.arrives(dca_id(0, code_dca_members), 1u << 3);
    edit_dca_page* e = rig.open(2);
    QVERIFY(e->channel_button(kind_input, 5)->isChecked());
    QVERIFY(e->channel_button(kind_input, 16)->isChecked());
    QVERIFY(!e->channel_button(kind_input, 3)->isChecked());
    // A membership change from the console shows after the refresh timer.
    rig.arrives(dca_id(2, code_dca_members), 1u << 3);
    QVERIFY(e->refresh_pending());
    QTRY_VERIFY(e->channel_button(kind_input, 3)->isChecked());
    QVERIFY(!e->channel_button(kind_input, 5)->isChecked());
  }

  void clear_empties_the_current_dca_only() {
    dca_rig rig(host_);
    for (int d = 0; d < dca_count; ++d)
      for (int code = code_dca_members; code <= code_dca_members + 3; ++code) rig.store().set_local(dca_id(d, code), 0xFFFF);
    edit_dca_page* e = rig.open(2);
    QVERIFY(e->channel_button(kind_bus, 0)->isChecked());
    click(e->clear_button());
    for (int d = 0; d < dca_count; ++d)
      for (int code = code_dca_members; code <= code_dca_members + 3; ++code)
        QCOMPARE(rig.store().get(dca_id(d, code)), d == 2 ? 0 : 0xFFFF);
    QVERIFY(!e->channel_button(kind_bus, 0)->isChecked());
    QVERIFY(!e->channel_button(kind_input, 0)->isChecked());
    // The switch and the fader of the DCA stay as they were.
    QCOMPARE(rig.store().get(dca_id(2, code_dca_switch)), rig.store().get(dca_id(1, code_dca_switch)));
  }

  void dca_buttons_switch_editor_and_frame() {
    dca_rig rig(host_);
    edit_dca_page* e = rig.open(0);
    QVERIFY(e->dca_button(0)->isChecked());
    click(e->dca_button(2));
    QCOMPARE(e->dca(), 2);
    QVERIFY(e->dca_button(2)->isChecked());
    QVERIFY(!e->dca_button(0)->isChecked());
    QCOMPARE(rig.frame()->name_text(), QString("DCA3"));
    QCOMPARE(rig.frame()->current_channel(), logical_of(kind_dca, 2));
    // Membership writes go to the DCA now edited.
    click(e->channel_button(kind_input, 0));
    QCOMPARE(rig.members(2), QList<int>{0});
    QVERIFY(rig.members(0).isEmpty());
  }

  void both_switches_of_a_dca_agree() {
    dca_rig rig(host_);
    edit_dca_page* e = rig.open(0);
    auto agrees = [&](int d, bool on) {
      const QString text = on ? "ON" : "OFF";
      return e->on_button(d)->isChecked() == on && e->on_button(d)->label_text() == text &&
             e->strip(d)->off_button()->isChecked() == on && e->strip(d)->off_button()->label_text() == text &&
             (rig.store().get(dca_id(d, code_dca_switch)) != 0) == on;
    };
    const bool was = rig.store().get(dca_id(1, code_dca_switch)) != 0;
    QVERIFY(agrees(1, was));
    click(e->on_button(1));
    QVERIFY(agrees(1, !was));
    e->show_view(dca_view_fader);
    QVERIFY(e->view_button(dca_view_fader)->isChecked() && !e->view_button(dca_view_param)->isChecked());
    click(e->strip(1)->off_button());
    QVERIFY(agrees(1, was));
    // The console switching a DCA shows on both after the refresh.
    rig.arrives(dca_id(3, code_dca_switch), 1);
    QTRY_VERIFY(agrees(3, true));
  }

  void fader_view_follows_and_writes_the_dca_faders() {
    dca_rig rig(host_);
    edit_dca_page* e = rig.open(0);
    e->show_view(dca_view_fader);
    const uint16_t raw = to_raw(value_type::fader_level, -10.0);
    rig.arrives(dca_id(2, code_fader), raw);
    QCOMPARE(e->strip(2)->fader()->value(), -10.0);
    e->fader_moved(3, -20.0);
    QCOMPARE(rig.store().get(dca_id(3, code_dca_fader)), to_raw(value_type::fader_level, -20.0));
  }
};

QTEST_MAIN(edit_dca_test)
#include "edit_dca_test.moc"
