// The strips page: which strip shows which channel on each bank and what each kind of
// channel shows; every stored value reaches its control 50 ms later, and only there; the
// user's controls write the right parameters through the linked set; the phantom-power
// question, LINK L&R, selection, names, colours and the strip meters.
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "app/core/options.h"
#include "app/params/channel_state.h"
#include "app/params/convert.h"
#include "app/protocol/engine.h"
#include "app/protocol/messages.h"
#include "app/protocol/session.h"
#include "tests/ui/host_window.h"
#include "tests/ui/page_lookup.h"
#include "tests/ui/pointer.h"
#include "ui/foundation/channel_colours.h"
#include "ui/platform/qt_ui_port.h"
#include "ui/screens/mixer/brief_cont.h"
#include "ui/pages/container_page.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_registry.h"
#include "ui/screens/mixer/meter_bridge.h"
#include "ui/screens/mixer/strips_page.h"
#include "ui/screens/mixer/strips_page_dca.h"
#include "ui/screens/mixer/strips_page_main.h"
#include "ui/screens/mixer/strips_page_phantom.h"
#include "ui/widgets/button.h"
#include "ui/widgets/channel_strip.h"
#include "ui/widgets/eq_graph.h"
#include "ui/widgets/fader.h"
#include "ui/widgets/fader_strip.h"
#include "ui/widgets/level_meter.h"
#include "ui/widgets/level_readout.h"
#include "ui/widgets/long_press.h"
#include "ui/widgets/overlay_layer.h"
#include "ui/widgets/pan_bar.h"
#include "ui/widgets/sends_panel.h"
#include "ui/widgets/text_entry.h"

using namespace vorante;

namespace {

// Logical channels that open each bank.
constexpr int bank_ch1 = 0;
constexpr int bank_st_fx = 16;
constexpr int bank_aux = 28;
constexpr int bank_dca = 38;

unsigned id_of(int kind, int index, int code) { return param_id(kind, index, code); }

// "id=value;id=value" as pairs.
std::vector<std::pair<unsigned, uint16_t>> pairs_of(const QString& text) {
  std::vector<std::pair<unsigned, uint16_t>> out;
  for (const QString& item : text.split(';', Qt::SkipEmptyParts)) {
    const QStringList kv = item.split('=');
    out.emplace_back(kv[0].toUInt(), static_cast<uint16_t>(kv[1].toUInt(nullptr, 0)));
  }
  return out;
}

QString pair(unsigned id, unsigned value) { return QString("%1=%2;").arg(id).arg(value); }

// The program's pieces as main() wires them, with the real strips page in its place.
struct strips_rig {
  runtime_options options;
  qt_ui_port port;
  link_session session{options, port};
  page_registry registry;
  uint32_t now = 1000;
  std::unique_ptr<navigator> nav;

  explicit strips_rig(QWidget* host) {
    session.store.load_defaults();
    registry.set_factory(page_brief_channel, create_strips_page);
    nav = std::make_unique<navigator>(session, registry, [this] { return now; });
    QObject::connect(&port, &qt_ui_port::param_changed, nav.get(), &navigator::on_param);
    QObject::connect(&port, &qt_ui_port::channel_name_changed, nav.get(), &navigator::on_name);
    test::show_root(*nav, host);
  }

  strips_page* page() const { return qobject_cast<strips_page*>(nav->page_on_screen()); }
  channel_strip* strip(int n) const { return page()->strip(n); }
  strips_main_section* main() const { return page()->main_section(); }
  fader_strip* dca(int d) const { return page()->dca_row()->strip(d); }

  brief_cont_page* bar() const { return test::home_page<brief_cont_page>(*nav, page_brief_cont); }

  // The strips page showing the bank of `logical`, laid out.
  void show(int logical) {
    nav->go_to_strips(logical);
    QCoreApplication::processEvents();
  }

  // A value as the console reports it.
  void console_value(unsigned id, uint16_t value) {
    session.store.store_received(id, value);
    port.on_param(static_cast<uint16_t>(id), value, true);
  }

  void bring_link_up() {
    session.engine.enable();
    const id_value heard{100, 0};
    session.engine.feed(make_param_values({&heard, 1}).view());
    session.engine.step(now);
  }
};

QString checked(const QAbstractButton* b) { return b->isChecked() ? "1" : "0"; }
QString one_decimal(double v) { return QString::number(v, 'f', 1); }

// What a control shows, by a short name: "fader 2", "send 0 2 1", "mfader 1", "don 3" ...
QString probe(const strips_rig& rig, const QString& what) {
  const QStringList w = what.split(' ');
  const int n = w.value(1).toInt();
  if (w[0] == "fader") return one_decimal(rig.strip(n)->fader()->value());
  if (w[0] == "readout") return rig.strip(n)->readout()->text();
  if (w[0] == "m") return checked(rig.strip(n)->m_button());
  if (w[0] == "s") return checked(rig.strip(n)->s_button());
  if (w[0] == "48v") return checked(rig.strip(n)->phantom_button());
  if (w[0] == "gate") return rig.strip(n)->gate_lamp()->lit() ? "1" : "0";
  if (w[0] == "comp") return rig.strip(n)->comp_lamp()->lit() ? "1" : "0";
  if (w[0] == "pan") return QString::number(rig.strip(n)->pan()->value());
  if (w[0] == "gain") return rig.strip(n)->gain_label()->text();
  if (w[0] == "name") return rig.strip(n)->name_button()->label_text();
  if (w[0] == "colour") return QString::number(rig.strip(n)->name_button()->released_colours().background, 16);
  if (w[0] == "send") {
    const send_slider* s = rig.strip(n)->sends()->slider(w[2].toInt(), w[3].toInt());
    return QString("%1/%2").arg(s->value()).arg(s->colour() == send_pre_colour ? "pre" : "post");
  }
  if (w[0] == "hp") return one_decimal(rig.strip(n)->eq()->response().highpass()->frequency());
  if (w[0] == "mfader") return one_decimal(rig.main()->fader(n)->value());
  if (w[0] == "mreadout") return rig.main()->readout(n)->text();
  if (w[0] == "mm") return checked(rig.main()->mute_button(n));
  if (w[0] == "ms") return checked(rig.main()->solo_button(n));
  if (w[0] == "link") return checked(rig.main()->link_button());
  if (w[0] == "dfader") return one_decimal(rig.dca(n)->fader()->value());
  if (w[0] == "don") return rig.dca(n)->off_button()->label_text() + " " + checked(rig.dca(n)->off_button());
  if (w[0] == "dname") return rig.dca(n)->name_label()->isHidden() ? "(hidden)" : rig.dca(n)->name_label()->text();
  return "?";
}

// Which parts a strip shows, in one line.
QString parts_of(const channel_strip* s) {
  auto shown = [](const QWidget* w) { return w->isHidden() ? "0" : "1"; };
  QStringList out;
  out << QString("stereo=%1").arg(s->stereo() ? 1 : 0);
  out << QString("gain=%1").arg(shown(s->gain_label()));
  out << QString("gate=%1").arg(shown(s->gate_lamp()));
  out << QString("lamps=%1").arg(shown(s->indicator_row()));
  out << QString("buttons=%1").arg(shown(s->button_row()));
  out << QString("48v=%1").arg(shown(s->phantom_button()));
  out << QString("ms_beside=%1").arg(s->m_button()->parentWidget() != s->button_row() ? 1 : 0);
  out << QString("pan=%1").arg(shown(s->pan_row()));
  out << QString("comp=%1").arg(s->comp_label()->text());
  out << QString("bands=%1").arg(s->eq()->band_count());
  const sends_panel* p = s->sends();
  out << QString("sends=%1").arg(p && !p->isHidden() ? (p->group_box(send_group_fx)->isHidden() ? "aux+main" : "all") : "none");
  return out.join(' ');
}

// A pointer drag on `w` from `from` by `by`; the finger stays down unless `lift`.
void drag(QWidget* w, QPoint from, QPoint by, bool lift = true) {
  QTest::mousePress(w, Qt::LeftButton, {}, from);
  const QPoint to = from + by;
  test::move_to(w, to);
  if (lift) QTest::mouseRelease(w, Qt::LeftButton, {}, to);
}

void drag_fader(fader* f, int dy, bool lift = true) { drag(f, f->knob_geometry().center(), QPoint(0, dy), lift); }

void drag_send(send_slider* s, int dx) { drag(s, s->knob_rect_of(s->value()).center().toPoint(), QPoint(dx, 0)); }

// The fader a drag row names.
fader* fader_named(const strips_rig& rig, const QString& what) {
  const QStringList w = what.split(' ');
  const int n = w[1].toInt();
  if (w[0] == "fader") return rig.strip(n)->fader();
  if (w[0] == "mfader") return rig.main()->fader(n);
  return rig.dca(n)->fader();
}

QAbstractButton* button_named(const strips_rig& rig, const QString& what) {
  const QStringList w = what.split(' ');
  const int n = w[1].toInt();
  if (w[0] == "m") return rig.strip(n)->m_button();
  if (w[0] == "s") return rig.strip(n)->s_button();
  if (w[0] == "48v") return rig.strip(n)->phantom_button();
  if (w[0] == "mm") return rig.main()->mute_button(n);
  if (w[0] == "ms") return rig.main()->solo_button(n);
  if (w[0] == "don") return rig.dca(n)->off_button();
  if (w[0] == "link") return rig.main()->link_button();
  return nullptr;
}

}  // namespace

