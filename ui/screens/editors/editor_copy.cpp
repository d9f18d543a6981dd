#include "ui/screens/editors/editor_copy.h"

#include <QPainter>
#include <QPointer>
#include <QTimer>

#include "app/core/translate.h"
#include "app/params/names.h"
#include "app/protocol/session.h"
#include "ui/pages/navigator.h"
#include "ui/foundation/res_images.h"
#include "ui/foundation/resource_volume.h"
#include "ui/widgets/overlay_layer.h"
#include "ui/widgets/toast.h"
#include "ui/widgets/widget_fonts.h"

namespace vorante {

namespace {

constexpr rgb565 badge_colour = 0x07E0;
constexpr int badge_alpha = 153;  // black at 60 %
constexpr int badge_radius = 6;
constexpr int badge_padding = 8;
constexpr int badge_text_px = 16;
constexpr const char* copy_icon = "res/setting/png_icon_copy.png";

// Icon and name in green on a dark rounded box; it never takes a touch.
class copy_badge : public QWidget {
 public:
  copy_badge(QWidget* parent, const QString& name) : QWidget(parent), name_(name) {
    setObjectName("copy_badge");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    icon_ = image_file_load_recoloured(res_path(copy_icon), to_qcolor(badge_colour));
    const QFontMetrics fm(ui_font(badge_text_px));
    const int h = std::max(icon_.height(), fm.height()) + 2 * badge_padding;
    const int w = icon_.width() + badge_padding + fm.horizontalAdvance(name_) + 2 * badge_padding;
    resize(w, h);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, badge_alpha));
    p.drawRoundedRect(QRectF(rect()), badge_radius, badge_radius);
    p.drawImage(QPoint(badge_padding, (height() - icon_.height()) / 2), icon_);
    p.setFont(ui_font(badge_text_px));
    p.setPen(to_qcolor(badge_colour));
    const int x = badge_padding + icon_.width() + (icon_.isNull() ? 0 : badge_padding);
    p.drawText(QRect(x, 0, width() - x - badge_padding, height()), Qt::AlignVCenter | Qt::AlignLeft, name_);
  }

 private:
  QString name_;
  QImage icon_;
};

struct indicator {
  copy_clipboard clip;
  QTimer light_timer;
  QTimer badge_timer;
  QPointer<QWidget> badge;
  QPointer<navigator> nav;
  bool light_on = false;
};

// The light timer of the surface runs on the engine's clock.
void set_light(navigator* nav, int key, bool on) {
  if (nav) nav->session().engine.surface().set_light(key, on, nav->now());
}

indicator& state() {
  static indicator* s = [] {
    auto* i = new indicator;
    QObject::connect(&i->light_timer, &QTimer::timeout, [i] {
      i->light_on = !i->light_on;
      set_light(i->nav, copy_light_key, i->light_on);
    });
    QObject::connect(&i->badge_timer, &QTimer::timeout, [i] {
      if (i->badge) i->badge->setVisible(!i->badge->isVisible());
    });
    return i;
  }();
  return *s;
}

}  // namespace

copy_clipboard& editor_clipboard() { return state().clip; }

void copy_indicator_start(navigator& nav, int kind, int index) {
  indicator& s = state();
  s.nav = &nav;
  s.light_on = true;
  set_light(&nav, copy_light_key, true);
  s.light_timer.start(copy_light_blink_ms);
  delete s.badge.data();
  if (QWidget* host = overlay_host()) {
    const std::string name = default_channel_name(kind, index);
    auto* b = new copy_badge(host, QString::fromStdString(name));
    b->move((host->width() - b->width()) / 2, copy_badge_top);
    b->show();
    b->raise();
    s.badge = b;
  }
  s.badge_timer.start(copy_badge_blink_ms);
}

void copy_indicator_stop() {
  indicator& s = state();
  s.light_timer.stop();
  s.badge_timer.stop();
  set_light(s.nav, copy_light_key, false);
  s.light_on = false;
  delete s.badge.data();
}

void paste_indicator_flash(navigator& nav) {
  set_light(&nav, paste_light_key, true);
  QPointer<navigator> n = &nav;
  QTimer::singleShot(paste_light_ms, [n] { set_light(n, paste_light_key, false); });
}

namespace {

constexpr rgb565 toast_refused = 0xF800;
constexpr rgb565 toast_done = 0x07E0;
constexpr int toast_ms = 1500;

void show_refused() {
  copy_indicator_stop();
  show_toast(QString::fromUtf8(translate_text("Stereo copying is unsupported!")), toast_refused, toast_ms, true);
}

}  // namespace

void show_copy_outcome(navigator& nav, int kind, int index, copy_outcome outcome) {
  switch (outcome) {
    case copy_outcome::copied: copy_indicator_start(nav, kind, index); break;
    case copy_outcome::cancelled: copy_indicator_stop(); break;
    case copy_outcome::stereo_refused: show_refused(); break;
  }
}

void show_paste_outcome(navigator& nav, paste_outcome outcome) {
  switch (outcome) {
    case paste_outcome::nothing: break;
    case paste_outcome::stereo_refused: show_refused(); break;
    case paste_outcome::pasted:
      paste_indicator_flash(nav);
      copy_indicator_stop();
      show_toast(QString::fromUtf8(translate_text("COPY DONE!")), toast_done, toast_ms, false);
      break;
  }
}

bool copy_badge_shown() { return !state().badge.isNull(); }

}  // namespace vorante
