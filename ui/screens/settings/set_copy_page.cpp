#include "ui/screens/settings/set_copy_page.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/params/names.h"
#include "app/protocol/session.h"
#include "app/settings/copy_groups.h"
#include "ui/pages/named_button.h"
#include "ui/pages/page_table.h"
#include "ui/widgets/widget_colours.h"
#include "ui/screens/settings/button_grid.h"
#include "ui/screens/settings/settings_widgets.h"
#include "ui/widgets/button.h"
#include "ui/widgets/toast.h"

namespace vorante {

namespace {

constexpr int watch_ms = 1000;
constexpr int finished_shown_ms = 1000;
constexpr rgb565 finished_green = 0x07E0;
constexpr QSize copy_button_size{128, 48};
// The column centres its sections, so they take the size of their content.
constexpr int target_width = 120;

void set_status(QLabel* label, const QString& text, rgb565 colour) {
  set_text_colour(label, to_qcolor(colour));
  label->setText(text);
}

QString channel_text(page_env& env, int kind, int index) {
  const std::string_view stored = env.session.engine.names().channel_name(logical_of(kind, index));
  return utf8_text(channel_display_name(kind, index, stored));
}

}  // namespace

set_copy_page::set_copy_page(QWidget* parent, page_env& env) : page(parent, page_set_copy), env_(env) {
  setObjectName("set_copy");
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(16, 16, 16, 16);
  column->setSpacing(16);
  column->addStretch(1);
  column->addWidget(make_section(0, kind_input, "INPUT CHANNELS"), 0, Qt::AlignHCenter);
  column->addWidget(make_section(1, kind_bus, "OUTPUT CHANNELS"), 0, Qt::AlignHCenter);
  column->addStretch(1);
  watch_.setInterval(watch_ms);
  connect(&watch_, &QTimer::timeout, this, &set_copy_page::watch_tick);
}

QWidget* set_copy_page::make_section(int n, int kind, const char* title) {
  section& s = sections_[static_cast<std::size_t>(n)];
  s.kind = kind;
  auto* box = new QWidget(this);
  auto* rows = new QVBoxLayout(box);
  rows->setContentsMargins(0, 0, 0, 0);
  s.title = make_label(box, tr_text(title), large_font_px);
  rows->addWidget(s.title);

  auto* source_row = new QHBoxLayout;
  s.source_label = make_label(box, tr_text("SOURCE"));
  s.source = new QComboBox(box);
  s.source->setObjectName(QString("copy_source_%1").arg(n));
  s.source->setMinimumSize(160, copy_button_size.height());
  auto* copy = named_button(box, QString("copy_button_%1").arg(n), tr_text("COPY"));
  copy->setFixedSize(copy_button_size);
  s.copy = copy;
  s.status = make_label(box, QString());
  s.status->setObjectName(QString("copy_status_%1").arg(n));
  source_row->addWidget(s.source_label);
  source_row->addWidget(s.source);
  source_row->addWidget(copy);
  source_row->addWidget(s.status, 1);
  rows->addLayout(source_row);

  auto* target_row = new QHBoxLayout;
  s.target_label = make_label(box, tr_text("TARGET"));
  target_row->addWidget(s.target_label, 0, Qt::AlignTop);
  s.grid = new button_grid(box, 4, [](int width) { return width / 2; });
  int fitted = 0;
  for (int i = 0; i < copy_slots(kind); ++i) {
    flat_toggle* b = s.grid->add_button();
    b->setObjectName(QString("copy_target_%1_%2").arg(n).arg(i));
    b->setFixedWidth(target_width);
    if (!channel_fitted(kind, i))
      b->hide();
    else
      ++fitted;
    connect(b, &QAbstractButton::toggled, this, [this, n, i](bool on) { target_toggled(n, i, on); });
  }
  // Inputs in 4 rows, buses in 2.
  s.grid->arrange(kind == kind_input ? (fitted + 3) / 4 : (fitted + 1) / 2);
  target_row->addWidget(s.grid);
  rows->addLayout(target_row);
  connect(copy, &QAbstractButton::clicked, this, [this, n] { copy_clicked(n); });
  return box;
}

QAbstractButton* set_copy_page::target(int section, int index) const {
  const auto& list = sections_[static_cast<std::size_t>(section)].grid->buttons();
  return index >= 0 && index < static_cast<int>(list.size()) ? list[static_cast<std::size_t>(index)] : nullptr;
}

void set_copy_page::target_toggled(int n, int index, bool on) {
  const section& s = sections_[static_cast<std::size_t>(n)];
  const auto partner = copy_partner(env_.session.store, s.kind, index);
  if (!partner) return;
  QAbstractButton* other = target(n, *partner);
  if (other && other->isChecked() != on) other->setChecked(on);
}

void set_copy_page::copy_clicked(int n) {
  const section& s = sections_[static_cast<std::size_t>(n)];
  const std::vector<int> sources = copy_sources(s.kind);
  const int position = s.source->currentIndex();
  if (position < 0 || position >= static_cast<int>(sources.size())) return;
  std::array<bool, copy_input_slots> checked{};
  for (int i = 0; i < copy_slots(s.kind); ++i) checked[static_cast<std::size_t>(i)] = target(n, i)->isChecked();
  if (!start_copy(env_.session.store, s.kind, sources[static_cast<std::size_t>(position)],
                  std::span<const bool>(checked.data(), static_cast<std::size_t>(copy_slots(s.kind)))))
    return;
  set_status(s.status, tr_text("COPYING..."), theme::white);
  copying_section_ = n;
  if (!watch_.isActive()) watch_.start();
}

void set_copy_page::watch_tick() {
  if (env_.session.store.copy_busy()) return;
  watch_.stop();
  if (copying_section_ >= 0) {
    QLabel* label = sections_[static_cast<std::size_t>(copying_section_)].status;
    set_status(label, tr_text("COPY FINISHED!"), finished_green);
  }
  copying_section_ = -1;
  call_later(finished_shown_ms, this, [this] {
    for (const section& s : sections_) s.status->clear();
  });
}

void set_copy_page::relabel() {
  for (int n = 0; n < 2; ++n) {
    section& s = sections_[static_cast<std::size_t>(n)];
    const int keep = s.source->currentIndex();
    s.source->clear();
    for (const int i : copy_sources(s.kind)) s.source->addItem(channel_text(env_, s.kind, i));
    s.source->setCurrentIndex(keep >= 0 && keep < s.source->count() ? keep : 0);
    for (int i = 0; i < copy_slots(s.kind); ++i)
      static_cast<flat_toggle*>(target(n, i))->set_text(channel_text(env_, s.kind, i));
  }
}

void set_copy_page::page_shown() {
  env_.session.store.request(scene_change_marker_id);
  for (section& s : sections_) {
    s.source_label->setText(tr_text("SOURCE"));
    s.target_label->setText(tr_text("TARGET"));
    static_cast<button*>(s.copy)->set_text(tr_text("COPY"));
  }
  sections_[0].title->setText(tr_text("INPUT CHANNELS"));
  sections_[1].title->setText(tr_text("OUTPUT CHANNELS"));
  relabel();
}

page* create_set_copy_page(QWidget* parent, page_env& env, int) { return new set_copy_page(parent, env); }

}  // namespace vorante