class strips_page_test : public test::host_window_test {
  Q_OBJECT

 public:
  strips_page_test() : host_window_test({1280, 800}) {}

 private slots:
  // ---- banks ------------------------------------------------------------------------------

  void bank_places_its_channels_data() {
    QTest::addColumn<int>("bank");
    QTest::addColumn<QString>("not_fitted");  // "kind.index" list
    QTest::addColumn<QString>("expected");    // "kind.index@column,row" per strip; "dca" for the DCA row
    QTest::newRow("CH1-8") << 0 << ""
                           << "1.0@0,0 1.1@1,0 1.2@2,0 1.3@3,0 1.4@0,1 1.5@1,1 1.6@2,1 1.7@3,1";
    QTest::newRow("CH9-16") << 1 << ""
                            << "1.8@0,0 1.9@1,0 1.10@2,0 1.11@3,0 1.12@0,1 1.13@1,1 1.14@2,1 1.15@3,1";
    QTest::newRow("ST-FX: inputs first, effects start row 2") << 2 << "" << "1.16@0,0 1.18@1,0 1.24@2,0 2.0@0,1 2.1@1,1";
    QTest::newRow("ST-FX without DIGI: effects still on row 2") << 2 << "1.24" << "1.16@0,0 1.18@1,0 2.0@0,1 2.1@1,1";
    QTest::newRow("AUX1-8") << 3 << "" << "3.0@0,0 3.1@1,0 3.2@2,0 3.3@3,0 3.4@0,1 3.5@1,1 3.6@2,1 3.7@3,1";
    QTest::newRow("CH1-8 without CH3: the rest close up") << 0 << "1.2"
                                                          << "1.0@0,0 1.1@1,0 1.3@2,0 1.4@3,0 1.5@0,1 1.6@1,1 1.7@2,1";
    QTest::newRow("DCA1-4") << 4 << "" << "dca";
    QTest::newRow("bank beyond the table") << 5 << "" << "none";
    QTest::newRow("bank before the table") << -1 << "" << "none";
  }
  void bank_places_its_channels() {
    QFETCH(int, bank);
    QFETCH(QString, not_fitted);
    QFETCH(QString, expected);
    const QStringList missing = not_fitted.split(' ', Qt::SkipEmptyParts);
    const auto layout = layout_bank(bank, [&missing](int kind, int index) {
      return missing.contains(QString("%1.%2").arg(kind).arg(index));
    });
    QString got = "none";
    if (layout && layout->dca_row) {
      got = "dca";
    } else if (layout) {
      QStringList places;
      for (int k = 0; k < layout->count; ++k) {
        const strip_place& p = layout->strips[static_cast<size_t>(k)];
        places << QString("%1.%2@%3,%4").arg(p.channel.kind).arg(p.channel.index).arg(p.column).arg(p.row);
      }
      got = places.join(' ');
    }
    QCOMPARE(got, expected);
  }

  void each_kind_of_channel_shows_its_parts_data() {
    QTest::addColumn<int>("logical");
    QTest::addColumn<int>("strip");
    QTest::addColumn<QString>("parts");
    QTest::newRow("mono input") << bank_ch1 << 2
                                << "stereo=0 gain=1 gate=1 lamps=1 buttons=1 48v=1 ms_beside=0 pan=1 comp=C bands=4 sends=all";
    QTest::newRow("stereo input") << bank_st_fx << 1
                                  << "stereo=1 gain=0 gate=0 lamps=1 buttons=0 48v=0 ms_beside=1 pan=1 comp=C bands=4 sends=all";
    QTest::newRow("effect return") << bank_st_fx << 4
                                   << "stereo=0 gain=0 gate=0 lamps=0 buttons=1 48v=0 ms_beside=0 pan=0 comp=C bands=4 "
                                      "sends=aux+main";
    QTest::newRow("aux output") << bank_aux << 7
                                << "stereo=0 gain=0 gate=0 lamps=1 buttons=1 48v=0 ms_beside=0 pan=0 comp=COMP bands=7 sends=none";
    // Coming back from the aux bank, a mono input has all its parts again.
    QTest::newRow("mono input after the aux bank") << -2 << 0
                                                   << "stereo=0 gain=1 gate=1 lamps=1 buttons=1 48v=1 ms_beside=0 pan=1 comp=C "
                                                      "bands=4 sends=all";
  }
  void each_kind_of_channel_shows_its_parts() {
    QFETCH(int, logical);
    QFETCH(int, strip);
    QFETCH(QString, parts);
    strips_rig rig(host_);
    if (logical == -2) {
      rig.show(bank_aux);
      rig.show(bank_st_fx);
      logical = bank_ch1;
    }
    rig.show(logical);
    QCOMPARE(parts_of(rig.strip(strip)), parts);
  }

