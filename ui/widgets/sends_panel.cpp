#include "ui/widgets/sends_panel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/params/convert.h"
#include "app/params/ids.h"
#include "ui/foundation/assign.h"
#include "ui/widgets/box_cache.h"
#include "ui/widgets/strip_parts.h"
#include "ui/widgets/widget_colours.h"
#include "ui/widgets/widget_fonts.h"

namespace vorante {

namespace {

constexpr int send_slider_max = 100;
constexpr int send_text_px = 12;
constexpr int main_sends = 2;
constexpr QSize panel_default_size{128, 258};
constexpr int panel_gap = 8;
constexpr int panel_min_gap = 2;

constexpr rgb565 slider_border = 0xD6DB;
constexpr int slider_background_alpha = 76;
constexpr int slider_track_px = 4;
constexpr int slider_track_compact_px = 6;
constexpr int knob_padding = 3;   // knob overhang above and below the track
constexpr int knob_press_grow = 1;

constexpr rgb565 box_top = 0x4A49;
constexpr rgb565 box_bottom = 0x2945;
constexpr int box_radius = 4;
constexpr int box_border_alpha = 102;
constexpr int box_padding = 4;
constexpr int box_side_padding = 8;
constexpr int title_px = 14;
constexpr int item_gap = 6;

constexpr uint16_t pre_fader_flag = 0x8000;

constexpr std::array<const char*, send_group_count> group_names{"AUX", "FX", "MAIN"};

// A box's gradient card; in compact mode nothing is painted.
class send_box : public QWidget {
 public:
  send_box(QWidget* parent, bool framed) : QWidget(parent), framed_(framed) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    if (!framed_) return;
    QPainter p(this);
    p.drawImage(QPoint(0, 0), rounded_box(size(), {box_top, box_bottom, true, theme::card_border,
                                                   box_border_alpha, 1, box_radius}));
  }

 private:
  bool framed_;
};

// A title read from bottom to top, for boxes that keep their titles at the side.
class side_title : public QWidget {
 public:
  side_title(const QString& text, QWidget* parent) : QWidget(parent), text_(text) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
  }
  QSize sizeHint() const override {
    const QFontMetrics fm(font());
    return {fm.height(), fm.horizontalAdvance(text_)};
  }
  QSize minimumSizeHint() const override { return {sizeHint().width(), 0}; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setFont(font());
    p.setPen(to_qcolor(theme::white));
    p.translate(0, height());
    p.rotate(270);
    p.drawText(QRect(0, 0, height(), width()), Qt::AlignCenter, text_);
  }

 private:
  QString text_;
};
}  // namespace

// ---- send_slider ----

send_slider::send_slider(QWidget* parent) : touch_slider(parent, 0, send_slider_max, send_slider_max / 2) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

int send_slider::track_height() const { return compact_ ? slider_track_compact_px : slider_track_px; }

QSize send_slider::sizeHint() const {
  return {80, track_height() + 2 * knob_padding + knob_press_grow + 1};
}

QSize send_slider::minimumSizeHint() const { return {16, sizeHint().height()}; }

QRectF send_slider::track_rect() const {
  const double knob = track_height() + 2 * knob_padding;
  const double inset = knob / 2;
  return QRectF(inset, (height() - track_height()) / 2.0, std::max(0.0, width() - 2 * inset),
                track_height());
}

QRectF send_slider::knob_rect_of(int value) const {
  const QRectF t = track_rect();
  const double x = t.left() + t.width() * std::clamp(value, 0, send_slider_max) / send_slider_max;
  const double d = track_height() + 2 * knob_padding + (dragging() ? knob_press_grow : 0);
  return QRectF(x - d / 2, height() / 2.0 - d / 2, d, d);
}

void send_slider::set_colour(rgb565 c) {
  if (assign_changed(colour_, c)) update();
}

void send_slider::set_compact(bool on) {
  if (!assign_changed(compact_, on)) return;
  updateGeometry();
  update();
}

void send_slider::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF t = track_rect();
  // The bar runs the whole width; the knob's centre travels inside it by half a knob.
  const QRectF bar(0.5, t.top(), width() - 1.0, t.height());
  const qreal r = bar.height() / 2;
  p.setPen(QPen(to_qcolor(slider_border), 1));
  p.setBrush(to_qcolor(colour_, slider_background_alpha));
  p.drawRoundedRect(bar, r, r);
  const double x = t.left() + t.width() * value() / send_slider_max;
  p.setPen(Qt::NoPen);
  p.setBrush(to_qcolor(colour_));
  p.drawRoundedRect(QRectF(bar.left(), bar.top(), x - bar.left(), bar.height()), r, r);
  p.setPen(Qt::NoPen);
  p.setBrush(to_qcolor(theme::white));
  p.drawEllipse(knob_rect_of(value()));
}

