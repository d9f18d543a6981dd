// The EQ graph: plot geometry, marks, handles and their hit test, the drag mapping back to
// frequency and gain, the info box, spectrum bars, the per-pixel curve image, dragging
// through to the store, and coalesced refreshes.
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <cmath>
#include <vector>

#include "app/params/convert.h"
#include "app/params/store.h"
#include "ui/widgets/eq_graph.h"
#include "ui/widgets/eq_graph_binding.h"

using namespace vorante;

Q_DECLARE_METATYPE(vorante::curve_kind)
Q_DECLARE_METATYPE(vorante::eq_handle)

namespace {

constexpr double level_min = -12, level_max = 12;

eq_layout plot(int x0, int y0, int n, int h) {
  eq_layout l;
  l.label_h = 14;
  l.x0 = x0;
  l.y0 = y0;
  l.n = n;
  l.h = h;
  l.zero_row = eq_row_of(0, h, level_min, level_max);
  return l;
}

// A shown graph big enough to drag on, with filters and bands all at 0 dB.
struct drag_fixture {
  eq_graph g;
  drag_fixture() {
    g.resize(640, 300);
    g.show();
    g.add_highpass(40, 20);
    g.add_lowpass(12000, 21);
    g.add_band(150, 0, 1);
    g.add_band(1000, 0, 1);
    g.add_band(5000, 0, 1);
    g.run_refresh();
  }
  void drag(eq_handle h, QPoint to) {
    const QPoint from = g.handle_centre(h);
    QTest::mousePress(&g, Qt::LeftButton, {}, from);
    QCOMPARE(g.dragged(), std::optional<eq_handle>(h));
    QTest::mouseMove(&g, to);
  }
  void release(QPoint at) { QTest::mouseRelease(&g, Qt::LeftButton, {}, at); }
};

QTimer* refresh_timer(eq_graph& g) { return g.findChild<QTimer*>(); }

}  // namespace

class eq_graph_test : public QObject {
  Q_OBJECT

 private slots:
  void layout_of_the_plot_data() {
    QTest::addColumn<QSize>("widget");
    QTest::addColumn<QSize>("label");
    QTest::addColumn<QList<int>>("expected");  // x0, y0, n, h, zero_row
    // The default size: n = 304 - h/2 - 2 - (2 + w + 4).
    QTest::newRow("default size") << QSize(304, 140) << QSize(21, 15) << QList<int>{27, 9, 268, 114, 57};
    QTest::newRow("compact strip") << QSize(120, 80) << QSize() << QList<int>{2, 2, 116, 76, 38};
    QTest::newRow("odd height") << QSize(200, 101) << QSize(18, 13) << QList<int>{24, 8, 168, 78, 39};
    QTest::newRow("too small to plot") << QSize(5, 5) << QSize(21, 15) << QList<int>{27, 9, 0, 0, 0};
  }
  void layout_of_the_plot() {
    QFETCH(QSize, widget);
    QFETCH(QSize, label);
    QFETCH(QList<int>, expected);
    const eq_layout l = eq_layout_for(widget, label, level_min, level_max);
    QCOMPARE((QList<int>{l.x0, l.y0, l.n, l.h, l.zero_row}), expected);
  }

  void mark_positions() {
    const auto f = eq_frequency_mark_positions(default_eq_frequency_marks(), 300);
    QCOMPARE(int(f.size()), 30);
    QCOMPARE(f.front(), -1);   // 14 Hz: one pixel left of the plot
    QCOMPARE(f[1], 14);        // 20 Hz: floor(300 ln(20/14) / ln(24000/14))
    QCOMPARE(f[18], 171);      // 1 kHz
    QCOMPARE(f.back(), 300);   // 24 kHz: on the far edge
    for (size_t k = 1; k < f.size(); ++k) QVERIFY(f[k] >= f[k - 1]);

    const auto v = eq_level_mark_positions(default_eq_level_marks(), 120);
    QCOMPARE(std::vector<int>(v.begin(), v.end()), (std::vector<int>{-1, 15, 30, 45, 60, 75, 90, 105, 120}));
  }

