// The DCA editor and the fader overview on a real link to the console simulator: a
// membership set in the DCA editor and a send changed in the sends view arrive at the
// console, and a send the console changes moves its strip in the sends view.
#include <QtTest>

#include "app/params/convert.h"
#include "tests/ui/host_window.h"
#include "tests/ui/linked_rig.h"
#include "ui/pages/container_page.h"
#include "ui/pages/page_table.h"
#include "ui/screens/editors/edit_dca.h"
#include "ui/screens/mixer/brief_fader.h"
#include "ui/widgets/button.h"
#include "ui/widgets/fader.h"
#include "ui/widgets/name_button_fader_strip.h"

using namespace vorante;

namespace {

constexpr int change_wait_ms = 3000;

using test::click;
using test::page_in;
using test::sim_value;

}  // namespace

class dca_fader_link_test : public test::linked_test {
  Q_OBJECT

 private slots:
  void init() { open_link({"--random-values", "13"}); }
  void cleanup() { close_link(); }

  void dca_membership_reaches_the_console() {
    rig_->nav->open_editor(kind_dca, 1);
    auto* e = page_in<edit_dca_page>(*rig_->nav, page_edit_cont, page_edit_dca);
    QVERIFY(e);
    // CH19/20: logical channels 18 and 19, bits 2 and 3 of the second membership word.
    const unsigned word = param_id(kind_dca, 1, code_dca_members + 1);
    const bool was = (sim_value(*sim_, word) & 0xC) == 0xC;
    button* b = e->channel_button(kind_input, 18);
    QCOMPARE(b->isChecked(), was);
    QVERIFY(click(b));
    QTRY_COMPARE_WITH_TIMEOUT(sim_value(*sim_, word) & 0xC, was ? 0 : 0xC, change_wait_ms);
  }

  void sends_view_writes_and_follows_the_console() {
    rig_->nav->show_by_name("brief_fader", 0);
    auto* p = page_in<brief_fader_page>(*rig_->nav, page_brief_cont, page_brief_fader);
    QVERIFY(p);
    QVERIFY(click(p->send_button(2)));  // AUX3
    name_button_fader_strip* s = p->send_strip(5);
    const unsigned id = param_id(kind_input, 5, code_input_aux_send + 2);
    const int before = sim_value(*sim_, id);
    QCOMPARE(s->s_button()->isChecked(), (before & send_pre_bit) != 0);
    QVERIFY(click((before & send_pre_bit) ? s->m_button() : s->s_button()));
    QTRY_COMPARE_WITH_TIMEOUT(sim_value(*sim_, id), before ^ send_pre_bit, change_wait_ms);

    const uint16_t raw = static_cast<uint16_t>(to_raw(value_type::send_level, -12.0) | send_pre_bit);
    sim_->command("set " + std::to_string(id) + " " + std::to_string(raw));
    QTRY_COMPARE_WITH_TIMEOUT(s->fader()->value(), -12.0, change_wait_ms);
    QVERIFY(s->s_button()->isChecked() && !s->m_button()->isChecked());
  }
};

QTEST_MAIN(dca_fader_link_test)
#include "dca_fader_link_test.moc"
