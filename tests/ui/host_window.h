// The window a UI test builds its widgets in: a new one for every test function, shown and
// exposed, and made the overlay host so that dialogs, toasts and the text entry open over
// it. A test object that wants nothing else from init and cleanup derives from
// host_window_test and names the size:
//
//   class some_test : public test::host_window_test {
//     Q_OBJECT
//    public:
//     some_test() : host_window_test({1280, 800}) {}
//    private slots:
//     ... the tests ...
//
// One that sets up more takes host_window as a second base after QObject and calls
// open_host (or make_host, then show_host) and close_host from its own init and cleanup.
#pragma once

#include <QSize>
#include <QWidget>
#include <QtTest>

#include "ui/widgets/overlay_layer.h"
#include "ui/widgets/text_entry.h"

namespace vorante::test {

// A widget shown alone, as a window of its own; false when it never came on screen.
[[nodiscard]] inline bool show_window(QWidget& w, QSize size) {
  w.resize(size);
  w.show();
  return QTest::qWaitForWindowExposed(&w);
}

class host_window {
 protected:
  // False when the window never came on screen.
  [[nodiscard]] bool open_host(QSize size) {
    make_host(size);
    return show_host();
  }

  // The two halves of open_host, for a test that puts its own widgets in before the window
  // shows (children added later would stay hidden).
  QWidget* make_host(QSize size) {
    host_ = new QWidget();
    host_->resize(size);
    set_overlay_host(host_);
    return host_;
  }
  [[nodiscard]] bool show_host() {
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

class host_window_test : public QObject, protected host_window {
  Q_OBJECT

 protected:
  explicit host_window_test(QSize size) : size_(size) {}

 private slots:
  void init() { QVERIFY(open_host(size_)); }
  void cleanup() { close_host(); }

 private:
  QSize size_;
};

}  // namespace vorante::test
