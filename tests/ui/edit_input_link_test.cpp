// The channel editors on a real link: the program's session talks UDP to the console
// simulator running as a process. An EQ band dragged and a gain set in the input editor
// arrive at the console; an EQ change made on the console redraws the editor's graphs and,
// back on the strips page, the strip's thumbnail. A graphic EQ slider and the bus fader of
// the output editor, an effect type chosen in the effects editor (sent at once, outside the
// write queue) and the effect return's fader arrive too.
#include <QtTest>

#include "app/params/convert.h"
#include "app/protocol/session.h"
#include "tests/e2e/sim_process.h"
#include "app/params/bus_editors.h"
#include "tests/ui/editor_rigs.h"
#include "tests/ui/host_window.h"
#include "tests/ui/linked_rig.h"
#include "tests/ui/pointer.h"
#include "ui/foundation/eq_math.h"
#include "ui/platform/qt_ui_port.h"
#include "ui/pages/container_page.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_registry.h"
#include "ui/pages/page_table.h"
#include "ui/screens/editors/edit_cont.h"
#include "ui/screens/editors/edit_efx.h"
#include "ui/screens/editors/edit_input.h"
#include "ui/screens/editors/edit_output.h"
#include "ui/screens/mixer/strips_page.h"
#include "ui/widgets/channel_strip.h"
#include "ui/widgets/eq_graph.h"
#include "ui/widgets/fader.h"
#include "ui/widgets/fader_strip.h"

using namespace vorante;

namespace {

constexpr int change_wait_ms = 3000;
constexpr int edited = 2;

unsigned in_id(int code) { return param_id(kind_input, edited, code); }

double band_gain(const eq_graph* g, int band) { return g->curve({curve_kind::band, band})->gain(); }

}  // namespace

class edit_input_link_test : public test::linked_test {
  Q_OBJECT

 private slots:
  void init() { open_link({"--random-values", "7"}); }
  void cleanup() { close_link(); }

  void band_drag_and_gain_reach_the_console() {
    edit_input_page* e = open_editor_page<edit_input_page>(*rig_->nav, kind_input, edited);
    e->show_tab(input_tab_peq);
    eq_graph* g = e->peq_graph();
    QTest::qWait(200);  // laid out and drawn
    const int frequency_before = rig_->session.store.get(in_id(51));
    const int gain_before = rig_->session.store.get(in_id(52));
    const QPoint from = g->handle_centre({curve_kind::band, 2});
    QTest::mousePress(g, Qt::LeftButton, {}, from);
    QVERIFY(g->dragged().has_value());
    const QPoint to = from + QPoint(-60, -40);
    test::move_to(g, to);
    QTest::mouseRelease(g, Qt::LeftButton, {}, to);
    // H MID: frequency 51, gain 52.
    const int frequency = rig_->session.store.get(in_id(51));
    const int gain = rig_->session.store.get(in_id(52));
    QVERIFY(frequency != frequency_before);
    QVERIFY(gain != gain_before);
    QTRY_COMPARE_WITH_TIMEOUT(test::sim_value(*sim_, in_id(51)), frequency, change_wait_ms);
    QTRY_COMPARE_WITH_TIMEOUT(test::sim_value(*sim_, in_id(52)), gain, change_wait_ms);

    // GAIN through the universal fader.
    e->select_cell(static_cast<int>(in_id(code_input_gain)));
    const int wanted = test::sim_value(*sim_, in_id(code_input_gain)) == 30 ? 31 : 30;
    emit e->universal()->fader()->value_changed(wanted);
    QTRY_COMPARE_WITH_TIMEOUT(test::sim_value(*sim_, in_id(code_input_gain)), wanted, change_wait_ms);
  }

  void console_eq_change_redraws_editor_and_strip() {
    edit_input_page* e = open_editor_page<edit_input_page>(*rig_->nav, kind_input, edited);
    e->show_tab(input_tab_peq);
    // LOW band gain to +9 dB on the console (raw 590).
    const int raw = test::sim_value(*sim_, in_id(44)) == 590 ? 410 : 590;
    const double db = to_physical(value_type::peq_gain, static_cast<uint16_t>(raw));
    sim_->command("set " + std::to_string(in_id(44)) + " " + std::to_string(raw));
    QTRY_COMPARE_WITH_TIMEOUT(band_gain(e->peq_graph(), 0), db, change_wait_ms);
    QCOMPARE(band_gain(e->peq_thumbnail(), 0), db);
    rig_->nav->go_to_strips(edited);
    auto* strips = qobject_cast<strips_page*>(rig_->nav->page_on_screen());
    QVERIFY(strips);
    QTRY_COMPARE_WITH_TIMEOUT(band_gain(strips->strip(edited)->eq(), 0), db, change_wait_ms);
  }

  void output_writes_reach_the_console() {
    auto* e = open_editor_page<edit_output_page>(*rig_->nav, kind_bus, 1);
    QVERIFY(e);
    e->show_tab(output_tab_geq);
    const unsigned band = param_id(kind_bus, 1, geq_gain_code(4));
    const int slider = test::sim_value(*sim_, band) == geq_raw_of_slider(300) ? -300 : 300;
    e->geq_moved(4, slider);
    QTRY_COMPARE_WITH_TIMEOUT(test::sim_value(*sim_, band), int(geq_raw_of_slider(slider)), change_wait_ms);
    e->select_cell(-1);
    e->universal_moved(-12);
    const unsigned fader_id = param_id(kind_bus, 1, code_bus_fader);
    QTRY_COMPARE_WITH_TIMEOUT(test::sim_value(*sim_, fader_id), int(rig_->session.store.get(fader_id)), change_wait_ms);
  }

  void effect_type_reaches_the_console() {
    auto* e = open_editor_page<edit_efx_page>(*rig_->nav, kind_fx, 1);
    QVERIFY(e);
    const unsigned value_id = fx_value_base_id + 1;
    const int chosen = test::sim_value(*sim_, value_id) == 3 ? 9 : 3;
    e->choose_type(chosen);
    QTRY_COMPARE_WITH_TIMEOUT(test::sim_value(*sim_, value_id), chosen, change_wait_ms);
    QCOMPARE(e->checked_type_button(), effect_button_of_type(1, rig_->session.store.get(param_id(kind_fx, 1, code_fx_type))));

    // The return fader through the universal fader goes the queued way.
    e->select_cell(-1);
    const unsigned fader_id = param_id(kind_fx, 1, code_fx_fader);
    e->universal_moved(test::sim_value(*sim_, fader_id) == to_raw(value_type::fader_level, -12.0) ? -20 : -12);
    QVERIFY(rig_->session.store.get(fader_id) != test::sim_value(*sim_, fader_id));
    QTRY_COMPARE_WITH_TIMEOUT(test::sim_value(*sim_, fader_id), int(rig_->session.store.get(fader_id)), change_wait_ms);
  }
};

QTEST_MAIN(edit_input_link_test)
#include "edit_input_link_test.moc"
