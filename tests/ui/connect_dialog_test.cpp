// The connect dialog against the console simulator on loopback: discovery fills the list,
// Connect aims the link at the chosen console, Demo leaves it without one, and opening the
// dialog forgets the console and everything still pending for it.
#include <QAbstractButton>
#include <QLabel>
#include <QtTest>
#include <algorithm>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "app/core/options.h"
#include "app/core/translate.h"
#include "app/protocol/messages.h"
#include "app/protocol/session.h"
#include "tests/e2e/sim_process.h"
#include "tests/ui/host_window.h"
#include "ui/screens/mixer/connect_dialog.h"
#include "ui/widgets/overlay_layer.h"

using namespace vorante;

namespace {

constexpr uint32_t loopback = 0x7F000001;
constexpr int discovery_wait_ms = 5000;

std::vector<adapter> loopback_adapter() { return {adapter{"lo", loopback}}; }

// A UDP port nobody listens on: bound once to learn a free number, then let go.
uint16_t silent_port() {
  const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t n = sizeof a;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n);
  ::close(fd);
  return ntohs(a.sin_port);
}

// The link side the dialog works on, with a record of what it reported.
struct rig {
  runtime_options options;
  link_session session{options};
  console_target console;
  std::vector<bool> open_reports;
  std::unique_ptr<connect_dialog> dialog;

  explicit rig(uint16_t port) {
    session.store.load_defaults();
    connect_links links{session.store, session.engine, console};
    links.console_port = port;
    links.adapters = loopback_adapter;
    links.open_changed = [this](bool open) { open_reports.push_back(open); };
    dialog = std::make_unique<connect_dialog>(std::move(links));
  }
};

// What the list says about discovery: its text, or "-" while it says nothing.
QString status_of(const connect_dialog& d) {
  const QLabel* s = d.status_label();
  return s && !s->isHidden() ? s->text() : QString("-");
}

QString labels_of(QAbstractButton* b) {
  QStringList texts;
  for (QLabel* l : b->findChildren<QLabel*>()) texts << l->text();
  return texts.join(' ');
}

}  // namespace

class connect_dialog_test : public test::host_window_test {
  Q_OBJECT

 public:
  connect_dialog_test() : host_window_test({1280, 800}) {}

 private slots:
  void discovery_lists_the_consoles_that_answer_data() {
    QTest::addColumn<QStringList>("sim_options");  // empty: no console at all
    QTest::addColumn<QString>("listed");           // empty: nothing listed
    QTest::newRow("named console") << QStringList{"--name", "Stage Left"} << "Stage Left (127.0.0.1)";
    QTest::newRow("unnamed console takes the product name") << QStringList{"--name", "unnamed"}
                                                            << "VORANTE9M (127.0.0.1)";
    QTest::newRow("another model is not ours") << QStringList{"--model", "0x3C"} << "";
    QTest::newRow("nobody answers") << QStringList{} << "";
  }
  void discovery_lists_the_consoles_that_answer() {
    QFETCH(QStringList, sim_options);
    QFETCH(QString, listed);
    std::unique_ptr<test::sim_process> sim;
    uint16_t port = silent_port();
    if (!sim_options.isEmpty()) {
      std::vector<std::string> args;
      for (const QString& o : sim_options) args.push_back(o.toStdString());
      sim = std::make_unique<test::sim_process>(args);
      QVERIFY(sim->ready());
      port = sim->udp_port();
    }
    rig r(port);
    r.dialog->open();
    QVERIFY(r.dialog->is_open());
    QCOMPARE(status_of(*r.dialog), QString("Searching..."));
    // The first round starts by itself shortly after the dialog appears.
    QTRY_VERIFY_WITH_TIMEOUT(r.dialog->discovering(), discovery_wait_ms);
    QCOMPARE(status_of(*r.dialog), QString("Searching..."));
    QTRY_VERIFY_WITH_TIMEOUT(!r.dialog->discovering(), discovery_wait_ms);
    if (listed.isEmpty()) {
      QVERIFY(r.dialog->entries().empty());
      QVERIFY(r.dialog->entry_button(0) == nullptr);
      QCOMPARE(status_of(*r.dialog), QString("No console found"));
      // A new round searches again.
      r.dialog->refresh_button()->click();
      QCOMPARE(status_of(*r.dialog), QString("Searching..."));
      QTRY_VERIFY_WITH_TIMEOUT(!r.dialog->discovering(), discovery_wait_ms);
      QCOMPARE(status_of(*r.dialog), QString("No console found"));
      return;
    }
    QCOMPARE(status_of(*r.dialog), QString("-"));
    QCOMPARE(r.dialog->entries().size(), std::size_t{1});
    QCOMPARE(r.dialog->entries()[0].address, loopback);
    QCOMPARE(labels_of(r.dialog->entry_button(0)), listed);

    // "Refresh" empties the list at once and fills it again with the same console.
    r.dialog->refresh_button()->click();
    QVERIFY(r.dialog->entries().empty());
    QVERIFY(r.dialog->entry_button(0) == nullptr);
    QCOMPARE(status_of(*r.dialog), QString("Searching..."));
    QTRY_VERIFY_WITH_TIMEOUT(!r.dialog->discovering(), discovery_wait_ms);
    QCOMPARE(r.dialog->entries().size(), std::size_t{1});
    QCOMPARE(status_of(*r.dialog), QString("-"));
  }

