// The scene page: the selection, CALL and SAVE with their progress, overlay and toasts, the
// engine's three sends, RENAME, the lock button, the console's scene keys, the import and
// export through the waiting file text and the save dialog, and the DIFF list.
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>
#include <fstream>
#include <functional>
#include <map>
#include <iterator>

#include "app/core/log.h"
#include "app/params/convert.h"
#include "app/protocol/messages.h"
#include "app/protocol/session.h"
#include "tests/support/engine_fixture.h"
#include "tests/ui/host_window.h"
#include "tests/ui/page_rig.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_registry.h"
#include "ui/pages/page_table.h"
#include "ui/screens/scenes/set_scene.h"
#include "ui/widgets/face_button.h"
#include "ui/widgets/text_entry.h"
#include "ui/widgets/text_list.h"
#include "ui/widgets/toast.h"

using namespace vorante;

namespace {

// The page on a session whose link is a memory transport; the clock moves by hand.
struct scene_rig : test::navigator_rig {
  test::memory_link link{session.engine};
  set_scene_page* page = nullptr;

  explicit scene_rig(QWidget* host) {
    session.store.load_defaults();
    session.engine.enable();
    make_navigator();
    page = static_cast<set_scene_page*>(create_set_scene(host, nav->env(), page_set_scene));
    page->resize(host->size());
    page->show();
  }
  ~scene_rig() {
    end_scene_operation();
    delete page;
  }

  void step(int n = 1) {
    for (int i = 0; i < n; ++i) {
      now += pace_period_ms;
      session.engine.step(now);
    }
  }
  // One progress tick with the engine's five paced passes of its 100 ms.
  void tick() {
    step(5);
    scene_progress_tick();
  }
  std::vector<std::vector<uint8_t>> sent(message_code code) const { return link.sent_with(code); }
  void deliver(message_code code, std::vector<uint8_t> payload) { link.deliver(make_frame(code_byte(code), payload)); }
};

QStringList list_rows(const text_list* list) {
  QStringList rows;
  for (int i = 0; i < list->count(); ++i) rows << list->row_at(i)->text;
  return rows;
}

QWidget* overlay(const char* name) {
  QLabel* label = nullptr;
  for (QWidget* w : QApplication::allWidgets())
    if (w->objectName() == name && w->isVisible()) label = static_cast<QLabel*>(w);
  return label;
}
QString toast_text() {
  auto* l = static_cast<QLabel*>(overlay("toast_bubble"));
  return l ? l->text() : QString();
}
QString busy_label() {
  auto* l = static_cast<QLabel*>(overlay("busy_text"));
  return l ? l->text() : QString();
}
QColor busy_colour() {
  auto* l = static_cast<QLabel*>(overlay("busy_text"));
  return l ? l->palette().color(QPalette::WindowText) : QColor();
}

void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

// What the answering console holds in its scene memory.
using scene_values = std::function<uint16_t(unsigned id)>;
uint16_t every_value_0x1234(unsigned) { return 0x1234; }

// Runs the page's transfer with a console that answers every request at once, to its end or
// for `ticks` ticks of the transfer timer.
void run_answered_transfer(scene_rig& r, const scene_values& values = every_value_0x1234, int ticks = 400) {
  std::size_t seen = r.link->sent.size();
  for (int i = 0; i < ticks && r.page->exchange().running(); ++i) {
    r.now += 10;
    r.page->tick_transfer();
    for (; seen < r.link->sent.size(); ++seen) {
      const auto& f = r.link->sent[seen];
      const auto p = frame_payload(f);
      const auto code = static_cast<message_code>(f[2]);
      switch (code) {
        case message_code::scene_values_read: {
          std::vector<uint8_t> reply(p.begin(), p.begin() + 4);
          const unsigned first = (p[2] << 8) | p[3];
          for (unsigned k = 0; k < p[1]; ++k) {
            const uint16_t v = values(first + k);
            reply.insert(reply.end(), {static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v & 0xFF)});
          }
          r.deliver(code, reply);
          break;
        }
        case message_code::scene_text_read: r.deliver(code, {p[0], p[1], 'x'}); break;
        case message_code::scene_name_read: r.deliver(code, {p[0], 'S', '1'}); break;
        case message_code::scene_values_write: r.deliver(code, {p[0], 0, p[2], p[3]}); break;
        case message_code::scene_text_write: r.deliver(code, {p[0], p[1]}); break;
        case message_code::scene_name_write:
        case message_code::scene_write_finish: r.deliver(code, {p[0]}); break;
        default: break;
      }
    }
    r.session.engine.step(r.now);
  }
}

}  // namespace