  void the_page_shows_the_bank_it_is_opened_with_data() {
    QTest::addColumn<int>("logical");
    QTest::addColumn<QString>("names");  // of the visible strips in order, or of the DCA strips
    QTest::newRow("CH1-8") << 3 << "CH1 CH2 CH3 CH4 CH5 CH6 CH7 CH8";
    QTest::newRow("CH9-16") << 9 << "CH9 CH10 CH11 CH12 CH13 CH14 CH15 CH16";
    QTest::newRow("ST-FX") << 26 << "CH17/18 CH19/20 DIGI FX1 FX2";
    QTest::newRow("AUX1-8") << 30 << "AUX1 AUX2 AUX3 AUX4 AUX5 AUX6 AUX7 AUX8";
    QTest::newRow("DCA1-4") << 39 << "DCA1 DCA2 DCA3 DCA4";
    // The MAIN buses are on no bank: the page stays where it was.
    QTest::newRow("MAIN L keeps the bank") << 36 << "CH1 CH2 CH3 CH4 CH5 CH6 CH7 CH8";
  }
  void the_page_shows_the_bank_it_is_opened_with() {
    QFETCH(int, logical);
    QFETCH(QString, names);
    strips_rig rig(host_);
    rig.show(logical);
    strips_page* page = rig.page();
    QVERIFY(page);
    const bool dca = logical >= 38;
    QCOMPARE(page->strip_grid()->isHidden(), dca);
    QCOMPARE(page->dca_row()->isHidden(), !dca);
    QStringList shown;
    for (int n = 0; n < strip_count; ++n) {
      if (dca && n < dca_count) shown << probe(rig, QString("dname %1").arg(n));
      if (!dca && !rig.strip(n)->isHidden()) shown << rig.strip(n)->name_button()->label_text();
    }
    QCOMPARE(shown.join(' '), names);
    // The bank tab follows the bank on screen.
    QCOMPARE(rig.bar()->highlighted_tab(), page->bank_on_screen());
  }

  // ---- from the store to the strips -------------------------------------------------------

  void stored_values_reach_their_control_data() {
    QTest::addColumn<int>("logical");
    QTest::addColumn<QString>("writes");
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("shows");
    const QString level_text = QString::fromStdString(value_text_of_type(value_type::fader_level, 1100));
    auto pos = [](uint16_t raw) { return QString::number(position_of(value_type::send_level, raw)); };

    QTest::newRow("input fader") << bank_ch1 << pair(id_of(1, 2, 12), 1100) << "fader 2" << "-10.0";
    QTest::newRow("input level readout") << bank_ch1 << pair(id_of(1, 2, 12), 1100) << "readout 2" << level_text;
    QTest::newRow("input mute") << bank_ch1 << pair(id_of(1, 2, 10), 0) << "m 2" << "1";
    QTest::newRow("input phantom") << bank_ch1 << pair(id_of(1, 2, 1), 1) << "48v 2" << "1";
    QTest::newRow("input gate") << bank_ch1 << pair(id_of(1, 5, 2), 0) << "gate 5" << "0";
    QTest::newRow("input gain") << bank_ch1 << pair(id_of(1, 3, 8), 25) << "gain 3" << "GAIN\n25.0dB";
    QTest::newRow("input pan") << bank_ch1 << pair(id_of(1, 4, 11), to_raw(value_type::pan, 50)) << "pan 4" << "50";
    QTest::newRow("input solo") << bank_ch1 << pair(id_of(1, 1, 23), 1200) << "s 1" << "1";
    QTest::newRow("input solo with bit 14 reads off") << bank_ch1 << pair(id_of(1, 1, 23), 0x4000 | 1200) << "s 1" << "0";
    QTest::newRow("input compressor") << bank_ch1 << pair(id_of(1, 6, 29), 0) << "comp 6" << "0";
    QTest::newRow("input high-pass frequency") << bank_ch1 << pair(id_of(1, 6, 39), 1000) << "hp 6"
                                               << one_decimal(to_physical(value_type::highpass_frequency, 1000));
    QTest::newRow("input pre-fader aux send") << bank_ch1 << pair(id_of(1, 2, 15), 0x8000 | 1200) << "send 2 0 2"
                                              << pos(1200) + "/pre";
    QTest::newRow("input MAIN L send") << bank_ch1 << pair(id_of(1, 2, 21), 0) << "send 2 2 0" << pos(0) + "/post";
    QTest::newRow("a channel on another bank changes nothing") << bank_ch1 << pair(id_of(1, 9, 12), 1100) << "fader 1"
                                                               << "-120.0";
    QTest::newRow("channel colour") << bank_ch1 << pair(colour_base_id + 2, 5) << "colour 2"
                                    << QString::number(channel_colours[5], 16);
    QTest::newRow("colour beyond the table is the default") << bank_ch1 << pair(colour_base_id + 2, 13) << "colour 2"
                                                            << QString::number(channel_colours[0], 16);

    // Stereo pairs: the right member shows only through the left member's sends.
    QTest::newRow("right member's MAIN R send") << bank_st_fx << pair(id_of(1, 17, 22), 1000) << "send 0 2 1"
                                                << pos(1000) + "/post";
    QTest::newRow("left member's own MAIN R is not shown") << bank_st_fx << pair(id_of(1, 16, 22), 1000) << "send 0 2 1"
                                                           << pos(1200) + "/post";
    QTest::newRow("right member's aux send in right-only mode") << bank_st_fx
                                                                << pair(send_mode_base_id, 2) + pair(id_of(1, 17, 13), 1000)
                                                                << "send 0 0 0" << pos(1000) + "/post";
    QTest::newRow("right member's aux send in left-only mode") << bank_st_fx
                                                               << pair(send_mode_base_id, 1) + pair(id_of(1, 17, 13), 1000)
                                                               << "send 0 0 0" << pos(0) + "/post";
    QTest::newRow("right member's aux send in both-sides mode") << bank_st_fx
                                                                << pair(send_mode_base_id, 3) + pair(id_of(1, 17, 13), 1000)
                                                                << "send 0 0 0" << pos(0) + "/post";
    QTest::newRow("right member's fader is not shown") << bank_st_fx << pair(id_of(1, 17, 12), 1100) << "fader 0"
                                                       << "-120.0";
    QTest::newRow("effect return fader") << bank_st_fx << pair(id_of(2, 0, 171), 1200) << "fader 3" << "0.0";
    QTest::newRow("effect return mute") << bank_st_fx << pair(id_of(2, 1, 172), 0) << "m 4" << "1";

    QTest::newRow("aux fader") << bank_aux << pair(id_of(3, 2, 62), 1200) << "fader 2" << "0.0";
    QTest::newRow("aux compressor") << bank_aux << pair(id_of(3, 2, 68), 0) << "comp 2" << "0";
    QTest::newRow("aux solo") << bank_aux << pair(id_of(3, 0, 74), 1200) << "s 0" << "1";
    QTest::newRow("linked right aux solos on its second feed")
        << bank_aux << pair(output_stereo_bits_id, 1) + pair(id_of(3, 1, 75), 1200) << "s 1" << "1";
    QTest::newRow("unlinked aux ignores its second feed") << bank_aux << pair(id_of(3, 1, 75), 1200) << "s 1" << "0";

    QTest::newRow("MAIN L fader") << bank_ch1 << pair(main_l_fader_id, 1100) << "mfader 0" << "-10.0";
    QTest::newRow("MAIN L readout") << bank_ch1 << pair(main_l_fader_id, 1100) << "mreadout 0" << level_text;
    QTest::newRow("MAIN R mute") << bank_aux << pair(id_of(3, 9, 64), 0) << "mm 1" << "1";
    QTest::newRow("MAIN L solo off") << bank_ch1 << pair(main_l_solo_id, 0) << "ms 0" << "0";
    QTest::newRow("MAIN R solo off") << bank_ch1 << pair(main_r_solo_id, 0) << "ms 1" << "0";
    QTest::newRow("MAIN R's left feed is not its solo") << bank_ch1 << pair(main_r_solo_id, 0) + pair(main_r_solo_id - 1, 1200)
                                                        << "ms 1" << "0";
    QTest::newRow("LINK L&R") << bank_st_fx << pair(output_stereo_bits_id, 1 << 4) << "link" << "1";

    QTest::newRow("DCA fader") << bank_dca << pair(id_of(4, 1, code_fader), 1100) << "dfader 1" << "-10.0";
    QTest::newRow("DCA on") << bank_dca << pair(id_of(4, 2, 217), 1) << "don 2" << "ON 1";
  }
  void stored_values_reach_their_control() {
    QFETCH(int, logical);
    QFETCH(QString, writes);
    QFETCH(QString, what);
    QFETCH(QString, shows);
    strips_rig rig(host_);
    rig.show(logical);
    strips_page* page = rig.page();
    page->flush_redraw();
    const QString before = probe(rig, what);

    for (const auto& [id, value] : pairs_of(writes)) rig.console_value(id, value);
    // Nothing moves until the batch is drawn.
    QVERIFY(page->redraw_pending());
    QCOMPARE(probe(rig, what), before);
    page->flush_redraw();
    QCOMPARE(probe(rig, what), shows);
  }

