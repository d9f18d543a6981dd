// The gate and compressor curve widgets: their layout in the widget, the drag by mouse with
// its coalesced redraw, and the enabled, disabled and compact looks on real pixels.
#include <QSignalSpy>
#include <QtTest>

#include "app/core/options.h"
#include "app/params/convert.h"
#include "app/params/store.h"
#include "tests/ui/pointer.h"
#include "ui/foundation/fonts.h"
#include "ui/widgets/dyn_curves.h"
#include "ui/widgets/dyn_curves_binding.h"

using namespace vorante;

namespace {

QColor pixel(QWidget& w, dyn_point at) { return w.grab().toImage().pixelColor(at.x, at.y); }

bool near(const QColor& c, int r, int g, int b, int tolerance = 12) {
  return std::abs(c.red() - r) <= tolerance && std::abs(c.green() - g) <= tolerance && std::abs(c.blue() - b) <= tolerance;
}

void move_to(QWidget& w, dyn_point at) { test::move_to(&w, QPoint(at.x, at.y)); }

}  // namespace

class dyn_curves_test : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { fonts_init(); }

  void default_curves_are_square_and_centred() {
    comp_curve c;
    gate_curve g;
    QCOMPARE(c.size(), dyn_curve_default_size);
    for (const dyn_plot& p : {c.plot(), g.plot()}) {
      QCOMPARE(p.w, p.h);
      QVERIFY(p.label_h > 0);
      // Wider than tall: the plot stays under the top margin and the spare width is split
      // evenly left and right of it.
      QCOMPARE(p.y0, dyn_margin + p.label_h / 2);
      const int right_spare = 320 - (p.x0 + p.w) - p.label_h / 2 - dyn_margin;
      QVERIFY(p.left_offset > 0);
      QVERIFY(right_spare - p.left_offset == 0 || right_spare - p.left_offset == 1);
    }
    // Compact drops the labels and grows the plot.
    const int full_w = c.plot().w;
    c.set_compact(true);
    QCOMPARE(c.plot().label_h, 0);
    QVERIFY(c.plot().w > full_w);
    // Resizing lays it out again.
    c.show();
    c.resize(200, 100);
    QTRY_COMPARE(c.plot().h, 100 - 2 * dyn_margin);
  }

  void dragging_writes_through_setters_and_coalesces_redraws() {
    comp_curve c(nullptr, comp_editor_marks(), comp_editor_marks());
    c.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c));
    QSignalSpy changed(&c, &dyn_curve::value_changed);
    const dyn_point knee = c.model().knee;
    QTest::mousePress(&c, Qt::LeftButton, {}, QPoint(knee.x, knee.y));
    QCOMPARE(c.drag(), 1);
    QVERIFY(c.holds_scroll());
    // Every move reports, even one that leaves the value as it was.
    for (int dx : {-10, -20, -30, -30}) move_to(c, {knee.x + dx, knee.y});
    QCOMPARE(changed.count(), 4);
    QVERIFY(c.threshold() < -20);
    QVERIFY(c.redraw_pending());
    QTRY_VERIFY_WITH_TIMEOUT(!c.redraw_pending(), 500);
    QCOMPARE(c.deferred_redraws(), 1);
    QTest::mouseRelease(&c, Qt::LeftButton, {}, QPoint(knee.x - 30, knee.y));
    QCOMPARE(c.drag(), 0);
    QVERIFY(!c.holds_scroll());

    // Disabled: a press takes nothing.
    c.set_curve_enabled(false);
    QTest::mousePress(&c, Qt::LeftButton, {}, QPoint(c.model().knee.x, c.model().knee.y));
    QCOMPARE(c.drag(), 0);
    move_to(c, {10, 10});
    QCOMPARE(changed.count(), 4);
  }

  void gate_drag_by_mouse_keeps_hold_at_least_2() {
    gate_curve g;
    g.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g));
    QSignalSpy changed(&g, &dyn_curve::value_changed);
    const dyn_point hold_end = g.model().p[2];
    QTest::mousePress(&g, Qt::LeftButton, {}, QPoint(hold_end.x, hold_end.y));
    QCOMPARE(g.drag(), 2);
    move_to(g, {0, hold_end.y});
    QCOMPARE(g.hold(), 2);
    QCOMPARE(changed.count(), 1);
    QTest::mouseRelease(&g, Qt::LeftButton, {}, QPoint(0, hold_end.y));
    // A press beside every handle still asks for one redraw, and drags nothing.
    QTest::mousePress(&g, Qt::LeftButton, {}, QPoint(g.plot().x0 + g.plot().w - 2, g.plot().y0 + 2));
    QCOMPARE(g.drag(), 0);
    QVERIFY(g.redraw_pending());
    // Setters take any value; getters round halves away from zero.
    g.set_hold(-5);
    QCOMPARE(g.hold(), -5);
    g.set_threshold(-12.5f);
    QCOMPARE(g.threshold(), -12.5f);
  }

  void enabled_disabled_and_compact_looks() {
    comp_curve c(nullptr, comp_editor_marks(), comp_editor_marks());
    c.set_curve_colour(comp_curve_colour);
    const comp_model& m = c.model();
    // A point on the first segment (45 degrees on equal axes), one under it, one over it,
    // all half way between two grid lines.
    const int d = c.plot().w / 8;
    const dyn_point on{m.start.x + d, m.start.y - d};
    const dyn_point under{on.x + 3, on.y + 10};
    const dyn_point over{on.x - 3, on.y - 10};
    const int r = c.plot().label_h / 2;
    const dyn_point ring_top{m.knee.x, m.knee.y - r};

    QVERIFY(near(pixel(c, on), 255, 255, 0, 40));
    QVERIFY(near(pixel(c, under), 153, 153, 0));  // yellow at 60 %
    QVERIFY(near(pixel(c, over), 0, 0, 0));
    QVERIFY(near(pixel(c, ring_top), 0xFF, 0x98, 0x00, 40));

    c.set_curve_enabled(false);
    QVERIFY(near(pixel(c, under), 76, 76, 0));  // dimmed fill, no line
    QVERIFY(!near(pixel(c, on), 255, 255, 0, 40));
    QVERIFY(near(pixel(c, ring_top), 0x9E, 0x9E, 0x9E, 40));

    // Compact: no handles; the curve and the grid stay.
    c.set_curve_enabled(true);
    c.set_compact(true);
    const dyn_point knee = c.model().knee;
    QVERIFY(!near(pixel(c, {knee.x, knee.y - r}), 0xFF, 0x98, 0x00, 40));
    const dyn_plot& p = c.plot();
    QVERIFY(near(pixel(c, {p.x0, p.y0 + p.h / 3}), 0x63, 0x61, 0x63, 8));  // left edge line
  }

  void curves_show_and_write_the_channel_parameters() {
    runtime_options options;
    param_store store(options);
    store.load_defaults();
    int input = 4;
    const auto id = [&input](int code) { return param_id(kind_input, input, code); };
    store.set_local(id(code_input_gate_threshold), to_raw(value_type::gate_threshold, -30));
    store.set_local(id(code_input_comp_ratio), to_raw(value_type::compressor_ratio, 4));

    gate_curve g;
    comp_curve c(nullptr, comp_editor_marks(), comp_editor_marks());
    show_gate_params(g, input, store);
    show_comp_params(c, input, store);
    QCOMPARE(g.threshold(), -30.0f);
    QCOMPARE(c.ratio(), 4.0);
    // Another channel's value, or a code the curve does not show, leaves it alone.
    QVERIFY(!show_gate_param(g, input, param_id(kind_input, 5, code_input_gate_threshold), to_raw(value_type::gate_threshold, -10)));
    QVERIFY(!show_comp_param(c, input, id(code_input_gate_threshold), to_raw(value_type::gate_threshold, -10)));
    QVERIFY(show_comp_param(c, input, id(code_input_comp_threshold), to_raw(value_type::compressor_threshold, -40)));
    QCOMPARE(c.threshold(), -40.0);

    write_gate_drags(g, [&input] { return input; }, store);
    write_comp_drags(c, [&input] { return input; }, store);
    g.show();
    c.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g) && QTest::qWaitForWindowExposed(&c));

    // The gate's attack handle up to the top: threshold 0 dB, written with the other three.
    const dyn_point attack = g.model().p[1];
    QTest::mousePress(&g, Qt::LeftButton, {}, QPoint(attack.x, attack.y));
    move_to(g, {attack.x + 5, 0});
    QTest::mouseRelease(&g, Qt::LeftButton, {}, QPoint(attack.x + 5, 0));
    for (const dyn_write& w : gate_curve_writes(g.model())) QCOMPARE(store.get(id(w.code)), w.raw);
    QCOMPARE(store.get(id(code_input_gate_threshold)), to_raw(value_type::gate_threshold, 0));

    // The compressor's ratio handle, for the channel the editor shows by then.
    input = 6;
    const dyn_point end = c.model().end;
    QTest::mousePress(&c, Qt::LeftButton, {}, QPoint(end.x, end.y));
    move_to(c, {end.x, c.model().knee.y + 20});  // below the knee, far right of it: past 40
    QTest::mouseRelease(&c, Qt::LeftButton, {}, QPoint(end.x, end.y));
    QCOMPARE(store.get(id(code_input_comp_ratio)), to_raw(value_type::compressor_ratio, 41));
    QCOMPARE(store.get(id(code_input_comp_threshold)), to_raw(value_type::compressor_threshold, -40));
  }
};

QTEST_MAIN(dyn_curves_test)
#include "dyn_curves_test.moc"
