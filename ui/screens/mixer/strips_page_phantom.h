// The question before phantom power goes on: a dimmed cover over the strips with "NO" and
// "YES". Switching phantom power off needs no question; switching it on does, since 48 V
// on the wrong source can damage it.
#pragma once

#include <QWidget>
#include <optional>

#include "ui/foundation/colour.h"

class QLabel;

namespace vorante {

class button;
class param_store;

class phantom_confirm : public QWidget {
  Q_OBJECT

 public:
  // Covers `parent` whole, hidden until asked.
  phantom_confirm(param_store& store, QWidget* parent);

  // Shows the question for input `input`, which becomes the pending one.
  void ask(int input);
  // Hides the question and forgets the pending input.
  void dismiss();
  std::optional<int> pending() const { return pending_; }

  QWidget* box() const { return box_; }
  QLabel* question() const { return question_; }
  button* no_button() const { return no_; }
  button* yes_button() const { return yes_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void confirm();

  param_store& store_;
  QWidget* box_;
  QLabel* question_;
  button* no_;
  button* yes_;
  std::optional<int> pending_;
};

}  // namespace vorante