  void frequency_and_gain_to_handle_position_data() {
    QTest::addColumn<double>("hz");
    QTest::addColumn<double>("gain");
    QTest::addColumn<QPoint>("expected");
    // Plot at (30, 10), 300 x 120; 0 dB is 60 rows up.
    QTest::newRow("14 Hz, 0 dB") << 14.0 << 0.0 << QPoint(30, 70);
    QTest::newRow("1 kHz, +12 dB: the top edge") << 1000.0 << 12.0 << QPoint(201, 10);
    QTest::newRow("20 Hz, -12 dB: the bottom edge") << 20.0 << -12.0 << QPoint(44, 130);
    QTest::newRow("24 kHz, +6 dB") << 24000.0 << 6.0 << QPoint(330, 40);
    QTest::newRow("below the axis") << 10.0 << -3.0 << QPoint(30 - 14, 85);
  }
  void frequency_and_gain_to_handle_position() {
    QFETCH(double, hz);
    QFETCH(double, gain);
    QFETCH(QPoint, expected);
    QCOMPARE(eq_handle_centre(plot(30, 10, 300, 120), hz, gain), expected);
  }

  void pointer_to_frequency_and_level_data() {
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<int>("column");
    QTest::addColumn<double>("level");
    // Plot at (30, 10), 300 x 120; the column is one right of the pointer.
    QTest::newRow("left of the plot") << QPoint(0, 70) << 0 << 0.0;
    QTest::newRow("first pixel") << QPoint(30, 70) << 1 << 0.0;
    QTest::newRow("right of the plot") << QPoint(900, 70) << 299 << 0.0;
    QTest::newRow("above the plot: just under the top") << QPoint(100, -40) << 71 << -12 + 24.0 * 119 / 120;
    QTest::newRow("top row") << QPoint(100, 10) << 71 << -12 + 24.0 * 119 / 120;
    QTest::newRow("bottom edge: exactly the minimum") << QPoint(100, 130) << 71 << -12.0;
    QTest::newRow("below the plot") << QPoint(100, 500) << 71 << -12.0;
    QTest::newRow("+6 dB") << QPoint(100, 40) << 71 << 6.0;
  }
  void pointer_to_frequency_and_level() {
    QFETCH(QPoint, pointer);
    QFETCH(int, column);
    QFETCH(double, level);
    const eq_drag_target t = eq_drag_at(plot(30, 10, 300, 120), pointer);
    QCOMPARE(t.frequency, eq_grid_frequency(column, 300));
    QCOMPARE(t.level, level);
  }

  void drag_frequency_limits_data() {
    QTest::addColumn<curve_kind>("kind");
    QTest::addColumn<double>("hz");
    QTest::addColumn<double>("expected");
    QTest::newRow("high-pass far left: off") << curve_kind::high_pass << 14.0 << 19.600000381469727;
    QTest::newRow("high-pass far right") << curve_kind::high_pass << 23000.0 << 20000.0;
    QTest::newRow("low-pass far left") << curve_kind::low_pass << 14.0 << 19.700000762939453;
    QTest::newRow("low-pass far right: off") << curve_kind::low_pass << 23000.0 << 20001.0;
    QTest::newRow("band far left") << curve_kind::band << 14.0 << 19.700000762939453;
    QTest::newRow("band far right") << curve_kind::band << 23000.0 << 20000.0;
    QTest::newRow("band inside") << curve_kind::band << 1000.0 << 1000.0;
  }
  void drag_frequency_limits() {
    QFETCH(curve_kind, kind);
    QFETCH(double, hz);
    QFETCH(double, expected);
    QCOMPARE(eq_drag_frequency(kind, hz), expected);
  }

  void handle_hit_area_data() {
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<bool>("hit");
    // label_h 14: a square 2 x 14 across, edges included.
    QTest::newRow("centre") << QPoint(0, 0) << true;
    QTest::newRow("corner") << QPoint(14, -14) << true;
    QTest::newRow("right of it") << QPoint(15, 0) << false;
    QTest::newRow("above it") << QPoint(0, -15) << false;
  }
  void handle_hit_area() {
    QFETCH(QPoint, offset);
    QFETCH(bool, hit);
    const QPoint c(100, 50);
    QCOMPARE(eq_handle_hit_area(plot(30, 10, 300, 120), c).contains(c + offset), hit);
  }

