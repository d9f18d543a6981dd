// The output/aux and effects editors without a link: what open() shows for an aux, MAIN L
// and both effects, the reset scopes of the EQs, the graphic EQ sliders and their echo,
// sends on faders with the bank choice, PRE/POS and L/R, linking, the effect types with
// their table, the integer parameter cells, tap tempo and the encoder filters. Also times a
// GEQ slider drag against the 100 ms refresh tick.
#include <QElapsedTimer>
#include <QLabel>
#include <QtTest>

#include "app/params/bus_editors.h"
#include "app/params/channel_state.h"
#include "app/params/convert.h"
#include "app/params/names.h"
#include "tests/ui/editor_rigs.h"
#include "tests/ui/host_window.h"
#include "ui/screens/editors/bank_fader_tab.h"
#include "ui/screens/editors/edit_efx.h"
#include "ui/screens/editors/edit_output.h"
#include "ui/widgets/button.h"
#include "ui/widgets/fader.h"
#include "ui/widgets/fader_strip.h"
#include "ui/widgets/name_button_fader_strip.h"
#include "ui/widgets/tile.h"
#include "ui/widgets/toggle_button.h"

using namespace vorante;

namespace {

unsigned bus_param(int bus, int code) { return param_id(kind_bus, bus, code); }
unsigned fx_param(int fx, int code) { return param_id(kind_fx, fx, code); }

// The shown channels of the send strips, in order.
std::vector<channel_ref> shown_channels(const send_editor_page* e, int strips) {
  std::vector<channel_ref> out;
  for (int n = 0; n < strips; ++n)
    if (e->send_strip(n)->isVisible()) out.push_back(e->send_channel(n));
  return out;
}

}  // namespace

class edit_output_test : public test::host_window_test {
  Q_OBJECT

 public:
  edit_output_test() : host_window_test({1280, 800}) {}

 private slots:
  void aux_and_main_open_with_their_controls() {
    editor_rig rig(host_);
    auto* e = rig.open<edit_output_page>(kind_bus, 2);
    QVERIFY(e);
    QCOMPARE(e->bus(), 2);
    QVERIFY(e->settings_box()->isVisible());
    QCOMPARE(e->link_button()->label_text(), QString("AUX3&4"));
    QCOMPARE(e->shown_bank(), 0);  // the first open shows CH1-8
    QVERIFY(e->bank_button(0)->isChecked());
    QVERIFY(e->meter_timer_running());
    e->show_tab(output_tab_fader);
    QCOMPARE(e->fader_tab()->shown(), 8);  // AUX1-8
    QVERIFY(e->select_fader()->isChecked());
    QVERIFY(!e->sends_panel()->isVisible());

    // MAIN L opened over the FADER tab: the PEQ tab instead, no settings box.
    e = rig.open<edit_output_page>(kind_bus, main_l_bus);
    QCOMPARE(e->bus(), main_l_bus);
    QCOMPARE(e->current_tab(), int(output_tab_peq));
    QVERIFY(e->select_parameters()->isChecked());
    QVERIFY(!e->settings_box()->isVisible());
    QVERIFY(!e->link_button()->label_shown());
    QVERIFY(e->sends_panel()->isVisible());
    e->show_tab(output_tab_fader);  // nothing to show for the mains
    QCOMPARE(e->current_tab(), int(output_tab_peq));
  }

  void resets_keep_to_their_own_eq() {
    editor_rig rig(host_);
    auto* e = rig.open<edit_output_page>(kind_bus, 1);
    param_store& s = rig.store();
    auto scramble = [&] {
      for (int c = 76; c <= 170; ++c) s.set_local(bus_param(1, c), static_cast<uint16_t>(s.default_of(bus_param(1, c)) + 1));
    };
    auto is_default = [&](int c) { return s.get(bus_param(1, c)) == s.default_of(bus_param(1, c)); };
    scramble();
    e->findChild<QAbstractButton*>("peq_reset")->click();
    for (int c = 76; c <= 170; ++c) QVERIFY2(is_default(c) == (c >= 77 && c <= 110), qPrintable(QString::number(c)));
    scramble();
    e->show_tab(output_tab_geq);
    e->findChild<QAbstractButton*>("geq_reset")->click();
    for (int c = 76; c <= 170; ++c) QVERIFY2(is_default(c) == (c == 76 || c >= 111), qPrintable(QString::number(c)));
  }

