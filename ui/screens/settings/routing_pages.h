// The system page's routing views: which hardware input feeds each logical input and which
// bus feeds each hardware output (`set_input`, `set_output`), whether the headphones hear
// each channel before or after its fader (`set_phones`), and what the recorder records and
// plays back where (`set_record`). Each only writes ordinary parameters.
#pragma once

#include <QButtonGroup>
#include <QTimer>
#include <array>
#include <vector>

#include "ui/pages/page.h"

class QAbstractButton;
class QLabel;
class QStackedWidget;

namespace vorante {

class button;
class channel_button;
class routing_matrix;
class toggle_button;

class channel_mapping_page : public page {
  Q_OBJECT

 public:
  // `outputs`: buses to hardware outputs; otherwise hardware inputs to logical inputs.
  channel_mapping_page(QWidget* parent, page_env& env, bool outputs);

  void open(int argument) override;
  void on_param(uint16_t id, uint16_t value, bool pushed) override;
  void on_name(int logical, const QString& text) override;

  QAbstractButton* hardware_button(int n) const;
  channel_button* logical_button(int n) const;
  QAbstractButton* reset_button() const;
  // The sub texts now, without waiting for the timer.
  void show_sources();

 private:
  int first_id() const;
  int id_count() const;
  int kind() const;
  void logical_clicked(int n);

  page_env& env_;
  bool outputs_;
  QButtonGroup hardware_;
  std::vector<QAbstractButton*> hardware_buttons_;
  std::vector<channel_button*> logical_buttons_;
  button* reset_ = nullptr;
  QTimer sources_timer_;
};

class phones_page : public page {
  Q_OBJECT

 public:
  phones_page(QWidget* parent, page_env& env);

  void page_shown() override;
  void open(int argument) override;
  void on_param(uint16_t id, uint16_t value, bool pushed) override;

  struct channel_row {
    int kind;
    int index;
    toggle_button* pre;
    toggle_button* post;
  };
  const std::vector<channel_row>& channels() const { return channels_; }
  // The group's PRE (true) or POST button; groups 0..3 (the MAIN pair has none).
  QAbstractButton* group_button(int group, bool pre) const;
  void show_state();

 private:
  QWidget* make_group(int group);
  void set_group(int group, bool pre);

  page_env& env_;
  std::vector<channel_row> channels_;
  std::vector<std::array<QAbstractButton*, 2>> group_buttons_;
  QTimer display_timer_;
};

class record_page : public page {
  Q_OBJECT

 public:
  record_page(QWidget* parent, page_env& env);

  void page_shown() override;
  // Asks for the recorder IDs; argument 1 shows the REC OUT tab.
  void open(int argument) override;
  void on_param(uint16_t id, uint16_t value, bool pushed) override;

  QAbstractButton* tab(int n) const { return tabs_[static_cast<std::size_t>(n)]; }
  routing_matrix* matrix(int n) const { return matrices_[static_cast<std::size_t>(n)]; }
  QAbstractButton* apply_button(int n) const { return apply_[static_cast<std::size_t>(n)]; }
  QAbstractButton* recover_button(int n) const { return recover_[static_cast<std::size_t>(n)]; }
  QStackedWidget* panels() const { return panels_; }
  void show_routing();

 private:
  QWidget* make_panel(int n);
  void select_tab(int n);
  void apply(int n);

  page_env& env_;
  std::vector<int> fitted_;
  std::array<QAbstractButton*, 2> tabs_{};
  std::array<routing_matrix*, 2> matrices_{};
  std::array<QAbstractButton*, 2> apply_{};
  std::array<QAbstractButton*, 2> recover_{};
  QStackedWidget* panels_ = nullptr;
  QTimer display_timer_;
};

page* create_set_input_page(QWidget* parent, page_env& env, int id);
page* create_set_output_page(QWidget* parent, page_env& env, int id);
page* create_set_phones_page(QWidget* parent, page_env& env, int id);
page* create_set_record_page(QWidget* parent, page_env& env, int id);

}  // namespace vorante
