// `edit_output`: the editor of one output bus (AUX1..8, MAIN L, MAIN R) inside the editor
// frame. Like the input editor every value is a selectable cell edited by the one big
// fader on the right and the console's encoders; the detail tabs are the parametric EQ,
// the compressor, the 15-band graphic EQ and the FADER tab, and the send area below shows
// the sends of one fader bank's channels into this bus ("sends on faders").
#pragma once

#include <array>

#include "ui/foundation/colour.h"
#include "ui/screens/editors/editor_parts.h"
#include "ui/screens/editors/send_editor.h"
#include "ui/widgets/eq_graph_binding.h"

class QLabel;
class QStackedWidget;

namespace vorante {

class comp_curve;
class eq_graph;
class fader;

enum edit_output_tab : int {
  output_tab_peq = 0,
  output_tab_comp = 1,
  output_tab_geq = 2,
  output_tab_fader = 3,
};

constexpr int edit_output_send_strips = 8;
constexpr int edit_output_geq_bands = 15;
constexpr rgb565 edit_output_geq_panel = 0x4A49;
constexpr rgb565 edit_output_geq_on = 0x07E0;
constexpr rgb565 edit_output_geq_off = 0x0000;

class edit_output_page : public send_editor_page {
  Q_OBJECT

 public:
  edit_output_page(QWidget* parent, page_env& env);

  void open(int index) override;
  void on_param(uint16_t id, uint16_t value, bool pushed) override;
  void console_key(int key) override;
  void console_encoder(int encoder, int delta) override;
  std::span<const char* const> part_names() const override;  // the tabs by edit_output_tab

  // ---- the user's actions ----
  void show_tab(int tab) override;
  void send_lr(int strip);
  void geq_moved(int band, int slider);
  void press_link();
  void press_copy();
  void press_paste();

  // ---- state, for tests ----
  int bus() const { return index_; }
  fader* geq_slider(int band) const { return geq_[static_cast<std::size_t>(band)]; }
  QLabel* geq_label(int band) const { return geq_labels_[static_cast<std::size_t>(band)]; }
  button* geq_on_button() const { return geq_on_; }
  QWidget* geq_light() const { return geq_light_; }
  button* link_button() const { return link_; }

 protected:
  unsigned strip_send_id(int strip) const override;
  bool takes_send_slot(const channel_ref& c) const override;
  void sends_refilled() override;
  std::function<void()> lr_action(int strip) override;

 private:
  QWidget* build_left();
  QWidget* build_comp();
  QWidget* build_geq();
  QWidget* build_right();

  void show_code(int code, uint16_t value);
  void refresh_groups();

  bool geq_drag_ = false;

  tile* delay_ = nullptr;
  tile* phase_ = nullptr;
  QLabel* phase_icon_ = nullptr;
  comp_curve* comp_small_ = nullptr;
  comp_curve* comp_large_ = nullptr;
  button* comp_on_ = nullptr;
  std::array<fader*, edit_output_geq_bands> geq_{};
  std::array<QLabel*, edit_output_geq_bands> geq_labels_{};
  button* geq_on_ = nullptr;
  editor_parts::panel* geq_light_ = nullptr;

  button* link_ = nullptr;
};

page* create_edit_output(QWidget* parent, page_env& env, int id);

}  // namespace vorante
