// The MEDIA page on a real link: the console simulator runs as a process with a directory
// of this machine as its u-disk. Opening the page scans the disk, lists its folders and
// files by their exact names, and a click on a file plays it a second later.
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QStackedWidget>
#include <QtTest>

#include <filesystem>
#include <fstream>

#include "app/core/translate.h"
#include "ui/foundation/fonts.h"
#include "app/media/playlist.h"
#include "app/protocol/messages.h"
#include "app/protocol/session.h"
#include "tests/e2e/frame_log.h"
#include "tests/e2e/sim_process.h"
#include "tests/ui/host_window.h"
#include "tests/ui/linked_rig.h"
#include "ui/platform/qt_ui_port.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_registry.h"
#include "ui/screens/media/player.h"
#include "ui/screens/media/player_parts.h"
#include "ui/widgets/text_list.h"

using namespace vorante;
namespace fs = std::filesystem;

namespace {

constexpr int scan_wait_ms = 20000;

// Play-file commands the simulator received, as file IDs.
std::vector<uint32_t> played_ids(const std::string& log) {
  std::vector<uint32_t> ids;
  for (const test::logged_frame& f : test::read_frame_log(log)) {
    if (!f.received() || f.code != code_byte(message_code::media_command)) continue;
    const auto p = frame_payload(f.bytes);
    if (p.size() == 9 && p[2] == 0xD1 && p[5] == 0xD2 && p[6] == 1 && p[8] == 0xD0)
      ids.push_back(static_cast<uint32_t>(p[0] | p[1] << 8) << 16 | static_cast<uint32_t>(p[3] | p[4] << 8));
  }
  return ids;
}

QStringList rows_of(const text_list* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->row_at(i)->text + list->row_at(i)->suffix;
  return out;
}

void click_row(text_list* list, int row) {
  const int y = list->contentsMargins().top() + list->offset() + row * list->row_height() + list->row_height() / 2;
  QTest::mouseClick(list, Qt::LeftButton, {}, QPoint(40, y));
}

}  // namespace

class player_link_test : public test::linked_test {
  Q_OBJECT

  fs::path dir_;
  QString previous_cwd_;
  std::string log_;

 private slots:
  void initTestCase() {
    fonts_init();
    // Screenshots in another language: VORANTE_SHOTS_LANG=zh-cn.
    select_language(qgetenv("VORANTE_SHOTS_LANG").constData());
  }

  void init() {
    dir_ = fs::temp_directory_path() / ("vorante-player-link-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    const fs::path disk = dir_ / "disk";
    for (const char* f : {"Intro.mp3", "Café Müller/Ça va.mp3", "Café Müller/Ölfeld.wav", "Plain/b.wav", "中文歌曲/夜曲.flac",
                          "中文歌曲/小城故事.mp3", "Empty/readme.txt"}) {
      fs::create_directories((disk / fs::u8path(f)).parent_path());
      std::ofstream(disk / fs::u8path(f)) << "x";
    }
    // The page keeps its play list in the working directory.
    previous_cwd_ = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(dir_.string()));
    log_ = (dir_ / "sim.log").string();
    open_link({"--disk", disk.string(), "--log", log_}, test::linked_rig::setup{false, steady_ms, {}});
  }
  void cleanup() {
    close_link();
    QDir::setCurrent(previous_cwd_);
    fs::remove_all(dir_);
  }

