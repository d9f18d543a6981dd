// The home screen at the window's size, with and without the group bar: every part of a
// strip fits beside the others, the meter scales stay readable, and the meter bridge
// spreads its bars evenly.
#include <QApplication>
#include <QLabel>
#include <algorithm>
#include <QtTest>

#include "app/core/options.h"
#include "app/protocol/session.h"
#include "tests/ui/host_window.h"
#include "tests/ui/page_rig.h"
#include "ui/foundation/fonts.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_registry.h"
#include "ui/platform/main_frame.h"
#include "ui/platform/page_stack.h"
#include "ui/platform/start_pages.h"
#include "ui/screens/mixer/group_bar.h"
#include "ui/screens/mixer/meter_bridge.h"
#include "ui/screens/mixer/meter_bridge_map.h"
#include "ui/screens/mixer/strips_page.h"
#include "ui/widgets/channel_strip.h"
#include "ui/widgets/eq_graph.h"
#include "ui/widgets/level_meter.h"
#include "ui/widgets/widget_fonts.h"

using namespace vorante;

namespace {

constexpr QSize window_size{1280, 800};
constexpr int eq_thumbnail_max = 90;

// The window as main() builds it: the frame, the group bar when asked for, the pages.
struct home_rig : test::navigator_rig {
  main_frame* frame = nullptr;

  home_rig(QWidget* host, bool with_group_bar) {
    session.store.load_defaults();
    make_navigator();
    frame = new main_frame(host);
    if (with_group_bar) frame->set_group_bar(new group_bar(*nav));
    add_start_pages(*frame->pages(), *nav);
    frame->pages()->show_page(QString::fromLatin1(mixer_root_name));
    frame->setGeometry(QRect(QPoint(0, 0), host->size()));
    frame->show();
    QCoreApplication::processEvents();
  }

  strips_page* page() const { return qobject_cast<strips_page*>(nav->page_on_screen()); }

  void show(int logical) {
    nav->go_to_strips(logical);
    // Layouts settle over a few passes of posted events.
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  }
};

QString name_of(const QWidget* w) {
  QString n = w->objectName();
  if (n.isEmpty()) n = w->metaObject()->className();
  return QString("%1[%2,%3 %4x%5]").arg(n).arg(w->x()).arg(w->y()).arg(w->width()).arg(w->height());
}

QString path_of(const QWidget* w, const QWidget* top) {
  QStringList parts;
  for (const QWidget* at = w; at && at != top; at = at->parentWidget()) parts.prepend(name_of(at));
  return parts.join(" / ");
}

// Whether a label's letters are cut: a line of text must get its full line height, and a
// single short line at least room for its ink where the label centres it.
bool text_cut(const QLabel* l) {
  if (l->text().isEmpty()) return false;
  const QFontMetrics fm(l->font());
  const QStringList lines = l->text().split('\n');
  if (lines.size() > 1) return l->height() < fm.height() * static_cast<int>(lines.size());
  const QRect ink = fm.tightBoundingRect(l->text());
  const int baseline = (l->height() - fm.height()) / 2 + fm.ascent();
  return ink.width() > l->width() || baseline + ink.top() < 0 || baseline + ink.bottom() >= l->height();
}

// Where a single-line label's letters are, in its parent; empty for other widgets.
QRect ink_of(const QWidget* w) {
  const auto* l = qobject_cast<const QLabel*>(w);
  if (!l || l->text().isEmpty() || l->text().contains('\n')) return {};
  const QFontMetrics fm(l->font());
  const QRect ink = fm.tightBoundingRect(l->text());
  const int baseline = (l->height() - fm.height()) / 2 + fm.ascent();
  int x = 0;
  if (l->alignment() & Qt::AlignRight) x = l->width() - fm.horizontalAdvance(l->text());
  else if (l->alignment() & Qt::AlignHCenter) x = (l->width() - fm.horizontalAdvance(l->text())) / 2;
  return ink.translated(l->x() + x, l->y() + baseline);
}

// Every visible widget under `root` lies inside its parent and clear of its visible
// siblings, and no label's text is cut; returns the first fault found, empty when there
// is none.
QString first_overlap(const QWidget* root, const QWidget* top) {
  QList<const QWidget*> shown;
  for (const QObject* o : root->children()) {
    if (!o->isWidgetType()) continue;
    const auto* w = static_cast<const QWidget*>(o);
    if (w->isHidden() || w->isWindow() || w->geometry().isEmpty()) continue;
    shown << w;
  }
  for (const QWidget* w : shown) {
    if (!root->rect().contains(w->geometry())) return path_of(w, top) + " leaves its parent " + name_of(root);
    // Sliders and lamps drawn in less than the height they need spill into their neighbours
    // (a label may lose the blank part of its line: its letters are checked below).
    const bool label = qobject_cast<const QLabel*>(w) != nullptr;
    if (!label && w->height() < w->minimumSizeHint().height() &&
        w->sizePolicy().verticalPolicy() != QSizePolicy::Ignored)
      return path_of(w, top) + QString(" is squeezed below %1 px").arg(w->minimumSizeHint().height());
    if (const auto* l = qobject_cast<const QLabel*>(w); l && text_cut(l))
      return path_of(w, top) + " cuts its text \"" + l->text() + "\"";
  }
  for (int i = 0; i < shown.size(); ++i)
    for (int j = i + 1; j < shown.size(); ++j) {
      if (shown[i]->geometry().intersects(shown[j]->geometry()))
        return path_of(shown[i], top) + " overlaps " + name_of(shown[j]);
      // Letters of two labels need a pixel of air between them to be read apart.
      const QRect a = ink_of(shown[i]);
      const QRect b = ink_of(shown[j]);
      if (!a.isEmpty() && !b.isEmpty() && a.adjusted(-1, -1, 1, 1).intersects(b))
        return path_of(shown[i], top) + " has its letters against those of " + name_of(shown[j]);
    }
  for (const QWidget* w : shown) {
    const QString inner = first_overlap(w, top);
    if (!inner.isEmpty()) return inner;
  }
  return {};
}

}  // namespace