  void a_burst_of_changes_is_drawn_once_within_50_ms() {
    strips_rig rig(host_);
    rig.show(bank_ch1);
    strips_page* page = rig.page();
    for (int v = 0; v <= 1100; v += 100) rig.console_value(id_of(1, 0, 12), static_cast<uint16_t>(v));
    QVERIFY(page->redraw_pending());
    QTRY_VERIFY_WITH_TIMEOUT(!page->redraw_pending(), 1000);
    QCOMPARE(probe(rig, "fader 0"), QString("-10.0"));
  }

  // ---- from the user to the store ---------------------------------------------------------

  void buttons_write_through_the_linked_set_data() {
    QTest::addColumn<int>("logical");
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("click");
    QTest::addColumn<QString>("writes");
    QTest::newRow("M mutes an input") << bank_ch1 << "" << "m 2" << pair(id_of(1, 2, 10), 0);
    QTest::newRow("M again unmutes") << bank_ch1 << pair(id_of(1, 2, 10), 0) << "m 2" << pair(id_of(1, 2, 10), 1);
    QTest::newRow("M on a linked pair mutes both") << bank_ch1 << pair(input_stereo_bits_id, 1) << "m 0"
                                                   << pair(id_of(1, 0, 10), 0) + pair(id_of(1, 1, 10), 0);
    QTest::newRow("S solos both feeds") << bank_ch1 << "" << "s 1" << pair(id_of(1, 1, 23), 1200) + pair(id_of(1, 1, 24), 1200);
    QTest::newRow("S keeps the flag bits") << bank_ch1 << pair(id_of(1, 1, 23), 0x8000) << "s 1"
                                           << pair(id_of(1, 1, 23), 0x8000 | 1200) + pair(id_of(1, 1, 24), 0x8000 | 1200);
    QTest::newRow("M on an effect return") << bank_st_fx << "" << "m 3" << pair(id_of(2, 0, 172), 0);
    QTest::newRow("S on an aux") << bank_aux << "" << "s 3" << pair(id_of(3, 3, 74), 1200) + pair(id_of(3, 3, 75), 1200);
    QTest::newRow("MAIN L M") << bank_ch1 << "" << "mm 0" << pair(id_of(3, 8, 64), 0);
    QTest::newRow("MAIN L S solos its left feed and silences the other")
        << bank_ch1 << pair(main_l_solo_id, 0) + pair(main_l_solo_id + 1, 1200) << "ms 0"
        << pair(main_l_solo_id, 1200) + pair(main_l_solo_id + 1, 0);
    QTest::newRow("MAIN R S solos its right feed and silences the other")
        << bank_ch1 << pair(main_r_solo_id, 0) + pair(main_r_solo_id - 1, 1200) << "ms 1"
        << pair(main_r_solo_id, 1200) + pair(main_r_solo_id - 1, 0);
    QTest::newRow("DCA switch on") << bank_dca << "" << "don 1" << pair(id_of(4, 1, 217), 1);
    QTest::newRow("DCA switch off") << bank_dca << pair(id_of(4, 1, 217), 1) << "don 1" << pair(id_of(4, 1, 217), 0);
  }
  void buttons_write_through_the_linked_set() {
    QFETCH(int, logical);
    QFETCH(QString, setup);
    QFETCH(QString, click);
    QFETCH(QString, writes);
    strips_rig rig(host_);
    for (const auto& [id, value] : pairs_of(setup)) rig.session.store.store_received(id, value);
    rig.show(logical);
    QAbstractButton* b = button_named(rig, click);
    QVERIFY(b);
    QTest::mouseClick(b, Qt::LeftButton);
    for (const auto& [id, value] : pairs_of(writes)) {
      QCOMPARE(rig.session.store.get(id), value);
      // The quiet half of a MAIN solo is written too, and everything is on its way out.
      QVERIFY2(rig.session.store.dirty().contains(id), qPrintable(QString("ID %1 not sent").arg(id)));
    }
  }

  void faders_write_the_level_they_show_data() {
    QTest::addColumn<int>("logical");
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QList<unsigned>>("ids");  // every ID that must hold the fader's level
    QTest::newRow("input fader") << bank_ch1 << "" << "fader 2" << QList<unsigned>{id_of(1, 2, 12)};
    QTest::newRow("linked pair moves both") << bank_ch1 << pair(input_stereo_bits_id, 1) << "fader 0"
                                            << QList<unsigned>{id_of(1, 0, 12), id_of(1, 1, 12)};
    QTest::newRow("stereo pair moves both") << bank_st_fx << "" << "fader 0"
                                            << QList<unsigned>{id_of(1, 16, 12), id_of(1, 17, 12)};
    QTest::newRow("effect return fader") << bank_st_fx << "" << "fader 3" << QList<unsigned>{id_of(2, 0, 171)};
    QTest::newRow("aux fader") << bank_aux << "" << "fader 5" << QList<unsigned>{id_of(3, 5, 62)};
    QTest::newRow("MAIN R fader") << bank_ch1 << "" << "mfader 1" << QList<unsigned>{unsigned{main_r_fader_id}};
    QTest::newRow("linked MAIN moves both") << bank_ch1 << pair(output_stereo_bits_id, 1 << 4) << "mfader 0"
                                            << QList<unsigned>{unsigned{main_l_fader_id}, unsigned{main_r_fader_id}};
    QTest::newRow("DCA fader") << bank_dca << "" << "dfader 2" << QList<unsigned>{id_of(4, 2, code_fader)};
  }
  void faders_write_the_level_they_show() {
    QFETCH(int, logical);
    QFETCH(QString, setup);
    QFETCH(QString, control);
    QFETCH(QList<unsigned>, ids);
    strips_rig rig(host_);
    for (const auto& [id, value] : pairs_of(setup)) rig.session.store.store_received(id, value);
    rig.show(logical);
    fader* f = fader_named(rig, control);
    const double start = f->value();
    drag_fader(f, -f->travel().span() / 2);
    QVERIFY(f->value() > start);
    for (unsigned id : ids) {
      QCOMPARE(rig.session.store.get(id), to_raw(value_type::fader_level, f->value()));
      QVERIFY(rig.session.store.dirty().contains(id));
    }
  }