  void opening_the_page_scans_the_disk_and_a_click_plays_a_file_a_second_later() {
    rig_->nav->show_player(0);
    auto* player = qobject_cast<player_page*>(rig_->nav->page_on_screen());
    QVERIFY(player);
    QCOMPARE(player->views()->currentIndex(), int(view_player));
    QVERIFY(player->usable());

    // No play list yet, the console has six songs: the first status report starts a scan.
    QTRY_COMPARE_WITH_TIMEOUT(player->playlist_size(), std::size_t{6}, scan_wait_ms);
    QVERIFY(!rig_->session.media.scanning());
    QVERIFY(player->scan_box()->isHidden());
    QCOMPARE(rows_of(player->folder_list()),
             (QStringList{"ROOT(1)", "Café Müller(2)", "Plain(1)", QString::fromUtf8("中文歌曲(2)")}));

    // The list was saved as it was found.
    const playlist saved = playlist_read(playlist_file_name);
    QCOMPARE(playlist_count(saved), std::size_t{6});
    QCOMPARE(QString::fromStdString(saved[3].files[1].name), QString::fromUtf8("小城故事.mp3"));

    // A folder shows its files; two clicks half a second apart play only the second file,
    // one second after it.
    text_list* folders = player->folder_list();
    click_row(folders, 1);
    QVERIFY(player->files_list()->isVisible());
    QCOMPARE(player->path_label()->text(), QString("Café Müller"));
    QCOMPARE(rows_of(player->files_list()), (QStringList{"1.Ça va.mp3", "2.Ölfeld.wav"}));
    click_row(player->files_list(), 0);
    QTest::qWait(500);
    click_row(player->files_list(), 1);
    QTest::qWait(800);
    QVERIFY(played_ids(log_).empty());
    QTRY_COMPARE_WITH_TIMEOUT(played_ids(log_).size(), std::size_t{1}, 3000);
    QCOMPARE(played_ids(log_)[0], saved[1].files[1].id);
    // The console plays it, and the list keeps the playing file selected.
    QTRY_COMPARE_WITH_TIMEOUT(player->files_list()->selected(), 1, 5000);

    // The Chinese folder the same way.
    QTest::mouseClick(player->button_by_name("Back"), Qt::LeftButton);
    QVERIFY(player->folder_list()->isVisible());
    click_row(player->folder_list(), 3);
    QCOMPARE(rows_of(player->files_list()), (QStringList{QString::fromUtf8("1.夜曲.flac"), QString::fromUtf8("2.小城故事.mp3")}));
    QCOMPARE(player->path_label()->text(), QString::fromUtf8("中文歌曲"));
  }

  void choosing_optical_sends_input_2_and_the_console_does_not_switch_back_at_once() {
    rig_->nav->show_player(0);
    auto* player = qobject_cast<player_page*>(rig_->nav->page_on_screen());
    QVERIFY(player);
    QTRY_VERIFY_WITH_TIMEOUT(rig_->session.media.play_device() == play_device_udisk, 3000);
    QComboBox* menu = player->source_menu();
    menu->setCurrentIndex(3);
    emit menu->activated(3);
    QCOMPARE(player->views()->currentIndex(), int(view_optical));
    QCOMPARE(player->player_source(), source_optical);
    QTRY_VERIFY_WITH_TIMEOUT(rig_->session.media.play_device() == play_device_spdif, 3000);
    // Status reports keep coming: within 3 s the view stays, after it the console's
    // S/PDIF input (optical, not 0) leaves the selection as it is.
    QTest::qWait(3500);
    QCOMPARE(player->views()->currentIndex(), int(view_optical));

    menu->setCurrentIndex(2);
    emit menu->activated(2);
    QTRY_VERIFY_WITH_TIMEOUT(rig_->session.media.play_device() == play_device_bluetooth, 3000);
    QCOMPARE(player->views()->currentIndex(), int(view_bluetooth));
  }

  // Every view as the user sees it, saved to $VORANTE_SHOTS_DIR; skipped without it.
  void screenshots_of_every_view() {
    const QString out = qEnvironmentVariable("VORANTE_SHOTS_DIR");
    if (out.isEmpty()) QSKIP("VORANTE_SHOTS_DIR not set");
    const QString lang = qEnvironmentVariable("VORANTE_SHOTS_LANG", "en");
    const auto save = [&](const char* name) {
      QTest::qWait(700);
      QVERIFY(host_->grab().save(QString("%1/player-%2-%3.png").arg(out, lang, name)));
    };
    rig_->nav->show_player(0);
    auto* player = qobject_cast<player_page*>(rig_->nav->page_on_screen());
    QVERIFY(player);
    QTRY_COMPARE_WITH_TIMEOUT(player->playlist_size(), std::size_t{6}, scan_wait_ms);
    save("browsing");
    click_row(player->folder_list(), 3);
    click_row(player->files_list(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(played_ids(log_).size(), std::size_t{1}, 3000);
    QTest::qWait(2500);
    save("playing");
    QComboBox* menu = player->source_menu();
    const auto choose = [&](int index) {
      menu->setCurrentIndex(index);
      emit menu->activated(index);
    };
    choose(1);
    QTest::qWait(600);
    player->findChild<QAbstractButton*>("record")->click();
    QTest::qWait(2500);
    save("recording");
    player->findChild<QAbstractButton*>("record")->click();
    choose(2);
    QTest::qWait(600);
    player->button_by_name("bt play")->click();
    save("bluetooth");
    choose(3);
    save("optical");
    choose(4);
    save("coax");
  }
};

QTEST_MAIN(player_link_test)
#include "player_link_test.moc"
