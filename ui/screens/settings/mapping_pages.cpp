// The channel mapping views and the headphone monitoring view.
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/params/names.h"
#include "app/params/store.h"
#include "app/protocol/session.h"
#include "app/settings/routing_rules.h"
#include "ui/pages/page_table.h"
#include "ui/screens/settings/routing_pages.h"
#include "ui/screens/settings/settings_widgets.h"
#include "ui/widgets/channel_button.h"
#include "ui/widgets/widget_fonts.h"

namespace vorante {

namespace {

constexpr int refresh_delay_ms = 50;
constexpr int hardware_button_height = 48;
constexpr int logical_button_height = 64;
constexpr int bank_size = 8;
constexpr int mapping_inputs = 16;
constexpr int mapping_buses = 8;
constexpr int phones_header_width = 80;

bool fitted(int kind, int index) { return !logical_slot_of(logical_of(kind, index)).not_fitted; }

QString default_name(int kind, int index) { return QString::fromStdString(default_channel_name(kind, index)); }

// A run of buttons, a new row at each bank's first; hidden when not fitted.
template <typename B>
std::vector<B*> button_rows(QWidget* parent, QVBoxLayout* column, int kind, int count, int height) {
  std::vector<B*> out;
  auto* grid = new QGridLayout;
  grid->setSpacing(8);
  for (int n = 0; n < count; ++n) {
    auto* b = new B(parent);
    b->setMinimumHeight(height);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Minimum);
    b->setVisible(fitted(kind, n));
    grid->addWidget(b, n / bank_size, n % bank_size);
    out.push_back(b);
  }
  column->addLayout(grid);
  return out;
}

QLabel* section_title(QWidget* parent, const char* text) {
  QLabel* l = make_label(parent, tr_text(text), small_title_px);
  l->setAlignment(Qt::AlignCenter);
  return l;
}

}  // namespace

// --- channel mapping ------------------------------------------------------------------

channel_mapping_page::channel_mapping_page(QWidget* parent, page_env& env, bool outputs)
    : page(parent, outputs ? page_set_output : page_set_input), env_(env), outputs_(outputs) {
  setObjectName(outputs ? "set_output" : "set_input");
  auto* column = settings_column(this, 4, 24);
  column->addStretch(1);
  const int count = outputs ? mapping_buses : mapping_inputs;

  column->addWidget(section_title(this, "HARDWARE CHANNEL"));
  for (button* b : button_rows<button>(this, column, kind(), count, hardware_button_height)) {
    b->setCheckable(true);
    b->set_text(default_name(kind(), static_cast<int>(hardware_buttons_.size())));
    hardware_.addButton(b, static_cast<int>(hardware_buttons_.size()));
    hardware_buttons_.push_back(b);
  }
  hardware_.setExclusive(true);

  column->addWidget(section_title(this, "LOGICAL CHANNEL"));
  logical_buttons_ = button_rows<channel_button>(this, column, kind(), count, logical_button_height);
  for (int n = 0; n < count; ++n) {
    logical_buttons_[static_cast<std::size_t>(n)]->set_main_text(default_name(kind(), n));
    connect(logical_buttons_[static_cast<std::size_t>(n)], &QAbstractButton::clicked, this,
            [this, n] { logical_clicked(n); });
  }

  auto* reset_row = new QHBoxLayout;
  reset_ = new button(this);
  reset_->setObjectName("reset");
  reset_->setFixedHeight(logical_button_height);
  reset_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  reset_row->addStretch(2);
  reset_row->addWidget(reset_, 1);
  reset_row->addStretch(2);
  column->addLayout(reset_row);
  column->addStretch(1);
  connect(reset_, &QAbstractButton::clicked, this, [this] {
    reset_range(env_.session.store, static_cast<uint16_t>(first_id()), id_count());
  });

  sources_timer_.setSingleShot(true);
  sources_timer_.setInterval(refresh_delay_ms);
  connect(&sources_timer_, &QTimer::timeout, this, &channel_mapping_page::show_sources);
  reset_->set_text(tr_text("RESET"));
  show_sources();
}

int channel_mapping_page::first_id() const { return outputs_ ? output_map_base_id : input_map_base_id; }
int channel_mapping_page::id_count() const { return outputs_ ? output_map_count : input_map_count; }
int channel_mapping_page::kind() const { return outputs_ ? kind_bus : kind_input; }

