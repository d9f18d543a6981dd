#include "ui/screens/mixer/connect_dialog.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QVBoxLayout>

#include "app/core/translate.h"
#include "app/os/socket_util.h"
#include "app/params/store.h"
#include "app/protocol/engine.h"
#include "ui/foundation/colour.h"
#include "ui/platform/main_loop.h"
#include "ui/widgets/box_cache.h"
#include "ui/widgets/button.h"
#include "ui/widgets/overlay_layer.h"
#include "ui/widgets/widget_fonts.h"

namespace vorante {

namespace {

constexpr int connect_first_round_delay_ms = 100;
constexpr int connect_step_period_ms = 20;
constexpr int connect_veil_alpha = 204;
constexpr int connect_list_height = 200;

constexpr double panel_width_share = 0.35;
constexpr int panel_padding = 20;
constexpr int panel_gap = 12;
constexpr int panel_radius = 8;
constexpr rgb565 panel_background = 0x10A3;
constexpr rgb565 panel_border = 0x4228;
constexpr int command_button_width = 80;
constexpr int command_button_height = 40;
constexpr int entry_height = 44;
constexpr int entry_padding_x = 12;
constexpr int entry_radius = 4;
constexpr rgb565 entry_background = 0x2124;
constexpr rgb565 entry_checked = 0x34DF;
constexpr rgb565 address_grey = 0x8410;
constexpr int address_px = 16;
constexpr int title_px = 20;
constexpr int command_text_px = 18;
constexpr rgb565 status_grey = 0xAD55;

constexpr const char* searching_text = "Searching...";
constexpr const char* none_found_text = "No console found";

QString tr_text(const char* english) { return QString::fromUtf8(translate_text(english)); }

QLabel* white_label(const QString& text, int px, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  l->setFont(ui_font(px));
  // Inside the list the labels sit on the scroll area's base, so they draw with the text
  // role rather than the window-text role.
  l->setForegroundRole(QPalette::WindowText);
  QPalette p = l->palette();
  p.setColor(QPalette::WindowText, Qt::white);
  l->setPalette(p);
  return l;
}

// The full-screen layer: dark, and nothing behind it can be touched. It keeps the panel
// about a third of its width wide, in the middle, whatever the window's size.
class connect_layer : public overlay_layer {
 public:
  connect_layer() { setObjectName("connect_dialog"); }

  void place_panel() {
    if (!panel) return;
    const int w = static_cast<int>(width() * panel_width_share);
    panel->setFixedWidth(w);
    panel->adjustSize();
    panel->move((width() - w) / 2, (height() - panel->height()) / 2);
  }

  QWidget* panel = nullptr;

 protected:
  void resizeEvent(QResizeEvent*) override { place_panel(); }
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), QColor(0, 0, 0, connect_veil_alpha));
  }
  void mousePressEvent(QMouseEvent* e) override { e->accept(); }
  void mouseReleaseEvent(QMouseEvent* e) override { e->accept(); }
};

class connect_panel : public QWidget {
 public:
  explicit connect_panel(QWidget* parent) : QWidget(parent) { setObjectName("connect_panel"); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.drawImage(QPoint(0, 0),
                rounded_box(size(), {panel_background, panel_background, true, panel_border, 255, 1, panel_radius}));
  }
};

// One console of the list: its name and, in grey, its address; only the address (white)
// for a console without a name.
class console_entry : public QAbstractButton {
 public:
  console_entry(const device_entry& entry, QWidget* parent) : QAbstractButton(parent), address_(entry.address) {
    setCheckable(true);
    setFixedHeight(entry_height);
    setCursor(Qt::PointingHandCursor);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(entry_padding_x, 0, entry_padding_x, 0);
    row->setSpacing(8);
    const QString dotted = QString::fromStdString(ipv4_text(entry.address));
    if (entry.name.empty()) {
      row->addWidget(white_label(dotted, default_text_px, this));
    } else {
      row->addWidget(white_label(QString::fromStdString(entry.name), default_text_px, this));
      QLabel* address = white_label(QString("(%1)").arg(dotted), address_px, this);
      QPalette grey = address->palette();
      grey.setColor(QPalette::WindowText, to_qcolor(address_grey));
      address->setPalette(grey);
      row->addWidget(address);
    }
    row->addStretch(1);
    for (QLabel* l : findChildren<QLabel*>()) l->setAttribute(Qt::WA_TransparentForMouseEvents);
  }

  uint32_t address() const { return address_; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(to_qcolor(isChecked() || isDown() ? entry_checked : entry_background));
    p.drawRoundedRect(rect(), entry_radius, entry_radius);
  }

 private:
  uint32_t address_;
};

button* command_button(const char* english, QWidget* parent) {
  auto* b = new button(parent);
  b->set_text(tr_text(english));
  b->setFont(ui_font(command_text_px));
  b->setFixedSize(command_button_width, command_button_height);
  return b;
}

}  // namespace

connect_dialog::connect_dialog(connect_links links, QObject* parent) : QObject(parent), links_(std::move(links)) {
  step_timer_.setInterval(connect_step_period_ms);
  connect(&step_timer_, &QTimer::timeout, this, &connect_dialog::step_round);
}

connect_dialog::~connect_dialog() {
  if (layer_) delete layer_.data();
}

uint32_t connect_dialog::now() const { return links_.clock ? links_.clock() : steady_ms(); }

