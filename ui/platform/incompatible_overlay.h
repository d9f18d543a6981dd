// Shown once the console turns out not to be one this program can drive: a dark layer
// over the whole window with the reason in the middle. It takes every touch, and nothing
// takes it away again; the link stays down for the rest of the run.
#pragma once

#include <QWidget>

class QLabel;

namespace vorante {

class incompatible_overlay : public QWidget {
  Q_OBJECT

 public:
  // Hidden until show_message(); covers its parent and follows its size.
  explicit incompatible_overlay(QWidget* parent);

  void show_message(const QString& text);
  QString message() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLabel* label_;
};

}  // namespace vorante
