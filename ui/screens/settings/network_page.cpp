#include "ui/screens/settings/network_page.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "app/protocol/config_texts.h"
#include "app/protocol/session.h"
#include "app/settings/settings_rules.h"
#include "ui/foundation/res_images.h"
#include "ui/pages/named_button.h"
#include "ui/pages/page_table.h"
#include "ui/screens/settings/settings_widgets.h"
#include "ui/widgets/button.h"
#include "ui/widgets/text_entry.h"
#include "ui/widgets/widget_fonts.h"

namespace vorante {

namespace {

constexpr rgb565 address_grey = 0xA514;
constexpr rgb565 popup_shadow = 0x07E0;
constexpr rgb565 entry_background = 0x3186;
constexpr rgb565 entry_checked = 0x0580;
constexpr rgb565 wifi_up_colour = 0x07E0;
constexpr rgb565 wifi_down_colour = 0xF800;
constexpr const char* wifi_up_icon = "res/setting/png_icon_wifi_conn.png";
constexpr const char* wifi_down_icon = "res/setting/png_icon_wifi_disconn.png";
constexpr int label_width = 160;
constexpr int ok_min_width = 120;
constexpr int button_height = 48;
constexpr std::uint16_t entry_flags = entry_touch_commits | entry_empty_commits;

constexpr std::array<const char*, address_field_count> address_names{"IP address:", "Subnet mask:", "Gateway:",
                                                                      "DNS:"};

QPointer<network_page> the_page;

QString check_box_style(bool round) {
  return QString("QCheckBox { color: white; spacing: 8px; }"
                 "QCheckBox::indicator { width: 20px; height: 20px; border: 2px solid white; border-radius: %1px;"
                 " background: #313031; }"
                 "QCheckBox::indicator:checked { background: #2196F3; }")
      .arg(round ? 12 : 4);
}

QCheckBox* make_check_box(QWidget* parent, const QString& text, bool round) {
  auto* box = new QCheckBox(text, parent);
  box->setFont(ui_font(20));
  box->setStyleSheet(check_box_style(round));
  return box;
}

button* make_ok(QWidget* parent, const QString& name) {
  auto* b = named_button(parent, name, tr_text("OK"));
  b->setMinimumWidth(ok_min_width);
  b->setFixedHeight(button_height);
  return b;
}

// One half of the page: a column under its title.
QWidget* titled_half(QWidget* page, const QString& title, QVBoxLayout*& column) {
  auto* half = new QWidget(page);
  column = new QVBoxLayout(half);
  column->setContentsMargins(32, 16, 32, 16);
  column->setSpacing(8);
  column->addWidget(make_label(half, title, large_font_px));
  return half;
}

// The Wi-Fi state icon; a click opens the list of networks.
class wifi_icon_button : public QAbstractButton {
 public:
  explicit wifi_icon_button(QWidget* parent) : QAbstractButton(parent) { setFixedSize(56, 48); }
  void set_up(bool up) {
    up_ = up;
    update();
  }
  bool up() const { return up_; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QImage img = image_file_load_recoloured(up_ ? wifi_up_icon : wifi_down_icon,
                                                  to_qcolor(up_ ? wifi_up_colour : wifi_down_colour));
    if (img.isNull()) return;
    QRect r(QPoint(), img.size().scaled(size(), Qt::KeepAspectRatio).boundedTo(img.size()));
    r.moveCenter(rect().center());
    p.drawImage(r, img);
  }

 private:
  bool up_ = false;
};

// One entry of the network list: checkable, green while chosen.
class list_entry : public QAbstractButton {
 public:
  list_entry(QWidget* parent, const QString& text) : QAbstractButton(parent) {
    setText(text);
    setCheckable(true);
    setFont(ui_font(20));
    setMinimumHeight(fontMetrics().height() + 16);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), to_qcolor(isChecked() ? entry_checked : entry_background));
    p.setPen(Qt::white);
    p.drawText(rect().adjusted(8, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft, text());
  }
};

// The popup's backdrop: a touch beside the box closes it.
class popup_backdrop : public QWidget {
 public:
  explicit popup_backdrop(QWidget* parent) : QWidget(parent) {}
  void set_box(QWidget* box) { box_ = box; }

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (box_ && !box_->geometry().contains(event->position().toPoint())) hide();
  }
  void paintEvent(QPaintEvent*) override {}

 private:
  QWidget* box_ = nullptr;
};

}  // namespace

network_page* network_settings_page() { return the_page.data(); }

