#include "ui/screens/editors/editor_parts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QResizeEvent>
#include <QVBoxLayout>

#include "app/core/translate.h"
#include "app/params/channel_state.h"
#include "app/params/convert.h"
#include "app/params/ids.h"
#include "app/params/input_editor.h"
#include "app/params/names.h"
#include "app/params/solo.h"
#include "app/protocol/name_tables.h"
#include "app/protocol/session.h"
#include "ui/foundation/channel_colours.h"
#include "ui/foundation/res_images.h"
#include "ui/foundation/resource_volume.h"
#include "ui/pages/page.h"
#include "ui/screens/mixer/colour_picker.h"
#include "ui/screens/mixer/rename.h"
#include "ui/widgets/button.h"
#include "ui/widgets/dyn_curves.h"
#include "ui/widgets/eq_graph.h"
#include "ui/widgets/fader.h"
#include "ui/widgets/fader_strip.h"
#include "ui/widgets/level_meter.h"
#include "ui/widgets/long_press.h"
#include "ui/widgets/name_button_fader_strip.h"
#include "ui/widgets/widget_colours.h"
#include "ui/widgets/overlay_layer.h"
#include "ui/widgets/toggle_button.h"
#include "ui/widgets/widget_fonts.h"
#include "ui/widgets/ui_text.h"

