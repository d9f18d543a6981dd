#include "ui/screens/mixer/brief_cont.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include "app/core/translate.h"
#include "ui/foundation/res_images.h"
#include "ui/foundation/resource_volume.h"
#include "ui/pages/named_button.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_registry.h"
#include "ui/widgets/button.h"

namespace vorante {

namespace {

constexpr int nav_bar_height = 48;
constexpr rgb565 link_box_background = 0x1106;
constexpr rgb565 link_online_colour = 0x57EF;
constexpr rgb565 link_offline_colour = 0xF800;
constexpr int nav_tab_count = bank_count + 3;

constexpr int tab_width = 112;
constexpr int tab_height = 40;
constexpr int tab_gap = 6;
constexpr int link_box_padding = 8;
constexpr int link_box_radius = 4;

// The status box: the link icon on a dark rounded box; a click reconnects.
class link_box_widget : public QWidget {
 public:
  explicit link_box_widget(QWidget* parent) : QWidget(parent) {
    setObjectName("link_box");
    setCursor(Qt::PointingHandCursor);
  }
  std::function<void()> clicked;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(to_qcolor(link_box_background));
    p.drawRoundedRect(rect(), link_box_radius, link_box_radius);
  }
  void mousePressEvent(QMouseEvent* e) override { e->accept(); }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (rect().contains(e->position().toPoint()) && clicked) clicked();
  }
};

QString tab_text(int n) {
  if (n < bank_count) {
    const std::string_view name = fader_banks[n].name;
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
  }
  const char* english = n == tab_fader ? "FADER" : n == tab_media ? "MEDIA" : "SYSTEM";
  return QString::fromUtf8(translate_text(english));
}

}  // namespace

QImage link_state_icon(bool online) {
  return image_file_load_recoloured(res_path(online ? link_online_icon : link_offline_icon),
                                    to_qcolor(online ? link_online_colour : link_offline_colour));
}

brief_cont_page::brief_cont_page(QWidget* parent, page_env& env)
    : container_page(parent, page_brief_cont, env), env_(env), link_box_(nullptr), link_icon_(nullptr) {
  setObjectName("brief_cont");
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  auto* bar = new QWidget(this);
  bar->setObjectName("nav_bar");
  bar->setFixedHeight(nav_bar_height);
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(tab_gap);

  tabs_.setExclusive(true);
  for (int n = 0; n < nav_tab_count; ++n) {
    auto* b = named_button(bar, QString("nav_tab_%1").arg(n), tab_text(n));
    b->setCheckable(true);
    b->setFixedSize(tab_width, tab_height);
    tabs_.addButton(b, n);
    row->addWidget(b, 0, Qt::AlignVCenter);
  }
  // Only a click acts; highlighting from open() must not.
  connect(&tabs_, &QButtonGroup::idClicked, this, [this](int n) { tab_clicked(n); });

  row->addStretch(1);
  auto* logo = new QLabel(bar);
  logo->setObjectName("nav_logo");
  logo->setPixmap(QPixmap::fromImage(builtin_logo()));
  row->addWidget(logo, 0, Qt::AlignVCenter);

  auto* box = new link_box_widget(bar);
  auto* box_row = new QHBoxLayout(box);
  box_row->setContentsMargins(link_box_padding, 0, link_box_padding, 0);
  link_icon_ = new QLabel(box);
  link_icon_->setObjectName("link_icon");
  box_row->addWidget(link_icon_, 0, Qt::AlignCenter);
  box->setFixedHeight(tab_height);
  box->clicked = [this] {
    env_.nav.go_to_strips(0);
    env_.nav.open_connect_dialog();
  };
  link_box_ = box;
  row->addWidget(box, 0, Qt::AlignVCenter);

  column->addWidget(bar);
  column->addWidget(host(), 1);

  show_link_state(env.nav.link_online());
  connect(&env.nav, &navigator::link_state_shown, this, [this](bool online) { show_link_state(online); });

  host()->show_page(page_brief_channel, 0);
}

QAbstractButton* brief_cont_page::tab(int n) const { return tabs_.button(n); }

void brief_cont_page::tab_clicked(int n) {
  if (n < bank_count) {
    env_.nav.select_bank(n);
    return;
  }
  const int target = n == tab_fader ? page_brief_fader : n == tab_media ? page_player : page_setting;
  host()->show_page(target, 0);
}

void brief_cont_page::open(int argument) {
  int n = -1;
  switch (argument) {
    case 5: n = tab_fader; break;
    case 6: n = tab_media; break;
    case 7: n = tab_system; break;
    default: n = env_.nav.current_bank(); break;
  }
  if (n < 0 || n >= nav_tab_count) return;
  tabs_.button(n)->setChecked(true);
}

void brief_cont_page::show_link_state(bool online) {
  link_online_ = online;
  link_icon_->setPixmap(QPixmap::fromImage(link_state_icon(online)));
}

page* create_brief_cont(QWidget* parent, page_env& env, int id) {
  (void)id;
  return new brief_cont_page(parent, env);
}

}  // namespace vorante
