// `brief_cont`: the navigation bar (bank tabs, "FADER", "MEDIA", "SYSTEM", the logo and
// the link icon) above the host of the strips page, the fader overview, the player and the
// settings menu.
#pragma once

#include <QButtonGroup>
#include <QImage>

#include "app/params/banks.h"
#include "ui/foundation/colour.h"
#include "ui/pages/container_page.h"

class QAbstractButton;
class QLabel;

namespace vorante {

inline constexpr const char* link_online_icon = "res/setting/png_icon_wifi_conn.png";
inline constexpr const char* link_offline_icon = "res/setting/png_icon_wifi_disconn.png";

// Tab numbers: the banks first, then the three page tabs.
constexpr int tab_fader = bank_count;
constexpr int tab_media = bank_count + 1;
constexpr int tab_system = bank_count + 2;

// The link icon as the navigation bar shows it.
QImage link_state_icon(bool online);

class brief_cont_page : public container_page {
  Q_OBJECT

 public:
  brief_cont_page(QWidget* parent, page_env& env);

  // 5, 6 and 7 highlight "FADER", "MEDIA" and "SYSTEM"; anything else the current bank.
  void open(int argument) override;

  QAbstractButton* tab(int n) const;
  // The highlighted tab, or -1.
  int highlighted_tab() const { return tabs_.checkedId(); }
  QWidget* link_box() const { return link_box_; }
  bool link_shown_online() const { return link_online_; }

 private:
  void tab_clicked(int n);
  void show_link_state(bool online);

  page_env& env_;
  QButtonGroup tabs_;
  QWidget* link_box_;
  QLabel* link_icon_;
  bool link_online_ = false;
};

page* create_brief_cont(QWidget* parent, page_env& env, int id);

}  // namespace vorante
