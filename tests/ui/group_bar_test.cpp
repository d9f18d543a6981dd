// The group bar: which bar follows which fader, how far it moves, the tile selection and
// shortcuts, the link image, and the bar in the running program ("-gbar 1").
#include <QAbstractButton>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "app/core/options.h"
#include "app/params/convert.h"
#include "app/protocol/messages.h"
#include "app/protocol/session.h"
#include "tests/ui/host_window.h"
#include "ui/foundation/colour.h"
#include "ui/platform/qt_ui_port.h"
#include "ui/screens/mixer/group_bar.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_registry.h"
#include "ui/widgets/overlay_layer.h"

using namespace vorante;

Q_DECLARE_METATYPE(std::optional<group_bar_place>)

namespace {

// The program with the group bar switched on, as the platform tests run it.
struct rig {
  runtime_options options;
  qt_ui_port port;
  link_session session{options, port};
  page_registry registry;
  std::unique_ptr<navigator> nav;
  group_bar* bar = nullptr;
  int dialogs_opened = 0;

  explicit rig(QWidget* host) {
    session.store.load_defaults();
    nav = std::make_unique<navigator>(session, registry);
    nav->set_connect_dialog_opener([this] { ++dialogs_opened; });
    bar = new group_bar(*nav, host);
    bar->setGeometry(0, 0, 1272, group_bar_height);
    bar->show();
    page_host* root = nav->make_root(host);
    root->setGeometry(0, group_bar_height, 1272, 728);
    root->show();
    port.set_group_bar_present(true);
    QObject::connect(&port, &qt_ui_port::group_bar_level_changed, bar, &group_bar::set_level);
    QObject::connect(&port, &qt_ui_port::link_state, nav.get(), &navigator::show_link_state);
    QObject::connect(nav.get(), &navigator::link_state_shown, bar, &group_bar::set_link);
  }

  // A fader level as the console sends it: through the engine into the store.
  void receive(unsigned id, uint16_t value) {
    session.engine.enable();
    const id_value pair{static_cast<uint16_t>(id), value};
    session.engine.feed(make_param_values({&pair, 1}).view());
    session.engine.step(1000);
  }
};

}  // namespace

class group_bar_test : public test::host_window_test {
  Q_OBJECT

 public:
  group_bar_test() : host_window_test({1272, 792}) {}

