// `network`: the console's wired and wireless settings. The page reads them as key=value
// reports, shows them, and sends what the user applies; it never touches this computer's
// network. The console applies the settings after a reboot.
#pragma once

#include <QStringList>
#include <array>

#include "app/settings/network_settings.h"
#include "ui/pages/page.h"

class QAbstractButton;
class QCheckBox;
class QLabel;
class QStackedWidget;
class QVBoxLayout;

namespace vorante {

class value_field;

class network_page : public page {
  Q_OBJECT

 public:
  network_page(QWidget* parent, page_env& env);
  ~network_page() override;

  // Sends the three queries; argument 1 then shows the station side, 2 the list of
  // networks over it (for "--show network:N").
  void open(int argument) override;

  // From the console: one reported key, the result of an apply, the scanned networks.
  void report(std::string_view key, std::string_view value);
  void saved();
  void set_network_list(const QStringList& names);

  const network_settings& state() const { return state_; }

  // The parts tests and screenshots look at.
  QCheckBox* dhcp_box(bool station) const { return station ? sta_dhcp_ : lan_dhcp_; }
  value_field* address_field(bool station, int field) const;
  QAbstractButton* apply_button(int which) const;  // 0 LAN, 1 AP, 2 station
  QCheckBox* mode_box(bool station) const { return station ? station_box_ : ap_box_; }
  QAbstractButton* wifi_button() const { return wifi_button_; }
  QStackedWidget* wireless_views() const { return views_; }
  value_field* ap_ssid_field() const { return ap_ssid_; }
  value_field* ap_key_field() const { return ap_key_; }
  QLabel* station_ssid_label() const { return sta_ssid_; }
  QLabel* ap_address_label() const { return ap_ip_; }
  QLabel* url_label() const { return url_; }
  QWidget* ssid_popup() const { return popup_; }
  QAbstractButton* popup_button(int which) const;  // 0 Refresh, 1 Cancel, 2 OK
  value_field* popup_key_field() const { return popup_key_; }
  QList<QAbstractButton*> network_entries() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void show_popup();
  QWidget* make_lan_half();
  QWidget* make_wireless_half();
  QWidget* make_popup();
  // The automatic-address box, the address fields and the OK of the LAN or the station.
  void address_block(QWidget* parent, QVBoxLayout* column, bool station);
  void edit_address(bool station, int field);
  void edit_text(value_field* field, std::string* target);
  void dhcp_clicked(bool station);
  void mode_clicked(bool station);
  void apply_lan();
  void apply_ap();
  void apply_station();
  void popup_ok();
  void refresh();
  void send(const std::optional<std::string>& command);

  page_env& env_;
  network_settings state_;
  std::string ap_key_text_;
  std::string popup_key_text_;

  QCheckBox* lan_dhcp_ = nullptr;
  QCheckBox* sta_dhcp_ = nullptr;
  std::array<value_field*, address_field_count> lan_fields_{};
  std::array<value_field*, address_field_count> sta_fields_{};
  std::array<QAbstractButton*, 3> apply_{};
  QCheckBox* ap_box_ = nullptr;
  QCheckBox* station_box_ = nullptr;
  QAbstractButton* wifi_button_ = nullptr;
  QStackedWidget* views_ = nullptr;
  value_field* ap_ssid_ = nullptr;
  value_field* ap_key_ = nullptr;
  QLabel* sta_ssid_ = nullptr;
  QLabel* ap_ip_ = nullptr;
  QLabel* url_ = nullptr;
  QWidget* popup_ = nullptr;
  std::array<QAbstractButton*, 3> popup_buttons_{};
  value_field* popup_key_ = nullptr;
  QWidget* list_ = nullptr;
  QVBoxLayout* list_column_ = nullptr;
};

// The page while it exists; the configuration handlers reach it here.
network_page* network_settings_page();

page* create_network_page(QWidget* parent, page_env& env, int id);

}  // namespace vorante
