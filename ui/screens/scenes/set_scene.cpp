#include "ui/screens/scenes/set_scene.h"

#include <QAbstractButton>
#include <QEvent>
#include <QButtonGroup>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>
#include <atomic>
#include <cstdio>

#include "app/core/log.h"
#include "app/core/translate.h"
#include "app/os/safe_file.h"
#include "app/params/ids.h"
#include "app/protocol/config_texts.h"
#include "app/protocol/session.h"
#include "app/scenes/scene_diff.h"
#include "ui/foundation/fonts.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_table.h"
#include "ui/widgets/widget_colours.h"
#include "ui/screens/mixer/surface_keys.h"
#include "ui/widgets/text_entry.h"
#include "ui/widgets/text_list.h"
#include "ui/widgets/toast.h"
#include "ui/widgets/toggle_button.h"
#include "ui/widgets/ui_text.h"

namespace vorante {

namespace {

constexpr int page_padding = 24;
constexpr double area_share = 0.65;
constexpr double list_share = 0.75;
constexpr int grid_column_gap = 24;
constexpr int grid_row_gap = 2;
constexpr int row_gap = 3;
constexpr int row_padding = 4;
constexpr int row_item_gap = 8;
constexpr int row_radius = 4;
constexpr int button_gap = 8;
constexpr int button_height = 64;
constexpr int lock_type = 1;  // red when set
constexpr int success_toast_ms = 1000;
constexpr rgb565 fail_colour = 0xF800;
constexpr uint16_t current_scene_id = scene_change_marker_id;
constexpr uint16_t long_press_bit = 0x8000;
constexpr const char* scene_filters = "SCN Files (*.scn);;All Files (*.*)";
constexpr const char* scene_suffix = "scn";
// A scene file is some 28 KB; anything far larger is no scene file.
constexpr qint64 max_scene_file_bytes = 4 << 20;
// Live changes after a DIFF come in bursts (a recall, a fader move): the list is made again
// once a burst has settled.
constexpr int diff_refresh_ms = 100;
constexpr const char* diff_indent = "    ";

QString tr_format(const char* english, int n) {
  char text[96];
  std::snprintf(text, sizeof text, translate_text(english), n);
  return QString::fromUtf8(text);
}

QString tr_view(std::string_view english) { return tr_text(std::string(english).c_str()); }

QString from_view(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The process-wide part: the scene operation and its overlay, the key-light blink, the
// scene-key lock and the link they work on.
struct scene_state {
  navigator* nav = nullptr;
  QPointer<set_scene_page> page;
  QPointer<QTimer> progress;
  int ticks = 0;
  bool call = true;
  int scene = 0;
  QPointer<QWidget> busy;
  QPointer<QTimer> blink;
  int blink_left = 0;
  int blink_key = 0;
  bool key_lock = false;
};

scene_state& state() {
  static scene_state s;
  return s;
}

std::atomic<std::string*> waiting_text{nullptr};

void busy_text(const QString& text, rgb565 colour) {
  QWidget* layer = show_busy(text);
  state().busy = layer;
  if (!layer) return;
  if (auto* label = layer->findChild<QLabel*>("busy_text")) {
    set_text_colour(label, to_qcolor(colour));
  }
}

bool busy_shown() { return state().busy && state().busy->isVisible(); }

// The progress and the blink tick on their own timers, made when they start and dropped when
// they end.
void start_ticker(QPointer<QTimer>& slot, int interval_ms, void (*tick)()) {
  auto* timer = new QTimer();
  timer->setInterval(interval_ms);
  QObject::connect(timer, &QTimer::timeout, tick);
  slot = timer;
  timer->start();
}

void stop_ticker(QPointer<QTimer>& slot) {
  if (slot) {
    slot->stop();
    slot->deleteLater();
  }
  slot = nullptr;
}

void end_progress() { stop_ticker(state().progress); }

void progress_tick_now() {
  scene_state& st = state();
  if (!st.nav) return;
  const int t = st.ticks++;
  const scene_requests& requests = st.nav->session().engine.scenes();
  if (st.call ? requests.call_done() : requests.save_done()) {
    end_progress();
    show_toast(tr_text(st.call ? "CALL SUCCESS!" : "SAVE SUCCESS!"), toast_green, success_toast_ms);
    hide_busy();
    return;
  }
  if (t == scene_overlay_tick && !busy_shown())
    busy_text(tr_format(st.call ? "CALLING SCENE %d..." : "SAVING TO SCENE %d...", st.scene), theme::white);
  if (t > scene_last_tick) {
    busy_text(tr_text(st.call ? "CALL FAIL!" : "SAVE FAIL!"), fail_colour);
    end_progress();
    call_later(scene_fail_shown_ms, [] {
      if (QWidget* layer = state().busy)
        if (auto* label = layer->findChild<QLabel*>("busy_text")) label->clear();
      hide_busy();
    });
  }
}

void begin_operation(bool call, int scene) {
  scene_state& st = state();
  st.ticks = 0;
  st.call = call;
  st.scene = scene;
  start_ticker(st.progress, scene_progress_ms, progress_tick_now);
  scene_requests& requests = st.nav->session().engine.scenes();
  if (call)
    requests.request_call(scene);
  else
    requests.request_save(scene);
}

bool key_operation(bool call, int i) {
  scene_state& st = state();
  if (!st.nav || i < 0 || i >= scene_key_count) return false;
  const scene_requests& requests = st.nav->session().engine.scenes();
  if (scene_operation_running() || (call ? requests.pending_call() : requests.pending_save()) != 0) return false;
  if (st.page) st.page->select_row(i);
  begin_operation(call, i + 1);
  return true;
}

void set_scene_lights_off(control_surface& surface, uint32_t now) {
  for (int k = 0; k < scene_key_count; ++k) surface.set_light(scene_key_first + k, false, now);
}

void blink_tick() {
  scene_state& st = state();
  if (!st.nav) return;
  control_surface& surface = st.nav->session().engine.surface();
  const uint32_t now = st.nav->now();
  surface.set_light(scene_key_first + st.blink_key, (st.blink_left & 1) != 0, now);
  if (st.blink_left > 1) {
    --st.blink_left;
    return;
  }
  stop_ticker(st.blink);
  set_scene_lights_off(surface, now);
  const uint16_t current = st.nav->session().store.get(current_scene_id);
  if (current >= 1 && current <= scene_key_count) surface.set_light(scene_key_first + current - 1, true, now);
}

void start_blink(int k) {
  scene_state& st = state();
  if (st.blink || !st.nav) return;
  st.blink_left = scene_blink_steps;
  st.blink_key = k;
  start_ticker(st.blink, scene_blink_ms, blink_tick);
  set_scene_lights_off(st.nav->session().engine.surface(), st.nav->now());
}

// A row of the scene list: the number and the name, checkable, painted in the list's colours.
class scene_row : public QAbstractButton {
 public:
  scene_row(QWidget* parent, int n) : QAbstractButton(parent) {
    setCheckable(true);
    // The twelve rows share the list's height.
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(row_padding, 0, row_padding, 0);
    row->setSpacing(row_item_gap);
    number = new QLabel(QString::asprintf("%d)", n), this);
    area = new QWidget(this);
    area->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* inside = new QHBoxLayout(area);
    inside->setContentsMargins(0, 0, 0, 0);
    name = new QLabel(area);
    name->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    inside->addWidget(name);
    for (QLabel* l : {number, name}) {
      l->setAttribute(Qt::WA_TransparentForMouseEvents);
      // Inside a button a label would take the button's text role.
      l->setForegroundRole(QPalette::WindowText);
      set_text_colour(l, to_qcolor(theme::white));
    }
    row->addWidget(number, 0, Qt::AlignVCenter);
    row->addWidget(area, 1);
  }

  QLabel* number = nullptr;
  QWidget* area = nullptr;
  QLabel* name = nullptr;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const bool on = isDown() || isChecked();
    p.setPen(on ? QPen(to_qcolor(scene_row_checked_border), 1) : QPen(to_qcolor(theme::card_border, 102), 1));
    p.setBrush(to_qcolor(on ? scene_row_checked : scene_row_background));
    p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), row_radius, row_radius);
  }
  QSize sizeHint() const override { return {200, 20}; }
};