QAbstractButton* channel_mapping_page::hardware_button(int n) const {
  return n >= 0 && n < static_cast<int>(hardware_buttons_.size()) ? hardware_buttons_[static_cast<std::size_t>(n)] : nullptr;
}

channel_button* channel_mapping_page::logical_button(int n) const {
  return n >= 0 && n < static_cast<int>(logical_buttons_.size()) ? logical_buttons_[static_cast<std::size_t>(n)] : nullptr;
}

QAbstractButton* channel_mapping_page::reset_button() const { return reset_; }

void channel_mapping_page::logical_clicked(int n) {
  const int h = hardware_.checkedId();
  if (h < 0) return;
  if (outputs_)
    map_output(env_.session.store, h, n);
  else
    map_input(env_.session.store, n, h);
}

void channel_mapping_page::open(int) {
  for (int n = 0; n < id_count(); ++n) env_.session.store.refresh(static_cast<unsigned>(first_id() + n));
  for (int n = 0; n < static_cast<int>(logical_buttons_.size()); ++n)
    on_name(logical_of(kind(), n), QString::fromUtf8(env_.session.engine.names().channel_name(logical_of(kind(), n))));
  reset_->set_text(tr_text("RESET"));
}

void channel_mapping_page::on_param(uint16_t id, uint16_t, bool) {
  if (id >= first_id() && id < first_id() + id_count()) sources_timer_.start();
}

void channel_mapping_page::on_name(int logical, const QString& text) {
  for (int n = 0; n < static_cast<int>(logical_buttons_.size()); ++n)
    if (logical_of(kind(), n) == logical)
      logical_buttons_[static_cast<std::size_t>(n)]->set_main_text(text.isEmpty() ? default_name(kind(), n) : text);
}

void channel_mapping_page::show_sources() {
  const param_store& store = env_.session.store;
  for (channel_button* b : logical_buttons_) b->set_sub_text({});
  if (outputs_) {
    // The bus shows the hardware output it feeds.
    for (int h = 0; h < output_map_count; ++h) {
      const uint16_t v = store.get(output_map_base_id + static_cast<unsigned>(h));
      if (v >= 1 && v <= mapping_buses) logical_buttons_[v - 1u]->set_sub_text(default_name(kind_bus, h));
    }
    return;
  }
  for (int k = 0; k < static_cast<int>(logical_buttons_.size()); ++k) {
    const uint16_t v = store.get(input_map_base_id + static_cast<unsigned>(k));
    if (v >= 1 && v <= input_map_count) logical_buttons_[static_cast<std::size_t>(k)]->set_sub_text(default_name(kind_input, v - 1));
  }
}

// --- headphone monitoring -------------------------------------------------------------

namespace {

struct phones_group {
  const char* name;
  std::vector<channel_ref> members;
};

const std::array<phones_group, 5>& phones_groups() {
  static const std::array<phones_group, 5> groups{{
      {"CH1-8", {{1, 0}, {1, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}, {1, 6}, {1, 7}}},
      {"CH9-16", {{1, 8}, {1, 9}, {1, 10}, {1, 11}, {1, 12}, {1, 13}, {1, 14}, {1, 15}}},
      {"ST-FX", {{1, 16}, {1, 18}, {1, 24}, {2, 0}, {2, 1}}},
      {"AUX1-8", {{3, 0}, {3, 1}, {3, 2}, {3, 3}, {3, 4}, {3, 5}, {3, 6}, {3, 7}}},
      {"L MAIN R", {{3, main_l_bus}, {3, main_r_bus}}},
  }};
  return groups;
}
constexpr int main_group = 4;

toggle_button* phones_button(QWidget* parent, const char* text) {
  auto* b = new toggle_button(parent);
  b->setCheckable(true);
  b->set_text(tr_text(text));
  b->set_highlighted_text_colour(theme::black);
  b->setFont(ui_font(small_title_px));
  b->setMinimumHeight(40);
  b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  return b;
}

}  // namespace

phones_page::phones_page(QWidget* parent, page_env& env) : page(parent, page_set_phones), env_(env) {
  setObjectName("set_phones");
  auto* column = settings_column(this, 8, 8);
  for (int g = 0; g < static_cast<int>(phones_groups().size()); ++g) column->addWidget(make_group(g));
  column->addStretch(1);
  display_timer_.setSingleShot(true);
  display_timer_.setInterval(refresh_delay_ms);
  connect(&display_timer_, &QTimer::timeout, this, &phones_page::show_state);
  show_state();
}