class strips_fit_test : public QObject, test::host_window {
  Q_OBJECT

 private slots:
  // The program's own fonts: their line heights decide what fits.
  void initTestCase() {
    QVERIFY(fonts_init());
    QApplication::setFont(font_20());
  }
  void init() { QVERIFY(open_host(window_size)); }
  void cleanup() { close_host(); }

  void strip_parts_fit_beside_each_other_data() { strip_rows(); }
  void strip_parts_fit_beside_each_other() {
    QFETCH(bool, group_bar);
    QFETCH(int, logical);
    QFETCH(int, strip);
    home_rig rig(host_, group_bar);
    rig.show(logical);
    QVERIFY(rig.page());
    channel_strip* s = rig.page()->strip(strip);
    QVERIFY(s->isVisible());
    QVERIFY2(s->height() > 0, "the strip is laid out");
    const QString fault = first_overlap(s, s->parentWidget());
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
    // The thumbnail takes what the other parts leave, never more than its full height.
    QVERIFY(s->eq()->height() <= eq_thumbnail_max);
    QVERIFY2(s->eq()->height() > 0, qPrintable(name_of(s->eq())));
  }

  void scale_labels_stay_apart_at_the_mono_size_data() { strip_rows(); }
  void scale_labels_stay_apart_at_the_mono_size() {
    QFETCH(bool, group_bar);
    QFETCH(int, logical);
    QFETCH(int, strip);
    home_rig rig(host_, group_bar);
    rig.show(0);
    const std::vector<meter_scale_label> mono = rig.page()->strip(0)->meter1()->scale_labels();
    QVERIFY(!mono.empty());
    const int mono_line = mono.front().rect.height();

    rig.show(logical);
    channel_strip* s = rig.page()->strip(strip);
    level_meter* m = s->stereo() ? s->meter2() : s->meter1();
    QVERIFY(m->scale_shown());
    const std::vector<meter_scale_label> labels = m->scale_labels();
    const QRect column(0, 0, m->bar_rect().x() - meter_scale_gap, m->height());
    QStringList shown;
    for (std::size_t i = 0; i < labels.size(); ++i) {
      const meter_scale_label& l = labels[i];
      shown << QString::number(level_meter_marks[static_cast<std::size_t>(l.mark)]);
      QVERIFY2(column.contains(l.rect), qPrintable(shown.last()));
      QVERIFY2(l.rect.height() >= mono_line, qPrintable(shown.last()));
      for (std::size_t j = 0; j < i; ++j)
        QVERIFY2(!l.rect.intersects(labels[j].rect), qPrintable(shown.join(' ')));
    }
    // The scale still reads: 0 dB is always named, and a scale with a mono strip's room
    // names both ends of the bar (between a stereo strip's bars the wide numbers give way).
    QVERIFY2(shown.contains("0"), qPrintable(shown.join(' ')));
    if (!s->stereo()) QVERIFY2(shown.contains("14") && shown.contains("-30"), qPrintable(shown.join(' ')));
  }