  void sends_write_their_level_and_keep_the_flags_data() {
    QTest::addColumn<int>("logical");
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("slider");  // strip group item
    QTest::addColumn<unsigned>("id");     // takes the level
    QTest::addColumn<uint16_t>("flags");
    QTest::addColumn<QString>("also");    // further writes
    QTest::newRow("pre-fader aux send stays pre-fader") << bank_ch1 << pair(id_of(1, 2, 14), 0x8000 | 600) << "2 0 1"
                                                        << id_of(1, 2, 14) << uint16_t{0x8000} << "";
    QTest::newRow("FX send") << bank_ch1 << "" << "2 1 0" << id_of(1, 2, 25) << uint16_t{0} << "";
    QTest::newRow("MAIN R of a stereo pair goes to the right member")
        << bank_st_fx << pair(id_of(1, 17, 22), 0x8000 | 1000) << "0 2 1" << id_of(1, 17, 22) << uint16_t{0x8000}
        << pair(id_of(1, 16, 22), 0);
    QTest::newRow("right-only aux send of a stereo pair") << bank_st_fx
                                                          << pair(send_mode_base_id, 2) + pair(id_of(1, 17, 13), 0x8000 | 1000)
                                                          << "0 0 0" << id_of(1, 17, 13) << uint16_t{0x8000}
                                                          << pair(id_of(1, 16, 13), 0);
    QTest::newRow("effect return MAIN L") << bank_st_fx << "" << "3 2 0" << id_of(2, 0, 181) << uint16_t{0} << "";
  }
  void sends_write_their_level_and_keep_the_flags() {
    QFETCH(int, logical);
    QFETCH(QString, setup);
    QFETCH(QString, slider);
    QFETCH(unsigned, id);
    QFETCH(uint16_t, flags);
    QFETCH(QString, also);
    strips_rig rig(host_);
    for (const auto& [sid, value] : pairs_of(setup)) rig.session.store.store_received(sid, value);
    rig.show(logical);
    const QStringList w = slider.split(' ');
    send_slider* s = rig.strip(w[0].toInt())->sends()->slider(w[1].toInt(), w[2].toInt());
    QVERIFY(s && s->isVisible());
    const int start = s->value();
    drag_send(s, start > 50 ? -static_cast<int>(s->track_rect().width() / 4) : static_cast<int>(s->track_rect().width() / 4));
    QVERIFY(s->value() != start);
    const uint16_t level = raw_of_position(value_type::send_level, s->value() / 100.0) & 0x1FFF;
    QCOMPARE(rig.session.store.get(id), static_cast<uint16_t>(level | flags));
    QVERIFY(rig.session.store.dirty().contains(id));
    for (const auto& [aid, value] : pairs_of(also)) QCOMPARE(rig.session.store.get(aid), value);
  }

