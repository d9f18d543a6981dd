// The fader and the two fader strips: values pushed from the store stay silent, a drag
// moves the value by the distance travelled (never to the pointer), and every control of
// a strip reports the right signal.
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>
#include <array>

#include "tests/ui/pointer.h"
#include "tests/ui/host_window.h"
#include "ui/foundation/fader_math.h"
#include "ui/widgets/button.h"
#include "ui/widgets/fader.h"
#include "ui/widgets/fader_strip.h"
#include "ui/widgets/level_readout.h"
#include "ui/widgets/long_press.h"
#include "ui/widgets/name_button_fader_strip.h"
#include "ui/widgets/toggle_button.h"

using namespace vorante;
using test::move_to;

namespace {

// A pointer drag on `w`: press at `from`, then move in one step to each point of `path`.
void drag(QWidget* w, QPoint from, std::initializer_list<QPoint> path) {
  QTest::mousePress(w, Qt::LeftButton, {}, from);
  for (QPoint p : path) move_to(w, p);
}

void release(QWidget* w, QPoint at) { QTest::mouseRelease(w, Qt::LeftButton, {}, at); }

}  // namespace

class fader_test : public QObject {
  Q_OBJECT

 private slots:
  void store_values_place_the_knob_without_a_signal_data() {
    QTest::addColumn<int>("law");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("permille");
    QTest::newRow("0 dB") << 0 << 0.0 << 800.0;
    QTest::newRow("+10 dB top") << 0 << 10.0 << 1000.0;
    QTest::newRow("-200 dB bottom") << 0 << -200.0 << 0.0;
    QTest::newRow("between detents") << 0 << 4.636 << 908.0;
    QTest::newRow("send law 0 dB is the top") << 1 << 0.0 << 1000.0;
    QTest::newRow("send law above the top") << 1 << 6.0 << 1000.0;
  }
  void store_values_place_the_knob_without_a_signal() {
    QFETCH(int, law);
    QFETCH(double, value);
    QFETCH(double, permille);
    fader f;
    f.resize(80, 300);
    f.set_law(law);
    QSignalSpy changed(&f, &fader::value_changed);
    f.set_value(value);
    QCOMPARE(f.value(), value);
    QVERIFY(std::abs(f.permille() - permille) < 1e-6);
    QCOMPARE(f.knob_geometry().top() + f.knob_size().height() / 2, travel_y(f.travel(), permille));
    QCOMPARE(changed.count(), 0);
  }

  void modes_and_range_rules() {
    fader f;
    QCOMPARE(f.mode(), fader_mode::law_61);
    f.set_law(7);  // unknown laws are ignored
    QCOMPARE(f.mode(), fader_mode::law_61);
    f.set_law(1);
    QCOMPARE(f.mode(), fader_mode::law_49);
    f.set_table(fader_law_61());
    QCOMPARE(f.mode(), fader_mode::law_61);
    const std::array<double, 3> custom{-10, 0, 10};
    f.set_table(custom);
    QCOMPARE(f.mode(), fader_mode::custom);
    f.set_value(0);
    QCOMPARE(f.permille(), 500.0);
    f.set_table({});
    QCOMPARE(f.mode(), fader_mode::law_61);

    f.set_value(12.4);
    f.set_range(5, 5);  // not a range: nothing changes
    QCOMPARE(f.mode(), fader_mode::law_61);
    QCOMPARE(f.value(), 12.4);
    f.set_range(0, 10);
    QCOMPARE(f.mode(), fader_mode::range);
    QCOMPARE(f.int_value(), 10);
    QCOMPARE(f.value(), 10.0);
    f.set_value(12);
    QCOMPARE(f.int_value(), 10);
    f.set_value(-3.6);
    QCOMPARE(f.int_value(), 0);
    f.set_value(6.6);
    QCOMPARE(f.int_value(), 7);
    QCOMPARE(f.permille(), 700.0);
  }