// The page's buttons: flat, in the list's grey, without a frame when released.
class scene_button : public toggle_button {
 public:
  explicit scene_button(QWidget* parent) : toggle_button(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  }
  face_look look(bool highlighted) const override {
    if (!highlighted) return {scene_button_background, scene_button_background, scene_button_background, 0};
    return toggle_button::look(true);
  }
};

}  // namespace

// ---- process-wide ----

bool scene_operation_running() { return static_cast<bool>(state().progress); }
void scene_progress_tick() {
  if (scene_operation_running()) progress_tick_now();
}

void end_scene_operation() {
  end_progress();
  stop_ticker(state().blink);
}
bool call_scene(int i) { return key_operation(true, i); }
bool save_scene(int i) { return key_operation(false, i); }
bool scene_key_lock() { return state().key_lock; }
bool scene_key_blinking() { return static_cast<bool>(state().blink); }

void set_scene_key_lock(bool locked) {
  state().key_lock = locked;
  if (set_scene_page* p = state().page) p->lock_button()->setChecked(locked);
}

void scene_key_pressed(int code) {
  if (scene_key_blinking()) return;
  const int k = (code & ~long_press_bit) - scene_key_first;
  if (k < 0 || k >= scene_key_count) return;
  if (state().key_lock) {
    log_print("scene key is locked!\n");
    return;
  }
  if (code & long_press_bit) {
    if (save_scene(k)) start_blink(k);
    log_print("save scene %d\n", k + 1);
  } else if (call_scene(k)) {
    start_blink(k);
  }
}

