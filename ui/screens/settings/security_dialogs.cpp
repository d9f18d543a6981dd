#include "ui/screens/settings/security_dialogs.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>
#include <memory>
#include <tuple>
#include <utility>

#include "app/params/ids.h"
#include "app/protocol/session.h"
#include "app/settings/factory_reset.h"
#include "app/settings/lock_flow.h"
#include "app/settings/password_form.h"
#include "ui/pages/named_button.h"
#include "ui/pages/navigator.h"
#include "ui/screens/settings/settings_widgets.h"
#include "ui/widgets/button.h"
#include "ui/widgets/overlay_layer.h"
#include "ui/widgets/text_entry.h"
#include "ui/widgets/toast.h"

namespace vorante {

namespace {

constexpr QSize lock_button_size{160, 48};
constexpr int lock_field_width = 272;
constexpr int dialog_button_height = 48;
constexpr int password_label_width = 200;
constexpr int refusal_toast_ms = 3000;
constexpr std::uint16_t entry_flags = entry_touch_commits | entry_empty_commits;

QPointer<navigator> the_nav;

void send_command(std::string_view text) {
  if (the_nav) the_nav->session().engine.device().send_config_command(text);
}

std::unique_ptr<lock_flow> make_flow() {
  return std::make_unique<lock_flow>(lock_flow::actions{send_command, [] {
                                       if (the_nav) the_nav->session().store.request(lock_state_id);
                                     }});
}

std::unique_ptr<lock_flow>& flow_slot() {
  static std::unique_ptr<lock_flow> f = make_flow();
  return f;
}

lock_flow& flow() { return *flow_slot(); }

// A full-window layer in the settings background.
class dialog_layer : public overlay_layer {
 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), to_qcolor(settings_background));
  }
};

// A layer that covers one widget (the page that opened it) and follows its size.
class covering_layer : public QWidget {
 public:
  explicit covering_layer(QWidget* over) : QWidget(over) {
    over->installEventFilter(this);
    setGeometry(over->rect());
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == parentWidget() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
  }
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), to_qcolor(settings_background));
  }
};

// A centred box of half the layer's width and height.
colour_box* half_box(QWidget* layer, int gap, QVBoxLayout*& content) {
  auto* grid = new QVBoxLayout(layer);
  auto* row = new QHBoxLayout;
  auto* box = new colour_box(layer, settings_box_background, 12);
  row->addStretch(1);
  row->addWidget(box, 2);
  row->addStretch(1);
  grid->addStretch(1);
  grid->addLayout(row, 2);
  grid->addStretch(1);
  content = new QVBoxLayout(box);
  content->setContentsMargins(12, 12, 12, 12);
  content->setSpacing(gap);
  content->setAlignment(Qt::AlignHCenter);
  return box;
}

button* dialog_button(QWidget* parent, const char* name, const char* english) {
  auto* b = named_button(parent, name, tr_text(english));
  b->setFixedHeight(dialog_button_height);
  b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  return b;
}

// Fills `row` with two dialog buttons that share its width, 24 px apart inside an 8 px margin.
std::pair<button*, button*> add_button_pair(QHBoxLayout* row, QWidget* parent, const char* first_name,
                                            const char* first_english, const char* second_name,
                                            const char* second_english) {
  row->setContentsMargins(8, 8, 8, 8);
  row->setSpacing(24);
  button* first = dialog_button(parent, first_name, first_english);
  button* second = dialog_button(parent, second_name, second_english);
  row->addWidget(first, 1);
  row->addWidget(second, 1);
  return {first, second};
}

// Opens the text entry over a field with an empty text.
void type_into(QLabel* field, std::function<void(const std::string&)> take) {
  text_entry_request r;
  r.target = field;
  r.flags = entry_flags;
  r.callback = [take = std::move(take)](QWidget*, std::uint16_t, std::uint16_t, void*, const std::string& text) {
    take(text);
  };
  text_entry_open(r);
}

// --- lock dialog ----------------------------------------------------------------------------

struct lock_widgets {
  QPointer<dialog_layer> layer;
  QLabel* field = nullptr;
  button* action = nullptr;
  button* cancel = nullptr;
};

lock_widgets& lock_ui() {
  static lock_widgets w;
  return w;
}

void sync_lock_dialog() {
  lock_widgets& w = lock_ui();
  if (!w.layer) return;
  const lock_flow& f = flow();
  w.field->setText(utf8_text(f.field_text()));
  w.action->set_text(tr_text(std::string(f.action_text()).c_str()));
  w.cancel->setVisible(f.cancel_shown());
  w.layer->setVisible(f.shown());
  if (!f.shown()) return;
  // Laid out at once, so that the dialog never shows a frame with its old buttons' places.
  w.layer->layout()->activate();
  w.layer->raise();
}