network_page::network_page(QWidget* parent, page_env& env) : page(parent, page_network), env_(env) {
  setObjectName("network");
  the_page = this;
  paint_settings_background(this);

  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(4, 4, 4, 4);
  row->setSpacing(0);
  row->addWidget(make_lan_half(), 1);
  row->addWidget(make_separator(this, true));
  row->addWidget(make_wireless_half(), 1);
  popup_ = make_popup();
  refresh();
}

network_page::~network_page() = default;

void network_page::address_block(QWidget* parent, QVBoxLayout* column, bool station) {
  const char* side = station ? "sta" : "lan";
  QCheckBox*& dhcp = station ? sta_dhcp_ : lan_dhcp_;
  dhcp = make_check_box(parent, tr_text("Obtain an IP address automatically"), false);
  dhcp->setObjectName(QString("%1_dhcp").arg(side));
  column->addWidget(dhcp);
  connect(dhcp, &QCheckBox::clicked, this, [this, station] { dhcp_clicked(station); });
  auto& fields = station ? sta_fields_ : lan_fields_;
  for (int n = 0; n < address_field_count; ++n) {
    value_field* f = add_field_row(column, parent, tr_text(address_names[static_cast<std::size_t>(n)]), label_width,
                                   QString("%1_field_%2").arg(side).arg(n));
    fields[static_cast<std::size_t>(n)] = f;
    connect(f, &value_field::clicked, this, [this, station, n] { edit_address(station, n); });
  }
  auto* ok_row = new QHBoxLayout;
  ok_row->addStretch(1);
  QAbstractButton*& ok = apply_[station ? 2 : 0];
  ok = make_ok(parent, QString("%1_ok").arg(side));
  ok_row->addWidget(ok);
  column->addLayout(ok_row);
  column->addStretch(1);
  connect(ok, &QAbstractButton::clicked, this, station ? &network_page::apply_station : &network_page::apply_lan);
}

QWidget* network_page::make_lan_half() {
  QVBoxLayout* column = nullptr;
  QWidget* half = titled_half(this, tr_text("LAN"), column);
  address_block(half, column, false);
  return half;
}

QWidget* network_page::make_wireless_half() {
  QVBoxLayout* column = nullptr;
  QWidget* half = titled_half(this, tr_text("Wireless LAN"), column);

  auto* modes = new QHBoxLayout;
  ap_box_ = make_check_box(half, tr_text("AP"), true);
  ap_box_->setObjectName("mode_ap");
  station_box_ = make_check_box(half, tr_text("Station"), true);
  station_box_->setObjectName("mode_station");
  auto* wifi = new wifi_icon_button(half);
  wifi->setObjectName("wifi_button");
  wifi_button_ = wifi;
  modes->addWidget(ap_box_);
  modes->addSpacing(24);
  modes->addWidget(station_box_);
  modes->addStretch(1);
  modes->addWidget(wifi_button_);
  column->addLayout(modes);
  connect(ap_box_, &QCheckBox::clicked, this, [this] { mode_clicked(false); });
  connect(station_box_, &QCheckBox::clicked, this, [this] { mode_clicked(true); });
  connect(wifi_button_, &QAbstractButton::clicked, this, &network_page::show_popup);

  views_ = new QStackedWidget(half);
  // The access point.
  {
    auto* v = new QWidget(views_);
    auto* c = new QVBoxLayout(v);
    c->setContentsMargins(0, 0, 0, 0);
    c->setSpacing(8);
    ap_ssid_ = add_field_row(c, v, tr_text("SSID:"), label_width, "ap_ssid");
    ap_key_ = add_field_row(c, v, tr_text("Password:"), label_width, "ap_key");
    connect(ap_ssid_, &value_field::clicked, this, [this] { edit_text(ap_ssid_, &state_.ap_ssid); });
    connect(ap_key_, &value_field::clicked, this, [this] { edit_text(ap_key_, &ap_key_text_); });
    auto* r = new QHBoxLayout;
    apply_[1] = make_ok(v, "ap_ok");
    r->addWidget(apply_[1]);
    r->addSpacing(16);
    auto* info = new QVBoxLayout;
    ap_ip_ = make_label(v, {}, 20, address_grey);
    ap_ip_->setObjectName("ap_ip");
    url_ = make_label(v, {}, 20, address_grey);
    url_->setObjectName("ap_url");
    info->addWidget(ap_ip_);
    info->addWidget(url_);
    r->addLayout(info, 1);
    c->addLayout(r);
    c->addStretch(1);
    connect(apply_[1], &QAbstractButton::clicked, this, &network_page::apply_ap);
    views_->addWidget(v);
  }
  // The station.
  {
    auto* v = new QWidget(views_);
    auto* c = new QVBoxLayout(v);
    c->setContentsMargins(0, 0, 0, 0);
    c->setSpacing(8);
    auto* r = new QHBoxLayout;
    QLabel* l = make_label(v, tr_text("SSID:"));
    l->setFixedWidth(label_width);
    r->addWidget(l);
    sta_ssid_ = make_label(v, {});
    sta_ssid_->setObjectName("sta_ssid");
    r->addWidget(sta_ssid_, 1);
    c->addLayout(r);
    address_block(v, c, true);
    views_->addWidget(v);
  }
  column->addWidget(views_, 1);
  return half;
}

