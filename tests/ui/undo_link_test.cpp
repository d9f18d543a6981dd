// Undo and redo on a real link to the console simulator: a mute clicked on the strips page
// through the window, as the engineer clicks it, then Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y from
// the keyboard. Each is one write frame, the console follows, and a toast names the edit.
#include <QLabel>
#include <QtTest>
#include <memory>
#include <mutex>

#include "app/protocol/frame.h"
#include "app/protocol/messages.h"
#include "tests/ui/host_window.h"
#include "tests/ui/linked_rig.h"
#include "ui/platform/shortcuts.h"
#include "ui/screens/mixer/strips_page.h"
#include "ui/widgets/button.h"
#include "ui/widgets/channel_strip.h"
#include "ui/widgets/toast.h"

using namespace vorante;

namespace {

constexpr int change_wait_ms = 3000;

using test::sim_value;

// Keeps every frame the engine sends (the engine sends from the main loop's thread).
class recording_transport : public transport {
 public:
  struct log {
    std::mutex lock;
    std::vector<std::vector<uint8_t>> frames;
  };
  recording_transport(std::unique_ptr<transport> inner, log& sent) : inner_(std::move(inner)), sent_(sent) {}
  void send(const uint8_t* bytes, std::size_t n) override {
    {
      std::lock_guard<std::mutex> hold(sent_.lock);
      sent_.frames.emplace_back(bytes, bytes + n);
    }
    inner_->send(bytes, n);
  }
  std::size_t poll(engine_ring& ring, uint32_t now_ms) override { return inner_->poll(ring, now_ms); }

 private:
  std::unique_ptr<transport> inner_;
  log& sent_;
};

QString toast_text() {
  for (QWidget* w : QApplication::allWidgets())
    if (w->objectName() == "toast_bubble" && w->isVisible()) return static_cast<QLabel*>(w)->text();
  return {};
}

}  // namespace

class undo_link_test : public test::linked_test {
  Q_OBJECT

  recording_transport::log sent_;
  std::unique_ptr<edit_gestures> gestures_;

  // The write frames sent from frame `from` on that carry `id`, with the values they carry.
  std::vector<uint16_t> writes_of(std::size_t from, uint16_t id) {
    std::lock_guard<std::mutex> hold(sent_.lock);
    std::vector<uint16_t> values;
    for (std::size_t i = from; i < sent_.frames.size(); ++i) {
      const auto& f = sent_.frames[i];
      if (f.size() < 3 || f[2] != code_byte(message_code::write_params)) continue;
      for (const id_value& p : pair_list(frame_payload(f)))
        if (p.id == id) values.push_back(p.value);
    }
    return values;
  }
  std::size_t frames_so_far() {
    std::lock_guard<std::mutex> hold(sent_.lock);
    return sent_.frames.size();
  }
  // Ctrl plus `key` into the window, as the keyboard gives it; then the write settles.
  void keys(Qt::Key key, Qt::KeyboardModifiers mods, uint16_t id) {
    QTest::keyClick(host_->windowHandle(), key, mods);
    QTRY_VERIFY_WITH_TIMEOUT(!rig_->session.store.dirty().contains(id), change_wait_ms);
  }

 private slots:
  void init() {
    {
      std::lock_guard<std::mutex> hold(sent_.lock);
      sent_.frames.clear();
    }
    test::linked_rig::setup how{true, {}, test::wire_settings, {}};
    how.wrap = [this](std::unique_ptr<transport> t) -> std::unique_ptr<transport> {
      return std::make_unique<recording_transport>(std::move(t), sent_);
    };
    open_link({"--random-values", "11"}, how);
    gestures_ = std::make_unique<edit_gestures>(host_, *rig_->nav);
    install_shortcuts(*host_, *rig_->nav);
  }
  void cleanup() {
    hide_toast();
    gestures_.reset();
    close_link();
  }