  void press_picks_filters_before_bands_and_the_lowest_band() {
    // Everything at 1 kHz, 0 dB: the handles lie on top of each other.
    eq_graph all;
    all.add_band(1000, 0, 1);
    all.add_band(1000, 0, 1);
    const QPoint c = all.handle_centre({curve_kind::band, 1});
    QCOMPARE(all.handle_at(c), std::optional<eq_handle>(eq_handle{curve_kind::band, 0}));
    all.add_lowpass(1000, 9);
    QCOMPARE(all.handle_at(c), std::optional<eq_handle>(eq_handle{curve_kind::low_pass}));
    all.add_highpass(1000, 8);
    QCOMPARE(all.handle_at(c), std::optional<eq_handle>(eq_handle{curve_kind::high_pass}));
    QVERIFY(!all.handle_at(c + QPoint(0, 3 * all.layout().label_h)));
  }

  void info_text_data() {
    QTest::addColumn<curve_kind>("kind");
    QTest::addColumn<double>("hz");
    QTest::addColumn<double>("gain");
    QTest::addColumn<double>("q");
    QTest::addColumn<QString>("expected");
    QTest::newRow("high-pass switched off") << curve_kind::high_pass << 19.6 << 0.0 << 0.0 << "OFF";
    QTest::newRow("low-pass switched off") << curve_kind::low_pass << 20001.0 << 0.0 << 0.0 << "F:20.0k";
    QTest::newRow("tenths below 100 Hz") << curve_kind::high_pass << 80.04 << 0.0 << 0.0 << "F:80.0";
    QTest::newRow("whole hertz below 1 kHz") << curve_kind::low_pass << 440.6 << 0.0 << 0.0 << "F:441";
    QTest::newRow("two digits below 10 kHz") << curve_kind::low_pass << 9999.0 << 0.0 << 0.0 << "F:10k";
    QTest::newRow("band") << curve_kind::band << 1234.0 << 3.46 << 0.707 << "F:1.2k\nG:3.5\nQ:0.71";
    QTest::newRow("high band") << curve_kind::band << 12500.0 << -12.0 << 28.08 << "F:12.5k\nG:-12.0\nQ:28";
    QTest::newRow("band at the bottom") << curve_kind::band << 19.7 << 0.0 << 1.0 << "OFF\nG:0.0\nQ:1";
  }
  void info_text() {
    QFETCH(curve_kind, kind);
    QFETCH(double, hz);
    QFETCH(double, gain);
    QFETCH(double, q);
    QFETCH(QString, expected);
    QCOMPARE(eq_info_text(eq_curve(kind, 1, hz, gain, q, 8)), expected);
  }

  void info_box_stays_inside_the_plot_data() {
    QTest::addColumn<QPoint>("handle");
    QTest::addColumn<QRect>("expected");
    // Plot at (30, 10), 300 x 120, label_h 14: 65 x 43 box from the handle centre.
    QTest::newRow("room on both sides") << QPoint(100, 50) << QRect(100, 50, 65, 43);
    QTest::newRow("near the right edge") << QPoint(300, 50) << QRect(300 - 80, 50, 65, 43);
    QTest::newRow("near the bottom") << QPoint(100, 120) << QRect(100, 120 - 43, 65, 43);
    QTest::newRow("bottom right corner") << QPoint(320, 125) << QRect(320 - 80, 125 - 43, 65, 43);
  }
  void info_box_stays_inside_the_plot() {
    QFETCH(QPoint, handle);
    QFETCH(QRect, expected);
    QCOMPARE(eq_info_box(plot(30, 10, 300, 120), handle), expected);
  }

