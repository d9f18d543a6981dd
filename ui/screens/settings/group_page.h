// `set_mute_group` and `set_phantom_group`: the twin pages that edit the four mute groups
// and the four phantom-power groups: group selectors, the groups' switches, membership
// grids of the offered channels and the two bulk buttons.
#pragma once

#include <QButtonGroup>
#include <QTimer>
#include <array>
#include <vector>

#include "ui/pages/page.h"

class QAbstractButton;

namespace vorante {

class button_grid;
class flat_toggle;

class group_page : public page {
  Q_OBJECT

 public:
  // `group_kind` is kind_mute_group or kind_phantom_group.
  group_page(QWidget* parent, page_env& env, int id, int group_kind);

  void page_shown() override;
  void on_param(uint16_t id, uint16_t value, bool pushed) override;

  int selected_group() const { return group_; }
  QAbstractButton* selector(int g) const;
  QAbstractButton* group_switch(int g) const { return switches_[static_cast<std::size_t>(g)]; }
  // The button of (kind, index), nullptr when the page offers none.
  QAbstractButton* channel_button(int kind, int index) const;
  QAbstractButton* bulk_button(bool on) const { return on ? all_on_ : all_off_; }
  button_grid* grid(int n) const { return grids_[static_cast<std::size_t>(n)]; }
  void refresh();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct channel {
    int kind;
    int index;
    flat_toggle* button;
  };

  void select(int g);
  void bulk(bool on);

  page_env& env_;
  int group_kind_;
  int group_ = 0;
  QButtonGroup selectors_;
  std::array<QAbstractButton*, 4> switches_{};
  std::vector<button_grid*> grids_;
  std::vector<channel> channels_;
  QWidget* block_ = nullptr;
  QAbstractButton* all_on_ = nullptr;
  QAbstractButton* all_off_ = nullptr;
  QTimer refresh_timer_;
};

page* create_group_page(QWidget* parent, page_env& env, int id);

}  // namespace vorante
