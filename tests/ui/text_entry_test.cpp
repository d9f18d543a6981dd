// The in-place text entry: commit and cancel by key and by touch, the flag rules, the
// replacement of an open request, the 31-character limit and the committed text.
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "tests/ui/host_window.h"
#include "ui/widgets/overlay_layer.h"
#include "ui/widgets/text_entry.h"

using namespace vorante;

namespace {

struct commit_record {
  QWidget* target = nullptr;
  std::uint16_t id = 0;
  std::uint16_t flags = 0;
  void* user = nullptr;
  std::string text;
};

}  // namespace

class text_entry_test : public QObject, test::host_window {
  Q_OBJECT

  QLabel* label_ = nullptr;
  QList<commit_record> commits_;

  entry_callback recorder() {
    return [this](QWidget* target, std::uint16_t id, std::uint16_t flags, void* user,
                  const std::string& text) { commits_.append({target, id, flags, user, text}); };
  }

  text_entry_request request(std::uint16_t flags, const QString& initial = "CH1") {
    text_entry_request r;
    r.callback = recorder();
    r.target = label_;
    r.id = 1234;
    r.flags = flags;
    r.user = this;
    r.initial_text = initial;
    return r;
  }

  // Typed key by key, as a keyboard or an input method delivers characters.
  void type(const QString& text) {
    for (QChar c : text) {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
      QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
      QApplication::sendEvent(edit(), &press);
      QApplication::sendEvent(edit(), &release);
    }
  }

  QLineEdit* edit() const { return host_->findChild<QLineEdit*>("text_entry"); }
  QWidget* catcher() const { return host_->findChild<QWidget*>("text_entry_catcher"); }

 private slots:
  void init() {
    label_ = new QLabel("CH1", make_host({1280, 800}));
    label_->setGeometry(200, 300, 160, 40);
    QVERIFY(show_host());
    commits_.clear();
  }
  void cleanup() {
    text_entry_close(false);
    close_host();
  }

  void opens_over_the_target_filled_and_selected() {
    text_entry_open(request(0, "Kick"));
    QVERIFY(text_entry_is_open());
    QVERIFY(edit()->isVisible());
    QVERIFY(catcher()->isVisible());
    QCOMPARE(edit()->text(), QString("Kick"));
    QCOMPARE(edit()->selectedText(), QString("Kick"));
    QCOMPARE(edit()->pos(), QPoint(200, 300));
    QCOMPARE(edit()->width(), 160);
    QVERIFY(edit()->height() >= 40);
    QCOMPARE(QFontInfo(edit()->font()).pixelSize(), 24);
  }

  void a_low_area_grows_to_a_text_line() {
    text_entry_request r = request(0);
    r.area = QRect(500, 100, 120, 8);
    text_entry_open(r);
    QCOMPARE(edit()->pos(), QPoint(500, 100));
    QVERIFY(edit()->height() >= QFontMetrics(edit()->font()).height());
  }

  void enter_commits_the_typed_text() {
    text_entry_open(request(0x8000 | 0x4000 | 0x5A));
    type("Snare");  // replaces the selected initial text
    QTest::keyClick(edit(), Qt::Key_Return);
    QVERIFY(!text_entry_is_open());
    QVERIFY(!edit()->isVisible());
    QVERIFY(!catcher()->isVisible());
    QCOMPARE(commits_.size(), 1);
    QCOMPARE(commits_[0].text, std::string("Snare"));
    QCOMPARE(commits_[0].target, static_cast<QWidget*>(label_));
    QCOMPARE(commits_[0].id, std::uint16_t{1234});
    QCOMPARE(commits_[0].flags, std::uint16_t{0x5A});  // only the caller's low byte
    QCOMPARE(commits_[0].user, static_cast<void*>(this));
  }

  void escape_cancels() {
    text_entry_open(request(0x8000));
    type("Snare");
    QTest::keyClick(edit(), Qt::Key_Escape);
    QVERIFY(!text_entry_is_open());
    QVERIFY(commits_.isEmpty());
    // The next Enter belongs to no request.
    QTest::keyClick(edit(), Qt::Key_Return);
    QVERIFY(commits_.isEmpty());
  }

