#include "ui/widgets/busy_overlay.h"

#include <QEasingCurve>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QVBoxLayout>
#include <QVariantAnimation>
#include <algorithm>

#include "ui/foundation/colour.h"
#include "ui/widgets/overlay_layer.h"
#include "ui/widgets/widget_fonts.h"

namespace vorante {

namespace {

constexpr int busy_veil_alpha = 178;
constexpr int spinner_turn_ms = 1000;
constexpr int spinner_arc_degrees = 60;

constexpr int spinner_size = 64;
constexpr int spinner_width = 8;
constexpr rgb565 spinner_track = rgb565_from_rgb(0xE0, 0xE0, 0xE0);
constexpr int spinner_track_alpha = 80;
constexpr rgb565 spinner_arc = rgb565_from_rgb(0x21, 0x96, 0xF3);
constexpr int veil_gap = 16;

class busy_spinner : public QWidget {
 public:
  explicit busy_spinner(QWidget* parent) : QWidget(parent) {
    setFixedSize(spinner_size, spinner_size);
    turn_.setStartValue(0.0);
    turn_.setEndValue(1.0);
    turn_.setDuration(spinner_turn_ms);
    turn_.setLoopCount(-1);
    connect(&turn_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
      phase_ = v.toDouble();
      update();
    });
  }

 protected:
  // Turns only while it can be seen.
  void showEvent(QShowEvent*) override { turn_.start(); }
  void hideEvent(QHideEvent*) override { turn_.stop(); }

  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal half = spinner_width / 2.0;
    const QRectF ring = QRectF(rect()).adjusted(half, half, -half, -half);
    QPen pen(to_qcolor(spinner_track, spinner_track_alpha), spinner_width);
    p.setPen(pen);
    p.drawEllipse(ring);
    pen.setColor(to_qcolor(spinner_arc));
    pen.setCapStyle(Qt::RoundCap);
    p.setPen(pen);
    // Qt counts angles counter-clockwise from three o'clock, in 1/16 degree.
    const double start = 90.0 - spinner_start_angle(phase_);
    p.drawArc(ring, static_cast<int>(start * 16), -spinner_arc_degrees * 16);
  }

 private:
  QVariantAnimation turn_;
  double phase_ = 0;
};

class busy_layer : public overlay_layer {
 public:
  busy_layer() {
    setObjectName("busy_overlay");
    auto* column = new QVBoxLayout(this);
    column->setSpacing(veil_gap);
    column->addStretch(1);
    spinner = new busy_spinner(this);
    column->addWidget(spinner, 0, Qt::AlignHCenter);
    label = new QLabel(this);
    label->setObjectName("busy_text");
    label->setAlignment(Qt::AlignCenter);
    label->setFont(ui_font(default_text_px));
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, to_qcolor(theme::white));
    label->setPalette(pal);
    column->addWidget(label, 0, Qt::AlignHCenter);
    column->addStretch(1);
  }

  QLabel* label = nullptr;
  busy_spinner* spinner = nullptr;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter(this).fillRect(rect(), to_qcolor(theme::black, busy_veil_alpha));
  }
  void mousePressEvent(QMouseEvent* e) override { e->accept(); }
  void mouseReleaseEvent(QMouseEvent* e) override { e->accept(); }
};

QPointer<busy_layer> layer;

}  // namespace

double spinner_start_angle(double phase) {
  return 360.0 * QEasingCurve(QEasingCurve::InOutQuad).valueForProgress(std::clamp(phase, 0.0, 1.0));
}

QWidget* show_busy(const QString& text) {
  if (overlay_host() == nullptr) return nullptr;
  if (!layer) layer = new busy_layer();
  layer->attach();
  layer->label->setText(text);
  layer->show();
  layer->raise();
  return layer;
}

void hide_busy() {
  if (layer) layer->hide();
}

}  // namespace vorante
