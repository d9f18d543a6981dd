// The output and effects editors on a real link to the console simulator process: a graphic
// EQ slider and the bus fader moved in the output editor, and an effect type chosen in the
// effects editor (sent at once, outside the write queue), arrive at the console.
#include <QtTest>

#include "app/params/bus_editors.h"
#include "app/params/convert.h"
#include "tests/ui/editor_rigs.h"
#include "tests/ui/host_window.h"
#include "ui/screens/editors/edit_efx.h"
#include "ui/screens/editors/edit_output.h"

using namespace vorante;

namespace {

constexpr int read_wait_ms = 20000;
constexpr int change_wait_ms = 3000;

}  // namespace

class edit_output_link_test : public QObject, test::host_window {
  Q_OBJECT

  std::unique_ptr<test::sim_process> sim_;
  std::unique_ptr<linked_rig> rig_;

 private slots:
  void init() {
    sim_ = std::make_unique<test::sim_process>(std::vector<std::string>{"--random-values", "5"});
    QVERIFY(sim_->ready());
    QVERIFY(open_host({1280, 800}));
    rig_ = std::make_unique<linked_rig>(host_, sim_->udp_port());
    QTRY_VERIFY_WITH_TIMEOUT(rig_->session.engine.read_finished(), read_wait_ms);
  }
  void cleanup() {
    rig_.reset();
    close_host();
    sim_.reset();
  }

  void output_writes_reach_the_console() {
    auto* e = rig_->open<edit_output_page>(kind_bus, 1);
    QVERIFY(e);
    e->show_tab(output_tab_geq);
    const unsigned band = param_id(kind_bus, 1, geq_gain_code(4));
    const int slider = sim_value(*sim_, band) == geq_raw_of_slider(300) ? -300 : 300;
    e->geq_moved(4, slider);
    QTRY_COMPARE_WITH_TIMEOUT(sim_value(*sim_, band), int(geq_raw_of_slider(slider)), change_wait_ms);
    e->select_cell(-1);
    e->universal_moved(-12);
    const unsigned fader_id = param_id(kind_bus, 1, code_bus_fader);
    QTRY_COMPARE_WITH_TIMEOUT(sim_value(*sim_, fader_id), int(rig_->session.store.get(fader_id)), change_wait_ms);
  }

  void effect_type_reaches_the_console() {
    auto* e = rig_->open<edit_efx_page>(kind_fx, 1);
    QVERIFY(e);
    const unsigned value_id = fx_value_base_id + 1;
    const int chosen = sim_value(*sim_, value_id) == 3 ? 9 : 3;
    e->choose_type(chosen);
    QTRY_COMPARE_WITH_TIMEOUT(sim_value(*sim_, value_id), chosen, change_wait_ms);
    QCOMPARE(e->checked_type_button(), effect_button_of_type(1, rig_->session.store.get(param_id(kind_fx, 1, code_fx_type))));
  }
};

QTEST_MAIN(edit_output_link_test)
#include "edit_output_link_test.moc"