class set_scene_test : public test::host_window_test {
  Q_OBJECT

 public:
  set_scene_test() : host_window_test({1280, 800}) {}

 private slots:
  void initTestCase() { set_log_stream(nullptr); }

  void showing_asks_for_the_lock_and_the_current_scene_and_fills_the_names() {
    scene_rig r(host_);
    r.session.engine.names().set_scene_name(2, "Band");
    r.session.store.set_local(scene_change_marker_id, 5);
    set_scene_key_lock(true);
    r.page->page_shown();
    QCOMPARE(r.page->name_label(1)->text(), QString("Band"));
    QCOMPARE(r.page->name_label(11)->text(), QString("Scene12"));
    QCOMPARE(r.page->selected_scene(), 5);
    QVERIFY(r.page->lock_button()->isChecked());
    QVERIFY(r.page->import_poll_running());
    QCOMPARE(r.sent(message_code::config_query).size(), size_t(1));
    r.step(2);
    QVERIFY(!r.sent(message_code::read_params).empty());
    r.page->page_hidden();
    QVERIFY(!r.page->import_poll_running());
    set_scene_key_lock(false);
    QVERIFY(!r.page->lock_button()->isChecked());
  }

  void current_scene_selects_rows_one_to_twelve_only_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("selected");
    QTest::newRow("first") << 1 << 1;
    QTest::newRow("beyond the keys") << 7 << 7;
    QTest::newRow("last row") << 12 << 12;
    QTest::newRow("13 checks none") << 13 << 0;
    QTest::newRow("0 checks none") << 0 << 0;
  }
  void current_scene_selects_rows_one_to_twelve_only() {
    QFETCH(int, value);
    QFETCH(int, selected);
    scene_rig r(host_);
    r.page->on_param(scene_change_marker_id, static_cast<uint16_t>(value), true);
    r.page->on_param(100, 3, true);
    QCOMPARE(r.page->selected_scene(), selected);
    click(r.page->row(2));
    QCOMPARE(r.page->selected_scene(), 3);
    r.page->on_scene_name(3, "Renamed");
    r.page->on_scene_name(13, "Hidden");
    QCOMPARE(r.page->name_label(2)->text(), QString("Renamed"));
  }

  void every_button_asks_for_a_selection_first_data() {
    QTest::addColumn<int>("button");
    for (int b = 0; b < 6; ++b) QTest::newRow(std::to_string(b).c_str()) << b;
  }
  void every_button_asks_for_a_selection_first() {
    QFETCH(int, button);
    scene_rig r(host_);
    face_button* buttons[] = {r.page->rename_button(), r.page->call_button(),   r.page->save_button(),
                              r.page->import_button(), r.page->export_button(), r.page->diff_button()};
    click(buttons[button]);
    QCOMPARE(toast_text(), QString("Please select a scene!"));
    QVERIFY(!scene_operation_running());
    QVERIFY(!text_entry_is_open());
    QVERIFY(!r.page->open_dialog());
    QVERIFY(!r.page->exchange().running());
    QVERIFY(!r.page->diff_list()->isVisible());
    hide_toast();
  }

  void a_confirmed_call_shows_the_overlay_from_the_fourth_tick_and_then_its_toast_data() {
    QTest::addColumn<bool>("call");
    QTest::newRow("call") << true;
    QTest::newRow("save") << false;
  }
  void a_confirmed_call_shows_the_overlay_from_the_fourth_tick_and_then_its_toast() {
    QFETCH(bool, call);
    scene_rig r(host_);
    click(r.page->row(1));
    click(call ? r.page->call_button() : r.page->save_button());
    QVERIFY(scene_operation_running());
    const message_code code = call ? message_code::call_scene : message_code::save_scene;
    for (int t = 0; t < 4; ++t) {
      r.tick();
      QVERIFY2(busy_label().isEmpty(), "no overlay before the fourth tick");
    }
    QCOMPARE(r.sent(code).size(), size_t(1));
    QCOMPARE(frame_payload(r.sent(code)[0])[0], uint8_t(2));
    r.tick();
    QCOMPARE(busy_label(), QString(call ? "CALLING SCENE 2..." : "SAVING TO SCENE 2..."));
    QCOMPARE(busy_colour(), QColor(Qt::white));
    // Another click while it runs is ignored.
    click(r.page->row(4));
    click(r.page->call_button());
    click(r.page->rename_button());
    QVERIFY(!text_entry_is_open());
    r.deliver(code, {2});
    r.tick();
    QVERIFY(!scene_operation_running());
    QCOMPARE(toast_text(), QString(call ? "CALL SUCCESS!" : "SAVE SUCCESS!"));
    QVERIFY(busy_label().isEmpty());
    QCOMPARE(r.sent(message_code::call_scene).size(), size_t(call ? 1 : 0));
    hide_toast();
  }

  void an_unanswered_call_is_sent_three_times_and_fails_on_the_fiftieth_tick_data() {
    QTest::addColumn<bool>("call");
    QTest::newRow("call") << true;
    QTest::newRow("save") << false;
  }
  void an_unanswered_call_is_sent_three_times_and_fails_on_the_fiftieth_tick() {
    QFETCH(bool, call);
    scene_rig r(host_);
    click(r.page->row(6));
    click(call ? r.page->call_button() : r.page->save_button());
    const message_code code = call ? message_code::call_scene : message_code::save_scene;
    // A confirmation of another scene does not count.
    if (call) r.deliver(code, {3});
    std::vector<int> send_ticks;
    for (int t = 1; t < 50; ++t) {
      r.tick();
      if (r.sent(code).size() > send_ticks.size()) send_ticks.push_back(t);
      QVERIFY2(busy_label() != (call ? "CALL FAIL!" : "SAVE FAIL!"), "failed too early");
    }
    // Some two seconds apart: a hundred paced passes between sends.
    QCOMPARE(send_ticks.size(), size_t(3));
    QVERIFY(send_ticks[1] - send_ticks[0] >= 20 && send_ticks[1] - send_ticks[0] <= 21);
    QVERIFY(send_ticks[2] - send_ticks[1] >= 20 && send_ticks[2] - send_ticks[1] <= 21);
    r.tick();
    QCOMPARE(busy_label(), QString(call ? "CALL FAIL!" : "SAVE FAIL!"));
    QCOMPARE(busy_colour(), to_qcolor(0xF800));
    QVERIFY(!scene_operation_running());
    const auto sends = r.sent(code);
    QCOMPARE(sends.size(), size_t(3));
    QTRY_VERIFY_WITH_TIMEOUT(busy_label().isEmpty(), 1500);
  }

  void rename_commits_an_empty_name_too() {
    scene_rig r(host_);
    r.page->page_shown();
    click(r.page->row(2));
    click(r.page->rename_button());
    QVERIFY(text_entry_is_open());
    auto* edit = host_->findChild<QLineEdit*>();
    QVERIFY(edit);
    QCOMPARE(edit->text(), QString("Scene3"));
    edit->clear();
    text_entry_close(true);
    QCOMPARE(r.page->name_label(2)->text(), QString());
    QCOMPARE(r.session.engine.names().scene_name(3), std::string_view());
    r.step(3);
    const auto sets = r.sent(message_code::set_scene_name);
    QCOMPARE(sets.size(), size_t(1));
    QCOMPARE(frame_payload(sets[0]).size(), size_t(1));
    QCOMPARE(frame_payload(sets[0])[0], uint8_t(3));

    // Cancelling keeps the name.
    click(r.page->rename_button());
    host_->findChild<QLineEdit*>()->setText("Other");
    text_entry_close(false);
    QCOMPARE(r.page->name_label(2)->text(), QString());
  }

  void the_lock_button_sends_the_setting_and_follows_the_console() {
    scene_rig r(host_);
    set_scene_key_lock(false);
    r.page->page_shown();
    click(r.page->lock_button());
    QVERIFY(scene_key_lock());
    auto commands = r.sent(message_code::config_command);
    QCOMPARE(commands.size(), size_t(1));
    const auto p = frame_payload(commands[0]);
    QCOMPARE(std::string(p.begin(), p.end()), std::string("CMD=SCENEKEYLOCK\nSCENEKEYLOCK=ON"));
    set_scene_key_lock(false);  // the console's answer
    QVERIFY(!r.page->lock_button()->isChecked());
    click(r.page->lock_button());
    commands = r.sent(message_code::config_command);
    const auto q = frame_payload(commands.back());
    QCOMPARE(std::string(q.begin(), q.end()), std::string("CMD=SCENEKEYLOCK\nSCENEKEYLOCK=ON"));
    set_scene_key_lock(false);
  }

  void scene_keys_call_and_save_unless_locked_or_blinking() {
    scene_rig r(host_);
    set_scene_key_lock(true);
    scene_key_pressed(44);
    QVERIFY(!scene_operation_running());
    set_scene_key_lock(false);
    scene_key_pressed(44);  // scene 2
    QVERIFY(scene_operation_running());
    QVERIFY(scene_key_blinking());
    QCOMPARE(r.page->selected_scene(), 2);
    QCOMPARE(r.session.engine.scenes().pending_call(), 2);
    // A key while the light blinks is ignored entirely.
    end_progress_only(r);
    scene_key_pressed(45 | 0x8000);
    QCOMPARE(r.session.engine.scenes().pending_save(), 0);
    end_scene_operation();
    // A long press while a save is pending starts nothing.
    r.session.engine.scenes().request_save(9);
    scene_key_pressed(45 | 0x8000);
    QVERIFY(!scene_operation_running());
    QVERIFY(!scene_key_blinking());
    QCOMPARE(r.session.engine.scenes().pending_save(), 9);
  }

  void a_waiting_file_is_checked_and_uploaded_while_the_page_is_shown() {
    scene_rig r(host_);
    click(r.page->row(3));
    // A refused text: its toast, nothing sent.
    put_scene_file_text(std::make_unique<std::string>("nonsense"));
    r.page->page_shown();
    r.page->poll_import();
    QCOMPARE(toast_text(), QString("WRONG SCENE FILE!"));
    hide_toast();
    r.page->page_hidden();

    // The IMPORT button remembers the scene and discards what was waiting.
    put_scene_file_text(std::make_unique<std::string>("old"));
    click(r.page->import_button());
    QCOMPARE(r.page->import_target(), 4);
    QVERIFY(r.page->open_dialog() && r.page->open_dialog()->isVisible());
    QVERIFY(!take_scene_file_text());
    r.page->open_dialog()->reject();

    // Chosen while the page is hidden: taken when it shows again.
    put_scene_file_text(std::make_unique<std::string>(build_scene_json(transfer_image{}, 1)));
    r.page->page_shown();
    QTRY_VERIFY_WITH_TIMEOUT(r.page->exchange().running(), 500);
    QCOMPARE(busy_label(), QString("IMPORT TO SCENE 4..."));
    QVERIFY(r.page->transfer_timer_running());
    r.now += 10;
    r.page->tick_transfer();
    QCOMPARE(r.sent(message_code::scene_values_write).size(), size_t(1));
    QCOMPARE(frame_payload(r.sent(message_code::scene_values_write)[0])[0], uint8_t(4));
    end_scene_operation();
  }

  void an_export_opens_the_save_dialog_and_writes_the_coded_file() {
    scene_rig r(host_);
    r.page->set_dialog_folder(QDir::tempPath());
    click(r.page->row(0));
    click(r.page->export_button());
    QCOMPARE(busy_label(), QString("EXPORT FROM SCENE 1..."));
    run_answered_transfer(r);
    QVERIFY(!r.page->exchange().running());
    QVERIFY(!r.page->transfer_timer_running());
    QCOMPARE(toast_text(), QString("EXPORT SCENE SUCCESS!"));
    QVERIFY(busy_label().isEmpty());
    QFileDialog* dialog = r.page->save_dialog();
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(dialog->defaultSuffix(), QString("scn"));
    QCOMPARE(dialog->nameFilters().first(), QString("SCN Files (*.scn)"));
    const QString path = QDir::tempPath() + "/vorante-set-scene-export.scn";
    QFile::remove(path);
    dialog->selectFile(path);
    static_cast<QDialog*>(dialog)->accept();
    std::ifstream in(path.toStdString(), std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    transfer_image image;
    QCOMPARE(check_scene_text(scene_file_text(bytes), image), scene_check::ok);
    QCOMPARE(image.values[3517], uint16_t(0x1234));
    QCOMPARE(name_of(image.name), std::string_view("S1"));
    QCOMPARE(name_of(image.texts[59]), std::string_view("x"));
    QFile::remove(path);
    hide_toast();
  }

  // ---- DIFF ----

  void the_diff_button_and_list_cover_nothing_the_page_draws_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("rows");  // the list's rows at least
    QTest::newRow("page in the settings frame") << QSize(1050, 740) << 6;
    QTest::newRow("the whole program window") << QSize(1280, 800) << 8;
    QTest::newRow("a maximised small screen") << QSize(1024, 600) << 3;
  }
  void the_diff_button_and_list_cover_nothing_the_page_draws() {
    QFETCH(QSize, size);
    QFETCH(int, rows);
    host_->resize(size);
    scene_rig r(host_);
    QApplication::processEvents();
    std::vector<QWidget*> parts = {r.page->title(), r.page->lock_button()};
    for (face_button* b : {r.page->rename_button(), r.page->call_button(), r.page->save_button(),
                           r.page->import_button(), r.page->export_button()})
      parts.push_back(b);
    for (int i = 0; i < scene_rows; ++i) parts.push_back(r.page->row(i));
    const auto on_page = [&](const QWidget* w) { return QRect(w->mapTo(r.page, QPoint()), w->size()); };
    std::vector<QRect> before;
    for (QWidget* w : parts) before.push_back(on_page(w));
    r.page->page_shown();
    click(r.page->row(0));
    click(r.page->diff_button());
    run_answered_transfer(r);
    QApplication::processEvents();
    const QRect diff = on_page(r.page->diff_button()), list = on_page(r.page->diff_list());
    QVERIFY(r.page->diff_list()->isVisible());
    QVERIFY2(list.height() >= rows * scene_diff_row_height, qPrintable(QString::number(list.height())));
    for (const QRect& ours : {diff, list}) QVERIFY(r.page->rect().contains(ours));
    for (std::size_t i = 0; i < parts.size(); ++i) {
      QCOMPARE(on_page(parts[i]), before[i]);
      QVERIFY2(!parts[i]->geometry().isEmpty(), "a part of the page has room");
      QVERIFY(!before[i].intersects(diff));
      QVERIFY(!before[i].intersects(list));
    }
    QVERIFY(!diff.intersects(list));
    hide_toast();
  }

  void diff_lists_what_a_recall_would_change_channel_by_channel() {
    scene_rig r(host_);
    r.page->page_shown();
    const unsigned mute_ch1 = 64 + 10, pan_ch2 = 64 + 62 + 11, eq_gain_ch3 = 64 + 62 * 2 + 48, colour_ch1 = 3110;
    param_store& store = r.session.store;
    store.set_local(mute_ch1, 1);
    store.set_local(pan_ch2, 100);
    store.set_local(eq_gain_ch3, to_raw(value_type::peq_gain, 0.0));
    r.session.engine.names().set_channel_name(0, "Kick");
    std::map<unsigned, uint16_t> changed = {
        {mute_ch1, 0},
        {pan_ch2, 90},
        {eq_gain_ch3, static_cast<uint16_t>(to_raw(value_type::peq_gain, 3.0))},
        {colour_ch1, static_cast<uint16_t>(store.get(colour_ch1) ^ 1)},
        {3517, 0x5555},  // a recall leaves the end marker alone
    };
    const scene_values scene = [&](unsigned id) { return changed.count(id) ? changed[id] : store.get(id); };

    click(r.page->row(2));
    click(r.page->diff_button());
    text_list* list = r.page->diff_list();
    QVERIFY(list->isVisible());
    QCOMPARE(r.page->diff_scene(), 3);
    QCOMPARE(list_rows(list), QStringList{"READING SCENE 3... 0/3518"});
    QCOMPARE(busy_label(), QString("READING SCENE 3..."));
    // DIFF again while reading starts nothing.
    click(r.page->diff_button());
    run_answered_transfer(r, scene, 10);
    QVERIFY(r.page->exchange().running());
    QVERIFY2(list_rows(list).size() == 1 && list_rows(list)[0].startsWith("READING SCENE 3... ") &&
                 !list_rows(list)[0].startsWith("READING SCENE 3... 0/"),
             qPrintable(list_rows(list).join('|')));
    run_answered_transfer(r, scene);
    QVERIFY(!r.page->exchange().running());
    QVERIFY(busy_label().isEmpty());
    // Values only: no texts, no name, no file.
    QVERIFY(r.sent(message_code::scene_text_read).empty());
    QVERIFY(!r.page->save_dialog());

    QStringList rows = list_rows(list);
    QCOMPARE(rows.size(), 8);
    QCOMPARE(rows[0], QString("SCENE 3: 4 DIFFERENCES"));
    // CH1 keeps its colour with its mute, although three other channels' IDs lie between.
    QCOMPARE(rows[1], QString("Kick"));
    QCOMPARE(rows[2], QString("    mute  OFF -> ON"));
    QVERIFY2(rows[3].startsWith("    colour  "), qPrintable(rows[3]));
    QCOMPARE(rows[4], QString("CH2"));
    QCOMPARE(rows[5], QString("    pan  L = R -> L 10%"));
    QCOMPARE(rows[6], QString("CH3"));
    QCOMPARE(rows[7], QString("    EQ 2 gain  0.0dB -> 3.0dB"));

    // The console reports a live change that matches the scene: the list follows.
    store.set_local(pan_ch2, 90);
    r.page->on_param(pan_ch2, 90, true);
    QTRY_COMPARE(list_rows(list).size(), 6);
    rows = list_rows(list);
    QCOMPARE(rows[0], QString("SCENE 3: 3 DIFFERENCES"));
    QCOMPARE(rows[4], QString("CH3"));
    for (unsigned id : {mute_ch1, eq_gain_ch3, colour_ch1}) {
      store.set_local(id, changed[id]);
      r.page->on_param(static_cast<uint16_t>(id), changed[id], true);
    }
    QTRY_COMPARE(list_rows(list), QStringList{"SCENE 3: NO DIFFERENCES"});
    // Changes while another page is on screen show when the page comes back.
    r.page->page_hidden();
    store.set_local(pan_ch2, 100);
    r.page->page_shown();
    QCOMPARE(list_rows(list), (QStringList{"SCENE 3: 1 DIFFERENCE", "CH2", "    pan  L = R -> L 10%"}));
  }

  void a_scene_like_the_live_values_or_a_failed_read_says_so() {
    scene_rig r(host_);
    click(r.page->row(0));
    click(r.page->diff_button());
    run_answered_transfer(r, [&](unsigned id) { return r.session.store.get(id); });
    QCOMPARE(list_rows(r.page->diff_list()), QStringList{"SCENE 1: NO DIFFERENCES"});

    click(r.page->row(11));
    click(r.page->diff_button());
    QCOMPARE(list_rows(r.page->diff_list()), QStringList{"READING SCENE 12... 0/3518"});
    for (int i = 0; i < 2; ++i) {
      r.now += 3100;
      r.page->tick_transfer();
    }
    QVERIFY(!r.page->exchange().running());
    QVERIFY(!r.page->transfer_timer_running());
    QCOMPARE(list_rows(r.page->diff_list()), QStringList{"READING SCENE 12 FAILED"});
    QCOMPARE(toast_text(), QString("READ SCENE FAIL!"));
    QVERIFY(busy_label().isEmpty());
    // A later live change does not bring the old list back.
    r.page->on_param(64, 1, true);
    QTest::qWait(150);
    QCOMPARE(list_rows(r.page->diff_list()), QStringList{"READING SCENE 12 FAILED"});
    hide_toast();
  }

 private slots:
  // Pictures of the page and of every message it shows, for looking at: only when
  // VORANTE_SCENE_SHOTS names a folder.
  void screenshots_of_every_message() {
    const QString dir = qEnvironmentVariable("VORANTE_SCENE_SHOTS");
    if (dir.isEmpty()) QSKIP("VORANTE_SCENE_SHOTS is not set");
    scene_rig r(host_);
    r.session.engine.names().set_scene_name(1, "Opening");
    r.page->page_shown();
    const auto shot = [&](const char* name) {
      QApplication::processEvents();
      QVERIFY(host_->grab().save(dir + "/" + name + ".png"));
    };
    shot("page");
    click(r.page->call_button());
    shot("toast_select");
    hide_toast();
    click(r.page->row(0));
    click(r.page->call_button());
    for (int t = 0; t < 5; ++t) r.tick();
    shot("overlay_calling");
    r.deliver(message_code::call_scene, {1});
    r.tick();
    shot("toast_call_success");
    hide_toast();
    click(r.page->save_button());
    for (int t = 0; t < 50; ++t) r.tick();
    shot("overlay_save_fail");
    hide_busy();
    r.deliver(message_code::save_scene, {1});
    click(r.page->save_button());
    r.tick();
    r.tick();
    shot("toast_save_success");
    end_scene_operation();
    click(r.page->export_button());
    shot("overlay_export");
    run_answered_transfer(r);
    shot("toast_export_success");
    if (r.page->save_dialog()) r.page->save_dialog()->reject();
    click(r.page->export_button());
    for (int i = 0; i < 2; ++i) {
      r.now += 3100;
      r.page->tick_transfer();
    }
    QVERIFY(!r.page->exchange().running());
    shot("toast_export_fail");
    const std::pair<const char*, std::string> refusals[] = {
        {"toast_wrong_scene_file", "x"},
        {"toast_wrong_device_code", "{\"code\":\"0xE001\",\"type\":\"0x3C\",\"magic\":1,\"scenes\":[]}"},
        {"toast_import_refused", "{\"code\":\"0xE001\",\"type\":\"0x3B\",\"magic\":1,\"scenes\":[]}"},
    };
    for (const auto& [name, text] : refusals) {
      put_scene_file_text(std::make_unique<std::string>(text));
      r.page->poll_import();
      QVERIFY(!r.page->exchange().running());
      shot(name);
    }
    put_scene_file_text(std::make_unique<std::string>(build_scene_json(transfer_image{}, 1)));
    r.page->poll_import();
    shot("overlay_import");
    run_answered_transfer(r);
    shot("toast_import_success");
    put_scene_file_text(std::make_unique<std::string>(build_scene_json(transfer_image{}, 1)));
    r.page->poll_import();
    for (int i = 0; i < 2; ++i) {
      r.now += 3100;
      r.page->tick_transfer();
    }
    QVERIFY(!r.page->exchange().running());
    shot("toast_import_fail");
    hide_toast();

    // DIFF: reading, a few differences, none, a failed read.
    r.session.engine.names().set_channel_name(0, "Kick");
    param_store& store = r.session.store;
    const std::map<unsigned, uint16_t> scene = {
        {64 + 10, static_cast<uint16_t>(store.get(64 + 10) ^ 1)},
        {64 + 12, static_cast<uint16_t>(to_raw(value_type::fader_level, -10.0))},
        {64 + 62 + 11, 90},
        {64 + 62 * 2 + 48, static_cast<uint16_t>(to_raw(value_type::peq_gain, 3.0))},
        {1676, static_cast<uint16_t>(to_raw(value_type::fader_level, -20.0))},
        {2728 + 211, static_cast<uint16_t>(store.get(2728 + 211) + 1)},
        {3057, static_cast<uint16_t>(store.get(3057) ^ 1)},
    };
    const scene_values values = [&](unsigned id) { return scene.count(id) ? scene.at(id) : store.get(id); };
    click(r.page->row(1));
    click(r.page->diff_button());
    run_answered_transfer(r, values, 20);
    shot("diff_reading");
    run_answered_transfer(r, values);
    shot("diff_list");
    click(r.page->diff_button());
    run_answered_transfer(r, [&](unsigned id) { return store.get(id); });
    shot("diff_none");
    click(r.page->diff_button());
    for (int i = 0; i < 2; ++i) {
      r.now += 3100;
      r.page->tick_transfer();
    }
    shot("diff_failed");
    hide_toast();
  }

 private:
  // Ends the progress of a scene-key operation while its blink goes on.
  static void end_progress_only(scene_rig& r) {
    r.deliver(message_code::call_scene, {2});
    r.step(1);
    scene_progress_tick();
    QVERIFY(!scene_operation_running());
    QVERIFY(scene_key_blinking());
    hide_toast();
  }
};

QTEST_MAIN(set_scene_test)
#include "set_scene_test.moc"
