// The MEDIA page's rules with the media module's reports made by hand: when a scan starts
// and stops, which view the console's source brings up, and who may use the player.
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QStackedWidget>
#include <QtTest>

#include <filesystem>

#include "app/media/playlist.h"
#include "app/protocol/session.h"
#include "tests/ui/host_window.h"
#include "tests/ui/page_rig.h"
#include "tests/unit/media_test_support.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_registry.h"
#include "ui/pages/page_table.h"
#include "ui/screens/media/player.h"
#include "ui/screens/media/player_parts.h"
#include "ui/widgets/text_list.h"

using namespace vorante;
namespace fs = std::filesystem;

namespace {

struct player_rig : test::navigator_rig {
  player_page* player = nullptr;

  explicit player_rig(QWidget* host) {
    make_navigator();
    test::show_root(*nav, host);
  }
  void open() {
    nav->show_player(0);
    player = qobject_cast<player_page*>(nav->page_on_screen());
  }
  media_client& media() { return session.media; }
  void report(const std::vector<uint8_t>& p) { media().report_payload(p, now); }
  // A status report of the u-disk player with this many songs.
  void disk_status(uint16_t songs, uint8_t transport = 1) { report(test::status_payload(2, 2, transport, songs, 1)); }
  void advance(uint32_t ms) {
    now += ms;
    media().step(now);
  }
};

}  // namespace

class player_page_test : public QObject, test::host_window {
  Q_OBJECT

  fs::path dir_;
  QString previous_cwd_;
  std::unique_ptr<player_rig> rig_;

  void write_playlist(std::size_t files) {
    playlist list{{"ROOT", {}}};
    for (std::size_t i = 0; i < files; ++i) list[0].files.push_back({static_cast<uint32_t>(100 + i), "f" + std::to_string(i) + ".mp3"});
    QVERIFY(playlist_write(list));
  }

