#include "ui/screens/editors/send_editor.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QResizeEvent>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <tuple>

#include "app/params/banks.h"
#include "app/params/channel_state.h"
#include "app/params/names.h"
#include "app/params/convert.h"
#include "app/params/editor_nav.h"
#include "app/params/levels.h"
#include "app/params/solo.h"
#include "app/protocol/session.h"
#include "ui/foundation/channel_colours.h"
#include "ui/pages/navigator.h"
#include "ui/screens/editors/bank_fader_tab.h"
#include "ui/screens/editors/editor_parts.h"
#include "ui/screens/mixer/rename.h"
#include "ui/widgets/button.h"
#include "ui/widgets/eq_graph.h"
#include "ui/widgets/fader.h"
#include "ui/widgets/fader_strip.h"
#include "ui/widgets/level_meter.h"
#include "ui/widgets/long_press.h"
#include "ui/widgets/name_button_fader_strip.h"
#include "ui/widgets/tile.h"

namespace vorante {

using namespace editor_parts;

namespace {

constexpr int gap = parts_gap;
constexpr int bank_button_w = 120;
constexpr int settings_width = 156;

}  // namespace

send_editor_page::send_editor_page(QWidget* parent, page_env& env, int page_id, int kind, int fader_code)
    : page(parent, page_id), env_(env), kind_(kind), fader_code_(fader_code) {
  refresh_timer_.setSingleShot(true);
  refresh_timer_.setInterval(timer_ms);
}

unsigned send_editor_page::own_id(int code) const { return param_id(kind_, std::max(index_, 0), code); }

unsigned send_editor_page::shown_id(unsigned id) const {
  const param_info p = info_of(id);
  return p.kind == kind_input ? shown_param_id(env_.session.store, p.index, id) : id;
}

QAbstractButton* send_editor_page::cell(int code) const {
  const auto it = cells_.find(code);
  return it == cells_.end() ? nullptr : it->second;
}

void send_editor_page::register_cell(QAbstractButton* b, int code) {
  cells_[code] = b;
  connect(b, &QAbstractButton::clicked, this, [this, code] { select_cell(static_cast<int>(own_id(code))); });
}

button* send_editor_page::grid_cell(QWidget* parent, int code, const QString& text) {
  button* b = push(text, parent, 2, true, cell_px);
  register_cell(b, code);
  return b;
}

void send_editor_page::page_hidden() { delete meter_timer_.data(); }

void send_editor_page::on_name(int logical, const QString& text) {
  (void)logical, (void)text;
  if (index_ < 0) return;
  const name_tables& names = env_.session.engine.names();
  const QString own = channel_name_text(names, kind_, index_);
  name_button_->set_text(own);
  right_.vol->set_title(own);
  for (std::size_t n = 0; n < sends_.size(); ++n) {
    const channel_ref c = send_channels_[n];
    if (c.kind != 0) sends_[n]->set_name(channel_name_text(names, c.kind, c.index));
  }
  bank_tab_->show_names();
}

void send_editor_page::refresh_memberships() {
  const param_store& store = env_.session.store;
  show_memberships(store, logical_of(kind_, index_), right_.dca, right_.mute_groups);
  name_button_->set_colour(channel_colour_of(store, kind_, index_));
  for (std::size_t n = 0; n < sends_.size(); ++n) {
    const channel_ref c = send_channels_[n];
    if (c.kind != 0) sends_[n]->name_button()->set_colour(channel_colour_of(store, c.kind, c.index));
  }
}

// ---- the universal fader ----

universal_fader_setup send_editor_page::setup_of(int id) const {
  return universal_fader_of(id < 0 ? value_type::fader_level : cell_value_type(static_cast<unsigned>(id)));
}

double send_editor_page::universal_position(int id, uint16_t raw) const {
  (void)id;
  return universal_fader_value(setup_, raw);
}

uint16_t send_editor_page::universal_raw(int id, double value, uint16_t shown_raw) const {
  (void)id;
  return universal_fader_raw(setup_, value, shown_raw);
}

void send_editor_page::select_cell(int id) {
  if (id == static_cast<int>(own_id(fader_code_))) id = -1;
  right_.vol->setChecked(false);
  selected_ = id;
  for (auto& [code, b] : cells_) b->setChecked(id >= 0 && own_id(code) == static_cast<unsigned>(id));
  setup_ = setup_of(id);
  set_universal_scale(*right_.universal->fader(), setup_);
  push_universal();
}

void send_editor_page::push_universal() {
  if (selected_ == no_param_id || index_ < 0) return;
  const unsigned id = selected_ < 0 ? own_id(fader_code_) : shown_id(static_cast<unsigned>(selected_));
  const uint16_t raw = env_.session.store.get(id);
  show_on_universal(*right_.universal, setup_, raw, universal_position(selected_, raw));
}

void send_editor_page::universal_moved(double value) {
  if (selected_ == no_param_id || index_ < 0) return;
  param_store& store = env_.session.store;
  const unsigned id = selected_ < 0 ? own_id(fader_code_) : static_cast<unsigned>(selected_);
  write_universal(store, id, universal_raw(selected_, value, store.get(shown_id(id))), echo_);
}

void send_editor_page::follow_universal(unsigned id) {
  if (selected_ == no_param_id || echo_) return;
  const unsigned universal_id = selected_ < 0 ? own_id(fader_code_) : shown_id(static_cast<unsigned>(selected_));
  if (id == universal_id) push_universal();
}

// ---- small writes and texts ----

void send_editor_page::toggle_code(int code) {
  const unsigned id = own_id(code);
  env_.session.store.linked_set(id, env_.session.store.get(id) == 0 ? 1 : 0);
}

void send_editor_page::write_defaults(int first, int last) {
  param_store& s = env_.session.store;
  for (int c = first; c <= last; ++c) s.linked_set(own_id(c), s.default_of(own_id(c)));
}

void send_editor_page::show_cell_value(int code, uint16_t value) {
  QAbstractButton* c = cell(code);
  if (!c) return;
  const unsigned id = own_id(code);
  const value_type type = cell_value_type(id);
  const QString text = QString::fromStdString(type == param_value_type(id) ? value_text(env_.session.store, id)
                                                                          : value_text_of_type(type, value));
  show_cell_text(c, text, position_of(type, value));
}

// ---- meter ----

void send_editor_page::start_meter() {
  if (!meter_timer_) {
    meter_timer_ = new QTimer(this);
    meter_timer_->setInterval(timer_ms);
    connect(meter_timer_, &QTimer::timeout, this, [this] { tick_meter(kind_ == kind_bus ? own_id(fader_code_) : -1); });
  }
  if (!meter_timer_->isActive()) meter_timer_->start();
}

void send_editor_page::tick_meter(int fader_raw_id) {
  if (!env_.session.engine.link_alive() || index_ < 0) return;
  param_store& store = env_.session.store;
  const meter_ref m = meter_id(kind_, index_);
  if (m.id < 0) return;
  const uint16_t word = store.get(static_cast<unsigned>(m.id));
  const auto byte = static_cast<uint8_t>(m.byte ? word >> 8 : word & 0xFF);
  const int db = fader_raw_id < 0 ? static_cast<int8_t>(byte)
                                  : meter_after_fader(byte, scaled_main_level(store, static_cast<unsigned>(fader_raw_id)));
  meter_->set_db(db, meter_fall);
  store.request(static_cast<unsigned>(m.id));
}

// ---- construction ----

int send_editor_page::current_tab() const { return stack_->currentIndex(); }

void send_editor_page::show_stack_tab(int tab, int keeping) {
  const bool fader_tab = tab == stack_->count() - 1;
  stack_->setCurrentIndex(tab);
  if (index_ >= 0) select_cell(-1);
  show_selected(right_, fader_tab);
  if (fader_tab) bank_tab_->fill(bank_fader_tab::bank_of(kind_, index_));
  if (tab != keeping) {
    sends_panel_->setVisible(!fader_tab);
    meter_->setVisible(!fader_tab);
  }
}

bool send_editor_page::show_part(int part) {
  show_tab(part);
  return current_tab() == part;
}

void send_editor_page::lay_out(QWidget* left, std::initializer_list<QWidget*> tabs, QWidget* sends, QWidget* right) {
  const editor_frame frame = make_editor_frame(this, gap);
  QHBoxLayout* top = frame.top;
  stack_ = new QStackedWidget(this);
  stack_->setObjectName("detail_stack");
  for (QWidget* tab : tabs) stack_->addWidget(tab);
  bank_tab_ = new bank_fader_tab(env_.session.store, env_.session.engine.names());
  stack_->addWidget(bank_tab_);
  // The floating bank choice covers the bottom of the left column and the detail area: both
  // end above it. (A frame resets its own contents margins, so the room is kept by a box.)
  auto* covered = new QHBoxLayout;
  covered->setContentsMargins(0, 0, 0, sends_panel_->sizeHint().height());
  covered->setSpacing(gap);
  covered->addWidget(left);
  covered->addWidget(stack_, 1);
  top->addLayout(covered, 1);
  meter_ = make_meter(this);
  meter_->setObjectName("channel_meter");
  top->addWidget(meter_);
  finish_editor_frame(frame, sends, right);
}

QWidget* send_editor_page::build_peq_tab(int bands, int bypass_code, int last_code, int filter_code, int band_code,
                                         std::span<const QString> band_names) {
  auto* tab = new QWidget;
  QVBoxLayout* column = column_of(tab, gap);
  auto* top = new QHBoxLayout;
  peq_large_ = make_eq_graph(tab, bands);
  peq_large_->setObjectName("peq_graph");
  top->addWidget(peq_large_, 1);
  const peq_side side = make_peq_side(tab);
  bypass_ = side.bypass;
  connect(bypass_, &QAbstractButton::clicked, this,
          [this, bypass_code](bool checked) { env_.session.store.linked_set(own_id(bypass_code), checked ? 0 : 1); });
  side.reset->setObjectName("peq_reset");
  connect(side.reset, &QAbstractButton::clicked, this,
          [this, bypass_code, last_code] { write_defaults(bypass_code, last_code); });
  side.column->addWidget(bypass_);
  side.column->addWidget(side.reset);
  top->addWidget(side.box);
  column->addLayout(top, 3);
  column->addWidget(
      build_peq_grid(
          tab, filter_code, band_code, band_names,
          [this](QWidget* parent, int code, const QString& text) { return grid_cell(parent, code, text); },
          [this](int code, int field) { step_param(env_.session.store, own_id(code), 1, field == 0 ? step_normal : step_field_1); },
          filters_),
      2);

  connect_peq_drags(peq_large_, this, filter_code, band_code, bands,
                    [this](int code, uint16_t raw) { env_.session.store.linked_set(own_id(code), raw); });
  return tab;
}

void send_editor_page::show_peq_param(int code, uint16_t value) {
  show_cell_value(code, value);
  show_eq_param(*peq_small_, eq_ids_, own_id(code), value);
  show_eq_param(*peq_large_, eq_ids_, own_id(code), value);
}

void send_editor_page::show_filter_texts(int filter, uint16_t value) {
  const filter_texts t = filter_text(value);
  filters_.type[static_cast<std::size_t>(filter)]->set_text(QString::fromStdString(t.type));
  filters_.slope[static_cast<std::size_t>(filter)]->set_text(QString::fromStdString(t.slope));
}

QWidget* send_editor_page::build_right_column(const settings_rows& extra) {
  right_ = make_right_column(this, right_width, settings_background, settings_width);
  connect_right_column(
      right_, this, env_, kind_, [this] { return index_; }, [this] { select_cell(-1); },
      [this](double v) { universal_moved(v); });
  connect_group_buttons(right_, this, [this](int kind, int n, bool on) {
    write_membership(env_.session.store, kind, n, logical_of(kind_, index_), on);
  });
  if (extra) extra(right_.grid, right_.row, right_.settings);
  finish_right_column(right_);
  connect(right_.select_parameters, &QAbstractButton::clicked, this, [this] { show_tab(0); });
  connect(right_.select_fader, &QAbstractButton::clicked, this, [this] { show_tab(stack_->count() - 1); });
  return right_.widget;
}

std::vector<std::pair<int, QString>> send_editor_page::bank_choices(int count, int relabelled, const QString& label) {
  std::vector<std::pair<int, QString>> banks;
  for (int b = 0; b < count && b < bank_count; ++b) {
    const std::string_view name = fader_banks[static_cast<std::size_t>(b)].name;
    banks.emplace_back(b, b == relabelled ? label : QString::fromUtf8(name.data(), static_cast<int>(name.size())));
  }
  return banks;
}

QWidget* send_editor_page::build_send_area(int strips, int bank_strips, const std::vector<std::pair<int, QString>>& banks) {
  bank_strips_ = bank_strips;
  QHBoxLayout* row = nullptr;
  send_area_ = make_send_area(this, row);
  sends_.resize(static_cast<std::size_t>(strips));
  send_channels_.resize(static_cast<std::size_t>(strips));
  auto add_spacers = [&] {
    for (int n = 0; n < bank_strips; ++n) {
      auto* spacer = new QWidget(send_area_);
      spacer->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
      spacers_.push_back(spacer);
      row->addWidget(spacer, 1);
      spacer->hide();
    }
  };
  for (int n = 0; n < strips; ++n) {
    if (n == bank_strips) add_spacers();
    name_button_fader_strip* s = make_send_strip(send_area_, n);
    sends_[static_cast<std::size_t>(n)] = s;
    row->addWidget(s, 1);
    send_strip_actions actions = editor_send_actions(this, n);
    actions.cell = [this, n] { return static_cast<int>(strip_send_id(n)); };
    actions.lr = lr_action(n);
    actions.name = [this, n] {
      const channel_ref c = send_channels_[static_cast<std::size_t>(n)];
      env_.nav.open_editor(c.kind, c.index);
    };
    connect_send_strip(s, this, actions);
  }
  if (strips == bank_strips) add_spacers();

  // The bank choice floats above the send area's top-left corner.
  sends_panel_ = new panel(send_background, this);
  sends_panel_->setObjectName("sends_on_faders");
  auto* prow = new QHBoxLayout(sends_panel_);
  prow->setContentsMargins(gap, gap, gap, gap);
  prow->setSpacing(gap);
  prow->addWidget(plain_label(tr_text("SENDS ON FADERS"), sends_panel_));
  for (const auto& [bank, label] : banks) {
    const int n = static_cast<int>(bank_buttons_.size());
    button* b = push(label, sends_panel_, 0, true);
    b->setObjectName(QString("bank_%1").arg(n));
    b->setFixedSize(bank_button_w, bank_button_h);
    bank_buttons_.push_back(b);
    banks_.push_back(bank);
    connect(b, &QAbstractButton::clicked, this, [this, n] { choose_bank(n); });
    prow->addWidget(b);
  }
  sends_panel_->adjustSize();
  return send_area_;
}

void send_editor_page::resizeEvent(QResizeEvent* event) {
  page::resizeEvent(event);
  place_sends_panel();
}

void send_editor_page::place_sends_panel() {
  if (!send_area_ || !sends_panel_) return;
  sends_panel_->adjustSize();
  sends_panel_->move(send_area_->geometry().topLeft() - QPoint(0, sends_panel_->height()));
  sends_panel_->raise();
}

// ---- sends ----

void send_editor_page::choose_bank(int n) {
  if (n < 0 || n >= static_cast<int>(bank_buttons_.size())) return;
  bank_ = n;
  const int selected = selected_;
  bool was_send = false;
  for (int s = 0; s < bank_strips_; ++s) {
    if (selected >= 0 && static_cast<unsigned>(selected) == strip_send_id(s)) was_send = true;
    sends_[static_cast<std::size_t>(s)]->hide();
    send_channels_[static_cast<std::size_t>(s)] = {};
    spacers_[static_cast<std::size_t>(s)]->hide();
  }
  const fader_bank& fb = fader_banks[static_cast<std::size_t>(banks_[static_cast<std::size_t>(n)])];
  int placed = 0;
  for (int slot = 0; slot < fb.slot_count && placed < bank_strips_; ++slot) {
    const channel_ref c = fb.channels[static_cast<std::size_t>(slot)];
    if (!takes_send_slot(c) || !logical_fitted(logical_of(c.kind, c.index))) continue;
    send_channels_[static_cast<std::size_t>(placed)] = c;
    sends_[static_cast<std::size_t>(placed)]->show();
    ++placed;
  }
  for (int s = placed; s < bank_strips_; ++s) spacers_[static_cast<std::size_t>(s)]->show();
  for (std::size_t b = 0; b < bank_buttons_.size(); ++b) bank_buttons_[b]->setChecked(static_cast<int>(b) == n);
  if (was_send) {
    // The selected send left with its strip: the fader edits nothing until a cell is chosen.
    select_cell(-1);
    selected_ = no_param_id;
  }
  sends_refilled();
  for (std::size_t s = 0; s < sends_.size(); ++s) show_send(static_cast<int>(s));
}

void send_editor_page::show_send(int n) {
  const unsigned id = strip_send_id(n);
  if (id == no_param_id) return;
  const uint16_t v = env_.session.store.get(shown_id(id));
  show_send_level(*sends_[static_cast<std::size_t>(n)], v);
}

void send_editor_page::show_sends_of(unsigned id) {
  for (std::size_t n = 0; n < sends_.size(); ++n) {
    const unsigned send = strip_send_id(static_cast<int>(n));
    if (send != no_param_id && (id == send || id == shown_id(send))) show_send(static_cast<int>(n));
  }
}

void send_editor_page::send_moved(int n, double db) {
  const unsigned id = strip_send_id(n);
  if (id != no_param_id) write_send_level(env_.session.store, param_index(id), id, db);
}

void send_editor_page::send_pre(int n, bool pre) {
  const unsigned id = strip_send_id(n);
  if (id == no_param_id) return;
  write_send_pre(env_.session.store, param_index(id), id, pre);
  show_send(n);
}

}  // namespace vorante
