// The settings screens on a real link: the program's session talks UDP to the console
// simulator running as a process. Renaming the console, changing its password, locking and
// unlocking it, applying wired network settings and a factory reset all arrive at the
// console and come back from it.
#include <QAbstractButton>
#include <algorithm>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "app/core/identity.h"
#include "app/params/ids.h"
#include "app/protocol/session.h"
#include "tests/e2e/sim_process.h"
#include "tests/ui/host_window.h"
#include "tests/ui/linked_rig.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_registry.h"
#include "ui/pages/page_table.h"
#include "ui/platform/qt_ui_port.h"
#include "ui/screens/settings/network_page.h"
#include "ui/screens/settings/routing_pages.h"
#include "ui/screens/settings/security_dialogs.h"
#include "ui/screens/settings/set_sys_page.h"
#include "ui/screens/settings/settings_link.h"
#include "ui/screens/settings/settings_widgets.h"
#include "ui/widgets/channel_button.h"
#include "ui/widgets/routing_matrix.h"
#include "ui/widgets/text_entry.h"
#include "ui/widgets/toast.h"

using namespace vorante;

namespace {

constexpr int answer_wait_ms = 3000;

set_sys_page* open_sys(test::linked_rig& rig) {
  rig.nav->show_by_name("set_sys", 0);
  return system_page();
}

using test::click;
using test::sim_value;

[[nodiscard]] bool type_into(QWidget* host, QWidget* field, const QString& text) {
  if (!click(field)) return false;
  auto* edit = host->findChild<QLineEdit*>();
  if (!text_entry_is_open() || edit == nullptr) return false;
  edit->setText(text);
  text_entry_close(true);
  return true;
}

bool toast_shows(QWidget* host, const QString& text) {
  for (QLabel* l : host->findChildren<QLabel*>())
    if (l->text() == text && l->isVisible()) return true;
  return false;
}

}  // namespace

class settings_link_test : public test::linked_test {
  Q_OBJECT

 private slots:
  void init() {
    set_sys_page::set_config_path(QDir::temp().filePath("vorante-settings-link-nativecfg.ini").toStdString());
    open_link({"--password", "first"}, test::linked_rig::setup{true, {}, test::wire_settings, {}});
  }
  void cleanup() {
    hide_lock_dialog();
    close_link();
  }

  void renaming_reaches_the_console() {
    set_sys_page* sys = open_sys(*rig_);
    // An unnamed console is given the product name after the read.
    QTRY_COMPARE_WITH_TIMEOUT(sys->device_name_label()->text(), QString::fromUtf8(product_name()), answer_wait_ms);
    QVERIFY(click(sys->grid_button(6)));
    QVERIFY(type_into(host_, sys->device_name_label(), "Stage Left"));
    // The label only shows what the console reports when the page shows again.
    sys->set_device_name_text("?");
    sys->page_shown();
    QTRY_COMPARE_WITH_TIMEOUT(sys->device_name_label()->text(), QString("Stage Left"), answer_wait_ms);
    QCOMPARE(sys->firmware_label()->text(), QString("V2.1.4"));
  }

  void password_change_then_lock_and_unlock() {
    set_sys_page* sys = open_sys(*rig_);
    QVERIFY(click(sys->grid_button(2)));
    QVERIFY(click(sys->password_button()));
    password_dialog_parts pwd = password_dialog();
    // The wrong current password first: the console refuses and the dialog stays.
    QVERIFY(type_into(host_, pwd.fields[0], "wrong"));
    QVERIFY(type_into(host_, pwd.fields[1], "pw12"));
    QVERIFY(type_into(host_, pwd.fields[2], "pw12"));
    QVERIFY(click(pwd.change));
    QTRY_VERIFY_WITH_TIMEOUT(toast_shows(host_, "CHANGE PASSWORD FAIL!"), answer_wait_ms);
    QVERIFY(pwd.dialog->isVisible());
    QVERIFY(type_into(host_, pwd.fields[0], "first"));
    QVERIFY(click(pwd.change));
    QTRY_VERIFY_WITH_TIMEOUT(!pwd.dialog->isVisible(), answer_wait_ms);
    QVERIFY(toast_shows(host_, "CHANGE PASSWORD SUCCESS!"));

    // Lock with the new password: the console locks and the dialog asks to unlock.
    QVERIFY(click(sys->lock_button()));
    lock_dialog_parts lock = lock_dialog();
    QVERIFY(lock.cancel->isVisible());
    QVERIFY(type_into(host_, lock.field, "pw12"));
    QVERIFY(click(lock.action));
    QTRY_VERIFY_WITH_TIMEOUT(rig_->session.engine.console_locked(), answer_wait_ms);
    QCOMPARE(test::sim_value(*sim_, lock_state_id), 1);
    QVERIFY(lock.dialog->isVisible());
    QVERIFY(!lock.cancel->isVisible());

    // The old password no longer opens it.
    QVERIFY(type_into(host_, lock.field, "first"));
    QVERIFY(click(lock.action));
    QTRY_VERIFY_WITH_TIMEOUT(toast_shows(host_, "fail!"), answer_wait_ms);
    QCOMPARE(test::sim_value(*sim_, lock_state_id), 1);
    QVERIFY(lock.dialog->isVisible());

    QVERIFY(type_into(host_, lock.field, "pw12"));
    QVERIFY(click(lock.action));
    QTRY_VERIFY_WITH_TIMEOUT(!lock.dialog->isVisible(), answer_wait_ms);
    QVERIFY(!rig_->session.engine.console_locked());
    QCOMPARE(test::sim_value(*sim_, lock_state_id), 0);
  }

