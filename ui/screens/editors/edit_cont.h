// `edit_cont`: the frame around the channel editors. Its 60 px top bar shows which channel
// is edited (close button, link icon, kind and name), the six bank groups with the fader
// positions of their channels, and the channel navigator; below it the host of the four
// editors shows the editor of the channel's kind.
#pragma once

#include <QButtonGroup>
#include <array>

#include "app/params/editor_nav.h"
#include "ui/foundation/colour.h"
#include "ui/pages/container_page.h"

class QAbstractButton;
class QLabel;

namespace vorante {

class bank_group;
class channel_nav;

constexpr int edit_top_bar_height = 60;
constexpr int edit_top_bar_gap = 4;
constexpr int edit_title_block_width = 180;
constexpr int edit_close_width = 60;
constexpr int edit_selector_gap = 2;
constexpr rgb565 edit_close_background = 0xE002;
constexpr rgb565 edit_title_border = 0x1E86;
constexpr rgb565 edit_title_background = 0x0AE3;
constexpr int edit_title_radius = 4;
inline constexpr const char* edit_close_icon = "res/common/img_close.png";

class edit_cont_frame : public container_page {
  Q_OBJECT

 public:
  edit_cont_frame(QWidget* parent, page_env& env);

  // The link icon, then every fader level as the store has it into the group bars.
  void page_shown() override;
  // A logical channel: its editor, labels, bank and highlighted group.
  void open(int logical) override;
  void on_param(uint16_t id, uint16_t value, bool pushed) override;
  void on_name(int logical, const QString& text) override;

  void show_link_state(bool online);

  // ---- the user's actions ----
  void select_group(int group);
  // direction > 0: next, otherwise previous.
  void step(int direction);
  void close_clicked();
  void title_clicked();

  // ---- state, for tests ----
  int current_channel() const { return current_; }
  int highlighted_group() const { return groups_.checkedId(); }
  int remembered(int group) const { return remembered_[static_cast<std::size_t>(group)]; }
  bank_group* group(int n) const;
  channel_nav* navigator_widget() const { return nav_; }
  QString kind_text() const;
  QString name_text() const;
  QAbstractButton* close_button() const { return close_; }
  QWidget* title_area() const { return title_area_; }
  bool link_shown_online() const { return link_online_; }

 private:
  void show_name(int logical, const QString& stored);
  // A fader level of a channel with a bar in one of the groups moves that bar.
  void show_fader(uint16_t id, uint16_t value);
  void highlight(int group);

  page_env& env_;
  int current_ = -1;
  QButtonGroup groups_;
  std::array<int, editor_group_count> remembered_{};
  channel_nav* nav_ = nullptr;
  QAbstractButton* close_ = nullptr;
  QWidget* title_area_ = nullptr;
  QLabel* link_icon_ = nullptr;
  QLabel* kind_label_ = nullptr;
  QLabel* name_label_ = nullptr;
  bool link_online_ = false;
};

page* create_edit_cont(QWidget* parent, page_env& env, int id);

}  // namespace vorante
