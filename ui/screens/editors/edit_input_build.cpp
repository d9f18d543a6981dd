// Construction of the input editor's regions: the left column, the channel list, the six
// detail tabs, the right column with the universal fader and the settings box, and the
// send strips.
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QResizeEvent>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <tuple>

#include "app/core/translate.h"
#include "app/params/channel_state.h"
#include "app/params/convert.h"
#include "app/params/names.h"
#include "app/params/solo.h"
#include "app/protocol/session.h"
#include "ui/foundation/res_images.h"
#include "ui/foundation/resource_volume.h"
#include "ui/pages/navigator.h"
#include "ui/screens/editors/edit_input.h"
#include "ui/screens/editors/editor_parts.h"
#include "ui/screens/mixer/colour_picker.h"
#include "ui/screens/mixer/rename.h"
#include "ui/widgets/button.h"
#include "ui/widgets/dyn_curves.h"
#include "ui/widgets/eq_graph.h"
#include "ui/widgets/fader.h"
#include "ui/widgets/fader_strip.h"
#include "ui/widgets/gr_meter.h"
#include "ui/widgets/level_meter.h"
#include "ui/widgets/long_press.h"
#include "ui/widgets/name_button_fader_strip.h"
#include "ui/widgets/pan_bar.h"
#include "ui/widgets/tile.h"
#include "ui/widgets/toggle_button.h"
#include "ui/widgets/overlay_layer.h"
#include "ui/widgets/widget_fonts.h"

