// The fader overview: the view button toggles the two channel views and names their
// counts, a send button fills the sends view for its bus, channel and send strips write
// what their buttons and faders say, the console's changes show on the strips, the
// encoders move the selected strip, and a full frame of the sends view is timed.
#include <QBoxLayout>
#include <QElapsedTimer>
#include <QtTest>
#include <algorithm>

#include "app/params/channel_state.h"
#include "app/params/convert.h"
#include "app/params/solo.h"
#include "tests/ui/host_window.h"
#include "ui/foundation/channel_colours.h"
#include "tests/ui/page_rig.h"
#include "ui/screens/mixer/brief_cont.h"
#include "ui/screens/mixer/brief_fader.h"
#include "ui/widgets/button.h"
#include "ui/widgets/fader.h"
#include "ui/widgets/name_button_fader_strip.h"
#include "ui/widgets/toggle_button.h"

using namespace vorante;

namespace {

unsigned in_id(int input, int code) { return param_id(kind_input, input, code); }

struct fader_rig : test::page_rig {
  using page_rig::page_rig;
  brief_fader_page* show() {
    nav->show_by_name("brief_fader", 0);
    return page_in<brief_fader_page>(page_brief_cont, page_brief_fader);
  }
};

void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

QStringList send_names(brief_fader_page* p) {
  QStringList names;
  for (int n = 0; n < p->placed_sends(); ++n) names << p->send_strip(n)->name_button()->label_text();
  return names;
}

}  // namespace

class brief_fader_test : public test::host_window_test {
  Q_OBJECT

 public:
  brief_fader_test() : host_window_test({1280, 800}) {}

 private slots:
  void fader_tab_opens_the_overview() {
    fader_rig rig(host_);
    rig.nav->show_by_name("brief_channel", 0);
    auto* bar = test::home_page<brief_cont_page>(*rig.nav, page_brief_cont);
    click(bar->tab(tab_fader));
    QCOMPARE(rig.nav->page_on_screen()->page_id(), int(page_brief_fader));
    QCOMPARE(bar->highlighted_tab(), int(tab_fader));
  }

  void view_button_toggles_the_channel_views() {
    fader_rig rig(host_);
    brief_fader_page* p = rig.show();
    QVERIFY(p);
    QCOMPARE(p->shown_view(), int(fader_view_a));
    QCOMPARE(p->view_button()->label_text(), QString("CH1-CH16"));
    QVERIFY(p->channel_fader(0)->isVisible() && p->channel_fader(15)->isVisible());
    click(p->view_button());
    QCOMPARE(p->shown_view(), int(fader_view_b));
    QCOMPARE(p->view_button()->label_text(), QString("STEREO-FX-AUX8"));
    QVERIFY(p->channel_fader(logical_of(kind_bus, 7))->isVisible());
    // Strips of view B keep view A's width: both rows are padded to eight items.
    QVERIFY(qAbs(p->channel_fader(logical_of(kind_input, 16))->width() - p->channel_fader(logical_of(kind_input, 0))->width()) <= 1);
    // From the sends view the button goes back to the channel view shown last.
    click(p->send_button(0));
    QCOMPARE(p->shown_view(), int(fader_view_sends));
    click(p->view_button());
    QCOMPARE(p->shown_view(), int(fader_view_b));
    click(p->view_button());
    QCOMPARE(p->shown_view(), int(fader_view_a));
    QCOMPARE(p->view_button()->label_text(), QString("CH1-CH16"));
    // MAIN L and MAIN R stay in the right column.
    QVERIFY(p->channel_fader(logical_of(kind_bus, main_l_bus))->isVisible());
  }