void install_scene_keys(navigator& nav) {
  state().nav = &nav;
  surface_keys().scene = [](int scene, bool store) {
    scene_key_pressed((scene_key_first + scene - 1) | (store ? long_press_bit : 0));
  };
  surface_keys().keys_held = [] { return scene_key_blinking(); };
}

void put_scene_file_text(std::unique_ptr<std::string> text) { delete waiting_text.exchange(text.release()); }

std::unique_ptr<std::string> take_scene_file_text() { return std::unique_ptr<std::string>(waiting_text.exchange(nullptr)); }

// ---- the page ----

set_scene_page::set_scene_page(QWidget* parent, page_env& env)
    : page(parent, page_set_scene),
      env_(env),
      exchange_(env.session.engine.transfer(),
                {
                    [](std::string_view text) { busy_text(tr_view(text), theme::white); },
                    [] { hide_busy(); },
                    [](std::string_view text, uint16_t colour, int ms, bool modal) {
                      show_toast(tr_view(text), colour, ms, modal);
                    },
                    [this](const std::string& json) { save_file(json); },
                    [this] { env_.session.engine.names().request_scene_names(); },
                    [this] { diff_read(); },
                }) {
  state().nav = &env.nav;
  state().page = this;
  transfer_timer_.setInterval(static_cast<int>(scene_tick_ms));
  connect(&transfer_timer_, &QTimer::timeout, this, &set_scene_page::tick_transfer);
  diff_refresh_.setSingleShot(true);
  diff_refresh_.setInterval(diff_refresh_ms);
  connect(&diff_refresh_, &QTimer::timeout, this, &set_scene_page::fill_diff);
  build();
}

set_scene_page::~set_scene_page() {
  if (open_dialog_) delete open_dialog_;
  if (save_dialog_) delete save_dialog_;
}

