#include "ui/widgets/gallery_page.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <array>

#include "app/core/translate.h"
#include "ui/foundation/colour.h"
#include "ui/widgets/box_cache.h"
#include "ui/widgets/button.h"
#include "ui/widgets/dyn_curves.h"
#include "ui/widgets/gr_meter.h"
#include "ui/widgets/text_entry.h"
#include "ui/widgets/tile.h"
#include "ui/widgets/toast.h"
#include "ui/widgets/toggle_button.h"
#include "ui/widgets/widget_fonts.h"
#include "ui/widgets/ui_text.h"

namespace vorante {

namespace {

constexpr rgb565 panel_background = 0x0925;
constexpr rgb565 panel_border = 0x2B2E;
constexpr rgb565 caption_colour = 0x9E7B;
constexpr int panel_radius = 8;
constexpr int busy_demo_ms = 2000;
constexpr int toast_demo_ms = 1500;

QLabel* caption(const QString& text, QWidget* parent, int px = 14) {
  auto* l = new QLabel(text, parent);
  l->setFont(ui_font(px));
  QPalette pal = l->palette();
  pal.setColor(QPalette::WindowText, to_qcolor(caption_colour));
  l->setPalette(pal);
  return l;
}

// A titled, rounded panel grouping one widget family.
class panel : public QWidget {
 public:
  panel(const QString& title, QWidget* parent) : QWidget(parent) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(14, 10, 14, 14);
    column->setSpacing(10);
    auto* heading = new QLabel(title, this);
    heading->setFont(ui_font(16, true));
    column->addWidget(heading);
    body = new QWidget(this);
    column->addWidget(body, 1);
  }

  QWidget* body;

  // The body's layout: edge to edge, `spacing` px between its items.
  template <class layout_type>
  layout_type* lay_out_body(int spacing) {
    auto* l = new layout_type(body);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(spacing);
    return l;
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.drawImage(QPoint(0, 0),
                rounded_box(size(), {panel_background, panel_background, true, panel_border, 255, 1, panel_radius}));
  }
};

// A name shown as text; a touch opens the text entry over it.
class name_label : public QLabel {
 public:
  explicit name_label(QWidget* parent) : QLabel(parent) {
    setFont(ui_font(default_text_px));
    setFixedSize(300, 40);
    setIndent(10);
    setCursor(Qt::IBeamCursor);
    setStyleSheet("QLabel { background: #393C42; border: 1px solid #5A5D5A; border-radius: 4px; }");
    set_name("CH1");
  }

  void set_name(const QString& name) {
    name_ = name;
    setText(tr_text("Name:%s").replace("%s", name));
  }

 protected:
  void mousePressEvent(QMouseEvent*) override {
    text_entry_request r;
    r.target = this;
    r.flags = entry_touch_commits;
    r.initial_text = name_;
    r.callback = [](QWidget* target, std::uint16_t, std::uint16_t, void*, const std::string& text) {
      static_cast<name_label*>(target)->set_name(QString::fromStdString(text));
    };
    text_entry_open(r);
  }

 private:
  QString name_;
};

constexpr std::array<const char*, 5> button_type_names{"BLUE", "MUTE", "SOLO", "GREEN", "LINK"};

QWidget* buttons_panel(QWidget* parent) {
  auto* p = new panel(tr_text("BUTTONS"), parent);
  auto* grid = p->lay_out_body<QGridLayout>(12);
  grid->setVerticalSpacing(10);
  const std::array<const char*, 5> columns{"NORMAL", "PRESSED", "CHECKED", "DISABLED", "PROGRESS"};
  for (int c = 0; c < static_cast<int>(columns.size()); ++c)
    grid->addWidget(caption(tr_text(columns[c]), p->body, 12), 0, c + 1, Qt::AlignHCenter);

  for (int t = 0; t < static_cast<int>(button_type_names.size()); ++t) {
    grid->addWidget(caption(QString("TYPE %1").arg(t), p->body), t + 1, 0);
    for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
      auto* b = new button(p->body);
      b->set_type(t);
      b->set_text(tr_text(button_type_names[t]));
      b->setCheckable(true);
      if (c == 1) b->setDown(true);
      if (c == 2) b->setChecked(true);
      if (c == 3) b->setEnabled(false);
      if (c == 4) b->set_progress(20 * (t + 1) - 10);
      grid->addWidget(b, t + 1, c + 1, Qt::AlignCenter);
    }
  }
  // Released colours of their own, as the channel colours give them.
  const int row = static_cast<int>(button_type_names.size()) + 1;
  grid->addWidget(caption("COLOUR", p->body), row, 0);
  const std::array<rgb565, 5> colours{0xE002, 0x2567, 0x34DF, 0xF4C0, 0x8050};
  const std::array<const char*, 5> names{"IN1", "CH2", "CH3", "CH4", "CH5"};
  for (int i = 0; i < static_cast<int>(colours.size()); ++i) {
    auto* b = new button(p->body);
    b->set_colour(colours[i]);
    b->set_text(tr_text(names[i]));
    grid->addWidget(b, row, i + 1, Qt::AlignCenter);
  }
  grid->setColumnStretch(6, 1);
  return p;
}

