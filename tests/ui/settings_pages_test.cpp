// The settings screens on a link whose far end the test plays: the menu and its rows, the
// system page's views, the language choice and the device name, the network page with its
// reports, fields and apply commands, and the lock, password and factory reset dialogs.
#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QtTest>
#include <fstream>

#include "app/core/options.h"
#include "app/params/ids.h"
#include "app/protocol/frame.h"
#include "app/protocol/memory_transport.h"
#include "app/protocol/messages.h"
#include "app/protocol/session.h"
#include "app/settings/factory_reset.h"
#include "tests/ui/host_window.h"
#include "tests/ui/page_lookup.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_registry.h"
#include "ui/pages/page_table.h"
#include "ui/platform/native_config.h"
#include "ui/platform/qt_ui_port.h"
#include "ui/screens/mixer/surface_keys.h"
#include "ui/screens/settings/network_page.h"
#include "ui/screens/settings/security_dialogs.h"
#include "ui/screens/settings/set_sys_page.h"
#include "ui/screens/settings/setting_page.h"
#include "ui/screens/settings/settings_link.h"
#include "ui/screens/settings/settings_widgets.h"
#include "ui/widgets/face_button.h"
#include "ui/widgets/text_entry.h"

using namespace vorante;

namespace {

// The program's link, pages and settings wiring, with a memory transport for the console.
struct settings_rig {
  runtime_options options;
  qt_ui_port port;
  std::unique_ptr<link_session> session;
  memory_transport* link = nullptr;
  page_registry registry;
  std::unique_ptr<navigator> nav;

  settings_rig(QWidget* host, bool factory_mode = false) {
    options.factory_mode = factory_mode;
    session = std::make_unique<link_session>(options, port);
    session->engine.set_transport_factory([this] {
      auto t = std::make_unique<memory_transport>();
      link = t.get();
      return t;
    });
    session->engine.open_link();
    session->engine.enable();
    nav = std::make_unique<navigator>(*session, registry);
    listen_to_settings(port, *nav);
    test::show_root(*nav, host);
  }

  // Texts of the configuration queries or commands sent since the last call.
  std::vector<std::string> texts(message_code code) {
    std::vector<std::string> out;
    for (const auto& f : link->sent) {
      if (frame_code(f) != code_byte(code)) continue;
      const auto p = frame_payload(f);
      out.emplace_back(p.begin(), p.end());
    }
    return out;
  }
  std::vector<std::vector<uint8_t>> frames(message_code code) {
    std::vector<std::vector<uint8_t>> out;
    for (const auto& f : link->sent)
      if (frame_code(f) == code_byte(code)) out.push_back(f);
    return out;
  }
  void forget_sent() { link->sent.clear(); }

  // What the console would send.
  void deliver(const frame_bytes& f) {
    link->deliver(f.view().data(), f.view().size());
    session->engine.step(1000);
  }
  void report(std::string_view text) { deliver(make_config_report(text)); }
  void result(std::string_view text) { deliver(make_config_result(text)); }
  void set_lock(bool locked) {
    const id_value v{lock_state_id, static_cast<uint16_t>(locked ? 1 : 0)};
    deliver(make_param_values({&v, 1}));
  }

  setting_page* menu() {
    nav->show_by_name("setting", 0);
    return qobject_cast<setting_page*>(find(page_setting));
  }
  page* find(int id) {
    for (page* p : nav->root()->findChildren<page*>())
      if (p->page_id() == id) return p;
    return nullptr;
  }
  set_sys_page* sys() {
    nav->show_by_name("set_sys", 0);
    return system_page();
  }
  network_page* network() {
    nav->show_by_name("network", 0);
    return network_settings_page();
  }
};

// Types `text` into the open text entry and commits it; false when no entry was open.
[[nodiscard]] bool type_and_commit(QWidget* host, const QString& text) {
  auto* edit = host->findChild<QLineEdit*>();
  if (!text_entry_is_open() || edit == nullptr) return false;
  edit->setText(text);
  text_entry_close(true);
  return true;
}

// A short click in the middle; false when there is nothing on screen to click.
[[nodiscard]] bool click(QWidget* w) {
  if (w == nullptr || !w->isVisible()) return false;
  QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
  return true;
}

QString shown_text(QAbstractButton* b) {
  if (auto* f = qobject_cast<face_button*>(b)) return f->label_text();
  return b->text();
}

}  // namespace