void set_scene_page::build() {
  auto* outer = new QHBoxLayout(this);
  outer->setContentsMargins(page_padding, page_padding, page_padding, page_padding);
  outer->setSpacing(0);
  auto* area = new QWidget(this);
  area_ = area;
  auto* grid = new QGridLayout(area);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setHorizontalSpacing(grid_column_gap);
  grid->setVerticalSpacing(grid_row_gap);
  // The centred area is 65 % of the page's width, the list three quarters of the area.
  outer->addStretch(1);
  outer->addWidget(area);
  outer->addStretch(1);

  title_ = new QLabel(tr_text("Local Scene"), area);
  set_text_colour(title_, to_qcolor(theme::white));
  title_->setFont(font_20());
  grid->addWidget(title_, 0, 0);

  auto* list = new QWidget(area);
  list_ = list;
  auto* rows = new QVBoxLayout(list);
  rows->setContentsMargins(0, 0, 0, 0);
  rows->setSpacing(row_gap);
  radio_ = new QButtonGroup(this);
  radio_->setExclusive(true);
  for (int i = 0; i < scene_rows; ++i) {
    auto* r = new scene_row(list, i + 1);
    r->number->setFont(font_20());
    r->name->setFont(font_20());
    rows->addWidget(r, 1);
    radio_->addButton(r, i);
    rows_[static_cast<std::size_t>(i)] = r;
    names_[static_cast<std::size_t>(i)] = r->name;
  }
  grid->addWidget(list, 1, 0);

  auto* side = new QWidget(area);
  auto* column = new QVBoxLayout(side);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(button_gap);
  const char* labels[] = {"RENAME", "CALL", "SAVE", "IMPORT", "EXPORT"};
  void (set_scene_page::*actions[])() = {&set_scene_page::rename_clicked, &set_scene_page::call_clicked,
                                         &set_scene_page::save_clicked, &set_scene_page::import_clicked,
                                         &set_scene_page::export_clicked};
  for (int i = 0; i < 5; ++i) {
    auto* b = new scene_button(side);
    b->setCheckable(false);
    b->set_text(tr_text(labels[i]));
    b->setFixedHeight(button_height);
    connect(b, &QAbstractButton::clicked, this, actions[i]);
    column->addWidget(b);
    buttons_[static_cast<std::size_t>(i)] = b;
  }
  lock_ = new scene_button(side);
  lock_->set_type(lock_type);
  lock_->set_text(tr_text("LOCK MIX1-6"));
  lock_->setFixedHeight(button_height);
  connect(lock_, &QAbstractButton::clicked, this, &set_scene_page::lock_clicked);
  column->addWidget(lock_);
  column->addStretch(1);
  grid->addWidget(side, 1, 1);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(1, 1);

  // Outside the layout, so the page's minimum size and its parts stay as they are.
  diff_ = new scene_button(this);
  diff_->setCheckable(false);
  diff_->set_text(tr_text("DIFF"));
  connect(diff_, &QAbstractButton::clicked, this, &set_scene_page::diff_clicked);
  diff_list_ = new text_list(this);
  diff_list_->setFont(font_14());
  diff_list_->set_row_height(scene_diff_row_height);
  diff_list_->set_colours(to_qcolor(scene_row_background), to_qcolor(theme::white));
  diff_list_->setObjectName("scene_diff_list");
  // Shown by the first DIFF.
  diff_list_->hide();
  for (QWidget* w : {static_cast<QWidget*>(lock_), side, area_}) w->installEventFilter(this);
}

void set_scene_page::place_diff() {
  // The button to the right of LOCK MIX1-6, in the margin beside the button column; the
  // list below LOCK MIX1-6, from the button column to the page's right edge and down to its
  // bottom: the corner the page leaves empty.
  const QRect lock(lock_->mapTo(this, QPoint(0, 0)), lock_->size());
  const int right = width() - page_padding;
  const int bottom = height() - page_padding;
  const int button_left = lock.right() + 1 + button_gap;
  diff_->setGeometry(button_left, lock.top(), std::max(0, std::min(lock.width(), right - button_left)), lock.height());
  const int top = lock.bottom() + 1 + button_gap;
  diff_list_->setGeometry(lock.left(), top, std::max(0, right - lock.left()), std::max(0, bottom - top));
}

bool set_scene_page::eventFilter(QObject* watched, QEvent* event) {
  const bool follows = watched == lock_ || watched == lock_->parentWidget() || watched == area_;
  if (follows && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) place_diff();
  return page::eventFilter(watched, event);
}

void set_scene_page::resizeEvent(QResizeEvent* event) {
  page::resizeEvent(event);
  // The list is three quarters of the centred area; the buttons take what is left.
  const int area_width = static_cast<int>((width() - 2 * page_padding) * area_share);
  area_->setFixedWidth(area_width);
  list_->setFixedWidth(static_cast<int>(area_width * list_share));
  // The new widths now rather than on the next pass of the event loop, so the diff button
  // and list are in place as soon as the page has its size.
  if (layout()) layout()->activate();
  place_diff();
}

QWidget* set_scene_page::name_area(int i) const { return static_cast<scene_row*>(row(i))->area; }

uint16_t set_scene_page::scene_param() const { return env_.session.store.get(current_scene_id); }

void set_scene_page::page_shown() {
  link_session& s = env_.session;
  lock_->setChecked(state().key_lock);
  s.engine.device().send_config_query(scene_key_lock_query);
  s.store.request(current_scene_id);
  const uint16_t current = scene_param();
  if (current >= 1 && current <= scene_rows) row(current - 1)->setChecked(true);
  for (int n = 1; n <= scene_rows; ++n) names_[static_cast<std::size_t>(n - 1)]->setText(from_view(s.engine.names().scene_name(n)));
  // Live changes while the page was away did not reach it.
  fill_diff();
  if (!poll_) {
    poll_ = new QTimer(this);
    poll_->setInterval(scene_import_poll_ms);
    connect(poll_, &QTimer::timeout, this, &set_scene_page::poll_import);
    poll_->start();
  }
}

