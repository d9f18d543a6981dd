#include "ui/screens/settings/settings_link.h"

#include "ui/pages/navigator.h"
#include "ui/platform/qt_ui_port.h"
#include "ui/screens/mixer/surface_keys.h"
#include "ui/screens/settings/network_page.h"
#include "ui/screens/settings/security_dialogs.h"
#include "ui/screens/settings/set_sys_page.h"
#include "ui/screens/settings/settings_widgets.h"

namespace vorante {

void listen_to_settings(qt_ui_port& port, navigator& nav) {
  attach_security_dialogs(nav);
  // Each goes to its page only while the page exists.
  QObject::connect(&port, &qt_ui_port::device_name, &nav, [](const QString& text) {
    if (set_sys_page* p = system_page()) p->set_device_name_text(text);
  });
  QObject::connect(&port, &qt_ui_port::firmware_version, &nav, [](const QString& text) {
    if (set_sys_page* p = system_page()) p->set_firmware_text(text);
  });
  QObject::connect(&port, &qt_ui_port::network_setting, &nav, [](const QString& key, const QString& value) {
    if (network_page* p = network_settings_page()) p->report(utf8_bytes(key), utf8_bytes(value));
  });
  QObject::connect(&port, &qt_ui_port::network_result, &nav, [](const QString&) {
    if (network_page* p = network_settings_page()) p->saved();
  });
  QObject::connect(&port, &qt_ui_port::network_names, &nav, [](const QStringList& names) {
    if (network_page* p = network_settings_page()) p->set_network_list(names);
  });
  QObject::connect(&port, &qt_ui_port::password_set, &nav, [] { hide_password_dialog(); });
  QObject::connect(&port, &qt_ui_port::factory_reset, &nav, [] { close_factory_reset(); });
  QObject::connect(&port, &qt_ui_port::console_lock, &nav, [](bool locked) { console_lock_changed(locked); });
  surface_keys().lock = [] { open_lock_dialog(true, true); };
}

}  // namespace vorante
