#include "ui/screens/editors/edit_cont.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include "app/core/translate.h"
#include "app/params/convert.h"
#include "app/params/names.h"
#include "app/protocol/session.h"
#include "ui/foundation/res_images.h"
#include "ui/foundation/resource_volume.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_table.h"
#include "ui/screens/editors/edit_input.h"
#include "ui/screens/editors/editor_parts.h"
#include "ui/screens/mixer/brief_cont.h"
#include "ui/widgets/bank_nav.h"
#include "ui/widgets/widget_fonts.h"
#include "ui/widgets/ui_text.h"

namespace vorante {

namespace {

constexpr int kind_label_px = 14;
constexpr int name_label_px = 16;
constexpr int link_icon_margin = 4;
constexpr int navigator_stretch = 2;

QString qstring(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

const char* kind_name(int kind) {
  switch (kind) {
    case kind_input: return "INPUT";
    case kind_fx: return "EFFECT";
    case kind_bus: return "OUTPUT";
    case kind_dca: return "DCA";
    default: return "";
  }
}

QLabel* white_label(const QString& text, int px, QWidget* parent) {
  QLabel* l = editor_parts::plain_label(text, parent, px);
  l->setAttribute(Qt::WA_TransparentForMouseEvents);
  return l;
}

// The red close button with its white cross.
class close_button_widget : public QAbstractButton {
 public:
  explicit close_button_widget(QWidget* parent) : QAbstractButton(parent) {
    setObjectName("edit_close");
    setFixedWidth(edit_close_width);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(to_qcolor(edit_close_background));
    p.drawRoundedRect(QRectF(rect()), edit_title_radius, edit_title_radius);
    const QImage icon = image_file_load_recoloured(res_path(edit_close_icon), Qt::white);
    p.drawImage(QPoint((width() - icon.width()) / 2, (height() - icon.height()) / 2), icon);
  }
};

// A plain painted box; `clicked` runs on a click inside it.
class box_widget : public QWidget {
 public:
  box_widget(rgb565 background, bool bordered, QWidget* parent)
      : QWidget(parent), background_(background), bordered_(bordered) {}
  std::function<void()> clicked;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(bordered_ ? QPen(to_qcolor(edit_title_border), 1) : Qt::NoPen);
    p.setBrush(bordered_ ? QBrush(Qt::NoBrush) : QBrush(to_qcolor(background_)));
    const QRectF r = bordered_ ? QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5) : QRectF(rect());
    p.drawRoundedRect(r, edit_title_radius, edit_title_radius);
  }
  void mousePressEvent(QMouseEvent* e) override {
    if (clicked) e->accept();
    else QWidget::mousePressEvent(e);
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (clicked && rect().contains(e->position().toPoint())) clicked();
  }

 private:
  rgb565 background_;
  bool bordered_;
};

}  // namespace