  void empty_text_needs_its_flag_data() {
    QTest::addColumn<std::uint16_t>("flags");
    QTest::addColumn<bool>("reported");
    QTest::newRow("dropped") << std::uint16_t{0} << false;
    QTest::newRow("dropped with touch flag") << std::uint16_t{0x8000} << false;
    QTest::newRow("reported") << std::uint16_t{0x4000} << true;
  }
  void empty_text_needs_its_flag() {
    QFETCH(std::uint16_t, flags);
    QFETCH(bool, reported);
    text_entry_open(request(flags));
    QTest::keyClick(edit(), Qt::Key_Backspace);
    QTest::keyClick(edit(), Qt::Key_Enter);
    QVERIFY(!text_entry_is_open());
    QCOMPARE(commits_.size(), reported ? 1 : 0);
    if (reported) QCOMPARE(commits_[0].text, std::string());
  }

  void touch_outside_commits_or_cancels_by_flag_data() {
    QTest::addColumn<std::uint16_t>("flags");
    QTest::addColumn<bool>("committed");
    QTest::newRow("touch commits") << std::uint16_t{0x8000} << true;
    QTest::newRow("touch cancels") << std::uint16_t{0} << false;
    QTest::newRow("low byte does not commit") << std::uint16_t{0x00FF} << false;
  }
  void touch_outside_commits_or_cancels_by_flag() {
    QFETCH(std::uint16_t, flags);
    QFETCH(bool, committed);
    text_entry_open(request(flags));
    type("Bass");
    // A touch elsewhere lands on the catcher, not on what lies below it.
    QWidget* hit = host_->childAt(QPoint(900, 600));
    QCOMPARE(hit, catcher());
    QTest::mouseClick(hit, Qt::LeftButton, {}, QPoint(900, 600));
    QVERIFY(!text_entry_is_open());
    QCOMPARE(commits_.size(), committed ? 1 : 0);
    if (committed) QCOMPARE(commits_[0].text, std::string("Bass"));
  }

  void a_new_open_replaces_the_request() {
    QList<int> first_calls;
    text_entry_request first = request(0x8000);
    first.callback = [&](QWidget*, std::uint16_t, std::uint16_t, void*, const std::string&) {
      first_calls.append(1);
    };
    text_entry_open(first);
    type("old");

    text_entry_request second = request(0, "Vox");
    second.id = 7;
    second.area = QRect(40, 600, 200, 40);
    text_entry_open(second);
    QCOMPARE(edit()->pos(), QPoint(40, 600));
    QCOMPARE(edit()->text(), QString("Vox"));
    QTest::keyClick(edit(), Qt::Key_Return);

    QVERIFY(first_calls.isEmpty());
    QCOMPARE(commits_.size(), 1);
    QCOMPARE(commits_[0].id, std::uint16_t{7});
    QCOMPARE(commits_[0].text, std::string("Vox"));
  }

  void close_commits_only_when_asked() {
    text_entry_open(request(0x8000));
    type("Gtr");
    text_entry_close();
    QVERIFY(!text_entry_is_open());
    QVERIFY(commits_.isEmpty());

    text_entry_open(request(0));
    type("Gtr");
    text_entry_close(true);
    QCOMPARE(commits_.size(), 1);
    QCOMPARE(commits_[0].text, std::string("Gtr"));
    text_entry_close(true);  // nothing open: nothing more
    QCOMPARE(commits_.size(), 1);
  }

  void the_callback_may_open_the_next_entry() {
    // Password, then its confirmation: the second entry must survive the first commit.
    text_entry_request first = request(0, "");
    first.callback = [this](QWidget*, std::uint16_t, std::uint16_t, void*, const std::string& text) {
      commits_.append({nullptr, 1, 0, nullptr, text});
      text_entry_request next = request(0, "");
      next.id = 2;
      text_entry_open(next);
    };
    text_entry_open(first);
    type("secret");
    QTest::keyClick(edit(), Qt::Key_Return);
    QVERIFY(text_entry_is_open());
    QVERIFY(edit()->isVisible());
    type("secret");
    QTest::keyClick(edit(), Qt::Key_Return);
    QCOMPARE(commits_.size(), 2);
    QCOMPARE(commits_[1].id, std::uint16_t{2});
    QVERIFY(!text_entry_is_open());
  }

