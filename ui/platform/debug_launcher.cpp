#include "ui/platform/debug_launcher.h"

#include <libserialport.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/core/identity.h"

namespace vorante {
namespace {

// Device paths such as /dev/ttyUSB0 need more room than the old COM names did.
constexpr int launcher_port_text_max = 31;

constexpr QSize launcher_size{560, 350};
constexpr int launcher_font_px = 16;
constexpr int launcher_com_count = 10;
constexpr int launcher_initial_port = 4;  // "COM5"
constexpr const char* launcher_bauds[] = {"19200", "115200", "128000"};
constexpr int launcher_initial_baud = 2;
constexpr int launcher_max_baud = 4000000;

// In the order the options follow; only the last is on at the start.
constexpr const char* launcher_check_labels[launcher_check_count] = {
    "禁用频谱", "禁用联机锁屏", "禁用心跳包", "禁用重连", "打印蓝牙模块数据",
    "打印串口发送数据", "打印串口接收数据", "接管面板", "打印友好的写操作",
};

QStringList present_serial_ports() {
  QStringList names;
  sp_port** ports = nullptr;
  if (sp_list_ports(&ports) != SP_OK) return names;
  for (sp_port** p = ports; *p; ++p) names << QString::fromLocal8Bit(sp_get_port_name(*p));
  sp_free_port_list(ports);
  names.sort();
  return names;
}

}  // namespace

QStringList launcher_port_choices() {
  QStringList choices;
  for (int n = 1; n <= launcher_com_count; ++n) choices << QStringLiteral("COM%1").arg(n);
  for (const auto& name : present_serial_ports())
    if (name.size() <= launcher_port_text_max) choices << name;
  return choices;
}

debug_launcher::debug_launcher(QWidget* parent)
    : QDialog(parent),
      port_(new QComboBox(this)),
      baud_(new QComboBox(this)),
      ok_(new QPushButton(QStringLiteral("确认"), this)),
      cancel_(new QPushButton(QStringLiteral("取消"), this)) {
  setWindowTitle(QString::fromUtf8(product_name()));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setFixedSize(launcher_size);

  QFont font;
  font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("Noto Serif CJK SC"),
                    QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei")});
  font.setPixelSize(launcher_font_px);
  setFont(font);

  port_->setEditable(true);
  port_->addItems(launcher_port_choices());
  port_->setCurrentIndex(launcher_initial_port);
  port_->lineEdit()->setMaxLength(launcher_port_text_max);

  baud_->setEditable(true);
  for (const char* baud : launcher_bauds) baud_->addItem(QString::fromLatin1(baud));
  baud_->setCurrentIndex(launcher_initial_baud);
  baud_->lineEdit()->setMaxLength(launcher_port_text_max);
  baud_->setValidator(new QIntValidator(1, launcher_max_baud, baud_));

  auto* fields = new QGridLayout;
  fields->addWidget(new QLabel(QStringLiteral("通信端口："), this), 0, 0);
  fields->addWidget(port_, 0, 1);
  fields->addWidget(new QLabel(QStringLiteral("波特率："), this), 1, 0);
  fields->addWidget(baud_, 1, 1);
  fields->setColumnStretch(1, 1);

  auto* switches = new QGridLayout;
  for (int n = 0; n < launcher_check_count; ++n) {
    auto* box = new QCheckBox(QString::fromUtf8(launcher_check_labels[n]), this);
    checks_[static_cast<std::size_t>(n)] = box;
    switches->addWidget(box, n / 3, n % 3);
  }
  checks_.back()->setChecked(true);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(24, 24, 24, 24);
  column->setSpacing(16);
  column->addLayout(fields);
  column->addLayout(switches);
  column->addStretch(1);
  column->addLayout(buttons);

  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  connect(port_, &QComboBox::currentTextChanged, this, &debug_launcher::update_ok);
  connect(baud_, &QComboBox::currentTextChanged, this, &debug_launcher::update_ok);
}

// A run with no port name or a baud rate of 0 would only fail later, less clearly.
void debug_launcher::update_ok() {
  bool baud_ok = false;
  const int baud = baud_->currentText().toInt(&baud_ok);
  ok_->setEnabled(!port_->currentText().trimmed().isEmpty() && baud_ok && baud > 0);
}

void debug_launcher::apply_to(runtime_options& options) const {
  options.serial_port = port_->currentText().trimmed().left(launcher_port_text_max).toStdString();
  options.baud_rate = baud_->currentText().toInt();
  const auto on = [this](int n) { return checks_[static_cast<std::size_t>(n)]->isChecked(); };
  options.meter_polling_disabled = on(0);
  options.online_lock_poll_disabled = on(1);
  options.heartbeat_enabled = !on(2);
  options.resync_once_only = on(3);
  options.print_panel_data = on(4);
  options.print_sent = on(5);
  options.print_received = on(6);
  options.surface_takeover = on(7);
  options.print_writes_by_name = on(8);
}

int run_debug_launcher(runtime_options& options) {
  debug_launcher launcher;
  if (launcher.exec() != QDialog::Accepted) return 0;
  launcher.apply_to(options);
  return 1;
}

}  // namespace vorante