edit_cont_frame::edit_cont_frame(QWidget* parent, page_env& env)
    : container_page(parent, page_edit_cont, env), env_(env) {
  setObjectName("edit_cont");
  remembered_.fill(-1);
  QVBoxLayout* column = editor_parts::column_of(this, 0);

  auto* bar = new QWidget(this);
  bar->setObjectName("edit_top_bar");
  bar->setFixedHeight(edit_top_bar_height);
  QHBoxLayout* row = editor_parts::row_of(bar, edit_top_bar_gap);

  // Close button and title box.
  auto* block = new QWidget(bar);
  block->setFixedWidth(edit_title_block_width);
  QHBoxLayout* block_row = editor_parts::row_of(block, edit_top_bar_gap);
  close_ = new close_button_widget(block);
  connect(close_, &QAbstractButton::clicked, this, [this] { close_clicked(); });
  block_row->addWidget(close_);

  auto* title_box = new box_widget(0, true, block);
  auto* title_row = new QHBoxLayout(title_box);
  title_row->setContentsMargins(1, 1, 1, 1);
  title_row->setSpacing(0);
  link_icon_ = new QLabel(title_box);
  link_icon_->setObjectName("edit_link_icon");
  link_icon_->setAlignment(Qt::AlignCenter);
  link_icon_->setContentsMargins(link_icon_margin, 0, link_icon_margin, 0);
  title_row->addWidget(link_icon_);
  auto* separator = new box_widget(edit_title_border, false, title_box);
  separator->setFixedWidth(1);
  title_row->addWidget(separator);
  auto* title = new box_widget(edit_title_background, false, title_box);
  title->setObjectName("edit_title");
  title->clicked = [this] { title_clicked(); };
  title_area_ = title;
  QVBoxLayout* labels = editor_parts::column_of(title, 0);
  labels->addStretch(1);
  kind_label_ = white_label(tr_text("INPUT"), kind_label_px, title);
  name_label_ = white_label(tr_text("IN1"), name_label_px, title);
  labels->addWidget(kind_label_);
  labels->addWidget(name_label_);
  labels->addStretch(1);
  title_row->addWidget(title, 1);
  block_row->addWidget(title_box, 1);
  row->addWidget(block);

  // Bank groups 0..2, the navigator, groups 3, 4 and "MAIN".
  auto* selector = new QHBoxLayout();
  selector->setSpacing(edit_selector_gap);
  groups_.setExclusive(true);
  auto add_group = [&](int g) {
    auto* b = new bank_group(bar);
    b->setObjectName(QString("edit_group_%1").arg(g));
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    b->setMinimumWidth(0);
    if (g == editor_main_group) {
      b->set_title(tr_text("MAIN"));
    } else {
      const std::string_view name = fader_banks[static_cast<std::size_t>(g)].name;
      b->set_title(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    }
    const int slot_total = editor_group_slots(g);
    b->set_bar_count(slot_total);
    for (int s = 0; s < slot_total; ++s) {
      const channel_ref c = editor_group_channel(g, s);
      b->set_bar_hidden(s, !logical_fitted(logical_of(c.kind, c.index)));
    }
    groups_.addButton(b, g);
    selector->addWidget(b, 1);
  };
  for (int g = 0; g < 3; ++g) add_group(g);
  nav_ = new channel_nav(bar);
  nav_->setObjectName("edit_navigator");
  nav_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  nav_->setMinimumWidth(0);
  nav_->set_callback([this](int which) { step(which == 0 ? -1 : 1); });
  selector->addWidget(nav_, navigator_stretch);
  for (int g = 3; g < editor_group_count; ++g) add_group(g);
  // Only a click selects; highlighting from open() does not.
  connect(&groups_, &QButtonGroup::idClicked, this, [this](int g) { select_group(g); });
  row->addLayout(selector, 1);

  column->addWidget(bar);
  column->addWidget(host(), 1);

  show_link_state(env.nav.link_online());
  connect(&env.nav, &navigator::link_state_shown, this, [this](bool online) { show_link_state(online); });

  // The input editor is there from the start; open() is what puts it on a channel.
  host()->show_page(page_edit_input, show_without_open);
}

bank_group* edit_cont_frame::group(int n) const { return static_cast<bank_group*>(groups_.button(n)); }

QString edit_cont_frame::kind_text() const { return kind_label_->text(); }

QString edit_cont_frame::name_text() const { return name_label_->text(); }

void edit_cont_frame::show_link_state(bool online) {
  link_online_ = online;
  link_icon_->setPixmap(QPixmap::fromImage(link_state_icon(online)));
}

void edit_cont_frame::page_shown() {
  show_link_state(env_.nav.link_online());
  const param_store& store = env_.session.store;
  for (int logical = 0; logical < logical_count; ++logical) {
    const std::optional<channel_ref> c = channel_of(logical);
    if (!c) continue;
    const uint16_t id = param_id(c->kind, c->index, code_fader);
    // Only the bars: the editor about to be opened pushes its own channel.
    if (is_valid_id(id) && id != no_param_id) show_fader(id, store.get(id));
  }
}

void edit_cont_frame::highlight(int g) {
  if (QAbstractButton* b = groups_.button(g)) b->setChecked(true);
}

void edit_cont_frame::show_name(int logical, const QString& stored) {
  const std::optional<channel_ref> c = channel_of(logical);
  if (!c) return;
  const QString text = qstring(channel_display_name(c->kind, c->index, stored.toStdString()));
  name_label_->setText(text);
  nav_->set_name(text);
}

void edit_cont_frame::open(int logical) {
  std::optional<channel_ref> c = channel_of(logical);
  // The editor of a stereo pair is the left member's.
  if (c && is_fixed_stereo_right(c->kind, c->index)) {
    --c->index;
    logical = logical_of(c->kind, c->index);
  }
  current_ = logical;
  if (c && c->kind >= kind_input && c->kind <= kind_dca) {
    host()->show_page(page_edit_input - 1 + c->kind, c->index);
    env_.nav.editor_channel_changed(c->kind, c->index);
    kind_label_->setText(tr_text(kind_name(c->kind)));
    show_name(logical, qstring(env_.session.engine.names().channel_name(logical)));
  }

  const int g = editor_group_of(logical);
  if (g == editor_main_group) {
    highlight(editor_main_group);
  } else {
    if (g >= 0 && g != env_.nav.current_bank()) env_.nav.set_current_bank(g);
    highlight(env_.nav.current_bank());
  }
  env_.nav.refresh_lights();
  // Only a channel is worth remembering: a group opens what it holds.
  if (c) {
    const int highlighted = groups_.checkedId();
    if (highlighted >= 0) remembered_[static_cast<std::size_t>(highlighted)] = logical;
  }
}

void edit_cont_frame::select_group(int g) {
  if (g < 0 || g >= editor_group_count) return;
  if (g < bank_count) env_.nav.set_current_bank(g);
  const int target = editor_group_target(g, remembered_[static_cast<std::size_t>(g)]);
  if (const std::optional<channel_ref> c = channel_of(target)) env_.nav.open_editor(c->kind, c->index);
  env_.nav.refresh_lights();
}

void edit_cont_frame::step(int direction) { open(editor_nav_step(current_, direction)); }

void edit_cont_frame::close_clicked() { env_.nav.go_to_strips(current_); }

void edit_cont_frame::title_clicked() {
  if (auto* input = qobject_cast<edit_input_page*>(host()->hosted(page_edit_input))) input->return_to_overview();
}

void edit_cont_frame::show_fader(uint16_t id, uint16_t value) {
  const param_info info = info_of(id);
  if (!is_valid_id(id) || info.value_type != value_type::fader_level) return;
  const bool fader = (info.kind == kind_input && info.code == code_input_fader) ||
                     (info.kind == kind_fx && info.code == code_fx_fader) ||
                     (info.kind == kind_dca && info.code == code_dca_fader) ||
                     (info.kind == kind_bus && info.code == code_bus_fader);
  if (!fader) return;
  const int g = editor_group_of(logical_of(info.kind, info.index));
  if (g < 0) return;
  for (int s = 0; s < editor_group_slots(g); ++s)
    if (editor_group_channel(g, s) == channel_ref{info.kind, info.index})
      group(g)->set_bar(s, position_of(value_type::fader_level, value));
}

void edit_cont_frame::on_param(uint16_t id, uint16_t value, bool pushed) {
  show_fader(id, value);
  container_page::on_param(id, value, pushed);
}

void edit_cont_frame::on_name(int logical, const QString& text) {
  if (logical == current_) show_name(logical, text);
  container_page::on_name(logical, text);
}

page* create_edit_cont(QWidget* parent, page_env& env, int id) {
  (void)id;
  return new edit_cont_frame(parent, env);
}

}  // namespace vorante
