// Buttons, toggles, tiles, the gain-reduction meter and the colour conversion: state rules,
// looks by state and type, and the geometry helpers the painting is built from.
#include <QEvent>
#include <QImage>
#include <QtTest>

#include "tests/ui/pointer.h"
#include "ui/foundation/colour.h"
#include "ui/widgets/box_cache.h"
#include "ui/widgets/button.h"
#include "ui/widgets/gallery_page.h"
#include "ui/widgets/gr_meter.h"
#include "ui/widgets/tile.h"
#include "ui/widgets/toggle_button.h"

using namespace vorante;
using test::paint_counter;

Q_DECLARE_METATYPE(vorante::rgb565)
Q_DECLARE_METATYPE(std::optional<int>)

static_assert(rgb565_to_rgb(0xFFFF) == 0xFFFFFFFFu);
static_assert(rgb565_to_rgb(0x0000) == 0xFF000000u);
static_assert(rgb565_darken_half(0xFFFF) == ((15u << 11) | (31u << 5) | 15u));

namespace {

bool near(QColor a, QColor b, int tolerance) {
  return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
         std::abs(a.blue() - b.blue()) <= tolerance;
}

}  // namespace

class widgets_test : public QObject {
  Q_OBJECT

 private slots:
  void colour_widens_by_bit_replication_data() {
    QTest::addColumn<rgb565>("c");
    QTest::addColumn<QString>("expected");
    QTest::newRow("black") << rgb565{0x0000} << "#000000";
    QTest::newRow("white") << rgb565{0xFFFF} << "#ffffff";
    QTest::newRow("screen background") << rgb565{0x1209} << "#10414a";
    QTest::newRow("button blue") << rgb565{0x34DF} << "#319aff";
    QTest::newRow("dark blue") << rgb565{0x020F} << "#00417b";
    QTest::newRow("mute red") << rgb565{0xE002} << "#e70010";
    QTest::newRow("button grey") << rgb565{0x5AEB} << "#5a5d5a";
    QTest::newRow("tile orange") << rgb565{0xFCC0} << "#ff9a00";
  }
  void colour_widens_by_bit_replication() {
    QFETCH(rgb565, c);
    QFETCH(QString, expected);
    QCOMPARE(to_qcolor(c).name(), expected);
    QCOMPARE(rgb565_from_rgb(to_qcolor(c).red(), to_qcolor(c).green(), to_qcolor(c).blue()), c);
  }

  void button_label_follows_text_rules() {
    button b;
    b.set_text("");
    QVERIFY(!b.label_shown());
    QCOMPARE(b.label_text(), QString());

    b.set_text("MUTE");
    QVERIFY(b.label_shown());
    QCOMPARE(b.label_text(), QString("MUTE"));

    b.set_text("");
    QVERIFY(!b.label_shown());
    QCOMPARE(b.label_text(), QString("MUTE"));  // hidden, not forgotten

    b.set_textf("CH%d", 12);
    QVERIFY(b.label_shown());
    QCOMPARE(b.label_text(), QString("CH12"));

    // '&' is text, not a keyboard shortcut marker ("LINK L&R").
    b.set_text("LINK L&R");
    QCOMPARE(b.label_text(), QString("LINK L&R"));
    QVERIFY(b.shortcut().isEmpty());
  }

