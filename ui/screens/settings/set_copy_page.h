// `set_copy`: copies one input onto several inputs, or one aux bus onto several buses.
// Each section has a source list, the "COPY" button with its status line and a grid of
// target buttons; linked input pairs are checked together.
#pragma once

#include <QTimer>
#include <array>

#include "ui/pages/page.h"

class QComboBox;
class QLabel;
class QAbstractButton;

namespace vorante {

class button_grid;

class set_copy_page : public page {
  Q_OBJECT

 public:
  set_copy_page(QWidget* parent, page_env& env);

  void page_shown() override;

  // Section 0 copies inputs, section 1 buses.
  QComboBox* source_list(int section) const { return sections_[static_cast<std::size_t>(section)].source; }
  QAbstractButton* copy_button(int section) const { return sections_[static_cast<std::size_t>(section)].copy; }
  QLabel* status(int section) const { return sections_[static_cast<std::size_t>(section)].status; }
  QAbstractButton* target(int section, int index) const;
  button_grid* targets(int section) const { return sections_[static_cast<std::size_t>(section)].grid; }
  bool watching() const { return watch_.isActive(); }

 private:
  struct section {
    int kind = 0;
    QLabel* title = nullptr;
    QLabel* source_label = nullptr;
    QLabel* target_label = nullptr;
    QComboBox* source = nullptr;
    QAbstractButton* copy = nullptr;
    QLabel* status = nullptr;
    button_grid* grid = nullptr;
  };

  QWidget* make_section(int n, int kind, const char* title);
  void target_toggled(int n, int index, bool on);
  void copy_clicked(int n);
  void watch_tick();
  void relabel();

  page_env& env_;
  std::array<section, 2> sections_{};
  int copying_section_ = -1;
  QTimer watch_;
};

page* create_set_copy_page(QWidget* parent, page_env& env, int id);

}  // namespace vorante
