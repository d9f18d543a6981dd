// What the output and effects editors share: the value cells and the universal fader that
// edits the selected one (or the channel's own fader), the VOL cell, the channel meter,
// and the send area with its floating "SENDS ON FADERS" bank choice.
#pragma once

#include <QPointer>
#include <QTimer>
#include <functional>
#include <array>
#include <map>
#include <vector>

#include <initializer_list>
#include <span>

#include "app/params/input_editor.h"
#include "ui/pages/page.h"
#include "ui/screens/editors/editor_parts.h"
#include "ui/widgets/eq_graph_binding.h"

class QAbstractButton;
class QGridLayout;
class QStackedWidget;

namespace vorante {

class bank_fader_tab;
class button;
class eq_graph;
class fader_strip;
class level_meter;
class name_button_fader_strip;
class tile;

class send_editor_page : public page {
  Q_OBJECT

 public:
  send_editor_page(QWidget* parent, page_env& env, int page_id, int kind, int fader_code);

  void page_hidden() override;
  bool show_part(int part) override;  // tab `part` of the page's part_names()
  // The channel's name on its name button and VOL cell, the strips' names.
  void on_name(int logical, const QString& text) override;

  // ---- the user's actions ----
  void select_cell(int id);  // -1: the channel fader
  void universal_moved(double value);
  void choose_bank(int bank);
  void send_moved(int strip, double db);
  void send_pre(int strip, bool pre);

  // ---- state, for tests ----
  int channel() const { return index_; }
  int current_tab() const;
  eq_graph* peq_graph() const { return peq_large_; }
  // -1: the channel fader; no_param_id: nothing (a send strip that went with its bank).
  int selected() const { return selected_; }
  const universal_fader_setup& universal_setup() const { return setup_; }
  fader_strip* universal() const { return right_.universal; }
  QAbstractButton* cell(int code) const;
  name_button_fader_strip* send_strip(int n) const { return sends_[static_cast<std::size_t>(n)]; }
  channel_ref send_channel(int n) const { return send_channels_[static_cast<std::size_t>(n)]; }
  button* bank_button(int n) const { return bank_buttons_[static_cast<std::size_t>(n)]; }
  int shown_bank() const { return bank_; }
  QWidget* sends_panel() const { return sends_panel_; }
  bank_fader_tab* fader_tab() const { return bank_tab_; }
  level_meter* channel_meter() const { return meter_; }
  bool meter_timer_running() const { return meter_timer_ && meter_timer_->isActive(); }
  QWidget* settings_box() const { return right_.settings; }
  button* select_parameters() const { return right_.select_parameters; }
  button* select_fader() const { return right_.select_fader; }
  button* dca_button(int n) const { return right_.dca[static_cast<std::size_t>(n)]; }
  button* mute_group_button(int n) const { return right_.mute_groups[static_cast<std::size_t>(n)]; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

  // The send parameter of strip n for this channel; no_param_id for an empty strip.
  virtual unsigned strip_send_id(int strip) const = 0;
  // Whether a fader bank's channel gets a send strip.
  virtual bool takes_send_slot(const channel_ref& c) const = 0;
  // What a strip's L/R buttons do; none by default.
  virtual std::function<void()> lr_action(int strip) {
    (void)strip;
    return {};
  }
  // After the strips were filled: names, colours, stereo buttons.
  virtual void sends_refilled() = 0;
  // The value type a cell shows and edits its parameter with; the parameter's own by default.
  virtual value_type cell_value_type(unsigned id) const { return param_value_type(id); }
  // How the universal fader edits a cell, and what it writes.
  virtual universal_fader_setup setup_of(int id) const;
  virtual double universal_position(int id, uint16_t raw) const;
  virtual uint16_t universal_raw(int id, double value, uint16_t shown_raw) const;

  unsigned own_id(int code) const;
  unsigned shown_id(unsigned id) const;
  button* grid_cell(QWidget* parent, int code, const QString& text);
  void register_cell(QAbstractButton* b, int code);
  void push_universal();
  // The selected cell or the channel fader follows a changed value.
  void follow_universal(unsigned id);
  void show_send(int strip);
  void show_sends_of(unsigned id);
  void show_cell_value(int code, uint16_t value);
  void toggle_code(int code);
  // Group buttons from the memberships, name buttons in their channels' colours.
  void refresh_memberships();
  void write_defaults(int first, int last);
  void start_meter();
  // Meter byte of the channel after `fader_raw` (or as it is for fader_raw < 0).
  void tick_meter(int fader_raw_id);

  // The page: left column, detail tabs (the FADER tab added last), the channel meter, the
  // send area below and the right column.
  void lay_out(QWidget* left, std::initializer_list<QWidget*> tabs, QWidget* sends, QWidget* right);
  // The PEQ tab: the large graph with BYPASS (code bypass_code) and RESET (bypass_code ..
  // last_code to defaults) beside it, the grid below; drags write the channel's EQ codes.
  QWidget* build_peq_tab(int bands, int bypass_code, int last_code, int filter_code, int band_code,
                         std::span<const QString> band_names);
  void show_peq_param(int code, uint16_t value);
  void show_filter_texts(int filter, uint16_t value);  // 0 high-pass, 1 low-pass

  // The right column: the VOL cell, the universal fader and the settings box with the
  // group buttons, `extra` rows, and SELECT showing tab 0 or the FADER tab.
  using settings_rows = std::function<void(QGridLayout* g, int& row, QWidget* box)>;
  QWidget* build_right_column(const settings_rows& extra);
  virtual void show_tab(int tab) = 0;
  // Tab `tab` of the stack, the FADER tab last: the universal fader goes back to the channel
  // fader, SELECT follows and the FADER tab fills with the channel's bank. The bank choice
  // and the channel meter go with the FADER tab and come back with any other but `keeping`,
  // which leaves them as they were.
  void show_stack_tab(int tab, int keeping);
  // The send area: `strips` strips, the first `bank_strips` filled from a fader bank with
  // spacers for the missing ones, and one bank button per label.
  // The first `count` fader banks by name, bank `relabelled` (if any) with `label` instead.
  static std::vector<std::pair<int, QString>> bank_choices(int count, int relabelled = -1, const QString& label = {});
  QWidget* build_send_area(int strips, int bank_strips, const std::vector<std::pair<int, QString>>& banks);
  void place_sends_panel();

  page_env& env_;
  const int kind_;
  const int fader_code_;
  int index_ = -1;
  bool first_open_ = true;
  int selected_ = -1;
  bool echo_ = false;
  int bank_ = 0;
  universal_fader_setup setup_;
  std::map<int, QAbstractButton*> cells_;  // by code of the edited channel

  button* name_button_ = nullptr;
  editor_parts::right_column right_;
  QStackedWidget* stack_ = nullptr;
  eq_graph* peq_small_ = nullptr;
  eq_graph* peq_large_ = nullptr;
  button* bypass_ = nullptr;
  editor_parts::filter_buttons filters_;
  eq_param_ids eq_ids_;
  level_meter* meter_ = nullptr;
  bank_fader_tab* bank_tab_ = nullptr;
  QWidget* send_area_ = nullptr;
  QWidget* sends_panel_ = nullptr;
  std::vector<int> banks_;  // fader bank of each bank button
  std::vector<button*> bank_buttons_;
  std::vector<name_button_fader_strip*> sends_;
  std::vector<channel_ref> send_channels_;
  std::vector<QWidget*> spacers_;
  int bank_strips_ = 0;

  QPointer<QTimer> meter_timer_;
  QTimer refresh_timer_;
};

}  // namespace vorante
