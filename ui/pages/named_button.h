// The way the screens make most of their buttons: a face button with an object name (tests
// and style sheets find it by that) and its text.
#pragma once

#include <QString>
#include <QWidget>

#include "ui/widgets/button.h"

namespace vorante {

template <class B = button>
B* named_button(QWidget* parent, const QString& name, const QString& text) {
  auto* b = new B(parent);
  b->setObjectName(name);
  b->set_text(text);
  return b;
}

}  // namespace vorante
