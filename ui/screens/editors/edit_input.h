// `edit_input`: the input channel editor inside the editor frame. Every value on it is a
// selectable cell; the one big fader on the right (and the console's encoders) edit the
// selected cell, or the channel fader when none is selected. Left column with gain, pan and
// the three thumbnails, the detail tabs (overview, PEQ, GATE, COMP, the phantom question,
// FADER), the settings box, and the twelve send strips below.
#pragma once

#include <QPointer>
#include <QTimer>
#include <array>
#include <map>
#include <vector>

#include "app/params/input_editor.h"
#include "ui/foundation/colour.h"
#include "ui/pages/page.h"
#include "ui/screens/editors/editor_parts.h"
#include "ui/widgets/eq_graph_binding.h"

class QAbstractButton;
class QBoxLayout;
class QGridLayout;
class QLabel;
class QStackedWidget;
class QVBoxLayout;

namespace vorante {

class bank_fader_tab;
class button;
class comp_curve;
class eq_graph;
class fader_strip;
class gate_curve;
class gr_meter;
class level_meter;
class name_button_fader_strip;
class pan_bar;
class tile;
class toggle_button;

// The detail tabs, in stack order.
enum edit_input_tab : int {
  input_tab_overview = 0,
  input_tab_peq = 1,
  input_tab_gate = 2,
  input_tab_comp = 3,
  input_tab_phantom = 4,
  input_tab_fader = 5,
};

// The rest of the geometry and colours are the editors' common ones (editor_parts).
constexpr int edit_input_send_strips = 12;
constexpr rgb565 edit_input_gate_colour = 0x07E0;
constexpr rgb565 edit_input_phantom_box = 0xFCC0;
// The recorder's per-track words: record level, playback level and playback switch.
constexpr int edit_input_first_record_level = 2815;
constexpr int edit_input_first_playback_level = 2831;
constexpr int edit_input_first_playback_switch = 2847;

class edit_input_page : public page {
  Q_OBJECT

 public:
  edit_input_page(QWidget* parent, page_env& env);

  // Inputs 0..25; the frame never opens a right member of a stereo pair.
  void open(int index) override;
  void page_hidden() override;
  void on_param(uint16_t id, uint16_t value, bool pushed) override;
  void on_name(int logical, const QString& text) override;
  void console_key(int key) override;
  void console_encoder(int encoder, int delta) override;
  // The frame's title was clicked: back to the overview tab.
  void return_to_overview();

  // ---- the user's actions, as the controls run them ----
  void select_cell(int id);  // -1 deselects
  void show_tab(int tab);
  std::span<const char* const> part_names() const override;  // the tabs by edit_input_tab
  bool show_part(int part) override;
  void universal_moved(double value);
  void press_copy();
  void press_paste();
  void press_link();
  void press_phantom();
  void answer_phantom(bool yes);
  void send_moved(int strip, double db);
  void send_pre(int strip, bool pre);
  void send_lr(int strip);

