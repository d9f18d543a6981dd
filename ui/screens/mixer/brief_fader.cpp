#include "ui/screens/mixer/brief_fader.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "app/core/translate.h"
#include "app/params/banks.h"
#include "app/params/channel_state.h"
#include "app/params/convert.h"
#include "app/params/names.h"
#include "app/params/solo.h"
#include "app/protocol/session.h"
#include "ui/foundation/channel_colours.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_table.h"
#include "ui/screens/mixer/meter_bridge.h"
#include "ui/screens/mixer/rename.h"
#include "ui/widgets/box_panel.h"
#include "ui/widgets/button.h"
#include "ui/widgets/fader.h"
#include "ui/widgets/name_button_fader_strip.h"
#include "ui/widgets/toggle_button.h"
#include "ui/widgets/ui_text.h"

namespace vorante {

namespace {

constexpr int gap = 4;
constexpr int strip_gap = 2;
constexpr int sends_per_row = overview_send_strips / 2;
constexpr int last_send_mode_id = 3096;
constexpr int last_colour_id = 3174;
constexpr int main_box_height = 300;
constexpr int fx_selector = 1 + aux_send_count;

QString stored_name(const page_env& env, int logical) {
  const std::string_view s = env.session.engine.names().channel_name(logical);
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QString shown_name(const page_env& env, channel_ref c) {
  return channel_label_text(c.kind, c.index, stored_name(env, logical_of(c.kind, c.index)));
}

// The send bus of a send button.
send_target target_of(int selector) {
  return selector < fx_selector ? send_target{kind_bus, selector - 1} : send_target{kind_fx, selector - fx_selector};
}

int fitted_in(int kind, int first, int last) {
  int n = 0;
  for (int i = first; i <= last; ++i) n += logical_fitted(logical_of(kind, i)) ? 1 : 0;
  return n;
}

void style_label(QLabel* l) {
  l->setStyleSheet("color: white;");
  l->setAlignment(Qt::AlignCenter);
}

constexpr const char* fader_parts[] = {"A",    "B",    "C",    "AUX1", "AUX2", "AUX3", "AUX4",
                                       "AUX5", "AUX6", "AUX7", "AUX8", "FX1",  "FX2"};
constexpr int first_bus_part = 3;

}  // namespace

brief_fader_page::brief_fader_page(QWidget* parent, page_env& env) : page(parent, page_brief_fader), env_(env) {
  setObjectName("brief_fader");
  fader_of_.fill(-1);
  send_of_.fill(-1);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  auto* main_row = new QHBoxLayout;
  main_row->setContentsMargins(gap, gap, gap, gap);
  main_row->setSpacing(gap);
  stack_ = new QStackedWidget(this);
  stack_->addWidget(build_channel_view(0, false));
  stack_->addWidget(build_channel_view(2, true));
  stack_->addWidget(build_sends_view());
  main_row->addWidget(stack_, 1);
  main_row->addWidget(build_right_column());
  column->addLayout(main_row, 1);
  bottom_ = new QWidget(this);
  bottom_->setFixedHeight(brief_fader_bottom_height);
  auto* bottom_layout = new QVBoxLayout(bottom_);
  bottom_layout->setContentsMargins(0, 0, 0, 0);
  column->addWidget(bottom_);
  show_view(fader_view_a);
  selectors_[0]->setChecked(true);
}

name_button_fader_strip* brief_fader_page::add_fader(QWidget* parent, channel_ref c) {
  const int n = static_cast<int>(faders_.size());
  auto* s = new name_button_fader_strip(parent);
  s->setObjectName(QString("fader_%1_%2").arg(c.kind).arg(c.index));
  s->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
  s->set_name(QString::fromStdString(default_channel_name(c.kind, c.index)));
  faders_.push_back(s);
  fader_channels_.push_back(c);
  fader_of_[static_cast<std::size_t>(logical_of(c.kind, c.index))] = n;
  connect(s, &name_button_fader_strip::name_clicked, this, [this, n] { channel_event(n, strip_name); });
  connect(s, &name_button_fader_strip::m_clicked, this, [this, n] { channel_event(n, strip_first); });
  connect(s, &name_button_fader_strip::s_clicked, this, [this, n] { channel_event(n, strip_second); });
  connect(s, &name_button_fader_strip::fader_clicked, this, [this, n] { channel_event(n, strip_fader_clicked); });
  connect(s, &name_button_fader_strip::fader_moved, this, [this, n](double v) { channel_event(n, strip_fader_moved, v); });
  return s;
}

QWidget* brief_fader_page::build_channel_view(int first_bank, bool pad) {
  auto* view = new QWidget(this);
  auto* rows = new QVBoxLayout(view);
  rows->setContentsMargins(0, 0, 0, 0);
  rows->setSpacing(gap);
  // The second view fills its rows up to the first view's strip count, so strips keep one width.
  const int items = fitted_in(kind_input, 0, 7);
  for (int b = first_bank; b < first_bank + 2; ++b) {
    auto* row = new QHBoxLayout;
    row->setSpacing(strip_gap);
    const fader_bank& bank = fader_banks[static_cast<std::size_t>(b)];
    int shown = 0;
    for (int slot = 0; slot < bank.slot_count; ++slot) {
      const channel_ref c = bank.channels[static_cast<std::size_t>(slot)];
      name_button_fader_strip* s = add_fader(view, c);
      const bool fitted = logical_fitted(logical_of(c.kind, c.index));
      s->setVisible(fitted);
      shown += fitted ? 1 : 0;
      row->addWidget(s, 1);
    }
    for (int n = shown; pad && n < items; ++n) row->addStretch(1);
    rows->addLayout(row, 1);
  }
  return view;
}

QWidget* brief_fader_page::build_sends_view() {
  auto* view = new QWidget(this);
  auto* rows = new QVBoxLayout(view);
  rows->setContentsMargins(0, 0, 0, 0);
  rows->setSpacing(gap);
  for (int r = 0; r < 2; ++r) {
    send_rows_[static_cast<std::size_t>(r)] = new QHBoxLayout;
    send_rows_[static_cast<std::size_t>(r)]->setSpacing(strip_gap);
    rows->addLayout(send_rows_[static_cast<std::size_t>(r)], 1);
  }
  for (int n = 0; n < overview_send_strips; ++n) {
    auto* s = new name_button_fader_strip(view);
    s->setObjectName(QString("send_strip_%1").arg(n));
    s->setMinimumWidth(brief_fader_send_min_width);
    s->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
    s->m_button()->set_text(tr_text("POS"));
    s->m_button()->set_type(button_type::blue);
    s->s_button()->set_text(tr_text("PRE"));
    s->hide();
    sends_[static_cast<std::size_t>(n)] = s;
    send_rows_[static_cast<std::size_t>(n / sends_per_row)]->addWidget(s, 1);
    connect(s, &name_button_fader_strip::name_clicked, this, [this, n] { send_strip_event(n, strip_name); });
    connect(s, &name_button_fader_strip::m_clicked, this, [this, n] { send_strip_event(n, strip_first); });
    connect(s, &name_button_fader_strip::s_clicked, this, [this, n] { send_strip_event(n, strip_second); });
    connect(s, &name_button_fader_strip::fader_clicked, this, [this, n] { send_strip_event(n, strip_fader_clicked); });
    connect(s, &name_button_fader_strip::fader_moved, this, [this, n](double v) { send_strip_event(n, strip_fader_moved, v); });
    connect(s, &name_button_fader_strip::l_clicked, this, [this, n] { send_strip_event(n, strip_left); });
    connect(s, &name_button_fader_strip::r_clicked, this, [this, n] { send_strip_event(n, strip_right); });
  }
  return view;
}

QWidget* brief_fader_page::build_right_column() {
  auto* right = new QWidget(this);
  right->setFixedWidth(brief_fader_right_width);
  auto* column = new QVBoxLayout(right);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(gap);
  auto selector = [&](int id) {
    auto* b = new button(right);
    b->setObjectName(QString("fader_selector_%1").arg(id));
    b->setCheckable(true);
    b->setMinimumHeight(brief_fader_selector_height);
    b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    group_.addButton(b, id);
    selectors_[static_cast<std::size_t>(id)] = b;
    return b;
  };
  page_label_ = new QLabel(right);
  style_label(page_label_);
  column->addWidget(page_label_);
  column->addWidget(selector(0));
  selectors_[0]->set_textf("CH1-CH%d", fitted_in(kind_input, 0, 15));
  sends_label_ = new QLabel(right);
  style_label(sends_label_);
  column->addWidget(sends_label_);
  for (int pair = 0; pair < brief_fader_send_buttons / 2; ++pair) {
    auto* row = new QHBoxLayout;
    row->setSpacing(gap);
    for (int id = 1 + 2 * pair; id <= 2 + 2 * pair; ++id) {
      const send_target t = target_of(id);
      selector(id)->set_text(QString::fromStdString(default_channel_name(t.kind, t.index)));
      row->addWidget(selectors_[static_cast<std::size_t>(id)], 1);
    }
    column->addLayout(row);
  }
  connect(&group_, &QButtonGroup::idClicked, this, &brief_fader_page::select);
  column->addStretch(1);

  auto* box = new box_panel({brief_fader_main_background, brief_fader_main_background, true, 0, 0, 0, 4}, right);
  box->setObjectName("main_box");
  box->setMinimumHeight(main_box_height);
  auto* mains = new QHBoxLayout(box);
  mains->setContentsMargins(gap, gap, gap, gap);
  mains->setSpacing(gap);
  for (int b : {main_l_bus, main_r_bus}) {
    name_button_fader_strip* s = add_fader(box, {kind_bus, b});
    s->set_name(b == main_l_bus ? "L" : "R");
    mains->addWidget(s, 1);
  }
  column->addWidget(box, 1);
  return right;
}

// ---- page operations ----

void brief_fader_page::open(int argument) {
  (void)argument;
  show_names();
  page_label_->setText(tr_text("PAGE SELECTION"));
  sends_label_->setText(tr_text("SENDS ON FADERS"));
  env_.nav.bridge().move_into(bottom_);
  select_strip(nullptr);
  refresh_values();
  refresh_colours();
}

void brief_fader_page::show_names() {
  for (std::size_t n = 0; n < faders_.size(); ++n) faders_[n]->set_name(shown_name(env_, fader_channels_[n]));
  for (int id = 1; id <= brief_fader_send_buttons; ++id) {
    const send_target t = target_of(id);
    selectors_[static_cast<std::size_t>(id)]->set_text(shown_name(env_, {t.kind, t.index}));
  }
  for (int n = 0; n < placed_; ++n) sends_[static_cast<std::size_t>(n)]->set_name(shown_name(env_, send_channels_[static_cast<std::size_t>(n)]));
}

void brief_fader_page::on_param(uint16_t id, uint16_t value, bool pushed) {
  (void)pushed;
  if ((id >= send_mode_base_id && id <= last_send_mode_id) || (id >= colour_base_id && id <= last_colour_id))
    start_refresh_timer();
  if (const int n = send_strip_for(id); n >= 0) show_send(n);
  const param_info p = info_of(id);
  if (p.kind < kind_input || p.kind > kind_bus || id == no_param_id) return;
  const int f = fader_of_[static_cast<std::size_t>(logical_of(p.kind, p.index))];
  if (f < 0) return;
  name_button_fader_strip* s = faders_[static_cast<std::size_t>(f)];
  const bool main_r = p.kind == kind_bus && p.index == main_r_bus;
  if (id == param_id(p.kind, p.index, code_fader)) {
    if (!s->fader()->dragging()) s->set_level(to_physical(value_type::fader_level, value));
  } else if (id == param_id(p.kind, p.index, code_on)) {
    s->set_mute(value == 0);
  } else if ((id == param_id(p.kind, p.index, code_solo) && !main_r) ||
             (p.kind == kind_bus && p.index != main_l_bus && p.code == code_bus_solo_r)) {
    s->set_solo(is_solo_active(value));
  }
}

void brief_fader_page::on_name(int logical, const QString& text) {
  const auto c = channel_of(logical);
  if (!c) return;
  const QString shown = channel_label_text(c->kind, c->index, text);
  if (const int f = fader_index(logical); f >= 0) faders_[static_cast<std::size_t>(f)]->set_name(shown);
  if (const int n = send_strip_of(logical); n >= 0) sends_[static_cast<std::size_t>(n)]->set_name(shown);
  if (c->kind == kind_bus && c->index < aux_send_count) selectors_[static_cast<std::size_t>(1 + c->index)]->set_text(shown);
  if (c->kind == kind_fx) selectors_[static_cast<std::size_t>(fx_selector + c->index)]->set_text(shown);
}

void brief_fader_page::console_encoder(int encoder, int delta) {
  (void)encoder;
  if (!selected_) return;
  param_store& store = env_.session.store;
  const auto f = std::find(faders_.begin(), faders_.end(), selected_);
  if (f != faders_.end()) {
    const channel_ref c = fader_channels_[static_cast<std::size_t>(f - faders_.begin())];
    const bool main = c.kind == kind_bus && (c.index == main_l_bus || c.index == main_r_bus);
    if (group_.checkedId() == 0 || main) step_param(store, param_id(c.kind, c.index, code_fader), delta, step_normal);
    return;
  }
  const auto s = std::find(sends_.begin(), sends_.end(), selected_);
  if (s != sends_.end() && target_) step_overview_send(store, send_channels_[static_cast<std::size_t>(s - sends_.begin())], *target_, delta);
}

// ---- selection ----

void brief_fader_page::select(int selector) {
  if (selector == 0) {
    const int view = shown_view();
    show_view(view == fader_view_a ? fader_view_b : view == fader_view_b ? fader_view_a : last_channel_view_);
    if (shown_view() == fader_view_a)
      selectors_[0]->set_textf("CH1-CH%d", fitted_in(kind_input, 0, 15));
    else
      selectors_[0]->set_textf("STEREO-FX-AUX%d", fitted_in(kind_bus, 0, aux_send_count - 1));
  } else if (selector > 0 && selector <= brief_fader_send_buttons) {
    selectors_[static_cast<std::size_t>(selector)]->setChecked(true);
    fill_sends(target_of(selector));
  }
  select_strip(nullptr);
}

std::span<const char* const> brief_fader_page::part_names() const { return fader_parts; }

bool brief_fader_page::show_part(int part) {
  if (part < fader_view_a || part >= static_cast<int>(std::size(fader_parts))) return false;
  if (part == fader_view_a || part == fader_view_b) {
    // As the view button does: the sends view goes back to the last channel view first.
    selectors_[0]->setChecked(true);
    for (int turn = 0; turn < 2 && shown_view() != part; ++turn) select(0);
    return shown_view() == part;
  }
  int selector = part - first_bus_part + 1;
  if (part == fader_view_sends) {
    selector = 1;
    for (int s = 1; s <= brief_fader_send_buttons; ++s)
      if (target_ && target_->kind == target_of(s).kind && target_->index == target_of(s).index) selector = s;
  }
  select(selector);
  return shown_view() == fader_view_sends;
}

void brief_fader_page::show_view(int view) {
  stack_->setCurrentIndex(view);
  if (view != fader_view_sends) last_channel_view_ = view;
}

int brief_fader_page::shown_view() const { return stack_->currentIndex(); }

void brief_fader_page::fill_sends(send_target t) {
  show_view(fader_view_sends);
  target_ = t;
  for (name_button_fader_strip* s : sends_) {
    s->hide();
    s->show_lr(false);
  }
  send_channels_.fill({});
  send_of_.fill(-1);
  const std::vector<channel_ref> list = sends_view_channels(t);
  placed_ = static_cast<int>(list.size());
  for (int j = 0; j < placed_; ++j) {
    const channel_ref c = list[static_cast<std::size_t>(j)];
    name_button_fader_strip* s = sends_[static_cast<std::size_t>(j)];
    send_channels_[static_cast<std::size_t>(j)] = c;
    send_of_[static_cast<std::size_t>(logical_of(c.kind, c.index))] = j;
    s->set_name(shown_name(env_, c));
    s->show_lr(c.kind == kind_input && is_fixed_stereo_left(kind_input, c.index));
  }
  // The first half of the placed strips on the upper row, the rest below.
  for (int j = 0; j < overview_send_strips; ++j) {
    name_button_fader_strip* s = sends_[static_cast<std::size_t>(j)];
    for (QBoxLayout* row : send_rows_) row->removeWidget(s);
    send_rows_[j < placed_ / 2 ? 0 : 1]->addWidget(s, 1);
    s->setVisible(j < placed_);
  }
  refresh_values();
  refresh_colours();
}

void brief_fader_page::select_strip(name_button_fader_strip* s) {
  if (selected_ == s) return;
  if (selected_) selected_->set_selected(false);
  selected_ = s;
  if (s) s->set_selected(true);
}

// ---- strip events ----

void brief_fader_page::channel_event(int fader, int event, double value) {
  if (fader < 0 || fader >= fader_count()) return;
  name_button_fader_strip* s = faders_[static_cast<std::size_t>(fader)];
  const channel_ref c = fader_channels_[static_cast<std::size_t>(fader)];
  select_strip(s);
  param_store& store = env_.session.store;
  switch (event) {
    case strip_name: env_.nav.open_editor(c.kind, c.index); break;
    case strip_first: {
      const unsigned id = param_id(c.kind, c.index, code_on);
      store.linked_set(id, store.get(id) == 0 ? 1 : 0);
      break;
    }
    case strip_second: solo_write(store, c.kind, c.index, s->s_button()->isChecked()); break;
    case strip_fader_moved: {
      const unsigned id = param_id(c.kind, c.index, code_fader);
      const uint16_t raw = to_raw(value_type::fader_level, value);
      if (raw != store.get(id)) store.linked_set(id, raw);
      break;
    }
    default: break;
  }
}

void brief_fader_page::send_strip_event(int strip, int event, double value) {
  if (strip < 0 || strip >= placed_ || !target_) return;
  name_button_fader_strip* s = sends_[static_cast<std::size_t>(strip)];
  const channel_ref c = send_channels_[static_cast<std::size_t>(strip)];
  select_strip(s);
  param_store& store = env_.session.store;
  switch (event) {
    case strip_name: env_.nav.open_editor(c.kind, c.index); break;
    case strip_first: write_overview_send(store, c, *target_, send_change::post); break;
    case strip_second: write_overview_send(store, c, *target_, send_change::pre); break;
    case strip_fader_moved: write_overview_send(store, c, *target_, send_change::level, value); break;
    case strip_left:
    case strip_right:
      if (c.kind == kind_input && is_fixed_stereo_left(kind_input, c.index) && target_->is_aux() && s->lr_shown()) {
        write_overview_lr(store, c.index, target_->index, s->l_button()->isChecked(), s->r_button()->isChecked());
        refresh_lr();
      }
      break;
    default: break;
  }
  // Buttons show the stored state, not the click.
  if (event == strip_first || event == strip_second) show_send(strip);
}

// ---- refreshes ----

int brief_fader_page::send_strip_for(unsigned id) const {
  if (!target_) return -1;
  const param_info p = info_of(id);
  if ((p.kind != kind_input && p.kind != kind_fx) || id == no_param_id) return -1;
  int n = send_of_[static_cast<std::size_t>(logical_of(p.kind, p.index))];
  // A right member shows on its left member's strip.
  if (n < 0 && p.kind == kind_input && is_fixed_stereo_right(kind_input, p.index))
    n = send_of_[static_cast<std::size_t>(logical_of(kind_input, p.index - 1))];
  if (n < 0 || overview_shown_id(env_.session.store, send_channels_[static_cast<std::size_t>(n)], *target_) != id) return -1;
  return n;
}

void brief_fader_page::show_send(int strip) {
  const param_store& store = env_.session.store;
  name_button_fader_strip* s = sends_[static_cast<std::size_t>(strip)];
  const uint16_t raw = store.get(overview_shown_id(store, send_channels_[static_cast<std::size_t>(strip)], *target_));
  const bool pre = (raw & send_pre_bit) != 0;
  s->s_button()->setChecked(pre);
  s->m_button()->setChecked(!pre);
  if (!s->fader()->dragging()) s->set_level(to_physical(value_type::send_level, raw));
}

void brief_fader_page::refresh_values() {
  const param_store& store = env_.session.store;
  for (const channel_ref& c : fader_channels_)
    for (const unsigned id : {unsigned(param_id(c.kind, c.index, code_fader)), unsigned(param_id(c.kind, c.index, code_on)),
                              solo_id(c.kind, c.index)})
      on_param(static_cast<uint16_t>(id), store.get(id), false);
  if (target_)
    for (int n = 0; n < placed_; ++n) show_send(n);
  refresh_lr();
}

void brief_fader_page::refresh_colours() {
  const param_store& store = env_.session.store;
  auto colour_of = [&](channel_ref c) { return channel_colour(store.get(colour_base_id + logical_of(c.kind, c.index))); };
  for (std::size_t n = 0; n < faders_.size(); ++n) faders_[n]->name_button()->set_colour(colour_of(fader_channels_[n]));
  for (int n = 0; n < placed_; ++n)
    sends_[static_cast<std::size_t>(n)]->name_button()->set_colour(colour_of(send_channels_[static_cast<std::size_t>(n)]));
}

void brief_fader_page::refresh_lr() {
  if (!target_ || !target_->is_aux()) return;
  for (int n = 0; n < placed_; ++n) {
    name_button_fader_strip* s = sends_[static_cast<std::size_t>(n)];
    if (!s->lr_shown()) continue;
    int mode = send_mode(env_.session.store, send_channels_[static_cast<std::size_t>(n)].index, target_->index);
    if (mode == 0) mode = 3;
    s->l_button()->setChecked((mode & 1) != 0);
    s->r_button()->setChecked((mode & 2) != 0);
  }
}

void brief_fader_page::start_refresh_timer() {
  if (!refresh_timer_) {
    refresh_timer_ = new QTimer(this);
    refresh_timer_->setSingleShot(true);
    connect(refresh_timer_, &QTimer::timeout, this, [this] {
      refresh_lr();
      refresh_colours();
      refresh_timer_->deleteLater();
      refresh_timer_ = nullptr;
    });
  }
  refresh_timer_->start(brief_fader_timer_ms);
}

// ---- lookups ----

name_button_fader_strip* brief_fader_page::channel_fader(int logical) const {
  const int f = fader_index(logical);
  return f >= 0 ? faders_[static_cast<std::size_t>(f)] : nullptr;
}

int brief_fader_page::fader_index(int logical) const {
  return logical >= 0 && logical < logical_count ? fader_of_[static_cast<std::size_t>(logical)] : -1;
}

page* create_brief_fader(QWidget* parent, page_env& env, int id) {
  (void)id;
  return new brief_fader_page(parent, env);
}

}  // namespace vorante