  void send_buttons_fill_the_sends_view_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QStringList>("tail");
    QTest::addColumn<int>("count");
    QTest::newRow("FX1: inputs only") << 8 << QStringList{"CH16", "CH17/18", "CH19/20", "DIGI"} << 19;
    QTest::newRow("AUX3: inputs, then the returns") << 2 << QStringList{"CH19/20", "DIGI", "FX1", "FX2"} << 21;
  }
  void send_buttons_fill_the_sends_view() {
    QFETCH(int, button);
    QFETCH(QStringList, tail);
    QFETCH(int, count);
    fader_rig rig(host_);
    brief_fader_page* p = rig.show();
    click(p->send_button(button));
    QCOMPARE(p->selected_selector(), button + 1);
    QCOMPARE(p->placed_sends(), count);
    const QStringList names = send_names(p);
    QCOMPARE(names.first(), QString("CH1"));
    QCOMPARE(names.mid(count - tail.size()), tail);
    for (int n = 0; n < overview_send_strips; ++n) QCOMPARE(p->send_strip(n)->isVisible(), n < count);
    // The first half of the strips on the upper row.
    QCOMPARE(p->send_row(0)->indexOf(p->send_strip(count / 2 - 1)) >= 0, true);
    QCOMPARE(p->send_row(1)->indexOf(p->send_strip(count / 2)) >= 0, true);
    // Only the stereo inputs get L/R.
    QVERIFY(p->send_strip(p->send_strip_of(logical_of(kind_input, 16)))->lr_shown());
    QVERIFY(!p->send_strip(0)->lr_shown());
    QCOMPARE(p->send_strip_of(logical_of(kind_input, 17)), -1);
  }

  void send_strips_write_and_show_the_send() {
    fader_rig rig(host_);
    brief_fader_page* p = rig.show();
    click(p->send_button(1));  // AUX2
    const unsigned id = in_id(3, 14);
    rig.store().set_local(id, 0x4000 | 800);
    name_button_fader_strip* s = p->send_strip(3);
    click(s->s_button());
    QCOMPARE(rig.store().get(id), 0xC000 | 800);
    QVERIFY(s->s_button()->isChecked() && !s->m_button()->isChecked());
    QCOMPARE(p->selected_strip(), s);
    click(s->m_button());
    QCOMPARE(rig.store().get(id), 0x4000 | 800);
    QVERIFY(!s->s_button()->isChecked() && s->m_button()->isChecked());
    p->send_strip_event(3, strip_fader_moved, -10.0);
    QCOMPARE(rig.store().get(id), 0x4000 | (to_raw(value_type::send_level, -10.0) & level_mask));
    // The console's change of the send shows; another send of the channel does not.
    rig.arrives(id, 0x8000 | to_raw(value_type::send_level, -20.0));
    QVERIFY(s->s_button()->isChecked());
    QCOMPARE(s->fader()->value(), -20.0);
    rig.arrives(in_id(3, 15), to_raw(value_type::send_level, 0.0));
    QCOMPARE(s->fader()->value(), -20.0);
    // An effect return's send to the aux.
    const int fx = p->send_strip_of(logical_of(kind_fx, 1));
    p->send_strip_event(fx, strip_second);
    QVERIFY((rig.store().get(param_id(kind_fx, 1, code_fx_aux_send + 1)) & send_pre_bit) != 0);
  }

  void stereo_send_in_right_only_mode() {
    fader_rig rig(host_);
    brief_fader_page* p = rig.show();
    set_send_mode(rig.store(), 16, 0, 2);
    rig.store().set_local(in_id(17, 13), to_raw(value_type::send_level, -5.0));
    rig.store().set_local(in_id(16, 13), 0);
    click(p->send_button(0));  // AUX1
    const int n = p->send_strip_of(logical_of(kind_input, 16));
    name_button_fader_strip* s = p->send_strip(n);
    QCOMPARE(s->fader()->value(), -5.0);
    QVERIFY(!s->l_button()->isChecked() && s->r_button()->isChecked());
    // The right member's change shows on the left member's strip.
    rig.arrives(in_id(17, 13), to_raw(value_type::send_level, -15.0));
    QCOMPARE(s->fader()->value(), -15.0);
    // Both off: mode 3, the level kept.
    click(s->r_button());
    QCOMPARE(send_mode(rig.store(), 16, 0), 3);
    QVERIFY(s->l_button()->isChecked() && s->r_button()->isChecked());
    QCOMPARE(rig.store().get(in_id(16, 13)), to_raw(value_type::send_level, -15.0));
  }

  void channel_strips_write_their_channel() {
    fader_rig rig(host_);
    brief_fader_page* p = rig.show();
    const int f = p->fader_index(logical_of(kind_bus, 2));
    click(p->view_button());
    name_button_fader_strip* s = p->channel_fader(logical_of(kind_bus, 2));
    const unsigned on = param_id(kind_bus, 2, code_on);
    const uint16_t was = rig.store().get(on);
    click(s->m_button());
    QCOMPARE(rig.store().get(on), was == 0 ? 1 : 0);
    QCOMPARE(s->m_button()->isChecked(), rig.store().get(on) == 0);
    click(s->s_button());
    QVERIFY(is_soloed(rig.store(), kind_bus, 2));
    p->channel_event(f, strip_fader_moved, -12.0);
    QCOMPARE(rig.store().get(param_id(kind_bus, 2, code_fader)), to_raw(value_type::fader_level, -12.0));
    rig.arrives(param_id(kind_bus, 2, code_fader), to_raw(value_type::fader_level, 3.0));
    QCOMPARE(s->fader()->value(), 3.0);
    QCOMPARE(p->selected_strip(), s);
  }

  void console_encoders_move_the_selected_strip() {
    fader_rig rig(host_);
    brief_fader_page* p = rig.show();
    const unsigned main_l = param_id(kind_bus, main_l_bus, code_fader);
    const unsigned ch1 = in_id(0, code_input_fader);
    rig.store().set_local(ch1, to_raw(value_type::fader_level, -10.0));
    p->channel_event(p->fader_index(0), strip_fader_clicked);
    p->console_encoder(3, 1);
    QVERIFY(rig.store().get(ch1) > to_raw(value_type::fader_level, -10.0));
    // With a send bus chosen, MAIN L still moves its fader.
    click(p->send_button(4));
    QCOMPARE(p->selected_strip(), nullptr);
    const uint16_t before = rig.store().get(main_l);
    p->channel_event(p->fader_index(logical_of(kind_bus, main_l_bus)), strip_fader_clicked);
    p->console_encoder(0, -1);
    QVERIFY(rig.store().get(main_l) < before);
    // A send strip steps its send.
    const unsigned send = in_id(2, 13 + 4);
    rig.store().set_local(send, to_raw(value_type::send_level, -20.0));
    p->send_strip_event(2, strip_fader_clicked);
    p->console_encoder(1, 1);
    QVERIFY((rig.store().get(send) & level_mask) > (to_raw(value_type::send_level, -20.0) & level_mask));
  }

  void mode_and_colour_changes_wait_for_the_timer() {
    fader_rig rig(host_);
    brief_fader_page* p = rig.show();
    click(p->send_button(0));
    rig.arrives(colour_base_id + 2, 3);
    QVERIFY(p->refresh_pending());
    QTRY_VERIFY(!p->refresh_pending());
    QCOMPARE(p->send_strip(2)->name_button()->released_colours().background, channel_colour(3));
    QCOMPARE(p->channel_fader(2)->name_button()->released_colours().background, channel_colour(3));
  }

  void names_follow_the_console() {
    fader_rig rig(host_);
    brief_fader_page* p = rig.show();
    click(p->send_button(0));
    rig.nav->on_name(logical_of(kind_bus, 0), "Drums");
    rig.nav->on_name(logical_of(kind_input, 1), "Kick");
    QCOMPARE(p->send_button(0)->label_text(), QString("Drums"));
    QCOMPARE(p->channel_fader(1)->name_button()->label_text(), QString("Kick"));
    QCOMPARE(p->send_strip(1)->name_button()->label_text(), QString("Kick"));
    rig.nav->on_name(logical_of(kind_input, 1), "");
    QCOMPARE(p->send_strip(1)->name_button()->label_text(), QString("CH2"));
  }

  // Figures, not bounds: one full frame of the overview with the sends view at its fullest.
  // An aux fills 21 strips with every channel fitted (CH1..CH16, the three stereo pairs once
  // and the two effect returns), the most any bus lists; the view holds 28, so the second
  // figure shows all of them, 14 a row, for what the view would cost at capacity.
  void full_frame_of_the_sends_view() {
    fader_rig rig(host_);
    brief_fader_page* p = rig.show();
    click(p->send_button(0));
    QCOMPARE(p->placed_sends(), 21);
    QWidget* window = p->window();
    QImage frame(window->size(), QImage::Format_RGB32);
    const auto print_frame_times = [&](const char* what, int strips) {
      window->render(&frame);  // warms the caches, as a page on screen has them
      constexpr int rounds = 20;
      std::vector<qint64> times;
      for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        window->render(&frame);
        times.push_back(t.nsecsElapsed());
      }
      std::sort(times.begin(), times.end());
      qInfo("fader overview sends view, full frame (%s): median %.2f ms, worst %.2f ms (%d strips)", what,
            times[rounds / 2] / 1e6, times.back() / 1e6, strips);
    };
    print_frame_times("AUX1", p->placed_sends());

    for (int j = 0; j < overview_send_strips; ++j) {
      QWidget* s = p->send_strip(j);
      p->send_row(0)->removeWidget(s);
      p->send_row(1)->removeWidget(s);
      p->send_row(j < overview_send_strips / 2 ? 0 : 1)->addWidget(s, 1);
      s->show();
    }
    QCoreApplication::processEvents();
    int shown = 0;
    for (int j = 0; j < overview_send_strips; ++j) shown += p->send_strip(j)->isVisible() ? 1 : 0;
    QCOMPARE(shown, overview_send_strips);
    print_frame_times("every strip shown", shown);
  }
};

QTEST_MAIN(brief_fader_test)
#include "brief_fader_test.moc"
