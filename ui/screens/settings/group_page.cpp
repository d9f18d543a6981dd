#include "ui/screens/settings/group_page.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>

#include "app/params/channel_state.h"
#include "app/params/names.h"
#include "app/protocol/session.h"
#include "app/settings/copy_groups.h"
#include "ui/pages/named_button.h"
#include "ui/pages/page_table.h"
#include "ui/screens/settings/button_grid.h"
#include "ui/screens/settings/settings_widgets.h"
#include "ui/widgets/button.h"

namespace vorante {

namespace {

constexpr int refresh_ms = 50;
constexpr int max_channel_height = 72;
constexpr QSize bulk_size{200, 64};
constexpr int switch_red_type = 1;
constexpr int min_block_height = 96;
constexpr int block_height_percent = 18;


}  // namespace

group_page::group_page(QWidget* parent, page_env& env, int id, int group_kind)
    : page(parent, id), env_(env), group_kind_(group_kind) {
  const bool mute = group_kind == kind_mute_group;
  setObjectName(mute ? "set_mute_group" : "set_phantom_group");
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(32, 4, 32, 4);
  column->setSpacing(12);

  // Selectors over switches, sharing the width.
  auto* block = new QWidget(this);
  block_ = block;
  block->setFixedHeight(min_block_height);
  auto* rows = new QGridLayout(block);
  rows->setContentsMargins(0, 0, 0, 0);
  for (int g = 0; g < 4; ++g) {
    auto* sel = named_button<toggle_button>(block, QString("group_selector_%1").arg(g), QString::number(g + 1));
    sel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    selectors_.addButton(sel, g);
    rows->addWidget(sel, 0, g);
    auto* sw = new flat_toggle(block, group_button_colour, false);
    sw->setObjectName(QString("group_switch_%1").arg(g));
    sw->set_type(switch_red_type);
    sw->set_text(tr_text(mute ? "MUTE" : "ON"));
    sw->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    switches_[static_cast<std::size_t>(g)] = sw;
    rows->addWidget(sw, 1, g);
    connect(sw, &QAbstractButton::clicked, this, [this, g](bool checked) {
      const int code = group_kind_ == kind_mute_group ? code_mute_active : code_phantom_active;
      env_.session.store.linked_set(param_id(group_kind_, g, code), checked ? 1 : 0);
    });
  }
  selectors_.setExclusive(true);
  connect(&selectors_, &QButtonGroup::idClicked, this, &group_page::select);
  auto* block_row = new QHBoxLayout;
  block_row->addStretch(15);
  block_row->addWidget(block, 70);
  block_row->addStretch(15);
  column->addLayout(block_row);

  const int columns = group_grid_columns(group_kind, static_cast<int>(copy_sources(kind_input).size()));
  for (int n = 0; n < group_grid_count(group_kind); ++n) {
    auto* grid = new button_grid(this, 4, [](int width) { return std::min(width * 8 / 10, max_channel_height); });
    grid->setObjectName(QString("group_grid_%1").arg(n));
    for (const group_channel& c : group_grid(group_kind, n)) {
      flat_toggle* b = grid->add_button();
      b->setObjectName(QString("group_channel_%1_%2").arg(c.kind).arg(c.index));
      b->set_type(c.button_type);
      b->setMinimumHeight(52);
      if (!channel_fitted(c.kind, c.index)) b->hide();
      channels_.push_back({c.kind, c.index, b});
      connect(b, &QAbstractButton::clicked, this, [this, c](bool checked) {
        set_group_member(env_.session.store, group_kind_, group_, c.kind, c.index, checked);
      });
    }
    grid->arrange(columns);
    grids_.push_back(grid);
    column->addWidget(grid);
  }

  auto* bulk_row = new QHBoxLayout;
  bulk_row->setSpacing(64);
  bulk_row->addStretch(1);
  for (const bool on : {true, false}) {
    auto* b = new button(this);
    b->setObjectName(on ? "group_all_on" : "group_all_off");
    b->setFixedSize(bulk_size);
    b->set_colour(group_button_colour);
    b->set_text(tr_text(mute ? (on ? "ALL MUTED" : "UNMUTE") : (on ? "ALL ON" : "ALL OFF")));
    (on ? all_on_ : all_off_) = b;
    connect(b, &QAbstractButton::clicked, this, [this, on] { bulk(on); });
    bulk_row->addWidget(b);
  }
  bulk_row->addStretch(1);
  column->addLayout(bulk_row);
  column->addStretch(1);

  refresh_timer_.setSingleShot(true);
  refresh_timer_.setInterval(refresh_ms);
  connect(&refresh_timer_, &QTimer::timeout, this, &group_page::refresh);
  refresh();
}

void group_page::resizeEvent(QResizeEvent* event) {
  page::resizeEvent(event);
  block_->setFixedHeight(std::max(min_block_height, height() * block_height_percent / 100));
}

QAbstractButton* group_page::selector(int g) const { return selectors_.button(g); }

QAbstractButton* group_page::channel_button(int kind, int index) const {
  for (const channel& c : channels_)
    if (c.kind == kind && c.index == index) return c.button;
  return nullptr;
}

void group_page::select(int g) {
  group_ = g;
  for (const channel& c : channels_)
    c.button->setChecked(is_member(env_.session.store, group_kind_, g, logical_of(c.kind, c.index)));
}

void group_page::bulk(bool on) {
  set_all_group_members(env_.session.store, group_kind_, group_, on);
  for (const channel& c : channels_)
    if (!c.button->isHidden()) c.button->setChecked(on);
}

void group_page::refresh() {
  if (QAbstractButton* sel = selectors_.button(group_)) {
    sel->setChecked(true);
  } else if (QAbstractButton* current = selectors_.checkedButton()) {
    selectors_.setExclusive(false);
    current->setChecked(false);
    selectors_.setExclusive(true);
  }
  const int code = group_kind_ == kind_mute_group ? code_mute_active : code_phantom_active;
  for (int g = 0; g < 4; ++g)
    switches_[static_cast<std::size_t>(g)]->setChecked(env_.session.store.get(param_id(group_kind_, g, code)) != 0);
  select(group_);
}

void group_page::page_shown() {
  for (const channel& c : channels_) {
    const std::string_view stored = env_.session.engine.names().channel_name(logical_of(c.kind, c.index));
    c.button->set_text(utf8_text(channel_display_name(c.kind, c.index, stored)));
  }
  refresh();
}

void group_page::on_param(uint16_t id, uint16_t, bool) {
  if (param_kind(id) == group_kind_) refresh_timer_.start();
}

page* create_group_page(QWidget* parent, page_env& env, int id) {
  return new group_page(parent, env, id, id == page_set_mute_group ? kind_mute_group : kind_phantom_group);
}

}  // namespace vorante
