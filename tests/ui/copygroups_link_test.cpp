// The copy, group, signal generator and factory mode pages on a real link to the console
// simulator: one write of each page arrives at the console, and a copy of one input onto
// all the others runs at the pace of the console's replies.
#include <QAbstractButton>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QtTest>
#include <cstdio>

#include "app/params/ids.h"
#include "app/settings/copy_groups.h"
#include "tests/ui/host_window.h"
#include "tests/ui/linked_rig.h"
#include "ui/screens/settings/group_page.h"
#include "ui/screens/settings/set_copy_page.h"
#include "ui/screens/settings/signal_page.h"

using namespace vorante;

namespace {

constexpr int answer_wait_ms = 3000;

using test::click;
using test::sim_value;

// Counts the frames the engine sends.
class counting_transport : public transport {
 public:
  counting_transport(std::unique_ptr<transport> inner, int& count) : inner_(std::move(inner)), count_(count) {}
  void send(const uint8_t* bytes, std::size_t n) override {
    ++count_;
    inner_->send(bytes, n);
  }
  std::size_t poll(engine_ring& ring, uint32_t now_ms) override { return inner_->poll(ring, now_ms); }

 private:
  std::unique_ptr<transport> inner_;
  int& count_;
};

template <class P>
P* shown(test::linked_rig& rig, const char* name) {
  if (!rig.nav->show_by_name(name, 0)) return nullptr;
  return dynamic_cast<P*>(rig.nav->page_on_screen());
}

unsigned member_id(int kind, int group, int logical) {
  return param_id(kind, group, (kind == kind_mute_group ? code_mute_members : code_phantom_members) + logical / 16);
}

}  // namespace

class copygroups_link_test : public test::linked_test {
  Q_OBJECT

  int frames_ = 0;

 private slots:
  void init() {
    test::linked_rig::setup how{true, {}, test::wire_settings, {}};
    how.wrap = [this](std::unique_ptr<transport> t) -> std::unique_ptr<transport> {
      return std::make_unique<counting_transport>(std::move(t), frames_);
    };
    open_link({}, how);
  }
  void cleanup() { close_link(); }

  void copy_of_one_input_onto_fifteen_reaches_the_console() {
    const unsigned gain = param_id(kind_input, 0, code_input_gain);
    const unsigned send = param_id(kind_input, 0, code_input_aux_send + 2);
    rig_->session.store.linked_set(gain, 37);
    rig_->session.store.linked_set(send, 800);
    QTRY_COMPARE_WITH_TIMEOUT(sim_value(*sim_, send), 800, answer_wait_ms);
    auto* p = shown<set_copy_page>(*rig_, "set_copy");
    QVERIFY(p);
    QCOMPARE(p->source_list(0)->currentIndex(), 0);
    for (int i = 0; i < copy_input_slots; ++i) p->target(0, i)->setChecked(true);

    const int frames_before = frames_;
    QElapsedTimer clock;
    clock.start();
    QVERIFY(click(p->copy_button(0)));
    QCOMPARE(p->status(0)->text(), QString("COPYING..."));
    QVERIFY(p->watching());
    QTRY_VERIFY_WITH_TIMEOUT(!rig_->session.store.copy_busy(), read_wait_ms);
    const qint64 flushed_ms = clock.elapsed();
    std::printf("copy of input 1 onto 15 inputs: all writes answered after %lld ms, %d frames sent\n",
                static_cast<long long>(flushed_ms), frames_ - frames_before);
    QTRY_COMPARE_WITH_TIMEOUT(p->status(0)->text(), QString("COPY FINISHED!"), answer_wait_ms);
    for (int i = 1; i < copy_input_slots; ++i) {
      QCOMPARE(sim_value(*sim_, param_id(kind_input, i, code_input_gain)), 37);
      QCOMPARE(sim_value(*sim_, param_id(kind_input, i, code_input_aux_send + 2)), 800);
    }
    // The targets stay checked; the status line empties a second later.
    QVERIFY(p->target(0, 5)->isChecked());
    QTRY_COMPARE_WITH_TIMEOUT(p->status(0)->text(), QString(), answer_wait_ms);
  }

  void linked_inputs_are_checked_together() {
    rig_->session.store.linked_set(input_stereo_bits_id, 1u << 2);  // inputs 4 and 5
    auto* p = shown<set_copy_page>(*rig_, "set_copy");
    QVERIFY(p);
    QVERIFY(click(p->target(0, 5)));
    QVERIFY(p->target(0, 4)->isChecked());
    QVERIFY(click(p->target(0, 4)));
    QVERIFY(!p->target(0, 5)->isChecked());
    QVERIFY(click(p->target(0, 6)));
    QVERIFY(!p->target(0, 7)->isChecked());
    // Bus pairs do not move together.
    rig_->session.store.linked_set(output_stereo_bits_id, 1);
    QVERIFY(click(p->target(1, 0)));
    QVERIFY(!p->target(1, 1)->isChecked());
  }