  void spectrum_bars_are_four_pixels_apart() {
    const eq_layout l = plot(30, 10, 300, 120);
    const auto bars = eq_spectrum_bars(l);
    // 20 Hz sits in column 14, 25 Hz in 23: the first bar mirrors its right half.
    QCOMPARE(bars[0], QRect(QPoint(30 + 10, 10), QPoint(30 + 17, 129)));
    for (int j = 1; j < 31; ++j) {
      QCOMPARE(bars[j].left() - bars[j - 1].right() - 1, 4);
      QVERIFY2(bars[j].width() > 0, qPrintable(QString::number(j)));
    }
    QCOMPARE(bars[31].right(), 30 + 300 - 2);

    QCOMPARE(eq_spectrum_fill(bars[5], l, 50), QRect(QPoint(bars[5].left(), 70), QPoint(bars[5].right(), 129)));
    QCOMPARE(eq_spectrum_fill(bars[5], l, 100).top(), 10);  // never above the plot
    QCOMPARE(eq_spectrum_fill(bars[5], l, 250).top(), 10);
    QVERIFY(eq_spectrum_fill(bars[5], l, 0).isEmpty());
    QVERIFY(eq_spectrum_fill(bars[5], l, -5).isEmpty());
  }

  void outline_joins_steps_without_gaps_data() {
    QTest::addColumn<QList<int>>("ys");
    QTest::newRow("flat") << QList<int>{10, 10, 10, 10};
    QTest::newRow("gentle") << QList<int>{10, 11, 12, 11, 10};
    QTest::newRow("steps") << QList<int>{10, 12, 15, 30, 29, 3, 3, 5};
    QTest::newRow("cliff") << QList<int>{0, 100, 0};
  }
  void outline_joins_steps_without_gaps() {
    QFETCH(QList<int>, ys);
    const int n = int(ys.size());
    std::vector<eq_span> spans;
    for (int i = 0; i < n; ++i)
      spans.push_back(eq_outline_span(i > 0 ? ys[i - 1] : ys[i], ys[i], i + 1 < n ? ys[i + 1] : ys[i]));
    for (int i = 0; i < n; ++i) {
      QVERIFY(spans[i].top <= ys[i] && ys[i] <= spans[i].bottom);
      if (i == 0) continue;
      // Neighbouring runs touch (share a row or meet diagonally), and no run reaches past
      // its neighbours' points.
      const eq_span& a = spans[i - 1];
      const eq_span& b = spans[i];
      QVERIFY2(b.top <= a.bottom + 1 && a.top <= b.bottom + 1, qPrintable(QString("column %1").arg(i)));
      const int next = i + 1 < n ? ys[i + 1] : ys[i];
      QVERIFY(b.top >= std::min({ys[i - 1], ys[i], next}));
      QVERIFY(b.bottom <= std::max({ys[i - 1], ys[i], next}));
    }
  }

