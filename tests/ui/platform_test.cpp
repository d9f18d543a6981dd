// The platform layer: nativecfg.ini, key and wheel mapping, the keypad focus object, the
// debug launcher, the window's start state, the main frame, the engine stepping, and the
// program itself as a process.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "app/protocol/frame.h"
#include "tests/ui/host_window.h"
#include "ui/platform/debug_launcher.h"
#include "ui/platform/incompatible_overlay.h"
#include "ui/platform/input.h"
#include "ui/platform/main_frame.h"
#include "ui/platform/main_loop.h"
#include "ui/platform/main_window.h"
#include "ui/platform/native_config.h"
#include "ui/platform/page_stack.h"
#include "ui/platform/qt_ui_port.h"
#include "ui/platform/splash.h"

using namespace vorante;

namespace {

std::string read_text(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void write_text(const QString& path, const std::string& text) {
  std::ofstream out(path.toStdString(), std::ios::binary);
  out << text;
}

// Finds the launcher once its own event loop runs, then does what the user would.
void when_launcher_opens(std::function<void(debug_launcher&)> act) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [poll, act] {
    if (auto* launcher = qobject_cast<debug_launcher*>(QApplication::activeModalWidget())) {
      poll->stop();
      poll->deleteLater();
      act(*launcher);
    }
  });
  poll->start(10);
}

struct program_run {
  int status = -1;
  QByteArray output;
};

program_run run_program(const QStringList& args, const QString& dir) {
  QProcess process;
  process.setWorkingDirectory(dir);
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(QStringLiteral(VORANTE_BINARY_PATH), args);
  program_run run;
  if (!process.waitForFinished(60000)) {
    process.kill();
    process.waitForFinished();
    return run;
  }
  run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  run.output = process.readAll();
  return run;
}

}  // namespace

class platform_test : public QObject {
  Q_OBJECT

 private slots:
  // --- nativecfg.ini ---

