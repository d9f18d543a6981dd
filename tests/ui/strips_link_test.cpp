// The strips page on a real link: the program's session talks UDP to the console simulator
// running as a process. What the console holds and changes shows on the strips; what the
// user does on the strips arrives at the console.
#include <QtTest>

#include "app/params/convert.h"
#include "app/protocol/session.h"
#include "tests/e2e/sim_process.h"
#include "tests/ui/host_window.h"
#include "tests/ui/linked_rig.h"
#include "tests/ui/pointer.h"
#include "ui/platform/qt_ui_port.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_registry.h"
#include "ui/screens/mixer/strips_page.h"
#include "ui/screens/mixer/strips_page_main.h"
#include "ui/widgets/button.h"
#include "ui/widgets/channel_strip.h"
#include "ui/widgets/fader.h"
#include "ui/widgets/level_meter.h"
#include "ui/widgets/overlay_layer.h"
#include "ui/widgets/sends_panel.h"

using namespace vorante;

namespace {

constexpr int change_wait_ms = 3000;

// The strips page the navigator shows.
strips_page* strips_on_screen(test::linked_rig& rig) { return qobject_cast<strips_page*>(rig.nav->page_on_screen()); }

double fader_db(uint16_t raw) { return to_physical(value_type::fader_level, raw); }

}  // namespace

class strips_link_test : public test::linked_test {
  Q_OBJECT

 private slots:
  void init() { open_link({"--random-values", "11", "--meters"}); }
  void cleanup() { close_link(); }

  void after_the_read_the_strips_show_the_console() {
    strips_page* page = strips_on_screen(*rig_);
    QVERIFY(page);
    for (int n = 0; n < 8; ++n) {
      const unsigned id = param_id(kind_input, n, code_fader);
      const double expected = fader_db(static_cast<uint16_t>(test::sim_value(*sim_, id)));
      QTRY_COMPARE_WITH_TIMEOUT(page->strip(n)->fader()->value(), expected, change_wait_ms);
    }
    const double main_l = fader_db(static_cast<uint16_t>(test::sim_value(*sim_, main_l_fader_id)));
    QTRY_COMPARE_WITH_TIMEOUT(page->main_section()->fader(0)->value(), main_l, change_wait_ms);
  }

  void console_changes_reach_the_strips_data() {
    QTest::addColumn<int>("logical");  // the bank to show
    QTest::addColumn<unsigned>("id");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("shows");
    QTest::newRow("input fader") << 0 << unsigned(param_id(kind_input, 1, code_fader)) << 1100 << "fader 1" << "-10.0";
    QTest::newRow("aux mute") << 28 << unsigned(param_id(kind_bus, 4, 64)) << 0 << "m 4" << "1";
    QTest::newRow("stereo right member's MAIN R send") << 16 << unsigned(param_id(kind_input, 19, 22)) << 1200
                                                       << "send 1 2 1" << QString::number(position_of(value_type::send_level, 1200));
    QTest::newRow("MAIN R fader") << 0 << unsigned(main_r_fader_id) << 1000 << "mfader 1" << "-20.0";
  }
  void console_changes_reach_the_strips() {
    QFETCH(int, logical);
    QFETCH(unsigned, id);
    QFETCH(int, value);
    QFETCH(QString, what);
    QFETCH(QString, shows);
    rig_->nav->go_to_strips(logical);
    strips_page* page = strips_on_screen(*rig_);
    // A change, not the value the console already had.
    QVERIFY(test::sim_value(*sim_, id) != value);
    sim_->command("set " + std::to_string(id) + " " + std::to_string(value));
    const QStringList w = what.split(' ');
    const int n = w[1].toInt();
    auto shown = [&]() -> QString {
      if (w[0] == "fader") return QString::number(page->strip(n)->fader()->value(), 'f', 1);
      if (w[0] == "m") return page->strip(n)->m_button()->isChecked() ? "1" : "0";
      if (w[0] == "send") return QString::number(page->strip(n)->sends()->slider(w[2].toInt(), w[3].toInt())->value());
      return QString::number(page->main_section()->fader(n)->value(), 'f', 1);
    };
    QTRY_COMPARE_WITH_TIMEOUT(shown(), shows, change_wait_ms);
  }

  void the_users_moves_reach_the_console() {
    strips_page* page = strips_on_screen(*rig_);
    // A fader drag, by the distance the finger moves.
    fader* f = page->strip(4)->fader();
    const QPoint grab = f->knob_geometry().center();
    QTest::mousePress(f, Qt::LeftButton, {}, grab);
    const QPoint to = grab + QPoint(0, f->value() > 0 ? 40 : -40);
    test::move_to(f, to);
    QTest::mouseRelease(f, Qt::LeftButton, {}, to);
    const unsigned fader_id = param_id(kind_input, 4, code_fader);
    const int written = to_raw(value_type::fader_level, f->value());
    QTRY_COMPARE_WITH_TIMEOUT(test::sim_value(*sim_, fader_id), written, change_wait_ms);

    // A mute, and the console's acknowledgement leaves the strip as the user left it.
    const unsigned on_id = param_id(kind_input, 5, code_on);
    const int was = test::sim_value(*sim_, on_id);
    QTest::mouseClick(page->strip(5)->m_button(), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(test::sim_value(*sim_, on_id), was == 0 ? 1 : 0, change_wait_ms);
    QTRY_VERIFY_WITH_TIMEOUT(!rig_->session.store.dirty().contains(on_id), change_wait_ms);
    QCOMPARE(page->strip(5)->m_button()->isChecked(), was != 0);
  }

  // The meters come from the console ten times a second while the page is shown.
  void strip_meters_follow_the_console() {
    strips_page* page = strips_on_screen(*rig_);
    QTRY_VERIFY_WITH_TIMEOUT(page->strip(0)->meter1()->db() > -40 || page->strip(1)->meter1()->db() > -40, change_wait_ms);
  }
};

QTEST_MAIN(strips_link_test)
#include "strips_link_test.moc"
