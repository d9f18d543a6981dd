// The recorder routing view: which channels the 16 recorder inputs take, and which channels
// the recorder outputs play into.
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "app/params/store.h"
#include "app/protocol/session.h"
#include "app/settings/routing_rules.h"
#include "ui/pages/page_table.h"
#include "ui/screens/settings/routing_pages.h"
#include "ui/screens/settings/settings_widgets.h"
#include "ui/widgets/button.h"
#include "ui/widgets/routing_matrix.h"
#include "ui/widgets/toast.h"
#include "ui/widgets/toggle_button.h"
#include "ui/widgets/widget_fonts.h"

namespace vorante {

namespace {

constexpr int refresh_delay_ms = 50;
constexpr int tab_height = 48;
constexpr int side_width = 120;
constexpr int side_button_height = 64;
constexpr rgb565 rec_out_marker = 0x07E0;
constexpr int rec_in = 0;
constexpr int rec_out = 1;

constexpr std::array<const char*, 2> tab_names{"REC IN", "REC OUT"};
constexpr std::array<const char*, 2> panel_titles{"CHANNEL TO REC IN", "REC OUT TO CHANNEL"};

uint16_t base_id(int n) { return n == rec_in ? rec_in_base_id : rec_out_base_id; }

// A push button without a frame.
class plain_button : public button {
 public:
  using button::button;
  face_look look(bool highlighted) const override {
    face_look lk = button::look(highlighted);
    lk.border_alpha = 0;
    return lk;
  }
};

}  // namespace

record_page::record_page(QWidget* parent, page_env& env)
    : page(parent, page_set_record), env_(env), fitted_(fitted_record_inputs()) {
  setObjectName("set_record");
  auto* column = settings_column(this, 4, 16);
  auto* tab_row = new QHBoxLayout;
  tab_row->setSpacing(0);
  tab_row->addStretch(1);
  for (int n = 0; n < 2; ++n) {
    auto* t = new toggle_button(this);
    t->set_text(tr_text(tab_names[static_cast<std::size_t>(n)]));
    t->setFixedHeight(tab_height);
    t->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    tab_row->addWidget(t, 4);
    connect(t, &QAbstractButton::clicked, this, [this, n] { select_tab(n); });
    tabs_[static_cast<std::size_t>(n)] = t;
  }
  tab_row->addStretch(1);
  column->addLayout(tab_row);

  panels_ = new QStackedWidget(this);
  for (int n = 0; n < 2; ++n) panels_->addWidget(make_panel(n));
  column->addWidget(panels_, 1);
  select_tab(rec_in);

  display_timer_.setSingleShot(true);
  display_timer_.setInterval(refresh_delay_ms);
  connect(&display_timer_, &QTimer::timeout, this, &record_page::show_routing);
}

QWidget* record_page::make_panel(int n) {
  auto* panel = new QWidget(panels_);
  auto* grid = new QGridLayout(panel);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(8);
  QLabel* title = make_label(panel, tr_text(panel_titles[static_cast<std::size_t>(n)]), small_title_px);
  title->setAlignment(Qt::AlignCenter);
  grid->addWidget(title, 0, 0, 1, 2);

  auto* m = new routing_matrix(panel);
  const int inputs = static_cast<int>(fitted_.size());
  m->set_size(rec_track_count, n == rec_in ? inputs + 2 : inputs);
  for (int c = 0; c < inputs; ++c) m->set_column_label(c, QString::number(fitted_[static_cast<std::size_t>(c)] + 1));
  if (n == rec_in) {
    m->set_column_label(inputs, "L");
    m->set_column_label(inputs + 1, "R");
  } else {
    m->set_marker_colour(rec_out_marker);
  }
  m->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  grid->addWidget(m, 1, 0);
  matrices_[static_cast<std::size_t>(n)] = m;

  auto* side = new QWidget(panel);
  side->setFixedWidth(side_width);
  auto* sc = new QVBoxLayout(side);
  sc->setContentsMargins(0, 0, 0, 0);
  sc->setSpacing(16);
  sc->addStretch(1);
  for (int k = 0; k < 2; ++k) {
    auto* b = new plain_button(side);
    b->set_text(tr_text(k == 0 ? "APPLY" : "RECOVER"));
    b->setFixedHeight(side_button_height);
    sc->addWidget(b);
    (k == 0 ? apply_ : recover_)[static_cast<std::size_t>(n)] = b;
  }
  sc->addStretch(1);
  grid->addWidget(side, 1, 1);
  grid->setColumnStretch(0, 1);
  grid->setRowStretch(1, 1);

  connect(apply_[static_cast<std::size_t>(n)], &QAbstractButton::clicked, this, [this, n] { apply(n); });
  connect(recover_[static_cast<std::size_t>(n)], &QAbstractButton::clicked, this, [this, n] {
    matrices_[static_cast<std::size_t>(n)]->route(-1, -1);
    apply(n);
  });
  return panel;
}

void record_page::select_tab(int n) {
  for (int k = 0; k < 2; ++k) tabs_[static_cast<std::size_t>(k)]->setChecked(k == n);
  panels_->setCurrentIndex(n);
}

void record_page::apply(int n) {
  const auto values = record_values(matrices_[static_cast<std::size_t>(n)]->grid(), fitted_);
  if (!values) {
    show_toast(tr_text("ERROR! Channel multiplexing not supported."), theme::failure, notice_ms, true);
    return;
  }
  for (int t = 0; t < rec_track_count; ++t)
    env_.session.store.linked_set(base_id(n) + static_cast<unsigned>(t), (*values)[static_cast<std::size_t>(t)]);
  show_toast(tr_text("Recording settings are active!"), theme::success, notice_ms, false);
}

void record_page::page_shown() { show_routing(); }

void record_page::open(int argument) {
  param_store& store = env_.session.store;
  for (int n = 0; n < rec_aux_count; ++n) store.refresh(rec_aux_base_id + static_cast<unsigned>(n));
  for (int n = 0; n < 2 * rec_track_count; ++n) store.refresh(rec_in_base_id + static_cast<unsigned>(n));
  if (argument == 1) select_tab(rec_out);
}

void record_page::on_param(uint16_t id, uint16_t, bool) {
  const bool rec = id >= rec_in_base_id && id < rec_in_base_id + 2 * rec_track_count;
  const bool aux = id >= rec_aux_base_id && id < rec_aux_base_id + rec_aux_count;
  if (rec || aux) display_timer_.start();
}

void record_page::show_routing() {
  // A track without a value keeps the marker it shows.
  for (int n = 0; n < 2; ++n) {
    routing_matrix* m = matrices_[static_cast<std::size_t>(n)];
    for (int t = 0; t < rec_track_count; ++t) {
      const int c = record_column(env_.session.store.get(base_id(n) + static_cast<unsigned>(t)), m->columns(), fitted_);
      if (c >= 0) m->route(t, c);
    }
  }
}

}  // namespace vorante
