// `set_scene`: the twelve local scenes of the console. The user recalls (CALL) and stores
// (SAVE) a scene, renames it, locks the console's scene keys and moves a scene to and from
// a .scn file. Calls and saves go through the engine's scene requests; the page shows a
// busy overlay when the console takes long and a toast when it answers. The scene keys of
// the console use the same call and save, whether the page exists or not.
//
// DIFF reads the selected scene's values from the console (as the export does) and lists
// what a recall would change, channel by channel. The button (right of LOCK MIX1-6) and its
// list (below it) sit outside the page's layout, in the corner the page leaves empty: they
// move and cover nothing the page draws.
#pragma once

#include <QFileDialog>
#include <QPointer>
#include <QTimer>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/scenes/scene_exchange.h"
#include "ui/foundation/colour.h"
#include "ui/pages/page.h"

class QAbstractButton;
class QButtonGroup;

class QLabel;

namespace vorante {

class face_button;
class navigator;
class text_list;

constexpr int scene_rows = 12;
constexpr int scene_progress_ms = 100;
// Ticks of the progress timer: the overlay from the 4th on, the failure after the 49th.
constexpr int scene_overlay_tick = 4;
constexpr int scene_last_tick = 48;
constexpr int scene_fail_shown_ms = 1000;
constexpr int scene_import_poll_ms = 20;
constexpr int scene_key_count = 6;
constexpr int scene_key_first = 43;
constexpr int scene_blink_ms = 200;
constexpr int scene_blink_steps = 25;
constexpr rgb565 scene_row_background = 0x52CB;
constexpr rgb565 scene_row_checked = 0x24BE;
constexpr rgb565 scene_row_checked_border = 0x061E;
constexpr rgb565 scene_button_background = 0x52CB;
// The diff list's rows (the scrolling list keeps them to this many characters).
constexpr int scene_diff_row_height = 24;

// ---- process-wide: the scene operation (CALL or SAVE) and the scene keys ----

// Scene keys 0..5: refused (false) while a scene operation runs or a recall (a store) is
// pending; otherwise selects row i on the page, starts the progress and asks the console.
bool call_scene(int i);
bool save_scene(int i);
bool scene_operation_running();
// One tick of the operation's progress timer, as the timer runs it.
void scene_progress_tick();
// Stops the operation and the blink where they are, without a result (tests, shutdown).
void end_scene_operation();
// The console's SCENEKEYLOCK setting as last reported (or set from the page).
void set_scene_key_lock(bool locked);
bool scene_key_lock();
// Gives the scene operations the link and the console's scene keys to act on (the page
// does the same when it is made).
void install_scene_keys(navigator& nav);
// What a scene key does (code 43..48, bit 15 for a long press); exposed for tests.
void scene_key_pressed(int code);
bool scene_key_blinking();

// The file text waiting for the import: the open dialog puts it, the page's poll takes it.
// Each side is one atomic exchange, so neither frees a text the other still uses.
void put_scene_file_text(std::unique_ptr<std::string> text);
std::unique_ptr<std::string> take_scene_file_text();

class set_scene_page : public page {
  Q_OBJECT

 public:
  set_scene_page(QWidget* parent, page_env& env);
  ~set_scene_page() override;

  void page_shown() override;
  void page_hidden() override;
  void on_param(uint16_t id, uint16_t value, bool pushed) override;
  void on_scene_name(int scene, const QString& text) override;

  // ---- the user's actions ----
  void rename_clicked();
  void call_clicked();
  void save_clicked();
  void import_clicked();
  void export_clicked();
  void lock_clicked();
  void diff_clicked();
  void select_row(int i);
  // The first checked row as a scene number (1..12), 0 for none.
  int selected_scene() const;
  // What the 20 ms poll runs: takes a waiting file text and starts its import.
  void poll_import();
  // The folder the file dialogs open in (tests point it at a temporary one).
  void set_dialog_folder(const QString& folder) { dialog_folder_ = folder; }

  // ---- state, for tests ----
  QAbstractButton* row(int i) const { return rows_[static_cast<std::size_t>(i)]; }
  QLabel* name_label(int i) const { return names_[static_cast<std::size_t>(i)]; }
  QWidget* name_area(int i) const;
  face_button* rename_button() const { return buttons_[0]; }
  face_button* call_button() const { return buttons_[1]; }
  face_button* save_button() const { return buttons_[2]; }
  face_button* import_button() const { return buttons_[3]; }
  face_button* export_button() const { return buttons_[4]; }
  face_button* lock_button() const { return lock_; }
  face_button* diff_button() const { return diff_; }
  text_list* diff_list() const { return diff_list_; }
  // The scene the list shows (or reads), 0 before the first DIFF.
  int diff_scene() const { return diff_scene_; }
  QLabel* title() const { return title_; }
  scene_exchange& exchange() { return exchange_; }
  int import_target() const { return import_target_; }
  bool import_poll_running() const { return poll_ && poll_->isActive(); }
  bool transfer_timer_running() const { return transfer_timer_.isActive(); }
  QFileDialog* open_dialog() const { return open_dialog_; }
  QFileDialog* save_dialog() const { return save_dialog_; }
  // One tick of the 10 ms transfer timer.
  void tick_transfer();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  // LOCK MIX1-6 (or what holds it) moved or changed size: the diff button and list follow.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void build();
  bool start_scene_operation(bool call, int scene);
  void start_transfer_timer();
  void save_file(const std::string& json);
  uint16_t scene_param() const;
  void place_diff();
  void diff_read();
  void diff_failed();
  void show_diff_progress();
  void fill_diff();

  page_env& env_;
  QLabel* title_ = nullptr;
  QWidget* area_ = nullptr;
  QWidget* list_ = nullptr;
  std::array<QAbstractButton*, scene_rows> rows_{};
  std::array<QLabel*, scene_rows> names_{};
  std::array<face_button*, 5> buttons_{};
  face_button* lock_ = nullptr;
  face_button* diff_ = nullptr;
  text_list* diff_list_ = nullptr;
  int diff_scene_ = 0;
  bool diff_reading_ = false;
  // The scene's values as read, kept so the list follows later live changes.
  std::vector<uint16_t> diff_values_;
  QTimer diff_refresh_;
  QButtonGroup* radio_ = nullptr;
  scene_exchange exchange_;
  QTimer transfer_timer_;
  QPointer<QTimer> poll_;
  int import_target_ = 0;
  QPointer<QFileDialog> open_dialog_, save_dialog_;
  QString dialog_folder_;
};

page* create_set_scene(QWidget* parent, page_env& env, int id);

}  // namespace vorante
