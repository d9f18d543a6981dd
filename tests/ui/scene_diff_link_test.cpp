// The scene page's DIFF on a real link to the console simulator: a scene stored on the
// console, then live changes made on the console and in the program; DIFF reads the scene
// over the link and lists exactly those, and a recall empties the list.
#include <QtTest>

#include "app/params/convert.h"
#include "tests/ui/host_window.h"
#include "tests/ui/linked_rig.h"
#include "ui/pages/navigator.h"
#include "ui/screens/scenes/set_scene.h"
#include "ui/widgets/face_button.h"
#include "ui/widgets/text_list.h"

using namespace vorante;

namespace {

constexpr int change_wait_ms = 3000;

using test::click;

QStringList list_rows(const text_list* list) {
  QStringList rows;
  for (int i = 0; i < list->count(); ++i) rows << list->row_at(i)->text;
  return rows;
}

}  // namespace

class scene_diff_link_test : public test::linked_test {
  Q_OBJECT

 private slots:
  void init() { open_link({"--random-values", "7"}, {true, {}, test::wire_settings, {}}); }
  void cleanup() {
    end_scene_operation();
    hide_toast();
    close_link();
  }

  void diff_lists_the_changes_since_the_scene_was_stored() {
    QCOMPARE(sim_->command("save 5"), std::string("ok"));
    QVERIFY(rig_->nav->show_by_name("set_scene", 0));
    auto* page = dynamic_cast<set_scene_page*>(rig_->nav->page_on_screen());
    QVERIFY(page);

    // One change on the console, one in the program.
    const unsigned mute_ch2 = param_id(kind_input, 1, code_on);
    const unsigned gain_ch3 = param_id(kind_input, 2, code_input_bands + 2);
    param_store& store = rig_->session.store;
    // The console reports the stored scene as its current one, and the program reads
    // everything again (dropping writes still on their way): the edits come after that.
    QTRY_COMPARE_WITH_TIMEOUT(store.get(scene_change_marker_id), uint16_t(5), change_wait_ms);
    QTRY_VERIFY_WITH_TIMEOUT(rig_->session.engine.read_finished(), change_wait_ms);
    const int mute_now = store.get(mute_ch2) == 0 ? 1 : 0;
    sim_->command("set " + std::to_string(mute_ch2) + " " + std::to_string(mute_now));
    const uint16_t gain_now = store.get(gain_ch3) == to_raw(value_type::peq_gain, 6.0)
                                  ? static_cast<uint16_t>(to_raw(value_type::peq_gain, -6.0))
                                  : static_cast<uint16_t>(to_raw(value_type::peq_gain, 6.0));
    store.linked_set(gain_ch3, gain_now);
    QTRY_COMPARE_WITH_TIMEOUT(store.get(mute_ch2), uint16_t(mute_now), change_wait_ms);
    QTRY_COMPARE_WITH_TIMEOUT(test::sim_value(*sim_, gain_ch3), int(gain_now), change_wait_ms);

    QVERIFY(click(page->row(4)));
    QVERIFY(click(page->diff_button()));
    text_list* list = page->diff_list();
    QTRY_VERIFY_WITH_TIMEOUT(!page->exchange().running(), change_wait_ms);
    QStringList rows = list_rows(list);
    QCOMPARE(rows.size(), 5);
    QCOMPARE(rows[0], QString("SCENE 5: 2 DIFFERENCES"));
    QCOMPARE(rows[1], QString("CH2"));
    QCOMPARE(rows[2], QString("    mute  ") + (mute_now == 0 ? "ON -> OFF" : "OFF -> ON"));
    QCOMPARE(rows[3], QString("CH3"));
    QVERIFY2(rows[4].startsWith(QString("    EQ 1 gain  ") + (gain_now == to_raw(value_type::peq_gain, 6.0) ? "6.0dB" : "-6.0dB") + " -> "),
             qPrintable(rows[4]));
    if (const QString shot = qEnvironmentVariable("VORANTE_DIFF_SHOT"); !shot.isEmpty())
      QVERIFY(host_->grab().save(shot));

    // CALL brings the scene back: the list follows the console's values to nothing.
    QVERIFY(click(page->call_button()));
    QTRY_COMPARE_WITH_TIMEOUT(list_rows(list), QStringList{"SCENE 5: NO DIFFERENCES"}, change_wait_ms);
  }
};

QTEST_MAIN(scene_diff_link_test)
#include "scene_diff_link_test.moc"