  void graphic_eq_sliders_write_and_follow() {
    editor_rig rig(host_);
    auto* e = rig.open<edit_output_page>(kind_bus, 0);
    e->show_tab(output_tab_geq);
    param_store& s = rig.store();
    e->geq_moved(3, -450);
    QCOMPARE(s.get(bus_param(0, 125)), geq_raw_of_slider(-450));
    QVERIFY(s.dirty().contains(bus_param(0, 125)));
    // The console's values move the slider and name the band.
    rig.arrives(bus_param(0, geq_gain_code(7)), geq_raw_of_slider(600));
    QCOMPARE(e->geq_slider(7)->value(), 600.0);
    const uint16_t hz = s.get(bus_param(0, geq_frequency_code(7)));
    rig.arrives(bus_param(0, geq_frequency_code(7)), hz);
    QCOMPARE(e->geq_label(7)->text(),
             QString::fromStdString(value_text_of_type(value_type::geq_frequency, hz)));
    // A slider being dragged is not set back by the echo of its own write.
    e->geq_slider(3)->set_value(-455);
    e->geq_moved(3, -455);
    QCOMPARE(e->geq_slider(3)->value(), -455.0);
    // ON follows code 76.
    rig.arrives(bus_param(0, 76), 1);
    QCOMPARE(e->geq_on_button()->label_text(), QString("ON"));
    rig.arrives(bus_param(0, 76), 0);
    QCOMPARE(e->geq_on_button()->label_text(), QString("OFF"));
  }

  // The GEQ tab on screen: fifteen sliders side by side across the panel, each under its
  // frequency label, and RESET and ON (with its light) in a row below the panel.
  void graphic_eq_tab_lays_out_sliders_and_buttons() {
    editor_rig rig(host_);
    auto* e = rig.open<edit_output_page>(kind_bus, 0);
    e->show_tab(output_tab_geq);
    QCoreApplication::processEvents();
    auto* panel = e->findChild<QWidget*>("geq_panel");
    QVERIFY(panel && panel->isVisible());
    const auto in_panel = [&](QWidget* w) { return QRect(w->mapTo(panel, QPoint(0, 0)), w->size()); };
    int last_right = -1;
    for (int b = 0; b < edit_output_geq_bands; ++b) {
      const QRect slider = in_panel(e->geq_slider(b));
      const QRect label = in_panel(e->geq_label(b));
      QVERIFY2(e->geq_slider(b)->isVisible() && slider.width() > 0, qPrintable(QString::number(b)));
      QVERIFY2(panel->rect().contains(slider), qPrintable(QString::number(b)));
      QVERIFY2(slider.left() > last_right, qPrintable(QString::number(b)));
      QVERIFY2(label.bottom() <= slider.top() && label.intersects(slider.adjusted(0, -label.height(), 0, 0)),
               qPrintable(QString::number(b)));
      last_right = slider.right();
    }
    QWidget* tab = panel->parentWidget();
    auto* reset = e->findChild<QWidget*>("geq_reset");
    const auto in_tab = [&](QWidget* w) { return QRect(w->mapTo(tab, QPoint(0, 0)), w->size()); };
    const QRect reset_box = in_tab(reset);
    const QRect on_box = in_tab(e->geq_on_button());
    const QRect panel_box = in_tab(panel);
    for (const QRect& r : {reset_box, on_box}) {
      QVERIFY(r.width() >= 100);
      QVERIFY(r.top() > panel_box.bottom());
    }
    QVERIFY(reset->isVisible());
    QVERIFY(reset_box.right() < on_box.left());
    QCOMPARE(e->geq_light()->size(), QSize(16, 16));
    QVERIFY(e->geq_on_button()->rect().contains(QRect(e->geq_light()->pos(), e->geq_light()->size())));
  }