void send_slider::drag_started(double x) {
  grab_x_ = x;
  grab_value_ = value();
}

void send_slider::dragged_to(double x) {
  const double w = track_rect().width();
  if (w <= 0) return;
  const double moved = (x - grab_x_) * send_slider_max / w;
  take_value(std::clamp(grab_value_ + static_cast<int>(std::lround(moved)), 0, send_slider_max));
}

// ---- sends_panel ----

sends_panel::sends_panel(QWidget* parent) : QWidget(parent) {
  setFont(ui_font(send_text_px));
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
  column_ = new QVBoxLayout(this);
  column_->setContentsMargins(0, 0, 0, 0);
  column_->setSpacing(panel_gap);
  // The boxes' heights follow the panel's, never the other way round.
  column_->setSizeConstraint(QLayout::SetNoConstraint);
  rebuild();
}

QSize sends_panel::sizeHint() const { return panel_default_size; }

void sends_panel::build(int aux_items, int fx_items) {
  if (aux_items < 1 || fx_items < 1) return;
  aux_items_ = aux_items;
  fx_items_ = fx_items;
  rebuild();
}

void sends_panel::set_vertical_titles(bool on) {
  if (assign_changed(vertical_titles_, on)) rebuild();
}

void sends_panel::set_compact(bool on) {
  if (assign_changed(compact_, on)) rebuild();
}

int sends_panel::item_count(int group) const {
  if (group < 0 || group >= send_group_count) return 0;
  return static_cast<int>(groups_[group].sliders.size());
}

send_slider* sends_panel::slider(int group, int item) const {
  if (item < 0 || item >= item_count(group)) return nullptr;
  return groups_[group].sliders[item];
}

QLabel* sends_panel::item_label(int group, int item) const {
  if (item < 0 || item >= item_count(group)) return nullptr;
  return groups_[group].labels[item];
}

QWidget* sends_panel::group_box(int group) const {
  if (group < 0 || group >= send_group_count) return nullptr;
  return groups_[group].box;
}

QWidget* sends_panel::make_box(int group, int items) {
  auto* box = new send_box(this, !compact_);
  box->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
  QBoxLayout* outer;
  if (vertical_titles_) {
    outer = new QHBoxLayout(box);
    outer->setContentsMargins(0, box_padding, box_padding, box_padding);
  } else {
    outer = new QVBoxLayout(box);
    outer->setContentsMargins(box_side_padding, box_padding, box_side_padding, box_padding);
  }
  outer->setSpacing(0);
  const QFont title_font = ui_font(compact_ ? send_text_px : title_px);
  const QString name = group_names[group];
  if (vertical_titles_) {
    auto* t = new side_title(name, box);
    t->setFont(title_font);
    outer->addWidget(t);
    groups_[group].title = t;
  } else {
    auto* t = new QLabel(name, box);
    t->setFont(title_font);
    set_text_colour(t, theme::white);
    outer->addWidget(t);
    groups_[group].title = t;
  }

  auto* rows = new QVBoxLayout;
  rows->setSpacing(0);
  outer->addLayout(rows, 1);
  group_parts& parts = groups_[group];
  for (int i = 0; i < items; ++i) {
    auto* row = new QHBoxLayout;
    row->setContentsMargins(item_gap, 0, 0, 0);
    row->setSpacing(item_gap);
    auto* s = new send_slider(box);
    s->set_compact(compact_);
    const QString text = group == send_group_main ? QString(i == 0 ? "L" : "R") : QString::number(i + 1);
    auto* label = new QLabel(text, box);
    set_text_colour(label, theme::white);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row->addWidget(s, 1);
    row->addWidget(label);
    rows->addLayout(row, 1);
    parts.sliders.push_back(s);
    parts.labels.push_back(label);
    connect(s, &send_slider::value_changed, this, [this, group, i](int v) { report(group, i, v); });
  }
  return box;
}

void sends_panel::rebuild() {
  for (group_parts& g : groups_) {
    delete g.box;
    g = group_parts{};
  }
  last_event_ = {};
  const std::array<int, send_group_count> counts{aux_items_, fx_items_, main_sends};
  for (int g = 0; g < send_group_count; ++g) {
    groups_[g].box = make_box(g, counts[g]);
    // share_height() gives each box its height.
    column_->addWidget(groups_[g].box);
    QSizePolicy sp = groups_[g].box->sizePolicy();
    sp.setRetainSizeWhenHidden(true);
    groups_[g].box->setSizePolicy(sp);
  }
  // All numbers take the width of the widest, so the sliders end in one column.
  int widest = 0;
  for (const group_parts& g : groups_)
    for (QLabel* l : g.labels) widest = std::max(widest, l->sizeHint().width());
  for (const group_parts& g : groups_)
    for (QLabel* l : g.labels) l->setFixedWidth(widest);
  apply_channel_visibility();
  share_height();
}

