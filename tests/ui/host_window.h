// The window a UI test builds its widgets in: a new one for every test function, shown and
// exposed, and made the overlay host so that dialogs, toasts and the text entry open over
// it. A test object takes it as a second base after QObject:
//
//   class some_test : public QObject, test::host_window {
//     Q_OBJECT
//    private slots:
//     void init() { QVERIFY(open_host({1280, 800})); }
//     void cleanup() { close_host(); }
#pragma once

#include <QSize>
#include <QWidget>
#include <QtTest>

#include "ui/widgets/overlay_layer.h"
#include "ui/widgets/text_entry.h"

namespace vorante::test {

class host_window {
 protected:
  // False when the window never came on screen.
  [[nodiscard]] bool open_host(QSize size) {
    host_ = new QWidget();
    host_->resize(size);
    set_overlay_host(host_);
    host_->show();
    return QTest::qWaitForWindowExposed(host_);
  }

  // A text entry left open by the test would outlive the widget it edits.
  void close_host() {
    text_entry_close();
    delete host_;
    host_ = nullptr;
  }

  QWidget* host_ = nullptr;
};

}  // namespace vorante::test
