#include "ui/screens/mixer/phones_toast.h"

#include <QEvent>

#include "app/core/translate.h"
#include "app/params/convert.h"
#include "app/params/store.h"
#include "ui/widgets/widget_fonts.h"

namespace vorante {

namespace {

constexpr int phones_toast_ms = 2000;
constexpr int phones_toast_padding = 16;
constexpr int phones_toast_radius = 12;
constexpr rgb565 phones_toast_background = 0x2104;

}  // namespace

phones_toast::phones_toast(const param_store& store, QWidget* parent) : QLabel(parent), store_(store) {
  setObjectName("phones_toast");
  setAlignment(Qt::AlignCenter);
  setFont(ui_font(default_text_px));
  setStyleSheet(QString("QLabel#phones_toast { background: %1; color: #FFFFFF; border: 1px solid #FFFFFF;"
                        " border-radius: %2px; padding: %3px; }")
                    .arg(to_qcolor(phones_toast_background).name())
                    .arg(phones_toast_radius)
                    .arg(phones_toast_padding));
  hide();
  timer_.setSingleShot(true);
  timer_.setInterval(phones_toast_ms);
  connect(&timer_, &QTimer::timeout, this, &phones_toast::expire);
  if (parent) parent->installEventFilter(this);
}

void phones_toast::show_level() {
  const std::string level = value_text(store_, headphone_level_id);
  setText(QString::fromUtf8(translate_text("Phone: %s")).replace("%s", QString::fromStdString(level)));
  adjustSize();
  centre();
  show();
  raise();
  if (!pinned_) timer_.start();
}

void phones_toast::pin(bool on) {
  pinned_ = on;
  timer_.stop();
}

void phones_toast::dismiss() {
  timer_.stop();
  hide();
  pinned_ = false;
}

void phones_toast::expire() {
  hide();
  pinned_ = false;
}

void phones_toast::centre() {
  if (!parentWidget()) return;
  const QSize outer = parentWidget()->size();
  move((outer.width() - width()) / 2, (outer.height() - height()) / 2);
}

bool phones_toast::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize) centre();
  return QLabel::eventFilter(watched, event);
}

}  // namespace vorante
