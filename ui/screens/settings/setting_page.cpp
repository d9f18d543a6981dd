#include "ui/screens/settings/setting_page.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include "app/core/translate.h"
#include "app/protocol/session.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_registry.h"
#include "ui/screens/settings/settings_widgets.h"
#include "ui/widgets/widget_fonts.h"

namespace vorante {

namespace {

constexpr rgb565 page_background = 0x2125;
constexpr rgb565 row_checked = 0x032F;
constexpr int menu_width = 220;
constexpr int header_height = 56;
constexpr int row_height = 64;
constexpr int title_bar_min_height = 48;

// A menu row: transparent, opaque blue while chosen, with its label centred.
class menu_row : public QAbstractButton {
 public:
  explicit menu_row(QWidget* parent) : QAbstractButton(parent) {
    setCheckable(true);
    setFixedHeight(row_height);
    setFont(ui_font(20));
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    if (isChecked()) p.fillRect(rect(), to_qcolor(row_checked));
    p.setPen(Qt::white);
    p.drawText(rect().adjusted(12, 0, -8, 0), Qt::AlignCenter, text());
  }
};

// "工厂模式" is shown as it is in every language.
QString menu_text(const char* english) {
  const std::string_view s(english);
  if (s.empty()) return {};
  if (s == settings_menu[factory_menu_row].label) return QString::fromUtf8(english);
  return tr_text(english);
}

}  // namespace

setting_page::setting_page(QWidget* parent, page_env& env) : container_page(parent, page_setting, env), env_(env) {
  setObjectName("setting");
  auto* outer = new QHBoxLayout(this);
  outer->setContentsMargins(4, 4, 4, 4);
  outer->setSpacing(0);

  auto* menu = new QWidget(this);
  menu->setFixedWidth(menu_width);
  auto* column = new QVBoxLayout(menu);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  header_ = make_label(menu, tr_text("Setting"), large_font_px);
  header_->setFixedHeight(header_height);
  header_->setContentsMargins(12, 0, 0, 0);
  column->addWidget(header_);
  column->addWidget(make_separator(menu, false));
  for (int n = 0; n < static_cast<int>(settings_menu.size()); ++n) {
    auto* r = new menu_row(menu);
    r->setObjectName(QString("menu_row_%1").arg(n));
    r->setText(menu_text(settings_menu[static_cast<std::size_t>(n)].label));
    rows_.addButton(r, n);
    column->addWidget(r);
    separators_[static_cast<std::size_t>(n)] = make_separator(menu, false);
    column->addWidget(separators_[static_cast<std::size_t>(n)]);
  }
  column->addStretch(1);
  rows_.setExclusive(true);
  connect(&rows_, &QButtonGroup::idClicked, this, &setting_page::select);
  outer->addWidget(menu);
  outer->addWidget(make_separator(this, true));

  auto* content = new QWidget(this);
  auto* right = new QVBoxLayout(content);
  right->setContentsMargins(4, 0, 0, 0);
  right->setSpacing(0);
  title_bar_ = new QWidget(content);
  title_bar_->setObjectName("setting_title_bar");
  title_bar_->setMinimumHeight(title_bar_min_height);
  auto* bar = new QHBoxLayout(title_bar_);
  title_ = make_label(title_bar_, {}, large_font_px);
  title_->setObjectName("setting_title");
  title_->setAlignment(Qt::AlignCenter);
  bar->addWidget(title_);
  right->addWidget(title_bar_);
  right->addWidget(host(), 1);
  outer->addWidget(content, 1);

  row(factory_menu_row)->setVisible(false);
  separators_[factory_menu_row]->setVisible(false);
  // A page shown by name (not through the menu) still gets its row chosen.
  connect(host(), &page_host::current_changed, this, &setting_page::follow_host);
}

QAbstractButton* setting_page::row(int n) const { return rows_.button(n); }

void setting_page::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), to_qcolor(page_background));
}

void setting_page::select(int n) {
  title_->setText(menu_text(settings_menu[static_cast<std::size_t>(n)].title));
  title_bar_->setVisible(!title_->text().isEmpty());
  show_row(n);
}

void setting_page::show_row(int n) {
  const std::optional<int> id = env_.nav.registry().id_of(settings_menu[static_cast<std::size_t>(n)].page);
  // A page not made yet simply leaves the host as it is.
  if (id) host()->show_page(*id, 0);
}

void setting_page::follow_host(int id) {
  for (int n = 0; n < static_cast<int>(settings_menu.size()); ++n) {
    const std::optional<int> row_id = env_.nav.registry().id_of(settings_menu[static_cast<std::size_t>(n)].page);
    if (row_id && *row_id == id && rows_.checkedId() != n) {
      row(n)->setChecked(true);
      title_->setText(menu_text(settings_menu[static_cast<std::size_t>(n)].title));
      title_bar_->setVisible(!title_->text().isEmpty());
    }
  }
}

void setting_page::page_shown() {
  if (page* p = host()->current()) p->page_shown();
  header_->setText(tr_text("Setting"));
  for (int n = 0; n < static_cast<int>(settings_menu.size()); ++n)
    row(n)->setText(menu_text(settings_menu[static_cast<std::size_t>(n)].label));
  int n = rows_.checkedId();
  if (n < 0) n = 0;
  row(n)->setChecked(true);
  title_->setText(menu_text(settings_menu[static_cast<std::size_t>(n)].title));
  show_row(n);
  title_bar_->setVisible(!title_->text().isEmpty());
  if (env_.session.options.factory_mode) {
    row(factory_menu_row)->setVisible(true);
    separators_[factory_menu_row]->setVisible(true);
  }
}

void setting_page::page_hidden() {
  if (page* p = host()->current()) p->page_hidden();
}

void setting_page::open(int argument) {
  if (page* p = host()->current()) p->open(argument);
}

page* create_setting_page(QWidget* parent, page_env& env, int) { return new setting_page(parent, env); }

}  // namespace vorante