QWidget* network_page::make_popup() {
  auto* backdrop = new popup_backdrop(this);
  backdrop->setObjectName("ssid_popup");
  auto* outer = new QVBoxLayout(backdrop);
  auto* middle = new QHBoxLayout;
  auto* box = new colour_box(backdrop, theme::black, 8);
  box->set_shadow(popup_shadow, 20);
  backdrop->set_box(box);
  middle->addStretch(1);
  middle->addWidget(box, 2);
  middle->addStretch(1);
  outer->addStretch(1);
  outer->addLayout(middle, 8);
  outer->addStretch(1);

  auto* c = new QVBoxLayout(box);
  c->setContentsMargins(36, 36, 36, 36);
  c->setSpacing(8);
  auto* head = new QHBoxLayout;
  head->addWidget(make_label(box, tr_text("SSID List:")));
  head->addStretch(1);
  auto* refresh_button = named_button(box, "popup_refresh", tr_text("Refresh"));
  refresh_button->setFixedSize(120, 40);
  head->addWidget(refresh_button);
  c->addLayout(head);

  auto* scroll = new QScrollArea(box);
  scroll->setWidgetResizable(true);
  scroll->setStyleSheet("QScrollArea { background: transparent; border: 1px solid rgba(255,255,255,102); }");
  list_ = new QWidget;
  list_->setObjectName("ssid_list");
  list_->setStyleSheet("background: transparent;");
  list_column_ = new QVBoxLayout(list_);
  list_column_->setContentsMargins(0, 0, 0, 0);
  list_column_->setSpacing(0);
  list_column_->addStretch(1);
  scroll->setWidget(list_);
  c->addWidget(scroll, 1);

  auto* key_row = new QHBoxLayout;
  key_row->addWidget(make_label(box, tr_text("Password:")));
  popup_key_ = new value_field(box);
  popup_key_->setObjectName("popup_key");
  key_row->addWidget(popup_key_, 1);
  c->addLayout(key_row);
  connect(popup_key_, &value_field::clicked, this, [this] { edit_text(popup_key_, &popup_key_text_); });

  auto* buttons = new QHBoxLayout;
  auto* cancel = named_button(box, "popup_cancel", tr_text("Cancel"));
  cancel->setFixedHeight(button_height);
  auto* ok = make_ok(box, "popup_ok");
  cancel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  ok->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  buttons->addWidget(cancel, 1);
  buttons->addSpacing(24);
  buttons->addWidget(ok, 1);
  c->addLayout(buttons);

  popup_buttons_ = {refresh_button, cancel, ok};
  connect(refresh_button, &QAbstractButton::clicked, this, [this] {
    set_network_list({});
    env_.session.engine.device().send_network_list_request();
  });
  connect(cancel, &QAbstractButton::clicked, backdrop, &QWidget::hide);
  connect(ok, &QAbstractButton::clicked, this, &network_page::popup_ok);
  backdrop->hide();
  return backdrop;
}

value_field* network_page::address_field(bool station, int field) const {
  if (field < 0 || field >= address_field_count) return nullptr;
  return (station ? sta_fields_ : lan_fields_)[static_cast<std::size_t>(field)];
}

QAbstractButton* network_page::apply_button(int which) const {
  return which >= 0 && which < 3 ? apply_[static_cast<std::size_t>(which)] : nullptr;
}

QAbstractButton* network_page::popup_button(int which) const {
  return which >= 0 && which < 3 ? popup_buttons_[static_cast<std::size_t>(which)] : nullptr;
}

QList<QAbstractButton*> network_page::network_entries() const {
  return list_->findChildren<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
}

void network_page::open(int argument) {
  popup_->hide();
  for (const std::string_view q : network_queries) env_.session.engine.device().send_config_query(q);
  refresh();
  if (argument >= 1) mode_clicked(true);
  if (argument == 2) {
    show_popup();
    env_.session.engine.device().send_network_list_request();
  }
}