void make_lock_dialog() {
  lock_widgets& w = lock_ui();
  if (w.layer) {
    w.layer->attach();
    return;
  }
  w.layer = new dialog_layer();
  w.layer->setObjectName("lock_dialog");
  auto* column = new QVBoxLayout(w.layer);
  column->setSpacing(16);
  column->addStretch(1);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(make_label(w.layer, tr_text("Password:")));
  auto* field = new value_field(w.layer);
  field->setObjectName("lock_field");
  field->setFixedWidth(lock_field_width);
  row->addWidget(field);
  row->addStretch(1);
  column->addLayout(row);
  auto* buttons = new QHBoxLayout;
  buttons->setContentsMargins(8, 8, 8, 8);
  buttons->setSpacing(24);
  buttons->addStretch(1);
  w.action = dialog_button(w.layer, "lock_action", "Lock");
  w.action->setFixedSize(lock_button_size);
  w.cancel = dialog_button(w.layer, "lock_cancel", "Cancel");
  w.cancel->setFixedSize(lock_button_size);
  buttons->addWidget(w.action);
  buttons->addWidget(w.cancel);
  buttons->addStretch(1);
  column->addLayout(buttons);
  column->addStretch(1);
  w.field = field;

  QObject::connect(field, &value_field::clicked, field, [field] {
    type_into(field, [](const std::string& text) {
      flow().enter(text);
      sync_lock_dialog();
    });
  });
  QObject::connect(w.action, &QAbstractButton::clicked, w.action, [] {
    flow().act();
    sync_lock_dialog();
  });
  QObject::connect(w.cancel, &QAbstractButton::clicked, w.cancel, [] {
    flow().cancel();
    sync_lock_dialog();
  });
}

// --- password dialog ------------------------------------------------------------------------

struct password_widgets {
  QPointer<covering_layer> layer;
  std::array<QLabel*, password_form::field_count> fields{};
  button* change = nullptr;
  button* cancel = nullptr;
  password_form form;
};

password_widgets& password_ui() {
  static password_widgets w;
  return w;
}

void show_refusal(std::string_view english) {
  show_toast(tr_text(std::string(english).c_str()), theme::failure, refusal_toast_ms, true);
}

void make_password_dialog(QWidget* parent) {
  password_widgets& w = password_ui();
  if (w.layer) return;
  w.layer = new covering_layer(parent);
  w.layer->setObjectName("password_dialog");
  QVBoxLayout* content = nullptr;
  colour_box* box = half_box(w.layer, 16, content);
  content->addWidget(make_label(box, tr_text("Change Password"), large_font_px), 0, Qt::AlignHCenter);
  constexpr std::array<const char*, password_form::field_count> names{"Current Password:", "New Password:",
                                                                      "Confirm Password:"};
  for (int n = 0; n < password_form::field_count; ++n) {
    value_field* field = add_field_row(content, box, tr_text(names[static_cast<std::size_t>(n)]),
                                       password_label_width, QString("password_field_%1").arg(n), 8);
    w.fields[static_cast<std::size_t>(n)] = field;
    QObject::connect(field, &value_field::clicked, field, [field, n] {
      type_into(field, [field, n](const std::string& text) {
        password_widgets& pw = password_ui();
        if (const auto refusal = pw.form.commit(n, text)) {
          show_refusal(password_refusal_text(*refusal));
          return;
        }
        field->setText(utf8_text(pw.form.shown(n)));
      });
    });
  }
  auto* buttons = new QHBoxLayout;
  std::tie(w.change, w.cancel) =
      add_button_pair(buttons, box, "password_change", "Change Password", "password_cancel", "Cancel");
  content->addStretch(1);
  content->addLayout(buttons);
  QObject::connect(w.change, &QAbstractButton::clicked, w.change, [] {
    const auto outcome = password_ui().form.submit();
    if (std::holds_alternative<password_form::mismatch>(outcome)) {
      show_refusal(password_mismatch_text);
      return;
    }
    send_command(std::get<std::string>(outcome));
  });
  QObject::connect(w.cancel, &QAbstractButton::clicked, w.cancel, [] { hide_password_dialog(); });
}

// --- factory reset --------------------------------------------------------------------------

struct reset_widgets {
  QPointer<dialog_layer> layer;
  QLabel* question = nullptr;
  QLabel* progress = nullptr;
  button* ok = nullptr;
  button* cancel = nullptr;
  QWidget* buttons = nullptr;
  QPointer<QTimer> timer;
  factory_reset_counter counter;
};