QWidget* phones_page::make_group(int g) {
  const phones_group& group = phones_groups()[static_cast<std::size_t>(g)];
  auto* box = new colour_box(this, settings_background, 4, 153);
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(6, 4, 6, 4);
  row->setSpacing(6);
  const bool main = g == main_group;
  if (!main) {
    auto* header = new QWidget(box);
    header->setFixedWidth(phones_header_width);
    auto* hc = new QVBoxLayout(header);
    hc->setContentsMargins(0, 0, 0, 0);
    hc->setSpacing(6);
    QLabel* name = make_label(header, tr_text(group.name), small_title_px);
    name->setAlignment(Qt::AlignCenter);
    hc->addWidget(name);
    std::array<QAbstractButton*, 2> pair{};
    for (int n = 0; n < 2; ++n) {
      const bool pre = n == 0;
      auto* b = new button(header);
      b->set_text(tr_text(pre ? "PRE" : "POST"));
      b->setFont(ui_font(small_title_px));
      b->set_highlighted_text_colour(theme::black);
      b->setMinimumHeight(40);
      hc->addWidget(b);
      connect(b, &QAbstractButton::clicked, this, [this, g, pre] { set_group(g, pre); });
      pair[static_cast<std::size_t>(n)] = b;
    }
    group_buttons_.push_back(pair);
    row->addWidget(header);
    auto* line = new colour_box(box, theme::white);
    line->set_fill_alpha(153);
    line->setFixedWidth(2);
    row->addWidget(line);
  }
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(6);
  if (main) {
    QLabel* name = make_label(box, tr_text(group.name), small_title_px);
    name->setAlignment(Qt::AlignCenter);
    grid->addWidget(name, 0, 0, 1, 2);
  }
  int col = 0;
  for (const channel_ref& ch : group.members) {
    toggle_button* pre = phones_button(box, "PRE");
    toggle_button* post = phones_button(box, "POST");
    const bool shown = fitted(ch.kind, ch.index);
    if (!main) {
      QLabel* name = make_label(box, default_name(ch.kind, ch.index), small_title_px);
      name->setAlignment(Qt::AlignCenter);
      name->setVisible(shown);
      grid->addWidget(name, 0, col);
    }
    pre->setVisible(shown);
    post->setVisible(shown);
    grid->addWidget(pre, 1, col);
    grid->addWidget(post, 2, col);
    grid->setColumnStretch(col, 1);
    connect(pre, &QAbstractButton::clicked, this, [this, ch] {
      set_phones(env_.session.store, ch.kind, ch.index, true);
      show_state();
    });
    connect(post, &QAbstractButton::clicked, this, [this, ch] {
      set_phones(env_.session.store, ch.kind, ch.index, false);
      show_state();
    });
    channels_.push_back({ch.kind, ch.index, pre, post});
    ++col;
  }
  // The short groups keep the columns as wide as the full ones.
  for (int c = col; c < bank_size && !main; ++c) grid->setColumnStretch(c, 1);
  row->addLayout(grid, 1);
  if (main) row->addStretch(3);
  return box;
}

QAbstractButton* phones_page::group_button(int group, bool pre) const {
  if (group < 0 || group >= static_cast<int>(group_buttons_.size())) return nullptr;
  return group_buttons_[static_cast<std::size_t>(group)][pre ? 0 : 1];
}

void phones_page::set_group(int g, bool pre) {
  for (const channel_ref& ch : phones_groups()[static_cast<std::size_t>(g)].members)
    set_phones(env_.session.store, ch.kind, ch.index, pre);
  show_state();
}

void phones_page::page_shown() { show_state(); }
void phones_page::open(int) { show_state(); }

void phones_page::on_param(uint16_t id, uint16_t, bool) {
  const int kind = param_kind(id);
  if (kind >= kind_input && kind <= kind_bus && param_value_type(id) == value_type::send_level) display_timer_.start();
}

void phones_page::show_state() {
  for (const channel_row& c : channels_) {
    const bool pre = phones_pre(env_.session.store, c.kind, c.index);
    c.pre->setChecked(pre);
    c.post->setChecked(!pre);
  }
}

}  // namespace vorante