QWidget* toggles_panel(QWidget* parent) {
  auto* p = new panel(tr_text("TOGGLES"), parent);
  auto* grid = p->lay_out_body<QGridLayout>(10);
  grid->addWidget(caption(tr_text("OFF"), p->body), 0, 0);
  grid->addWidget(caption(tr_text("ON"), p->body), 1, 0);
  grid->addWidget(caption(tr_text("PROGRESS"), p->body), 2, 0);
  for (int t = 0; t < 8; ++t) {
    for (int row = 0; row < 3; ++row) {
      auto* b = new toggle_button(p->body);
      b->set_type(t);
      b->set_text(QString::number(t));
      b->setChecked(row >= 1);
      if (row == 2) b->set_progress(100 * t / 7);
      b->setFixedSize(56, 40);
      grid->addWidget(b, row, t + 1);
    }
  }
  grid->setColumnStretch(9, 1);
  return p;
}

QWidget* tiles_panel(QWidget* parent) {
  auto* p = new panel(tr_text("TILES"), parent);
  auto* row = p->lay_out_body<QHBoxLayout>(10);
  struct tile_case {
    const char* title;
    const char* value;
    bool checked;
    bool pressed;
    bool enabled;
  };
  const std::array<tile_case, 6> cases{{
      {"GAIN", "+12.0dB", false, false, true},
      {"THRESHOLD", "-20.0dB", true, false, true},
      {"RATIO", "4.0:1", false, true, true},
      {"ATTACK", "10ms", false, false, true},
      {"DELAY", "", false, false, true},
      {"PAN", "C", false, false, false},
  }};
  for (const tile_case& c : cases) {
    auto* t = new tile(p->body);
    t->setCheckable(true);
    t->set_title(tr_text(c.title));
    t->set_value(c.value);
    t->setChecked(c.checked);
    if (c.pressed) t->setDown(true);
    t->setEnabled(c.enabled);
    row->addWidget(t);
  }
  row->addStretch(1);
  return p;
}

QWidget* meters_panel(QWidget* parent) {
  auto* p = new panel(tr_text("GAIN REDUCTION"), parent);
  auto* row = p->lay_out_body<QHBoxLayout>(22);
  row->setAlignment(Qt::AlignTop);
  for (int v : {0, 10, 25, 50, 75, 100}) {
    auto* column = new QVBoxLayout();
    column->setSpacing(6);
    auto* m = new gr_meter(p->body);
    m->set_value(v);
    column->addWidget(m, 0, Qt::AlignHCenter);
    column->addWidget(caption(QString::number(v), p->body, 12), 0, Qt::AlignHCenter);
    row->addLayout(column);
  }
  row->addStretch(1);
  return p;
}

