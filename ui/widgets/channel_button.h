// The two-line channel button: the channel's name and, smaller below it, a sub text (what
// feeds it, on the mapping pages).
#pragma once

#include "ui/widgets/button.h"

namespace vorante {

class channel_button : public button {
  Q_OBJECT

 public:
  explicit channel_button(QWidget* parent = nullptr);

  void set_main_text(const QString& text);
  void set_sub_text(const QString& text);
  QString main_text() const { return main_; }
  QString sub_text() const { return sub_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString main_;
  QString sub_;
};

}  // namespace vorante
