// `brief_fader`: the fader overview. Two channel views (the input banks; the stereo,
// effect and aux banks) and the sends view, where the faders set the sends of every channel
// to one chosen aux or effect bus. The right column picks the view or the send bus and
// holds MAIN L and MAIN R; the meter bridge runs along the bottom.
#pragma once

#include <QButtonGroup>
#include <QPointer>
#include <QTimer>
#include <array>
#include <optional>
#include <vector>

#include "app/params/fader_overview.h"
#include "ui/foundation/colour.h"
#include "ui/pages/page.h"

class QBoxLayout;
class QLabel;
class QStackedWidget;

namespace vorante {

class button;
class name_button_fader_strip;

constexpr int brief_fader_right_width = 180;
constexpr int brief_fader_bottom_height = 180;
constexpr int brief_fader_selector_height = 28;
constexpr int brief_fader_send_min_width = 74;
constexpr int brief_fader_timer_ms = 50;
constexpr int brief_fader_send_buttons = aux_send_count + fx_send_count;
constexpr rgb565 brief_fader_main_background = 0x1106;

enum brief_fader_view : int { fader_view_a = 0, fader_view_b = 1, fader_view_sends = 2 };

// Events of a named fader strip, as the page handles them.
enum strip_event : int {
  strip_name = 1,
  strip_first = 2,   // "M", or "POS" on a send strip
  strip_second = 3,  // "S", or "PRE"
  strip_fader_clicked = 4,
  strip_fader_moved = 5,
  strip_left = 6,
  strip_right = 7,
};

class brief_fader_page : public page {
  Q_OBJECT

 public:
  brief_fader_page(QWidget* parent, page_env& env);

  // Names, the meter bridge, the values and colours; the view and send bus stay as they were.
  void open(int argument) override;
  void on_param(uint16_t id, uint16_t value, bool pushed) override;
  void on_name(int logical, const QString& text) override;
  void console_encoder(int encoder, int delta) override;
  // A and B the channel views, C the sends view (of the bus chosen before, AUX1 at first),
  // then the sends of AUX1..AUX8, FX1 and FX2.
  std::span<const char* const> part_names() const override;
  bool show_part(int part) override;

  // ---- the user's actions, as the controls run them ----
  // 0: the view button; 1..8 AUX1..AUX8; 9, 10 FX1, FX2.
  void select(int selector);
  void channel_event(int fader, int event, double value = 0);
  void send_strip_event(int strip, int event, double value = 0);

  // ---- state, for tests ----
  int shown_view() const;
  button* view_button() const { return selectors_[0]; }
  button* send_button(int n) const { return selectors_[static_cast<std::size_t>(n + 1)]; }
  int selected_selector() const { return group_.checkedId(); }
  std::optional<send_target> target() const { return target_; }
  // The channel fader of a logical channel (MAIN L/R included), or nullptr.
  name_button_fader_strip* channel_fader(int logical) const;
  int fader_count() const { return static_cast<int>(faders_.size()); }
  int fader_index(int logical) const;
  name_button_fader_strip* send_strip(int n) const { return sends_[static_cast<std::size_t>(n)]; }
  channel_ref send_channel(int n) const { return send_channels_[static_cast<std::size_t>(n)]; }
  int send_strip_of(int logical) const { return send_of_[static_cast<std::size_t>(logical)]; }
  int placed_sends() const { return placed_; }
  name_button_fader_strip* selected_strip() const { return selected_; }
  bool refresh_pending() const { return refresh_timer_ != nullptr; }
  QBoxLayout* send_row(int n) const { return send_rows_[static_cast<std::size_t>(n)]; }

 private:
  QWidget* build_channel_view(int first_bank, bool pad);
  QWidget* build_sends_view();
  QWidget* build_right_column();
  name_button_fader_strip* add_fader(QWidget* parent, channel_ref c);
  void fill_sends(send_target t);
  void show_view(int view);
  void select_strip(name_button_fader_strip* s);
  void show_send(int strip);
  void refresh_values();
  void refresh_colours();
  void refresh_lr();
  void show_names();
  void start_refresh_timer();
  // The send strip a change of `id` may show on, or -1.
  int send_strip_for(unsigned id) const;

  page_env& env_;
  QStackedWidget* stack_ = nullptr;
  QWidget* bottom_ = nullptr;
  QLabel* page_label_ = nullptr;
  QLabel* sends_label_ = nullptr;
  int last_channel_view_ = fader_view_a;
  QButtonGroup group_;
  std::array<button*, brief_fader_send_buttons + 1> selectors_{};
  std::optional<send_target> target_;

  std::vector<name_button_fader_strip*> faders_;
  std::vector<channel_ref> fader_channels_;
  std::array<int, logical_count> fader_of_{};

  std::array<name_button_fader_strip*, overview_send_strips> sends_{};
  std::array<channel_ref, overview_send_strips> send_channels_{};
  std::array<int, logical_count> send_of_{};
  std::array<QBoxLayout*, 2> send_rows_{};
  int placed_ = 0;

  name_button_fader_strip* selected_ = nullptr;
  QPointer<QTimer> refresh_timer_;
};

page* create_brief_fader(QWidget* parent, page_env& env, int id);

}  // namespace vorante
