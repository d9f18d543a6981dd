// The MEDIA tab: the console's media module. A source menu chooses the u-disk player, the
// recorder, Bluetooth or an S/PDIF input, each with its own view. The player view browses
// the play list the disk scanner learned (folders, then files), shows the playing file and
// sends the transport commands. The page keeps the play list in step with the disk: it
// loads the saved list when it is made, rescans when the console's song count differs
// from it, and saves every scan. Only one client may use the player at a time; the page
// claims it and shows a notice while another client holds it.
#pragma once

#include <QTimer>
#include <array>
#include <memory>
#include <vector>

#include "app/media/media_client.h"
#include "app/media/playlist.h"
#include "ui/pages/page.h"

class QAbstractButton;
class QComboBox;
class QLabel;
class QStackedWidget;

namespace vorante {

class disc;
class navigator;
class icon_button;
class text_list;
class thin_bar;

constexpr uint16_t media_holder_param = 3181;   // ..3184, bit 15 of the first: held
constexpr uint16_t media_identity_param = 3185; // ..3188, this client's identity
constexpr uint16_t media_claim_param = 3189;
constexpr int media_claim_ms = 1000;
constexpr int media_follow_hold_ms = 3000;
constexpr int media_browse_hold_ms = 10000;
constexpr int media_play_debounce_ms = 1000;
constexpr int media_refresh_spin_ms = 80;
constexpr double media_refresh_spin_step = 15.0;

// Source types: the play device code in the low byte, the S/PDIF input in the high byte.
constexpr int source_player = 2;
constexpr int source_recorder = 5;
constexpr int source_bluetooth = 6;
constexpr int source_usb_audio = 9;
constexpr int source_spdif = 10;
constexpr int source_optical = 0x20A;

struct media_source {
  const char* name;
  int type;
  int view;
};

enum media_view : int { view_player, view_recorder, view_bluetooth, view_optical, view_coax, view_usb_audio, view_count };

constexpr std::array<media_source, 5> media_sources{{
    {"Player", source_player, view_player},
    {"Recorder", source_recorder, view_recorder},
    {"Bluetooth", source_bluetooth, view_bluetooth},
    {"Optical", source_optical, view_optical},
    {"Coax", source_spdif, view_coax},
}};

// "Player", "Recorder", ... by type; "undef" for any other.
const char* media_source_name(int type);

class player_page : public page {
  Q_OBJECT

 public:
  player_page(QWidget* parent, page_env& env);
  ~player_page() override;

  void page_shown() override;
  void open(int argument) override;
  void on_param(uint16_t id, uint16_t value, bool pushed) override;

  // The source type of the view on screen.
  int player_source() const;

  // --- for tests and screenshots ---
  text_list* folder_list() const { return folders_; }
  text_list* files_list() const { return files_; }
  QComboBox* source_menu() const { return menu_; }
  QStackedWidget* views() const { return views_; }
  QWidget* in_use_panel() const { return in_use_; }
  bool usable() const { return usable_; }
  std::size_t playlist_size() const { return playlist_count_; }
  QLabel* path_label() const { return path_; }
  QWidget* scan_box() const { return scan_box_; }
  icon_button* button_by_name(const QString& name) const;

 private:
  struct folder_store {
    std::vector<std::unique_ptr<playlist_folder>> folders;
  };

  void build();
  QWidget* build_player_view();
  QWidget* build_recorder_view();
  QWidget* build_bluetooth_view();
  void register_events();
  void retranslate();

  bool player_free() const;
  void claim_tick();
  void send_source(int type);
  void show_source(int index);
  void follow_console();
  void set_media_lights();

  void on_playback(const playback_status& s);
  void on_status();
  void on_transport(int state);
  void on_bluetooth(bool connected, bool playing);
  void on_time(const media_time_report& t);
  void on_folder_file(const folder_node& folder, std::string_view name, uint32_t id, bool first);
  void on_file_found(const folder_node& folder, std::string_view name, uint32_t id);
  void on_scan_finished(int count, int code);
  void on_udisk_inserted();
  void on_udisk_removed();
  void on_play_device(int device);

  void clear_display();
  void clear_list(text_list* list, folder_store& store);
  void fill_list_from(const playlist& list, text_list* target, folder_store& store);
  void swap_lists();
  void start_browsing();
  void select_playing_file();
  void fill_files();
  void file_clicked(int row);
  void start_rescan();
  void stop_refresh_spin();
  void save_playlist();
  void set_repeat_icon(bool one);
  void set_playing(bool playing);
  int selected_folder() const;
  const playlist_folder* folder_at(int row) const;

  page_env& env_;
  media_client& media_;

  QComboBox* menu_ = nullptr;
  QStackedWidget* views_ = nullptr;
  std::array<QWidget*, view_count> view_widgets_{};
  QWidget* in_use_ = nullptr;
  QLabel* in_use_label_ = nullptr;

  // Player view.
  icon_button* back_ = nullptr;
  icon_button* page_up_ = nullptr;
  icon_button* page_down_ = nullptr;
  icon_button* repeat_ = nullptr;
  QLabel* path_ = nullptr;
  QWidget* scan_box_ = nullptr;
  QLabel* scanned_ = nullptr;
  QLabel* scan_console_count_ = nullptr;
  icon_button* refresh_ = nullptr;
  text_list* folders_ = nullptr;
  text_list* spare_ = nullptr;
  text_list* files_ = nullptr;
  folder_store folders_data_, spare_data_;
  disc* disc_ = nullptr;
  QLabel* song_ = nullptr;
  QLabel* song_count_ = nullptr;
  QLabel* format_ = nullptr;
  QLabel* position_ = nullptr;
  QLabel* length_ = nullptr;
  thin_bar* progress_ = nullptr;
  icon_button* prev_ = nullptr;
  icon_button* play_ = nullptr;
  icon_button* next_ = nullptr;

  // Recorder and Bluetooth views.
  QLabel* ready_ = nullptr;
  QLabel* record_time_ = nullptr;
  QAbstractButton* record_ = nullptr;
  QLabel* bt_state_ = nullptr;
  icon_button* bt_play_ = nullptr;

  // Play list and playback.
  std::size_t playlist_count_ = 0;
  int console_songs_ = -1;  // unknown until the first status
  int current_song_ = -1;
  uint32_t playing_id_ = 0;
  bool playing_id_known_ = false;
  int minutes_ = 0, seconds_ = 0, length_m_ = 0, length_s_ = 0;
  int last_time_seconds_ = -1, last_time_minutes_ = -1;
  int last_format_ = -1;
  int repeat_one_ = -1;
  bool playing_ = false;
  bool browsing_ = false;
  bool reselect_ = false;
  uint32_t pending_file_ = 0;
  int folder_file_count_ = 0;
  double refresh_angle_ = 0;

  bool usable_ = false;
  bool recording_ = false;
  bool rescan_blocked_ = false;
  bool udisk_present_ = false;
  uint32_t user_source_time_ = 0;
  bool user_source_changed_ = false;

  QTimer claim_timer_;
  QTimer browse_timer_;
  QTimer play_timer_;
  QTimer refresh_timer_;
};

page* create_player(QWidget* parent, page_env& env, int id);

// The console's media keys: previous, next, play or pause, and the recorder key that
// opens the page. They work whether the page was made or not. Installed before the page is
// made, which then takes the media events over: until then the media reports only keep the
// media keys' lights.
void install_media_keys(navigator& nav);

}  // namespace vorante