  // No network to search: the round finds nothing, and says so.
  void a_round_without_adapters_finds_nothing() {
    runtime_options options;
    link_session session{options};
    console_target console;
    connect_links links{session.store, session.engine, console};
    links.adapters = [] { return std::vector<adapter>{}; };
    connect_dialog dialog(std::move(links));
    dialog.open();
    dialog.refresh();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.discovering(), discovery_wait_ms);
    QCOMPARE(status_of(dialog), QString("No console found"));
  }

  void the_status_is_translated() {
    QVERIFY(select_language("zh-cn"));
    rig r(silent_port());
    r.dialog->open();
    const QString searching = status_of(*r.dialog);
    QTRY_VERIFY_WITH_TIMEOUT(r.dialog->discovering(), discovery_wait_ms);
    QTRY_VERIFY_WITH_TIMEOUT(!r.dialog->discovering(), discovery_wait_ms);
    const QString none = status_of(*r.dialog);
    select_language("en");
    QCOMPARE(searching, QString::fromUtf8("正在搜索..."));
    QCOMPARE(none, QString::fromUtf8("未找到调音台"));
  }

  void connect_aims_the_link_at_the_checked_console() {
    test::sim_process sim({"--name", "FOH"});
    QVERIFY(sim.ready());
    rig r(sim.udp_port());
    r.dialog->open();
    QTRY_VERIFY_WITH_TIMEOUT(r.dialog->entry_button(0) != nullptr, discovery_wait_ms);

    // Nothing checked: "Connect" does nothing.
    r.dialog->connect_button()->click();
    QVERIFY(r.dialog->is_open());
    QCOMPARE(r.console.address(), 0u);

    QTest::mouseClick(r.dialog->entry_button(0), Qt::LeftButton);
    QVERIFY(r.dialog->entry_button(0)->isChecked());
    r.dialog->connect_button()->click();
    QVERIFY(!r.dialog->is_open());
    QCOMPARE(r.console.address(), loopback);
    QCOMPARE(r.console.port(), sim.udp_port());
    // Everything is read from the new console.
    QVERIFY(r.session.store.requests().contains(3517));
    QCOMPARE(r.open_reports, (std::vector<bool>{true, false}));
  }

  void demo_closes_without_a_console() {
    rig r(silent_port());
    r.dialog->open();
    r.dialog->demo_button()->click();
    QVERIFY(!r.dialog->is_open());
    QCOMPARE(r.console.address(), 0u);
    QCOMPARE(r.open_reports, (std::vector<bool>{true, false}));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(host_->findChild<QWidget*>("connect_dialog") == nullptr);
  }

  // Opening (or raising) the dialog forgets the console: no address, the link counted as
  // down, and nothing left to send or ask for.
  void opening_forgets_the_console_and_everything_pending() {
    rig r(silent_port());
    r.console.set_address(loopback);
    r.session.engine.enable();
    const id_value heard{100, 7};
    const frame_bytes values = make_param_values({&heard, 1});
    r.session.engine.feed(values.view());
    r.session.engine.step(1000);
    QVERIFY(r.session.engine.link_alive());
    r.session.store.set_and_send(200, 5);
    r.session.store.request(300);
    QVERIFY(!r.session.store.dirty().empty());

    for (int round = 0; round < 2; ++round) {
      r.dialog->open();
      QVERIFY(r.dialog->is_open());
      QCOMPARE(r.console.address(), 0u);
      QVERIFY(!r.session.engine.link_alive());
      QVERIFY(r.session.store.dirty().empty());
      QVERIFY(r.session.store.requests().empty());
      r.session.store.set_and_send(200, 6);
      r.console.set_address(loopback);
    }
    // The second open only raised the one dialog there is.
    QCOMPARE(host_->findChildren<QWidget*>("connect_dialog").size(), 1);
    QCOMPARE(r.open_reports, (std::vector<bool>{true}));
  }
};

QTEST_MAIN(connect_dialog_test)
#include "connect_dialog_test.moc"