  void a_deleted_target_receives_nothing() {
    auto* doomed = new QLabel("X", host_);
    text_entry_request r = request(0);
    r.target = doomed;
    text_entry_open(r);
    type("abc");
    delete doomed;
    QTest::keyClick(edit(), Qt::Key_Return);
    QVERIFY(commits_.isEmpty());
    QVERIFY(!text_entry_is_open());
  }

  void at_most_31_characters_data() {
    QTest::addColumn<QString>("initial");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("to_end");
    QTest::addColumn<QString>("expected");
    const QString a31(31, 'a');
    QTest::newRow("typing stops at 31") << "" << QString(40, 'b') << false << QString(31, 'b');
    QTest::newRow("full text: more is refused") << a31 << "x." << true << a31;
    QTest::newRow("full text selected: typing replaces it") << a31 << "x" << false << "x";
    QTest::newRow("Chinese counts per character") << "" << QString(35, QChar(0x76D1)) << false
                                                  << QString(31, QChar(0x76D1));
  }
  void at_most_31_characters() {
    QFETCH(QString, initial);
    QFETCH(QString, typed);
    QFETCH(bool, to_end);
    QFETCH(QString, expected);
    text_entry_open(request(0, initial));
    if (to_end) QTest::keyClick(edit(), Qt::Key_End);
    type(typed);
    QCOMPARE(edit()->text(), expected);
  }

  void pasted_text_keeps_the_limit_and_long_texts_can_shrink() {
    text_entry_open(request(0, ""));
    edit()->insert(QString(40, 'p'));  // as a paste arrives
    QCOMPARE(edit()->text(), QString());
    edit()->insert(QString(31, 'p'));
    QCOMPARE(edit()->text().size(), 31);

    // A longer text from elsewhere is shown whole and can still be shortened.
    text_entry_open(request(0, QString(40, 'n')));
    QCOMPARE(edit()->text().size(), 40);
    QTest::keyClick(edit(), Qt::Key_End);
    QTest::keyClick(edit(), Qt::Key_Backspace);
    QCOMPARE(edit()->text().size(), 39);
    type("z");
    QCOMPARE(edit()->text().size(), 39);
  }

  void committed_text_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("plain") << "Kick In" << QByteArray("Kick In");
    QTest::newRow("carriage returns removed") << "a\rb\r" << QByteArray("ab");
    QTest::newRow("line breaks removed") << "x\r\ny\n" << QByteArray("xy");
    QTest::newRow("cut to 255 bytes") << QString(300, 'a') << QByteArray(255, 'a');
    // 2-byte characters: 127 whole ones fit, never half of the 128th.
    QTest::newRow("cut on a whole character") << QString(200, QChar(0xE9))
                                              << QString(127, QChar(0xE9)).toUtf8();
    QTest::newRow("UTF-8 kept") << QString::fromUtf8("监听") << QByteArray("监听");
  }
  void committed_text() {
    QFETCH(QString, typed);
    QFETCH(QByteArray, expected);
    QCOMPARE(QByteArray::fromStdString(entry_commit_text(typed)), expected);
  }

  void box_geometry_data() {
    QTest::addColumn<QRect>("area");
    QTest::addColumn<QRect>("expected");
    const QRect screen(0, 0, 1280, 800);
    QTest::newRow("tall enough") << QRect(10, 10, 100, 50) << QRect(10, 10, 100, 50);
    QTest::newRow("grown downward") << QRect(10, 10, 100, 20) << QRect(10, 10, 100, 34);
    QTest::newRow("kept on screen at the bottom") << QRect(10, 790, 100, 10) << QRect(10, 766, 100, 34);
    QTest::newRow("kept on screen at the top") << QRect(10, -20, 100, 40) << QRect(10, 0, 100, 40);
  }
  void box_geometry() {
    QFETCH(QRect, area);
    QFETCH(QRect, expected);
    QCOMPARE(entry_box_rect(area, 34, QRect(0, 0, 1280, 800)), expected);
  }
};

QTEST_MAIN(text_entry_test)
#include "text_entry_test.moc"