namespace vorante {

using namespace editor_parts;

namespace {

constexpr int gap = parts_gap;
constexpr int small_px = 12;
constexpr int name_button_height = 44;
constexpr int eq_thumb_bands = 4;

}  // namespace

button* edit_input_page::grid_cell(QWidget* parent, int code, const QString& text) {
  button* b = push(text, parent, 2, true, cell_px);
  register_cell(b, static_cast<int>(input_id(code)));
  return b;
}

void edit_input_page::write_defaults(int first, int last) {
  param_store& s = env_.session.store;
  for (int c = first; c <= last; ++c) s.linked_set(input_id(c), s.default_of(input_id(c)));
}

button* edit_input_page::add_on_and_reset(QGridLayout* g, QWidget* box, const char* name, int on_code, int first,
                                          int last) {
  button* on = push(tr_text("OFF"), box, 4, true);
  on->setObjectName(name);
  connect(on, &QAbstractButton::clicked, this, [this, on_code] {
    const unsigned id = input_id(on_code);
    env_.session.store.linked_set(id, env_.session.store.get(id) == 0 ? 1 : 0);
  });
  button* reset = push(tr_text("RESET"), box, 0);
  connect(reset, &QAbstractButton::clicked, this, [this, first, last] { write_defaults(first, last); });
  g->addWidget(on, 0, 0);
  g->addWidget(reset, 0, 1);
  return on;
}

// ---- left column ----

QWidget* edit_input_page::build_left_rows() {
  rows_ = new QWidget(this);
  QVBoxLayout* column = column_of(rows_, gap);

  auto* row1 = new QWidget(rows_);
  row1->setMaximumHeight(row_height);
  QHBoxLayout* r1 = row_of(row1, gap);
  gain_ = new tile(row1);
  gain_->setObjectName("cell_gain");
  gain_->set_title(tr_text("GAIN"));
  gain_->setCheckable(true);
  register_cell(gain_, static_cast<int>(input_id(code_input_gain)));
  delay_ = new tile(row1);
  delay_->set_title(tr_text("DELAY"));
  delay_->setCheckable(true);
  register_cell(delay_, static_cast<int>(input_id(28)));
  delay_->hide();  // the console has the parameter, the screen never offers it
  phase_ = make_phase_cell(row1, phase_icon_);
  phase_icon_->setObjectName("phase_icon");
  connect(phase_, &QAbstractButton::clicked, this, [this] {
    const unsigned id = input_id(9);
    env_.session.store.linked_set(id, env_.session.store.get(id) == 0 ? 1 : 0);
  });
  for (QWidget* w : {static_cast<QWidget*>(gain_), static_cast<QWidget*>(delay_), static_cast<QWidget*>(phase_)}) {
    w->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    r1->addWidget(w, 1);
  }
  column->addWidget(row1, 1);

  auto* row2 = new QWidget(rows_);
  row2->setMaximumHeight(row_height);
  QHBoxLayout* r2 = row_of(row2, gap);
  mono_column_ = new QWidget(row2);
  QVBoxLayout* mono = column_of(mono_column_, 2);
  phantom_ = push("48v", mono_column_, 1, true);
  phantom_->setObjectName("phantom");
  connect(phantom_, &QAbstractButton::clicked, this, [this] { press_phantom(); });
  hiz_ = push("HI-Z", mono_column_, 0, true);
  hiz_->setObjectName("hiz");
  connect(hiz_, &QAbstractButton::clicked, this, [this](bool checked) {
    const unsigned id = input_id(0);
    const uint16_t v = env_.session.store.get(id);
    env_.session.store.linked_set(id, static_cast<uint16_t>((v & ~1u) | (checked ? 1u : 0u)));
  });
  mono->addWidget(phantom_, 1);
  mono->addWidget(hiz_, 1);
  r2->addWidget(mono_column_, 1);
  auto* pan = new tile_with_child(row2);
  pan_ = pan;
  pan_->setObjectName("cell_pan");
  pan_->set_title(tr_text("PAN"));
  pan_->setCheckable(true);
  pan_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  register_cell(pan_, static_cast<int>(input_id(code_input_pan)));
  pan_bar_ = new pan_bar(pan);
  pan->set_child(pan_bar_);
  connect(pan_bar_, &pan_bar::value_changed, this, [this](int v) {
    select_cell(static_cast<int>(input_id(code_input_pan)));
    env_.session.store.linked_set(input_id(code_input_pan), to_raw(value_type::pan, v));
  });
  auto* pan_hold = new long_press(pan_);
  connect(pan_hold, &long_press::long_pressed, this, [this] {
    if (!input_pan_locked(env_.session.store, index_)) env_.session.store.linked_set(input_id(code_input_pan), 100);
  });
  r2->addWidget(pan_, 2);
  column->addWidget(row2, 1);
  return rows_;
}

QWidget* edit_input_page::build_thumbnails() {
  thumbs_ = new QWidget(this);
  QVBoxLayout* column = column_of(thumbs_, 2);
  auto add = [&](const char* title, int tab, QWidget* body) {
    button* header = make_thumb_header(title, thumbs_);
    connect(header, &QAbstractButton::clicked, this, [this, tab] { show_tab(tab); });
    column->addWidget(header);
    body->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    body->setMinimumSize(0, 0);
    column->addWidget(body, 1);
  };
  peq_small_ = make_peq_thumbnail(thumbs_, eq_thumb_bands);
  add("PEQ", input_tab_peq, peq_small_);
  gate_small_ = make_curve<gate_curve>(thumbs_, edit_input_gate_colour);
  add("GATE", input_tab_gate, gate_small_);
  comp_small_ = make_curve<comp_curve>(thumbs_, comp_colour);
  add("COMP", input_tab_comp, comp_small_);
  return thumbs_;
}

QWidget* edit_input_page::build_channel_list() {
  list_box_ = new QWidget(this);
  list_box_->setFixedWidth(side_width);
  auto* g = new QGridLayout(list_box_);
  g->setContentsMargins(0, 0, 0, 0);
  g->setSpacing(gap);
  for (int n = 0; n < 16; ++n) {
    button* b = push(QString::asprintf("CH%d", n + 1), list_box_, 0, true);
    b->setObjectName(QString("list_%1").arg(n));
    list_[static_cast<std::size_t>(n)] = b;
    g->addWidget(b, n / 2, n % 2);
    connect(b, &QAbstractButton::clicked, this, [this, n] {
      list_[static_cast<std::size_t>(n)]->setChecked(n == index_);
      env_.nav.open_editor(kind_input, n);
    });
  }
  return list_box_;
}

// ---- tabs ----

QWidget* edit_input_page::build_overview() {
  auto* tab = new QWidget;
  QVBoxLayout* column = column_of(tab, gap);
  name_button_ = push(QString(), tab, 0, false, 16);
  name_button_->setObjectName("channel_name");
  fix_height(name_button_, name_button_height);
  connect_name_button(name_button_, this, env_, kind_input, [this] { return index_; });
  column->addWidget(name_button_);

  auto* body = new QHBoxLayout;
  body->setSpacing(gap);
  auto* slot = new QWidget(tab);
  slot->setFixedWidth(side_width);
  overview_slot_ = column_of(slot, gap);
  body->addWidget(slot);

  // The recorder routing: the input feeding a record track, a playback track feeding the
  // channel's gain.
  auto* diagram = new QVBoxLayout;
  diagram->setSpacing(gap * 4);
  auto arrow = [&](QWidget* parent) {
    auto* a = new QLabel(parent);
    a->setAlignment(Qt::AlignCenter);
    a->setPixmap(QPixmap::fromImage(image_file_load(res_path("res/common/img_arrow_right.png"))));
    return a;
  };
  // A path's row, and the first button on it.
  auto path_row = [&](const char* name, QWidget*& path) {
    path = new QWidget(tab);
    path->setObjectName(name);
    auto* r = new QHBoxLayout(path);
    r->setContentsMargins(0, 0, 0, 0);
    return r;
  };
  auto path_button = [&](const char* text, QWidget* path, int type, const char* name) {
    button* b = push(text, path, type, true, cell_px);
    b->setObjectName(name);
    min_height(b, 56);
    return b;
  };
  QHBoxLayout* rec = path_row("record_path", rec_path_);
  rec_level_ = path_button("INPUT\n0%", rec_path_, 2, "record_level");
  rec->addWidget(rec_level_, 2);
  rec->addWidget(arrow(rec_path_), 1);
  rec_label_ = plain_label("REC1\nIN", rec_path_, cell_px);
  rec_label_->setObjectName("record_label");
  rec->addWidget(rec_label_, 2);
  connect(rec_level_, &QAbstractButton::clicked, this, [this] {
    if (record_track_ >= 0) select_cell(edit_input_first_record_level + record_track_);
  });
  diagram->addWidget(rec_path_);

  QHBoxLayout* play = path_row("playback_path", play_path_);
  play_button_ = path_button("REC1\nPLAY", play_path_, 0, "playback_switch");
  connect(play_button_, &QAbstractButton::clicked, this, [this] {
    if (play_track_ < 0) return;
    const unsigned id = static_cast<unsigned>(edit_input_first_playback_switch + play_track_);
    env_.session.store.linked_set(id, env_.session.store.get(id) == 0 ? 1 : 0);
  });
  play->addWidget(play_button_, 2);
  auto* level_box = new QVBoxLayout;
  play_level_ = push("INPUT", play_path_, 2, true, cell_px);
  play_level_->setObjectName("playback_level");
  min_height(play_level_, 40);
  connect(play_level_, &QAbstractButton::clicked, this, [this] {
    if (play_track_ >= 0) select_cell(edit_input_first_playback_level + play_track_);
  });
  level_box->addWidget(play_level_);
  play_percent_ = plain_label("0%", play_path_);
  play_percent_->setObjectName("playback_percent");
  level_box->addWidget(play_percent_);
  play->addLayout(level_box, 2);
  play->addWidget(arrow(play_path_), 1);
  play->addWidget(plain_label(tr_text("GAIN"), play_path_, cell_px), 2);
  diagram->addWidget(play_path_);
  diagram->addStretch(1);
  body->addLayout(diagram, 1);
  column->addLayout(body, 1);
  rec_path_->hide();
  play_path_->hide();
  return tab;
}

QWidget* edit_input_page::build_peq() {
  auto* tab = new QWidget;
  QVBoxLayout* column = column_of(tab, gap);
  auto* top = new QHBoxLayout;
  peq_large_ = make_eq_graph(tab, eq_thumb_bands);
  peq_large_->setObjectName("peq_graph");
  peq_large_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  top->addWidget(peq_large_, 1);
  const peq_side side = make_peq_side(tab);
  bypass_ = side.bypass;
  connect(bypass_, &QAbstractButton::clicked, this,
          [this](bool checked) { env_.session.store.linked_set(input_id(36), checked ? 0 : 1); });
  connect(side.reset, &QAbstractButton::clicked, this, [this] { write_defaults(36, 61); });
  side.column->addWidget(bypass_, 1);
  side.column->addWidget(side.reset, 1);
  side.column->addStretch(2);
  top->addWidget(side.box);
  column->addLayout(top, 3);

  // HP and LP: frequency cells over the stepping type and slope buttons; then the four
  // bands with frequency, gain and Q.
  auto* grids = new QHBoxLayout;
  grids->setSpacing(gap);
  auto* filter_box = new QWidget(tab);
  QGridLayout* fg = grid_of(filter_box);
  const char* filter_rows[] = {"FREQ", "FILTER", "SLOPE"};
  for (int r = 0; r < 3; ++r) fg->addWidget(plain_label(tr_text(filter_rows[r]), filter_box), r + 1, 0);
  for (int f = 0; f < 2; ++f) {
    const int type_code = 38 + 2 * f;
    fg->addWidget(plain_label(f == 0 ? "HP" : "LP", filter_box), 0, f + 1);
    fg->addWidget(grid_cell(filter_box, type_code + 1, "400Hz"), 1, f + 1);
    button* filter = push("BUTTER\nWORTH", filter_box, 0, false, small_px);
    button* slope = push("12dB", filter_box, 0, false, small_px);
    filter->setObjectName(f == 0 ? "hp_filter" : "lp_filter");
    slope->setObjectName(f == 0 ? "hp_slope" : "lp_slope");
    (f == 0 ? hp_filter_ : lp_filter_) = filter;
    (f == 0 ? hp_slope_ : lp_slope_) = slope;
    connect(filter, &QAbstractButton::clicked, this,
            [this, type_code] { step_param(env_.session.store, input_id(type_code), 1, step_normal); });
    connect(slope, &QAbstractButton::clicked, this,
            [this, type_code] { step_param(env_.session.store, input_id(type_code), 1, step_field_1); });
    fg->addWidget(filter, 2, f + 1);
    fg->addWidget(slope, 3, f + 1);
  }
  auto* band_box = new QWidget(tab);
  QGridLayout* bg = grid_of(band_box);
  const char* band_rows[] = {"FREQ", "GAIN", "Q"};
  const char* band_names[] = {"LOW", "L MID", "H MID", "HIGH"};
  const char* band_initial[] = {"400Hz", "0.0dB", "1.00"};
  for (int r = 0; r < 3; ++r) bg->addWidget(plain_label(tr_text(band_rows[r]), band_box), r + 1, 0);
  for (int b = 0; b < input_band_count; ++b) {
    bg->addWidget(plain_label(tr_text(band_names[b]), band_box), 0, b + 1);
    const int first = code_input_bands + 1 + codes_per_band * b;
    for (int r = 0; r < 3; ++r) bg->addWidget(grid_cell(band_box, first + r, band_initial[r]), r + 1, b + 1);
  }
  for (QGridLayout* g : {fg, bg})
    for (int r = 1; r <= 3; ++r) g->setRowStretch(r, 1);
  grids->addWidget(filter_box, 2);
  grids->addWidget(band_box, 4);
  column->addLayout(grids, 2);
  return tab;
}

QWidget* edit_input_page::build_gate() {
  auto* tab = new QWidget;
  QHBoxLayout* row = row_of(tab, gap);
  gate_large_ = make_curve<gate_curve>(tab, edit_input_gate_colour, "gate_curve");
  gate_large_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  row->addWidget(gate_large_, 3);
  auto* grid_box = new QWidget(tab);
  QGridLayout* g = grid_of(grid_box);
  gate_on_ = add_on_and_reset(g, grid_box, "gate_on", code_input_gate_on, 2, 7);
  const struct { const char* title; int code; const char* initial; } cells[] = {
      {"THRESHOLD", 3, "0.0dB"}, {"ATTACK", 5, "0ms"}, {"DECAY", 6, "x2"}, {"HOLD", 7, "0ms"}};
  for (int n = 0; n < 4; ++n) {
    g->addWidget(plain_label(tr_text(cells[n].title), grid_box), 1 + 2 * (n / 2), n % 2);
    g->addWidget(grid_cell(grid_box, cells[n].code, cells[n].initial), 2 + 2 * (n / 2), n % 2);
  }
  for (int r = 0; r < 5; ++r) g->setRowStretch(r, r % 2 == 0 ? 2 : 1);
  row->addWidget(grid_box, 2);
  return tab;
}

QWidget* edit_input_page::build_comp() {
  auto* tab = new QWidget;
  QHBoxLayout* row = row_of(tab, gap);
  comp_meter_in_ = make_meter(tab);
  comp_meter_out_ = make_meter(tab);
  auto* gr_box = new QVBoxLayout;
  gr_box->setSpacing(0);
  gr_box->addWidget(plain_label("0", tab, 10));
  gr_ = new gr_meter(tab);
  gr_->set_range(0, 30);
  gr_->setFixedWidth(meter_width);
  gr_box->addWidget(gr_, 1, Qt::AlignHCenter);
  gr_box->addWidget(plain_label("-30", tab, 10));
  row->addWidget(comp_meter_in_);
  row->addWidget(comp_meter_out_);
  row->addLayout(gr_box);
  comp_large_ = make_curve<comp_curve>(tab, comp_colour, "comp_curve");
  comp_large_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  row->addWidget(comp_large_, 3);
  auto* grid_box = new QWidget(tab);
  QGridLayout* g = grid_of(grid_box);
  comp_on_ = add_on_and_reset(g, grid_box, "comp_on", code_input_comp_on, 29, 35);
  add_comp_cells(g, grid_box, {35, 33, 30, 31, 32}, [&](int code) { return grid_cell(grid_box, code, "0.0dB"); });
  row->addWidget(grid_box, 2);
  return tab;
}

QWidget* edit_input_page::build_phantom() {
  auto* tab = new QWidget;
  auto* outer = new QVBoxLayout(tab);
  outer->addStretch(1);
  auto* box = new panel(edit_input_phantom_box, tab);
  box->setObjectName("phantom_question");
  box->setFixedSize(420, 200);
  auto* column = new QVBoxLayout(box);
  column->setContentsMargins(16, 16, 16, 16);
  auto* text = new QLabel(tr_text("Are you sure to turn on the phantom power?"), box);
  text->setFont(ui_font(18));
  text->setWordWrap(true);
  text->setAlignment(Qt::AlignCenter);
  column->addWidget(text, 1);
  auto* answers = new QHBoxLayout;
  button* no = push(tr_text("NO"), box, 0, false, 16);
  no->setObjectName("phantom_no");
  button* yes = push(tr_text("YES"), box, 0, false, 16);
  yes->setObjectName("phantom_yes");
  fix_height(no, 48);
  fix_height(yes, 48);
  connect(no, &QAbstractButton::clicked, this, [this] { answer_phantom(false); });
  connect(yes, &QAbstractButton::clicked, this, [this] { answer_phantom(true); });
  answers->addWidget(no);
  answers->addWidget(yes);
  column->addLayout(answers);
  outer->addWidget(box, 0, Qt::AlignHCenter);
  outer->addStretch(1);
  return tab;
}

// ---- right column and sends ----

QWidget* edit_input_page::build_right_column() {
  right_ = make_right_column(this, right_width, settings_background, 0);
  connect_right_column(
      right_, this, env_, kind_input, [this] { return index_; }, [this] { select_cell(-1); },
      [this](double v) { universal_moved(v); });
  connect_group_buttons(right_, this, [this](int kind, int n, bool on) {
    write_membership(env_.session.store, kind, n, logical_of(kind_input, index_), on);
    if (is_fixed_stereo_left(kind_input, index_))
      write_membership(env_.session.store, kind, n, logical_of(kind_input, index_ + 1), on);
  });
  const link_copy_paste lcp = add_link_copy_paste(right_.grid, right_.row, right_.settings, "CH1&2");
  mono_titles_.assign(lcp.titles.begin(), lcp.titles.end());
  link_ = lcp.link;
  copy_ = lcp.copy;
  paste_ = lcp.paste;
  connect(link_, &QAbstractButton::clicked, this, [this] { press_link(); });
  connect(copy_, &QAbstractButton::clicked, this, [this] { press_copy(); });
  connect(paste_, &QAbstractButton::clicked, this, [this] { press_paste(); });
  finish_right_column(right_);
  connect(right_.select_parameters, &QAbstractButton::clicked, this,
          [this] { show_tab(index_ < 16 ? input_tab_overview : input_tab_peq); });
  connect(right_.select_fader, &QAbstractButton::clicked, this, [this] { show_tab(input_tab_fader); });
  return right_.widget;
}

QWidget* edit_input_page::build_sends() {
  QHBoxLayout* row = nullptr;
  panel* area = make_send_area(this, row);
  for (int n = 0; n < edit_input_send_strips; ++n) {
    const channel_ref target = n < 8 ? channel_ref{kind_bus, n}
                               : n < 10 ? channel_ref{kind_fx, n - 8}
                                        : channel_ref{kind_bus, n == 10 ? main_l_bus : main_r_bus};
    send_targets_[static_cast<std::size_t>(n)] = target;
    auto* s = make_send_strip(area, n);
    sends_[static_cast<std::size_t>(n)] = s;
    row->addWidget(s, 1);
    send_strip_actions actions = editor_send_actions(this, n);
    actions.cell = [this, n] {
      const channel_ref t = send_targets_[static_cast<std::size_t>(n)];
      return static_cast<int>(send_param_id(index_, t.kind, t.index));
    };
    actions.lr = [this, n] { send_lr(n); };
    actions.name = [this, n] {
      const channel_ref t = send_targets_[static_cast<std::size_t>(n)];
      env_.nav.open_editor(t.kind, t.index);
    };
    connect_send_strip(s, this, actions);
  }
  return area;
}

}  // namespace vorante