void network_page::show_popup() {
  popup_->setGeometry(rect());
  popup_->show();
  popup_->raise();
}

void network_page::resizeEvent(QResizeEvent* event) {
  page::resizeEvent(event);
  popup_->setGeometry(rect());
}

void network_page::report(std::string_view key, std::string_view value) {
  state_.apply_report(key, value);
  refresh();
}

void network_page::saved() { show_notice(tr_text(network_saved_text.data()), theme::success); }

void network_page::set_network_list(const QStringList& names) {
  for (QAbstractButton* b : network_entries()) delete b;
  for (const QString& name : names) {
    auto* e = new list_entry(list_, name);
    e->setObjectName("ssid_entry");
    list_column_->insertWidget(list_column_->count() - 1, e);
    e->show();
    connect(e, &QAbstractButton::clicked, this, [this, e] {
      for (QAbstractButton* other : network_entries()) other->setChecked(other == e);
    });
  }
}

void network_page::edit_address(bool station, int field) {
  value_field* target = address_field(station, field);
  text_entry_request r;
  r.target = target;
  r.flags = entry_flags;
  r.initial_text = target->text();
  r.callback = [this, station, field](QWidget*, std::uint16_t, std::uint16_t, void*, const std::string& text) {
    (station ? state_.station : state_.lan).set_field(field, text);
    refresh();
  };
  text_entry_open(r);
}

void network_page::edit_text(value_field* field, std::string* target) {
  text_entry_request r;
  r.target = field;
  r.flags = entry_flags;
  r.initial_text = field->text();
  r.callback = [this, target](QWidget*, std::uint16_t, std::uint16_t, void*, const std::string& text) {
    *target = text;
    refresh();
  };
  text_entry_open(r);
}

void network_page::dhcp_clicked(bool station) {
  (station ? state_.station : state_.lan).set_dhcp(dhcp_box(station)->isChecked());
  refresh();
}

void network_page::mode_clicked(bool station) {
  state_.station_mode = station;
  refresh();
}

void network_page::send(const std::optional<std::string>& command) {
  if (command) env_.session.engine.device().send_config_command(*command);
}

void network_page::apply_lan() { send(state_.lan_command()); }

void network_page::apply_ap() {
  if (!access_point_key_ok(ap_key_text_)) {
    show_notice(tr_text(short_key_text.data()), theme::failure);
    return;
  }
  send(access_point_command(state_.ap_ssid, ap_key_text_));
}

void network_page::apply_station() { send(state_.station_command()); }

void network_page::popup_ok() {
  for (QAbstractButton* e : network_entries()) {
    if (!e->isChecked()) continue;
    state_.station_ssid = utf8_bytes(e->text());
    send(join_wireless_command(state_.station_ssid, popup_key_text_));
    break;
  }
  popup_->hide();
  refresh();
}

void network_page::refresh() {
  lan_dhcp_->setChecked(state_.lan.dhcp);
  sta_dhcp_->setChecked(state_.station.dhcp);
  for (int n = 0; n < address_field_count; ++n) {
    lan_fields_[static_cast<std::size_t>(n)]->setText(utf8_text(state_.lan.fields[static_cast<std::size_t>(n)]));
    lan_fields_[static_cast<std::size_t>(n)]->setEnabled(state_.lan.fields_enabled());
    sta_fields_[static_cast<std::size_t>(n)]->setText(utf8_text(state_.station.fields[static_cast<std::size_t>(n)]));
    sta_fields_[static_cast<std::size_t>(n)]->setEnabled(state_.station.fields_enabled());
  }
  ap_box_->setChecked(!state_.station_mode);
  station_box_->setChecked(state_.station_mode);
  views_->setCurrentIndex(state_.station_mode ? 1 : 0);
  wifi_button_->setVisible(state_.station_mode);
  static_cast<wifi_icon_button*>(wifi_button_)->set_up(state_.wifi_up);
  ap_ssid_->setText(utf8_text(state_.ap_ssid));
  ap_key_->setText(utf8_text(ap_key_text_));
  popup_key_->setText(utf8_text(popup_key_text_));
  sta_ssid_->setText(utf8_text(state_.station_ssid));
  ap_ip_->setText(utf8_text(state_.ap_address_text()));
  url_->setText(utf8_text(state_.url_text()));
}

page* create_network_page(QWidget* parent, page_env& env, int) { return new network_page(parent, env); }

}  // namespace vorante