  void profile_reads_like_windows_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("value");
    QTest::newRow("plain") << "[app]\nLANG=zh-cn\n" << "LANG" << true << "zh-cn";
    QTest::newRow("names ignore case") << "[APP]\nlang=zh-cn\n" << "LANG" << true << "zh-cn";
    QTest::newRow("blanks around name and value") << "  [ app ]  \n  LANG  =  en  \r\n" << "LANG" << true << "en";
    QTest::newRow("quotes dropped") << "[app]\nLANG=\"zh-cn\"\n" << "LANG" << true << "zh-cn";
    QTest::newRow("empty value") << "[app]\nLANG=\n" << "LANG" << true << "";
    QTest::newRow("other section only") << "[net]\nLANG=zh-cn\n" << "LANG" << false << "";
    QTest::newRow("comment line") << "[app]\n;LANG=zh-cn\n" << "LANG" << false << "";
    QTest::newRow("key after the section ends") << "[app]\nDEBUG=yes\n[net]\nLANG=zh-cn\n" << "LANG" << false << "";
    QTest::newRow("first of two keys") << "[app]\nLANG=en\nLANG=zh-cn\n" << "LANG" << true << "en";
    QTest::newRow("value holds '='") << "[app]\nLANG=a=b\n" << "LANG" << true << "a=b";
  }
  void profile_reads_like_windows() {
    QFETCH(QString, text);
    QFETCH(QString, key);
    QFETCH(bool, found);
    QFETCH(QString, value);
    const auto got = profile_get(text.toStdString(), "app", key.toStdString());
    QCOMPARE(got.has_value(), found);
    if (found) QCOMPARE(QString::fromStdString(*got), value);
  }

  void profile_write_keeps_everything_else_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("replaced in place")
        << "; settings\n[app]\nDEBUG=yes\nLANG=en\nX=1\n[net]\nLANG=keep\n"
        << "; settings\n[app]\nDEBUG=yes\nLANG=zh-cn\nX=1\n[net]\nLANG=keep\n";
    QTest::newRow("added after the section's last entry")
        << "[app]\nDEBUG=yes\n\n[net]\nIP=1\n" << "[app]\nDEBUG=yes\nLANG=zh-cn\n\n[net]\nIP=1\n";
    QTest::newRow("section added at the end") << "[net]\nIP=1\n" << "[net]\nIP=1\n[app]\nLANG=zh-cn\n";
    QTest::newRow("empty file") << "" << "[app]\nLANG=zh-cn\n";
    QTest::newRow("CRLF kept") << "[app]\r\nLANG=en\r\nDEBUG=no\r\n" << "[app]\r\nLANG=zh-cn\r\nDEBUG=no\r\n";
    // A lone CR at the very end ends that line; it must not become a CRLF in a file of LFs.
    QTest::newRow("last line ends in CR") << "[net]\nIP=1\r" << "[net]\nIP=1\n[app]\nLANG=zh-cn\n";
    QTest::newRow("last line ends in CRs") << "[app]\nX=1\n[net\r\r" << "[app]\nX=1\nLANG=zh-cn\n[net\n";
  }
  void profile_write_keeps_everything_else() {
    QFETCH(QString, before);
    QFETCH(QString, after);
    QCOMPARE(QString::fromStdString(profile_set(before.toStdString(), "app", "LANG", "zh-cn")), after);
  }

  void native_config_file_defaults_and_round_trip() {
    QTemporaryDir dir;
    const QString path = dir.filePath("nativecfg.ini");
    const std::string file = path.toStdString();

    // No file, then an empty value: English, no launcher.
    QCOMPARE(configured_language(file), std::string("en"));
    QVERIFY(!debug_launcher_wanted(file));
    write_text(path, "[app]\r\nDEBUG=yes\r\nLANG=\r\n[other]\r\nK=V\r\n");
    QCOMPARE(configured_language(file), std::string("en"));
    QVERIFY(debug_launcher_wanted(file));

    QVERIFY(store_language("zh-cn", file));
    QCOMPARE(configured_language(file), std::string("zh-cn"));
    QCOMPARE(read_text(path), std::string("[app]\r\nDEBUG=yes\r\nLANG=zh-cn\r\n[other]\r\nK=V\r\n"));

    // A value that would add lines of its own is refused and the file stays as it was.
    QVERIFY(!store_language("en\r\n[app]\r\nDEBUG=yes", file));
    QCOMPARE(configured_language(file), std::string("zh-cn"));

    // Reads stop at 11 bytes; "DEBUG" is "yes" exactly.
    write_text(path, "[app]\nLANG=abcdefghijklmnop\nDEBUG=YES\n");
    QCOMPARE(configured_language(file), std::string("abcdefghijk"));
    QVERIFY(!debug_launcher_wanted(file));
  }

  // --- keys, wheel and the keypad focus object ---

  void key_mapping_data() {
    QTest::addColumn<int>("qt_key");
    QTest::addColumn<uint>("code");
    QTest::addColumn<int>("encoder_step");
    QTest::newRow("left turns encoder 0 up") << int(Qt::Key_Left) << uint(keypad_left) << 1;
    QTest::newRow("right turns encoder 0 down") << int(Qt::Key_Right) << uint(keypad_right) << -1;
    QTest::newRow("up") << int(Qt::Key_Up) << uint(keypad_up) << 0;
    QTest::newRow("down") << int(Qt::Key_Down) << uint(keypad_down) << 0;
    QTest::newRow("return") << int(Qt::Key_Return) << uint(keypad_enter) << 0;
    QTest::newRow("keypad enter") << int(Qt::Key_Enter) << uint(keypad_enter) << 0;
    QTest::newRow("page up is previous") << int(Qt::Key_PageUp) << uint(keypad_prev) << 0;
    QTest::newRow("page down is next") << int(Qt::Key_PageDown) << uint(keypad_next) << 0;
    QTest::newRow("home") << int(Qt::Key_Home) << uint(keypad_home) << 0;
    QTest::newRow("end") << int(Qt::Key_End) << uint(keypad_end) << 0;
    QTest::newRow("delete") << int(Qt::Key_Delete) << uint(keypad_delete) << 0;
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << uint(keypad_backspace) << 0;
    QTest::newRow("escape") << int(Qt::Key_Escape) << uint(keypad_escape) << 0;
    QTest::newRow("A lower case") << int(Qt::Key_A) << uint('a') << 0;
    QTest::newRow("Z lower case") << int(Qt::Key_Z) << uint('z') << 0;
    QTest::newRow("digit unchanged") << int(Qt::Key_5) << uint('5') << 0;
  }
  void key_mapping() {
    QFETCH(int, qt_key);
    QFETCH(uint, code);
    QFETCH(int, encoder_step);
    QCOMPARE(keypad_code_of(qt_key), code);
    QCOMPARE(keypad_encoder_step(keypad_code_of(qt_key)), encoder_step);
  }

  void wheel_notches_data() {
    QTest::addColumn<QList<int>>("deltas");
    QTest::addColumn<QList<int>>("steps");
    QTest::newRow("away from the user is negative") << QList<int>{120} << QList<int>{-1};
    QTest::newRow("towards the user is positive") << QList<int>{-120} << QList<int>{1};
    QTest::newRow("two notches at once") << QList<int>{240} << QList<int>{-2};
    QTest::newRow("half notches add up") << QList<int>{60, 60, 60} << QList<int>{0, -1, 0};
    QTest::newRow("turning back cancels") << QList<int>{90, -90, -30} << QList<int>{0, 0, 0};
    QTest::newRow("rest carried into the next notch") << QList<int>{-150, -90} << QList<int>{1, 1};
  }
  void wheel_notches() {
    QFETCH(QList<int>, deltas);
    QFETCH(QList<int>, steps);
    wheel_steps wheel;
    QList<int> got;
    for (int delta : deltas) got << wheel.feed(delta);
    QCOMPARE(got, steps);
  }

  void keypad_focus_object_turns_encoder_zero() {
    QWidget window;
    auto* field = new QLineEdit(&window);
    auto* button = new QPushButton("x", &window);
    button->move(0, 40);
    window.resize(200, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    input_router input(&window);
    QSignalSpy encoder(&input, &input_router::surface_encoder);
    QSignalSpy keys(&input, &input_router::keypad_key);

    button->setFocus();
    QTest::keyClick(window.windowHandle(), Qt::Key_Left);
    QTest::keyClick(window.windowHandle(), Qt::Key_Right);
    QTest::keyClick(window.windowHandle(), Qt::Key_Up);
    QCOMPARE(encoder.count(), 2);
    QCOMPARE(encoder.at(0), (QList<QVariant>{0, 1}));
    QCOMPARE(encoder.at(1), (QList<QVariant>{0, -1}));
    QList<uint> pressed;
    for (const auto& key : keys)
      if (key.at(1).toBool()) pressed << key.at(0).toUInt();
    QCOMPARE(pressed, (QList<uint>{keypad_left, keypad_right, keypad_up}));

    // Typing into a text field: the arrows move its cursor instead.
    field->setText("abc");
    field->setFocus();
    field->setCursorPosition(3);
    encoder.clear();
    QTest::keyClick(window.windowHandle(), Qt::Key_Left);
    QCOMPARE(encoder.count(), 0);
    QCOMPARE(field->cursorPosition(), 2);
  }

  void wheel_and_middle_button_are_the_encoder() {
    QWidget window;
    QVERIFY(test::show_window(window, {200, 100}));
    input_router input(&window);
    QSignalSpy turned(&input, &input_router::encoder_turned);
    QSignalSpy pressed(&input, &input_router::encoder_pressed);

    const QPointF at(50, 50);
    QWheelEvent away(at, window.mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(window.windowHandle(), &away);
    QCOMPARE(turned.count(), 1);
    QCOMPARE(turned.at(0).at(0).toInt(), -1);

    QTest::mousePress(window.windowHandle(), Qt::MiddleButton, {}, QPoint(50, 50));
    QTest::mouseRelease(window.windowHandle(), Qt::MiddleButton, {}, QPoint(50, 50));
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(50, 50));
    QCOMPARE(pressed.count(), 2);
    QCOMPARE(pressed.at(0).at(0).toBool(), true);
    QCOMPARE(pressed.at(1).at(0).toBool(), false);
  }

  // --- debug launcher ---

  void launcher_starts_with_the_described_choices() {
    debug_launcher launcher;
    QCOMPARE(launcher.size(), QSize(560, 350));
    QVERIFY(launcher.port_box()->count() >= 10);
    for (int n = 0; n < 10; ++n) QCOMPARE(launcher.port_box()->itemText(n), QStringLiteral("COM%1").arg(n + 1));
    QCOMPARE(launcher.port_box()->currentText(), QStringLiteral("COM5"));
    QCOMPARE(launcher.baud_box()->count(), 3);
    QCOMPARE(launcher.baud_box()->itemText(0), QStringLiteral("19200"));
    QCOMPARE(launcher.baud_box()->itemText(1), QStringLiteral("115200"));
    QCOMPARE(launcher.baud_box()->currentText(), QStringLiteral("128000"));
    for (int n = 0; n < launcher_check_count; ++n) QCOMPARE(launcher.check_box(n)->isChecked(), n == 8);
    QCOMPARE(launcher.check_box(0)->text(), QStringLiteral("禁用频谱"));
    QCOMPARE(launcher.check_box(8)->text(), QStringLiteral("打印友好的写操作"));
    QCOMPARE(launcher.ok_button()->text(), QStringLiteral("确认"));
    QCOMPARE(launcher.cancel_button()->text(), QStringLiteral("取消"));
  }

  void launcher_ok_stores_the_choices() {
    runtime_options options;
    when_launcher_opens([](debug_launcher& launcher) {
      launcher.port_box()->setEditText("/dev/ttyUSB3");
      launcher.baud_box()->setCurrentIndex(1);
      for (int n : {1, 2, 5, 7}) launcher.check_box(n)->setChecked(true);
      launcher.ok_button()->click();
    });
    QCOMPARE(run_debug_launcher(options), 1);
    QCOMPARE(options.serial_port, std::string("/dev/ttyUSB3"));
    QCOMPARE(options.baud_rate, 115200);
    QVERIFY(!options.meter_polling_disabled);
    QVERIFY(options.online_lock_poll_disabled);
    QVERIFY(!options.heartbeat_enabled);  // "disable heartbeat" checked
    QVERIFY(!options.resync_once_only);
    QVERIFY(!options.print_panel_data);
    QVERIFY(options.print_sent);
    QVERIFY(!options.print_received);
    QVERIFY(options.surface_takeover);
    QVERIFY(options.print_writes_by_name);  // pre-checked
  }

  void launcher_cancel_or_close_leaves_options_data() {
    QTest::addColumn<bool>("close_window");
    QTest::newRow("cancel") << false;
    QTest::newRow("window closed") << true;
  }
  void launcher_cancel_or_close_leaves_options() {
    QFETCH(bool, close_window);
    runtime_options options;
    when_launcher_opens([close_window](debug_launcher& launcher) {
      launcher.check_box(5)->setChecked(true);
      if (close_window)
        launcher.close();
      else
        launcher.cancel_button()->click();
    });
    QCOMPARE(run_debug_launcher(options), 0);
    QVERIFY(!options.print_sent);
    QVERIFY(!options.print_writes_by_name);
  }

  void launcher_refuses_an_unusable_baud_rate() {
    debug_launcher launcher;
    launcher.baud_box()->setEditText("");
    QVERIFY(!launcher.ok_button()->isEnabled());
    launcher.baud_box()->setEditText("57600");
    QVERIFY(launcher.ok_button()->isEnabled());
    launcher.port_box()->setEditText("");
    QVERIFY(!launcher.ok_button()->isEnabled());
  }

  // --- window, frame and overlays ---

  void window_start_state_data() {
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<bool>("maximised");
    QTest::newRow("1366 x 768") << QSize(1366, 768) << true;
    QTest::newRow("1920 x 1080") << QSize(1920, 1080) << false;
    QTest::newRow("exactly 1280 x 800") << QSize(1280, 800) << false;
    QTest::newRow("one row short") << QSize(1280, 799) << true;
    QTest::newRow("one column short") << QSize(1279, 1024) << true;
  }
  void window_start_state() {
    QFETCH(QSize, screen);
    QFETCH(bool, maximised);
    QCOMPARE(start_state_for_screen(screen) == window_start::maximised, maximised);
  }

  void page_host_fills_the_frame_inside_its_padding() {
    main_window window;
    QVERIFY(test::show_window(window, main_window_size));
    QCOMPARE(window.windowTitle(), QStringLiteral("VORANTE9M"));
    QCOMPARE(window.frame()->pages()->geometry(), QRect(4, 4, 1272, 792));

    auto* bar = new QWidget;
    bar->setFixedHeight(64);
    window.frame()->set_group_bar(bar);
    QApplication::processEvents();
    QCOMPARE(bar->geometry(), QRect(4, 4, 1272, 64));
    QCOMPARE(window.frame()->pages()->geometry(), QRect(4, 68, 1272, 728));
  }

  void page_stack_makes_each_page_once() {
    page_stack pages;
    int made = 0;
    int first_argument = -1;
    pages.add_page("one", [&](QWidget* parent, int argument) {
      ++made;
      first_argument = argument;
      return new QWidget(parent);
    });
    pages.add_page("two", [](QWidget* parent, int) { return new QWidget(parent); });

    QVERIFY(!pages.show_page("nothing"));
    QVERIFY(pages.current_name().isEmpty());
    QVERIFY(pages.show_page("one", 7));
    QWidget* one = pages.current_page();
    QVERIFY(pages.show_page("two"));
    QVERIFY(pages.current_page() != one);
    QVERIFY(pages.show_page("one", 9));
    QCOMPARE(pages.current_page(), one);
    QCOMPARE(made, 1);
    QCOMPARE(first_argument, 7);
  }

  void incompatible_overlay_covers_and_blocks() {
    QWidget window;
    window.resize(400, 300);
    auto* button = new QPushButton("under", &window);
    button->setGeometry(150, 130, 100, 40);
    incompatible_overlay overlay(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy clicked(button, &QPushButton::clicked);

    QVERIFY(!overlay.isVisible());
    QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(200, 150));
    QCOMPARE(clicked.count(), 0);  // the window itself was clicked, not the button
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(200, 150));
    QCOMPARE(clicked.count(), 1);

    overlay.show_message("not this console");
    window.resize(500, 350);
    QApplication::processEvents();
    QVERIFY(overlay.isVisible());
    QCOMPARE(overlay.geometry(), QRect(0, 0, 500, 350));
    QCOMPARE(overlay.message(), QStringLiteral("not this console"));
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(200, 150));
    QCOMPARE(clicked.count(), 1);
  }

  void window_shows_what_the_core_reports() {
    main_window window;
    QVERIFY(test::show_window(window, main_window_size));
    qt_ui_port port;
    window.listen_to(port);
    ui_port& core_side = port;

    core_side.show_toast("SAVE SUCCESS!", toast_green, toast_default_ms);
    const auto shown = [&window](const QString& text) {
      for (const QLabel* label : window.findChildren<QLabel*>())
        if (label->text() == text && label->isVisible()) return true;
      return false;
    };
    QVERIFY(shown("SAVE SUCCESS!"));

    QVERIFY(!window.incompatible()->isVisible());
    core_side.show_incompatible_overlay("wrong console");
    QVERIFY(window.incompatible()->isVisible());
    QCOMPARE(window.incompatible()->geometry(), window.rect());
    QVERIFY(shown("wrong console"));
  }

  void splash_fades_in_holds_and_ends_data() {
    QTest::addColumn<int>("elapsed");
    QTest::addColumn<double>("opacity");
    QTest::newRow("start") << 0 << 0.0;
    QTest::newRow("half way in") << 500 << 0.5;
    QTest::newRow("fully in") << 1000 << 1.0;
    QTest::newRow("end of hold") << 2999 << 1.0;
    QTest::newRow("done") << 3000 << -1.0;
  }
  void splash_fades_in_holds_and_ends() {
    QFETCH(int, elapsed);
    QFETCH(double, opacity);
    QCOMPARE(splash_opacity(elapsed), opacity);
  }

  void splash_picture_has_round_corners() {
    const QImage picture = splash_picture().toImage();
    QCOMPARE(picture.size(), splash_size);
    QCOMPARE(qAlpha(picture.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(picture.pixel(picture.width() - 1, picture.height() - 1)), 0);
    QCOMPARE(qAlpha(picture.pixel(picture.width() / 2, picture.height() / 2)), 255);
  }

  // --- the engine's steps ---

  void wakes_coalesce_into_one_step() {
    std::vector<uint32_t> stamps;
    uint32_t clock = 1000;
    main_loop loop([&](uint32_t now) { stamps.push_back(now); }, [&] { return clock; });

    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
      threads.emplace_back([&loop] {
        for (int i = 0; i < 1000; ++i) loop.wake();
      });
    for (auto& thread : threads) thread.join();
    QCoreApplication::processEvents();
    QCOMPARE(stamps, (std::vector<uint32_t>{1000}));

    // The flag is down again: the next wake is another step, at the clock's time then.
    clock = 1007;
    loop.wake();
    QCoreApplication::processEvents();
    QCOMPARE(stamps, (std::vector<uint32_t>{1000, 1007}));
  }

  void wake_during_a_step_asks_for_another() {
    int steps = 0;
    main_loop* self = nullptr;
    main_loop loop([&](uint32_t) {
      if (++steps == 1) self->wake();
    });
    self = &loop;
    loop.wake();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QCOMPARE(steps, 2);
  }

  void wake_main_loop_reaches_the_started_loop() {
    int steps = 0;
    wake_main_loop();  // no loop yet: nothing happens
    {
      main_loop loop([&](uint32_t) { ++steps; });
      wake_main_loop();
      QCoreApplication::processEvents();
      QCOMPARE(steps, 0);
      loop.start();
      wake_main_loop();
      QCoreApplication::processEvents();
      QCOMPARE(steps, 1);
    }
    wake_main_loop();  // the loop is gone: nothing happens
    QCoreApplication::processEvents();
    QCOMPARE(steps, 1);
  }

  // --- the program ---

  // A plain start shows the connect dialog's veil over everything; a page asked for by
  // name comes without it.
  void screenshot_run_saves_the_window_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("veiled");
    QTest::addColumn<QPoint>("probe");
    QTest::addColumn<bool>("plain_at_probe");
    QTest::newRow("start: the connect dialog") << QStringList{} << true << QPoint(640, 400) << false;
    QTest::newRow("page by name") << QStringList{"--show", "gallery"} << false << QPoint(640, 400) << false;
    // ST-FX leaves its fourth strip column empty: the frame shows through there.
    QTest::newRow("mixer page by name") << QStringList{"--show", "brief_channel:16"} << false << QPoint(960, 200)
                                        << true;
  }
  void screenshot_run_saves_the_window() {
    QFETCH(QStringList, args);
    QFETCH(bool, veiled);
    QFETCH(QPoint, probe);
    QFETCH(bool, plain_at_probe);
    QTemporaryDir dir;
    const QString file = dir.filePath("out.png");
    const auto run = run_program(args + QStringList{"--screenshot", file + "@0"}, dir.path());
    QVERIFY2(run.status == 0, run.output.constData());
    QImage picture(file);
    QVERIFY(!picture.isNull());
    QCOMPARE(picture.size(), main_window_size);
    QCOMPARE(picture.pixelColor(2, 2) == main_frame_colour, !veiled);
    QCOMPARE(picture.pixelColor(probe) == main_frame_colour, plain_at_probe);
  }

  // The link runs from the start: with a console address on the command line the engine,
  // stepped by the event loop, talks to it (heartbeat reads) before anyone clicks.
  void connect_option_talks_to_the_console() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    QVERIFY(fd >= 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    socklen_t length = sizeof address;
    QCOMPARE(::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const QString port = QString::number(ntohs(address.sin_port));

    QTemporaryDir dir;
    const auto run = run_program({"--connect", "127.0.0.1:" + port, "--screenshot", dir.filePath("x.png") + "@3000"},
                                 dir.path());
    QVERIFY2(run.status == 0, run.output.constData());
    uint8_t frame[1024];
    const auto received = ::recv(fd, frame, sizeof frame, MSG_DONTWAIT);
    ::close(fd);
    QVERIFY(received > 0);
    QVERIFY(check_datagram(frame, static_cast<std::size_t>(received)));
  }

  void program_refuses_bad_command_lines_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown option") << QStringList{"-bogus"} << 1 << "unknow parameter '-bogus'!";
    QTest::newRow("Qt's own options are ours too") << QStringList{"-platform", "xcb"} << 1
                                                   << "unknow parameter '-platform'!";
    QTest::newRow("connect to a host name") << QStringList{"--connect", "console.local"} << 1
                                            << "bad value 'console.local' for '--connect'!";
    QTest::newRow("unknown page") << QStringList{"--show", "no_such_page", "--screenshot", "x.png@0"} << 2
                                  << "unknown page 'no_such_page'";
    QTest::newRow("argument past the last") << QStringList{"--show", "edit_efx:2", "--screenshot", "x.png@0"} << 2
                                            << "page 'edit_efx' has no 2 to show";
    QTest::newRow("unknown part") << QStringList{"--show", "edit_output:0:EQ", "--screenshot", "x.png@0"} << 2
                                  << "unknown part 'EQ' of page 'edit_output' (known: PEQ, COMP, GEQ, FADER)";
    QTest::newRow("part past the last") << QStringList{"--show", "edit_dca:0:3", "--screenshot", "x.png@0"} << 2
                                        << "unknown part '3' of page 'edit_dca'";
    QTest::newRow("page without parts") << QStringList{"--show", "gallery:0:A", "--screenshot", "x.png@0"} << 2
                                        << "page 'gallery' has no parts";
    QTest::newRow("no FADER tab on MAIN L")
        << QStringList{"--show", "edit_output:8:FADER", "--screenshot", "x.png@0"} << 2
        << "page 'edit_output' cannot show part 'FADER' here";
    QTest::newRow("part without argument") << QStringList{"--show", "edit_dca::FADER", "--screenshot", "x.png@0"}
                                           << 1 << "bad value 'edit_dca::FADER' for '--show'!";
  }
  void program_refuses_bad_command_lines() {
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const auto run = run_program(args, dir.path());
    QCOMPARE(run.status, status);
    QVERIFY2(run.output.contains(message.toUtf8()), run.output.constData());
    QVERIFY(!QFile::exists(dir.filePath("x.png")));
  }
};

QTEST_MAIN(platform_test)
#include "platform_test.moc"