  void console_lock_key_locks_without_password() {
    sim_->command("key 50");
    QTRY_VERIFY_WITH_TIMEOUT(rig_->session.engine.console_locked(), answer_wait_ms);
    QVERIFY(lock_dialog().dialog->isVisible());
    QVERIFY(!lock_dialog().cancel->isVisible());
    QVERIFY(type_into(host_, lock_dialog().field, "first"));
    QVERIFY(click(lock_dialog().action));
    QTRY_VERIFY_WITH_TIMEOUT(!lock_dialog().dialog->isVisible(), answer_wait_ms);
  }

  void wired_settings_are_applied_and_read_back() {
    rig_->nav->show_by_name("network", 0);
    network_page* net = network_settings_page();
    QVERIFY(net);
    QTRY_COMPARE_WITH_TIMEOUT(net->address_field(false, field_ip)->text(), QString("192.168.1.120"), answer_wait_ms);
    QVERIFY(net->dhcp_box(false)->isChecked());
    QVERIFY(click(net->dhcp_box(false)));
    QVERIFY(type_into(host_, net->address_field(false, field_ip), "10.0.0.7"));
    QVERIFY(type_into(host_, net->address_field(false, field_netmask), "255.0.0.0"));
    // Refused: the gateway keeps what the console reported.
    QVERIFY(type_into(host_, net->address_field(false, field_gateway), "10.0.0.300"));
    QVERIFY(click(net->apply_button(0)));
    QTRY_VERIFY_WITH_TIMEOUT(toast_shows(host_, "Configuration saved!\nTake effect after reboot!"), answer_wait_ms);

    // A fresh page reads what the console now holds.
    rig_->nav->show_by_name("network", 0);
    QTRY_VERIFY_WITH_TIMEOUT(!net->dhcp_box(false)->isChecked(), answer_wait_ms);
    QTRY_COMPARE_WITH_TIMEOUT(net->address_field(false, field_ip)->text(), QString("10.0.0.7"), answer_wait_ms);
    QCOMPARE(net->address_field(false, field_netmask)->text(), QString("255.0.0.0"));
    QCOMPARE(net->address_field(false, field_gateway)->text(), QString("192.168.1.1"));
  }

