#include "ui/screens/mixer/strips_page_phantom.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include "app/core/translate.h"
#include "app/params/ids.h"
#include "app/params/store.h"
#include "ui/pages/named_button.h"
#include "ui/widgets/button.h"
#include "ui/widgets/strip_parts.h"
#include "ui/widgets/widget_colours.h"
#include "ui/widgets/widget_fonts.h"
#include "ui/widgets/ui_text.h"

namespace vorante {

namespace {

constexpr rgb565 phantom_box_colour = 0xFCC0;
constexpr int phantom_backdrop_alpha = 153;  // black at 60 %

constexpr int box_width_percent = 70;
constexpr int box_height_percent = 50;
constexpr int box_radius = 4;
constexpr int box_gap = 48;
constexpr QSize answer_size{120, 60};
constexpr int question_px = 24;
constexpr rgb565 box_border = 0x8200;  // the box's own orange, darker

// The box the question sits in: orange, rounded, with a thin darker edge.
class question_box : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(to_qcolor(box_border), 1));
    p.setBrush(to_qcolor(phantom_box_colour));
    p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), box_radius, box_radius);
  }
};

}  // namespace

phantom_confirm::phantom_confirm(param_store& store, QWidget* parent) : QWidget(parent), store_(store) {
  setObjectName("phantom_confirm");
  box_ = new question_box(this);
  box_->setObjectName("phantom_box");
  auto* column = new QVBoxLayout(box_);
  column->setContentsMargins(box_gap / 2, box_gap / 2, box_gap / 2, box_gap / 2);
  column->setSpacing(box_gap);
  column->addStretch(1);

  question_ = new QLabel(tr_text("Are you sure to turn on the phantom power?"), box_);
  question_->setFont(ui_font(question_px));
  question_->setAlignment(Qt::AlignCenter);
  question_->setWordWrap(true);
  set_text_colour(question_, theme::black);
  column->addWidget(question_);

  auto* answers = new QHBoxLayout;
  answers->setSpacing(box_gap);
  answers->addStretch(1);
  no_ = named_button(box_, "phantom_no", tr_text("NO"));
  yes_ = named_button(box_, "phantom_yes", tr_text("YES"));
  for (button* b : {no_, yes_}) {
    b->setFixedSize(answer_size);
    answers->addWidget(b);
  }
  answers->addStretch(1);
  column->addLayout(answers);
  column->addStretch(1);

  connect(no_, &QAbstractButton::clicked, this, [this] { dismiss(); });
  connect(yes_, &QAbstractButton::clicked, this, [this] { confirm(); });

  parent->installEventFilter(this);
  setGeometry(parent->rect());
  hide();
}

void phantom_confirm::ask(int input) {
  if (input < 0 || input >= input_count) return;
  pending_ = input;
  setGeometry(parentWidget()->rect());
  show();
  raise();
}

void phantom_confirm::dismiss() {
  pending_.reset();
  hide();
}

void phantom_confirm::confirm() {
  if (pending_) store_.linked_set(param_id(kind_input, *pending_, code_input_phantom), 1);
  dismiss();
}

void phantom_confirm::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), QColor(0, 0, 0, phantom_backdrop_alpha));
}

void phantom_confirm::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  const QSize s(width() * box_width_percent / 100, height() * box_height_percent / 100);
  box_->setGeometry(QRect(QPoint((width() - s.width()) / 2, (height() - s.height()) / 2), s));
}

// The cover is modal: a touch beside the box answers nothing and reaches nothing below.
void phantom_confirm::mousePressEvent(QMouseEvent* e) { e->accept(); }

bool phantom_confirm::eventFilter(QObject* watched, QEvent* e) {
  if (watched == parentWidget() && e->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
  return QWidget::eventFilter(watched, e);
}

}  // namespace vorante