 private slots:
  void bar_of_each_channel_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("index");
    QTest::addColumn<std::optional<group_bar_place>>("place");
    const auto at = [](int tile, int bar) { return std::optional<group_bar_place>(group_bar_place{tile, bar}); };
    const std::optional<group_bar_place> none;
    QTest::newRow("CH1") << 1 << 0 << at(0, 0);
    QTest::newRow("CH8") << 1 << 7 << at(0, 7);
    QTest::newRow("CH9") << 1 << 8 << at(1, 0);
    QTest::newRow("CH16") << 1 << 15 << at(1, 7);
    QTest::newRow("CH17/18") << 1 << 16 << at(2, 0);
    QTest::newRow("right member of a pair") << 1 << 17 << none;
    QTest::newRow("CH19/20") << 1 << 18 << at(2, 1);
    QTest::newRow("FX1") << 2 << 0 << at(2, 2);
    QTest::newRow("FX2") << 2 << 1 << at(2, 3);
    QTest::newRow("DIGI") << 1 << 24 << at(2, 4);
    QTest::newRow("input 20") << 1 << 20 << none;
    QTest::newRow("AUX1") << 3 << 0 << at(3, 0);
    QTest::newRow("AUX8") << 3 << 7 << at(3, 7);
    QTest::newRow("MAIN L") << 3 << 8 << at(4, 0);
    QTest::newRow("MAIN R") << 3 << 9 << at(4, 1);
    QTest::newRow("DCA") << 4 << 0 << none;
    QTest::newRow("FX3") << 2 << 2 << none;
  }
  void bar_of_each_channel() {
    QFETCH(int, kind);
    QFETCH(int, index);
    QFETCH(std::optional<group_bar_place>, place);
    QCOMPARE(group_bar_place_of(kind, index), place);
    if (place) QVERIFY(place->bar < group_tile_bars[place->tile]);
  }

  void fader_positions_data() {
    QTest::addColumn<double>("db");
    QTest::addColumn<int>("position");
    QTest::newRow("off") << -120.0 << 0;
    QTest::newRow("0 dB") << 0.0 << 48;
    QTest::newRow("+10 dB is the top") << 10.0 << 60;
    QTest::newRow("the nearer step") << -45.5 << 10;
  }
  void fader_positions() {
    QFETCH(double, db);
    QFETCH(int, position);
    QCOMPARE(group_bar_position(db), position);
    QCOMPARE(group_bar_top(), 60);
  }

  void received_fader_levels_move_their_bar_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("tile");
    QTest::addColumn<int>("bar");
    QTest::newRow("MAIN R: second bar of LR") << 3 << 9 << 4 << 1;
    QTest::newRow("FX2") << 2 << 1 << 2 << 3;
    QTest::newRow("odd member of a pair: nothing") << 1 << 17 << -1 << -1;
  }
  void received_fader_levels_move_their_bar() {
    QFETCH(int, kind);
    QFETCH(int, index);
    QFETCH(int, tile);
    QFETCH(int, bar);
    rig r(host_);
    std::vector<int> before;
    for (int t = 0; t < group_tile_count; ++t)
      for (int b = 0; b < group_tile_bars[t]; ++b) before.push_back(r.bar->level_bar(t, b)->value());
    r.receive(param_id(kind, index, code_fader), 0x8000 | 1200);  // 0 dB, a flag bit set
    int changed = 0;
    std::size_t n = 0;
    for (int t = 0; t < group_tile_count; ++t)
      for (int b = 0; b < group_tile_bars[t]; ++b) {
        const int now = r.bar->level_bar(t, b)->value();
        if (now != before[n++]) ++changed;
        if (t == tile && b == bar) QCOMPARE(now, 48);
      }
    QCOMPARE(changed, tile < 0 ? 0 : 1);
  }

  void tiles_highlight_one_at_a_time_and_lead_to_their_pages() {
    rig r(host_);
    QCOMPARE(r.bar->selected(), -1);
    QTest::mouseClick(r.bar->selectable(1), Qt::LeftButton);  // IN9-16
    QCOMPARE(r.bar->selected(), 1);
    QCOMPARE(r.nav->current_bank(), 1);
    QCOMPARE(r.session.engine.surface().layer(), 1);

    QTest::mouseClick(r.bar->selectable(5), Qt::LeftButton);  // SYSTEM
    QCOMPARE(r.bar->selected(), 5);
    QVERIFY(!r.bar->selectable(1)->isChecked());
    QVERIFY(r.nav->is_on_screen(page_setting));

    QTest::mouseClick(r.bar->selectable(4), Qt::LeftButton);  // MEDIA
    QVERIFY(r.nav->is_on_screen(page_player));
  }

  void link_image_shows_the_link_and_opens_the_dialog_either_way() {
    rig r(host_);
    QVERIFY(!r.bar->link_shown_online());
    QTest::mouseClick(r.bar->link_image(), Qt::LeftButton);
    QCOMPARE(r.dialogs_opened, 1);
    r.port.link_state_changed(true);
    QVERIFY(r.bar->link_shown_online());
    QTest::mouseClick(r.bar->link_image(), Qt::LeftButton);
    QCOMPARE(r.dialogs_opened, 2);
    // Every solid pixel of the image takes the state's colour.
    for (const bool online : {true, false}) {
      const QImage icon = group_link_icon(online).convertToFormat(QImage::Format_ARGB32);
      QVERIFY(!icon.isNull());
      int solid = 0;
      for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x) {
          const QColor c = icon.pixelColor(x, y);
          if (c.alpha() < 255) continue;
          ++solid;
          QCOMPARE(c.rgb(), to_qcolor(online ? group_link_online : group_link_offline).rgb());
        }
      QVERIFY(solid > 0);
    }
  }

  // The running program: with "-gbar 1" the bar takes the top 64 px of the frame.
  void program_puts_the_bar_on_top_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("bar");
    QTest::newRow("with the bar") << QStringList{"-gbar", "1"} << true;
    QTest::newRow("without") << QStringList{"-gbar", "0"} << false;
  }
  void program_puts_the_bar_on_top() {
    QFETCH(QStringList, args);
    QFETCH(bool, bar);
    QTemporaryDir dir;
    const QString file = dir.filePath("bar.png");
    QProcess program;
    program.setWorkingDirectory(dir.path());
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(VORANTE_BINARY_PATH, args + QStringList{"--show", "brief_channel", "--screenshot", file + "@300"});
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitCode(), 0);
    const QImage picture(file);
    QVERIFY(!picture.isNull());
    // Past the shortcut tiles, before the link image: the bar's own grey.
    QCOMPARE(picture.pixelColor(900, 30) == to_qcolor(group_bar_background), bar);
  }
};

QTEST_MAIN(group_bar_test)
#include "group_bar_test.moc"