  void factory_reset_brings_the_defaults_back() {
    const unsigned id = param_id(kind_input, 2, code_fader);
    const int factory = test::sim_value(*sim_, id);
    const int changed = factory == 1000 ? 1100 : 1000;
    sim_->command("set " + std::to_string(id) + " " + std::to_string(changed));
    QTRY_COMPARE_WITH_TIMEOUT(int(rig_->session.store.get(id)), changed, answer_wait_ms);

    set_sys_page* sys = open_sys(*rig_);
    QVERIFY(click(sys->grid_button(1)));
    factory_reset_parts reset = factory_reset_dialog();
    QVERIFY(click(reset.ok));
    QVERIFY(reset.progress->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!reset.dialog->isVisible(), answer_wait_ms);
    QVERIFY(toast_shows(host_, "Factory settings restored successfully!\nThe device will restart automatically."));
    QCOMPARE(test::sim_value(*sim_, id), factory);
    // The console starts over and the program reads it all again.
    QTRY_COMPARE_WITH_TIMEOUT(int(rig_->session.store.get(id)), factory, read_wait_ms);
  }
  // One write from each routing view, read back from the console.
  void mapping_takes_a_hardware_input_from_its_old_logical_input() {
    rig_->nav->show_by_name("set_input", 0);
    auto* in = host_->findChild<channel_mapping_page*>("set_input");
    QVERIFY(in);
    int holder = -1;
    for (int k = 0; k < input_map_count; ++k)
      if (sim_value(*sim_, input_map_base_id + k) == 3) holder = k;
    // Without a selected hardware input a logical button does nothing.
    QVERIFY(click(in->logical_button(4)));
    QVERIFY(!rig_->session.store.dirty().contains(input_map_base_id + 4));
    QVERIFY(click(in->hardware_button(2)));
    QVERIFY(click(in->logical_button(4)));
    QTRY_COMPARE_WITH_TIMEOUT(sim_value(*sim_, input_map_base_id + 4), 3, answer_wait_ms);
    if (holder >= 0 && holder != 4) QCOMPARE(sim_value(*sim_, input_map_base_id + holder), 0);
    QTRY_COMPARE_WITH_TIMEOUT(in->logical_button(4)->sub_text(), QString("CH3"), answer_wait_ms);

    rig_->nav->show_by_name("set_output", 0);
    auto* out = host_->findChild<channel_mapping_page*>("set_output");
    QVERIFY(out);
    QVERIFY(click(out->hardware_button(1)));
    QVERIFY(click(out->logical_button(5)));
    QTRY_COMPARE_WITH_TIMEOUT(sim_value(*sim_, output_map_base_id + 1), 6, answer_wait_ms);
    QTRY_COMPARE_WITH_TIMEOUT(out->logical_button(5)->sub_text(), QString("AUX2"), answer_wait_ms);
  }

  void headphones_pre_on_a_right_member_reaches_its_left_member() {
    rig_->nav->show_by_name("set_phones", 0);
    auto* phones = host_->findChild<phones_page*>("set_phones");
    QVERIFY(phones);
    const unsigned solo = param_id(kind_input, 16, code_solo);
    const auto row = std::find_if(phones->channels().begin(), phones->channels().end(),
                                  [](const phones_page::channel_row& c) { return c.kind == kind_input && c.index == 16; });
    QVERIFY(row != phones->channels().end());
    QVERIFY(click(row->pre));
    QTRY_VERIFY_WITH_TIMEOUT(sim_value(*sim_, solo) & phones_pre_bit, answer_wait_ms);
    QVERIFY(row->pre->isChecked());
    QVERIFY(!row->post->isChecked());
    QVERIFY(click(phones->group_button(2, false)));
    QTRY_VERIFY_WITH_TIMEOUT(!(sim_value(*sim_, solo) & phones_pre_bit), answer_wait_ms);
    QVERIFY(row->post->isChecked());
  }

  void recorder_refuses_a_source_twice_and_applies_a_swap() {
    rig_->nav->show_by_name("set_record", 0);
    auto* rec = host_->findChild<record_page*>("set_record");
    QVERIFY(rec);
    routing_matrix* m = rec->matrix(0);
    QVERIFY(m->isVisible());
    const auto tap = [m](int row, int column) {
      QTest::mouseClick(m, Qt::LeftButton, {}, QPoint(m->column_x(column), m->row_y(row)));
    };
    tap(0, 5);   // track 1 now shares input 6 with track 6
    QCOMPARE(m->column_of_row(0), 5);
    QVERIFY(click(rec->apply_button(0)));
    QVERIFY(toast_shows(host_, "ERROR! Channel multiplexing not supported."));
    hide_toast();
    QCOMPARE(rig_->session.store.dirty().contains(rec_in_base_id), false);
    tap(5, 0);
    QVERIFY(click(rec->apply_button(0)));
    QVERIFY(toast_shows(host_, "Recording settings are active!"));
    QTRY_COMPARE_WITH_TIMEOUT(sim_value(*sim_, rec_in_base_id), 6, answer_wait_ms);
    QCOMPARE(sim_value(*sim_, rec_in_base_id + 5), 1);
    hide_toast();
    QVERIFY(click(rec->recover_button(0)));
    QTRY_COMPARE_WITH_TIMEOUT(sim_value(*sim_, rec_in_base_id), 1, answer_wait_ms);
    for (int t = 0; t < rec_track_count; ++t) QCOMPARE(sim_value(*sim_, rec_in_base_id + t), t + 1);
    hide_toast();
  }
};

QTEST_MAIN(settings_link_test)
#include "settings_link_test.moc"