  // The COMP tab on screen: the 360 px curve, and beside it the buttons and cells of the
  // grid, each whole and none over another or over a title.
  void comp_tab_lays_out_its_grid() {
    editor_rig rig(host_);
    auto* e = rig.open<edit_output_page>(kind_bus, 1);
    e->show_tab(output_tab_comp);
    QCoreApplication::processEvents();
    auto* curve = e->findChild<QWidget*>("comp_curve");
    QVERIFY(curve && curve->isVisible());
    QCOMPARE(curve->size(), QSize(360, 360));
    QWidget* tab = curve->parentWidget();
    std::vector<std::pair<QString, QRect>> boxes;
    for (QWidget* w : tab->findChildren<QWidget*>()) {
      if (w == curve || !w->isVisible() || (!qobject_cast<QAbstractButton*>(w) && !qobject_cast<QLabel*>(w))) continue;
      if (w->parentWidget() != tab && w->parentWidget()->parentWidget() != tab) continue;
      const QString what = qobject_cast<QLabel*>(w) ? qobject_cast<QLabel*>(w)->text()
                                                    : static_cast<button*>(w)->label_text();
      boxes.emplace_back(what, QRect(w->mapTo(tab, QPoint(0, 0)), w->size()));
    }
    QVERIFY(boxes.size() >= 12);  // ON, RESET, five titles and five cells
    const QRect curve_box(curve->mapTo(tab, QPoint(0, 0)), curve->size());
    for (std::size_t a = 0; a < boxes.size(); ++a) {
      QVERIFY2(!boxes[a].second.intersects(curve_box), qPrintable(boxes[a].first));
      for (std::size_t b = a + 1; b < boxes.size(); ++b)
        QVERIFY2(!boxes[a].second.intersects(boxes[b].second),
                 qPrintable(boxes[a].first + " over " + boxes[b].first));
    }
  }

