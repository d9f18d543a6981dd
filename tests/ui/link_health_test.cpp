// Link health against the console simulator on loopback: a write the console refuses ends
// in one red toast, is listed in the connect dialog's link section with its channel,
// parameter and value, and "Resync" reads the same console again.
#include <QAbstractButton>
#include <QSignalSpy>
#include <QtTest>
#include <cstdio>

#include "app/params/ids.h"
#include "app/protocol/link_stats.h"
#include "tests/ui/host_window.h"
#include "tests/ui/linked_rig.h"
#include "ui/screens/mixer/connect_dialog.h"

using namespace vorante;

namespace {

constexpr uint32_t loopback = 0x7F000001;
constexpr uint32_t short_grace_ms = 1000;

}  // namespace

class link_health_test : public test::host_window_test {
  Q_OBJECT

 public:
  link_health_test() : host_window_test({1280, 800}) {}

 private slots:
  void a_refused_write_is_told_listed_and_resync_reads_again() {
    test::sim_process sim({"--name", "Stage Left"});
    QVERIFY(sim.ready());
    QCOMPARE(QString::fromStdString(sim.command("refuse writes on")), QString("ok"));
    test::linked_rig::setup how;
    how.wire = test::wire_settings;
    test::linked_rig rig(host_, sim.udp_port(), how);
    QSignalSpy toasts(&rig.port, &qt_ui_port::toast);
    rig.session.store.full_resync();
    QTRY_VERIFY_WITH_TIMEOUT(rig.session.engine.read_finished(), 20000);
    QTRY_COMPARE_WITH_TIMEOUT(QString::fromStdString(rig.session.config.device_name()), QString("Stage Left"), 5000);

    rig.session.engine.verdicts().set_grace(short_grace_ms);
    const uint16_t fader = param_id(kind_input, 0, code_input_fader);
    rig.session.store.linked_set(fader, 1100);
    QTRY_COMPARE_WITH_TIMEOUT(toasts.count(), 1, 10000);
    QCOMPARE(toasts[0][0].toString(), QString("1 change was not confirmed by the console"));
    QCOMPARE(toasts[0][1].value<uint16_t>(), toast_red);
    QVERIFY(test::sim_value(sim, fader) != 1100);  // refused, as it said

    connect_links links{rig.session.store, rig.session.engine, rig.console};
    links.console_port = sim.udp_port();
    links.adapters = [] { return std::vector<adapter>{adapter{"lo", loopback}}; };
    links.console_name = [&rig] { return rig.session.config.device_name(); };
    connect_dialog dialog(std::move(links));
    dialog.open();
    QVERIFY(dialog.link_section() != nullptr);
    const QString texts = dialog.link_texts();
    const QString address = QString("127.0.0.1:%1").arg(sim.udp_port());
    QVERIFY2(texts.contains("Console: Stage Left (" + address + ")"), qPrintable(texts));
    QVERIFY2(texts.contains("Link mode: UDP"), qPrintable(texts));
    QVERIFY2(texts.contains("Not confirmed: 1 given up, 0 confirmed late"), qPrintable(texts));
    QVERIFY2(texts.contains("Resends: 3 writes"), qPrintable(texts));
    QVERIFY2(texts.contains(QRegularExpression("Last full read: \\d\\d:\\d\\d:\\d\\d, \\d+ ms")), qPrintable(texts));
    QVERIFY2(texts.contains("CH1  fader  "), qPrintable(texts));

    // The section sits below everything the dialog drew before: nothing is covered.
    QWidget* section = dialog.link_section();
    for (QAbstractButton* b : {dialog.refresh_button(), dialog.connect_button(), dialog.demo_button()}) {
      const QRect r(b->mapTo(dialog.layer(), QPoint(0, 0)), b->size());
      const QRect s(section->mapTo(dialog.layer(), QPoint(0, 0)), section->size());
      QVERIFY(!r.intersects(s));
    }
    QVERIFY(dialog.layer()->findChild<QWidget*>("connect_panel")->geometry().bottom() < host_->height());

    QTest::qWait(200);
    const QString shot = QDir::temp().filePath("vorante-link-section.png");
    QVERIFY(host_->grab().save(shot, "PNG"));
    std::printf("link section picture: %s\n", qPrintable(shot));

    // "Resync" aims at the console the link had and reads everything again.
    QVERIFY(dialog.resync_button()->isEnabled());
    dialog.resync_button()->click();
    QVERIFY(!dialog.is_open());
    QCOMPARE(rig.console.address(), loopback);
    QCOMPARE(rig.console.port(), sim.udp_port());
    QVERIFY(rig.session.engine.stats().full_read_running);
    QTRY_VERIFY_WITH_TIMEOUT(rig.session.engine.read_finished(), 20000);
    QVERIFY(!rig.session.engine.stats().full_read_running);
  }
};

QTEST_MAIN(link_health_test)
#include "link_health_test.moc"