reset_widgets& reset_ui() {
  static reset_widgets w;
  return w;
}

void reset_tick() {
  reset_widgets& w = reset_ui();
  if (w.progress) w.progress->setText(QString::fromUtf8(w.counter.tick().c_str()));
}

void start_reset() {
  reset_widgets& w = reset_ui();
  w.progress->show();
  w.question->hide();
  w.buttons->hide();
  w.layer->layout()->activate();
  if (the_nav) the_nav->session().engine.device().send_write_now(factory_reset_id, factory_reset_value);
  if (!w.counter.start()) return;
  w.timer->start(factory_reset_tick_ms);
  reset_tick();
}

void make_factory_reset() {
  reset_widgets& w = reset_ui();
  if (w.layer) {
    w.layer->attach();
    return;
  }
  w.layer = new dialog_layer();
  w.layer->setObjectName("factory_reset");
  QVBoxLayout* content = nullptr;
  colour_box* box = half_box(w.layer, 32, content);
  content->addStretch(1);
  w.question = make_label(box, tr_text(factory_reset_question), large_font_px);
  w.question->setObjectName("reset_question");
  content->addWidget(w.question, 0, Qt::AlignHCenter);
  w.progress = make_label(box, tr_text(factory_reset_waiting));
  w.progress->setObjectName("reset_progress");
  w.progress->setAlignment(Qt::AlignCenter);
  w.progress->hide();
  // Full width: its text grows each second and must never be cut.
  content->addWidget(w.progress);
  w.buttons = new QWidget(box);
  std::tie(w.ok, w.cancel) =
      add_button_pair(new QHBoxLayout(w.buttons), w.buttons, "reset_ok", "OK", "reset_cancel", "CANCEL");
  auto* share = new QHBoxLayout;
  share->addStretch(1);
  share->addWidget(w.buttons, 8);
  share->addStretch(1);
  content->addLayout(share);
  content->addStretch(1);
  w.timer = new QTimer(w.layer);
  QObject::connect(w.timer, &QTimer::timeout, w.layer, reset_tick);
  QObject::connect(w.ok, &QAbstractButton::clicked, w.ok, start_reset);
  QObject::connect(w.cancel, &QAbstractButton::clicked, w.cancel, close_factory_reset);
}

}  // namespace

void attach_security_dialogs(navigator& nav) {
  the_nav = &nav;
  // A new link starts unlocked: the lock state is the console's, heard from it afresh.
  flow_slot() = make_flow();
  sync_lock_dialog();
}

// --- lock ---

void open_lock_dialog(bool lock, bool force) {
  make_lock_dialog();
  flow().open(lock, force);
  sync_lock_dialog();
}

void console_lock_changed(bool locked) {
  const bool was_shown = flow().shown();
  flow().console_lock_changed(locked);
  if (flow().shown() && !was_shown) make_lock_dialog();
  sync_lock_dialog();
}

void hide_lock_dialog() {
  flow().hide();
  sync_lock_dialog();
}

bool console_lock_flag() { return flow().console_locked(); }

lock_dialog_parts lock_dialog() {
  const lock_widgets& w = lock_ui();
  return {w.layer.data(), w.field, w.action, w.cancel};
}

// --- password ---

void open_password_dialog(QWidget* parent) {
  if (parent == nullptr) return;
  make_password_dialog(parent);
  password_widgets& w = password_ui();
  w.form.clear();
  for (QLabel* f : w.fields) f->clear();
  w.layer->show();
  w.layer->raise();
}

void hide_password_dialog() {
  if (password_ui().layer) password_ui().layer->hide();
}

password_dialog_parts password_dialog() {
  const password_widgets& w = password_ui();
  password_dialog_parts parts;
  parts.dialog = w.layer.data();
  for (int n = 0; n < 3; ++n) parts.fields[n] = w.fields[static_cast<std::size_t>(n)];
  parts.change = w.change;
  parts.cancel = w.cancel;
  return parts;
}

// --- factory reset ---

void open_factory_reset(QWidget*) {
  make_factory_reset();
  reset_widgets& w = reset_ui();
  w.question->show();
  w.buttons->show();
  w.progress->hide();
  w.layer->show();
  w.layer->raise();
}

void close_factory_reset() {
  reset_widgets& w = reset_ui();
  if (!w.layer) return;
  w.layer->hide();
  if (w.timer) w.timer->stop();
  w.counter.stop();
}

factory_reset_parts factory_reset_dialog() {
  const reset_widgets& w = reset_ui();
  return {w.layer.data(), w.question, w.progress, w.ok, w.cancel, w.timer && w.timer->isActive()};
}

}  // namespace vorante