void connect_dialog::open() {
  links_.console.set_address(0);
  links_.engine.supervision().clear_alive();
  links_.store.clear_all();
  if (layer_) {
    layer_->raise();
    return;
  }
  build();
  if (links_.open_changed) links_.open_changed(true);
  QTimer::singleShot(connect_first_round_delay_ms, layer_.data(), [this] { refresh(); });
}

void connect_dialog::build() {
  auto* layer = new connect_layer();
  layer_ = layer;
  auto* panel = new connect_panel(layer);
  auto* column = new QVBoxLayout(panel);
  column->setContentsMargins(panel_padding, panel_padding, panel_padding, panel_padding);
  column->setSpacing(panel_gap);

  column->addWidget(white_label(tr_text("Device List:"), title_px, panel));

  auto* refresh_row = new QHBoxLayout;
  auto* refresh = command_button("Refresh", panel);
  refresh->setObjectName("connect_refresh");
  refresh->setFixedWidth(2 * command_button_width);
  refresh_row->addWidget(refresh);
  refresh_row->addStretch(1);
  column->addLayout(refresh_row);
  refresh_button_ = refresh;
  connect(refresh, &QAbstractButton::clicked, this, &connect_dialog::refresh);

  auto* scroller = new QScrollArea(panel);
  scroller->setObjectName("connect_list");
  scroller->setFixedHeight(connect_list_height);
  scroller->setFrameShape(QFrame::NoFrame);
  scroller->setWidgetResizable(true);
  scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list_ = new QWidget;
  list_column_ = new QVBoxLayout(list_);
  list_column_->setContentsMargins(0, 0, 0, 0);
  list_column_->setSpacing(4);
  status_ = white_label(QString(), default_text_px, list_);
  status_->setObjectName("connect_status");
  status_->setAlignment(Qt::AlignCenter);
  QPalette grey = status_->palette();
  grey.setColor(QPalette::WindowText, to_qcolor(status_grey));
  status_->setPalette(grey);
  list_column_->addWidget(status_);
  list_column_->addStretch(1);
  scroller->setWidget(list_);
  // The list shows the panel through it.
  scroller->viewport()->setAutoFillBackground(false);
  list_->setAutoFillBackground(false);
  column->addWidget(scroller);

  auto* commands = new QHBoxLayout;
  auto* connect_b = command_button("Connect", panel);
  connect_b->setObjectName("connect_connect");
  auto* demo_b = command_button("Demo", panel);
  demo_b->setObjectName("connect_demo");
  commands->addStretch(1);
  commands->addWidget(connect_b);
  commands->addSpacing(panel_gap * 2);
  commands->addWidget(demo_b);
  commands->addStretch(1);
  column->addLayout(commands);
  connect_button_ = connect_b;
  demo_button_ = demo_b;
  connect(connect_b, &QAbstractButton::clicked, this, &connect_dialog::connect_checked);
  connect(demo_b, &QAbstractButton::clicked, this, &connect_dialog::demo);

  choices_ = std::make_unique<QButtonGroup>();
  choices_->setExclusive(true);
  entries_.clear();

  // The first round follows in a moment.
  show_status(searching_text);

  layer->panel = panel;
  layer->place_panel();
  layer->show();
  layer->raise();
}

void connect_dialog::refresh() {
  if (!layer_) return;
  // Empty the list at once: the answers of the new round fill it again.
  entries_.clear();
  for (QAbstractButton* b : choices_->buttons()) {
    choices_->removeButton(b);
    delete b;
  }
  show_status(searching_text);
  round_ = std::make_unique<discovery_round>(links_.console_port);
  if (!round_->start(links_.adapters(), now())) {
    round_.reset();
    show_status(none_found_text);
    emit list_filled();
    return;
  }
  step_timer_.start();
}

void connect_dialog::step_round() {
  if (!round_) {
    step_timer_.stop();
    return;
  }
  if (!round_->step(now())) return;
  step_timer_.stop();
  entries_ = round_->entries();
  round_.reset();
  fill_list();
}

void connect_dialog::fill_list() {
  if (!layer_) return;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    auto* b = new console_entry(entries_[i], list_);
    b->setObjectName(QString("connect_entry_%1").arg(i));
    choices_->addButton(b, static_cast<int>(i));
    list_column_->insertWidget(static_cast<int>(i), b);
  }
  show_status(entries_.empty() ? none_found_text : nullptr);
  emit list_filled();
}

// nullptr hides the status.
void connect_dialog::show_status(const char* english) {
  if (!status_) return;
  status_->setVisible(english != nullptr);
  if (english) status_->setText(tr_text(english));
}

QAbstractButton* connect_dialog::entry_button(int n) const { return choices_ ? choices_->button(n) : nullptr; }

void connect_dialog::connect_checked() {
  if (!choices_) return;
  auto* chosen = static_cast<console_entry*>(choices_->checkedButton());
  if (chosen == nullptr) return;
  links_.console.set_address(chosen->address());
  links_.console.set_port(links_.console_port);
  links_.store.full_resync();
  close();
}

void connect_dialog::demo() { close(); }

void connect_dialog::close() {
  step_timer_.stop();
  round_.reset();
  choices_.reset();
  entries_.clear();
  list_ = nullptr;
  list_column_ = nullptr;
  status_ = nullptr;
  refresh_button_ = connect_button_ = demo_button_ = nullptr;
  if (layer_) layer_->deleteLater();
  layer_ = nullptr;
  if (links_.open_changed) links_.open_changed(false);
}

}  // namespace vorante
