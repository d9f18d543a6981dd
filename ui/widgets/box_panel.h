// A plain container painted as one rounded card: the backgrounds and frames that group a
// few controls on a page.
#pragma once

#include <QWidget>

#include "ui/widgets/box_cache.h"

namespace vorante {

class box_panel : public QWidget {
 public:
  box_panel(const box_look& look, QWidget* parent = nullptr) : QWidget(parent), look_(look) {}

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  box_look look_;
};

}  // namespace vorante