void set_scene_page::page_hidden() {
  if (poll_) delete poll_;
}

void set_scene_page::on_param(uint16_t id, uint16_t value, bool) {
  if (id == current_scene_id && value >= 1 && value <= scene_rows) row(value - 1)->setChecked(true);
  if (!diff_values_.empty() && scene_covers(id) && !diff_refresh_.isActive()) diff_refresh_.start();
}

void set_scene_page::on_scene_name(int scene, const QString& text) {
  if (scene >= 1 && scene <= scene_rows) names_[static_cast<std::size_t>(scene - 1)]->setText(text);
}

void set_scene_page::select_row(int i) {
  if (i >= 0 && i < scene_rows) row(i)->setChecked(true);
}

int set_scene_page::selected_scene() const {
  for (int i = 0; i < scene_rows; ++i)
    if (row(i)->isChecked()) return i + 1;
  return 0;
}

namespace {

// The selected scene, or 0 after telling the user to pick one.
int selected_or_hint(const set_scene_page& p) {
  const int s = p.selected_scene();
  if (s == 0) show_toast(tr_text("Please select a scene!"), toast_yellow, toast_default_ms);
  return s;
}

// Puts a new scene-file dialog (Qt's own, not the desktop's) in `slot`, in place of the one
// before.
void replace_file_dialog(QPointer<QFileDialog>& slot, QWidget* window, const QString& title, const QString& folder,
                         QFileDialog::AcceptMode mode, QFileDialog::FileMode files) {
  if (slot) delete slot;
  slot = new QFileDialog(window, title, folder, QString::fromLatin1(scene_filters));
  slot->setAcceptMode(mode);
  slot->setFileMode(files);
  slot->setDefaultSuffix(QString::fromLatin1(scene_suffix));
  slot->setOption(QFileDialog::DontUseNativeDialog);
}

}  // namespace

void set_scene_page::rename_clicked() {
  const int s = selected_or_hint(*this);
  if (s == 0 || scene_operation_running()) return;
  text_entry_request r;
  r.target = name_area(s - 1);
  r.flags = entry_empty_commits;
  r.initial_text = from_view(env_.session.engine.names().scene_name(s));
  r.callback = [this, s](QWidget*, std::uint16_t, std::uint16_t, void*, const std::string& text) {
    names_[static_cast<std::size_t>(s - 1)]->setText(QString::fromStdString(text));
    env_.session.engine.names().set_scene_name(s, text);
  };
  text_entry_open(r);
}

bool set_scene_page::start_scene_operation(bool call, int scene) {
  if (scene == 0 || scene_operation_running()) return false;
  begin_operation(call, scene);
  return true;
}

void set_scene_page::call_clicked() { start_scene_operation(true, selected_or_hint(*this)); }
void set_scene_page::save_clicked() { start_scene_operation(false, selected_or_hint(*this)); }

void set_scene_page::lock_clicked() {
  const bool locked = !state().key_lock;
  state().key_lock = locked;
  lock_->setChecked(locked);
  env_.session.engine.device().send_config_command(scene_key_lock_command(locked));
}

void set_scene_page::import_clicked() {
  const int s = selected_or_hint(*this);
  // One transfer at a time: they share the console's transfer image.
  if (s == 0 || exchange_.running()) return;
  import_target_ = s;
  take_scene_file_text();
  replace_file_dialog(open_dialog_, window(), tr_text("IMPORT"), dialog_folder_, QFileDialog::AcceptOpen,
                      QFileDialog::ExistingFile);
  connect(open_dialog_, &QFileDialog::fileSelected, this, [](const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() > max_scene_file_bytes) return;
    const QByteArray bytes = f.readAll();
    if (bytes.size() != f.size()) return;
    const std::span<const uint8_t> view(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                        static_cast<std::size_t>(bytes.size()));
    put_scene_file_text(std::make_unique<std::string>(scene_file_text(view)));
  });
  open_dialog_->open();
}

void set_scene_page::poll_import() {
  // A file chosen while a transfer runs waits for it to end.
  if (exchange_.running()) return;
  const std::unique_ptr<std::string> text = take_scene_file_text();
  if (!text) return;
  if (exchange_.start_import(*text, import_target_, env_.nav.now()) == scene_check::ok) start_transfer_timer();
}