class settings_pages_test : public test::host_window_test {
  Q_OBJECT

 public:
  settings_pages_test() : host_window_test({1280, 800}) {}

 private slots:
  void initTestCase() {
    config_ = QDir::temp().filePath("vorante-settings-test-nativecfg.ini").toStdString();
    set_sys_page::set_config_path(config_);
  }

  // --- menu -----------------------------------------------------------------------------

  void menu_has_the_factory_row_only_in_factory_mode_data() {
    QTest::addColumn<bool>("factory");
    QTest::newRow("normal") << false;
    QTest::newRow("factory") << true;
  }
  void menu_has_the_factory_row_only_in_factory_mode() {
    QFETCH(bool, factory);
    settings_rig rig(host_, factory);
    setting_page* menu = rig.menu();
    QVERIFY(menu);
    int shown = 0;
    for (int n = 0; n < 7; ++n) shown += menu->row(n)->isVisible();
    QCOMPARE(shown, factory ? 7 : 6);
    QCOMPARE(menu->row(factory_menu_row)->isVisible(), factory);
    QCOMPARE(menu->row(factory_menu_row)->text(), QString::fromUtf8("工厂模式"));
    // It opens on the system page, without a title bar.
    QCOMPARE(menu->checked_row(), 0);
    QVERIFY(!menu->title_bar()->isVisible());
    QVERIFY(rig.nav->is_on_screen(page_set_sys));
  }

  void menu_rows_show_their_pages_and_titles() {
    settings_rig rig(host_);
    setting_page* menu = rig.menu();
    QVERIFY(click(menu->row(3)));
    QVERIFY(rig.nav->is_on_screen(page_set_mute_group));
    QCOMPARE(menu->title()->text(), QString("MUTE GROUP"));
    QVERIFY(menu->title_bar()->isVisible());
    // The scene row opens whatever page the registry makes for "set_scene".
    QVERIFY(click(menu->row(1)));
    QVERIFY(rig.nav->is_on_screen(page_set_scene));
    QVERIFY(!menu->title_bar()->isVisible());
    // A page shown by name brings its row along.
    rig.nav->show_by_name("signal", 0);
    QCOMPARE(menu->checked_row(), 5);
    QCOMPARE(menu->title()->text(), QString("SIGNAL"));
  }

  void every_settings_page_can_be_shown_by_name() {
    settings_rig rig(host_, true);
    int shown = 0;
    for (const page_entry& e : page_table()) {
      bool in_settings = e.id == page_setting;
      for (int h = e.host; h != 0 && h != page_home; h = page_host_of(h)) in_settings |= h == page_setting;
      if (!in_settings) continue;
      const QByteArray name(e.name.data(), static_cast<qsizetype>(e.name.size()));
      QVERIFY2(rig.nav->show_by_name(e.name, 0), name);
      QVERIFY2(rig.nav->is_on_screen(e.id), name);
      ++shown;
    }
    QCOMPARE(shown, 13);
  }

  void system_tab_opens_the_settings() {
    settings_rig rig(host_);
    rig.nav->show_settings();
    QVERIFY(rig.nav->is_on_screen(page_setting));
    QVERIFY(rig.nav->is_on_screen(page_set_sys));
  }

  // --- system page ------------------------------------------------------------------------

  void system_page_asks_for_name_and_firmware_and_opens_on_the_grid() {
    settings_rig rig(host_);
    set_sys_page* sys = rig.sys();
    QVERIFY(sys);
    QVERIFY(contains(rig.texts(message_code::config_query), "DEVNAME=\nFW_VER=\nFW_BUILD="));
    QCOMPARE(sys->current_view(), int(view_grid));
    rig.report("DEVNAME=Stage Left\nFW_VER=V2.1.4\nFW_BUILD=20240917");
    QCOMPARE(sys->device_name_label()->text(), QString("Stage Left"));
    QCOMPARE(sys->firmware_label()->text(), QString("V2.1.4"));
  }