// Gate and compressor curves as the editors show them: full, disabled, compact.
QWidget* dynamics_panel(QWidget* parent) {
  auto* p = new panel(tr_text("DYNAMICS"), parent);
  auto* grid = new QGridLayout(p->body);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(8);
  const std::vector<dyn_mark> axis = comp_editor_marks();
  for (int form = 0; form < 2; ++form) {
    auto* gate = new gate_curve(p->body);
    auto* comp = new comp_curve(p->body, axis, axis);
    gate->set_curve_colour(gate_curve_colour);
    comp->set_curve_colour(comp_curve_colour);
    comp->set_gain(4);
    for (dyn_curve* c : {static_cast<dyn_curve*>(gate), static_cast<dyn_curve*>(comp)}) {
      c->setFont(ui_font(12));
      c->set_radius(6);
      c->setFixedSize(form == 0 ? QSize(200, 150) : QSize(96, 72));
      c->set_compact(form == 1);
    }
    if (form == 1) comp->set_curve_enabled(false);
    grid->addWidget(gate, 0, 2 * form, Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(comp, 0, 2 * form + 1, Qt::AlignLeft | Qt::AlignTop);
  }
  grid->setColumnStretch(4, 1);
  grid->setRowStretch(1, 1);
  return p;
}

QWidget* overlays_panel(QWidget* parent) {
  auto* p = new panel(tr_text("OVERLAYS"), parent);
  auto* column = p->lay_out_body<QVBoxLayout>(12);

  auto* toasts = new QHBoxLayout();
  toasts->setSpacing(12);
  struct toast_case {
    const char* text;
    rgb565 colour;
    bool modal;
  };
  const std::array<toast_case, 3> cases{{
      {"SAVE SUCCESS!", theme::success, false},
      {"CALL FAIL!", theme::failure, false},
      {"Please select a scene!", theme::hint, true},
  }};
  const std::array<button_type, 3> types{button_type::green, button_type::mute, button_type::solo};
  for (int i = 0; i < static_cast<int>(cases.size()); ++i) {
    auto* b = new button(p->body);
    b->setFixedSize(190, 44);
    b->set_type(types[i]);
    b->set_text(tr_text(cases[i].text));
    b->setFont(ui_font(14));
    const toast_case c = cases[i];
    QObject::connect(b, &QAbstractButton::clicked, b, [c] {
      show_toast(tr_text(c.text), c.colour, toast_demo_ms, c.modal);
    });
    toasts->addWidget(b);
  }
  auto* busy = new button(p->body);
  busy->setFixedSize(190, 44);
  busy->set_text(tr_text("COPYING..."));
  busy->setFont(ui_font(14));
  QObject::connect(busy, &QAbstractButton::clicked, busy, [busy] {
    show_busy(tr_text("COPYING..."));
    call_later(busy_demo_ms, busy, [] { hide_busy(); });
  });
  toasts->addWidget(busy);
  toasts->addStretch(1);
  column->addLayout(toasts);

  auto* entry = new QHBoxLayout();
  entry->setSpacing(12);
  entry->addWidget(new name_label(p->body));
  entry->addWidget(caption(tr_text("RENAME"), p->body));
  entry->addWidget(caption(tr_text("(touch the name to edit it)"), p->body, 12));
  entry->addStretch(1);
  column->addLayout(entry);
  column->addStretch(1);
  return p;
}

}  // namespace

QWidget* create_gallery_page(QWidget* parent, int) {
  auto* page = new QWidget(parent);
  page->setObjectName(gallery_page_name);
  page->resize(gallery_page_width, gallery_page_height);
  page->setAutoFillBackground(true);
  QPalette pal = page->palette();
  pal.setColor(QPalette::Window, to_qcolor(theme::screen_background));
  pal.setColor(QPalette::WindowText, to_qcolor(theme::white));
  page->setPalette(pal);

  auto* grid = new QGridLayout(page);
  grid->setContentsMargins(12, 12, 12, 12);
  grid->setSpacing(12);
  grid->addWidget(buttons_panel(page), 0, 0, 2, 1);
  grid->addWidget(toggles_panel(page), 0, 1);
  grid->addWidget(tiles_panel(page), 1, 1);
  auto* bottom = new QHBoxLayout();
  bottom->setSpacing(12);
  QWidget* meters = meters_panel(page);
  meters->setFixedWidth(330);
  bottom->addWidget(meters);
  auto* right = new QVBoxLayout();
  right->setSpacing(12);
  right->addWidget(overlays_panel(page));
  right->addWidget(dynamics_panel(page), 1);
  bottom->addLayout(right, 1);
  grid->addLayout(bottom, 2, 0, 1, 2);
  grid->setRowStretch(2, 1);
  grid->setColumnStretch(1, 1);
  return page;
}

}  // namespace vorante
