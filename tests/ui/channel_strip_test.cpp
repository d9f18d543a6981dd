// The channel strip and its parts: every control reports its own signal and store values
// never echo; the pan bar's dead zone; the level meter's mapping, fall and repaint rule;
// the sends panel's routing of stored values and of the user's moves.
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

#include "app/params/convert.h"
#include "app/params/ids.h"
#include "tests/ui/pointer.h"
#include "tests/ui/host_window.h"
#include "ui/foundation/fader_math.h"
#include "ui/widgets/button.h"
#include "ui/widgets/channel_strip.h"
#include "ui/widgets/fader.h"
#include "ui/widgets/level_meter.h"
#include "ui/widgets/level_readout.h"
#include "ui/widgets/pan_bar.h"
#include "ui/widgets/sends_panel.h"

using namespace vorante;
using test::move_to;
using test::paint_counter;

namespace {

// The x of a pan bar's track at a fraction of its half width from the centre.
int pan_x(const pan_bar& p, double fraction) {
  const pan_geometry g = p.geometry_of(0);
  return static_cast<int>(std::lround(g.track.center().x() + fraction * g.half_width));
}

}  // namespace

class channel_strip_test : public QObject {
  Q_OBJECT

 private slots:
  // ---- channel strip ----

  void buttons_report_their_event_and_store_values_stay_quiet_data() {
    QTest::addColumn<QString>("which");
    QTest::newRow("name") << "name";
    QTest::newRow("M") << "M";
    QTest::newRow("S") << "S";
    QTest::newRow("48v") << "48v";
  }
  void buttons_report_their_event_and_store_values_stay_quiet() {
    QFETCH(QString, which);
    channel_strip s;
    QVERIFY(test::show_window(s, {260, 280}));
    QSignalSpy name(&s, &channel_strip::name_clicked);
    QSignalSpy mute(&s, &channel_strip::mute_clicked);
    QSignalSpy solo(&s, &channel_strip::solo_clicked);
    QSignalSpy phantom(&s, &channel_strip::phantom_clicked);
    QSignalSpy touched(&s, &channel_strip::touched);
    auto total = [&] { return name.count() + mute.count() + solo.count() + phantom.count(); };

    s.set_mute(true);
    s.set_solo(true);
    s.set_48v(true);
    s.set_name("KICK");
    s.set_level(-6);
    s.set_pan(40);
    QCOMPARE(total(), 0);
    QCOMPARE(touched.count(), 0);

    button* b = which == "name" ? s.name_button()
                : which == "M"  ? s.m_button()
                : which == "S"  ? s.s_button()
                                : s.phantom_button();
    QTest::mouseClick(b, Qt::LeftButton);
    QCOMPARE(total(), 1);
    QCOMPARE(touched.count(), 1);  // one press, one touch, however far it travelled
    if (which == "name") {
      QCOMPARE(name.count(), 1);
      return;
    }
    QSignalSpy& spy = which == "M" ? mute : which == "S" ? solo : phantom;
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toBool(), false);  // was checked from the store
  }

  void fader_reports_moves_and_readout_follows() {
    channel_strip s;
    QVERIFY(test::show_window(s, {260, 280}));
    s.set_level(0);
    QCOMPARE(s.readout()->text(), QString("0.0dB"));
    QSignalSpy moved(&s, &channel_strip::fader_moved);
    vorante::fader* f = s.fader();
    const QPoint k = f->knob_geometry().center();
    QTest::mousePress(f, Qt::LeftButton, {}, k);
    move_to(f, k + QPoint(0, 20));
    QTest::mouseRelease(f, Qt::LeftButton, {}, k + QPoint(0, 20));
    QCOMPARE(moved.count(), 1);
    QVERIFY(moved.at(0).at(0).toDouble() < 0);
    QVERIFY(s.readout()->text() != QString("0.0dB"));

    s.set_level(-120);
    QCOMPARE(s.readout()->text(), QString("-\u221E"));
    QCOMPARE(moved.count(), 1);
  }

  void pan_moves_with_a_dead_zone_round_the_centre_data() {
    QTest::addColumn<double>("fraction");  // of the half width, from the centre
    QTest::addColumn<int>("expected");
    QTest::newRow("inside the dead zone, right") << 0.08 << 0;
    QTest::newRow("inside the dead zone, left") << -0.08 << 0;
    QTest::newRow("half right") << 0.5 << 50;
    QTest::newRow("quarter left") << -0.25 << -25;
    QTest::newRow("far right") << 1.0 << 100;
    QTest::newRow("beyond the left end") << -1.6 << -100;
  }
  void pan_moves_with_a_dead_zone_round_the_centre() {
    QFETCH(double, fraction);
    QFETCH(int, expected);
    channel_strip s;
    QVERIFY(test::show_window(s, {260, 280}));
    s.set_pan(expected == 0 ? 70 : 0);  // start elsewhere, so every row is a change
    pan_bar* p = s.pan();
    QSignalSpy moved(&s, &channel_strip::pan_moved);
    const int y = p->height() / 2;
    QTest::mousePress(p, Qt::LeftButton, {}, QPoint(pan_x(*p, 0.5), y));
    move_to(p, QPoint(pan_x(*p, fraction), y));
    QTest::mouseRelease(p, Qt::LeftButton, {}, QPoint(pan_x(*p, fraction), y));
    QVERIFY(moved.count() >= 1);
    // Whole pixels: off by at most one step, except in the dead zone and at the ends.
    QVERIFY2(std::abs(p->value() - expected) <= 1, qPrintable(QString::number(p->value())));
    if (expected == 0 || std::abs(expected) == 100) QCOMPARE(p->value(), expected);
    QCOMPARE(moved.last().at(0).toInt(), p->value());
  }

  void pan_bar_of_a_linked_channel_ignores_touches() {
    pan_bar p;
    QVERIFY(test::show_window(p, {96, 32}));
    QSignalSpy moved(&p, &pan_bar::value_changed);
    p.set_value(500);
    QCOMPARE(p.value(), 100);
    QCOMPARE(moved.count(), 0);
    p.set_clickable(false);
    QTest::mouseClick(&p, Qt::LeftButton, {}, QPoint(pan_x(p, -0.5), 16));
    QCOMPARE(p.value(), 100);
    QCOMPARE(moved.count(), 0);
    p.set_clickable(true);
    QTest::mouseClick(&p, Qt::LeftButton, {}, QPoint(pan_x(p, -1.2), 16));
    QCOMPARE(p.value(), -100);
    QCOMPARE(moved.count(), 1);
  }

  void stereo_shows_the_second_meter_and_moves_the_scale() {
    channel_strip s;
    QVERIFY(s.meter2()->isHidden());
    QVERIFY(s.meter1()->scale_shown());
    s.set_stereo(true);
    QVERIFY(!s.meter2()->isHidden());
    QVERIFY(!s.meter1()->scale_shown());
    s.set_stereo(false);
    QVERIFY(s.meter2()->isHidden());
    QVERIFY(s.meter1()->scale_shown());
  }

  void texts_and_lamps() {
    channel_strip s;
    s.set_gain(-119.9);
    QCOMPARE(s.gain_label()->text(), QString("GAIN\n-119.9dB"));
    s.set_gain(32);
    QCOMPARE(s.gain_label()->text(), QString("GAIN\n32.0dB"));
    s.set_gate(true);
    s.set_comp(true);
    QVERIFY(s.gate_lamp()->lit() && s.comp_lamp()->lit());
    s.set_comp(false);
    QVERIFY(!s.comp_lamp()->lit());
    s.set_comp_label("COMP");
    QCOMPARE(s.comp_label()->text(), QString("COMP"));
  }

  void moved_buttons_keep_reporting() {
    channel_strip s;
    QVERIFY(test::show_window(s, {260, 280}));
    s.set_ms_beside_lamps(true);
    s.button_row()->hide();
    QApplication::processEvents();
    QVERIFY(s.m_button()->isVisible());
    QVERIFY(s.indicator_row()->isAncestorOf(s.m_button()));
    QSignalSpy mute(&s, &channel_strip::mute_clicked);
    QSignalSpy touched(&s, &channel_strip::touched);
    QTest::mouseClick(s.m_button(), Qt::LeftButton);
    QCOMPARE(mute.count(), 1);
    QCOMPARE(touched.count(), 1);
    s.set_ms_beside_lamps(false);
    QVERIFY(s.button_row()->isAncestorOf(s.s_button()));
  }

  void sends_panel_is_made_on_demand_and_reports_through_the_strip() {
    channel_strip s;
    QVERIFY(test::show_window(s, {400, 280}));
    QVERIFY(!s.sends());
    s.show_sends(false);
    QVERIFY(!s.sends());
    s.show_sends(true);
    sends_panel* panel = s.sends();
    QVERIFY(panel && panel->isVisible());
    QApplication::processEvents();

    QSignalSpy sent(&s, &channel_strip::send_moved);
    QSignalSpy touched(&s, &channel_strip::touched);
    send_slider* aux3 = panel->slider(send_group_aux, 2);
    const QPoint c = aux3->knob_rect_of(aux3->value()).center().toPoint();
    QTest::mousePress(aux3, Qt::LeftButton, {}, c);
    move_to(aux3, c + QPoint(static_cast<int>(aux3->track_rect().width() / 5), 0));
    QTest::mouseRelease(aux3, Qt::LeftButton, {}, c);
    QCOMPARE(sent.count(), 1);
    QCOMPARE(sent.at(0).at(0).toInt(), int(send_group_aux));
    QCOMPARE(sent.at(0).at(1).toInt(), 2);
    QCOMPARE(sent.at(0).at(2).toInt(), 70);
    QCOMPARE(touched.count(), 1);

    s.show_sends(false);
    QVERIFY(panel->isHidden());
    s.show_sends(true);
    QCOMPARE(s.sends(), panel);

    // Sliders of a rebuilt panel select the strip too.
    panel->build(4, 1);
    QApplication::processEvents();
    QTest::mouseClick(panel->slider(send_group_fx, 0), Qt::LeftButton);
    QCOMPARE(touched.count(), 2);
  }

  // ---- level meter ----

  void meter_maps_dB_to_the_bar_data() {
    QTest::addColumn<int>("db");
    QTest::addColumn<int>("value");
    QTest::newRow("below the scale empties") << -41 << 0;
    QTest::newRow("silence") << meter_silent_db << 0;
    QTest::newRow("0 dB at 7/12") << 0 << 583;
    QTest::newRow("top mark") << 14 << 1000;
    QTest::newRow("above the scale") << 20 << 1000;
    QTest::newRow("between marks") << -8 << 305;
  }
  void meter_maps_dB_to_the_bar() {
    QFETCH(int, db);
    QFETCH(int, value);
    level_meter m;
    m.set_db(db);
    QCOMPARE(m.value(), value);
  }

  void meter_falls_by_its_step_and_rises_at_once() {
    level_meter m;
    QCOMPARE(m.value(), 1000);
    m.set_db(-41, 10);
    QCOMPARE(m.value(), 900);
    m.set_db(-41, 10);
    QCOMPARE(m.value(), 800);
    m.set_db(0, 10);
    QCOMPARE(m.value(), 700);
    m.set_db(7, 10);
    QCOMPARE(m.value(), 833);
    QVERIFY(std::abs(m.db() - 7) < 0.1);
    m.set_db(14, 10);
    QCOMPARE(m.db(), 14.0);
  }

  // The owner feeds every meter ten times a second; only a moved line costs a paint.
  void meter_repaints_only_when_the_lit_line_moves() {
    QWidget window;
    auto* m = new level_meter(&window);
    m->setGeometry(0, 0, 32, 24);  // a short bar: 1 px is 41.7 of the range
    window.resize(40, 30);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    m->set_db(0);  // 583 -> line 24 - 13 = 11
    paint_counter counter;
    m->installEventFilter(&counter);
    QCoreApplication::processEvents();
    counter.paints = 0;
    m->set_db(0);  // the same reading
    QCoreApplication::processEvents();
    QCOMPARE(counter.paints, 0);
    m->set_db(-1);  // 541 -> line 24 - 12 = 12: visible
    QCoreApplication::processEvents();
    QCOMPARE(counter.paints, 1);
    counter.paints = 0;
    const int v = m->value();
    m->set_db(-2);  // 500 -> line 12 as well: invisible
    QVERIFY(m->value() != v);
    QCOMPARE(meter_line_y(m->value(), 24), meter_line_y(v, 24));
    QCoreApplication::processEvents();
    QCOMPARE(counter.paints, 0);
  }

  // ---- sends panel ----

  void stored_sends_move_their_slider_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("id_kind");
    QTest::addColumn<int>("id_index");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("raw");
    QTest::addColumn<int>("group");  // -1: ignored
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("colour");
    QTest::newRow("input MAIN L") << 1 << 3 << 1 << 3 << 21 << 1200 << 2 << 0 << int(send_post_colour);
    QTest::newRow("input MAIN L pre-fader") << 1 << 3 << 1 << 3 << 21 << (0x8000 | 1200) << 2 << 0
                                            << int(send_pre_colour);
    QTest::newRow("input AUX 8") << 1 << 0 << 1 << 0 << 20 << 600 << 0 << 7 << int(send_post_colour);
    QTest::newRow("input FX 2") << 1 << 0 << 1 << 0 << 26 << 0 << 1 << 1 << int(send_post_colour);
    QTest::newRow("right member of a stereo pair") << 1 << 16 << 1 << 17 << 22 << 1200 << 2 << 1
                                                   << int(send_post_colour);
    QTest::newRow("effect return AUX 1") << 2 << 1 << 2 << 1 << 173 << 1200 << 0 << 0 << int(send_post_colour);
    QTest::newRow("effect return MAIN R") << 2 << 0 << 2 << 0 << 182 << 1200 << 2 << 1 << int(send_post_colour);
    QTest::newRow("another channel") << 1 << 3 << 1 << 4 << 21 << 1200 << -1 << 0 << 0;
    QTest::newRow("right member of a mono pair") << 1 << 2 << 1 << 3 << 21 << 1200 << -1 << 0 << 0;
    QTest::newRow("not a send (fader)") << 1 << 3 << 1 << 3 << 12 << 1200 << -1 << 0 << 0;
    QTest::newRow("another kind") << 1 << 0 << 2 << 0 << 173 << 1200 << -1 << 0 << 0;
  }
  void stored_sends_move_their_slider() {
    QFETCH(int, kind);
    QFETCH(int, index);
    QFETCH(int, id_kind);
    QFETCH(int, id_index);
    QFETCH(int, code);
    QFETCH(int, raw);
    QFETCH(int, group);
    QFETCH(int, item);
    QFETCH(int, colour);
    sends_panel p;
    p.set_channel(kind, index);
    QSignalSpy sent(&p, &sends_panel::send_changed);
    const unsigned id = param_id(id_kind, id_index, code);
    const bool applied = p.param_changed(id, static_cast<uint16_t>(raw));
    QCOMPARE(applied, group >= 0);
    QCOMPARE(sent.count(), 0);
    if (group < 0) return;
    send_slider* s = p.slider(group, item);
    QCOMPARE(s->value(), position_of(value_type::send_level, static_cast<uint16_t>(raw)));
    QCOMPARE(int(s->colour()), colour);
  }

  void channel_kind_hides_groups_and_the_rest_keep_their_places() {
    sends_panel p;
    QVERIFY(test::show_window(p, {128, 258}));
    const QRect aux = p.group_box(send_group_aux)->geometry();
    const QRect main = p.group_box(send_group_main)->geometry();

    p.set_channel(kind_fx, 0);
    QApplication::processEvents();
    QVERIFY(p.group_box(send_group_fx)->isHidden());
    QCOMPARE(p.group_box(send_group_aux)->geometry(), aux);
    QCOMPARE(p.group_box(send_group_main)->geometry(), main);

    p.set_channel(kind_bus, 0);
    for (int g = 0; g < send_group_count; ++g) QVERIFY(p.group_box(g)->isHidden());
    p.set_channel(kind_input, 0);
    for (int g = 0; g < send_group_count; ++g) QVERIFY(!p.group_box(g)->isHidden());
  }

  void build_rules_and_item_labels() {
    sends_panel p;
    QCOMPARE(p.item_count(send_group_aux), 8);
    QCOMPARE(p.item_count(send_group_fx), 2);
    QCOMPARE(p.item_count(send_group_main), 2);
    p.build(0, 2);
    p.build(4, 0);
    QCOMPARE(p.item_count(send_group_aux), 8);
    p.build(4, 1);
    QCOMPARE(p.item_count(send_group_aux), 4);
    QCOMPARE(p.item_count(send_group_fx), 1);
    QVERIFY(!p.slider(send_group_aux, 4));
    QVERIFY(!p.slider(5, 0));
    QCOMPARE(p.item_label(send_group_aux, 3)->text(), QString("4"));
    QCOMPARE(p.item_label(send_group_main, 0)->text(), QString("L"));
    QCOMPARE(p.item_label(send_group_main, 1)->text(), QString("R"));
    // One label width for all, so the sliders end in one column.
    QCOMPARE(p.item_label(send_group_main, 0)->width(), p.item_label(send_group_aux, 0)->width());
    // The stored channel survives a rebuild.
    p.set_channel(kind_fx, 1);
    p.build(8, 2);
    QVERIFY(p.group_box(send_group_fx)->isHidden());
  }

  // Two sliders left at the same value are two different sends: both must be written.
  void every_slider_reports_its_own_move() {
    sends_panel p;
    QVERIFY(test::show_window(p, {128, 258}));
    QSignalSpy sent(&p, &sends_panel::send_changed);
    for (int item : {0, 1}) {
      send_slider* s = p.slider(send_group_aux, item);
      const QPoint c = s->knob_rect_of(s->value()).center().toPoint();
      QTest::mousePress(s, Qt::LeftButton, {}, c);
      move_to(s, c + QPoint(static_cast<int>(s->track_rect().width() / 10), 0));
      QTest::mouseRelease(s, Qt::LeftButton, {}, c);
    }
    QCOMPARE(sent.count(), 2);
    QCOMPARE(sent.at(0).at(2).toInt(), 60);
    QCOMPARE(sent.at(1).at(2).toInt(), 60);
    QCOMPARE(p.last_event().item, 1);
    QCOMPARE(p.last_event().group, int(send_group_aux));
    QCOMPARE(p.last_event().slider, p.slider(send_group_aux, 1));
    QCOMPARE(p.last_value(), 60);
    QCOMPARE(p.last_relative(), 0.6);
  }
};

QTEST_MAIN(channel_strip_test)
#include "channel_strip_test.moc"