  void mute_group_membership_goes_both_ways() {
    auto* p = shown<group_page>(*rig_, "set_mute_group");
    QVERIFY(p);
    QVERIFY(click(p->selector(1)));
    // Input 16 takes its right member along.
    QVERIFY(click(p->channel_button(kind_input, 16)));
    const unsigned word = member_id(kind_mute_group, 1, 16);
    QTRY_COMPARE_WITH_TIMEOUT(sim_value(*sim_, word) & 0x3, 0x3, answer_wait_ms);
    QVERIFY(click(p->group_switch(1)));
    QTRY_COMPARE_WITH_TIMEOUT(sim_value(*sim_, param_id(kind_mute_group, 1, code_mute_active)), 1, answer_wait_ms);

    // A change made on the console shows on the page.
    const unsigned inputs_word = member_id(kind_mute_group, 1, 0);
    sim_->command("set " + std::to_string(inputs_word) + " 8");
    QTRY_VERIFY_WITH_TIMEOUT(p->channel_button(kind_input, 3)->isChecked(), answer_wait_ms);
    QVERIFY(!p->channel_button(kind_input, 0)->isChecked());

    // Another group shows its own members; nothing is written by switching.
    QVERIFY(click(p->selector(2)));
    QVERIFY(!p->channel_button(kind_input, 3)->isChecked());
    QVERIFY(!p->channel_button(kind_input, 16)->isChecked());
    for (int g = 0; g < mute_group_count; ++g)
      for (int code = code_mute_active; code < code_mute_members + 4; ++code)
        QVERIFY(!rig_->session.store.dirty().contains(param_id(kind_mute_group, g, code)));

    QVERIFY(click(p->bulk_button(true)));
    QVERIFY(p->channel_button(kind_bus, main_r_bus)->isChecked());
    QTRY_COMPARE_WITH_TIMEOUT(sim_value(*sim_, member_id(kind_mute_group, 2, 36)) & 0x30, 0x30, answer_wait_ms);
    QCOMPARE(sim_value(*sim_, member_id(kind_mute_group, 2, 0)), 0xFFFF);
    QVERIFY(click(p->bulk_button(false)));
    QVERIFY(!p->channel_button(kind_input, 0)->isChecked());
    QTRY_COMPARE_WITH_TIMEOUT(sim_value(*sim_, member_id(kind_mute_group, 2, 0)), 0, answer_wait_ms);
  }

  void phantom_all_on_reaches_the_console() {
    auto* p = shown<group_page>(*rig_, "set_phantom_group");
    QVERIFY(p);
    QVERIFY(p->channel_button(kind_input, 16) == nullptr);
    QVERIFY(click(p->bulk_button(true)));
    QTRY_COMPARE_WITH_TIMEOUT(sim_value(*sim_, member_id(kind_phantom_group, 0, 0)), 0xFFFF, answer_wait_ms);
    QVERIFY(p->channel_button(kind_input, 15)->isChecked());
  }

  void generator_switch_types_and_binding() {
    rig_->session.store.linked_set(generator_on_id, 0);
    auto* p = shown<signal_page>(*rig_, "signal");
    QVERIFY(p);
    // Pink noise while off: written, not shown.
    QVERIFY(click(p->type_button(noise_pink)));
    QVERIFY(!p->type_button(noise_pink)->isChecked());
    QTRY_COMPARE_WITH_TIMEOUT(sim_value(*sim_, generator_type_id), noise_pink, answer_wait_ms);

    QVERIFY(click(p->on_button()));
    QTRY_COMPARE_WITH_TIMEOUT(sim_value(*sim_, generator_on_id), 1, answer_wait_ms);
    QTRY_VERIFY_WITH_TIMEOUT(p->type_button(noise_pink)->isChecked(), answer_wait_ms);
    QVERIFY(click(p->output_button(8)));
    QTRY_COMPARE_WITH_TIMEOUT(sim_value(*sim_, generator_first_output_id + 8), generator_output_on, answer_wait_ms);

    // The encoder steps the bound parameter; other encoders do nothing.
    QVERIFY(click(p->slider_choice(0)));
    QCOMPARE(p->bound(), generator_frequency_id);
    const uint16_t before = rig_->session.store.get(generator_frequency_id);
    p->console_encoder(1, 3);
    QCOMPARE(rig_->session.store.get(generator_frequency_id), before);
    p->console_encoder(0, 3);
    QVERIFY(rig_->session.store.get(generator_frequency_id) != before);

    // Off drops a frequency binding; a level binding survives it.
    QVERIFY(click(p->on_button()));
    QTRY_COMPARE_WITH_TIMEOUT(p->bound(), uint16_t{0}, answer_wait_ms);
    QVERIFY(!p->slider_choice(0)->isChecked());
    QVERIFY(!p->output_button(8)->isChecked());
    QVERIFY(click(p->slider_choice(1)));
    QVERIFY(click(p->on_button()));
    QVERIFY(click(p->on_button()));
    QTRY_COMPARE_WITH_TIMEOUT(sim_value(*sim_, generator_on_id), 0, answer_wait_ms);
    QCOMPARE(p->bound(), generator_level_id);
    QVERIFY(p->slider_choice(1)->isChecked());
  }

  void factory_mode_opens_every_volume() {
    QVERIFY(rig_->nav->show_by_name("factory_mode", 0));
    auto* open = host_->findChild<QAbstractButton*>("open_all_volumes");
    QVERIFY(click(open));
    QTRY_COMPARE_WITH_TIMEOUT(sim_value(*sim_, main_r_fader_id), 1200, read_wait_ms);
    QTRY_COMPARE_WITH_TIMEOUT(sim_value(*sim_, param_id(kind_input, 0, code_fader)), 1200, read_wait_ms);
    QTRY_COMPARE_WITH_TIMEOUT(sim_value(*sim_, param_id(kind_fx, 1, code_fx_aux_send + 7)), 1200, read_wait_ms);
    QVERIFY(click(host_->findChild<QAbstractButton*>("close_all_volumes")));
    QTRY_COMPARE_WITH_TIMEOUT(sim_value(*sim_, main_r_fader_id), 0, read_wait_ms);
  }
};

QTEST_MAIN(copygroups_link_test)
#include "copygroups_link_test.moc"