  void curve_image_blends_the_fill_and_draws_the_outline() {
    QImage img(6, 20, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    const std::vector<int> rows{10, 10, 15, 5, 40, -8};  // zero row 10: y = 20 - row
    eq_paint_rows(img, rows, 10, qRgb(255, 0, 0), 102, false);
    const int fill_alpha = eq_fill_weight(102) * 255 / 32;
    auto alpha = [&](int x, int y) { return qAlpha(img.pixel(x, y)); };
    QCOMPARE(alpha(0, 10), fill_alpha);  // on the 0 dB row
    QCOMPARE(alpha(0, 9), 0);
    QCOMPARE(alpha(2, 5), fill_alpha);   // up to the curve point
    QCOMPARE(alpha(2, 4), 0);
    QCOMPARE(alpha(3, 15), fill_alpha);  // down to it
    QCOMPARE(alpha(3, 16), 0);
    QCOMPARE(alpha(4, 0), fill_alpha);   // above the plot: clipped at the top
    QCOMPARE(alpha(5, 19), fill_alpha);  // below it: clipped at the bottom
    QCOMPARE(qRed(img.pixel(2, 5)), fill_alpha);  // premultiplied red

    img.fill(Qt::transparent);
    eq_paint_rows(img, rows, 10, qRgb(255, 0, 0), 0, true);
    QCOMPARE(alpha(0, 10), 255);
    QCOMPARE(alpha(0, 11), 0);
    QCOMPARE(alpha(2, 5), 255);
    for (int y = 5; y <= 15; ++y) QVERIFY(alpha(2, y) == 255 || alpha(3, y) == 255);  // the step is joined
  }

  void graph_paints_curve_grid_and_spectrum() {
    eq_graph g;
    g.resize(320, 160);
    g.show();
    g.set_outline(true);
    g.add_band(1000, 0, 1);
    g.run_refresh();
    const eq_layout& l = g.layout();
    const int zero_y = l.y0 + l.h - l.zero_row;
    const int x = l.x0 + eq_column_of(300, l.n) + 2;  // clear of grid lines and handles
    QImage shot = g.grab().toImage();
    QCOMPARE(shot.pixelColor(x, zero_y), to_qcolor(eq_colours::curve));
    QCOMPARE(shot.pixelColor(x, l.y0 + l.h - 3), QColor(Qt::black));

    std::vector<int> full(31, 100);
    g.set_spectrum(full);
    QCOMPARE(g.spectrum()[30], 100);
    QCOMPARE(g.spectrum()[31], 0);
    g.set_spectrum_enabled(true);  // starts from nothing
    QCOMPARE(g.spectrum()[0], 0);
    g.set_spectrum(full);
    const QRect bar = eq_spectrum_bars(l)[10];
    shot = g.grab().toImage();
    const QColor tinted = shot.pixelColor(bar.left() + 1, l.y0 + l.h - 3);
    QVERIFY(tinted.blue() > 40 && tinted.red() < 10);
  }

  void dragging_a_band_sets_its_frequency_and_gain() {
    drag_fixture f;
    QSignalSpy spy(&f.g, &eq_graph::band_dragged);
    const eq_layout l = f.g.layout();
    const QPoint to(l.x0 + 120, l.y0 + l.h / 4);
    f.drag({curve_kind::band, 1}, to);

    const eq_drag_target t = eq_drag_at(l, to);
    const eq_curve& band = *f.g.response().band(1);
    QCOMPARE(band.frequency(), t.frequency);
    QCOMPARE(band.gain(), t.level);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy[0][0].toInt(), 1);
    QCOMPARE(spy[0][1].value<uint16_t>(), to_raw(value_type::peq_frequency, t.frequency));
    QCOMPARE(spy[0][2].value<uint16_t>(), to_raw(value_type::peq_gain, t.level));
    QVERIFY(f.g.refresh_pending());

    QTest::mouseMove(&f.g, to);  // nothing changed: nothing written
    QCOMPARE(spy.count(), 1);
    f.release(to);
    QVERIFY(!f.g.dragged());
  }

  void dragging_to_the_edges_data() {
    QTest::addColumn<eq_handle>("handle");
    QTest::addColumn<QString>("where");
    QTest::addColumn<double>("hz");
    QTest::addColumn<double>("gain");
    QTest::addColumn<QString>("info");
    QTest::newRow("high-pass far left: off") << eq_handle{curve_kind::high_pass} << "left"
                                             << 19.600000381469727 << 0.0 << "OFF";
    QTest::newRow("low-pass far right: off") << eq_handle{curve_kind::low_pass} << "right"
                                             << 20001.0 << 0.0 << "F:20.0k";
    QTest::newRow("band to the top") << eq_handle{curve_kind::band, 0} << "top" << -1.0 << 12.0 << "";
    QTest::newRow("band to the bottom") << eq_handle{curve_kind::band, 2} << "bottom" << -1.0 << -12.0 << "";
  }
  void dragging_to_the_edges() {
    QFETCH(eq_handle, handle);
    QFETCH(QString, where);
    QFETCH(double, hz);
    QFETCH(double, gain);
    QFETCH(QString, info);
    drag_fixture f;
    const eq_layout l = f.g.layout();
    const QPoint c = f.g.handle_centre(handle);
    const QPoint to = where == "left"    ? QPoint(0, c.y())
                      : where == "right" ? QPoint(f.g.width() - 1, c.y())
                      : where == "top"   ? QPoint(c.x(), 0)
                                         : QPoint(c.x(), f.g.height() - 1);
    f.drag(handle, to);
    const eq_curve& curve = *f.g.curve(handle);
    if (hz > 0) QCOMPARE(curve.frequency(), hz);
    if (gain == 12.0)  // the top row is one step under the maximum
      QCOMPARE(curve.gain(), l.level_min + (l.level_max - l.level_min) * (l.h - 1) / l.h);
    else
      QCOMPARE(curve.gain(), gain);
    if (!info.isEmpty()) QCOMPARE(eq_info_text(curve), info);
    f.g.run_refresh();
    if (handle.kind != curve_kind::band) {
      // A filter switched off draws flat; its handle stays on the 0 dB line inside the plot.
      for (int v : curve.response()) QCOMPARE(v, 0);
      const QPoint at = f.g.handle_centre(handle);
      QCOMPARE(at.y(), l.y0 + l.h - l.zero_row);
      QVERIFY(at.x() >= l.x0 && at.x() < l.x0 + l.n);
    }
    f.release(to);
  }

