#include "ui/screens/mixer/colour_picker.h"

#include <QAbstractButton>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include "app/core/translate.h"
#include "app/params/ids.h"
#include "app/params/store.h"
#include "ui/foundation/channel_colours.h"
#include "ui/pages/named_button.h"
#include "ui/widgets/widget_colours.h"
#include "ui/widgets/button.h"
#include "ui/widgets/overlay_layer.h"
#include "ui/widgets/widget_fonts.h"

namespace vorante {

namespace {

constexpr int picker_columns = 6;
constexpr int picker_swatch = 64;
constexpr int picker_gap = 8;
constexpr int picker_padding = 16;
constexpr rgb565 picker_background = 0x1082;
constexpr rgb565 picker_border = 0x8410;
constexpr rgb565 picker_clear_colour = 0x5AEB;
constexpr int picker_backdrop_alpha = 77;  // black at 30 %

constexpr int swatch_radius = 4;
constexpr int clear_button_width = 72;
constexpr int clear_button_height = 36;
constexpr int title_px = 20;

class swatch : public QAbstractButton {
 public:
  swatch(rgb565 colour, QWidget* parent) : QAbstractButton(parent), colour_(colour) {
    setFixedSize(picker_swatch, picker_swatch);
    setCursor(Qt::PointingHandCursor);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(isDown() ? QPen(Qt::white, 2) : Qt::NoPen);
    p.setBrush(to_qcolor(colour_));
    p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), swatch_radius, swatch_radius);
  }

 private:
  rgb565 colour_;
};

class picker_panel : public QWidget {
 public:
  explicit picker_panel(QWidget* parent) : QWidget(parent) { setObjectName("colour_picker_panel"); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setPen(QPen(to_qcolor(picker_border), 2));
    p.setBrush(to_qcolor(picker_background));
    p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
  }
  // Clicks between the swatches are the panel's, not the backdrop's.
  void mousePressEvent(QMouseEvent* e) override { e->accept(); }
  void mouseReleaseEvent(QMouseEvent* e) override { e->accept(); }
};

class picker_backdrop : public overlay_layer {
 public:
  picker_backdrop() { setObjectName("colour_picker"); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), QColor(0, 0, 0, picker_backdrop_alpha));
  }
  void mousePressEvent(QMouseEvent* e) override { e->accept(); }
  void mouseReleaseEvent(QMouseEvent* e) override {
    e->accept();
    deleteLater();
  }
};

}  // namespace

QWidget* open_colour_picker(param_store& store, std::optional<QPoint> at, int kind, int index) {
  const int logical = logical_of(kind, index);
  const auto channel = channel_of(logical);
  if (!channel || channel->kind != kind || channel->index != index) return nullptr;
  if (overlay_host() == nullptr) return nullptr;

  auto* backdrop = new picker_backdrop();
  auto* panel = new picker_panel(backdrop);
  auto* column = new QVBoxLayout(panel);
  column->setContentsMargins(picker_padding, picker_padding, picker_padding, picker_padding);
  column->setSpacing(picker_gap + 4);

  const unsigned id = colour_base_id + static_cast<unsigned>(logical);
  auto choose = [&store, id, backdrop](uint16_t n) {
    store.linked_set(id, n);
    backdrop->deleteLater();
  };

  auto* title_row = new QHBoxLayout;
  auto* title = new QLabel(QString::fromUtf8(translate_text("SELECT CHANNEL COLOR")), panel);
  title->setFont(ui_font(title_px));
  set_text_colour(title, Qt::white);
  title_row->addWidget(title, 1, Qt::AlignVCenter);
  auto* clear = named_button(panel, "colour_clear", QString::fromUtf8(translate_text("CLR")));
  clear->set_colour(picker_clear_colour);
  clear->setFixedSize(clear_button_width, clear_button_height);
  QObject::connect(clear, &QAbstractButton::clicked, backdrop, [choose] { choose(0); });
  title_row->addWidget(clear, 0, Qt::AlignRight | Qt::AlignVCenter);
  column->addLayout(title_row);

  auto* grid = new QGridLayout;
  grid->setSpacing(picker_gap);
  for (int n = 1; n < channel_colour_count; ++n) {
    auto* s = new swatch(channel_colours[n], panel);
    s->setObjectName(QString("colour_swatch_%1").arg(n));
    QObject::connect(s, &QAbstractButton::clicked, backdrop, [choose, n] { choose(static_cast<uint16_t>(n)); });
    grid->addWidget(s, (n - 1) / picker_columns, (n - 1) % picker_columns);
  }
  column->addLayout(grid);

  panel->adjustSize();
  const QPoint corner = at ? *at : QPoint((backdrop->width() - panel->width()) / 2,
                                          (backdrop->height() - panel->height()) / 2);
  panel->move(corner);
  backdrop->show();
  backdrop->raise();
  return backdrop;
}

}  // namespace vorante
