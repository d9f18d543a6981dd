// The input channel editor: what open() shows for mono and stereo inputs, the universal
// fader on each kind of cell and what it writes, right-member sends, linking, copy and
// paste with the badge and key lights, the encoders, the phantom question, and the graphs
// following the console. Also prints the time of open() and counts the recomputations of a
// dragged handle.
#include <QAbstractButton>
#include <QLabel>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QtTest>

#include "app/core/options.h"
#include "app/params/channel_state.h"
#include "app/params/convert.h"
#include "app/protocol/session.h"
#include "ui/foundation/channel_colours.h"
#include "tests/ui/editor_rigs.h"
#include "tests/ui/host_window.h"
#include "ui/pages/container_page.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_registry.h"
#include "ui/pages/page_table.h"
#include "ui/screens/editors/edit_cont.h"
#include "ui/screens/editors/edit_input.h"
#include "ui/screens/editors/editor_copy.h"
#include "ui/widgets/button.h"
#include "ui/widgets/dyn_curves.h"
#include "ui/widgets/eq_graph.h"
#include "ui/widgets/fader.h"
#include "ui/widgets/fader_strip.h"
#include "ui/widgets/level_meter.h"
#include "ui/widgets/name_button_fader_strip.h"
#include "ui/widgets/tile.h"
#include "ui/widgets/toggle_button.h"

using namespace vorante;

namespace {

unsigned in_id(int input, int code) { return param_id(kind_input, input, code); }

void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

}  // namespace

class edit_input_test : public test::host_window_test {
  Q_OBJECT

 public:
  edit_input_test() : host_window_test({1280, 800}) {}

 private slots:
  void open_shows_the_controls() {
    editor_rig rig(host_);
    for (const int input : {0, 3, 16, 24}) {
      edit_input_page* e = rig.open(input);
      QVERIFY(e);
      QCOMPARE(e->channel(), input);
      QCOMPARE(e->hiz_button()->isVisible(), input < 2);
      const bool mono = input < 16;
      QCOMPARE(e->phantom_button()->isVisible(), mono);
      QCOMPARE(e->link_button()->isVisible(), mono);
      QCOMPARE(e->channel_meter(1)->isVisible(), !mono);
      if (mono) QCOMPARE(e->link_button()->label_text(), QString(input == 0 ? "CH1&2" : "CH3&4"));
      for (int n = 0; n < 16; ++n) QCOMPARE(e->list_button(n)->isChecked(), n == input);
      // Stereo inputs get the L/R pair on the aux sends only.
      QCOMPARE(e->send_strip(1)->lr_shown(), !mono);
      QVERIFY(!e->send_strip(10)->lr_shown());
      QVERIFY(e->meter_timer_running());
      QCOMPARE(e->selected(), -1);
      QWidget* name = e->findChild<QWidget*>("channel_name");
      QCOMPARE(name->isVisible(), true);
      QVERIFY(name->height() > 30);
      // The name sits above the rows it heads, not under them.
      QVERIFY(name->mapTo(host_, QPoint(0, name->height())).y() <=
              e->findChild<QWidget*>("cell_phase")->mapTo(host_, QPoint(0, 0)).y());
    }
  }