namespace vorante::editor_parts {

namespace {
constexpr int gap = parts_gap;
constexpr int first_mute_group_id = 3057;
constexpr int last_mute_group_id = 3076;
constexpr int last_send_mode_id = 3096;
constexpr int last_colour_id = 3174;
}  // namespace

bool changes_memberships(unsigned id, bool send_modes) {
  const param_info p = info_of(id);
  const int v = static_cast<int>(id);
  return (p.kind == kind_dca && p.code >= code_dca_members) || in_range(v, first_mute_group_id, last_mute_group_id) ||
         (send_modes && in_range(v, send_mode_base_id, last_send_mode_id)) || in_range(v, colour_base_id, last_colour_id);
}

QLabel* plain_label(const QString& text, QWidget* parent, int px) {
  auto* l = new QLabel(text, parent);
  l->setFont(ui_font(px));
  l->setAlignment(Qt::AlignCenter);
  set_text_colour(l, Qt::white);
  return l;
}

button* push(const QString& text, QWidget* parent, int type, bool checkable, int px) {
  auto* b = new button(parent);
  b->set_text(text);
  b->set_type(type);
  b->setCheckable(checkable);
  b->setFont(ui_font(px));
  b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  b->setMinimumSize(0, 0);
  return b;
}

button* picture_button(const char* path, QWidget* parent) {
  button* b = push(QString(), parent);
  auto* row = new QHBoxLayout(b);
  row->setContentsMargins(0, 0, 0, 0);
  auto* icon = new QLabel(b);
  icon->setAlignment(Qt::AlignCenter);
  icon->setAttribute(Qt::WA_TransparentForMouseEvents);
  icon->setPixmap(QPixmap::fromImage(image_file_load(res_path(path))));
  row->addWidget(icon);
  return b;
}

void fix_height(QWidget* w, int h) {
  w->setFixedHeight(h);
  w->setSizePolicy(w->sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
}

QWidget* framed(QWidget* w) {
  w->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  w->setMinimumSize(0, 0);
  return w;
}

void min_height(QWidget* w, int h) {
  w->setMinimumHeight(h);
  w->setSizePolicy(w->sizePolicy().horizontalPolicy(), QSizePolicy::Minimum);
}

QGridLayout* grid_of(QWidget* w) {
  auto* g = new QGridLayout(w);
  g->setContentsMargins(gap, gap, gap, gap);
  g->setSpacing(gap);
  return g;
}

QVBoxLayout* column_of(QWidget* w, int spacing) {
  auto* l = new QVBoxLayout(w);
  l->setContentsMargins(0, 0, 0, 0);
  l->setSpacing(spacing);
  return l;
}

QHBoxLayout* row_of(QWidget* w, int spacing) {
  auto* l = new QHBoxLayout(w);
  l->setContentsMargins(0, 0, 0, 0);
  l->setSpacing(spacing);
  return l;
}

QString channel_name_text(const name_tables& names, int kind, int index) {
  return QString::fromStdString(channel_display_name(kind, index, names.channel_name(logical_of(kind, index))));
}

rgb565 channel_colour_of(const param_store& store, int kind, int index) {
  return channel_colour(store.get(colour_base_id + logical_of(kind, index)));
}

void show_memberships(const param_store& store, int logical, const std::array<button*, 4>& dca,
                      const std::array<button*, 4>& mute_groups) {
  for (std::size_t n = 0; n < 4; ++n) {
    dca[n]->setChecked(is_member(store, kind_dca, static_cast<int>(n), logical));
    mute_groups[n]->setChecked(is_member(store, kind_mute_group, static_cast<int>(n), logical));
  }
}

void connect_name_button(button* b, QObject* context, page_env& env, int kind, std::function<int()> index) {
  QObject::connect(b, &QAbstractButton::clicked, context, [b, &env, kind, index] {
    if (QWidget* host = overlay_host())
      open_colour_picker(env.session.store, b->mapTo(host, QPoint(0, b->height())), kind, index());
  });
  auto* hold = new long_press(b);
  QObject::connect(hold, &long_press::long_pressed, context,
                   [b, &env, kind, index] { rename_channel(env.nav, b, kind, index()); });
}

void show_cell_text(QAbstractButton* cell, const QString& text, int progress) {
  if (auto* b = qobject_cast<button*>(cell)) {
    b->set_text(text);
    b->set_progress(progress);
  } else if (auto* t = qobject_cast<tile*>(cell)) {
    t->set_value(text);
  }
}

void show_switch(button* b, bool on) {
  b->setChecked(on);
  b->set_text(tr_text(on ? "ON" : "OFF"));
}

void show_dyn_switch(button* b, dyn_curve& small, dyn_curve& large, bool on) {
  show_switch(b, on);
  small.set_curve_enabled(on);
  large.set_curve_enabled(on);
}

editor_frame make_editor_frame(QWidget* page, int gap) {
  editor_frame f{new QHBoxLayout(page), new QVBoxLayout, new QHBoxLayout};
  f.outer->setContentsMargins(gap, gap, gap, gap);
  f.outer->setSpacing(gap);
  f.body->setSpacing(gap);
  f.top->setSpacing(gap);
  return f;
}

void finish_editor_frame(const editor_frame& f, QWidget* sends, QWidget* right) {
  f.body->addLayout(f.top, 2);
  f.body->addWidget(sends, 1);
  f.outer->addLayout(f.body, 1);
  f.outer->addWidget(right);
}

peq_side make_peq_side(QWidget* parent) {
  auto* box = new QWidget(parent);
  box->setFixedWidth(peq_side_width);
  auto* column = new QVBoxLayout(box);
  column->setContentsMargins(0, 0, 0, 0);
  button* bypass = push(tr_text("BYPASS"), box, 4, true);
  bypass->setObjectName("peq_bypass");
  return {box, column, bypass, push(tr_text("RESET"), box, 1)};
}

eq_graph* make_eq_graph(QWidget* parent, int bands) {
  auto* g = new eq_graph(parent);
  g->add_highpass(initial_highpass_hz, initial_highpass_code);
  g->add_lowpass(initial_lowpass_hz, initial_lowpass_code);
  g->spread_bands(bands);
  g->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  g->setMinimumSize(0, 0);
  return g;
}

eq_graph* make_peq_thumbnail(QWidget* parent, int bands) {
  eq_graph* g = make_eq_graph(parent, bands);
  g->setObjectName("peq_thumbnail");
  g->set_compact(true);
  g->set_outline(false);
  g->setAttribute(Qt::WA_TransparentForMouseEvents);
  return g;
}

void connect_peq_drags(eq_graph* g, QObject* context, int filter_code, int band_code, int bands,
                       const std::function<void(int code, uint16_t raw)>& write) {
  QObject::connect(g, &eq_graph::highpass_dragged, context, [write, filter_code](uint16_t raw) { write(filter_code + 1, raw); });
  QObject::connect(g, &eq_graph::lowpass_dragged, context, [write, filter_code](uint16_t raw) { write(filter_code + 3, raw); });
  QObject::connect(g, &eq_graph::band_dragged, context, [write, bands, band_code](int band, uint16_t frequency, uint16_t gain) {
    if (band < 0 || band >= bands) return;
    write(band_code + 1 + codes_per_band * band, frequency);
    write(band_code + 2 + codes_per_band * band, gain);
  });
}

level_meter* make_meter(QWidget* parent) {
  auto* m = new level_meter(parent);
  m->show_scale(false);
  m->setFixedWidth(meter_width);
  return m;
}

button* make_thumb_header(const char* title, QWidget* parent) {
  button* header = push(title, parent);
  header->setObjectName(QString("thumb_%1").arg(title));
  fix_height(header, header_height);
  return header;
}

tile_with_child* make_phase_cell(QWidget* parent, QLabel*& icon) {
  auto* phase = new tile_with_child(parent);
  phase->setObjectName("cell_phase");
  phase->set_title(tr_text("PHASE"));
  icon = new QLabel(phase);
  icon->setAlignment(Qt::AlignCenter);
  icon->setAttribute(Qt::WA_TransparentForMouseEvents);
  phase->set_child(icon);
  return phase;
}

void show_phase_icon(QLabel* icon, uint16_t value) {
  icon->setPixmap(QPixmap::fromImage(
      image_file_load(res_path(value ? "res/common/img_phase_positive.png" : "res/common/img_phase_negative.png"))));
}

void add_comp_cells(QGridLayout* g, QWidget* box, const std::array<int, 5>& codes,
                    const std::function<QWidget*(int code)>& cell) {
  constexpr const char* titles[] = {"GAIN", "THRESHOLD", "RATIO", "ATTACK", "RELEASE"};
  for (int n = 0; n < 5; ++n) {
    const int r = 1 + 2 * ((n + 1) / 2);
    const int c = (n + 1) % 2;
    g->addWidget(plain_label(tr_text(titles[n]), box), r, c);
    g->addWidget(cell(codes[n]), r + 1, c);
  }
}

void write_universal(param_store& store, unsigned id, uint16_t raw, bool& echo) {
  echo = true;
  store.linked_set(id, raw);
  echo = false;
}

void set_universal_scale(fader& f, const universal_fader_setup& setup) {
  switch (setup.mode) {
    case universal_mode::channel_fader: f.set_law(0); break;
    case universal_mode::table: f.set_table(setup.table); break;
    case universal_mode::range: f.set_range(setup.min, setup.max); break;
  }
}

void show_on_universal(fader_strip& u, const universal_fader_setup& setup, uint16_t raw, double position) {
  if (setup.mode == universal_mode::channel_fader)
    u.set_level(to_physical(value_type::fader_level, raw));
  else
    u.fader()->set_value(position);
}

void connect_send_strip(name_button_fader_strip* s, QObject* context, const send_strip_actions& a) {
  auto select = [a] { a.select(a.cell()); };
  QObject::connect(s, &name_button_fader_strip::fader_clicked, context, select);
  QObject::connect(s, &name_button_fader_strip::fader_moved, context, [a, select](double db) {
    if (a.selected() != a.cell()) select();
    a.moved(db);
  });
  for (const bool pre : {false, true})
    QObject::connect(s, pre ? &name_button_fader_strip::s_clicked : &name_button_fader_strip::m_clicked, context,
                     [a, select, pre] {
                       select();
                       a.pre(pre);
                     });
  if (a.lr)
    for (auto signal : {&name_button_fader_strip::l_clicked, &name_button_fader_strip::r_clicked})
      QObject::connect(s, signal, context, [a, select] {
        select();
        a.lr();
      });
  QObject::connect(s, &name_button_fader_strip::name_clicked, context, a.name);
}

void show_send_level(name_button_fader_strip& s, uint16_t raw) {
  s.set_level(to_physical(value_type::send_level, raw));
  s.m_button()->setChecked(!(raw & level_flag_15));
  s.s_button()->setChecked(raw & level_flag_15);
}

panel* make_send_area(QWidget* parent, QHBoxLayout*& row) {
  auto* area = new panel(send_background, parent);
  area->setObjectName("send_area");
  row = new QHBoxLayout(area);
  row->setContentsMargins(gap, gap, gap, gap);
  row->setSpacing(2);
  return area;
}

void show_send_mode(name_button_fader_strip& s, int mode) {
  if (s.l_button()) s.l_button()->setChecked(send_left_checked(mode));
  if (s.r_button()) s.r_button()->setChecked(send_right_checked(mode));
}

name_button_fader_strip* make_send_strip(QWidget* parent, int n) {
  auto* s = new name_button_fader_strip(parent);
  s->setObjectName(QString("send_%1").arg(n));
  s->m_button()->set_text("POS");
  s->s_button()->set_text("PRE");
  s->m_button()->setCheckable(true);
  s->s_button()->setCheckable(true);
  s->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
  return s;
}

fader_strip* make_universal_strip(QWidget* parent) {
  auto* u = new fader_strip(parent);
  u->setObjectName("universal_fader");
  u->set_name(QString());
  u->mute_button()->set_text(tr_text("MUTE"));
  u->solo_button()->set_text(tr_text("SOLO"));
  u->fader()->set_knob(fader_knob_normal);
  return u;
}

namespace {

// "DCA GROUP" 1..4 and "MUTE GROUP" 1..4 into a settings grid from `row` on.
void add_group_buttons(QGridLayout* g, int& row, QWidget* parent, std::array<button*, 4>& dca,
                       std::array<button*, 4>& mute_groups) {
  for (int group = 0; group < 2; ++group) {
    g->addWidget(plain_label(tr_text(group == 0 ? "DCA GROUP" : "MUTE GROUP"), parent), row++, 0, 1, 2);
    for (int n = 0; n < 4; ++n) {
      button* b = push(QString::number(n + 1), parent, group, true);
      b->setObjectName(QString(group == 0 ? "dca_%1" : "mute_group_%1").arg(n));
      (group == 0 ? dca : mute_groups)[static_cast<std::size_t>(n)] = b;
      g->addWidget(b, row + n / 2, n % 2);
    }
    row += 2;
  }
}

// The VOL cell above the universal fader.
tile* make_vol_cell(QWidget* parent) {
  constexpr int vol_height = 56;
  auto* vol = new tile(parent);
  vol->setObjectName("cell_vol");
  vol->setCheckable(true);
  fix_height(vol, vol_height);
  return vol;
}

}  // namespace

right_column make_right_column(QWidget* parent, int width, rgb565 settings_background, int settings_width) {
  right_column r;
  r.widget = new QWidget(parent);
  r.widget->setFixedWidth(width);
  QVBoxLayout* column = column_of(r.widget, gap);
  r.vol = make_vol_cell(r.widget);
  r.universal = make_universal_strip(r.widget);
  column->addWidget(r.vol);
  auto* middle = new QHBoxLayout;
  middle->setSpacing(gap);
  middle->addWidget(r.universal, 1);
  r.settings = new panel(settings_background, r.widget);
  r.settings->setObjectName("settings_box");
  if (settings_width > 0) r.settings->setFixedWidth(settings_width);
  r.grid = grid_of(r.settings);
  add_group_buttons(r.grid, r.row, r.settings, r.dca, r.mute_groups);
  middle->addWidget(r.settings, settings_width > 0 ? 0 : 1);
  column->addLayout(middle, 1);
  return r;
}

void finish_right_column(right_column& r) {
  constexpr int select_px = 10;
  QGridLayout* g = r.grid;
  g->addWidget(plain_label(tr_text("SELECT"), r.settings), r.row++, 0, 1, 2);
  r.select_parameters = push(tr_text("PARAMETERS"), r.settings, 0, true, select_px);
  r.select_parameters->setObjectName("select_parameters");
  r.select_fader = push(tr_text("FADER"), r.settings, 0, true, select_px);
  r.select_fader->setObjectName("select_fader");
  g->addWidget(r.select_parameters, r.row, 0);
  g->addWidget(r.select_fader, r.row++, 1);
  for (int n = 0; n < r.row; ++n) g->setRowStretch(n, 1);
}

void show_selected(const right_column& r, bool fader_tab) {
  r.select_parameters->setChecked(!fader_tab);
  r.select_fader->setChecked(fader_tab);
}

void connect_right_column(const right_column& r, QObject* context, page_env& env, int kind, std::function<int()> index,
                          std::function<void()> select_fader, std::function<void(double)> moved) {
  tile* vol = r.vol;
  QObject::connect(vol, &QAbstractButton::clicked, context, select_fader);
  auto* vol_hold = new long_press(vol);
  QObject::connect(vol_hold, &long_press::long_pressed, context,
                   [vol, &env, kind, index] { rename_channel(env.nav, vol, kind, index()); });
  QObject::connect(r.universal->fader(), &fader::value_changed, context, moved);
  QObject::connect(r.universal, &fader_strip::mute_clicked, context, [&env, kind, index] {
    const unsigned id = param_id(kind, index(), code_on);
    env.session.store.linked_set(id, env.session.store.get(id) == 0 ? 1 : 0);
  });
  QObject::connect(r.universal, &fader_strip::solo_clicked, context,
                   [&env, kind, index](bool on) { solo_write(env.session.store, kind, index(), on); });
}

void connect_group_buttons(const right_column& r, QObject* context, std::function<void(int kind, int group, bool on)> write) {
  for (int n = 0; n < 4; ++n)
    for (int kind : {kind_dca, kind_mute_group})
      QObject::connect((kind == kind_dca ? r.dca : r.mute_groups)[static_cast<std::size_t>(n)], &QAbstractButton::clicked,
                       context, [write, kind, n](bool on) { write(kind, n, on); });
}

link_copy_paste add_link_copy_paste(QGridLayout* g, int& row, QWidget* box, const QString& link_text) {
  link_copy_paste out{};
  out.titles[0] = plain_label(tr_text("LINK"), box);
  g->addWidget(out.titles[0], row++, 0, 1, 2);
  out.link = push(link_text, box, 0, true);
  out.link->setObjectName("link");
  g->addWidget(out.link, row++, 0, 1, 2);
  for (int n = 1; n <= 2; ++n) {
    out.titles[static_cast<std::size_t>(n)] = plain_label(tr_text(n == 1 ? "COPY" : "PASTE"), box);
    g->addWidget(out.titles[static_cast<std::size_t>(n)], row, n - 1);
  }
  ++row;
  out.copy = picture_button("res/setting/png_icon_copy.png", box);
  out.copy->setObjectName("copy");
  out.paste = picture_button("res/setting/png_icon_paste.png", box);
  out.paste->setObjectName("paste");
  g->addWidget(out.copy, row, 0);
  g->addWidget(out.paste, row++, 1);
  return out;
}

QWidget* build_peq_grid(QWidget* parent, int filter_code, int band_code, std::span<const QString> band_names,
                        const cell_fn& cell, const step_fn& step, filter_buttons& out) {
  auto* box = new QWidget(parent);
  QGridLayout* g = grid_of(box);
  const char* filter_rows[] = {"FREQ", "FILTER", "SLOPE"};
  for (int r = 0; r < 3; ++r) g->addWidget(plain_label(tr_text(filter_rows[r]), box), r + 1, 0);
  for (int f = 0; f < 2; ++f) {
    const int type_code = filter_code + 2 * f;
    g->addWidget(plain_label(f == 0 ? "HP" : "LP", box), 0, f + 1);
    g->addWidget(cell(box, type_code + 1, "400Hz"), 1, f + 1);
    button* type = push("BUTTER\nWORTH", box);
    button* slope = push("12dB", box);
    type->setObjectName(f == 0 ? "hp_filter" : "lp_filter");
    slope->setObjectName(f == 0 ? "hp_slope" : "lp_slope");
    out.type[static_cast<std::size_t>(f)] = type;
    out.slope[static_cast<std::size_t>(f)] = slope;
    QObject::connect(type, &QAbstractButton::clicked, box, [step, type_code] { step(type_code, 0); });
    QObject::connect(slope, &QAbstractButton::clicked, box, [step, type_code] { step(type_code, 1); });
    g->addWidget(type, 2, f + 1);
    g->addWidget(slope, 3, f + 1);
  }
  const char* band_rows[] = {"FREQ", "GAIN", "Q"};
  const char* initial[] = {"400Hz", "0.0dB", "1.00"};
  const int first_band_column = 4;
  for (int r = 0; r < 3; ++r) g->addWidget(plain_label(tr_text(band_rows[r]), box), r + 1, first_band_column - 1);
  for (std::size_t b = 0; b < band_names.size(); ++b) {
    const int column = first_band_column + static_cast<int>(b);
    g->addWidget(plain_label(band_names[b], box), 0, column);
    for (int r = 0; r < 3; ++r)
      g->addWidget(cell(box, band_code + 1 + 4 * static_cast<int>(b) + r, initial[r]), r + 1, column);
    g->setColumnStretch(column, 1);
  }
  for (int c : {1, 2}) g->setColumnStretch(c, 1);
  for (int r = 1; r <= 3; ++r) g->setRowStretch(r, 1);
  return box;
}

void tile_with_child::set_child(QWidget* w) {
  child_ = w;
  place();
}

void tile_with_child::resizeEvent(QResizeEvent* e) {
  tile::resizeEvent(e);
  place();
}

void tile_with_child::place() {
  if (!child_) return;
  const QRect value = tile_layout(size(), QFontMetrics(font()).height()).value;
  child_->setGeometry(value.adjusted(2, 2, -2, -2));
}

void panel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(to_qcolor(background_));
  p.drawRoundedRect(QRectF(rect()), 4, 4);
}

}  // namespace vorante::editor_parts
