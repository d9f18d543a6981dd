// `setting`: the menu column on the left (the system page, scenes, copy, the group pages,
// the signal generator and, in factory mode only, the factory page) and, on the right, the
// title bar over the host of the chosen page.
#pragma once

#include <QButtonGroup>
#include <array>
#include <string_view>

#include "ui/pages/container_page.h"

class QAbstractButton;
class QLabel;

namespace vorante {

struct settings_menu_entry {
  std::string_view page;   // registry name
  const char* label;       // English, translated when shown
  const char* title;       // empty: no title bar
};

// The rows in their fixed order; the last one exists only in factory mode.
constexpr std::array<settings_menu_entry, 7> settings_menu{{
    {"set_sys", "SYSTEM", ""},
    {"set_scene", "SCENE", ""},
    {"set_copy", "COPY", ""},
    {"set_mute_group", "MUTE GROUP", "MUTE GROUP"},
    {"set_phantom_group", "PHANTOM GROUP", "PHANTOM GROUP"},
    {"signal", "SIGNAL", "SIGNAL"},
    {"factory_mode", "工厂模式", "工厂模式"},
}};
constexpr int factory_menu_row = 6;

class setting_page : public container_page {
  Q_OBJECT

 public:
  setting_page(QWidget* parent, page_env& env);

  void page_shown() override;
  void page_hidden() override;
  void open(int argument) override;

  QAbstractButton* row(int n) const;
  int checked_row() const { return rows_.checkedId(); }
  QLabel* title() const { return title_; }
  QWidget* title_bar() const { return title_bar_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void select(int n);
  void show_row(int n);
  void follow_host(int id);

  page_env& env_;
  QButtonGroup rows_;
  std::array<QWidget*, settings_menu.size()> separators_{};
  QLabel* header_;
  QLabel* title_;
  QWidget* title_bar_;
};

page* create_setting_page(QWidget* parent, page_env& env, int id);

}  // namespace vorante