  // Wherever the finger lands, the value moves by the drag distance only.
  void drag_moves_by_the_distance_not_to_the_pointer_data() {
    QTest::addColumn<int>("grab_offset");  // from the knob's centre, px (negative: above)
    QTest::addColumn<int>("dy");
    QTest::newRow("on the knob, up") << 0 << -40;
    QTest::newRow("on the knob, down") << 0 << 25;
    QTest::newRow("far above the knob, down") << -150 << 30;
    QTest::newRow("far below the knob, up") << 90 << -30;
    QTest::newRow("edge of the knob, one pixel") << 10 << -1;
  }
  void drag_moves_by_the_distance_not_to_the_pointer() {
    QFETCH(int, grab_offset);
    QFETCH(int, dy);
    fader f;
    f.resize(90, 400);
    f.set_value(-10);
    const double start = f.permille();
    const QPoint grab(f.track().centre_x, f.knob_geometry().center().y() + grab_offset);
    QSignalSpy changed(&f, &fader::value_changed);

    QTest::mousePress(&f, Qt::LeftButton, {}, grab);
    QVERIFY(f.dragging());
    QCOMPARE(f.value(), -10.0);  // a press alone never moves the fader
    QCOMPARE(changed.count(), 0);

    move_to(&f, grab + QPoint(0, dy));
    const double expected = law_value(fader_law_61(), start + drag_permille(f.travel(), dy));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toDouble(), expected);
    QCOMPARE(f.value(), expected);
    release(&f, grab + QPoint(0, dy));
    QVERIFY(!f.dragging());
  }

  void drag_beyond_the_end_stops_there_and_comes_back_exactly() {
    fader f;
    f.resize(90, 400);
    f.set_value(5);
    const QPoint grab = f.knob_geometry().center();
    QSignalSpy changed(&f, &fader::value_changed);
    drag(&f, grab, {grab - QPoint(0, 500), grab - QPoint(0, 600)});
    QCOMPARE(f.value(), 10.0);
    QCOMPARE(changed.count(), 1);  // pinned at the top: the second move changes nothing
    move_to(&f, grab);  // back at the grab point
    QCOMPARE(f.value(), 5.0);
    release(&f, grab);
  }

  void range_mode_drag_in_whole_steps() {
    fader f;
    f.resize(60, 240);
    f.set_range(0, 10);
    f.set_value(5);
    const knob_travel t = f.travel();
    const QPoint grab(5, 10);  // nowhere near the knob
    QSignalSpy changed(&f, &fader::value_changed);
    // Three tenths of the travel upwards: three steps.
    drag(&f, grab, {grab - QPoint(0, t.span() * 3 / 10 + 1)});
    QCOMPARE(f.int_value(), 8);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toDouble(), 8.0);
    release(&f, grab);
  }

  void release_clicks_and_a_disabled_fader_lets_go() {
    fader f;
    f.resize(60, 240);
    QSignalSpy pressed(&f, &fader::pressed);
    QSignalSpy clicked(&f, &fader::clicked);
    QTest::mouseClick(&f, Qt::LeftButton, {}, QPoint(30, 100));
    QCOMPARE(pressed.count(), 1);
    QCOMPARE(clicked.count(), 1);

    QSignalSpy changed(&f, &fader::value_changed);
    QTest::mousePress(&f, Qt::LeftButton, {}, QPoint(30, 100));
    f.setEnabled(false);
    QVERIFY(!f.dragging());
    f.setEnabled(true);
    move_to(&f, QPoint(30, 20));
    QCOMPARE(changed.count(), 0);
  }

  // ---- fader strip ----

  void fader_strip_optional_parts_are_made_once() {
    fader_strip s;
    QVERIFY(!s.enter_button() && !s.off_button() && !s.readout());
    s.add_enter();
    button* enter = s.enter_button();
    s.add_enter();
    QCOMPARE(s.enter_button(), enter);
    QCOMPARE(s.findChildren<button*>().size(), 3);  // MUTE, SOLO, ENTER
    s.add_off();
    s.add_readout();
    s.add_readout();
    QCOMPARE(s.findChildren<level_readout*>().size(), 1);
    QCOMPARE(s.findChildren<button*>().size(), 4);
  }

  void fader_strip_levels_and_names() {
    fader_strip s;
    s.add_readout();
    s.set_level(0);
    QCOMPARE(s.readout()->text(), QString("0.0dB"));
    s.set_level(-120);
    QCOMPARE(s.readout()->text(), QString("-\u221E"));
    s.set_level(10);
    QCOMPARE(s.fader()->permille(), 1000.0);
    QCOMPARE(s.readout()->text(), QString("10.0dB"));

    s.set_name("");
    QVERIFY(s.name_label()->isHidden());
    s.set_namef("DCA%d", 3);
    QVERIFY(!s.name_label()->isHidden());
    QCOMPARE(s.name_label()->text(), QString("DCA3"));
  }

  void fader_strip_buttons_report_clicks_but_not_store_values_data() {
    QTest::addColumn<QString>("which");
    QTest::newRow("MUTE") << "MUTE";
    QTest::newRow("SOLO") << "SOLO";
    QTest::newRow("OFF") << "OFF";
  }
  void fader_strip_buttons_report_clicks_but_not_store_values() {
    QFETCH(QString, which);
    fader_strip s;
    s.add_off();
    s.resize(84, 420);
    s.show();
    button* b = which == "MUTE" ? s.mute_button() : which == "SOLO" ? s.solo_button() : s.off_button();
    QSignalSpy mute(&s, &fader_strip::mute_clicked);
    QSignalSpy solo(&s, &fader_strip::solo_clicked);
    QSignalSpy off(&s, &fader_strip::off_clicked);
    QSignalSpy& spy = which == "MUTE" ? mute : which == "SOLO" ? solo : off;

    s.set_mute(true);
    s.set_solo(true);
    s.set_off(true);
    QVERIFY(b->isChecked());
    QCOMPARE(mute.count() + solo.count() + off.count(), 0);

    QTest::mouseClick(b, Qt::LeftButton);
    QCOMPARE(mute.count() + solo.count() + off.count(), 1);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toBool(), false);  // the click unchecked it
  }

  void fader_strip_reports_enter_and_fader_moves() {
    fader_strip s;
    s.add_enter();
    s.add_readout();
    s.resize(84, 420);
    s.show();
    QVERIFY(QTest::qWaitForWindowExposed(&s));
    QSignalSpy enter(&s, &fader_strip::enter_clicked);
    QSignalSpy moved(&s, &fader_strip::fader_moved);
    QTest::mouseClick(s.enter_button(), Qt::LeftButton);
    QCOMPARE(enter.count(), 1);

    s.set_level(0);
    QCOMPARE(moved.count(), 0);
    const QPoint k = s.fader()->knob_geometry().center();
    drag(s.fader(), k, {k + QPoint(0, 30)});
    release(s.fader(), k + QPoint(0, 30));
    QCOMPARE(moved.count(), 1);
    const double v = moved.at(0).at(0).toDouble();
    QVERIFY(v < 0);
    // The readout follows the hand.
    QCOMPARE(s.readout()->text(), QString::asprintf("%.1fdB", std::round(v * 10) / 10));
  }

  // ---- fader strip with a name button ----

  void name_button_strip_controls_report_their_events() {
    name_button_fader_strip s;
    QVERIFY(test::show_window(s, {76, 274}));
    s.show_lr(true);
    QSignalSpy name(&s, &name_button_fader_strip::name_clicked);
    QSignalSpy m(&s, &name_button_fader_strip::m_clicked);
    QSignalSpy so(&s, &name_button_fader_strip::s_clicked);
    QSignalSpy l(&s, &name_button_fader_strip::l_clicked);
    QSignalSpy r(&s, &name_button_fader_strip::r_clicked);
    QSignalSpy fclick(&s, &name_button_fader_strip::fader_clicked);
    QSignalSpy fmove(&s, &name_button_fader_strip::fader_moved);

    QTest::mouseClick(s.name_button(), Qt::LeftButton);
    QTest::mouseClick(s.m_button(), Qt::LeftButton);
    QTest::mouseClick(s.s_button(), Qt::LeftButton);
    QTest::mouseClick(s.l_button(), Qt::LeftButton);
    QTest::mouseClick(s.r_button(), Qt::LeftButton);
    QTest::mouseClick(s.fader(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(name.count(), 1);
    QCOMPARE(m.count(), 1);
    QCOMPARE(m.at(0).at(0).toBool(), true);
    QCOMPARE(so.count(), 1);
    QCOMPARE(l.count(), 1);
    QCOMPARE(r.count(), 1);
    QCOMPARE(fclick.count(), 1);
    QCOMPARE(fmove.count(), 0);  // a click is not a move

    s.set_mute(false);
    s.set_solo(false);
    QCOMPARE(m.count() + so.count(), 2);
  }

  void name_button_strip_readout_and_lr_box() {
    name_button_fader_strip s;
    QCOMPARE(s.readout()->text(), QString("0.0"));
    s.set_level(-48.3);
    QCOMPARE(s.readout()->text(), QString("-48.3"));
    s.set_level(-130);
    QCOMPARE(s.readout()->text(), QString("-\u221E"));

    QVERIFY(!s.lr_shown());
    s.show_lr(false);  // nothing to hide yet, nothing made
    QVERIFY(!s.l_button());
    s.show_lr(true);
    toggle_button* l = s.l_button();
    QVERIFY(l && s.r_button());
    s.show_lr(false);
    s.show_lr(true);
    QCOMPARE(s.l_button(), l);
    QCOMPARE(s.findChildren<toggle_button*>().size(), 2);
    QVERIFY(is_name_button_fader_strip(&s));
    QVERIFY(!is_name_button_fader_strip(s.fader()));
  }

  void long_press_on_a_name_renames_instead_of_clicking() {
    name_button_fader_strip s;
    QVERIFY(test::show_window(s, {76, 274}));
    auto* watch = s.name_button()->findChild<long_press*>();
    QVERIFY(watch);
    QSignalSpy clicked(&s, &name_button_fader_strip::name_clicked);
    QSignalSpy held(&s, &name_button_fader_strip::name_long_pressed);

    QTest::mousePress(s.name_button(), Qt::LeftButton);
    QVERIFY(watch->pending());
    watch->fire();  // what the timer does after the hold time
    QTest::mouseRelease(s.name_button(), Qt::LeftButton);
    QCOMPARE(held.count(), 1);
    QCOMPARE(clicked.count(), 0);

    // A short press is an ordinary click.
    QTest::mouseClick(s.name_button(), Qt::LeftButton);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(held.count(), 1);
    QVERIFY(!watch->pending());
  }
};

QTEST_MAIN(fader_test)
#include "fader_test.moc"
