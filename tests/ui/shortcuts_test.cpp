// The computer keyboard's shortcuts, typed into the window as main() wires it: the banks,
// the fader overview, the media and settings pages, Escape out of an editor (and nowhere
// else), and the arrow keys turning the first encoder as one undoable step.
#include <QLineEdit>
#include <QtTest>
#include <memory>

#include "app/protocol/session.h"
#include "tests/ui/host_window.h"
#include "tests/ui/page_rig.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_table.h"
#include "ui/platform/input.h"
#include "ui/platform/shortcuts.h"
#include "ui/screens/editors/edit_input.h"

using namespace vorante;

namespace {

// Where a case starts.
enum class start : int { strips_bank_3, editor_ch4, fader_overview, settings, editor_typing };

}  // namespace

Q_DECLARE_METATYPE(start)

class shortcuts_test : public test::host_window_test {
  Q_OBJECT

 public:
  shortcuts_test() : host_window_test({1280, 800}) {}

 private:
  // The window's keyboard, as main() wires it: the router turns the arrows into encoder 0,
  // then the gestures and the shortcuts.
  struct wired {
    explicit wired(QWidget* host) : rig(host), input(host), gestures(host, *rig.nav) {
      QObject::connect(&input, &input_router::surface_encoder, rig.nav.get(), &navigator::console_encoder);
      install_shortcuts(*host, *rig.nav);
    }
    test::page_rig rig;
    input_router input;
    edit_gestures gestures;
  };

  void go_to(wired& w, start s) {
    navigator& nav = *w.rig.nav;
    switch (s) {
      case start::strips_bank_3: nav.select_bank(3); break;
      case start::editor_ch4:
      case start::editor_typing: nav.open_editor(kind_input, 3); break;
      case start::fader_overview: nav.show_by_name("brief_fader", 0); break;
      case start::settings: nav.show_settings(); break;
    }
    if (s == start::editor_typing) {
      // A text field of the window has the focus: Escape is the field's.
      auto* field = new QLineEdit(host_);
      field->show();
      field->setFocus();
      QTRY_VERIFY(field->hasFocus());
    }
  }

 private slots:
  void each_key_goes_where_it_says_data() {
    QTest::addColumn<start>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("mods");
    QTest::addColumn<int>("page");  // the page on screen afterwards
    QTest::addColumn<int>("bank");  // the current bank afterwards
    const int ctrl = Qt::ControlModifier;
    for (int b = 0; b < 5; ++b)
      QTest::newRow(qPrintable(QString("Ctrl+%1 from an editor").arg(b + 1)))
          << start::editor_ch4 << int(Qt::Key_1 + b) << ctrl << int(page_brief_channel) << b;
    QTest::newRow("Ctrl+1 from another bank") << start::strips_bank_3 << int(Qt::Key_1) << ctrl
                                              << int(page_brief_channel) << 0;
    QTest::newRow("Ctrl+F fader overview") << start::strips_bank_3 << int(Qt::Key_F) << ctrl << int(page_brief_fader) << 3;
    QTest::newRow("Ctrl+M media") << start::editor_ch4 << int(Qt::Key_M) << ctrl << int(page_player) << 0;
    QTest::newRow("Ctrl+comma settings") << start::fader_overview << int(Qt::Key_Comma) << ctrl << int(page_setting)
                                         << 0;
    QTest::newRow("1 without Ctrl") << start::strips_bank_3 << int(Qt::Key_1) << 0 << int(page_brief_channel) << 3;
    QTest::newRow("Escape closes the editor") << start::editor_ch4 << int(Qt::Key_Escape) << 0
                                              << int(page_brief_channel) << 0;
    QTest::newRow("Escape while typing stays") << start::editor_typing << int(Qt::Key_Escape) << 0
                                               << int(page_edit_input) << 0;
    QTest::newRow("Escape on the fader overview stays")
        << start::fader_overview << int(Qt::Key_Escape) << 0 << int(page_brief_fader) << 0;
    QTest::newRow("Escape on the settings stays") << start::settings << int(Qt::Key_Escape) << 0 << int(page_setting)
                                                  << 0;
  }
  void each_key_goes_where_it_says() {
    QFETCH(start, from);
    QFETCH(int, key);
    QFETCH(int, mods);
    QFETCH(int, page);
    QFETCH(int, bank);
    wired w(host_);
    go_to(w, from);
    QTest::keyClick(host_->windowHandle(), static_cast<Qt::Key>(key), Qt::KeyboardModifiers(mods));
    QVERIFY(w.rig.nav->is_on_screen(page));
    QCOMPARE(w.rig.nav->current_bank(), bank);
  }

  // Left and Right turn encoder 0 for the page on screen: in the input editor, the selected
  // cell. Each press is one journal step.
  void arrow_keys_are_encoder_zero_one_undoable_step_each() {
    wired w(host_);
    w.rig.nav->open_editor(kind_input, 0);
    auto* editor = w.rig.page_in<edit_input_page>(page_edit_cont, page_edit_input);
    QVERIFY(editor);
    const unsigned gain = param_id(kind_input, 0, code_input_gain);
    editor->select_cell(static_cast<int>(gain));
    param_store& store = w.rig.store();
    const uint16_t start = store.get(gain);
    const auto press = [&](Qt::Key key, Qt::KeyboardModifiers mods = {}) {
      QTest::keyClick(host_->windowHandle(), key, mods);
      QCoreApplication::processEvents();  // the step closes after the event
      return store.get(gain);
    };
    const uint16_t one = press(Qt::Key_Left);
    QVERIFY(one != start);
    const uint16_t two = press(Qt::Key_Left);
    QVERIFY(two != one);
    QCOMPARE(press(Qt::Key_Z, Qt::ControlModifier), one);
    QCOMPARE(press(Qt::Key_Z, Qt::ControlModifier), start);
    QCOMPARE(press(Qt::Key_Y, Qt::ControlModifier), one);
    // Right turns the other way.
    QCOMPARE(press(Qt::Key_Right), start);
    // Up is no turn of the encoder.
    QCOMPARE(press(Qt::Key_Up), start);
    QVERIFY(w.rig.nav->is_on_screen(page_edit_input));
  }
};

QTEST_MAIN(shortcuts_test)
#include "shortcuts_test.moc"
