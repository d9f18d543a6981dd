// `edit_dca`: the DCA editor inside the editor frame. The PARAM view picks the DCA, switches
// the four DCAs on and off and assigns every channel to the current DCA; the FADER view
// shows the four DCA faders.
#pragma once

#include <QButtonGroup>
#include <QTimer>
#include <array>
#include <vector>

#include "app/params/ids.h"
#include "ui/pages/page.h"

class QStackedWidget;

namespace vorante {

class button;
class fader_strip;

constexpr int edit_dca_padding = 16;
constexpr int edit_dca_gap = 10;
constexpr int edit_dca_button_width = 120;
constexpr int edit_dca_button_height = 52;
constexpr int edit_dca_clear_width = 180;
constexpr int edit_dca_timer_ms = 50;

enum edit_dca_view : int { dca_view_param = 0, dca_view_fader = 1 };

class edit_dca_page : public page {
  Q_OBJECT

 public:
  edit_dca_page(QWidget* parent, page_env& env);

  // The DCA buttons, the FADER strips and every channel button get their names.
  void page_shown() override;
  // DCA 0..3.
  void open(int dca) override;
  void on_param(uint16_t id, uint16_t value, bool pushed) override;
  void on_name(int logical, const QString& text) override;

  // ---- the user's actions, as the controls run them ----
  void select_dca(int dca);
  void toggle_on(int dca);
  void set_member(int kind, int index, bool on);
  void clear();
  void show_view(int view);
  std::span<const char* const> part_names() const override;  // the views by edit_dca_view
  bool show_part(int part) override;
  void fader_moved(int dca, double db);
  void refresh();

  // ---- state, for tests ----
  int dca() const { return dca_; }
  int current_view() const;
  button* dca_button(int n) const { return dcas_[static_cast<std::size_t>(n)]; }
  button* on_button(int n) const { return ons_[static_cast<std::size_t>(n)]; }
  button* channel_button(int kind, int index) const;
  button* clear_button() const { return clear_; }
  button* view_button(int view) const { return views_[static_cast<std::size_t>(view)]; }
  fader_strip* strip(int n) const { return strips_[static_cast<std::size_t>(n)]; }
  bool refresh_pending() const { return refresh_timer_.isActive(); }

 private:
  QWidget* build_param_view();
  QWidget* build_fader_view();
  QWidget* build_selector();
  button* add_channel_button(QWidget* parent, int kind, int index);
  void show_dca_names();
  void show_dca_name(int dca, const QString& stored);
  void rename(int dca);

  struct channel_button_entry {
    channel_ref channel;
    button* b;
  };

  page_env& env_;
  int dca_ = 0;
  QStackedWidget* stack_ = nullptr;
  QWidget* selector_ = nullptr;
  QButtonGroup dca_group_;
  std::array<button*, dca_count> dcas_{};
  std::array<button*, dca_count> ons_{};
  std::array<fader_strip*, dca_count> strips_{};
  std::array<button*, 2> views_{};
  std::vector<channel_button_entry> channels_;
  button* clear_ = nullptr;
  QTimer refresh_timer_;
};

page* create_edit_dca(QWidget* parent, page_env& env, int id);

}  // namespace vorante
