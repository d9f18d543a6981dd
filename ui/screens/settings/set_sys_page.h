// `set_sys`: the system page. A grid of nine buttons opens its sub-views: the pages it
// hosts (network, recording, headphones, input and output mapping) under a title, the
// lock view, the language choice and the device information. It always opens on the grid.
#pragma once

#include <QButtonGroup>
#include <QString>
#include <array>
#include <string>

#include "ui/pages/container_page.h"

class QAbstractButton;
class QLabel;
class QStackedWidget;

namespace vorante {

class face_button;

// The views of the page's stack.
enum sys_view : int { view_grid = 0, view_hosted, view_lock, view_language, view_version, sys_view_count };

struct sys_button_entry {
  const char* label;   // English
  int view;            // sys_view; -1 for the factory reset, which changes no view
  int hosted_page;     // page ID shown in the hosting view, 0 for none
  const char* title;   // English; empty for no title
};

constexpr std::array<sys_button_entry, 9> sys_buttons{{
    {"NETWORK", view_hosted, 24, "NETWORK"},
    {"RESET", -1, 0, ""},
    {"LOCK", view_lock, 0, "LOCK"},
    {"RECORD", view_hosted, 21, ""},
    {"PHONES", view_hosted, 22, "HEADPHONE MONITORING SETTINGS"},
    {"LANGUAGE", view_language, 0, "LANGUAGE"},
    {"VERSION", view_version, 0, ""},
    {"INPUT", view_hosted, 27, "INPUT CHANNEL MAPPING"},
    {"OUTPUT", view_hosted, 28, "OUTPUT CHANNEL MAPPING"},
}};

inline constexpr const char* restart_notice_text =
    "\n请重启软件以使更改生效. \nPlease restart the software for the changes to take effect.\n";

class set_sys_page : public container_page {
  Q_OBJECT

 public:
  set_sys_page(QWidget* parent, page_env& env);
  ~set_sys_page() override;

  void page_shown() override;
  // 0 leaves the grid; 1..9 acts as a click on grid button 1..9 would; 10 opens the lock
  // dialog and 11 the change-password dialog (for "--show set_sys:N").
  void open(int argument) override;
  void on_param(uint16_t id, uint16_t value, bool pushed) override;
  void on_name(int logical, const QString& text) override;

  // The console's report of its name and firmware.
  void set_device_name_text(const QString& text);
  void set_firmware_text(const QString& text);

  int current_view() const;
  QAbstractButton* grid_button(int n) const;
  QLabel* view_title(int view) const;
  QAbstractButton* view_close(int view) const;
  QAbstractButton* language_toggle(bool chinese) const;
  QLabel* restart_notice() const { return restart_notice_; }
  QLabel* device_name_label() const { return device_name_; }
  QLabel* firmware_label() const { return firmware_; }
  QAbstractButton* password_button() const { return password_; }
  QAbstractButton* lock_button() const { return lock_; }

  // Where the language choice is kept (nativecfg.ini in the working directory).
  static void set_config_path(std::string path);

 private:
  void button_clicked(int n);
  void show_view(int view, const char* title);
  void follow_host(int id);
  void choose_language(bool chinese);
  void read_language();
  void rename_device();
  QWidget* make_view(int view, QWidget* body);

  page_env& env_;
  QStackedWidget* stack_;
  QButtonGroup grid_;
  std::array<QLabel*, sys_view_count> titles_{};
  std::array<QAbstractButton*, sys_view_count> closes_{};
  QButtonGroup languages_;
  QLabel* restart_notice_ = nullptr;
  QLabel* device_name_ = nullptr;
  QLabel* firmware_ = nullptr;
  QAbstractButton* password_ = nullptr;
  QAbstractButton* lock_ = nullptr;
};

// The system page while it exists (the configuration reports reach it here).
set_sys_page* system_page();

page* create_set_sys_page(QWidget* parent, page_env& env, int id);

}  // namespace vorante