box_stack stack_boxes(int height, int gap, int min_gap, int row_min, const std::vector<int>& fixed,
                      const std::vector<int>& rows) {
  const std::size_t n = std::min(fixed.size(), rows.size());
  box_stack out;
  out.heights.assign(n, 0);
  if (n == 0) return out;
  const int gaps = static_cast<int>(n - 1);
  int needs = 0;
  int row_total = 0;
  for (std::size_t i = 0; i < n; ++i) {
    needs += fixed[i];
    row_total += std::max(0, rows[i]);
  }
  out.gap = gap;
  if (gaps > 0 && height - needs - row_total * row_min < gap * gaps)
    out.gap = std::clamp((height - needs - row_total * row_min) / gaps, std::min(min_gap, gap), gap);
  const int spare = std::max(0, height - needs - out.gap * gaps);
  const int row_h = row_total > 0 ? spare / row_total : 0;
  int extra = row_total > 0 ? spare % row_total : 0;
  for (std::size_t i = 0; i < n; ++i) {
    const int r = std::max(0, rows[i]);
    const int bonus = std::min(extra, r);
    extra -= bonus;
    out.heights[i] = fixed[i] + r * row_h + bonus;
  }
  return out;
}

// A title above the rows costs a box its line, so sharing by rows alone would squeeze the
// small boxes; each box gets its padding and title first and the rows share the rest.
void sends_panel::share_height() {
  std::vector<int> fixed;
  std::vector<int> rows;
  for (const group_parts& g : groups_) {
    const QMargins m = g.box->layout()->contentsMargins();
    int f = m.top() + m.bottom();
    if (!vertical_titles_ && g.title) f += g.title->sizeHint().height();
    fixed.push_back(f);
    rows.push_back(static_cast<int>(g.sliders.size()));
  }
  const int row_min = groups_[0].sliders.empty() ? 0 : groups_[0].sliders[0]->minimumSizeHint().height();
  const box_stack stack = stack_boxes(height(), panel_gap, panel_min_gap, row_min, fixed, rows);
  column_->setSpacing(stack.gap);
  for (std::size_t g = 0; g < stack.heights.size(); ++g) groups_[g].box->setFixedHeight(stack.heights[g]);
}

void sends_panel::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  share_height();
}

void sends_panel::set_channel(int kind, int index) {
  kind_ = kind;
  index_ = index;
  apply_channel_visibility();
}

void sends_panel::apply_channel_visibility() {
  const bool any = kind_ != kind_bus;
  groups_[send_group_aux].box->setVisible(any);
  groups_[send_group_fx].box->setVisible(any && kind_ != kind_fx);
  groups_[send_group_main].box->setVisible(any);
}

bool sends_panel::param_changed(unsigned id, std::uint16_t raw) {
  if (!is_valid_id(id)) return false;
  const param_info p = info_of(id);
  if (p.kind != kind_ || p.value_type != value_type::send_level) return false;
  const bool right_member = is_fixed_stereo_left(kind_, index_) && p.index == index_ + 1;
  if (p.index != index_ && !right_member) return false;

  int group = -1;
  int item = 0;
  const int code = p.code;
  auto in = [&](int first, int count) { return code >= first && code < first + count; };
  if (kind_ == kind_input) {
    if (in(code_input_aux_send, aux_items_)) group = send_group_aux, item = code - code_input_aux_send;
    else if (in(code_input_main_l_send, main_sends)) group = send_group_main, item = code - code_input_main_l_send;
    else if (in(code_input_fx_send, fx_items_)) group = send_group_fx, item = code - code_input_fx_send;
  } else if (kind_ == kind_fx) {
    if (in(code_fx_aux_send, aux_items_)) group = send_group_aux, item = code - code_fx_aux_send;
    else if (in(code_fx_main_l_send, main_sends)) group = send_group_main, item = code - code_fx_main_l_send;
  }
  send_slider* s = slider(group, item);
  if (!s) return false;
  s->set_value(position_of(value_type::send_level, raw));
  s->set_colour((raw & pre_fader_flag) ? send_pre_colour : send_post_colour);
  return true;
}

void sends_panel::report(int group, int item, int value) {
  // Each slider reports only its own changes: a second slider arriving at the value the
  // first one left must still be written.
  send_slider* s = slider(group, item);
  last_event_ = {1, s, item, group};
  last_value_ = value;
  last_relative_ = static_cast<double>(value) / send_slider_max;
  emit send_changed(group, item, value);
}

}  // namespace vorante
