#include "ui/platform/splash.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QScreen>

#include "app/core/identity.h"

namespace vorante {
namespace {

constexpr int splash_fade_ms = 1000;
constexpr int splash_hold_ms = 2000;
constexpr int splash_tick_ms = 16;
constexpr int splash_radius = 12;

constexpr int strip_count = 12;
// Fader cap positions of the motif, as fractions of the travel from the top.
constexpr double cap_positions[strip_count] = {0.42, 0.30, 0.55, 0.36, 0.62, 0.48,
                                               0.28, 0.40, 0.66, 0.52, 0.34, 0.20};

void draw_background(QPainter& p, const QRectF& area) {
  QLinearGradient fill(area.topLeft(), area.bottomRight());
  fill.setColorAt(0.0, QColor(0x0B, 0x2A, 0x30));
  fill.setColorAt(1.0, QColor(0x10, 0x41, 0x4A));
  p.fillRect(area, fill);
  QRadialGradient glow(area.center() + QPointF(0, area.height() * 0.15), area.width() * 0.55);
  glow.setColorAt(0.0, QColor(0x2B, 0xB3, 0xC0, 70));
  glow.setColorAt(1.0, QColor(0x2B, 0xB3, 0xC0, 0));
  p.fillRect(area, glow);
}

// A row of channel strips: meter, fader slot and cap, the way the console's own surface
// reads from a distance.
void draw_strips(QPainter& p, const QRectF& area) {
  const double pitch = area.width() / strip_count;
  for (int i = 0; i < strip_count; ++i) {
    const double x = area.left() + pitch * (i + 0.5);
    const QRectF slot(x - 2, area.top(), 4, area.height());
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 120));
    p.drawRoundedRect(slot, 2, 2);

    // The meter beside the slot, lit up to the cap's level.
    const double lit = 1.0 - cap_positions[i];
    const int segments = 14;
    for (int s = 0; s < segments; ++s) {
      const double frac = double(s) / segments;
      const QRectF led(x + 8, area.bottom() - (s + 1) * area.height() / segments + 1, 4,
                       area.height() / segments - 2);
      QColor colour = frac < 0.65 ? QColor(0x3C, 0xD6, 0x70) : frac < 0.85 ? QColor(0xF2, 0xC1, 0x3A) : QColor(0xF0, 0x4E, 0x3E);
      colour.setAlpha(frac < lit ? 230 : 40);
      p.setBrush(colour);
      p.drawRect(led);
    }

    const double y = area.top() + cap_positions[i] * area.height();
    const QRectF cap(x - 11, y - 6, 22, 12);
    QLinearGradient cap_fill(cap.topLeft(), cap.bottomLeft());
    cap_fill.setColorAt(0.0, QColor(0xF4, 0xF6, 0xF7));
    cap_fill.setColorAt(1.0, QColor(0x9A, 0xA4, 0xA8));
    p.setBrush(cap_fill);
    p.drawRoundedRect(cap, 2.5, 2.5);
    p.setPen(QPen(QColor(0x20, 0x20, 0x20), 1.5));
    p.drawLine(QPointF(cap.left() + 3, y), QPointF(cap.right() - 3, y));
  }
}

}  // namespace

double splash_opacity(int elapsed_ms) {
  if (elapsed_ms < 0) return 0.0;
  if (elapsed_ms < splash_fade_ms) return double(elapsed_ms) / splash_fade_ms;
  if (elapsed_ms < splash_fade_ms + splash_hold_ms) return 1.0;
  return -1.0;
}

QPixmap splash_picture() {
  QPixmap picture(splash_size);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF area(QPointF(0, 0), QSizeF(splash_size));
  QPainterPath rounded;
  rounded.addRoundedRect(area, splash_radius, splash_radius);
  p.setClipPath(rounded);
  draw_background(p, area);
  draw_strips(p, QRectF(60, 150, area.width() - 120, 150));

  QFont title;
  title.setPixelSize(56);
  title.setWeight(QFont::Bold);
  title.setLetterSpacing(QFont::AbsoluteSpacing, 6);
  p.setFont(title);
  p.setPen(Qt::white);
  p.drawText(QRectF(0, 34, area.width(), 70), Qt::AlignCenter, QString::fromUtf8(product_name()));

  QFont subtitle;
  subtitle.setPixelSize(16);
  subtitle.setLetterSpacing(QFont::AbsoluteSpacing, 4);
  p.setFont(subtitle);
  p.setPen(QColor(0xB8, 0xDD, 0xE2));
  p.drawText(QRectF(0, 100, area.width(), 28), Qt::AlignCenter, QStringLiteral("DIGITAL MIXING CONSOLE"));

  p.setPen(QPen(QColor(255, 255, 255, 60), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(area.adjusted(0.5, 0.5, -0.5, -0.5), splash_radius, splash_radius);
  return picture;
}

splash_window::splash_window() : picture_(splash_picture()) {
  setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  setAttribute(Qt::WA_TranslucentBackground);
  setFixedSize(splash_size);
  // Without a compositor the translucent corners would show black; the mask cuts them.
  QPainterPath rounded;
  rounded.addRoundedRect(QRectF(rect()), splash_radius, splash_radius);
  setMask(QRegion(rounded.toFillPolygon().toPolygon()));
  timer_.setInterval(splash_tick_ms);
  connect(&timer_, &QTimer::timeout, this, &splash_window::tick);
}

void splash_window::run() {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect area(QPoint(), splash_size);
    area.moveCenter(screen->availableGeometry().center());
    move(area.topLeft());
  }
  setWindowOpacity(0.0);
  QEventLoop wait;
  connect(this, &splash_window::finished, &wait, &QEventLoop::quit);
  show();
  clock_.start();
  timer_.start();
  wait.exec();
}

void splash_window::tick() {
  const double opacity = splash_opacity(static_cast<int>(clock_.elapsed()));
  if (opacity < 0) {
    close();
    return;
  }
  setWindowOpacity(opacity);
}

// Also when closed early by the window manager: start-up goes on either way.
void splash_window::closeEvent(QCloseEvent* event) {
  timer_.stop();
  QWidget::closeEvent(event);
  emit finished();
}

void splash_window::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawPixmap(0, 0, picture_);
}

}  // namespace vorante
