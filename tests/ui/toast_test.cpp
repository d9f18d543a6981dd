// Toasts (one at a time, replacement and expiry, modal or not), the busy overlay and
// call_later. Time is a hand-moved clock; the check timer is run by hand.
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "tests/ui/host_window.h"
#include "ui/widgets/toast.h"

using namespace vorante;

class toast_test : public QObject, test::host_window {
  Q_OBJECT

  QPushButton* under_ = nullptr;
  int under_clicks_ = 0;
  std::int64_t now_ = 0;

  static QLabel* bubble(QWidget* layer) { return layer->findChild<QLabel*>("toast_bubble"); }
  static bool timer_running(QWidget* layer) { return layer->findChild<QTimer*>() != nullptr; }

  // A click that finds its widget the way a real touch does.
  void click_host_at(QPoint p) {
    QTest::mouseClick(host_->windowHandle(), Qt::LeftButton, {}, p);
  }

 private slots:
  void init() {
    now_ = 0;
    set_toast_clock([this] { return now_; });
    under_ = new QPushButton("under", make_host({1280, 800}));
    under_->setGeometry(600, 380, 80, 40);
    under_clicks_ = 0;
    connect(under_, &QPushButton::clicked, this, [this] { ++under_clicks_; });
    QVERIFY(show_host());
  }
  void cleanup() {
    hide_toast();
    hide_busy();
    close_host();
    set_toast_clock({});
  }

  void shows_centred_over_the_host() {
    QWidget* layer = show_toast("SAVE SUCCESS!", theme::success, 1500);
    QVERIFY(layer != nullptr);
    QVERIFY(layer->isVisible());
    QCOMPARE(layer->geometry(), host_->rect());
    QCOMPARE(bubble(layer)->text(), QString("SAVE SUCCESS!"));
    QCOMPARE(bubble(layer)->geometry().center(), host_->rect().center());
    QVERIFY(timer_running(layer));
  }

  void a_second_toast_replaces_the_first_and_its_time_data() {
    QTest::addColumn<std::int64_t>("check_at");
    QTest::addColumn<bool>("visible");
    // First toast at 0, second at 500, both for 1500 ms.
    QTest::newRow("first's time not up") << std::int64_t{1400} << true;
    QTest::newRow("first's time up, second's not") << std::int64_t{1600} << true;
    QTest::newRow("just before the second's end") << std::int64_t{1999} << true;
    QTest::newRow("second's time up") << std::int64_t{2000} << false;
  }
  void a_second_toast_replaces_the_first_and_its_time() {
    QFETCH(std::int64_t, check_at);
    QFETCH(bool, visible);
    QWidget* first = show_toast("CALLING SCENE 1...", theme::hint, 1500);
    now_ = 500;
    QWidget* second = show_toast("CALL SUCCESS!", theme::success, 1500);
    QCOMPARE(second, first);  // one toast, not two
    QCOMPARE(host_->findChildren<QLabel*>("toast_bubble").size(), 1);
    now_ = check_at;
    toast_tick();
    QCOMPARE(second->isVisible(), visible);
    QCOMPARE(timer_running(second), visible);
    if (visible) QCOMPARE(bubble(second)->text(), QString("CALL SUCCESS!"));
  }

  void the_check_timer_ends_the_toast_by_itself() {
    QWidget* layer = show_toast("COPY DONE!", theme::success, 300);
    now_ = 300;
    QTRY_VERIFY_WITH_TIMEOUT(!layer->isVisible(), 2000);
    QVERIFY(!timer_running(layer));
  }

  void hide_toast_hides_at_once_and_stops_the_timer() {
    QWidget* layer = show_toast("ERROR!", theme::failure, 100000);
    hide_toast();
    QVERIFY(!layer->isVisible());
    QVERIFY(!timer_running(layer));
    // A toast after that starts a fresh timer.
    show_toast("ERROR!", theme::failure, 1000);
    QVERIFY(layer->isVisible());
    QVERIFY(timer_running(layer));
  }

