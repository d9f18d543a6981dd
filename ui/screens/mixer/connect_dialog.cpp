#include "ui/screens/mixer/connect_dialog.h"

#include <QAbstractButton>
#include <QDateTime>
#include <QGridLayout>
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
#include "app/protocol/link_stats.h"
#include "ui/foundation/colour.h"
#include "ui/widgets/widget_colours.h"
#include "ui/platform/main_loop.h"
#include "ui/widgets/box_cache.h"
#include "ui/widgets/button.h"
#include "ui/widgets/overlay_layer.h"
#include "ui/widgets/widget_fonts.h"
#include "ui/widgets/ui_text.h"

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

// The link section: small grey captions, white figures, refreshed while the dialog is open.
constexpr int link_refresh_ms = 500;
constexpr int link_text_px = 14;
constexpr int link_title_px = 18;
constexpr int given_up_list_height = 84;
constexpr std::size_t given_up_lines = 5;
constexpr rgb565 link_caption_grey = 0xAD55;
constexpr rgb565 given_up_red = 0xFA08;

constexpr const char* link_captions[] = {"Console", "Link mode", "Heartbeat", "Frames", "Resends", "Last full read",
                                         "Not confirmed"};

constexpr const char* searching_text = "Searching...";
constexpr const char* none_found_text = "No console found";

QLabel* white_label(const QString& text, int px, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  l->setFont(ui_font(px));
  // Inside the list the labels sit on the scroll area's base, so they draw with the text
  // role rather than the window-text role.
  l->setForegroundRole(QPalette::WindowText);
  set_text_colour(l, Qt::white);
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
      set_text_colour(address, to_qcolor(address_grey));
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
  // Verdicts keep coming in while the dialog is open.
  link_timer_.setInterval(link_refresh_ms);
  connect(&link_timer_, &QTimer::timeout, this, &connect_dialog::update_link_section);
}

connect_dialog::~connect_dialog() {
  if (layer_) delete layer_.data();
}

uint32_t connect_dialog::now() const { return links_.clock ? links_.clock() : steady_ms(); }

void connect_dialog::open() {
  if (links_.console.address() != 0) {
    last_address_ = links_.console.address();
    last_port_ = links_.console.port();
  }
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
  set_text_colour(status_, to_qcolor(status_grey));
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

  build_link_section(panel, column);

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
  link_timer_.stop();
  link_section_ = nullptr;
  resync_button_ = nullptr;
  link_values_.clear();
  given_up_list_ = nullptr;
  if (layer_) layer_->deleteLater();
  layer_ = nullptr;
  if (links_.open_changed) links_.open_changed(false);
}

// --- the link section --------------------------------------------------------------------

void connect_dialog::build_link_section(QWidget* panel, QVBoxLayout* column) {
  auto* section = new QWidget(panel);
  section->setObjectName("link_section");
  auto* grid = new QGridLayout(section);
  grid->setContentsMargins(0, panel_gap, 0, 0);
  grid->setHorizontalSpacing(panel_gap);
  grid->setVerticalSpacing(2);
  int row = 0;
  grid->addWidget(white_label(tr_text("Link"), link_title_px, section), row++, 0, 1, 2);
  link_values_.clear();
  for (const char* caption : link_captions) {
    QLabel* c = white_label(tr_text(caption), link_text_px, section);
    set_text_colour(c, to_qcolor(link_caption_grey));
    QLabel* v = white_label(QString(), link_text_px, section);
    v->setObjectName(QString("link_value_%1").arg(row - 1));
    grid->addWidget(c, row, 0);
    grid->addWidget(v, row, 1);
    link_values_.push_back(v);
    ++row;
  }
  given_up_list_ = white_label(QString(), link_text_px, section);
  given_up_list_->setObjectName("link_given_up");
  given_up_list_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  given_up_list_->setFixedHeight(given_up_list_height);
  set_text_colour(given_up_list_, to_qcolor(given_up_red));
  grid->addWidget(given_up_list_, row++, 0, 1, 2);
  grid->setColumnStretch(1, 1);

  auto* resync_row = new QHBoxLayout;
  auto* resync_b = command_button("Resync", section);
  resync_b->setObjectName("link_resync");
  resync_b->setFixedWidth(2 * command_button_width);
  resync_row->addStretch(1);
  resync_row->addWidget(resync_b);
  resync_row->addStretch(1);
  grid->addLayout(resync_row, row, 0, 1, 2);
  resync_button_ = resync_b;
  connect(resync_b, &QAbstractButton::clicked, this, &connect_dialog::resync);

  column->addWidget(section);
  link_section_ = section;
  update_link_section();
  link_timer_.start();
}