  void button_look_by_type_and_state_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("down");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<rgb565>("background");
    QTest::addColumn<rgb565>("gradient");
    QTest::newRow("released") << 1 << false << false << rgb565{0x5AEB} << rgb565{0x3186};
    QTest::newRow("pressed type 0") << 0 << true << false << rgb565{0x34DF} << rgb565{0x020F};
    QTest::newRow("checked mute") << 1 << false << true << rgb565{0xE002} << rgb565{0x7800};
    QTest::newRow("pressed solo") << 2 << true << false << rgb565{0xF4C0} << rgb565{0x6A40};
    QTest::newRow("checked green") << 3 << false << true << rgb565{0x156C} << rgb565{0x0286};
    QTest::newRow("pressed and checked bright") << 4 << true << true << rgb565{0x2567} << rgb565{0x0300};
    QTest::newRow("unknown type 9") << 9 << true << false << rgb565{0x34DF} << rgb565{0x020F};
    QTest::newRow("negative type") << -1 << false << true << rgb565{0x34DF} << rgb565{0x020F};
  }
  void button_look_by_type_and_state() {
    QFETCH(int, type);
    QFETCH(bool, down);
    QFETCH(bool, checked);
    QFETCH(rgb565, background);
    QFETCH(rgb565, gradient);
    button b;
    b.setCheckable(true);
    b.set_type(type);
    b.setDown(down);
    b.setChecked(checked);
    const face_look lk = b.look(b.highlighted());
    QCOMPARE(lk.background, background);
    QCOMPARE(lk.gradient, gradient);
    QCOMPARE(lk.border_alpha, face_released_border_alpha);
  }

  void button_colour_sets_released_gradient() {
    button b;
    b.set_colour(0xFFFF);
    face_look lk = b.look(false);
    QCOMPARE(lk.background, rgb565{0xFFFF});
    QCOMPARE(lk.gradient, rgb565{0x7BEF});
    b.set_colour(0xE002);
    lk = b.look(false);
    QCOMPARE(lk.gradient, rgb565{0x7001});
    // The pressed look keeps the type's colours.
    QCOMPARE(b.look(true).background, rgb565{0x34DF});
  }

  void toggle_look_by_type_and_state_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("on");
    QTest::addColumn<rgb565>("background");
    QTest::addColumn<rgb565>("border");
    QTest::addColumn<int>("border_alpha");
    QTest::newRow("off") << 6 << false << rgb565{0x5AEB} << theme::card_border << 102;
    QTest::newRow("on type 0") << 0 << true << rgb565{0x34DF} << rgb565{0x061E} << 255;
    QTest::newRow("on red keeps blue frame") << 1 << true << rgb565{0xE002} << rgb565{0x061E} << 255;
    QTest::newRow("on dark green") << 5 << true << rgb565{0x12E3} << rgb565{0x1E26} << 255;
    QTest::newRow("on purple") << 6 << true << rgb565{0x8050} << rgb565{0xC8D9} << 255;
    QTest::newRow("on amber") << 7 << true << rgb565{0xE505} << rgb565{0xFEE5} << 255;
    QTest::newRow("unknown type 8") << 8 << true << rgb565{0x34DF} << rgb565{0x061E} << 255;
  }
  void toggle_look_by_type_and_state() {
    QFETCH(int, type);
    QFETCH(bool, on);
    QFETCH(rgb565, background);
    QFETCH(rgb565, border);
    QFETCH(int, border_alpha);
    toggle_button t;
    t.set_type(5);
    t.set_type(type);  // a former type leaves nothing behind
    t.setChecked(on);
    const face_look lk = t.look(t.highlighted());
    QCOMPARE(lk.background, background);
    QCOMPARE(lk.gradient, background);
    QCOMPARE(lk.border, border);
    QCOMPARE(lk.border_alpha, border_alpha);
  }

  void toggle_switches_on_click_and_button_does_not() {
    toggle_button t;
    button b;
    QTest::mouseClick(&t, Qt::LeftButton);
    QTest::mouseClick(&b, Qt::LeftButton);
    QVERIFY(t.isChecked());
    QVERIFY(t.highlighted());
    QVERIFY(!b.isChecked());
    QVERIFY(!b.highlighted());
    QTest::mouseClick(&t, Qt::LeftButton);
    QVERIFY(!t.highlighted());
  }

  void painting_shows_the_current_state() {
    button b;
    b.set_type(1);
    const QColor released = b.grab().toImage().pixelColor(40, 3);
    QVERIFY(near(released, to_qcolor(0x5AEB), 12));
    b.setDown(true);
    const QImage pressed = b.grab().toImage();
    QVERIFY(near(pressed.pixelColor(40, 3), to_qcolor(0xE002), 12));
    QVERIFY(near(pressed.pixelColor(40, 30), to_qcolor(0x7800), 40));  // lower: toward gradient
    b.setDown(false);
    b.set_progress(50);
    const QImage bar = b.grab().toImage();
    QVERIFY(near(bar.pixelColor(20, 35), to_qcolor(theme::bar_fill), 8));
    QVERIFY(near(bar.pixelColor(60, 35), to_qcolor(theme::bar_track), 8));
  }

  // Cards are drawn once per size and look: asking again gives the same picture, and a
  // change in any part of the look gives another one (a key that ignored a field would
  // hand out a card of the wrong colour).
  void rounded_box_is_reused_only_for_the_same_look() {
    const box_look base{0x4A49, 0x2945, true, 0xFFFF, 102, 1, 4};
    const QSize size(60, 40);
    const qint64 first = rounded_box(size, base).cacheKey();
    QCOMPARE(rounded_box(size, base).cacheKey(), first);
    QVERIFY(near(rounded_box(size, base).pixelColor(30, 1), to_qcolor(0x4A49), 40));
    QCOMPARE(rounded_box(size, base).pixelColor(0, 0).alpha(), 0);  // outside the corner

    std::vector<box_look> changed(7, base);
    changed[0].top = 0xF800;
    changed[1].bottom = 0x07E0;
    changed[2].filled = false;
    changed[3].border = 0x001F;
    changed[4].border_alpha = 255;
    changed[5].border_width = 2;
    changed[6].radius = 8;
    const QImage reference = rounded_box(size, base).copy();
    for (const box_look& look : changed) QVERIFY(rounded_box(size, look) != reference);
    QVERIFY(rounded_box(QSize(61, 40), base) != reference);

    // Sizes made up on the fly do not pile up.
    for (int w = 1; w <= 600; ++w) rounded_box(QSize(w, 10), base);
    QVERIFY(rounded_box_cache_size() <= 512);
    QCOMPARE(rounded_box(size, base), reference);
  }

  void is_button_only_for_push_buttons() {
    button b;
    toggle_button t;
    tile ti;
    QVERIFY(is_button(&b));
    QVERIFY(!is_button(&t));
    QVERIFY(!is_button(&ti));
    QVERIFY(!is_button(nullptr));
  }

  void default_sizes() {
    QCOMPARE(button().size(), QSize(80, 40));
    QCOMPARE(toggle_button().size(), QSize(80, 40));
    QCOMPARE(tile().size(), QSize(100, 60));
    QCOMPARE(gr_meter().size(), QSize(12, 200));
  }

  void progress_bar_geometry_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("percent");
    QTest::addColumn<QRect>("track");
    QTest::addColumn<int>("fill_width");
    QTest::newRow("half") << QSize(80, 40) << 50 << QRect(1, 31, 78, 8) << 39;
    QTest::newRow("empty") << QSize(80, 40) << 0 << QRect(1, 31, 78, 8) << 0;
    QTest::newRow("full") << QSize(80, 40) << 100 << QRect(1, 31, 78, 8) << 78;
    QTest::newRow("below range") << QSize(80, 40) << -20 << QRect(1, 31, 78, 8) << 0;
    QTest::newRow("above range") << QSize(80, 40) << 250 << QRect(1, 31, 78, 8) << 78;
    QTest::newRow("wide short") << QSize(202, 12) << 33 << QRect(1, 3, 200, 8) << 66;
  }
  void progress_bar_geometry() {
    QFETCH(QSize, size);
    QFETCH(int, percent);
    QFETCH(QRect, track);
    QFETCH(int, fill_width);
    const progress_geometry g = progress_rects(size, percent);
    QCOMPARE(g.track, track);
    QCOMPARE(g.fill, QRect(track.left(), track.top(), fill_width, track.height()));
  }

  void progress_is_made_on_first_use_and_clamped() {
    toggle_button t;
    QVERIFY(!t.progress().has_value());
    t.set_progress(140);
    QCOMPARE(t.progress(), std::optional<int>(100));
    t.set_progress(-3);
    QCOMPARE(t.progress(), std::optional<int>(0));
  }

  void tile_layout_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("title_height");
    QTest::addColumn<QRect>("title");
    QTest::addColumn<QRect>("value");
    QTest::newRow("default") << QSize(100, 60) << 19 << QRect(1, 1, 98, 19) << QRect(1, 20, 98, 39);
    QTest::newRow("value keeps its minimum") << QSize(100, 30) << 19 << QRect(1, 1, 98, 19)
                                             << QRect(1, 20, 98, 16);
    QTest::newRow("two-line title") << QSize(112, 80) << 38 << QRect(1, 1, 110, 38)
                                    << QRect(1, 39, 110, 40);
    QTest::newRow("no title") << QSize(100, 60) << 0 << QRect(1, 1, 98, 0) << QRect(1, 1, 98, 58);
  }
  void tile_layout() {
    QFETCH(QSize, size);
    QFETCH(int, title_height);
    QFETCH(QRect, title);
    QFETCH(QRect, value);
    const tile_geometry g = vorante::tile_layout(size, title_height);
    QCOMPARE(g.title.topLeft(), title.topLeft());
    QCOMPARE(g.title.size(), title.size());
    QCOMPARE(g.value, value);
  }

  void tile_highlight_follows_press_and_check() {
    tile t;
    t.set_title("GAIN");
    t.set_value("+3dB");
    QVERIFY(!t.highlighted());
    QTest::mousePress(&t, Qt::LeftButton);
    QVERIFY(t.highlighted());
    QTest::mouseRelease(&t, Qt::LeftButton);
    QVERIFY(!t.highlighted());

    t.setCheckable(true);
    t.setChecked(true);
    QVERIFY(t.highlighted());
    const QImage lit = t.grab().toImage();
    QVERIFY(near(lit.pixelColor(50, 50), to_qcolor(tile_value_highlight), 8));
    QVERIFY(near(lit.pixelColor(2, 5), to_qcolor(tile_highlight), 8));
    // Unchecking by program restores the plain look at once.
    t.setChecked(false);
    const QImage plain = t.grab().toImage();
    QVERIFY(near(plain.pixelColor(50, 50), to_qcolor(tile_value_background), 8));
    QVERIFY(near(plain.pixelColor(2, 5), to_qcolor(tile_background), 8));
  }

  void gr_meter_fill_data() {
    QTest::addColumn<QRect>("inner");
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("height");
    QTest::newRow("at minimum: empty") << QRect(0, 0, 12, 200) << 0 << 100 << 0 << 0;
    QTest::newRow("half") << QRect(0, 0, 12, 200) << 0 << 100 << 50 << 100;
    QTest::newRow("full") << QRect(0, 0, 12, 200) << 0 << 100 << 100 << 200;
    QTest::newRow("above range clamps") << QRect(0, 0, 12, 200) << 0 << 100 << 150 << 200;
    QTest::newRow("offset range") << QRect(0, 0, 12, 200) << 10 << 20 << 15 << 100;
    QTest::newRow("rounds down") << QRect(0, 0, 12, 199) << 0 << 100 << 1 << 1;
    QTest::newRow("wide range no overflow") << QRect(0, 0, 12, 200) << -2000000000 << 2000000000 << 0 << 100;
    QTest::newRow("no range") << QRect(0, 0, 12, 200) << 5 << 5 << 5 << 0;
  }
  void gr_meter_fill() {
    QFETCH(QRect, inner);
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(int, value);
    QFETCH(int, height);
    const QRect fill = vorante::gr_meter_fill(inner, min, max, value);
    QCOMPARE(fill.height(), height);
    if (height > 0) QCOMPARE(fill.top(), inner.top());
  }

  void gr_meter_range_and_value_rules_data() {
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<std::optional<int>>("set");
    QTest::addColumn<int>("exp_min");
    QTest::addColumn<int>("exp_max");
    QTest::addColumn<int>("exp_value");
    const std::optional<int> none;
    QTest::newRow("equal bounds ignored") << 10 << 10 << none << 0 << 100 << 50;
    QTest::newRow("reversed bounds ignored") << 80 << 20 << none << 0 << 100 << 50;
    QTest::newRow("value clamped into new range") << 0 << 20 << none << 0 << 20 << 20;
    QTest::newRow("value raised to new minimum") << 60 << 90 << none << 60 << 90 << 60;
    QTest::newRow("value set inside") << -30 << 0 << std::optional(-12) << -30 << 0 << -12;
    QTest::newRow("value set above") << 0 << 100 << std::optional(101) << 0 << 100 << 100;
    QTest::newRow("value set below") << 0 << 100 << std::optional(-1) << 0 << 100 << 0;
  }
  void gr_meter_range_and_value_rules() {
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(std::optional<int>, set);
    QFETCH(int, exp_min);
    QFETCH(int, exp_max);
    QFETCH(int, exp_value);
    gr_meter m;
    m.set_range(min, max);
    if (set) m.set_value(*set);
    QCOMPARE(m.minimum(), exp_min);
    QCOMPARE(m.maximum(), exp_max);
    QCOMPARE(m.value(), exp_value);
  }

  void gr_meter_repaints_only_on_change() {
    QWidget window;
    auto* m = new gr_meter(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    paint_counter counter;
    m->installEventFilter(&counter);
    QCoreApplication::processEvents();
    counter.paints = 0;

    m->set_value(50);
    m->set_range(0, 100);
    QCoreApplication::processEvents();
    QCOMPARE(counter.paints, 0);

    m->set_value(70);
    QCoreApplication::processEvents();
    QVERIFY(counter.paints > 0);
  }

  void gallery_lays_every_control_inside_without_overlap() {
    QWidget frame;
    QWidget* page = create_gallery_page(&frame);
    frame.resize(gallery_page_width, gallery_page_height);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QCOMPARE(page->size(), QSize(gallery_page_width, gallery_page_height));

    QList<QRect> rects;
    for (QWidget* w : page->findChildren<QWidget*>()) {
      if (qobject_cast<face_button*>(w) == nullptr && qobject_cast<tile*>(w) == nullptr &&
          qobject_cast<gr_meter*>(w) == nullptr)
        continue;
      rects.append(QRect(w->mapTo(page, QPoint(0, 0)), w->size()));
    }
    QVERIFY(rects.size() >= 5 * 5 + 5 + 3 * 8 + 6 + 6 + 4);
    for (int i = 0; i < rects.size(); ++i) {
      QVERIFY2(page->rect().contains(rects[i]), "control outside the page");
      for (int j = i + 1; j < rects.size(); ++j)
        QVERIFY2(!rects[i].intersects(rects[j]), "controls overlap");
    }
  }
};

QTEST_MAIN(widgets_test)
#include "widgets_test.moc"
