#include "ui/screens/mixer/strips_page.h"

#include <QHash>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "app/params/channel_state.h"
#include "app/params/convert.h"
#include "app/params/solo.h"
#include "app/protocol/session.h"
#include "ui/screens/mixer/colour_picker.h"
#include "ui/screens/mixer/meter_bridge.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_registry.h"
#include "ui/screens/mixer/rename.h"
#include "ui/screens/mixer/strips_page_dca.h"
#include "ui/screens/mixer/strips_page_main.h"
#include "ui/screens/mixer/strips_page_phantom.h"
#include "ui/widgets/button.h"
#include "ui/widgets/channel_strip.h"
#include "ui/widgets/eq_graph.h"
#include "ui/widgets/fader.h"
#include "ui/widgets/level_meter.h"
#include "ui/widgets/level_readout.h"
#include "ui/widgets/overlay_layer.h"
#include "ui/widgets/pan_bar.h"
#include "ui/widgets/sends_panel.h"

namespace vorante {

namespace {

constexpr int strips_bottom_height = 180;
constexpr int strips_gap = 3;
constexpr int strips_redraw_ms = 50;
constexpr int strips_meter_ms = 100;
constexpr rgb565 strips_card = 0x1106;

constexpr strip_frame_colours strips_frame{strips_card, strips_card, 255};
// The thumbnail takes the height the strip's other parts leave, up to this.
constexpr int eq_thumbnail_max_height = 90;
// The colour picker opens this far right of the name button it belongs to.
constexpr int picker_offset = 3;

int bank_of_logical(int logical) {
  if (logical < 0 || logical >= logical_count) return no_bank;
  return logical_slot_of(logical).bank;
}

}  // namespace

// The strip grid: four equal columns by two equal rows, each strip in the cell the bank
// gives it. Placed by hand so that empty columns keep their share.
class strips_grid : public QWidget {
 public:
  explicit strips_grid(QWidget* parent) : QWidget(parent) { setObjectName("strip_grid"); }

  void place(QWidget* w, int column, int row) {
    cells_[w] = {column, row};
    w->setGeometry(cell(column, row));
  }
  void forget(QWidget* w) { cells_.remove(w); }

  QRect cell(int column, int row) const {
    const int w = (width() - (strip_columns - 1) * strips_gap) / strip_columns;
    const int h = (height() - strips_gap) / 2;
    return {column * (w + strips_gap), row * (h + strips_gap), w, h};
  }

 protected:
  void resizeEvent(QResizeEvent*) override {
    for (auto it = cells_.cbegin(); it != cells_.cend(); ++it) it.key()->setGeometry(cell(it->x(), it->y()));
  }

