// The parts "--show PAGE:ARG:PART" picks once the page is on screen: the tabs of the channel
// editors, the views of the DCA editor, the views and send buses of the fader overview, by
// name or number, and the refusals (no such part, a page without parts, a tab the channel
// does not have).
#include <QtTest>

#include "tests/ui/editor_rigs.h"
#include "tests/ui/host_window.h"
#include "ui/platform/start_pages.h"
#include "ui/screens/editors/edit_dca.h"
#include "ui/screens/editors/edit_efx.h"
#include "ui/screens/editors/edit_input.h"
#include "ui/screens/editors/edit_output.h"
#include "ui/screens/mixer/brief_fader.h"
#include "ui/widgets/button.h"

using namespace vorante;

namespace {

// What the page on screen shows, in one line: "<page> <tab or view>", and for the fader
// overview's sends view the bus ("C aux 2", "C fx 1").
QString shown(navigator& nav) {
  page* p = nav.page_on_screen();
  if (!p) return "nothing";
  if (auto* e = qobject_cast<edit_output_page*>(p)) return QString("edit_output %1").arg(e->current_tab());
  if (auto* e = qobject_cast<edit_efx_page*>(p)) return QString("edit_efx %1").arg(e->current_tab());
  if (auto* e = qobject_cast<edit_input_page*>(p)) return QString("edit_input %1").arg(e->current_tab());
  if (auto* e = qobject_cast<edit_dca_page*>(p)) return QString("edit_dca %1").arg(e->current_view());
  if (auto* f = qobject_cast<brief_fader_page*>(p)) {
    const int view = f->shown_view();
    if (view != fader_view_sends) return QString("brief_fader %1").arg(view == fader_view_a ? "A" : "B");
    const auto t = f->target();
    if (!t) return "brief_fader C none";
    return QString("brief_fader C %1 %2").arg(t->kind == kind_fx ? "fx" : "aux").arg(t->index);
  }
  return QString("page %1").arg(p->page_id());
}

}  // namespace

class start_parts_test : public test::host_window_test {
  Q_OBJECT

 public:
  start_parts_test() : host_window_test({1280, 800}) {}

 private slots:
  void a_part_is_shown_or_refused_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("argument");
    QTest::addColumn<QStringList>("parts");  // given one after the other
    QTest::addColumn<QList<bool>>("accepted");
    QTest::addColumn<QString>("expected");  // shown() at the end

    using bools = QList<bool>;
    QTest::newRow("aux GEQ by name") << "edit_output" << 0 << QStringList{"geq"} << bools{true} << "edit_output 2";
    QTest::newRow("aux FADER by number") << "edit_output" << 3 << QStringList{"4"} << bools{true} << "edit_output 3";
    QTest::newRow("MAIN L has no FADER tab")
        << "edit_output" << 8 << QStringList{"COMP", "FADER"} << bools{true, false} << "edit_output 1";
    QTest::newRow("effect tabs") << "edit_efx" << 1 << QStringList{"fader", "Peq"} << bools{true, true}
                                 << "edit_efx 1";
    QTest::newRow("input tabs") << "edit_input" << 2 << QStringList{"GATE", "5", "overview"}
                                << bools{true, true, true} << "edit_input 0";
    QTest::newRow("input without that tab") << "edit_input" << 2 << QStringList{"GEQ", "7", "0"}
                                            << bools{false, false, false} << "edit_input 0";
    QTest::newRow("DCA views") << "edit_dca" << 1 << QStringList{"FADER"} << bools{true} << "edit_dca 1";
    QTest::newRow("DCA back to PARAM") << "edit_dca" << 1 << QStringList{"2", "1"} << bools{true, true}
                                       << "edit_dca 0";
    QTest::newRow("overview B") << "brief_fader" << 0 << QStringList{"B"} << bools{true} << "brief_fader B";
    QTest::newRow("overview C starts on AUX1") << "brief_fader" << 0 << QStringList{"C"} << bools{true}
                                               << "brief_fader C aux 0";
    QTest::newRow("overview C keeps the bus") << "brief_fader" << 0 << QStringList{"fx2", "B", "c"}
                                              << bools{true, true, true} << "brief_fader C fx 1";
    QTest::newRow("overview from the sends back to A")
        << "brief_fader" << 0 << QStringList{"B", "AUX8", "A"} << bools{true, true, true} << "brief_fader A";
    QTest::newRow("overview buses by number") << "brief_fader" << 0 << QStringList{"6", "13"} << bools{true, true}
                                              << "brief_fader C fx 1";
    QTest::newRow("overview without that part")
        << "brief_fader" << 0 << QStringList{"D", "AUX9", "14"} << bools{false, false, false} << "brief_fader A";
    QTest::newRow("strips have no parts") << "brief_channel" << 0 << QStringList{"A"} << bools{false}
                                          << QString("page %1").arg(int(page_brief_channel));
  }
  void a_part_is_shown_or_refused() {
    QFETCH(QString, page);
    QFETCH(int, argument);
    QFETCH(QStringList, parts);
    QFETCH(QList<bool>, accepted);
    QFETCH(QString, expected);
    editor_rig rig(host_);
    const QByteArray name = page.toLatin1();
    QVERIFY(rig.nav->show_by_name(name.constData(), argument));
    for (qsizetype n = 0; n < parts.size(); ++n)
      QVERIFY2(show_start_part(*rig.nav, page, parts[n].toStdString()) == accepted[n], qPrintable(parts[n]));
    QCOMPARE(shown(*rig.nav), expected);
  }

  // The view button stays the selected selector on a channel view, as after its own click.
  void overview_channel_views_select_the_view_button() {
    editor_rig rig(host_);
    QVERIFY(rig.nav->show_by_name("brief_fader", 0));
    auto* f = qobject_cast<brief_fader_page*>(rig.nav->page_on_screen());
    QVERIFY(f);
    QVERIFY(show_start_part(*rig.nav, "brief_fader", "AUX2"));
    QVERIFY(f->send_button(1)->isChecked());
    QVERIFY(show_start_part(*rig.nav, "brief_fader", "B"));
    QVERIFY(f->view_button()->isChecked());
    QVERIFY(!f->send_button(1)->isChecked());
    QCOMPARE(f->view_button()->label_text(), QString("STEREO-FX-AUX8"));
  }
};

QTEST_MAIN(start_parts_test)
#include "start_parts_test.moc"
