// `edit_efx`: the editor of one effect return (FX1, FX2) inside the editor frame: the
// effect type and its two parameters with tap tempo, the return's four-band EQ, the
// return fader, and the sends into the effect and from it to the buses. Cells and the
// universal fader work as in the other channel editors.
#pragma once

#include <QButtonGroup>
#include <array>

#include "app/params/bus_editors.h"
#include "ui/screens/editors/editor_parts.h"
#include "ui/screens/editors/send_editor.h"
#include "ui/widgets/eq_graph_binding.h"

class QStackedWidget;

namespace vorante {

class eq_graph;

enum edit_efx_tab : int {
  efx_tab_types = 0,
  efx_tab_peq = 1,
  efx_tab_fader = 2,
};

constexpr int edit_efx_send_strips = 10;  // eight of a bank, then MAIN L and MAIN R
constexpr int edit_efx_bank_strips = 8;

class edit_efx_page : public send_editor_page {
  Q_OBJECT

 public:
  edit_efx_page(QWidget* parent, page_env& env);

  void open(int index) override;
  void on_param(uint16_t id, uint16_t value, bool pushed) override;
  void console_encoder(int encoder, int delta) override;
  std::span<const char* const> part_names() const override;  // the tabs by edit_efx_tab

  // ---- the user's actions ----
  void show_tab(int tab) override;
  void choose_type(int button);  // 1..16
  void tap(int64_t now_ms);

  // ---- state, for tests ----
  int effect() const { return index_; }
  button* type_button(int n) const { return types_[static_cast<std::size_t>(n)]; }  // 0..15
  int checked_type_button() const { return type_group_.checkedId(); }
  button* tap_button() const { return tap_; }
  tile* param_cell(int n) const { return params_[static_cast<std::size_t>(n)]; }

 protected:
  unsigned strip_send_id(int strip) const override;
  bool takes_send_slot(const channel_ref& c) const override;
  void sends_refilled() override;
  value_type cell_value_type(unsigned id) const override { return fx_cell_value_type(id); }
  universal_fader_setup setup_of(int id) const override;
  double universal_position(int id, uint16_t raw) const override;
  uint16_t universal_raw(int id, double value, uint16_t shown_raw) const override;

 private:
  QWidget* build_left();
  QWidget* build_types();
  QWidget* build_right();

  int stored_type() const;
  int own_code(unsigned id) const;
  void show_code(int code, uint16_t value);
  void show_tap();

  bool type_change_ = false;

  std::array<tile*, 2> params_{};
  button* tap_ = nullptr;
  std::array<button*, 16> types_{};
  QButtonGroup type_group_;
};

page* create_edit_efx(QWidget* parent, page_env& env, int id);

}  // namespace vorante