 private slots:
  void init() {
    dir_ = fs::temp_directory_path() / ("vorante-player-page-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    previous_cwd_ = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(dir_.string()));
    QVERIFY(open_host({1280, 800}));
    rig_ = std::make_unique<player_rig>(host_);
  }
  void cleanup() {
    rig_.reset();
    close_host();
    QDir::setCurrent(previous_cwd_);
    fs::remove_all(dir_);
  }

  void the_console_song_count_decides_between_the_saved_list_and_a_scan_data() {
    QTest::addColumn<int>("saved");
    QTest::addColumn<int>("console");
    QTest::addColumn<bool>("scans");
    QTest::addColumn<int>("folders_shown");
    QTest::newRow("no songs on the console: no scan") << 3 << 0 << false << 0;
    QTest::newRow("counts agree: the saved list is taken") << 3 << 3 << false << 1;
    QTest::newRow("counts differ: a scan without a click") << 3 << 5 << true << 0;
    QTest::newRow("no saved list: a scan") << 0 << 2 << true << 0;
  }
  void the_console_song_count_decides_between_the_saved_list_and_a_scan() {
    QFETCH(int, saved);
    QFETCH(int, console);
    QFETCH(bool, scans);
    QFETCH(int, folders_shown);
    if (saved > 0) write_playlist(static_cast<std::size_t>(saved));
    rig_->disk_status(0);
    rig_->open();
    QVERIFY(rig_->player);
    QCOMPARE(rig_->player->playlist_size(), std::size_t(saved));
    rig_->disk_status(static_cast<uint16_t>(console));
    QCOMPARE(rig_->media().scanning(), scans);
    QCOMPARE(rig_->player->scan_box()->isVisible(), scans);
    QCOMPARE(rig_->player->folder_list()->count(), folders_shown);
    if (folders_shown) QCOMPARE(rig_->player->folder_list()->row_at(0)->text + rig_->player->folder_list()->row_at(0)->suffix,
                                QString("ROOT(%1)").arg(saved));
    // Another report changes nothing while the scan runs or once the list is in use.
    rig_->disk_status(static_cast<uint16_t>(console));
    QCOMPARE(rig_->media().scanning(), scans);
  }

  void a_scan_finding_more_than_the_console_reports_stops_at_once_and_is_saved() {
    rig_->disk_status(0);
    rig_->open();
    rig_->disk_status(1);
    QVERIFY(rig_->media().scanning());
    rig_->advance(20);
    for (const auto& p : test::item_reports(test::ascii_record(1, 0, item_flag_is_file, 7, "one.mp3"))) rig_->report(p);
    rig_->advance(20);
    rig_->advance(20);
    QVERIFY(rig_->media().scanning());
    for (const auto& p : test::item_reports(test::ascii_record(1, 1, item_flag_is_file, 8, "two.mp3"))) rig_->report(p);
    rig_->advance(20);
    QVERIFY(!rig_->media().scanning());
    QVERIFY(rig_->player->scan_box()->isHidden());
    QCOMPARE(rig_->player->playlist_size(), std::size_t{2});
    QCOMPARE(playlist_count(playlist_read()), std::size_t{2});
  }

  void the_view_follows_the_console_except_just_after_the_user_chose_data() {
    QTest::addColumn<int>("device");
    QTest::addColumn<int>("transport");
    QTest::addColumn<int>("view");
    QTest::newRow("bluetooth") << int(play_device_bluetooth) << 1 << int(view_bluetooth);
    QTest::newRow("recorder") << int(play_device_recorder) << 1 << int(view_recorder);
    QTest::newRow("usb audio shows the player") << int(play_device_usb_audio) << 1 << int(view_player);
    QTest::newRow("coax") << int(play_device_spdif) << 0 << int(view_coax);
  }
  void the_view_follows_the_console_except_just_after_the_user_chose() {
    QFETCH(int, device);
    QFETCH(int, transport);
    QFETCH(int, view);
    rig_->disk_status(0);
    rig_->open();
    // The user picks Optical; the console's reports within 3 s leave it on screen.
    QComboBox* menu = rig_->player->source_menu();
    menu->setCurrentIndex(3);
    emit menu->activated(3);
    QCOMPARE(rig_->player->views()->currentIndex(), int(view_optical));
    rig_->now += media_follow_hold_ms - 100;
    rig_->report(test::status_payload(2, static_cast<uint8_t>(device), static_cast<uint8_t>(transport)));
    QCOMPARE(rig_->player->views()->currentIndex(), int(view_optical));
    rig_->now += 200;
    rig_->report(test::status_payload(2, static_cast<uint8_t>(device), static_cast<uint8_t>(transport)));
    QCOMPARE(rig_->player->views()->currentIndex(), view);
  }

  void another_client_holding_the_player_covers_the_page_and_its_buttons() {
    param_store& store = rig_->session.store;
    // Held by someone else: bit 15 set, claimed, and an identity other than ours.
    store.set_local(media_holder_param, 0x8000 | 0x1111);
    store.set_local(media_claim_param, 1);
    store.set_local(media_identity_param, 0x2222);
    rig_->disk_status(0);
    rig_->open();
    QVERIFY(!rig_->player->usable());
    QVERIFY(rig_->player->in_use_panel()->isVisible());
    rig_->disk_status(4);
    QVERIFY(!rig_->media().scanning());  // no rescan for an unusable player

    // Our own identity in the holder words: free.
    store.set_local(media_holder_param, 0x8000 | 0x2222);
    rig_->nav->go_to_strips(0);
    rig_->open();
    QVERIFY(rig_->player->usable());
    QVERIFY(rig_->player->in_use_panel()->isHidden());
    QCOMPARE(store.get(media_claim_param), uint16_t{1});
    // Taken over by another client while on screen.
    store.set_local(media_holder_param, 0x8000 | 0x3333);
    rig_->player->on_param(media_claim_param, 1, true);
    QVERIFY(!rig_->player->usable());
    QVERIFY(rig_->player->in_use_panel()->isVisible());
  }

  void the_playing_file_is_found_at_once_even_while_browsing() {
    playlist list{{"A", {{1, "a1.mp3"}, {2, "a2.mp3"}}}, {"B", {{3, "b1.mp3"}, {4, "b2.mp3"}, {5, "b3.mp3"}}}};
    QVERIFY(playlist_write(list));
    rig_->disk_status(0);
    rig_->open();
    rig_->disk_status(5, 2);
    QCOMPARE(rig_->player->folder_list()->count(), 2);
    const auto time_report = [&](uint32_t id) {
      rig_->report({0x80, 5, 3, 0, static_cast<uint8_t>(id >> 24), static_cast<uint8_t>(id >> 16), static_cast<uint8_t>(id >> 8),
                    static_cast<uint8_t>(id), 0, 0, 0, 0});
    };
    time_report(2);
    QCOMPARE(rig_->player->folder_list()->selected(), 0);
    QCOMPARE(rig_->player->files_list()->selected(), 1);
    QCOMPARE(rig_->player->path_label()->text(), QString("A"));
    // The user pages through the list: browsing. The console moves on to b3 anyway.
    rig_->player->button_by_name("Pg Dn")->click();
    time_report(5);
    QCOMPARE(rig_->player->folder_list()->selected(), 1);
    QCOMPARE(rig_->player->files_list()->selected(), 2);
    QVERIFY(rig_->player->files_list()->isVisible());
    QCOMPARE(rig_->player->path_label()->text(), QString("B"));
  }
};

QTEST_MAIN(player_page_test)
#include "player_page_test.moc"
