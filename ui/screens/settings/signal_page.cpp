#include "ui/screens/settings/signal_page.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/params/convert.h"
#include "app/params/names.h"
#include "app/protocol/session.h"
#include "ui/pages/named_button.h"
#include "ui/pages/page_table.h"
#include "ui/screens/settings/settings_widgets.h"
#include "ui/widgets/button.h"
#include "ui/widgets/fader.h"
#include "ui/widgets/toggle_button.h"

namespace vorante {

namespace {

constexpr int refresh_ms = 50;
constexpr QSize on_size{64, 64};
constexpr QSize choice_size{160, 64};
constexpr QSize slider_size{80, 320};
constexpr int amber_type = 7;
constexpr std::array<const char*, 3> type_labels{"WHITE NOISE", "PINK NOISE", "SINE WAVE"};
constexpr uint16_t open_level = 1200;

// Unchecks every button of an exclusive group.
void clear_group(QButtonGroup& group) {
  QAbstractButton* b = group.checkedButton();
  if (!b) return;
  group.setExclusive(false);
  b->setChecked(false);
  group.setExclusive(true);
}

}  // namespace

signal_page::signal_page(QWidget* parent, page_env& env) : page(parent, page_signal), env_(env) {
  setObjectName("signal");
  auto* column = settings_column(this, 4, 24);
  column->addStretch(1);

  auto* top = new QHBoxLayout;
  top->setSpacing(24);
  auto* on = named_button<toggle_button>(this, "generator_on", tr_text("OFF"));
  on->setFixedSize(on_size);
  on_ = on;
  connect(on, &QAbstractButton::clicked, this, [this] {
    toggle_generator(env_.session.store);
    refresh();
  });
  top->addWidget(on);

  auto* choices = new QVBoxLayout;
  choices->setSpacing(24);
  auto* type_row = new QHBoxLayout;
  type_row->setSpacing(24);
  for (int t = 0; t < 3; ++t) {
    auto* b = named_button<toggle_button>(this, QString("generator_type_%1").arg(t + 1),
                                          tr_text(type_labels[static_cast<std::size_t>(t)]));
    b->setFixedSize(choice_size);
    types_.addButton(b, t + 1);
    type_row->addWidget(b);
  }
  connect(&types_, &QButtonGroup::idClicked, this, [this](int type) {
    if (!generator_state(env_.session.store).on) clear_group(types_);
    choose_generator_type(env_.session.store, type);
  });
  auto* choice_row = new QHBoxLayout;
  choice_row->setSpacing(24);
  for (int n = 0; n < 2; ++n) {
    auto* b = new toggle_button(this);
    b->setObjectName(n == 0 ? "generator_frequency" : "generator_level");
    b->setFixedSize(choice_size);
    b->set_type(amber_type);
    b->set_text(n == 0 ? tr_text("Frequency") + "\n1000Hz" : tr_text("Volume") + "\n0dB");
    choices_.addButton(b, n);
    choice_row->addWidget(b);
  }
  choice_row->addStretch(1);
  connect(&choices_, &QButtonGroup::idClicked, this,
          [this](int n) { bind(n == 0 ? generator_frequency_id : generator_level_id); });
  choices->addLayout(type_row);
  choices->addLayout(choice_row);
  top->addLayout(choices);

  slider_ = new fader(this);
  slider_->setObjectName("generator_slider");
  slider_->setFixedSize(slider_size);
  slider_->set_padding(8, 8);
  slider_->set_knob(fader_knob_normal);
  slider_->set_range(0, 100);
  connect(slider_, &fader::value_changed, this, &signal_page::slider_moved);
  top->addWidget(slider_);
  auto* top_row = new QHBoxLayout;
  top_row->addStretch(1);
  top_row->addLayout(top);
  top_row->addStretch(1);
  column->addLayout(top_row);

  // Outputs: a row 90 % wide, LEFT and RIGHT on a line of their own.
  auto* outputs = new QVBoxLayout;
  outputs->setSpacing(8);
  auto* bus_row = new QHBoxLayout;
  bus_row->setSpacing(8);
  auto* main_row = new QHBoxLayout;
  main_row->setSpacing(8);
  for (int o = 0; o < generator_output_count; ++o) {
    const bool main = o >= 8;
    auto* b = named_button<toggle_button>(
        this, QString("generator_output_%1").arg(o),
        main ? tr_text(o == 8 ? "LEFT" : "RIGHT") : utf8_text(default_channel_name(kind_bus, o)));
    b->setFixedHeight(64);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    if (!main && !channel_fitted(kind_bus, o)) b->hide();
    outputs_[static_cast<std::size_t>(o)] = b;
    connect(b, &QAbstractButton::clicked, this, [this, o] {
      toggle_generator_output(env_.session.store, o);
      refresh();
    });
    (main ? main_row : bus_row)->addWidget(b, 11);
  }
  bus_row->addStretch(100 - 11 * 8);
  main_row->addStretch(100 - 11 * 2);
  outputs->addLayout(bus_row);
  outputs->addLayout(main_row);
  auto* output_row = new QHBoxLayout;
  output_row->addStretch(5);
  output_row->addLayout(outputs, 90);
  output_row->addStretch(5);
  column->addLayout(output_row);
  column->addStretch(1);

  refresh_timer_.setSingleShot(true);
  refresh_timer_.setInterval(refresh_ms);
  connect(&refresh_timer_, &QTimer::timeout, this, &signal_page::refresh);
}

QAbstractButton* signal_page::on_button() const { return on_; }

void signal_page::bind(uint16_t id) {
  binding_.bind(id);
  // The ladder of the value type sets the travel; the slider works in positions 0..100.
  env_.session.store.refresh(id);
  show_slider();
}

void signal_page::show_slider() {
  if (binding_.bound() == 0) return;
  const unsigned id = binding_.bound();
  slider_->set_value(position_of(param_value_type(id), env_.session.store.get(id)));
}

void signal_page::slider_moved(double position) {
  const unsigned id = binding_.bound();
  if (id == 0) return;
  writing_ = true;
  env_.session.store.linked_set(id, raw_of_position(param_value_type(id), position / 100.0));
  writing_ = false;
}

void signal_page::console_encoder(int encoder, int delta) {
  if (encoder != 0 || binding_.bound() == 0) return;
  step_param(env_.session.store, binding_.bound(), delta, step_normal);
}

void signal_page::on_param(uint16_t id, uint16_t, bool) {
  if (id == generator_on_id || id == generator_type_id || (id >= generator_first_output_id && id <= generator_last_id))
    refresh_timer_.start();
  if (id == generator_frequency_id)
    static_cast<toggle_button*>(choices_.button(0))->set_text(tr_text("Frequency") + "\n" + utf8_text(value_text(env_.session.store, id)));
  if (id == generator_level_id)
    static_cast<toggle_button*>(choices_.button(1))->set_text(tr_text("Volume") + "\n" + utf8_text(value_text(env_.session.store, id)));
  if (id == binding_.bound() && !writing_) show_slider();
}

void signal_page::refresh() {
  const generator_view v = generator_state(env_.session.store);
  on_->setChecked(v.on);
  on_->set_text(tr_text(v.on ? "ON" : "OFF"));
  if (!v.on) {
    clear_group(types_);
    if (binding_.generator_off()) clear_group(choices_);
  } else if (QAbstractButton* b = types_.button(v.type)) {
    b->setChecked(true);
  } else {
    clear_group(types_);
  }
  for (int o = 0; o < generator_output_count; ++o) outputs_[static_cast<std::size_t>(o)]->setChecked(v.outputs[static_cast<std::size_t>(o)]);
}

void signal_page::page_shown() {
  for (unsigned id = generator_on_id; id <= generator_last_id; ++id) env_.session.store.refresh(id);
  refresh();
}

page* create_signal_page(QWidget* parent, page_env& env, int) { return new signal_page(parent, env); }

// --- factory_mode ----------------------------------------------------------------------

page* create_factory_mode_page(QWidget* parent, page_env& env, int) {
  auto* p = new page(parent, page_factory_mode);
  p->setObjectName("factory_mode");
  paint_settings_background(p);
  auto* column = new QVBoxLayout(p);
  column->setSpacing(24);
  column->addStretch(1);
  for (const bool open : {true, false}) {
    // Shown as they are in every language.
    auto* b = named_button(p, open ? "open_all_volumes" : "close_all_volumes",
                           QString::fromUtf8(open ? "打开所有音量" : "关闭所有音量"));
    b->setFixedSize(b->fontMetrics().horizontalAdvance(b->label_text()) * 2 + 24, 64);
    QObject::connect(b, &QAbstractButton::clicked, p,
                     [&env, open] { set_all_volumes(env.session.store, open ? open_level : 0); });
    column->addWidget(b, 0, Qt::AlignHCenter);
  }
  column->addStretch(1);
  return p;
}

}  // namespace vorante