  // The scale at sizes no strip has today: short, narrow, both, and tall.
  void scale_drops_labels_rather_than_shrinking_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("expected");
    QTest::newRow("tall") << QSize(40, 400) << "14 10 7 4 2 0 -2 -4 -7 -10 -20 -30";
    QTest::newRow("short: every third mark") << QSize(40, 70) << "14 4 0 -4 -10 -30";
    QTest::newRow("narrow: the wide numbers go") << QSize(22, 400) << "7 4 2 0 -2 -4 -7";
    QTest::newRow("lower than a line") << QSize(40, 6) << "";
  }
  void scale_drops_labels_rather_than_shrinking() {
    QFETCH(QSize, size);
    QFETCH(QString, expected);
    level_meter m(host_);
    m.setFont(ui_font(8));
    m.setFixedSize(size);
    const int line = QFontMetrics(m.font()).tightBoundingRect("-0123456789").height() + 2;
    QStringList shown;
    const std::vector<meter_scale_label> labels = m.scale_labels();
    for (std::size_t i = 0; i < labels.size(); ++i) {
      shown << QString::number(level_meter_marks[static_cast<std::size_t>(labels[i].mark)]);
      QCOMPARE(labels[i].rect.height(), line);
      if (i > 0) QVERIFY(labels[i].rect.top() > labels[i - 1].rect.bottom());
    }
    QCOMPARE(shown.join(' '), expected);
  }

  // Gaps before, between and after the bars, for the row a bridge would make.
  void bridge_gaps_differ_by_at_most_a_pixel_data() {
    QTest::addColumn<int>("inner_width");
    QTest::addColumn<int>("bars");
    QTest::newRow("bars divide the row") << 100 << 3;
    QTest::newRow("one pixel over") << 101 << 3;
    QTest::newRow("one pixel short of the next step") << 99 << 3;
    QTest::newRow("the bridge's 31 bars") << 1256 << 31;
    QTest::newRow("too narrow: edge to edge") << 30 << 3;
  }
  void bridge_gaps_differ_by_at_most_a_pixel() {
    QFETCH(int, inner_width);
    QFETCH(int, bars);
    const std::vector<int> widths(static_cast<std::size_t>(bars), bridge_bar_width);
    const std::vector<int> x = bridge_bar_positions(inner_width, widths);
    QCOMPARE(static_cast<int>(x.size()), bars);
    std::vector<int> gaps{x.front()};
    for (std::size_t i = 1; i < x.size(); ++i) gaps.push_back(x[i] - x[i - 1] - bridge_bar_width);
    gaps.push_back(inner_width - x.back() - bridge_bar_width);
    const auto [lo, hi] = std::minmax_element(gaps.begin(), gaps.end());
    if (inner_width >= bars * bridge_bar_width) {
      QVERIFY2(*hi - *lo <= 1, qPrintable(QString("gaps %1..%2").arg(*lo).arg(*hi)));
    } else {
      QCOMPARE(*hi, 0);  // the bars touch, none covers another
    }
  }

  void the_bridge_on_screen_is_even_from_edge_to_edge() {
    home_rig rig(host_, false);
    rig.show(0);
    meter_bridge& bridge = rig.nav->bridge();
    QVERIFY(bridge.isVisible());
    QWidget* row = bridge.bar(0)->parentWidget();
    std::vector<QRect> bars;
    for (int n = 0; n < bridge_bar_count; ++n)
      if (!bridge.bar(n)->isHidden()) bars.push_back(bridge.bar(n)->geometry());
    QVERIFY(bars.size() > 1);
    std::vector<int> gaps{bars.front().left() - bridge_row_padding};
    for (std::size_t i = 1; i < bars.size(); ++i) gaps.push_back(bars[i].left() - bars[i - 1].right() - 1);
    gaps.push_back(row->width() - bridge_row_padding - bars.back().right() - 1);
    const auto [lo, hi] = std::minmax_element(gaps.begin(), gaps.end());
    QVERIFY2(*lo > 0 && *hi - *lo <= 1, qPrintable(QString("gaps %1..%2").arg(*lo).arg(*hi)));
  }

 private:
  static void strip_rows() {
    QTest::addColumn<bool>("group_bar");
    QTest::addColumn<int>("logical");  // opens the bank
    QTest::addColumn<int>("strip");
    for (const bool bar : {false, true}) {
      const char* with = bar ? " with the group bar" : "";
      QTest::addRow("mono input%s", with) << bar << 0 << 0;
      QTest::addRow("stereo input%s", with) << bar << 16 << 0;
      QTest::addRow("effect return%s", with) << bar << 16 << 3;
      QTest::addRow("aux%s", with) << bar << 28 << 0;
    }
  }
};

QTEST_MAIN(strips_fit_test)
#include "strips_fit_test.moc"