  void compact_graph_still_drags_its_invisible_handles() {
    eq_graph g;
    g.set_compact(true);
    g.resize(160, 100);
    g.show();
    g.add_band(1000, 0, 1);
    g.run_refresh();
    QCOMPARE(g.layout().label_h, 0);
    const QPoint c = g.handle_centre({curve_kind::band, 0});
    QVERIFY(!g.handle_at(c + QPoint(1, 0)));  // the area shrinks to the centre
    QSignalSpy spy(&g, &eq_graph::band_dragged);
    QTest::mousePress(&g, Qt::LeftButton, {}, c);
    QTest::mouseMove(&g, c + QPoint(10, -20));
    QCOMPARE(spy.count(), 1);
    QVERIFY(g.response().band(0)->gain() > 0);
    QTest::mouseRelease(&g, Qt::LeftButton, {}, c + QPoint(10, -20));
  }

  void drags_write_through_the_store_and_stored_values_show() {
    runtime_options options;
    param_store store(options);
    store.load_defaults();
    const eq_param_ids ids = eq_param_block(1, 2, 38, 42, 4);  // an input channel

    drag_fixture f;
    f.g.reset_bands(4);
    show_eq_params(f.g, ids, store);
    QCOMPARE(f.g.response().highpass()->frequency(), 19.6);
    QCOMPARE(f.g.response().highpass()->type_code(), 20);
    QCOMPARE(f.g.response().lowpass()->frequency(), 20600.0);
    QCOMPARE(f.g.response().band(0)->frequency(), 80.0);
    QCOMPARE(f.g.response().band(1)->gain(), 0.0);
    QCOMPARE(f.g.response().band(3)->q(), 1.0);

    QVERIFY(show_eq_param(f.g, ids, ids.bands[2].q, 250));
    QCOMPARE(f.g.response().band(2)->q(), 2.5);
    QVERIFY(!show_eq_param(f.g, ids, param_id(1, 2, 42 + 4 * 3), 250));  // the last band's type

    write_eq_drags(f.g, ids, store);
    f.g.run_refresh();
    const eq_layout l = f.g.layout();
    const QPoint to(l.x0 + l.n / 2, l.y0 + l.h / 3);
    f.drag({curve_kind::band, 1}, to);
    const eq_drag_target t = eq_drag_at(l, to);
    QCOMPARE(store.get(ids.bands[1].frequency), to_raw(value_type::peq_frequency, t.frequency));
    QCOMPARE(store.get(ids.bands[1].gain), to_raw(value_type::peq_gain, t.level));
    QVERIFY(store.dirty().contains(ids.bands[1].frequency));
    f.release(to);

    f.drag({curve_kind::low_pass}, QPoint(l.x0 + l.n / 2, 0));
    QCOMPARE(store.get(ids.lowpass_frequency), to_raw(value_type::lowpass_frequency, f.g.response().lowpass()->frequency()));
  }

