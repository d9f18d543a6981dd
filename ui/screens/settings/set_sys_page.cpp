#include "ui/screens/settings/set_sys_page.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "app/core/identity.h"
#include "app/protocol/config_texts.h"
#include "app/protocol/session.h"
#include "app/settings/settings_rules.h"
#include "ui/pages/named_button.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_table.h"
#include "ui/platform/native_config.h"
#include "ui/screens/settings/security_dialogs.h"
#include "ui/screens/settings/settings_widgets.h"
#include "ui/widgets/button.h"
#include "ui/widgets/text_entry.h"
#include "ui/widgets/toggle_button.h"

namespace vorante {

namespace {

constexpr int grid_gap = 48;
constexpr QSize grid_button_size{160, 72};
constexpr int title_side_padding = 32;
constexpr int row_height = 64;
constexpr rgb565 language_background = 0x52CB;
constexpr rgb565 notice_red = 0xF800;
constexpr int info_label_width = 160;
constexpr std::uint16_t rename_flags = entry_touch_commits | entry_empty_commits;

QPointer<set_sys_page> the_page;
std::string config_path = native_config_file;

// A row or column that takes `percent` of its parent's width, centred.
QWidget* share_of_width(QWidget* parent, QLayout* content, int percent) {
  auto* holder = new QWidget(parent);
  auto* row = new QHBoxLayout(holder);
  row->setContentsMargins(0, 0, 0, 0);
  auto* inner = new QWidget(holder);
  inner->setLayout(content);
  const int side = (100 - percent) / 2;
  row->addStretch(side);
  row->addWidget(inner, percent);
  row->addStretch(side);
  return holder;
}

}  // namespace

set_sys_page* system_page() { return the_page.data(); }

void set_sys_page::set_config_path(std::string path) { config_path = std::move(path); }

set_sys_page::set_sys_page(QWidget* parent, page_env& env)
    : container_page(parent, page_set_sys, env), env_(env), stack_(new QStackedWidget(this)) {
  setObjectName("set_sys");
  the_page = this;
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(stack_);

  // The grid.
  auto* grid_view = new QWidget(stack_);
  auto* centre = new QVBoxLayout(grid_view);
  auto* grid = new QGridLayout;
  grid->setSpacing(grid_gap);
  for (int n = 0; n < static_cast<int>(sys_buttons.size()); ++n) {
    auto* b = named_button<toggle_button>(grid_view, QString("sys_button_%1").arg(n),
                                          tr_text(sys_buttons[static_cast<std::size_t>(n)].label));
    b->setCheckable(false);
    b->setFixedSize(grid_button_size);
    grid_.addButton(b, n);
    grid->addWidget(b, n / 3, n % 3);
  }
  connect(&grid_, &QButtonGroup::idClicked, this, &set_sys_page::button_clicked);
  centre->addStretch(1);
  centre->addLayout(grid);
  centre->setAlignment(grid, Qt::AlignCenter);
  centre->addStretch(1);
  stack_->addWidget(grid_view);

  // The hosting view: the page under its title.
  stack_->addWidget(make_view(view_hosted, host()));

  // The lock view.
  {
    auto* body = new QWidget;
    auto* column = new QVBoxLayout(body);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(24);
    auto* pwd = new button;
    pwd->setObjectName("password_button");
    pwd->set_text(tr_text("PASSWROD..."));
    pwd->setFixedHeight(row_height);
    pwd->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto* lock = new button;
    lock->setObjectName("lock_button");
    lock->set_text(tr_text("LOCK"));
    lock->setFixedHeight(row_height);
    lock->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    buttons->addWidget(pwd);
    buttons->addWidget(lock);
    password_ = pwd;
    lock_ = lock;
    column->addWidget(share_of_width(body, buttons, 50));
    column->addStretch(1);
    connect(pwd, &QAbstractButton::clicked, this, [this] { open_password_dialog(this); });
    connect(lock, &QAbstractButton::clicked, this, [] { open_lock_dialog(true, false); });
    stack_->addWidget(make_view(view_lock, body));
  }

  // The language view.
  {
    auto* body = new QWidget;
    auto* column = new QVBoxLayout(body);
    auto* toggles = new QHBoxLayout;
    toggles->setContentsMargins(12, 12, 12, 12);
    toggles->setSpacing(64);
    for (const bool chinese : {true, false}) {
      auto* b = new button;
      b->setObjectName(chinese ? "language_zh" : "language_en");
      b->setCheckable(true);
      b->set_colour(language_background);
      b->set_text(QString::fromUtf8(chinese ? "简体中文" : "ENGLISH"));
      b->setFixedHeight(row_height);
      b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
      languages_.addButton(b, chinese ? 1 : 0);
      toggles->addWidget(b);
    }
    languages_.setExclusive(false);
    connect(&languages_, &QButtonGroup::idClicked, this, [this](int id) { choose_language(id == 1); });
    column->addWidget(share_of_width(body, toggles, 70));
    restart_notice_ = make_label(body, QString::fromUtf8(restart_notice_text), 20, notice_red);
    restart_notice_->setObjectName("restart_notice");
    restart_notice_->setAlignment(Qt::AlignCenter);
    restart_notice_->hide();
    column->addWidget(restart_notice_);
    column->addStretch(1);
    stack_->addWidget(make_view(view_language, body));
  }

  // The version view.
  {
    auto* body = new QWidget;
    auto* column = new QVBoxLayout(body);
    auto* rows = new QVBoxLayout;
    rows->setSpacing(24);
    auto add_row = [&rows, body](const char* name, QLabel* value) {
      auto* r = new QHBoxLayout;
      QLabel* l = make_label(body, tr_text(name));
      l->setFixedWidth(info_label_width);
      r->addWidget(l);
      r->addWidget(value, 1);
      auto* holder = new QWidget(body);
      holder->setFixedHeight(row_height);
      holder->setLayout(r);
      rows->addWidget(holder);
    };
    auto* name = new value_field(body, QString::fromUtf8(product_name()));
    name->setObjectName("device_name");
    connect(name, &value_field::clicked, this, &set_sys_page::rename_device);
    device_name_ = name;
    add_row("DEVICE NAME:", name);
    firmware_ = make_label(body, {});
    firmware_->setObjectName("firmware");
    add_row("FIRMWARE:", firmware_);
    column->addWidget(share_of_width(body, rows, 50));
    column->addStretch(1);
    stack_->addWidget(make_view(view_version, body));
  }

  connect(host(), &page_host::current_changed, this, &set_sys_page::follow_host);
}

set_sys_page::~set_sys_page() = default;

QWidget* set_sys_page::make_view(int view, QWidget* body) {
  auto* v = new QWidget(stack_);
  v->setObjectName(QString("sys_view_%1").arg(view));
  auto* column = new QVBoxLayout(v);
  column->setContentsMargins(0, 0, 0, 0);
  auto* title_row = new QHBoxLayout;
  title_row->setContentsMargins(title_side_padding, 0, title_side_padding, 0);
  QLabel* title = make_label(v, {}, large_font_px);
  title->setObjectName("view_title");
  title->setAlignment(Qt::AlignCenter);
  // The close button sits at the right; an equal space on the left keeps the title centred.
  title_row->addSpacing(64);
  title_row->addWidget(title, 1);
  auto* close = new close_button(v);
  title_row->addWidget(close);
  connect(close, &QAbstractButton::clicked, this, [this] { stack_->setCurrentIndex(view_grid); });
  column->addLayout(title_row);
  body->setParent(v);
  column->addWidget(body, 1);
  titles_[static_cast<std::size_t>(view)] = title;
  closes_[static_cast<std::size_t>(view)] = close;
  return v;
}

int set_sys_page::current_view() const { return stack_->currentIndex(); }
QAbstractButton* set_sys_page::grid_button(int n) const { return grid_.button(n); }
QLabel* set_sys_page::view_title(int view) const { return titles_[static_cast<std::size_t>(view)]; }
QAbstractButton* set_sys_page::view_close(int view) const { return closes_[static_cast<std::size_t>(view)]; }
QAbstractButton* set_sys_page::language_toggle(bool chinese) const { return languages_.button(chinese ? 1 : 0); }

void set_sys_page::show_view(int view, const char* title) {
  titles_[static_cast<std::size_t>(view)]->setText(title && *title ? tr_text(title) : QString());
  stack_->setCurrentIndex(view);
}

void set_sys_page::button_clicked(int n) {
  const sys_button_entry& e = sys_buttons[static_cast<std::size_t>(n)];
  if (e.view < 0) {
    open_factory_reset(window());
    return;
  }
  show_view(e.view, e.title);
  if (e.hosted_page != 0) host()->show_page(e.hosted_page, 0);
}

void set_sys_page::follow_host(int id) {
  // A hosted page shown by name brings its view along.
  for (const sys_button_entry& e : sys_buttons)
    if (e.hosted_page == id) show_view(view_hosted, e.title);
}

void set_sys_page::page_shown() {
  hide_password_dialog();
  close_factory_reset();
  env_.session.engine.device().send_config_query(system_page_query);
  for (int n = 0; n < static_cast<int>(sys_buttons.size()); ++n)
    static_cast<face_button*>(grid_.button(n))->set_text(tr_text(sys_buttons[static_cast<std::size_t>(n)].label));
  stack_->setCurrentIndex(view_grid);
  read_language();
}

void set_sys_page::open(int argument) {
  constexpr int lock_dialog_argument = 10;
  constexpr int password_dialog_argument = 11;
  if (argument >= 1 && argument <= static_cast<int>(sys_buttons.size())) {
    button_clicked(argument - 1);
  } else if (argument == lock_dialog_argument) {
    show_view(view_lock, sys_buttons[2].title);
    open_lock_dialog(true, false);
  } else if (argument == password_dialog_argument) {
    show_view(view_lock, sys_buttons[2].title);
    open_password_dialog(this);
  }
}

void set_sys_page::on_param(uint16_t id, uint16_t value, bool pushed) {
  if (current_view() == view_hosted) container_page::on_param(id, value, pushed);
}

void set_sys_page::on_name(int logical, const QString& text) {
  if (current_view() == view_hosted) container_page::on_name(logical, text);
}

void set_sys_page::choose_language(bool chinese) {
  language_toggle(chinese)->setChecked(true);
  language_toggle(!chinese)->setChecked(false);
  // The running program keeps its language; the choice applies at the next start.
  store_language(chinese ? "zh-cn" : "en", config_path);
  restart_notice_->show();
}

void set_sys_page::read_language() {
  const std::string lang = configured_language(config_path);
  language_toggle(false)->setChecked(lang == "en");
  language_toggle(true)->setChecked(lang == "zh-cn");
}

void set_sys_page::rename_device() {
  text_entry_request r;
  r.target = device_name_;
  r.flags = rename_flags;
  r.initial_text = device_name_->text();
  r.callback = [this](QWidget*, std::uint16_t, std::uint16_t, void*, const std::string& text) {
    if (!device_name_fits(text)) return;
    const auto command = device_name_command(text);
    if (!command) return;
    device_name_->setText(utf8_text(text));
    env_.session.engine.device().send_config_command(*command);
  };
  text_entry_open(r);
}

void set_sys_page::set_device_name_text(const QString& text) { device_name_->setText(text); }
void set_sys_page::set_firmware_text(const QString& text) { firmware_->setText(text); }

page* create_set_sys_page(QWidget* parent, page_env& env, int) { return new set_sys_page(parent, env); }

}  // namespace vorante