  void a_clicked_mute_is_undone_and_redone_with_one_write_each() {
    auto* page = qobject_cast<strips_page*>(rig_->nav->page_on_screen());
    QVERIFY(page);
    const uint16_t on_id = param_id(kind_input, 0, code_on);
    const int before = sim_value(*sim_, on_id);
    const int after = before == 0 ? 1 : 0;

    // Through the window, where the gestures are watched.
    QWidget* mute = page->strip(0)->m_button();
    QTest::mouseClick(host_->windowHandle(), Qt::LeftButton, {}, mute->mapTo(host_, mute->rect().center()));
    QTRY_COMPARE_WITH_TIMEOUT(sim_value(*sim_, on_id), after, change_wait_ms);
    QTRY_VERIFY_WITH_TIMEOUT(!rig_->session.store.dirty().contains(on_id), change_wait_ms);

    struct step {
      Qt::Key key;
      Qt::KeyboardModifiers mods;
      int value;
      const char* toast;
    };
    const step steps[] = {
        {Qt::Key_Z, Qt::ControlModifier, before, "Undo: CH1 mute"},
        {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, after, "Redo: CH1 mute"},
        {Qt::Key_Z, Qt::ControlModifier, before, "Undo: CH1 mute"},
        {Qt::Key_Y, Qt::ControlModifier, after, "Redo: CH1 mute"},
    };
    for (const step& s : steps) {
      const std::size_t from = frames_so_far();
      keys(s.key, s.mods, on_id);
      QTRY_COMPARE_WITH_TIMEOUT(sim_value(*sim_, on_id), s.value, change_wait_ms);
      QCOMPARE(writes_of(from, on_id), std::vector<uint16_t>{static_cast<uint16_t>(s.value)});
      QCOMPARE(rig_->session.store.get(on_id), uint16_t(s.value));
      QTRY_COMPARE_WITH_TIMEOUT(page->strip(0)->m_button()->isChecked(), s.value == 0, change_wait_ms);
      QCOMPARE(toast_text(), QString(s.toast));
      // A picture of the first toast, for looking at: only when VORANTE_UNDO_SHOT names a file.
      if (const QString shot = qEnvironmentVariable("VORANTE_UNDO_SHOT"); !shot.isEmpty() && &s == steps)
        QVERIFY(host_->grab().save(shot));
    }

    // Past the last step: a toast, nothing written.
    const std::size_t from = frames_so_far();
    QTest::keyClick(host_->windowHandle(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(toast_text(), QString("Nothing to redo"));
    QTest::qWait(200);
    QVERIFY(writes_of(from, on_id).empty());
    QCOMPARE(sim_value(*sim_, on_id), after);
  }

  void a_change_on_the_console_is_not_undone() {
    auto* page = qobject_cast<strips_page*>(rig_->nav->page_on_screen());
    QVERIFY(page);
    const uint16_t on_id = param_id(kind_input, 1, code_on);
    const int before = sim_value(*sim_, on_id);
    QWidget* mute = page->strip(1)->m_button();
    QTest::mouseClick(host_->windowHandle(), Qt::LeftButton, {}, mute->mapTo(host_, mute->rect().center()));
    QTRY_COMPARE_WITH_TIMEOUT(sim_value(*sim_, on_id), before == 0 ? 1 : 0, change_wait_ms);
    QTRY_VERIFY_WITH_TIMEOUT(!rig_->session.store.dirty().contains(on_id), change_wait_ms);
    // The engineer at the console puts it back.
    sim_->command("set " + std::to_string(on_id) + " " + std::to_string(before));
    QTRY_COMPARE_WITH_TIMEOUT(rig_->session.store.get(on_id), uint16_t(before), change_wait_ms);
    const std::size_t from = frames_so_far();
    QTest::keyClick(host_->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(toast_text(), QString("Not undone, changed on the console: CH2 mute"));
    QTest::qWait(200);
    QVERIFY(writes_of(from, on_id).empty());
    QCOMPARE(sim_value(*sim_, on_id), before);
  }
};

QTEST_MAIN(undo_link_test)
#include "undo_link_test.moc"