 private:
  QHash<QWidget*, QPoint> cells_;
};

strips_page::strips_page(QWidget* parent, page_env& env) : page(parent, page_brief_channel), env_(env) {
  setObjectName("brief_channel");
  strip_of_logical_.fill(-1);

  column_ = new QVBoxLayout(this);
  column_->setContentsMargins(strips_gap, 0, strips_gap, strips_gap);
  column_->setSpacing(strips_gap);

  fader_area_ = new QWidget(this);
  fader_area_->setObjectName("fader_area");
  auto* row = new QHBoxLayout(fader_area_);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(strips_gap);

  grid_ = new strips_grid(fader_area_);
  row->addWidget(grid_, 1);
  for (int n = 0; n < strip_count; ++n) build_strip(n);

  dca_row_ = new strips_dca_row(env_, fader_area_);
  dca_row_->hide();
  row->addWidget(dca_row_, 1);

  main_ = new strips_main_section(env_, fader_area_);
  row->addWidget(main_);

  phantom_ = new phantom_confirm(env_.session.store, fader_area_);
  column_->addWidget(fader_area_, 1);

  bottom_ = new QWidget(this);
  bottom_->setObjectName("strips_bottom");
  bottom_->setFixedHeight(strips_bottom_height);
  auto* bottom = new QVBoxLayout(bottom_);
  bottom->setContentsMargins(0, 0, 0, 0);
  column_->addWidget(bottom_);

  redraw_timer_.setSingleShot(true);
  redraw_timer_.setInterval(strips_redraw_ms);
  connect(&redraw_timer_, &QTimer::timeout, this, [this] { flush_redraw(); });
  meter_timer_.setInterval(strips_meter_ms);
  connect(&meter_timer_, &QTimer::timeout, this, [this] { tick_meters(); });

  show_link_state(env_.nav.link_online());
  connect(&env_.nav, &navigator::link_state_shown, this, [this](bool online) { show_link_state(online); });
}

void strips_page::show_link_state(bool online) {
  for (level_meter* m : findChildren<level_meter*>()) m->set_dimmed(!online);
  for (level_readout* r : findChildren<level_readout*>()) r->set_dimmed(!online);
}

void strips_page::build_strip(int n) {
  auto* s = new channel_strip(grid_);
  s->setObjectName(QString("strip_%1").arg(n));
  s->set_frame(strips_frame);
  s->show_sends(true);
  s->eq()->setMaximumHeight(eq_thumbnail_max_height);
  s->hide();
  strips_[static_cast<size_t>(n)] = s;

  connect(s, &channel_strip::touched, this, [this, n] { select_strip(n); });
  connect(s, &channel_strip::name_clicked, this, [this, n] {
    const strip_record& r = record(n);
    if (r.in_use) env_.nav.open_editor(r.kind, r.index);
  });
  connect(s, &channel_strip::name_long_pressed, this, [this, n, s] {
    const strip_record& r = record(n);
    if (r.in_use) rename_channel(env_.nav, s->name_button(), r.kind, r.index);
  });
  connect(s, &channel_strip::mute_clicked, this, [this, n] { strip_mute(n); });
  connect(s, &channel_strip::solo_clicked, this, [this, n](bool on) { strip_solo(n, on); });
  connect(s, &channel_strip::phantom_clicked, this, [this, n] { strip_phantom(n); });
  connect(s, &channel_strip::fader_moved, this, [this, n](double db) { strip_fader(n, db); });
  connect(s, &channel_strip::pan_moved, this, [this, n](int v) { strip_pan(n, v); });
  connect(s, &channel_strip::send_moved, this,
          [this, n](int group, int item, int value) { strip_send(n, group, item, value); });
  // A secondary click on the name picks the channel's colour.
  s->name_button()->installEventFilter(this);
}

QWidget* strips_page::strip_grid() const { return grid_; }

int strips_page::strip_of_logical(int logical) const {
  if (logical < 0 || logical >= logical_count) return -1;
  return strip_of_logical_[static_cast<size_t>(logical)];
}

// ---- showing ------------------------------------------------------------------------------

void strips_page::page_shown() { meter_timer_.start(); }

void strips_page::page_hidden() {
  meter_timer_.stop();
  phantom_->dismiss();
}

void strips_page::place_bridge() {
  env_.nav.bridge().move_into(bottom_);
}

void strips_page::open(int logical) {
  place_bridge();
  phantom_->dismiss();

  const int bank = bank_of_logical(logical);
  if (bank != no_bank || env_.nav.current_bank() != bank_) {
    bank_ = bank != no_bank ? bank : env_.nav.current_bank();
    selected_ = -1;
    for (channel_strip* s : strips_) s->set_selected(false);
    assign_bank(bank_);
    update_pan_clicks();
  }

  const bool strips_shown = bank_ >= 0 && bank_ < dca_bank;
  if (const int n = strip_of_logical(logical); n >= 0 && strips_shown) {
    select_strip(n);
  }
  if (selected_ < 0 && strips_shown) {
    const int remembered = remembered_[static_cast<size_t>(bank_)];
    select_strip(remembered >= 0 && record(remembered).in_use ? remembered : 0);
  }

  redraw_all();
  env_.nav.refresh_lights();
}

// ---- banks --------------------------------------------------------------------------------

void strips_page::assign_bank(int bank) {
  const std::optional<bank_layout> layout = layout_bank(bank);
  if (!layout) return;
  if (layout->dca_row) {
    dca_row_->show_names();
    grid_->hide();
    dca_row_->show();
    return;
  }

  strip_of_logical_.fill(-1);
  for (int n = 0; n < strip_count; ++n) {
    records_[static_cast<size_t>(n)] = {};
    eq_ids_[static_cast<size_t>(n)] = {};
    channel_strip* s = strip(n);
    // A hand still on a control (a layer key pressed meanwhile) lets go here, before the
    // strip starts to show another channel: hiding ends every drag.
    if (s->fader()->dragging() || s->pan()->dragging() || sends_dragged(s->sends())) s->hide();
    s->set_stereo(false);
    s->show_sends(true);
    s->sends()->set_channel(0, 0);
  }
  for (int k = 0; k < layout->count; ++k) {
    const strip_place& place = layout->strips[static_cast<size_t>(k)];
    records_[static_cast<size_t>(k)] = {true, place.channel.kind, place.channel.index};
    strip_of_logical_[static_cast<size_t>(logical_of(place.channel.kind, place.channel.index))] = static_cast<int8_t>(k);
    grid_->place(strip(k), place.column, place.row);
    configure_strip(k);
  }
  for (int n = layout->count; n < strip_count; ++n) {
    grid_->forget(strip(n));
    strip(n)->hide();
  }
  reset_meters();
  dca_row_->hide();
  grid_->show();
}

// Each kind of channel shows the parts it has.
void strips_page::configure_strip(int n) {
  const strip_record& r = record(n);
  channel_strip* s = strip(n);
  const bool input = r.kind == kind_input;
  const bool stereo = input && is_fixed_stereo_left(r.kind, r.index);
  const bool fx = r.kind == kind_fx;
  const bool aux = r.kind == kind_bus;

  redraw_name(n);
  s->set_comp_label(aux ? "COMP" : "C");
  s->set_stereo(stereo);
  s->set_ms_beside_lamps(stereo);
  s->indicator_row()->setVisible(!fx);
  s->gain_label()->setVisible(input && !stereo);
  s->gate_label()->setVisible(input && !stereo);
  s->gate_lamp()->setVisible(input && !stereo);
  s->button_row()->setVisible(!stereo);
  s->phantom_button()->setVisible(input && !stereo);
  s->pan_row()->setVisible(input);
  s->show_sends(!aux);
  if (s->sends()) s->sends()->set_channel(r.kind, r.index);

  const strip_eq_block eq = strip_eq_of(r.kind);
  s->eq()->reset_bands(eq.bands);
  eq_ids_[static_cast<size_t>(n)] = eq_param_block(r.kind, r.index, eq.filter_code, eq.band_code, eq.bands);
  s->show();
}

// A linked mono input's pan belongs to its own side of the pair, which the editor sets;
// here it only shows.
void strips_page::update_pan_clicks() {
  const param_store& store = env_.session.store;
  for (int n = 0; n < strip_count; ++n) {
    const strip_record& r = record(n);
    const bool linked_mono = r.in_use && r.kind == kind_input && !is_fixed_stereo_left(r.kind, r.index) &&
                             stereo_bit(store, r.kind, r.index);
    strip(n)->pan()->set_clickable(!linked_mono);
  }
}

// ---- selection ----------------------------------------------------------------------------

void strips_page::select_strip(int n) {
  if (n < 0 || n >= strip_count || !record(n).in_use) return;
  selected_ = n;
  if (bank_ >= 0 && bank_ < dca_bank) remembered_[static_cast<size_t>(bank_)] = n;
  highlight_selection();
  env_.nav.refresh_lights();
}

// The selected strip, and its partner when the pair is linked.
void strips_page::highlight_selection() {
  int partner = -1;
  if (selected_ >= 0) {
    const strip_record& r = record(selected_);
    if ((r.kind == kind_input || r.kind == kind_bus) && stereo_bit(env_.session.store, r.kind, r.index))
      partner = strip_of_logical(logical_of(r.kind, r.index ^ 1));
  }
  for (int n = 0; n < strip_count; ++n) strip(n)->set_selected(n == selected_ || n == partner);
}

// ---- the user's actions -------------------------------------------------------------------

void strips_page::strip_mute(int n) {
  const strip_record& r = record(n);
  if (!r.in_use) return;
  param_store& store = env_.session.store;
  const unsigned id = param_id(r.kind, r.index, code_on);
  store.linked_set(id, store.get(id) == 0 ? 1 : 0);
  // The button shows the store, whatever the click made of it.
  redraw_part(n, strip_part::mute, param_code(id));
}

void strips_page::strip_solo(int n, bool on) {
  const strip_record& r = record(n);
  if (!r.in_use) return;
  solo_write(env_.session.store, r.kind, r.index, on);
  redraw_solo(n);
}

void strips_page::strip_phantom(int n) {
  const strip_record& r = record(n);
  if (!r.in_use || r.kind != kind_input) return;
  param_store& store = env_.session.store;
  const unsigned id = param_id(r.kind, r.index, code_input_phantom);
  if (store.get(id) != 0) {
    store.linked_set(id, 0);
  } else {
    phantom_->ask(r.index);
  }
  redraw_part(n, strip_part::phantom, code_input_phantom);
}

void strips_page::strip_fader(int n, double db) {
  const strip_record& r = record(n);
  if (!r.in_use) return;
  env_.session.store.linked_set(param_id(r.kind, r.index, code_fader), to_raw(value_type::fader_level, db));
}

void strips_page::strip_pan(int n, int value) {
  const strip_record& r = record(n);
  if (!r.in_use || r.kind != kind_input) return;
  env_.session.store.linked_set(param_id(r.kind, r.index, code_input_pan), to_raw(value_type::pan, value));
}

void strips_page::strip_send(int n, int group, int item, int value) {
  const strip_record& r = record(n);
  if (!r.in_use) return;
  param_store& store = env_.session.store;
  if (const std::optional<param_write> w = send_write_of(store, r.kind, r.index, group, item, value))
    store.linked_set(w->id, w->value);
}

void strips_page::strip_colour(int n) {
  const strip_record& r = record(n);
  QWidget* host = overlay_host();
  if (!r.in_use || !host) return;
  button* name = strip(n)->name_button();
  const QPoint at = name->mapTo(host, QPoint(name->width() + picker_offset, 0));
  QWidget* picker = open_colour_picker(env_.session.store, at, r.kind, r.index);
  if (!picker) return;
  // Strips on the right would push the panel off the screen: keep it inside.
  if (QWidget* panel = picker->findChild<QWidget*>("colour_picker_panel")) {
    const QRect bounds = picker->rect();
    QRect g = panel->geometry();
    g.moveRight(std::min(g.right(), bounds.right()));
    g.moveBottom(std::min(g.bottom(), bounds.bottom()));
    g.moveLeft(std::max(g.left(), bounds.left()));
    g.moveTop(std::max(g.top(), bounds.top()));
    panel->move(g.topLeft());
  }
}

bool strips_page::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(e)->button() == Qt::RightButton) {
    for (int n = 0; n < strip_count; ++n) {
      if (watched == strip(n)->name_button()) {
        strip_colour(n);
        return true;
      }
    }
  }
  return page::eventFilter(watched, e);
}

page* create_strips_page(QWidget* parent, page_env& env, int id) {
  (void)id;
  return new strips_page(parent, env);
}

}  // namespace vorante
