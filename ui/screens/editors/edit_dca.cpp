#include "ui/screens/editors/edit_dca.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "app/core/translate.h"
#include "app/params/channel_state.h"
#include "app/params/convert.h"
#include "app/params/editor_nav.h"
#include "app/params/names.h"
#include "app/protocol/session.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_table.h"
#include "ui/screens/mixer/rename.h"
#include "ui/screens/mixer/strips_page_dca.h"
#include "ui/widgets/box_panel.h"
#include "ui/screens/editors/editor_parts.h"
#include "ui/widgets/button.h"
#include "ui/widgets/fader.h"
#include "ui/widgets/fader_strip.h"
#include "ui/widgets/long_press.h"
#include "ui/widgets/ui_text.h"

namespace vorante {

namespace {

constexpr int channel_gap = 16;
constexpr int strip_gap = 4;
constexpr int selector_padding = 4;
constexpr int selector_border_alpha = 102;  // 40 %
constexpr int selector_radius = 4;
constexpr int last_colour_id = 3173;
constexpr int last_member_code = 224;
// The FADER view's strips take the middle 80 % of the width: 1 part of room, 8 of strips, 1.
constexpr int strip_side_stretch = 1;
constexpr int strip_area_stretch = 8;

unsigned dca_id(int dca, int code) { return param_id(kind_dca, dca, code); }

constexpr const char* dca_parts[] = {"PARAM", "FADER"};

}  // namespace

edit_dca_page::edit_dca_page(QWidget* parent, page_env& env) : page(parent, page_edit_dca), env_(env) {
  setObjectName("edit_dca");
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(edit_dca_padding, edit_dca_padding, edit_dca_padding, edit_dca_padding);
  column->setSpacing(edit_dca_gap);
  auto* title_row = new QHBoxLayout;
  auto* title = new QLabel(tr_text("DCA GROUP"), this);
  title->setObjectName("dca_title");
  title->setStyleSheet("color: white;");
  title_row->addWidget(title);
  title_row->addStretch(1);
  title_row->addWidget(build_selector());
  column->addLayout(title_row);

  stack_ = new QStackedWidget(this);
  stack_->addWidget(build_param_view());
  stack_->addWidget(build_fader_view());
  column->addWidget(stack_, 1);

  refresh_timer_.setSingleShot(true);
  refresh_timer_.setInterval(edit_dca_timer_ms);
  connect(&refresh_timer_, &QTimer::timeout, this, &edit_dca_page::refresh);
}

QWidget* edit_dca_page::build_selector() {
  selector_ = new box_panel({0, 0, false, 0xFFFF, selector_border_alpha, 1, selector_radius}, this);
  selector_->setObjectName("dca_view_selector");
  auto* row = new QHBoxLayout(selector_);
  row->setContentsMargins(selector_padding, selector_padding, selector_padding, selector_padding);
  row->setSpacing(selector_padding);
  const char* texts[] = {"PARAM", "FADER"};
  for (int v = 0; v < 2; ++v) {
    auto* b = new button(selector_);
    b->setObjectName(QString("dca_view_%1").arg(v));
    b->set_text(tr_text(texts[v]));
    b->setCheckable(true);
    b->setMinimumWidth(edit_dca_button_width);
    b->setMinimumHeight(edit_dca_button_height - 2 * selector_padding);
    row->addWidget(b);
    views_[static_cast<std::size_t>(v)] = b;
    connect(b, &QAbstractButton::clicked, this, [this, v] { show_view(v); });
  }
  views_[dca_view_param]->setChecked(true);
  return selector_;
}

button* edit_dca_page::add_channel_button(QWidget* parent, int kind, int index) {
  auto* b = new button(parent);
  b->setObjectName(QString("dca_member_%1_%2").arg(kind).arg(index));
  b->setCheckable(true);
  b->setFixedHeight(edit_dca_button_height);
  b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  b->set_text(QString::fromStdString(default_channel_name(kind, index)));
  channels_.push_back({{kind, index}, b});
  connect(b, &QAbstractButton::clicked, this, [this, kind, index](bool checked) { set_member(kind, index, checked); });
  return b;
}

QWidget* edit_dca_page::build_param_view() {
  auto* view = new QWidget(this);
  QVBoxLayout* column = editor_parts::column_of(view, channel_gap);

  auto* grid = new QGridLayout;
  grid->setSpacing(edit_dca_gap);
  dca_group_.setExclusive(true);
  for (int d = 0; d < dca_count; ++d) {
    auto* sel = new button(view);
    sel->setObjectName(QString("dca_select_%1").arg(d));
    sel->setCheckable(true);
    sel->setFixedSize(edit_dca_button_width, edit_dca_button_height);
    sel->set_textf("DCA%d", d + 1);
    dca_group_.addButton(sel, d);
    connect(new long_press(sel), &long_press::long_pressed, this, [this, d] { rename(d); });
    auto* on = new button(view);
    on->setObjectName(QString("dca_on_%1").arg(d));
    on->setCheckable(true);
    on->set_type(button_type::green);
    on->setFixedSize(edit_dca_button_width, edit_dca_button_height);
    on->set_text(tr_text("OFF"));
    connect(on, &QAbstractButton::clicked, this, [this, d] { toggle_on(d); });
    grid->addWidget(sel, 0, d);
    grid->addWidget(on, 1, d);
    dcas_[static_cast<std::size_t>(d)] = sel;
    ons_[static_cast<std::size_t>(d)] = on;
  }
  connect(&dca_group_, &QButtonGroup::idClicked, this, &edit_dca_page::select_dca);
  auto* grid_row = new QHBoxLayout;
  grid_row->addLayout(grid);
  grid_row->addStretch(1);
  column->addLayout(grid_row);

  auto add_row = [&](auto fill) {
    auto* row = new QHBoxLayout;
    row->setSpacing(channel_gap);
    fill(row);
    column->addLayout(row);
  };
  for (int half = 0; half < 2; ++half)
    add_row([&](QHBoxLayout* row) {
      for (int i = 8 * half; i < 8 * half + 8; ++i) row->addWidget(add_channel_button(view, kind_input, i), 1);
    });
  add_row([&](QHBoxLayout* row) {
    for (int i : {16, 18, 24}) row->addWidget(add_channel_button(view, kind_input, i), 1);
    for (int f = 0; f < fx_count; ++f) row->addWidget(add_channel_button(view, kind_fx, f), 1);
  });
  add_row([&](QHBoxLayout* row) {
    for (int a = 0; a < aux_send_count; ++a) row->addWidget(add_channel_button(view, kind_bus, a), 1);
  });
  column->addStretch(1);

  clear_ = new button(view);
  clear_->setObjectName("dca_clear");
  clear_->setFixedSize(edit_dca_clear_width, edit_dca_button_height);
  clear_->set_text(tr_text("CLEAR"));
  connect(clear_, &QAbstractButton::clicked, this, &edit_dca_page::clear);
  add_row([&](QHBoxLayout* row) {
    row->addStretch(1);
    row->addWidget(clear_);
  });
  return view;
}

QWidget* edit_dca_page::build_fader_view() {
  auto* view = new QWidget(this);
  QHBoxLayout* outer = editor_parts::row_of(view, 0);
  auto* area = new QWidget(view);
  QHBoxLayout* row = editor_parts::row_of(area, strip_gap);
  for (int d = 0; d < dca_count; ++d) {
    auto* s = new fader_strip(area);
    s->setObjectName(QString("dca_fader_%1").arg(d));
    make_dca_strip(s, d);
    row->addWidget(s, 1);
    strips_[static_cast<std::size_t>(d)] = s;
    connect(s, &fader_strip::fader_moved, this, [this, d](double db) { fader_moved(d, db); });
    connect(s, &fader_strip::off_clicked, this, [this, d] { toggle_on(d); });
  }
  outer->addStretch(strip_side_stretch);
  outer->addWidget(area, strip_area_stretch);
  outer->addStretch(strip_side_stretch);
  return view;
}

// ---- page operations ----

void edit_dca_page::page_shown() {
  show_dca_names();
  const name_tables& names = env_.session.engine.names();
  for (const channel_button_entry& e : channels_) {
    const int logical = logical_of(e.channel.kind, e.channel.index);
    e.b->set_text(QString::fromStdString(
        channel_display_name(e.channel.kind, e.channel.index, names.channel_name(logical))));
    e.b->setVisible(logical_fitted(logical));
  }
}

void edit_dca_page::open(int dca) {
  dca_ = dca >= 0 && dca < dca_count ? dca : 0;
  show_dca_names();
  refresh();
  const param_store& store = env_.session.store;
  for (int d = 0; d < dca_count; ++d)
    for (int code = first_dca_code; code <= last_dca_code; ++code) on_param(static_cast<uint16_t>(dca_id(d, code)), store.get(dca_id(d, code)), false);
}

void edit_dca_page::on_param(uint16_t id, uint16_t value, bool pushed) {
  (void)pushed;
  const param_info p = info_of(id);
  if (p.kind == kind_dca && id != no_param_id) {
    if (id == dca_id(p.index, code_fader)) {
      fader_strip* s = strips_[static_cast<std::size_t>(p.index)];
      if (!s->fader()->dragging()) s->set_level(to_physical(value_type::fader_level, value));
    } else if (!refresh_timer_.isActive()) {
      refresh_timer_.start();
    }
  } else if (id >= colour_base_id && id <= last_colour_id && !refresh_timer_.isActive()) {
    refresh_timer_.start();
  }
}

void edit_dca_page::on_name(int logical, const QString& text) {
  const auto c = channel_of(logical);
  if (!c) return;
  if (c->kind == kind_dca) {
    show_dca_name(c->index, text);
    return;
  }
  for (const channel_button_entry& e : channels_)
    if (e.channel == *c) e.b->set_text(channel_label_text(c->kind, c->index, text));
}

// ---- the user's actions ----

void edit_dca_page::select_dca(int dca) {
  env_.nav.open_editor(kind_dca, dca);
  env_.nav.refresh_lights();
}

void edit_dca_page::toggle_on(int dca) {
  param_store& store = env_.session.store;
  const unsigned id = dca_id(dca, code_dca_switch);
  store.linked_set(id, store.get(id) == 0 ? 1 : 0);
  refresh();
}

void edit_dca_page::set_member(int kind, int index, bool on) {
  param_store& store = env_.session.store;
  write_membership(store, kind_dca, dca_, logical_of(kind, index), on);
  // The fixed pairs have one button for both members.
  if (is_fixed_stereo_left(kind, index)) write_membership(store, kind_dca, dca_, logical_of(kind, index + 1), on);
}

void edit_dca_page::clear() {
  param_store& store = env_.session.store;
  for (int code = code_dca_members; code <= last_member_code; ++code) store.linked_set(dca_id(dca_, code), 0);
  refresh();
}

std::span<const char* const> edit_dca_page::part_names() const { return dca_parts; }

bool edit_dca_page::show_part(int part) {
  if (part != dca_view_param && part != dca_view_fader) return false;
  show_view(part);
  return true;
}

void edit_dca_page::show_view(int view) {
  stack_->setCurrentIndex(view);
  views_[static_cast<std::size_t>(view)]->setChecked(true);
  views_[static_cast<std::size_t>(1 - view)]->setChecked(false);
}

void edit_dca_page::fader_moved(int dca, double db) {
  env_.session.store.linked_set(dca_id(dca, code_fader), to_raw(value_type::fader_level, db));
}

int edit_dca_page::current_view() const { return stack_->currentIndex(); }

button* edit_dca_page::channel_button(int kind, int index) const {
  for (const channel_button_entry& e : channels_)
    if (e.channel == channel_ref{kind, index}) return e.b;
  return nullptr;
}

void edit_dca_page::refresh() {
  const param_store& store = env_.session.store;
  dcas_[static_cast<std::size_t>(dca_)]->setChecked(true);
  for (int d = 0; d < dca_count; ++d) {
    const bool on = store.get(dca_id(d, code_dca_switch)) != 0;
    const QString text = tr_text(on ? "ON" : "OFF");
    ons_[static_cast<std::size_t>(d)]->setChecked(on);
    ons_[static_cast<std::size_t>(d)]->set_text(text);
    strips_[static_cast<std::size_t>(d)]->set_off(on);
    strips_[static_cast<std::size_t>(d)]->off_button()->set_text(text);
  }
  for (const channel_button_entry& e : channels_)
    e.b->setChecked(is_member(store, kind_dca, dca_, logical_of(e.channel.kind, e.channel.index)));
}

// ---- names ----

void edit_dca_page::show_dca_names() {
  const name_tables& names = env_.session.engine.names();
  for (int d = 0; d < dca_count; ++d) {
    const std::string_view stored = names.channel_name(logical_of(kind_dca, d));
    show_dca_name(d, QString::fromUtf8(stored.data(), static_cast<qsizetype>(stored.size())));
  }
}

void edit_dca_page::show_dca_name(int dca, const QString& stored) {
  const QString text = channel_label_text(kind_dca, dca, stored);
  dcas_[static_cast<std::size_t>(dca)]->set_text(text);
  strips_[static_cast<std::size_t>(dca)]->set_name(text);
}

void edit_dca_page::rename(int dca) {
  rename_channel(env_.nav, dcas_[static_cast<std::size_t>(dca)], kind_dca, dca);
  // The long press must not leave another DCA highlighted than the one edited.
  dcas_[static_cast<std::size_t>(dca_)]->setChecked(true);
}

page* create_edit_dca(QWidget* parent, page_env& env, int id) {
  (void)id;
  return new edit_dca_page(parent, env);
}

}  // namespace vorante