  void changes_within_a_tick_cost_one_recompute() {
    eq_graph g;
    g.resize(400, 200);
    g.add_highpass(60, 20);
    g.add_lowpass(15000, 21);
    g.spread_bands(4);
    g.run_refresh();
    QTimer* timer = refresh_timer(g);
    QVERIFY(timer);
    QCOMPARE(timer->interval(), eq_graph_refresh_ms);
    QVERIFY(!timer->isActive());
    QVERIFY(!g.refresh_pending());

    QSignalSpy refreshed(&g, &eq_graph::refreshed);
    const std::vector<int> before = g.response().rows();
    QVERIFY(g.set_band_gain(0, 6));
    QVERIFY(g.set_band_gain(1, -3));
    QVERIFY(g.set_highpass_frequency(200));
    QVERIFY(g.set_band_frequency(2, 3000));
    QVERIFY(g.set_band_gain(0, 7));
    QVERIFY(g.set_lowpass_type(9));
    QVERIFY(g.refresh_pending());
    QVERIFY(timer->isActive());
    QCOMPARE(g.response().rows(), before);  // nothing is recomputed before the tick
    QCOMPARE(refreshed.count(), 0);

    g.run_refresh();  // the tick
    QCOMPARE(refreshed.count(), 1);
    QVERIFY(!g.refresh_pending());
    QVERIFY(!timer->isActive());
    QVERIFY(!g.response().any_dirty());

    // The rows are those of the final values, as a fresh computation gives them.
    eq_response ref(g.layout().n);
    ref.add_highpass(200, 20);
    ref.add_lowpass(15000, 9);
    for (int b = 0; b < 4; ++b) {
      const eq_curve& c = *g.response().band(b);
      ref.add_band(c.frequency(), c.gain(), c.q());
    }
    ref.compute_dirty();
    ref.sum_rows(g.layout().h, level_min, level_max);
    QCOMPARE(g.response().rows(), ref.rows());
    QCOMPARE(g.response().band(0)->gain(), 7.0);

    // Changes under a hundredth, and values for curves that do not exist, schedule nothing.
    QVERIFY(!g.set_band_frequency(2, 3000.004));
    QVERIFY(!g.set_band_gain(7, 3));
    QVERIFY(!g.set_band_q(-1, 3));
    QVERIFY(!g.refresh_pending());
    QVERIFY(!timer->isActive());
  }

  void options_and_marks() {
    eq_graph g;
    QCOMPARE(g.size(), eq_graph_default_size);
    QCOMPARE(g.add_highpass(23, 8), eq_highpass_id);
    QCOMPARE(g.add_highpass(30, 8), -1);
    QCOMPARE(g.add_lowpass(16000, 9), eq_lowpass_id);
    QCOMPARE(g.add_lowpass(16000, 9), -1);
    g.spread_bands(4);
    QCOMPARE(g.band_count(), 4);
    g.reset_bands(7);
    QCOMPARE(g.band_count(), 7);
    QCOMPARE(g.response().band(0)->id(), 5);

    const int full_n = g.layout().n;
    g.set_compact(true);
    QCOMPARE(g.layout().x0, eq_graph_margin);
    QCOMPARE(g.layout().n, eq_graph_default_size.width() - 2 * eq_graph_margin);
    QVERIFY(g.layout().n > full_n);
    QCOMPARE(g.response().points(), g.layout().n);  // the grid follows the plot width

    // A custom level table sets the axis; an unusable one falls back to the default.
    const eq_mark levels[] = {{-24, "dB"}, {0, "0"}, {24, "+24"}};
    eq_graph wide(nullptr, {}, levels);
    QCOMPARE(wide.layout().level_min, -24.0);
    QCOMPARE(wide.layout().level_max, 24.0);
    const eq_mark falling[] = {{12, ""}, {-12, ""}};
    eq_graph fallback(nullptr, {}, falling);
    QCOMPARE(fallback.layout().level_min, -12.0);
  }
};

QTEST_MAIN(eq_graph_test)
#include "eq_graph_test.moc"