  // Each kind of cell sets the fader up by its value type; the fader writes back the value
  // it stands at, and the write's own report does not move it.
  void universal_fader_per_cell_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("stored");
    QTest::addColumn<double>("moved_to");
    QTest::addColumn<int>("written");
    QTest::newRow("gain, integer") << 8 << int(universal_mode::range) << 20 << 35.0 << 35;
    QTest::newRow("gate hold, integer") << 7 << int(universal_mode::range) << 100 << 500.0 << 500;
    QTest::newRow("comp ratio, table") << 30 << int(universal_mode::table) << 200 << 4.0 << 400;
    QTest::newRow("band gain, table") << 48 << int(universal_mode::table) << 500 << 3.0 << 530;
    QTest::newRow("send keeps the flags") << 14 << int(universal_mode::table) << (0xC000 | 900) << -10.0
                                          << (0xC000 | 1100);
  }
  void universal_fader_per_cell() {
    QFETCH(int, code);
    QFETCH(int, mode);
    QFETCH(int, stored);
    QFETCH(double, moved_to);
    QFETCH(int, written);
    editor_rig rig(host_);
    rig.store().set_local(in_id(2, code), static_cast<uint16_t>(stored));
    edit_input_page* e = rig.open(2);
    e->show_tab(input_tab_peq);
    e->select_cell(static_cast<int>(in_id(2, code)));
    QCOMPARE(int(e->universal_setup().mode), mode);
    fader* f = e->universal()->fader();
    QCOMPARE(f->value(), universal_fader_value(e->universal_setup(), static_cast<uint16_t>(stored)));
    emit f->value_changed(moved_to);
    QCOMPARE(int(rig.store().get(in_id(2, code))), written);
    // The console's own change moves the fader.
    rig.arrives(in_id(2, code), static_cast<uint16_t>(stored));
    QCOMPARE(f->value(), universal_fader_value(e->universal_setup(), static_cast<uint16_t>(stored)));
    // Deselecting returns to the channel fader.
    e->select_cell(-1);
    QCOMPARE(int(e->universal_setup().mode), int(universal_mode::channel_fader));
    // Another channel starts with nothing selected, the old cell no longer lit (a send's
    // cell is its strip, which has no lit state).
    e->select_cell(static_cast<int>(in_id(2, code)));
    QAbstractButton* lit = e->cell(code);
    QCOMPARE(lit != nullptr, !is_input_send_code(code));
    if (lit) QVERIFY(lit->isChecked());
    e = rig.open(5);
    QCOMPARE(e->selected(), -1);
    if (lit) QVERIFY(!lit->isChecked());
  }

  void vol_cell_and_channel_fader_follow_the_store() {
    editor_rig rig(host_);
    edit_input_page* e = rig.open(4);
    rig.arrives(in_id(4, 12), 1100);
    QCOMPARE(e->universal()->fader()->value(), -10.0);
    emit e->universal()->fader()->value_changed(0.0);
    QCOMPARE(int(rig.store().get(in_id(4, 12))), 1200);
  }

  // CH17/18 with AUX2 on the right member only: the strip and the fader show and write the
  // right member's level.
  void stereo_send_in_mode_2_is_the_right_members() {
    editor_rig rig(host_);
    set_send_mode(rig.store(), 16, 1, 2);
    rig.store().set_local(in_id(17, 14), 0x8000 | 1100);
    rig.store().set_local(in_id(16, 14), 0);
    edit_input_page* e = rig.open(16);
    name_button_fader_strip* aux2 = e->send_strip(1);
    QCOMPARE(aux2->fader()->value(), -10.0);
    QVERIFY(aux2->s_button()->isChecked());  // PRE from the right member's bit 15
    QVERIFY(!aux2->l_button()->isChecked());
    QVERIFY(aux2->r_button()->isChecked());
    emit aux2->fader_clicked();
    QCOMPARE(e->universal()->fader()->value(), -10.0);
    emit e->universal()->fader()->value_changed(-5.0);
    QCOMPARE(int(rig.store().get(in_id(17, 14))), 0x8000 | 1150);
    QCOMPARE(int(rig.store().get(in_id(16, 14))), 0);
    // Unchecking both stores mode 0, which shows both checked.
    aux2->l_button()->setChecked(false);
    aux2->r_button()->setChecked(false);
    e->send_lr(1);
    QCOMPARE(send_mode(rig.store(), 16, 1), 0);
    QVERIFY(aux2->l_button()->isChecked());
    QVERIFY(aux2->r_button()->isChecked());
  }

  void send_strip_pos_pre_and_fader() {
    editor_rig rig(host_);
    rig.store().set_local(in_id(5, 25), 0x4000 | 1000);
    edit_input_page* e = rig.open(5);
    name_button_fader_strip* fx1 = e->send_strip(8);
    click(fx1->s_button());
    QCOMPARE(int(rig.store().get(in_id(5, 25))), 0xC000 | 1000);
    QCOMPARE(e->selected(), static_cast<int>(in_id(5, 25)));
    QVERIFY(fx1->s_button()->isChecked());
    QVERIFY(!fx1->m_button()->isChecked());
    emit fx1->fader_moved(-10.0);
    QCOMPARE(int(rig.store().get(in_id(5, 25))), 0xC000 | 1100);
  }

  void link_copies_pans_and_locks_the_pan_cell() {
    editor_rig rig(host_);
    rig.store().set_local(in_id(2, 8), 44);
    edit_input_page* e = rig.open(2);
    e->select_cell(static_cast<int>(in_id(2, 11)));
    click(e->link_button());
    QVERIFY(stereo_bit(rig.store(), kind_input, 2));
    QVERIFY(e->link_button()->isChecked());
    QCOMPARE(int(rig.store().get(in_id(3, 8))), 44);
    QCOMPARE(int(rig.store().get(in_id(2, 11))), 0);
    QCOMPARE(int(rig.store().get(in_id(3, 11))), 200);
    QCOMPARE(e->selected(), -1);  // the PAN cell let go of the fader
    QCOMPARE(int(e->universal_setup().mode), int(universal_mode::channel_fader));
    click(e->link_button());
    QVERIFY(!stereo_bit(rig.store(), kind_input, 2));
    QCOMPARE(int(rig.store().get(in_id(2, 11))), 100);
    QCOMPARE(int(rig.store().get(in_id(3, 11))), 100);
  }

  void copy_and_paste_with_badge_and_lights() {
    editor_rig rig(host_);
    editor_clipboard().clear();
    rig.store().set_local(in_id(2, 8), 41);
    edit_input_page* e = rig.open(2);
    e->console_key(copy_light_key);  // the console's copy key acts as COPY
    QVERIFY(editor_clipboard().holds(kind_input, 2));
    QVERIFY(copy_badge_shown());
    QVERIFY(rig.light(copy_light_key));
    e = rig.open(6);
    click(e->findChild<QAbstractButton*>("paste"));
    QCOMPARE(int(rig.store().get(in_id(6, 8))), 41);
    QVERIFY(editor_clipboard().empty());
    QVERIFY(!copy_badge_shown());
    QVERIFY(!rig.light(copy_light_key));
    QVERIFY(rig.light(paste_light_key));
    QTRY_VERIFY_WITH_TIMEOUT(!rig.light(paste_light_key), 2000);

    // COPY twice cancels; a stereo input refuses.
    e->press_copy();
    e->press_copy();
    QVERIFY(editor_clipboard().empty());
    QVERIFY(!copy_badge_shown());
    e->press_copy();
    e = rig.open(16);
    e->press_paste();
    QVERIFY(editor_clipboard().empty());
    QVERIFY(!copy_badge_shown());
    QCOMPARE(int(rig.store().get(in_id(16, 8))), int(rig.store().default_of(in_id(16, 8))));
  }

  void encoders_move_only_their_cells() {
    editor_rig rig(host_);
    rig.store().set_local(in_id(3, 8), 20);
    edit_input_page* e = rig.open(3);
    e->console_encoder(3, 1);  // nothing selected
    QCOMPARE(int(rig.store().get(in_id(3, 8))), 20);
    e->select_cell(static_cast<int>(in_id(3, 8)));
    e->console_encoder(4, 1);  // band frequencies only
    QCOMPARE(int(rig.store().get(in_id(3, 8))), 20);
    e->console_encoder(3, 1);
    QCOMPARE(int(rig.store().get(in_id(3, 8))), 21);
    QCOMPARE(e->universal()->fader()->value(), 21.0);
  }

  void hiz_changes_bit_0_only() {
    editor_rig rig(host_);
    rig.store().set_local(in_id(1, 0), 0x0006);
    edit_input_page* e = rig.open(1);
    click(e->hiz_button());
    QCOMPARE(int(rig.store().get(in_id(1, 0))), 0x0007);
    click(e->hiz_button());
    QCOMPARE(int(rig.store().get(in_id(1, 0))), 0x0006);
  }

  void phantom_asks_before_switching_on() {
    editor_rig rig(host_);
    edit_input_page* e = rig.open(4);
    e->show_tab(input_tab_gate);
    click(e->phantom_button());
    QCOMPARE(e->current_tab(), int(input_tab_phantom));
    QCOMPARE(int(rig.store().get(in_id(4, 1))), 0);
    // Leaving and coming back returns to the remembered tab.
    e = rig.open(5);
    QCOMPARE(e->current_tab(), int(input_tab_gate));
    click(e->phantom_button());
    click(e->findChild<QAbstractButton*>("phantom_yes"));
    QCOMPARE(int(rig.store().get(in_id(5, 1))), 1);
    QCOMPARE(e->current_tab(), int(input_tab_gate));
    QVERIFY(e->phantom_button()->isChecked());
    click(e->phantom_button());  // switching off needs no question
    QCOMPARE(int(rig.store().get(in_id(5, 1))), 0);
    QCOMPARE(e->current_tab(), int(input_tab_gate));
  }

  void overview_and_return() {
    editor_rig rig(host_);
    edit_input_page* e = rig.open(2);
    QVERIFY(e->overview_shown());
    e->select_cell(static_cast<int>(in_id(2, 8)));
    click(e->findChild<QAbstractButton*>("select_fader"));
    QCOMPARE(e->current_tab(), int(input_tab_fader));
    QVERIFY(e->bank_strip(0)->isVisible());
    e->return_to_overview();
    QVERIFY(e->overview_shown());
    QCOMPARE(e->selected(), -1);
    QVERIFY(e->findChild<QAbstractButton*>("select_parameters")->isChecked());
  }

  // Record track 5 takes CH4, playback track 3 feeds it.
  void recorder_paths_follow_the_tracks() {
    editor_rig rig(host_);
    for (unsigned n = 0; n < 16; ++n) {  // by default track n records and plays input n
      rig.store().set_local(2783 + n, 0);
      rig.store().set_local(2799 + n, 0);
    }
    rig.store().set_local(2783 + 4, 4);
    rig.store().set_local(2815 + 4, 40);
    rig.store().set_local(2799 + 2, 4);
    rig.store().set_local(2831 + 2, 70);
    rig.store().set_local(2847 + 2, 0);
    edit_input_page* e = rig.open(3);
    auto* rec = e->findChild<button*>("record_level");
    auto* play = e->findChild<button*>("playback_switch");
    auto* play_level = e->findChild<button*>("playback_level");
    auto* percent = e->findChild<QLabel*>("playback_percent");
    QVERIFY(e->findChild<QWidget*>("record_path")->isVisible());
    QVERIFY(e->findChild<QWidget*>("playback_path")->isVisible());
    QCOMPARE(rec->label_text(), QString("INPUT\n40%"));
    QCOMPARE(rec->progress(), std::optional<int>(40));
    QCOMPARE(e->findChild<QLabel*>("record_label")->text(), QString("REC5\nIN"));
    // Playback off: the input feeds the gain, its level cell can be selected.
    QCOMPARE(play->label_text(), QString("INPUT"));
    QVERIFY(!play->isChecked());
    QVERIFY(play_level->label_text().startsWith("MIC/LINE"));
    QVERIFY(percent->isHidden());
    click(play_level);
    QCOMPARE(e->selected(), 2831 + 2);
    QVERIFY(play_level->isChecked());
    click(rec);
    QCOMPARE(e->selected(), 2815 + 4);
    QVERIFY(!play_level->isChecked());
    click(play_level);
    click(play);
    QCOMPARE(int(rig.store().get(2847 + 2)), 1);
    QTRY_COMPARE(play->label_text(), QString("REC3\nPLAY"));
    QVERIFY(play->isChecked());
    QCOMPARE(play_level->label_text(), QString("REC3"));
    QCOMPARE(percent->text(), QString("70%"));
    QVERIFY(!percent->isHidden());
    // Off again: the selected level cell lets the fader go back to the channel.
    click(play);
    QTRY_COMPARE(e->selected(), -1);
    // A channel no track names shows neither path.
    e = rig.open(5);
    QVERIFY(e->findChild<QWidget*>("record_path")->isHidden());
    QVERIFY(e->findChild<QWidget*>("playback_path")->isHidden());
  }

  void names_and_colours_follow_the_console() {
    editor_rig rig(host_);
    edit_input_page* e = rig.open(6);
    rig.session.engine.names().set_channel_name(6, "Kick");
    rig.nav->on_name(6, "Kick");
    QCOMPARE(static_cast<button*>(e->findChild<QWidget*>("channel_name"))->label_text(), QString("Kick"));
    QCOMPARE(e->findChild<tile*>("cell_vol")->title(), QString("Kick"));
    QCOMPARE(e->list_button(6)->label_text(), QString("Kick"));
    rig.session.engine.names().set_channel_name(28, "Mon 1");
    rig.nav->on_name(28, "Mon 1");
    QCOMPARE(e->send_strip(0)->name_button()->label_text(), QString("Mon 1"));
    rig.session.engine.names().set_channel_name(6, "");
    rig.nav->on_name(6, "");
    QCOMPARE(e->findChild<tile*>("cell_vol")->title(), QString("CH7"));

    // Colours land after the 50 ms refresh; DCA and mute-group membership with them.
    rig.arrives(colour_base_id + 6, 3);
    rig.arrives(colour_base_id + 30, 5);  // AUX3
    QTRY_COMPARE(static_cast<button*>(e->findChild<QWidget*>("channel_name"))->released_colours().background,
                 channel_colours[3]);
    QCOMPARE(e->send_strip(2)->name_button()->released_colours().background, channel_colours[5]);
    write_membership(rig.store(), kind_dca, 2, 6, true);
    rig.nav->on_param(param_id(kind_dca, 0, code_dca_members), 0, true);
    QTRY_VERIFY(e->dca_button(2)->isChecked());
    QVERIFY(!e->dca_button(1)->isChecked());
    click(e->mute_group_button(3));
    QVERIFY(is_member(rig.store(), kind_mute_group, 3, 6));
  }

  void console_eq_change_redraws_both_graphs() {
    editor_rig rig(host_);
    edit_input_page* e = rig.open(2);
    e->show_tab(input_tab_peq);
    QSignalSpy large(e->peq_graph(), &eq_graph::refreshed);
    QSignalSpy small(e->peq_thumbnail(), &eq_graph::refreshed);
    rig.arrives(in_id(2, 48), 620);  // L MID gain +12 dB
    QTRY_VERIFY(large.count() >= 1);
    QTRY_VERIFY(small.count() >= 1);
    QCOMPARE(static_cast<button*>(e->cell(48))->label_text(), QString("12.0dB"));
    QCOMPARE(static_cast<button*>(e->cell(48))->progress(), std::optional<int>(100));
  }

  // Figures, printed: open() on another channel, and recomputations per 100 ms of a drag.
  void figures() {
    editor_rig rig(host_);
    edit_input_page* e = rig.open(0);
    QElapsedTimer t;
    std::vector<qint64> times;
    for (int round = 0; round < 5; ++round)
      for (int input : {1, 2, 16, 5, 24, 9}) {
        t.start();
        rig.open(input);
        times.push_back(t.nsecsElapsed());
      }
    std::sort(times.begin(), times.end());
    qInfo("open(index) on another channel, %zu opens: median %.2f ms, worst %.2f ms", times.size(),
          static_cast<double>(times[times.size() / 2]) / 1e6, static_cast<double>(times.back()) / 1e6);

    e = rig.open(3);
    e->show_tab(input_tab_peq);
    QTest::qWait(200);
    eq_graph* g = e->peq_graph();
    QSignalSpy refreshed(g, &eq_graph::refreshed);
    const QPoint start = g->handle_centre({curve_kind::band, 1});
    QTest::mousePress(g, Qt::LeftButton, {}, start);
    QVERIFY(g->dragged().has_value());
    QElapsedTimer drag;
    drag.start();
    for (int n = 0; n < 40; ++n) {
      QMouseEvent move(QEvent::MouseMove, QPointF(start + QPoint(n * 3, n % 7)), g->mapToGlobal(QPointF(start)),
                       Qt::NoButton, Qt::LeftButton, {});
      QCoreApplication::sendEvent(g, &move);
      QTest::qWait(10);
    }
    QTest::mouseRelease(g, Qt::LeftButton, {}, start + QPoint(120, 0));
    // The drag went to the store: the L MID frequency moved.
    QVERIFY(rig.store().get(in_id(3, 47)) != rig.store().default_of(in_id(3, 47)));
    const double ticks = static_cast<double>(drag.elapsed()) / 100.0;
    qInfo("EQ drag: %lld recomputations in %.1f ticks of 100 ms", static_cast<long long>(refreshed.count()), ticks);
    QVERIFY(refreshed.count() <= static_cast<int>(ticks) + 2);

    e->show_tab(input_tab_comp);
    QTest::qWait(200);
    comp_curve* c = e->comp_large();
    const int before = c->deferred_redraws();
    const QPoint knee(c->model().knee.x, c->model().knee.y);
    QTest::mousePress(c, Qt::LeftButton, {}, knee);
    QCOMPARE(c->drag(), 1);
    drag.restart();
    for (int n = 0; n < 40; ++n) {
      QMouseEvent move(QEvent::MouseMove, QPointF(knee - QPoint(n, 0)), c->mapToGlobal(QPointF(knee)), Qt::NoButton,
                       Qt::LeftButton, {});
      QCoreApplication::sendEvent(c, &move);
      QTest::qWait(10);
    }
    QTest::mouseRelease(c, Qt::LeftButton, {}, knee - QPoint(40, 0));
    const double comp_ticks = static_cast<double>(drag.elapsed()) / 100.0;
    qInfo("compressor drag: %d redraws in %.1f ticks of 100 ms", c->deferred_redraws() - before, comp_ticks);
    QVERIFY(c->deferred_redraws() - before <= static_cast<int>(comp_ticks) + 2);
    QVERIFY(rig.store().get(in_id(3, 33)) != rig.store().default_of(in_id(3, 33)));
  }
};

QTEST_MAIN(edit_input_test)
#include "edit_input_test.moc"
