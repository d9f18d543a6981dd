#include "ui/widgets/toast.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <algorithm>

#include "ui/widgets/widget_fonts.h"

namespace vorante {

namespace {

constexpr int toast_check_period_ms = 100;
constexpr int toast_padding_x = 48;
constexpr int toast_padding_y = 16;
constexpr int toast_radius = 12;
constexpr rgb565 toast_background = 0x2104;

// Keeps a long text clear of the screen edges; it wraps instead.
constexpr int toast_screen_margin = 32;

// The full-screen layer: transparent, and either swallowing touches (modal) or not.
class toast_layer : public overlay_layer {
 public:
  toast_layer() {
    setObjectName("toast_layer");
    bubble = new QLabel(this);
    bubble->setObjectName("toast_bubble");
    bubble->setAlignment(Qt::AlignCenter);
    bubble->setWordWrap(true);
  }

  void set_modal(bool modal) { setAttribute(Qt::WA_TransparentForMouseEvents, !modal); }

  void place_bubble() {
    const QFontMetrics fm(bubble->font());
    const int frame = 1;
    const int chrome_w = 2 * (toast_padding_x + frame);
    const int chrome_h = 2 * (toast_padding_y + frame);
    const int max_text_w = std::max(1, width() - 2 * toast_screen_margin - chrome_w);
    const QRect text = fm.boundingRect(QRect(0, 0, max_text_w, 100000),
                                       Qt::AlignCenter | Qt::TextWordWrap, bubble->text());
    const QSize s(text.width() + chrome_w, text.height() + chrome_h);
    bubble->setGeometry(QRect(QPoint((width() - s.width()) / 2, (height() - s.height()) / 2), s));
  }

  QLabel* bubble = nullptr;

 protected:
  void mousePressEvent(QMouseEvent* e) override { e->accept(); }
  void mouseReleaseEvent(QMouseEvent* e) override { e->accept(); }
  void resizeEvent(QResizeEvent*) override { place_bubble(); }
};

struct toast_state {
  QPointer<toast_layer> layer;
  QPointer<QTimer> check_timer;
  std::int64_t start_ms = 0;
  std::int64_t duration_ms = 0;
  toast_clock clock;
};

toast_state& state() {
  static toast_state s;
  return s;
}

std::int64_t now_ms() {
  toast_state& s = state();
  if (s.clock) return s.clock();
  static QElapsedTimer steady;
  if (!steady.isValid()) steady.start();
  return steady.elapsed();
}

QString bubble_style(rgb565 colour) {
  return QString("QLabel#toast_bubble { background: %1; color: %2; border: 1px solid #FFFFFF;"
                 " border-radius: %3px; padding: %4px %5px; }")
      .arg(to_qcolor(toast_background).name(), to_qcolor(colour).name())
      .arg(toast_radius)
      .arg(toast_padding_y)
      .arg(toast_padding_x);
}

void stop_timer() {
  toast_state& s = state();
  if (s.check_timer) {
    s.check_timer->stop();
    delete s.check_timer.data();
  }
}

}  // namespace

QWidget* show_toast(const QString& text, rgb565 colour, int duration_ms, bool modal,
                    const std::optional<QFont>& font) {
  toast_state& s = state();
  if (overlay_host() == nullptr) return nullptr;
  if (!s.layer) s.layer = new toast_layer();
  toast_layer* layer = s.layer.data();
  layer->attach();

  layer->bubble->setFont(font ? *font : ui_font(small_title_px));
  layer->bubble->setStyleSheet(bubble_style(colour));
  layer->bubble->setText(text);
  s.duration_ms = std::max(0, duration_ms);
  s.start_ms = now_ms();
  if (!s.check_timer) {
    s.check_timer = new QTimer(layer);
    s.check_timer->setInterval(toast_check_period_ms);
    QObject::connect(s.check_timer.data(), &QTimer::timeout, layer, &toast_tick);
    s.check_timer->start();
  }

  layer->set_modal(modal);
  layer->place_bubble();
  layer->show();
  layer->raise();
  return layer;
}

void hide_toast() {
  toast_state& s = state();
  stop_timer();
  if (s.layer) s.layer->hide();
}

void toast_tick() {
  toast_state& s = state();
  if (!s.check_timer) return;
  if (now_ms() - s.start_ms >= s.duration_ms) hide_toast();
}

void set_toast_clock(toast_clock clock) { state().clock = std::move(clock); }

void call_later(int delay_ms, std::function<void()> fn) {
  call_later(delay_ms, QCoreApplication::instance(), std::move(fn));
}

void call_later(int delay_ms, QObject* context, std::function<void()> fn) {
  if (!fn || context == nullptr) return;
  QTimer::singleShot(std::max(0, delay_ms), context, std::move(fn));
}

}  // namespace vorante
