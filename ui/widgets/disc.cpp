#include "ui/widgets/disc.h"

#include <QPainter>
#include <QTransform>

#include "ui/foundation/res_images.h"

namespace vorante {

namespace {

struct disc_pictures {
  QImage body, mask, arm;
};

int loads = 0;

const disc_pictures& pictures() {
  static const disc_pictures shared = [] {
    ++loads;
    return disc_pictures{image_file_load("res/media/img_disc_body.png"), image_file_load("res/media/img_disc_mask.png"),
                         image_file_load("res/media/img_disc_tonearm.png")};
  }();
  return shared;
}

constexpr QPointF arm_pivot{89, 12};
constexpr int arm_left_of_centre = 42;  // right of the body's centre line
constexpr int arm_below_top = 2;

}  // namespace

int disc::picture_loads() { return loads; }

disc::disc(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TranslucentBackground);
  resize(96, 96);
  pictures();
  spin_.setInterval(disc_spin_ms);
  connect(&spin_, &QTimer::timeout, this, &disc::spin_tick);
  arm_.setDuration(disc_arm_ms);
  arm_.setEasingCurve(QEasingCurve::Linear);
  connect(&arm_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
    arm_angle_ = v.toInt();
    update();
  });
  // The record turns once the arm has landed.
  connect(&arm_, &QVariantAnimation::finished, this, [this] {
    if (playing_ && arm_angle_ == disc_arm_on && !spin_.isActive()) spin_.start();
  });
}

void disc::spin_tick() {
  disc_angle_ = static_cast<int16_t>((disc_angle_ + disc_spin_step) % disc_full_turn);
  if (disc_angle_ == 0) disc_angle_ = 1;
  update();
}

void disc::arm_to(int target) {
  // The other swing ends where it is: the arm turns back from there.
  arm_.stop();
  arm_.setStartValue(static_cast<int>(arm_angle_));
  arm_.setEndValue(target);
  arm_.start();
}

void disc::play() {
  playing_ = true;
  arm_to(disc_arm_on);
}

void disc::stop() {
  spin_.stop();
  playing_ = false;
  arm_to(disc_arm_off);
}

disc::state disc::current_state() const {
  if (arm_.state() == QAbstractAnimation::Running) return playing_ ? state::landing : state::lifting;
  return spin_.isActive() ? state::spinning : state::stopped;
}

void disc::paintEvent(QPaintEvent*) {
  const disc_pictures& pics = pictures();
  QPainter p(this);
  const QPointF body_top_left((width() - disc_body_size.width()) / 2, (height() - disc_body_size.height()) / 2);
  const QPointF centre = body_top_left + QPointF(disc_body_size.width() / 2.0, disc_body_size.height() / 2.0);

  p.save();
  p.translate(centre);
  p.rotate(disc_angle_ / 10.0);
  p.drawImage(QPointF(-pics.body.width() / 2.0, -pics.body.height() / 2.0), pics.body);
  p.restore();

  if (!pics.mask.isNull()) p.drawImage(QPointF((width() - pics.mask.width()) / 2, (height() - pics.mask.height()) / 2), pics.mask);

  p.setRenderHint(QPainter::SmoothPixmapTransform);
  const QPointF arm_at = body_top_left + QPointF(disc_body_size.width() / 2 + arm_left_of_centre, arm_below_top);
  p.translate(arm_at + arm_pivot);
  p.rotate(arm_angle_ / 10.0);
  p.drawImage(-arm_pivot, pics.arm);
}

}  // namespace vorante