namespace {

QString link_mode_text(int mode) {
  switch (mode) {
    case link_serial: return "serial";
    case link_udp: return "UDP";
    case link_tcp: return "TCP";
    default: return "none";
  }
}

QString count_text(uint64_t n) { return QString::number(static_cast<qulonglong>(n)); }

}  // namespace

void connect_dialog::update_link_section() {
  if (!link_section_ || link_values_.size() != std::size(link_captions)) return;
  const link_stats& s = links_.engine.stats();
  const int mode = links_.store.options().link_mode;
  QString console;
  const std::string name = links_.console_name ? links_.console_name() : std::string();
  if (!name.empty()) console = QString::fromStdString(name);
  if (mode == link_udp && last_address_ != 0) {
    const QString address = QString("%1:%2").arg(QString::fromStdString(ipv4_text(last_address_))).arg(last_port_);
    console = console.isEmpty() ? address : QString("%1 (%2)").arg(console, address);
  }
  if (console.isEmpty()) console = "-";
  QString last_read = "-";
  if (s.full_read_done) {
    // The engine's clock has no date: the age of the read is taken off the wall clock.
    const qint64 age = static_cast<qint64>(links_.engine.last_step_tick() - s.full_read_finished);
    last_read = QString("%1, %2 ms")
                    .arg(QDateTime::currentDateTime().addMSecs(-age).toString("HH:mm:ss"))
                    .arg(s.full_read_ms);
  } else if (s.full_read_running) {
    last_read = tr_text("running");
  }
  const QString values[] = {
      console,
      link_mode_text(mode),
      QString::fromStdString(rtt_summary(s)),
      QString("%1 sent, %2 received").arg(count_text(s.frames_sent), count_text(s.frames_received)),
      QString("%1 writes, %2 reads").arg(count_text(s.write_resends), count_text(s.read_resends)),
      last_read,
      QString("%1 given up, %2 confirmed late").arg(count_text(s.writes_given_up), count_text(s.writes_confirmed_late)),
  };
  for (std::size_t i = 0; i < link_values_.size(); ++i)
    if (link_values_[i]->text() != values[i]) link_values_[i]->setText(values[i]);

  // The newest given-up writes first.
  QStringList lines;
  for (auto it = s.given_up.rbegin(); it != s.given_up.rend() && static_cast<std::size_t>(lines.size()) < given_up_lines; ++it) {
    const given_up_texts t = describe_write(links_.store, it->id, it->value);
    lines << QString("%1  %2  %3").arg(QString::fromStdString(t.channel), QString::fromStdString(t.parameter),
                                       QString::fromStdString(t.value));
  }
  const QString list = lines.join('\n');
  if (given_up_list_->text() != list) given_up_list_->setText(list);
  resync_button_->setEnabled(mode != link_udp || last_address_ != 0);
}

QString connect_dialog::link_texts() const {
  QStringList out;
  if (!link_section_) return {};
  for (std::size_t i = 0; i < link_values_.size(); ++i)
    out << QString("%1: %2").arg(tr_text(link_captions[i]), link_values_[i]->text());
  if (given_up_list_ && !given_up_list_->text().isEmpty()) out << given_up_list_->text();
  return out.join('\n');
}

void connect_dialog::resync() {
  if (!layer_) return;
  const int mode = links_.store.options().link_mode;
  if (mode == link_udp) {
    if (last_address_ == 0) return;
    links_.console.set_address(last_address_);
    links_.console.set_port(last_port_);
  }
  links_.store.full_resync();
  close();
}

}  // namespace vorante