void set_scene_page::export_clicked() {
  const int s = selected_or_hint(*this);
  if (s == 0) return;
  if (exchange_.start_export(s, env_.nav.now())) start_transfer_timer();
}

void set_scene_page::diff_clicked() {
  const int s = selected_or_hint(*this);
  // The read shares the transfer image with the import and the export.
  if (s == 0 || exchange_.running()) return;
  if (!exchange_.start_read(s, env_.nav.now())) return;
  diff_scene_ = s;
  diff_reading_ = true;
  diff_values_.clear();
  diff_refresh_.stop();
  diff_list_->show();
  show_diff_progress();
  start_transfer_timer();
}

void set_scene_page::show_diff_progress() {
  char text[96];
  std::snprintf(text, sizeof text, translate_text("READING SCENE %d... %d/%d"), diff_scene_,
                exchange_.values_through(), param_count);
  diff_list_->clear();
  diff_list_->insert(-1, QString::fromUtf8(text));
}

void set_scene_page::diff_read() {
  diff_reading_ = false;
  const auto& image = env_.session.engine.transfer().image().values;
  diff_values_.assign(image.begin(), image.end());
  fill_diff();
}

void set_scene_page::diff_failed() {
  diff_reading_ = false;
  diff_list_->clear();
  diff_list_->insert(-1, tr_format("READING SCENE %d FAILED", diff_scene_));
}

void set_scene_page::fill_diff() {
  if (diff_values_.empty()) return;
  const name_tables& names = env_.session.engine.names();
  const std::vector<scene_diff_entry> entries =
      vorante::diff_scene(env_.session.store.values(), diff_values_, [&names](int logical) { return names.channel_name(logical); });
  // A refresh keeps the place the user scrolled to.
  const int offset = diff_list_->offset();
  diff_list_->clear();
  char head[96];
  if (entries.empty())
    std::snprintf(head, sizeof head, translate_text("SCENE %d: NO DIFFERENCES"), diff_scene_);
  else if (entries.size() == 1)
    std::snprintf(head, sizeof head, translate_text("SCENE %d: 1 DIFFERENCE"), diff_scene_);
  else
    std::snprintf(head, sizeof head, translate_text("SCENE %d: %d DIFFERENCES"), diff_scene_,
                  static_cast<int>(entries.size()));
  diff_list_->insert(-1, QString::fromUtf8(head));
  const QString arrow = QStringLiteral(" -> ");
  for (const scene_diff_group& g : group_by_channel(entries)) {
    diff_list_->insert(-1, from_view(g.channel));
    for (const scene_diff_entry& e : g.entries)
      diff_list_->insert(-1, QString::fromLatin1(diff_indent) + from_view(e.parameter) + QStringLiteral("  ") +
                                 from_view(e.live_text) + arrow + from_view(e.scene_text));
  }
  const int low = std::min(0, diff_list_->visible_height() - diff_list_->content_height());
  diff_list_->set_offset(std::clamp(offset, low, 0));
}

void set_scene_page::start_transfer_timer() {
  if (!transfer_timer_.isActive()) transfer_timer_.start();
}

void set_scene_page::tick_transfer() {
  exchange_.tick(env_.nav.now());
  if (diff_reading_) {
    // values_read has filled the list when the read succeeded.
    if (!exchange_.running())
      diff_failed();
    else
      show_diff_progress();
  }
  if (!exchange_.running()) transfer_timer_.stop();
}

void set_scene_page::save_file(const std::string& json) {
  replace_file_dialog(save_dialog_, window(), tr_text("EXPORT"), dialog_folder_, QFileDialog::AcceptSave,
                      QFileDialog::AnyFile);
  const std::vector<uint8_t> bytes =
      scene_file_code(std::span(reinterpret_cast<const uint8_t*>(json.data()), json.size()));
  connect(save_dialog_, &QFileDialog::fileSelected, this, [bytes](const QString& path) {
    const file_write w = write_file_atomically(path.toStdString(),
                                               std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    if (!w.ok) log_print("scene file not written: %s\n", w.reason.c_str());
  });
  save_dialog_->open();
}

page* create_set_scene(QWidget* parent, page_env& env, int) { return new set_scene_page(parent, env); }

}  // namespace vorante