  void grid_buttons_open_their_views_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("view");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("hosted");
    QTest::newRow("NETWORK") << 0 << int(view_hosted) << "NETWORK" << int(page_network);
    QTest::newRow("LOCK") << 2 << int(view_lock) << "LOCK" << 0;
    QTest::newRow("RECORD") << 3 << int(view_hosted) << "" << int(page_set_record);
    QTest::newRow("PHONES") << 4 << int(view_hosted) << "HEADPHONE MONITORING SETTINGS" << int(page_set_phones);
    QTest::newRow("LANGUAGE") << 5 << int(view_language) << "LANGUAGE" << 0;
    QTest::newRow("VERSION") << 6 << int(view_version) << "" << 0;
    QTest::newRow("INPUT") << 7 << int(view_hosted) << "INPUT CHANNEL MAPPING" << int(page_set_input);
    QTest::newRow("OUTPUT") << 8 << int(view_hosted) << "OUTPUT CHANNEL MAPPING" << int(page_set_output);
  }
  void grid_buttons_open_their_views() {
    QFETCH(int, button);
    QFETCH(int, view);
    QFETCH(QString, title);
    QFETCH(int, hosted);
    settings_rig rig(host_);
    set_sys_page* sys = rig.sys();
    QVERIFY(click(sys->grid_button(button)));
    QCOMPARE(sys->current_view(), view);
    QCOMPARE(sys->view_title(view)->text(), title);
    if (hosted != 0) QVERIFY(rig.nav->is_on_screen(hosted));
    QVERIFY(click(sys->view_close(view)));
    QCOMPARE(sys->current_view(), int(view_grid));
  }

  void reset_button_opens_the_confirmation_without_a_view_change() {
    settings_rig rig(host_);
    set_sys_page* sys = rig.sys();
    QVERIFY(click(sys->grid_button(1)));
    QCOMPARE(sys->current_view(), int(view_grid));
    QVERIFY(factory_reset_dialog().dialog->isVisible());
    QVERIFY(factory_reset_dialog().question->isVisible());
    // Showing the system page again closes it.
    rig.nav->show_by_name("set_sys", 0);
    sys->page_shown();
    QVERIFY(!factory_reset_dialog().dialog->isVisible());
  }

  void language_choice_is_written_and_read_back_data() {
    QTest::addColumn<QString>("file");     // LANG in the file before; "-" for no file
    QTest::addColumn<bool>("english");     // toggles after the page shows
    QTest::addColumn<bool>("chinese");
    QTest::newRow("no file") << "-" << true << false;
    QTest::newRow("empty") << "" << true << false;
    QTest::newRow("en") << "en" << true << false;
    QTest::newRow("zh-cn") << "zh-cn" << false << true;
    QTest::newRow("other") << "fr" << false << false;
  }
  void language_choice_is_written_and_read_back() {
    QFETCH(QString, file);
    QFETCH(bool, english);
    QFETCH(bool, chinese);
    std::remove(config_.c_str());
    if (file != "-") std::ofstream(config_) << "[app]\nLANG=" << file.toStdString() << "\n";
    settings_rig rig(host_);
    set_sys_page* sys = rig.sys();
    QCOMPARE(sys->language_toggle(false)->isChecked(), english);
    QCOMPARE(sys->language_toggle(true)->isChecked(), chinese);
    QVERIFY(click(sys->grid_button(5)));
    QVERIFY(!sys->restart_notice()->isVisible());
    QVERIFY(click(sys->language_toggle(true)));
    QCOMPARE(QString::fromStdString(configured_language(config_)), QString("zh-cn"));
    QVERIFY(sys->restart_notice()->isVisible());
    QVERIFY(sys->restart_notice()->text().contains("Please restart the software"));
    // Twice the same choice: the same notice, the same file.
    QVERIFY(click(sys->language_toggle(true)));
    QVERIFY(sys->language_toggle(true)->isChecked());
    QCOMPARE(QString::fromStdString(configured_language(config_)), QString("zh-cn"));
    QVERIFY(click(sys->language_toggle(false)));
    QCOMPARE(QString::fromStdString(configured_language(config_)), QString("en"));
    QVERIFY(!sys->language_toggle(true)->isChecked());
    std::remove(config_.c_str());
  }

  void device_name_is_renamed_within_32_bytes_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("taken");
    QTest::newRow("plain") << "FOH" << true;
    QTest::newRow("empty") << "" << true;
    QTest::newRow("32 bytes") << QString(32, 'n') << true;
    QTest::newRow("11 three-byte characters") << QString(11, QChar(0x8C03)) << false;
  }
  void device_name_is_renamed_within_32_bytes() {
    QFETCH(QString, typed);
    QFETCH(bool, taken);
    settings_rig rig(host_);
    set_sys_page* sys = rig.sys();
    QVERIFY(click(sys->grid_button(6)));
    const QString before = sys->device_name_label()->text();
    rig.forget_sent();
    QVERIFY(click(sys->device_name_label()));
    QVERIFY(type_and_commit(host_, typed));
    const auto sent = rig.texts(message_code::config_command);
    if (taken) {
      QCOMPARE(sys->device_name_label()->text(), typed);
      QCOMPARE(sent, std::vector<std::string>{"DEVNAME=" + typed.toStdString()});
    } else {
      QCOMPARE(sys->device_name_label()->text(), before);
      QVERIFY(sent.empty());
    }
  }

  // --- network --------------------------------------------------------------------------

  void network_page_asks_three_queries_in_order() {
    settings_rig rig(host_);
    rig.sys();
    rig.forget_sent();
    QVERIFY(click(system_page()->grid_button(0)));
    const auto queries = rig.texts(message_code::config_query);
    QCOMPARE(queries.size(), std::size_t(3));
    QVERIFY(queries[0].starts_with("ETH_DHCP="));
    QVERIFY(queries[1].starts_with("AP_SSID="));
    QVERIFY(queries[2].starts_with("WIFI_MODE="));
  }

  void reports_fill_the_page_and_switch_the_views() {
    settings_rig rig(host_);
    network_page* net = rig.network();
    QVERIFY(net);
    QVERIFY(net->wireless_views()->currentIndex() == 0);
    QVERIFY(!net->wifi_button()->isVisible());
    rig.report("ETH_DHCP=off\nETH_IP=192.168.1.120\nWIFI_MODE=sta\nSTA_SSID=StageNet\nWIFI_STATE=up\n");
    QVERIFY(!net->dhcp_box(false)->isChecked());
    QVERIFY(net->address_field(false, field_ip)->isEnabled());
    QCOMPARE(net->address_field(false, field_ip)->text(), QString("192.168.1.120"));
    QCOMPARE(net->wireless_views()->currentIndex(), 1);
    QVERIFY(net->wifi_button()->isVisible());
    QCOMPARE(net->station_ssid_label()->text(), QString("StageNet"));
    // The console's mode wins over the user's.
    rig.report("WIFI_MODE=ap\nAPIP=192.168.4.1\nDOMAIN=mixer.local\nAP_SSID=Desk\nAP_KEY=12345678\n");
    QCOMPARE(net->wireless_views()->currentIndex(), 0);
    QVERIFY(net->mode_box(false)->isChecked());
    QVERIFY(!net->mode_box(true)->isChecked());
    QCOMPARE(net->ap_address_label()->text(), QString("IP: 192.168.4.1"));
    QCOMPARE(net->url_label()->text(), QString("URL: http://mixer.local/"));
    QCOMPARE(net->ap_ssid_field()->text(), QString("Desk"));
    QCOMPARE(net->ap_key_field()->text(), QString());
  }

  void bad_reports_change_nothing_they_should_not_data() {
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<QString>("ap_ssid");  // what the SSID field shows afterwards
    QTest::newRow("unknown keys") << QByteArray("FOO=1\nETH_IPX=10.0.0.1\nAP_KEY=secret\n") << "Desk";
    QTest::newRow("empty values") << QByteArray("ETH_IP=\nAP_SSID=\nWIFI_STATE=\n") << "";
    QTest::newRow("300-byte values") << QByteArray("AP_SSID=" + QByteArray(300, 'x') + "\nETH_IP=" + QByteArray(300, '1'))
                                     << "Desk";
    QTest::newRow("invalid UTF-8") << QByteArray("AP_SSID=\xff\xfe" "A\n\xc0=1\n") << QString::fromUtf8("\xff\xfe" "A");
    QTest::newRow("no lines") << QByteArray("\n\n=\n==\n") << "Desk";
  }
  void bad_reports_change_nothing_they_should_not() {
    QFETCH(QByteArray, report);
    QFETCH(QString, ap_ssid);
    settings_rig rig(host_);
    network_page* net = rig.network();
    rig.report("ETH_DHCP=off\nETH_GATEWAY=192.168.1.1\nAP_SSID=Desk\nWIFI_MODE=ap\nAPIP=192.168.4.1\n");
    rig.report(std::string_view(report.constData(), static_cast<std::size_t>(report.size())));
    QCOMPARE(net->ap_ssid_field()->text(), ap_ssid);
    QCOMPARE(net->address_field(false, field_gateway)->text(), QString("192.168.1.1"));
    QVERIFY(!net->dhcp_box(false)->isChecked());
    QCOMPARE(net->wireless_views()->currentIndex(), 0);
    QCOMPARE(net->ap_address_label()->text(), QString("IP: 192.168.4.1"));
    QCOMPARE(net->ap_key_field()->text(), QString());
  }

  void address_fields_take_valid_addresses_only_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("valid") << "10.0.0.1" << "10.0.0.1";
    QTest::newRow("part above 255") << "192.168.1.256" << "0.0.0.0";
    QTest::newRow("three parts") << "10.0.0" << "0.0.0.0";
    QTest::newRow("empty") << "" << "0.0.0.0";
  }
  void address_fields_take_valid_addresses_only() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    settings_rig rig(host_);
    network_page* net = rig.network();
    QVERIFY(click(net->dhcp_box(false)));  // unchecked: the fields open
    QVERIFY(net->address_field(false, field_gateway)->isEnabled());
    QVERIFY(click(net->address_field(false, field_gateway)));
    QVERIFY(type_and_commit(host_, typed));
    QCOMPARE(net->address_field(false, field_gateway)->text(), shown);
  }

  void dhcp_clears_and_disables_the_fields_and_lan_ok_sends_them() {
    settings_rig rig(host_);
    network_page* net = rig.network();
    rig.report("ETH_DHCP=off\nETH_IP=192.168.1.120\nETH_DNS=1.1.1.1\n");
    QVERIFY(click(net->dhcp_box(false)));
    QVERIFY(net->dhcp_box(false)->isChecked());
    for (int f = 0; f < address_field_count; ++f) {
      QCOMPARE(net->address_field(false, f)->text(), QString("0.0.0.0"));
      QVERIFY(!net->address_field(false, f)->isEnabled());
    }
    // A disabled field opens no text entry.
    QTest::mouseClick(net->address_field(false, field_ip), Qt::LeftButton);
    QVERIFY(!text_entry_is_open());
    QVERIFY(click(net->dhcp_box(false)));
    QVERIFY(net->address_field(false, field_ip)->isEnabled());
    QCOMPARE(net->address_field(false, field_ip)->text(), QString("0.0.0.0"));
    QVERIFY(click(net->address_field(false, field_ip)));
    QVERIFY(type_and_commit(host_, "10.1.2.3"));
    rig.forget_sent();
    QVERIFY(click(net->apply_button(0)));
    QCOMPARE(rig.texts(message_code::config_command),
             std::vector<std::string>{
                 "ETH_DHCP=off\nETH_IP=10.1.2.3\nETH_NETMASK=0.0.0.0\nETH_GATEWAY=0.0.0.0\nETH_DNS=0.0.0.0\n"});
    // The console's result without CMD: the green notice.
    rig.result("RESULT=OK");
    auto* notice = host_->findChild<QLabel*>("notice_text");
    QVERIFY(notice);
    QCOMPARE(notice->text(), QString("Configuration saved!\nTake effect after reboot!"));
  }

  void access_point_key_needs_eight_characters_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("sent");
    QTest::newRow("7") << "1234567" << false;
    QTest::newRow("8") << "12345678" << true;
  }
  void access_point_key_needs_eight_characters() {
    QFETCH(QString, key);
    QFETCH(bool, sent);
    settings_rig rig(host_);
    network_page* net = rig.network();
    QVERIFY(click(net->ap_ssid_field()));
    QVERIFY(type_and_commit(host_, "Desk"));
    QVERIFY(click(net->ap_key_field()));
    QVERIFY(type_and_commit(host_, key));
    rig.forget_sent();
    QVERIFY(click(net->apply_button(1)));
    const auto texts = rig.texts(message_code::config_command);
    if (sent) {
      QCOMPARE(texts, std::vector<std::string>{"WIFI_MODE=ap\nAP_SSID=Desk\nAP_KEY=" + key.toStdString() + "\n"});
    } else {
      QVERIFY(texts.empty());
      auto* notice = host_->findChild<QLabel*>("notice_text");
      QVERIFY(notice);
      QCOMPARE(notice->text(), QString("Password must be at least 8 characters!"));
    }
  }

  void station_joins_a_network_from_the_list() {
    settings_rig rig(host_);
    network_page* net = rig.network();
    QVERIFY(click(net->mode_box(true)));
    QCOMPARE(net->wireless_views()->currentIndex(), 1);
    QVERIFY(click(net->wifi_button()));
    QVERIFY(net->ssid_popup()->isVisible());
    rig.forget_sent();
    QVERIFY(click(net->popup_button(0)));
    const auto requests = rig.frames(message_code::network_list);
    QCOMPARE(requests.size(), std::size_t(1));
    QCOMPARE(requests[0], (std::vector<uint8_t>{0x80, 0x03, 0x38, 0x0A, 0x71}));
    const std::array<std::string_view, 3> names{"StageNet", "FOH-5G", "Backline"};
    rig.deliver(make_network_list(names));
    QCOMPARE(net->network_entries().size(), 3);
    // A touch beside the box closes the list, as "Cancel" does.
    QTest::mouseClick(net->ssid_popup(), Qt::LeftButton, {}, QPoint(2, 2));
    QVERIFY(!net->ssid_popup()->isVisible());
    QVERIFY(click(net->wifi_button()));
    QCOMPARE(net->network_entries().size(), 3);
    // "OK" with nothing chosen sends nothing and closes.
    QVERIFY(click(net->popup_button(2)));
    QVERIFY(!net->ssid_popup()->isVisible());
    QVERIFY(rig.texts(message_code::config_command).empty());
    QVERIFY(click(net->wifi_button()));
    QVERIFY(click(net->network_entries()[0]));
    QVERIFY(click(net->network_entries()[1]));
    QVERIFY(!net->network_entries()[0]->isChecked());
    QVERIFY(click(net->popup_key_field()));
    QVERIFY(type_and_commit(host_, "letmein99"));
    QVERIFY(click(net->popup_button(2)));
    QCOMPARE(rig.texts(message_code::config_command),
             std::vector<std::string>{"WIFI_MODE=sta\nSTA_SSID=FOH-5G\nSTA_KEY=letmein99\n"});
    QCOMPARE(net->station_ssid_label()->text(), QString("FOH-5G"));
    QVERIFY(!net->ssid_popup()->isVisible());
  }

  // --- lock, password, reset ----------------------------------------------------------------

  void lock_mode_sends_the_password_and_closes_when_the_console_locks() {
    settings_rig rig(host_);
    set_sys_page* sys = rig.sys();
    QVERIFY(click(sys->grid_button(2)));
    QVERIFY(click(sys->lock_button()));
    lock_dialog_parts d = lock_dialog();
    QVERIFY(d.dialog->isVisible());
    QVERIFY(d.cancel->isVisible());
    QCOMPARE(shown_text(d.action), QString("Lock"));
    QVERIFY(click(d.field));
    QVERIFY(type_and_commit(host_, "abc"));
    QCOMPARE(d.field->text(), QString("***"));
    rig.forget_sent();
    QVERIFY(click(d.action));
    QCOMPARE(rig.texts(message_code::config_command), std::vector<std::string>{"CMD=CHGLOCK\nPWD=abc\nLOCK=ON"});
    // The console locks: the dialog turns to unlock mode, without "Cancel".
    rig.set_lock(true);
    QVERIFY(d.dialog->isVisible());
    QVERIFY(!d.cancel->isVisible());
    QCOMPARE(shown_text(d.action), QString("Unlock"));
    QCOMPARE(d.field->text(), QString());
    // A wrong password: the console says no and the dialog stays.
    rig.result("CMD=CHGLOCK\nRESULT=ERR");
    QVERIFY(d.dialog->isVisible());
    rig.set_lock(false);
    QVERIFY(!d.dialog->isVisible());
    QVERIFY(!console_lock_flag());
  }

  void lock_key_locks_once() {
    settings_rig rig(host_);
    QVERIFY(surface_keys().lock);
    rig.forget_sent();
    surface_keys().lock();
    QCOMPARE(rig.texts(message_code::config_command), std::vector<std::string>{"CMD=FORCELOCK\nLOCK=ON"});
    QVERIFY(lock_dialog().dialog->isVisible());
    QVERIFY(!lock_dialog().cancel->isVisible());
    QVERIFY(console_lock_flag());
    surface_keys().lock();
    QCOMPARE(rig.texts(message_code::config_command).size(), std::size_t(1));
    hide_lock_dialog();
  }

  void password_dialog_refuses_and_compares_data() {
    QTest::addColumn<QStringList>("entries");  // current, new, confirm
    QTest::addColumn<QString>("toast");        // shown on the way; empty: none
    QTest::addColumn<QString>("sent");         // empty: nothing sent
    QTest::newRow("changed") << QStringList{"old", "new1", "new1"} << "" << "CMD=CHGPWD\nPWD=old\nNEWPWD=new1";
    QTest::newRow("both new empty") << QStringList{"old", "", ""} << "" << "CMD=CHGPWD\nPWD=old\nNEWPWD=";
    QTest::newRow("mismatch") << QStringList{"old", "new1", "new2"} << "Passwords do not match. Please try again."
                              << "";
    // A refused entry is not taken: the new password stays as it was (empty).
    QTest::newRow("too long") << QStringList{"old", "123456789", ""}
                              << "Password length must not exceed 8 characters." << "CMD=CHGPWD\nPWD=old\nNEWPWD=";
    QTest::newRow("space") << QStringList{"old", "a b", ""} << "Password cannot contain spaces."
                           << "CMD=CHGPWD\nPWD=old\nNEWPWD=";
  }
  void password_dialog_refuses_and_compares() {
    QFETCH(QStringList, entries);
    QFETCH(QString, toast);
    QFETCH(QString, sent);
    settings_rig rig(host_);
    set_sys_page* sys = rig.sys();
    QVERIFY(click(sys->grid_button(2)));
    QVERIFY(click(sys->password_button()));
    password_dialog_parts d = password_dialog();
    QVERIFY(d.dialog->isVisible());
    for (int n = 0; n < 3; ++n) {
      QVERIFY(click(d.fields[n]));
      QVERIFY(type_and_commit(host_, entries[n]));
    }
    // A taken entry shows as stars; a refused one leaves the field empty.
    const bool refused = !toast.isEmpty() && !sent.isEmpty();
    QCOMPARE(d.fields[1]->text(), refused ? QString() : QString(entries[1].size(), '*'));
    rig.forget_sent();
    QVERIFY(click(d.change));
    const auto texts = rig.texts(message_code::config_command);
    if (!toast.isEmpty()) {
      QLabel* shown = nullptr;
      for (QLabel* l : host_->findChildren<QLabel*>())
        if (l->text() == toast) shown = l;
      QVERIFY2(shown, qPrintable(toast));
    }
    if (sent.isEmpty()) {
      QVERIFY(texts.empty());
      QVERIFY(d.dialog->isVisible());
      return;
    }
    QCOMPARE(texts, std::vector<std::string>{sent.toStdString()});
    // The console's answer: a refusal keeps the dialog, success closes it.
    rig.result("CMD=CHGPWD\nRESULT=ERR");
    QVERIFY(d.dialog->isVisible());
    rig.result("CMD=CHGPWD\nRESULT=OK");
    QVERIFY(!d.dialog->isVisible());
  }

  void factory_reset_writes_once_and_counts_until_the_console_confirms() {
    settings_rig rig(host_);
    open_factory_reset(host_);
    factory_reset_parts d = factory_reset_dialog();
    rig.forget_sent();
    QVERIFY(click(d.ok));
    const auto writes = rig.frames(message_code::write_params);
    QCOMPARE(writes.size(), std::size_t(1));
    const id_value pair{factory_reset_id, factory_reset_value};
    const frame_bytes expected = make_write_params({&pair, 1});
    QCOMPARE(writes[0], std::vector<uint8_t>(expected.view().begin(), expected.view().end()));
    QVERIFY(d.progress->isVisible());
    QVERIFY(!d.question->isVisible());
    QVERIFY(!d.ok->isVisible());
    QCOMPARE(d.progress->text(), QString("Factory reset in progress...\nPlease wait for a few seconds.(0)"));
    QTRY_COMPARE_WITH_TIMEOUT(d.progress->text(),
                              QString("Factory reset in progress...\nPlease wait for a few seconds.(1)"), 2500);
    // Not through the dirty set: nothing is left to retry.
    QVERIFY(!rig.session->store.dirty().contains(factory_reset_id));
    rig.result("CMD=RESET\nRESULT=OK");
    QVERIFY(!d.dialog->isVisible());
    QVERIFY(!factory_reset_dialog().timer_running);
  }

 private:
  static bool contains(const std::vector<std::string>& texts, std::string_view text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  }

  std::string config_;
};

QTEST_MAIN(settings_pages_test)
#include "settings_pages_test.moc"
