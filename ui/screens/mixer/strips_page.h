// `brief_channel`, the home screen: eight channel strips showing one fader bank (or the
// four DCA strips), the MAIN section beside them and the meter bridge below. The page
// reads the store, writes through the linked set, and redraws from the store in batches
// when it hears of changes.
#pragma once

#include <QTimer>
#include <array>
#include <bitset>
#include <vector>

#include "app/params/ids.h"
#include "ui/foundation/colour.h"
#include "ui/pages/page.h"
#include "ui/screens/mixer/strips_page_model.h"
#include "ui/widgets/eq_graph_binding.h"

class QVBoxLayout;

namespace vorante {

class channel_strip;
class fader_strip;
class strips_dca_row;
class strips_grid;
class strips_main_section;
class phantom_confirm;
class sends_panel;

class strips_page : public page {
  Q_OBJECT

 public:
  strips_page(QWidget* parent, page_env& env);

  void page_shown() override;
  void page_hidden() override;
  // A logical channel to bring on screen and select, or -1 for the current bank.
  void open(int logical) override;
  void on_param(uint16_t id, uint16_t value, bool pushed) override;
  void on_name(int logical, const QString& text) override;

  struct strip_record {
    bool in_use = false;
    int kind = 0;
    int index = 0;
  };

  // ---- state, for the navigation and for tests ----
  int bank_on_screen() const { return bank_; }
  channel_strip* strip(int n) const { return strips_[static_cast<size_t>(n)]; }
  const strip_record& record(int n) const { return records_[static_cast<size_t>(n)]; }
  // The strip showing a logical channel, or -1.
  int strip_of_logical(int logical) const;
  int selected_strip() const { return selected_; }
  QWidget* strip_grid() const;
  strips_dca_row* dca_row() const { return dca_row_; }
  strips_main_section* main_section() const { return main_; }
  phantom_confirm* phantom() const { return phantom_; }
  QWidget* bottom_area() const { return bottom_; }

  // What the 50 ms redraw timer runs: every parameter heard of since, from the store.
  void flush_redraw();
  bool redraw_pending() const { return redraw_timer_.isActive(); }
  // How often the page was redrawn whole (a bank or channel shown) and in batches.
  int full_redraws() const { return full_redraws_; }
  int batch_redraws() const { return batch_redraws_; }
  // What the 100 ms meter timer runs.
  void tick_meters();
  bool meters_running() const { return meter_timer_.isActive(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // strips_page.cpp: building, banks, selection, the user's actions.
  void build_strip(int n);
  void assign_bank(int bank);
  void configure_strip(int n);
  void update_pan_clicks();
  void select_strip(int n);
  void highlight_selection();
  void place_bridge();
  void strip_mute(int n);
  void strip_solo(int n, bool on);
  void strip_phantom(int n);
  void strip_fader(int n, double db);
  void strip_pan(int n, int value);
  void strip_send(int n, int group, int item, int value);
  void strip_colour(int n);

  // strips_page_redraw.cpp: from the store to the widgets.
  void redraw_all();
  void mark(uint16_t id);
  redraw_outcome redraw_param(unsigned id);
  redraw_outcome redraw_part(int n, strip_part part, int code);
  void redraw_send(int n, int code);
  void redraw_solo(int n);
  void redraw_name(int n);
  void redraw_colour(int n);
  void reset_meters();
  // Meters and level readouts fade while the console is not heard.
  void show_link_state(bool online);
  static bool sends_dragged(const sends_panel* panel);

  page_env& env_;
  QVBoxLayout* column_;
  QWidget* fader_area_;
  strips_grid* grid_;
  strips_dca_row* dca_row_;
  strips_main_section* main_;
  phantom_confirm* phantom_;
  QWidget* bottom_;
  std::array<channel_strip*, strip_count> strips_{};
  std::array<strip_record, strip_count> records_{};
  std::array<eq_param_ids, strip_count> eq_ids_{};
  std::array<int8_t, logical_count> strip_of_logical_{};
  int bank_ = -1;
  int selected_ = -1;
  std::array<int, dca_bank> remembered_{-1, -1, -1, -1};

  // Parameters heard of since the last redraw, each once.
  std::bitset<param_count> pending_;
  std::vector<uint16_t> pending_ids_;
  QTimer redraw_timer_;
  int full_redraws_ = 0;
  int batch_redraws_ = 0;
  QTimer meter_timer_;
};

page* create_strips_page(QWidget* parent, page_env& env, int id);

}  // namespace vorante