  void modal_toasts_swallow_touches_data() {
    QTest::addColumn<bool>("modal");
    QTest::addColumn<int>("clicks");
    QTest::newRow("non-modal passes the touch") << false << 1;
    QTest::newRow("modal swallows it") << true << 0;
  }
  void modal_toasts_swallow_touches() {
    QFETCH(bool, modal);
    QFETCH(int, clicks);
    show_toast("Please select a scene!", theme::hint, 1500, modal);
    // Beside the bubble but over the button below.
    click_host_at(under_->geometry().topLeft() + QPoint(2, 2));
    QCOMPARE(under_clicks_, clicks);
  }

  void each_toast_takes_its_own_colour_and_font() {
    QWidget* layer = show_toast("big", theme::failure, 1000, false, QFont("Sans", 8));
    QCOMPARE(QFontInfo(bubble(layer)->font()).family(), QFontInfo(QFont("Sans", 8)).family());
    QVERIFY(bubble(layer)->styleSheet().contains(to_qcolor(theme::failure).name()));
    show_toast("plain", theme::success, 1000);
    QCOMPARE(QFontInfo(bubble(layer)->font()).pixelSize(), 16);
    QVERIFY(bubble(layer)->styleSheet().contains(to_qcolor(theme::success).name()));
  }

  void a_long_text_stays_on_screen() {
    QWidget* layer = show_toast(QString(60, 'W') + " " + QString(60, 'W') + " " + QString(60, 'W'),
                                theme::hint, 1000);
    QVERIFY(host_->rect().contains(bubble(layer)->geometry()));
  }

  void busy_overlay_covers_and_blocks() {
    QWidget* busy = show_busy("COPYING...");
    QVERIFY(busy != nullptr);
    QVERIFY(busy->isVisible());
    QCOMPARE(busy->geometry(), host_->rect());
    QCOMPARE(busy->findChild<QLabel*>("busy_text")->text(), QString("COPYING..."));
    click_host_at(under_->geometry().center());
    QCOMPARE(under_clicks_, 0);
    hide_busy();
    QVERIFY(!busy->isVisible());
    click_host_at(under_->geometry().center());
    QCOMPARE(under_clicks_, 1);
  }

  void overlays_follow_the_host_size() {
    QWidget* layer = show_toast("x", theme::hint, 1000);
    host_->resize(1024, 600);
    QCOMPARE(layer->size(), QSize(1024, 600));
  }

  void spinner_turns_once_per_period_data() {
    QTest::addColumn<double>("phase");
    QTest::addColumn<double>("angle");
    QTest::newRow("start") << 0.0 << 0.0;
    QTest::newRow("half") << 0.5 << 180.0;
    QTest::newRow("end") << 1.0 << 360.0;
    QTest::newRow("past the end") << 1.5 << 360.0;
  }
  void spinner_turns_once_per_period() {
    QFETCH(double, phase);
    QFETCH(double, angle);
    QCOMPARE(spinner_start_angle(phase), angle);
  }

  void nothing_is_shown_without_a_host() {
    set_overlay_host(nullptr);
    QCOMPARE(show_toast("x", theme::hint, 1000), static_cast<QWidget*>(nullptr));
    QCOMPARE(show_busy("x"), static_cast<QWidget*>(nullptr));
    set_overlay_host(host_);
  }

  void call_later_runs_once() {
    int calls = 0;
    call_later(0, [&calls] { ++calls; });
    QCOMPARE(calls, 0);  // never synchronously
    QTRY_COMPARE_WITH_TIMEOUT(calls, 1, 2000);
    QTest::qWait(30);
    QCOMPARE(calls, 1);
  }

  void call_later_is_dropped_with_its_context() {
    int calls = 0;
    auto* context = new QObject();
    call_later(0, context, [&calls] { ++calls; });
    delete context;
    int sentinel = 0;
    call_later(0, [&sentinel] { ++sentinel; });
    QTRY_COMPARE_WITH_TIMEOUT(sentinel, 1, 2000);
    QCOMPARE(calls, 0);
  }
};

QTEST_MAIN(toast_test)
#include "toast_test.moc"