  void geq_drag_redraws_within_a_tick() {
    editor_rig rig(host_);
    auto* e = rig.open<edit_output_page>(kind_bus, 0);
    e->show_tab(output_tab_geq);
    fader* f = e->geq_slider(5);
    QTest::qWait(50);
    QElapsedTimer t;
    t.start();
    const QPoint from = f->rect().center();
    QTest::mousePress(f, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, from - QPoint(0, 40), f->mapToGlobal(from - QPoint(0, 40)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f, &move);
    QTest::mouseRelease(f, Qt::LeftButton, {}, from - QPoint(0, 40));
    f->repaint();
    const qint64 ms = t.elapsed();
    qInfo("GEQ band drag to repaint: %lld ms", static_cast<long long>(ms));
    QVERIFY(rig.store().get(bus_param(0, geq_gain_code(5))) != geq_raw_of_slider(0));
    QVERIFY(ms < 100);
  }

  void sends_on_faders_follow_the_bank() {
    editor_rig rig(host_);
    auto* e = rig.open<edit_output_page>(kind_bus, 4);
    e->choose_bank(2);  // ST-FX: stereo inputs, the effect returns and DIGI, no buses
    const std::vector<channel_ref> want{{kind_input, 16}, {kind_input, 18}, {kind_fx, 0}, {kind_fx, 1}, {kind_input, 24}};
    const std::vector<channel_ref> shown = shown_channels(e, edit_output_send_strips);
    QCOMPARE(shown.size(), want.size());
    for (std::size_t n = 0; n < want.size(); ++n) {
      QCOMPARE(shown[n].kind, want[n].kind);
      QCOMPARE(shown[n].index, want[n].index);
    }
    QVERIFY(e->send_strip(0)->lr_shown());   // a stereo input into an aux
    QVERIFY(!e->send_strip(2)->lr_shown());  // an effect return

    // A selected send strip that goes with its bank leaves the fader editing nothing.
    e->select_cell(static_cast<int>(fx_param(1, 177)));
    QCOMPARE(e->selected(), int(fx_param(1, 177)));
    e->choose_bank(0);
    QCOMPARE(e->selected(), int(no_param_id));
    const uint16_t fader_before = rig.store().get(bus_param(4, 62));
    e->universal_moved(-10);
    QCOMPARE(rig.store().get(bus_param(4, 62)), fader_before);
    QVERIFY(!rig.store().dirty().contains(fx_param(1, 177)));
  }

  void pre_and_pos_touch_bit_15_only() {
    editor_rig rig(host_);
    auto* e = rig.open<edit_output_page>(kind_bus, 1);
    const unsigned send = param_id(kind_input, 2, 14);  // CH3 into AUX2
    const uint16_t level = 0x4000 | 700;
    rig.arrives(send, level);
    e->send_pre(2, true);
    QCOMPARE(rig.store().get(send), uint16_t(level | 0x8000));
    QVERIFY(e->send_strip(2)->s_button()->isChecked());
    e->send_pre(2, false);
    QCOMPARE(rig.store().get(send), level);
    QVERIFY(e->send_strip(2)->m_button()->isChecked());
    // The strip's fader keeps both flag bits.
    rig.arrives(send, 0xC000 | 100);
    e->send_moved(2, -10);
    QCOMPARE(rig.store().get(send) & 0xC000, 0xC000);
    QCOMPARE(rig.store().get(send) & level_mask, to_raw(value_type::send_level, -10) & level_mask);
  }

  void lr_with_both_unchecked_stores_mode_3() {
    editor_rig rig(host_);
    auto* e = rig.open<edit_output_page>(kind_bus, 5);
    e->choose_bank(2);
    name_button_fader_strip* s = e->send_strip(0);  // CH17/18
    QVERIFY(s->l_button() && s->r_button());
    s->l_button()->setChecked(false);
    s->r_button()->setChecked(true);
    e->send_lr(0);
    QCOMPARE(send_mode(rig.store(), 16, 5), 2);
    s->r_button()->setChecked(false);
    e->send_lr(0);
    QCOMPARE(send_mode(rig.store(), 16, 5), 3);
    QVERIFY(s->l_button()->isChecked());
    QVERIFY(s->r_button()->isChecked());
  }

  void link_copies_the_pair_and_checks() {
    editor_rig rig(host_);
    auto* e = rig.open<edit_output_page>(kind_bus, 7);
    rig.store().set_local(bus_param(6, 67), 77);
    e->press_link();
    QVERIFY(e->link_button()->isChecked());
    QCOMPARE(rig.store().get(bus_param(7, 67)), uint16_t(77));
    e->press_link();
    QVERIFY(!e->link_button()->isChecked());
    rig.arrives(output_stereo_bits_id, static_cast<uint16_t>(1u << 3));
    QVERIFY(e->link_button()->isChecked());
  }

  void cells_drive_the_universal_fader_and_encoders_filter() {
    editor_rig rig(host_);
    auto* e = rig.open<edit_output_page>(kind_bus, 0);
    param_store& s = rig.store();
    e->select_cell(static_cast<int>(bus_param(0, 88)));  // band 2 frequency
    QVERIFY(e->cell(88)->isChecked());
    QCOMPARE(e->universal_setup().mode, universal_mode::table);
    const uint16_t before = s.get(bus_param(0, 88));
    e->console_encoder(3, 1);  // encoder 3: filter frequencies only
    QCOMPARE(s.get(bus_param(0, 88)), before);
    e->console_encoder(4, 1);
    QVERIFY(s.get(bus_param(0, 88)) != before);
    // A console change of the selected cell moves the universal fader.
    e->select_cell(static_cast<int>(bus_param(0, 67)));
    rig.arrives(bus_param(0, 67), 50);
    QCOMPARE(e->universal()->fader()->value(), universal_fader_value(e->universal_setup(), 50));
    e->select_cell(-1);
    QCOMPARE(e->universal_setup().mode, universal_mode::channel_fader);
  }

  // ---- effects ----

  void effect_buttons_are_numbered_per_effect() {
    editor_rig rig(host_);
    rig.store().set_local(fx_param(1, code_fx_type), 20);
    auto* e = rig.open<edit_efx_page>(kind_fx, 1);
    QVERIFY(e);
    for (int n = 0; n < 16; ++n)
      QCOMPARE(e->type_button(n)->label_text(),
               QString::asprintf("%d. %s", n + 1, effect_type_name(17 + n).c_str()));
    QCOMPARE(e->checked_type_button(), 4);
    QCOMPARE(e->param_cell(0)->title(), QString::fromStdString(effect_param1_label(20)));
    e = rig.open<edit_efx_page>(kind_fx, 0);
    QCOMPARE(e->type_button(0)->label_text(), QString::asprintf("1. %s", effect_type_name(1).c_str()));
  }

  void choosing_a_type_takes_the_table_entry() {
    editor_rig rig(host_);
    auto* e = rig.open<edit_efx_page>(kind_fx, 0);
    param_store& s = rig.store();
    const unsigned entry = effect_table_id(0, 7);
    s.set_local(entry, 7);
    s.set_local(entry + 1, 30);
    s.set_local(entry + 2, 64);
    s.requests().clear();
    e->choose_type(7);
    QCOMPARE(s.get(fx_value_base_id), uint16_t(7));
    QCOMPARE(s.get(fx_param(0, code_fx_type)), uint16_t(7));
    QCOMPARE(s.get(fx_param(0, 212)), uint16_t(30));
    QCOMPARE(s.get(fx_param(0, 213)), uint16_t(64));
    for (int c : {211, 212, 213}) QVERIFY(!s.dirty().contains(fx_param(0, c)));
    QCOMPARE(e->checked_type_button(), 7);
    QVERIFY(e->tap_button()->isVisibleTo(e));
    QVERIFY(!s.requests().contains(fx_param(0, 212)));  // the new values are known
    // A type the console reports asks for the parameters.
    rig.arrives(fx_param(0, code_fx_type), 5);
    for (int c = 212; c <= 215; ++c) QVERIFY(s.requests().contains(fx_param(0, c)));
    QVERIFY(!e->tap_button()->isVisibleTo(e));
    QCOMPARE(e->checked_type_button(), 5);
  }

  // The return's EQ band cells read and edit frequency, gain and Q, not the raw words.
  void effect_band_cells_show_and_edit_band_values() {
    editor_rig rig(host_);
    auto* e = rig.open<edit_efx_page>(kind_fx, 1);
    e->show_tab(efx_tab_peq);
    param_store& s = rig.store();
    const struct {
      int code;
      value_type type;
    } cells[] = {{192, value_type::peq_frequency}, {197, value_type::peq_gain}, {206, value_type::peq_q}};
    for (const auto& c : cells) {
      const unsigned id = fx_param(1, c.code);
      auto* b = qobject_cast<button*>(e->cell(c.code));
      QVERIFY(b);
      QCOMPARE(b->label_text(), QString::fromStdString(value_text_of_type(c.type, s.get(id))));
      QVERIFY(b->label_text() != QString::number(s.get(id)));
      e->select_cell(static_cast<int>(id));
      QCOMPARE(e->universal_setup().type, c.type);
      const uint16_t stepped = step_value_of_type(c.type, s.get(id), 1, step_normal);
      e->console_encoder(0, 1);
      QCOMPARE(s.get(id), stepped);
      QCOMPARE(b->label_text(), QString::fromStdString(value_text_of_type(c.type, stepped)));
    }
  }

  void parameters_use_the_integer_range_of_the_type() {
    editor_rig rig(host_);
    rig.store().set_local(fx_param(0, code_fx_type), 8);
    auto* e = rig.open<edit_efx_page>(kind_fx, 0);
    e->select_cell(static_cast<int>(fx_param(0, 212)));
    QCOMPARE(e->universal_setup().mode, universal_mode::range);
    QCOMPARE(e->universal_setup().max, effect_param1_max(8));
    e->universal_moved(17);
    QCOMPARE(rig.store().get(fx_param(0, 212)), uint16_t(17));
    e->select_cell(static_cast<int>(fx_param(0, 213)));
    QCOMPARE(e->universal_setup().max, 100);
    e->universal_moved(99);
    QCOMPARE(rig.store().get(fx_param(0, 213)), uint16_t(99));
    // The range follows a new type while the cell stays selected.
    e->select_cell(static_cast<int>(fx_param(0, 212)));
    rig.store().set_local(effect_table_id(0, 1), 1);
    e->choose_type(1);
    QCOMPARE(e->universal_setup().max, effect_param1_max(1));
  }

  void tap_sets_parameter_one_on_delay_types() {
    editor_rig rig(host_);
    shared_tap_clock().reset();
    rig.store().set_local(fx_param(0, code_fx_type), 6);
    auto* e = rig.open<edit_efx_page>(kind_fx, 0);
    QVERIFY(e->tap_button()->isVisibleTo(e));
    e->tap(50000);
    e->tap(50400);
    QCOMPARE(rig.store().get(fx_param(0, 212)), uint16_t(68));
    // The last tap is shared: FX2 on type 24 (675 ms cap) measures from FX1's tap.
    rig.store().set_local(fx_param(1, code_fx_type), 24);
    e = rig.open<edit_efx_page>(kind_fx, 1);
    e->tap(50800);
    QCOMPARE(rig.store().get(fx_param(1, 212)), uint16_t(80));
    const uint16_t kept = rig.store().get(fx_param(1, 212));
    e->tap(51800);
    QCOMPARE(rig.store().get(fx_param(1, 212)), kept);
  }

  void effect_sends_and_encoders() {
    editor_rig rig(host_);
    auto* e = rig.open<edit_efx_page>(kind_fx, 1);
    QCOMPARE(e->bank_button(2)->label_text(), QString("STEREO"));
    e->choose_bank(2);
    const std::vector<channel_ref> shown = shown_channels(e, edit_efx_bank_strips);
    QCOMPARE(shown.size(), std::size_t(3));
    QCOMPARE(shown[0].index, 16);
    QCOMPARE(shown[1].index, 18);
    QCOMPARE(shown[2].index, 24);
    // MAIN L/R stay on the last two strips, fed from this effect.
    QCOMPARE(e->send_channel(8).index, main_l_bus);
    e->send_pre(9, true);
    QVERIFY(rig.store().get(fx_param(1, 182)) & 0x8000);
    // An input strip writes the input's send into the effect.
    e->send_pre(0, true);
    QVERIFY(rig.store().get(param_id(kind_input, 16, 26)) & 0x8000);
    e->choose_bank(3);
    QCOMPARE(shown_channels(e, edit_efx_bank_strips).size(), std::size_t(8));
    e->send_pre(3, true);
    QVERIFY(rig.store().get(fx_param(1, 176)) & 0x8000);

    e->select_cell(static_cast<int>(fx_param(1, 192)));
    const uint16_t before = rig.store().get(fx_param(1, 192));
    e->console_encoder(5, 1);
    QCOMPARE(rig.store().get(fx_param(1, 192)), before);
    e->console_encoder(4, 1);
    QVERIFY(rig.store().get(fx_param(1, 192)) != before);
  }
};

QTEST_MAIN(edit_output_test)
#include "edit_output_test.moc"