  void pan_writes_unless_the_input_is_linked_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<bool>("writes");
    QTest::newRow("mono input") << "" << true;
    QTest::newRow("linked input: pan follows the editor") << pair(input_stereo_bits_id, 2) << false;
  }
  void pan_writes_unless_the_input_is_linked() {
    QFETCH(QString, setup);
    QFETCH(bool, writes);
    strips_rig rig(host_);
    for (const auto& [id, value] : pairs_of(setup)) rig.session.store.store_received(id, value);
    rig.show(bank_ch1);
    pan_bar* p = rig.strip(2)->pan();
    QTest::mouseClick(p, Qt::LeftButton, {}, QPoint(p->width() - 2, p->height() / 2));
    const uint16_t stored = rig.session.store.get(id_of(1, 2, 11));
    QCOMPARE(stored == to_raw(value_type::pan, pan_max), writes);
    QCOMPARE(rig.session.store.dirty().contains(id_of(1, 2, 11)), writes);
  }

  // The fader under the finger follows the finger; the store's echo waits for the release.
  void a_dragged_fader_does_not_take_the_echo() {
    strips_rig rig(host_);
    rig.show(bank_ch1);
    strips_page* page = rig.page();
    fader* f = rig.strip(0)->fader();
    drag_fader(f, -f->travel().span() / 2, false);
    QVERIFY(f->dragging());
    const double held = f->value();
    rig.console_value(id_of(1, 0, 12), 1200);
    page->flush_redraw();
    QCOMPARE(f->value(), held);
    // Still waiting to be shown.
    QVERIFY(page->redraw_pending());
    QTest::mouseRelease(f, Qt::LeftButton, {}, f->knob_geometry().center());
    page->flush_redraw();
    QCOMPARE(probe(rig, "fader 0"), QString("0.0"));
  }

  // A layer key pressed while a finger is on a fader: the fader lets go, so the rest of the
  // drag cannot land on the channel the strip shows next.
  void a_bank_change_ends_a_drag() {
    strips_rig rig(host_);
    rig.show(bank_ch1);
    fader* f = rig.strip(0)->fader();
    drag_fader(f, -f->travel().span() / 4, false);
    QVERIFY(f->dragging());
    rig.nav->select_layer(1);
    QCOMPARE(rig.page()->bank_on_screen(), 1);
    QVERIFY(!f->dragging());
    const QPoint further = f->knob_geometry().center() - QPoint(0, f->travel().span() / 4);
    test::move_to(f, further);
    QVERIFY(!rig.session.store.dirty().contains(id_of(1, 8, 12)));
  }

  // ---- phantom power ----------------------------------------------------------------------

  void phantom_goes_on_only_after_yes_data() {
    QTest::addColumn<QString>("answer");  // "no", "yes", or "reopen" (the page is opened again)
    QTest::addColumn<uint16_t>("phantom");
    QTest::newRow("NO writes nothing") << "no" << uint16_t{0};
    QTest::newRow("YES switches it on") << "yes" << uint16_t{1};
    QTest::newRow("opening the page drops the question") << "reopen" << uint16_t{0};
  }
  void phantom_goes_on_only_after_yes() {
    QFETCH(QString, answer);
    QFETCH(uint16_t, phantom);
    strips_rig rig(host_);
    rig.show(bank_ch1);
    strips_page* page = rig.page();
    const unsigned id = id_of(1, 2, 1);
    QTest::mouseClick(rig.strip(2)->phantom_button(), Qt::LeftButton);
    phantom_confirm* ask = page->phantom();
    QVERIFY(ask->isVisible());
    QCOMPARE(ask->pending(), std::optional<int>(2));
    QCOMPARE(ask->question()->text(), QString("Are you sure to turn on the phantom power?"));
    QVERIFY(!rig.strip(2)->phantom_button()->isChecked());
    QCOMPARE(rig.session.store.get(id), uint16_t{0});
    QVERIFY(!rig.session.store.dirty().contains(id));

    if (answer == "no") QTest::mouseClick(ask->no_button(), Qt::LeftButton);
    if (answer == "yes") QTest::mouseClick(ask->yes_button(), Qt::LeftButton);
    if (answer == "reopen") rig.show(bank_ch1);
    QVERIFY(!ask->isVisible());
    QVERIFY(!ask->pending());
    QCOMPARE(rig.session.store.get(id), phantom);
    QCOMPARE(rig.session.store.dirty().contains(id), phantom != 0);
    page->flush_redraw();
    QCOMPARE(rig.strip(2)->phantom_button()->isChecked(), phantom != 0);
  }

  void phantom_goes_off_without_a_question() {
    strips_rig rig(host_);
    rig.session.store.store_received(id_of(1, 2, 1), 1);
    rig.show(bank_ch1);
    QVERIFY(rig.strip(2)->phantom_button()->isChecked());
    QTest::mouseClick(rig.strip(2)->phantom_button(), Qt::LeftButton);
    QVERIFY(!rig.page()->phantom()->isVisible());
    QCOMPARE(rig.session.store.get(id_of(1, 2, 1)), uint16_t{0});
    QVERIFY(!rig.strip(2)->phantom_button()->isChecked());
  }

  // ---- MAIN -------------------------------------------------------------------------------

  void link_copies_main_l_to_main_r_then_links() {
    strips_rig rig(host_);
    param_store& store = rig.session.store;
    store.store_received(main_l_fader_id, 1100);
    store.store_received(id_of(3, 8, 64), 0);    // MAIN L muted
    store.store_received(id_of(3, 8, 90), 777);  // an EQ band
    store.store_received(main_r_solo_id - 1, 1200);
    rig.show(bank_ch1);
    button* link = rig.main()->link_button();
    QVERIFY(!link->isChecked());

    QTest::mouseClick(link, Qt::LeftButton);
    QVERIFY(stereo_bit(store, kind_bus, main_r_bus));
    QVERIFY(link->isChecked());
    QCOMPARE(store.get(main_r_fader_id), uint16_t{1100});
    QCOMPARE(store.get(id_of(3, 9, 64)), uint16_t{0});
    QCOMPARE(store.get(id_of(3, 9, 90)), uint16_t{777});
    QCOMPARE(store.get(main_r_solo_id), store.get(main_l_solo_id));
    QCOMPARE(store.get(main_r_solo_id - 1), uint16_t{0});
    rig.page()->flush_redraw();
    QCOMPARE(probe(rig, "mfader 1"), QString("-10.0"));
    QCOMPARE(probe(rig, "mm 1"), QString("1"));

    // Unlinking leaves both as they are.
    store.store_received(main_l_fader_id, 1000);
    QTest::mouseClick(link, Qt::LeftButton);
    QVERIFY(!stereo_bit(store, kind_bus, main_r_bus));
    QVERIFY(!link->isChecked());
    QCOMPARE(store.get(main_r_fader_id), uint16_t{1100});
  }

  // ---- selection --------------------------------------------------------------------------

  void selection_highlights_the_strip_and_its_linked_partner() {
    strips_rig rig(host_);
    rig.session.store.store_received(input_stereo_bits_id, 1 << 2);  // CH5/CH6
    rig.show(bank_ch1);
    QCOMPARE(rig.page()->selected_strip(), 0);
    QTest::mouseClick(rig.strip(4), Qt::LeftButton, {}, QPoint(3, 3));
    QCOMPARE(rig.page()->selected_strip(), 4);
    QStringList lit;
    for (int n = 0; n < strip_count; ++n)
      if (rig.strip(n)->selected()) lit << QString::number(n);
    QCOMPARE(lit.join(' '), QString("4 5"));
    // A tap on a control of another strip selects that strip too.
    QTest::mouseClick(rig.strip(2)->m_button(), Qt::LeftButton);
    QCOMPARE(rig.page()->selected_strip(), 2);
    QVERIFY(!rig.strip(4)->selected() && !rig.strip(5)->selected());
  }

  void each_bank_remembers_its_selection_and_a_channel_brings_its_bank() {
    strips_rig rig(host_);
    rig.show(bank_ch1);
    QTest::mouseClick(rig.strip(3), Qt::LeftButton, {}, QPoint(3, 3));
    rig.nav->select_bank(3);
    QCOMPARE(rig.page()->bank_on_screen(), 3);
    QCOMPARE(rig.page()->selected_strip(), 0);
    QTest::mouseClick(rig.strip(6), Qt::LeftButton, {}, QPoint(3, 3));
    rig.nav->select_bank(0);
    QCOMPARE(rig.page()->selected_strip(), 3);
    rig.nav->select_bank(3);
    QCOMPARE(rig.page()->selected_strip(), 6);
    // FX2 is on ST-FX: the page goes there and selects it; the tab follows.
    rig.show(27);
    QCOMPARE(rig.page()->bank_on_screen(), 2);
    QCOMPARE(rig.page()->selected_strip(), 4);
    QCOMPARE(rig.bar()->highlighted_tab(), 2);
  }

  // ---- names and colours ------------------------------------------------------------------

  void names_from_the_console_data() {
    QTest::addColumn<int>("logical");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("shows");
    QTest::newRow("input") << 4 << "Kick" << "name 4" << "Kick";
    QTest::newRow("empty input name") << 4 << "" << "name 4" << "CH5";
    QTest::newRow("empty stereo name") << 16 << "" << "name 0" << "CH17/18";
    QTest::newRow("empty DIGI name") << 24 << "" << "name 2" << "DIGI";
    QTest::newRow("empty effect name") << 26 << "" << "name 3" << "FX1";
    QTest::newRow("empty aux name") << 30 << "" << "name 2" << "AUX3";
    QTest::newRow("DCA name") << 39 << "Drums" << "dname 1" << "Drums";
    QTest::newRow("empty DCA name") << 39 << "" << "dname 1" << "DCA2";
  }
  void names_from_the_console() {
    QFETCH(int, logical);
    QFETCH(QString, text);
    QFETCH(QString, what);
    QFETCH(QString, shows);
    strips_rig rig(host_);
    rig.show(logical);
    rig.port.on_name(logical, "Something else");
    rig.port.on_name(logical, text.toStdString());
    QCOMPARE(probe(rig, what), shows);
  }

  void a_long_press_on_the_name_renames_the_channel_data() {
    QTest::addColumn<int>("logical");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("named");
    QTest::newRow("input") << 3 << "Snare" << "Snare";
    QTest::newRow("empty restores the default") << 4 << "" << "CH5";
    QTest::newRow("DCA") << 39 << "Drums" << "Drums";
    QTest::newRow("empty DCA name restores the default") << 40 << "" << "DCA3";
  }
  void a_long_press_on_the_name_renames_the_channel() {
    QFETCH(int, logical);
    QFETCH(QString, typed);
    QFETCH(QString, named);
    strips_rig rig(host_);
    rig.show(logical);
    const bool dca = logical >= bank_dca;
    QWidget* label = dca ? static_cast<QWidget*>(rig.dca(logical - bank_dca)->name_label())
                         : rig.strip(rig.page()->strip_of_logical(logical))->name_button();
    label->findChild<long_press*>()->fire();
    QVERIFY(text_entry_is_open());
    auto* edit = host_->findChild<QLineEdit*>();
    QVERIFY(edit);
    edit->setText(typed);
    text_entry_close(true);
    const QString shown = dca ? probe(rig, QString("dname %1").arg(logical - bank_dca))
                              : probe(rig, QString("name %1").arg(rig.page()->strip_of_logical(logical)));
    QCOMPARE(shown, named);
    QCOMPARE(QString::fromUtf8(rig.session.engine.names().channel_name(logical).data()), named);
  }

  void names_and_edit_buttons_open_the_editor_data() {
    QTest::addColumn<int>("logical");
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("index");
    QTest::newRow("input name") << bank_ch1 << "name 5" << 1 << 5;
    QTest::newRow("stereo name") << bank_st_fx << "name 1" << 1 << 18;
    QTest::newRow("effect name") << bank_st_fx << "name 4" << 2 << 1;
    QTest::newRow("aux name") << bank_aux << "name 2" << 3 << 2;
    QTest::newRow("MAIN opens MAIN L") << bank_ch1 << "main" << 3 << 8;
    QTest::newRow("DCA EDIT") << bank_dca << "edit 3" << 4 << 3;
  }
  void names_and_edit_buttons_open_the_editor() {
    QFETCH(int, logical);
    QFETCH(QString, control);
    QFETCH(int, kind);
    QFETCH(int, index);
    strips_rig rig(host_);
    rig.show(logical);
    const QStringList w = control.split(' ');
    QWidget* target = nullptr;
    if (w[0] == "name") target = rig.strip(w[1].toInt())->name_button();
    if (w[0] == "main") target = rig.main()->title();
    if (w[0] == "edit") target = rig.dca(w[1].toInt())->enter_button();
    QTest::mouseClick(target, Qt::LeftButton);
    const auto editor = rig.nav->editor_on_screen();
    QVERIFY(editor);
    QCOMPARE(editor->kind, kind);
    QCOMPARE(editor->index, index);
  }

  // Every page a click on the strips page leads to, while it is still a placeholder, has
  // a way back to the strips and the bank they showed.
  void every_page_reached_from_the_strips_leads_back_data() {
    QTest::addColumn<int>("logical");
    QTest::addColumn<QString>("control");
    QTest::newRow("input name") << bank_ch1 << "name 5";
    QTest::newRow("stereo name") << bank_st_fx << "name 1";
    QTest::newRow("effect name") << bank_st_fx << "name 4";
    QTest::newRow("aux name") << bank_aux << "name 2";
    QTest::newRow("MAIN") << bank_ch1 << "main";
    QTest::newRow("DCA EDIT") << bank_dca << "edit 3";
    QTest::newRow("FADER tab") << bank_st_fx << "tab 5";
    QTest::newRow("MEDIA tab") << bank_ch1 << "tab 6";
    QTest::newRow("SYSTEM tab") << bank_aux << "tab 7";
  }
  void every_page_reached_from_the_strips_leads_back() {
    QFETCH(int, logical);
    QFETCH(QString, control);
    strips_rig rig(host_);
    for (int id : {page_brief_fader, page_player, page_setting, page_edit_input, page_edit_efx, page_edit_output,
                   page_edit_dca})
      rig.registry.set_factory(id, create_placeholder_page);
    rig.show(logical);
    const int bank = rig.nav->current_bank();
    const QStringList w = control.split(' ');
    QWidget* target = nullptr;
    if (w[0] == "name") target = rig.strip(w[1].toInt())->name_button();
    if (w[0] == "main") target = rig.main()->title();
    if (w[0] == "edit") target = rig.dca(w[1].toInt())->enter_button();
    if (w[0] == "tab") target = rig.bar()->tab(w[1].toInt());
    QVERIFY(target);
    QTest::mouseClick(target, Qt::LeftButton);
    QVERIFY(!rig.nav->is_on_screen(page_brief_channel));
    page* shown = rig.nav->page_on_screen();
    QVERIFY(shown);
    auto* back = shown->findChild<QAbstractButton*>("placeholder_close");
    QVERIFY2(back && back->isVisible(), rig.nav->registry().name_of(shown->page_id()).data());
    QTest::mouseClick(back, Qt::LeftButton);
    QVERIFY(rig.nav->is_on_screen(page_brief_channel));
    QCOMPARE(rig.page()->bank_on_screen(), bank);
  }

  void a_secondary_click_on_the_name_picks_the_colour() {
    strips_rig rig(host_);
    rig.show(bank_ch1);
    // The rightmost column: the picker must stay on the screen.
    button* name = rig.strip(7)->name_button();
    // Through the window, as a real pointer comes.
    QTest::mouseClick(host_->windowHandle(), Qt::RightButton, {}, name->mapTo(host_, name->rect().center()));
    QWidget* picker = host_->findChild<QWidget*>("colour_picker");
    QVERIFY(picker && picker->isVisible());
    QWidget* panel = picker->findChild<QWidget*>("colour_picker_panel");
    QVERIFY(picker->rect().contains(panel->geometry()));
    QTest::mouseClick(picker->findChild<QAbstractButton*>("colour_swatch_9"), Qt::LeftButton);
    QCOMPARE(rig.session.store.get(colour_base_id + 7), uint16_t{9});
    rig.page()->flush_redraw();
    QCOMPARE(probe(rig, "colour 7"), QString::number(channel_colours[9], 16));
  }

  // ---- meters -----------------------------------------------------------------------------

  void strip_meters_read_their_channel_data() {
    QTest::addColumn<int>("logical");
    QTest::addColumn<QString>("setup");
    QTest::addColumn<int>("strip");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");  // -99: not shown
    QTest::newRow("mono input, low byte") << bank_ch1 << pair(2, 0xF600) << 0 << 0 << -99;
    QTest::newRow("mono input, high byte") << bank_ch1 << pair(2, 0xF600) << 1 << -10 << -99;
    QTest::newRow("stereo pair, both bytes") << bank_st_fx << pair(10, 0xF600) << 0 << 0 << -10;
    QTest::newRow("effect return") << bank_st_fx << pair(41, 0x00FC) << 3 << -4 << -99;
    QTest::newRow("aux after its fader") << bank_aux << pair(43, 0x0000) + pair(id_of(3, 0, 62), 1100) << 0 << -10 << -99;
  }
  void strip_meters_read_their_channel() {
    QFETCH(int, logical);
    QFETCH(QString, setup);
    QFETCH(int, strip);
    QFETCH(int, first);
    QFETCH(int, second);
    strips_rig rig(host_);
    rig.show(logical);
    strips_page* page = rig.page();
    QVERIFY(page->meters_running());
    for (const auto& [id, value] : pairs_of(setup)) rig.session.store.store_received(id, value);
    // Every meter starts empty, and stays so while the console is not heard.
    page->tick_meters();
    QCOMPARE(rig.strip(strip)->meter1()->db(), -40.0);
    rig.bring_link_up();
    page->tick_meters();
    QCOMPARE(qRound(rig.strip(strip)->meter1()->db()), first);
    QCOMPARE(rig.strip(strip)->meter2()->isHidden(), second == -99);
    if (second != -99) QCOMPARE(qRound(rig.strip(strip)->meter2()->db()), second);
  }

  // A lost console shows across the room: meters, the bridge and the level readouts fade
  // and keep what they showed; they come back as the console is heard again.
  void meters_and_readouts_fade_while_the_console_is_not_heard() {
    strips_rig rig(host_);
    QObject::connect(&rig.port, &qt_ui_port::link_state, rig.nav.get(), &navigator::show_link_state);
    rig.show(bank_ch1);
    strips_page* page = rig.page();
    meter_bridge& bridge = rig.nav->bridge();
    auto faded = [&] {
      QStringList f;
      f << (rig.strip(0)->meter1()->dimmed() ? "meter" : "-") << (rig.strip(0)->readout()->dimmed() ? "readout" : "-")
        << (rig.main()->readout(1)->dimmed() ? "main" : "-") << (rig.dca(0)->readout()->dimmed() ? "dca" : "-")
        << (bridge.bar(0)->dimmed() ? "bridge" : "-");
      return f.join(' ');
    };
    QCOMPARE(faded(), QString("meter readout main dca bridge"));  // no console yet

    // The supervision tells the pages at its next round.
    auto hear_console = [&] {
      rig.bring_link_up();
      rig.now += supervision_period_ms;
      rig.bring_link_up();
    };
    rig.session.store.store_received(2, 0x00F6);  // input 1 at -10 dB
    hear_console();
    QVERIFY(rig.session.engine.link_alive());
    QCOMPARE(faded(), QString("- - - - -"));
    page->tick_meters();
    bridge.tick(rig.now);
    const double shown = rig.strip(0)->meter1()->db();
    const int bar = bridge.bar_value(0);
    QCOMPARE(qRound(shown), -10);
    QVERIFY(bar > 0);

    // Silence past the alive window: the link goes down and the meters stand faded.
    rig.now += alive_window_ms + 1000;
    rig.session.engine.step(rig.now);
    QVERIFY(!rig.session.engine.link_alive());
    QCOMPARE(faded(), QString("meter readout main dca bridge"));
    rig.session.store.store_received(2, 0x0000);
    page->tick_meters();
    bridge.tick(rig.now);
    QCOMPARE(rig.strip(0)->meter1()->db(), shown);
    QCOMPARE(bridge.bar_value(0), bar);

    hear_console();
    QCOMPARE(faded(), QString("- - - - -"));
  }

  void meters_run_only_while_the_page_is_shown() {
    strips_rig rig(host_);
    rig.show(bank_ch1);
    strips_page* page = rig.page();
    QVERIFY(page->meters_running());
    rig.nav->show_by_name("brief_fader", 0);
    QVERIFY(!page->meters_running());
    rig.show(bank_ch1);
    QVERIFY(page->meters_running());
  }

  // A figure, not a check: how long a bank change takes until it is drawn, worst of three
  // rounds for each bank, and how much of it is drawing.
  // How long a bank change takes until the window shows the new bank: the change itself,
  // then the repaint of what it changed, which the window's paint events do when the
  // event loop next runs. The whole window drawn afresh is printed beside it, as the
  // slowest case (a screen that must redraw everything, say after being uncovered).
  void bank_switch_time() {
    strips_rig rig(host_);
    rig.show(bank_ch1);
    host_->grab();

    test::paint_counter counter;
    qApp->installEventFilter(&counter);

    struct worst {
      qint64 switched = 0, drawn = 0, redrawn = 0;
      int paints = 0;
    };
    std::array<worst, bank_count> worst_of{};
    const int asked = qEnvironmentVariableIntValue("VORANTE_BANK_ROUNDS");
    const int rounds = asked > 0 ? asked : 3;
    QElapsedTimer t;
    for (int round = 0; round < rounds; ++round) {
      for (int bank : {1, 2, 3, 4, 0}) {
        worst& w = worst_of[static_cast<size_t>(bank)];
        counter.paints = 0;
        t.start();
        rig.nav->select_bank(bank);
        const qint64 switched = t.nsecsElapsed();
        // Until a pass of the event loop paints nothing more.
        int before = -1;
        while (before != counter.paints) {
          before = counter.paints;
          QCoreApplication::processEvents();
        }
        const qint64 drawn = t.nsecsElapsed();
        const int painted = counter.paints;
        host_->grab();
        const qint64 redrawn = t.nsecsElapsed();
        w.switched = std::max(w.switched, switched);
        w.drawn = std::max(w.drawn, drawn);
        w.redrawn = std::max(w.redrawn, redrawn);
        w.paints = std::max(w.paints, painted);
        QVERIFY(painted > 0);
      }
    }
    qApp->removeEventFilter(&counter);
    for (int bank = 0; bank < bank_count; ++bank) {
      const std::string name(fader_banks[static_cast<size_t>(bank)].name);
      const worst& w = worst_of[static_cast<size_t>(bank)];
      qInfo("bank switch to %s: %.1f ms until shown (%.1f ms switching, %d widgets painted); "
            "%.1f ms with the whole window redrawn",
            name.c_str(), w.drawn / 1e6, w.switched / 1e6, w.paints, w.redrawn / 1e6);
    }
  }

  // 200 moves of the console's faders that arrive together (four frames of 50 control
  // events, as many as a frame holds and more) are taken in by one engine step and drawn by
  // one batched redraw: the page is not redrawn whole for them. The time is printed.
  void fader_burst_is_one_step_and_one_batch() {
    strips_rig rig(host_);
    rig.show(bank_ch1);
    rig.session.engine.enable();
    strips_page* p = rig.page();
    QVERIFY(p);
    QTRY_VERIFY(!p->redraw_pending());
    const int full_before = p->full_redraws();
    const int batches_before = p->batch_redraws();
    std::array<double, 8> shown{};
    for (int f = 0; f < 8; ++f) shown[static_cast<size_t>(f)] = rig.strip(f)->fader()->value();

    constexpr int events = 200;
    constexpr int per_frame = 50;
    constexpr int faders = 8;
    std::array<uint16_t, faders> last{};
    std::vector<id_value> batch;
    for (int e = 0; e < events; ++e) {
      const int f = e % faders;
      last[static_cast<size_t>(f)] = static_cast<uint16_t>(100 + 37 * e);
      batch.push_back({static_cast<uint16_t>(event_first_fader + f), last[static_cast<size_t>(f)]});
      if (static_cast<int>(batch.size()) == per_frame) {
        rig.session.engine.feed(make_control_events(batch).view());
        batch.clear();
      }
    }
    QElapsedTimer t;
    t.start();
    rig.session.engine.step(rig.now);
    const qint64 step_ns = t.nsecsElapsed();
    for (int f = 0; f < faders; ++f)
      QCOMPARE(rig.session.store.get(id_of(kind_input, f, code_fader)) & 0x3FFF, int(last[static_cast<size_t>(f)]));
    QVERIFY(p->redraw_pending());
    QTRY_VERIFY(!p->redraw_pending());
    const qint64 drawn_ns = t.nsecsElapsed();
    QCOMPARE(p->full_redraws(), full_before);
    QCOMPARE(p->batch_redraws(), batches_before + 1);
    // Every strip's fader moved to its last level.
    for (int f = 0; f < faders; ++f) QVERIFY2(rig.strip(f)->fader()->value() != shown[static_cast<size_t>(f)], QByteArray::number(f));
    qInfo("%d fader events in one engine step: %.1f us for the step; drawn in 1 batched redraw after %.1f ms "
          "(the 50 ms redraw timer included); %d full redraws",
          events, step_ns / 1e3, drawn_ns / 1e6, p->full_redraws() - full_before);
  }
};

QTEST_MAIN(strips_page_test)
#include "strips_page_test.moc"