  // ---- state, for tests ----
  int channel() const { return index_; }
  bool overview_shown() const { return current_tab() == input_tab_overview; }
  int current_tab() const;
  int selected() const { return selected_; }
  const universal_fader_setup& universal_setup() const { return setup_; }
  fader_strip* universal() const { return right_.universal; }
  QAbstractButton* cell(int code) const;
  eq_graph* peq_graph() const { return peq_large_; }
  eq_graph* peq_thumbnail() const { return peq_small_; }
  comp_curve* comp_large() const { return comp_large_; }
  gate_curve* gate_large() const { return gate_large_; }
  name_button_fader_strip* send_strip(int n) const { return sends_[static_cast<std::size_t>(n)]; }
  fader_strip* bank_strip(int n) const;
  button* list_button(int n) const { return list_[static_cast<std::size_t>(n)]; }
  button* link_button() const { return link_; }
  button* hiz_button() const { return hiz_; }
  button* phantom_button() const { return phantom_; }
  button* dca_button(int n) const { return right_.dca[static_cast<std::size_t>(n)]; }
  button* mute_group_button(int n) const { return right_.mute_groups[static_cast<std::size_t>(n)]; }
  level_meter* channel_meter(int n) const { return meters_[static_cast<std::size_t>(n)]; }
  bool meter_timer_running() const { return meter_timer_ && meter_timer_->isActive(); }
  int open_pushes() const { return open_pushes_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // Construction, by region.
  QWidget* build_left_rows();
  QWidget* build_thumbnails();
  QWidget* build_channel_list();
  QWidget* build_overview();
  QWidget* build_peq();
  QWidget* build_gate();
  QWidget* build_comp();
  QWidget* build_phantom();
  QWidget* build_right_column();
  QWidget* build_sends();
  // A checkable value button of a grid, registered as the cell of `code`.
  button* grid_cell(QWidget* parent, int code, const QString& text);
  void register_cell(QAbstractButton* b, int id);
  // Writes the channel's parameters `first` to `last` back to their defaults.
  void write_defaults(int first, int last);
  // A dynamics section's ON/OFF switch (`on_code`) and its RESET of codes `first` to `last`,
  // side by side on the first row of `g`.
  button* add_on_and_reset(QGridLayout* g, QWidget* box, const char* name, int on_code, int first, int last);

  unsigned input_id(int code) const;
  unsigned shown_id(unsigned id) const;
  void push_universal();
  void show_code(int code, uint16_t value);
  void show_cell_value(int code, uint16_t value);
  void show_send(int strip);
  void refresh_groups();
  void refresh_colours();
  void refresh_link();
  void refill_fader_tab();
  void refresh_recorder();
  void tick_meters();
  void move_left_parts(bool into_overview);
  void show_names();
  int send_strip_of(int code) const;

  page_env& env_;
  int index_ = -1;
  bool first_open_ = true;
  int selected_ = -1;
  universal_fader_setup setup_;
  eq_param_ids eq_ids_;
  bool echo_ = false;
  int phantom_return_ = -1;
  int open_pushes_ = 0;
  // Recorder tracks of this channel (-1 none).
  int record_track_ = -1;
  int play_track_ = -1;

  std::map<int, QAbstractButton*> cells_;  // by parameter ID

  QStackedWidget* stack_ = nullptr;
  QWidget* left_ = nullptr;
  QVBoxLayout* left_layout_ = nullptr;
  QWidget* rows_ = nullptr;
  QWidget* thumbs_ = nullptr;
  QVBoxLayout* overview_slot_ = nullptr;
  QWidget* list_box_ = nullptr;
  std::array<button*, 16> list_{};

  tile* gain_ = nullptr;
  tile* delay_ = nullptr;
  tile* phase_ = nullptr;
  QLabel* phase_icon_ = nullptr;
  tile* pan_ = nullptr;
  pan_bar* pan_bar_ = nullptr;
  button* phantom_ = nullptr;
  button* hiz_ = nullptr;
  QWidget* mono_column_ = nullptr;
  std::vector<QWidget*> mono_titles_;  // LINK, COPY and PASTE over their buttons
  button* name_button_ = nullptr;

  eq_graph* peq_small_ = nullptr;
  eq_graph* peq_large_ = nullptr;
  gate_curve* gate_small_ = nullptr;
  gate_curve* gate_large_ = nullptr;
  comp_curve* comp_small_ = nullptr;
  comp_curve* comp_large_ = nullptr;
  button* bypass_ = nullptr;
  button* gate_on_ = nullptr;
  button* comp_on_ = nullptr;
  button* hp_filter_ = nullptr;
  button* hp_slope_ = nullptr;
  button* lp_filter_ = nullptr;
  button* lp_slope_ = nullptr;
  level_meter* comp_meter_in_ = nullptr;
  level_meter* comp_meter_out_ = nullptr;
  gr_meter* gr_ = nullptr;

  // Recorder paths of the overview.
  QWidget* rec_path_ = nullptr;
  QWidget* play_path_ = nullptr;
  button* rec_level_ = nullptr;
  QLabel* rec_label_ = nullptr;
  button* play_button_ = nullptr;
  button* play_level_ = nullptr;
  QLabel* play_percent_ = nullptr;

  std::array<level_meter*, 2> meters_{};
  editor_parts::right_column right_;
  button* link_ = nullptr;
  button* copy_ = nullptr;
  button* paste_ = nullptr;

  std::array<name_button_fader_strip*, edit_input_send_strips> sends_{};
  std::array<channel_ref, edit_input_send_strips> send_targets_{};
  bank_fader_tab* bank_tab_ = nullptr;

  QPointer<QTimer> meter_timer_;
  QTimer refresh_timer_;
  QTimer recorder_timer_;
};

page* create_edit_input(QWidget* parent, page_env& env, int id);

}  // namespace vorante
