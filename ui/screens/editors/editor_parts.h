// Small building blocks shared by the channel editors: labels and buttons in the editors'
// look, a painted panel behind a region, a tile holding a widget, and size helpers.
#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <span>

#include "ui/foundation/colour.h"
#include "ui/widgets/tile.h"
#include "ui/widgets/ui_text.h"

class QAbstractButton;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QVBoxLayout;

namespace vorante {

class button;
class dyn_curve;
class eq_graph;
class fader;
class fader_strip;
class level_meter;
class name_tables;
class param_store;
struct page_env;
struct universal_fader_setup;
class name_button_fader_strip;

namespace editor_parts {

class panel;
class tile_with_child;

constexpr int parts_text_px = 12;
constexpr int parts_gap = 4;
// The channel editors' common geometry and colours.
constexpr int side_width = 180;   // the left column
constexpr int right_width = 240;  // the right column with the universal fader
constexpr int row_height = 64;    // a row of cells at the top of the left column
constexpr int bank_button_h = 32;
constexpr int timer_ms = 50;  // the refreshes after a burst of changes, and the meters
constexpr int meter_fall = 5;
constexpr rgb565 send_background = 0x1106;
constexpr rgb565 settings_background = 0x1988;
constexpr rgb565 comp_colour = 0xFFE0;
constexpr int cell_px = 14;  // value cells
constexpr int meter_width = 12;
constexpr int header_height = 24;
constexpr int peq_side_width = 96;  // BYPASS and RESET beside the large EQ graph
constexpr int meter_silent = -128;
// Where an EQ graph's filters stand until the channel's values come.
constexpr double initial_highpass_hz = 23;
constexpr int initial_highpass_code = 8;
constexpr double initial_lowpass_hz = 16000;
constexpr int initial_lowpass_code = 9;

inline bool in_range(int v, int first, int last) { return v >= first && v <= last; }
// A change that may alter an editor's group buttons or its strips' names and colours: a DCA
// member, a mute group, a send mode (when `send_modes`) or a channel colour.
bool changes_memberships(unsigned id, bool send_modes);

QLabel* plain_label(const QString& text, QWidget* parent, int px = parts_text_px);
button* push(const QString& text, QWidget* parent, int type = 0, bool checkable = false, int px = parts_text_px);
// A button showing a picture from the volume instead of a text.
button* picture_button(const char* path, QWidget* parent);
// Layouts drop the minimum of an ignored size policy: a button of a set height says so.
void fix_height(QWidget* w, int h);
// A widget that takes whatever room its layout gives it.
QWidget* framed(QWidget* w);
void min_height(QWidget* w, int h);
QGridLayout* grid_of(QWidget* w);
// A column or row over `w` with no margins and `spacing` between its items.
QVBoxLayout* column_of(QWidget* w, int spacing = parts_gap);
QHBoxLayout* row_of(QWidget* w, int spacing = parts_gap);

// A channel's name as the editors show it, and its colour.
QString channel_name_text(const name_tables& names, int kind, int index);
rgb565 channel_colour_of(const param_store& store, int kind, int index);
// The DCA and mute group buttons checked by the memberships of channel `logical`.
void show_memberships(const param_store& store, int logical, const std::array<button*, 4>& dca,
                      const std::array<button*, 4>& mute_groups);
// The channel's name button: a click opens the colour picker below it, a long press renames.
void connect_name_button(button* b, QObject* context, page_env& env, int kind, std::function<int()> index);
// A value cell's text, and its progress bar when it is a button.
void show_cell_text(QAbstractButton* cell, const QString& text, int progress);
// A dynamics or EQ switch: checked, "ON" or "OFF", and the curves drawn or greyed.
void show_switch(button* b, bool on);
void show_dyn_switch(button* b, dyn_curve& small, dyn_curve& large, bool on);

// The layout of a channel editor page: the body, with the detail row `top` above the sends,
// and the right column beside it.
struct editor_frame {
  QHBoxLayout* outer;
  QVBoxLayout* body;
  QHBoxLayout* top;
};
editor_frame make_editor_frame(QWidget* page, int gap);
// Puts the sends below the detail row and the right column beside the body.
void finish_editor_frame(const editor_frame& f, QWidget* sends, QWidget* right);

// The column beside the large EQ graph: BYPASS (checkable) and RESET, laid out by the caller.
struct peq_side {
  QWidget* box;
  QVBoxLayout* column;
  button* bypass;
  button* reset;
};
peq_side make_peq_side(QWidget* parent);

// An EQ graph as the editors start it: filters at their ends, bands spread until the values
// come, taking whatever room its layout gives it.
eq_graph* make_eq_graph(QWidget* parent, int bands);
// The compact EQ graph of an editor's left column.
eq_graph* make_peq_thumbnail(QWidget* parent, int bands);
// Drags on the large graph: `write` gets the code and raw value of the filter frequency
// (filter_code + 1, + 3) or the band's frequency and gain.
void connect_peq_drags(eq_graph* g, QObject* context, int filter_code, int band_code, int bands,
                       const std::function<void(int code, uint16_t raw)>& write);
// A dynamics curve in the editors' colour `colour`: the large one of a tab, named `name`, or
// (name nullptr) the compact thumbnail, which lets clicks through to its header.
template <class Curve>
Curve* make_curve(QWidget* parent, rgb565 colour, const char* name = nullptr) {
  auto* c = new Curve(parent);
  if (name) {
    c->setObjectName(name);
  } else {
    c->set_compact(true);
    c->setAttribute(Qt::WA_TransparentForMouseEvents);
  }
  c->set_curve_colour(colour);
  return c;
}
// A level meter without its scale, as narrow as the editors' meters are.
level_meter* make_meter(QWidget* parent);
// A thumbnail's title button "thumb_<title>" above it in the left column.
button* make_thumb_header(const char* title, QWidget* parent);
// The PHASE cell with the picture of the polarity in its value box.
tile_with_child* make_phase_cell(QWidget* parent, QLabel*& icon);
void show_phase_icon(QLabel* icon, uint16_t value);

// The compressor's GAIN, THRESHOLD, RATIO, ATTACK and RELEASE below its ON/RESET row of `g`,
// each a title over its cell, two a row with GAIN alone on the right; `cell` makes the cell
// of a code from `codes` (in that order).
void add_comp_cells(QGridLayout* g, QWidget* box, const std::array<int, 5>& codes,
                    const std::function<QWidget*(int code)>& cell);

// Writes what the universal fader set; `echo` is up while the write runs, so that the
// editor does not push the value back onto the fader.
void write_universal(param_store& store, unsigned id, uint16_t raw, bool& echo);
// The universal fader's scale for a set-up: the fader law, a value list or a range.
void set_universal_scale(fader& f, const universal_fader_setup& setup);
// Shows a raw value on the universal fader: a fader level, or the position of the set-up.
void show_on_universal(fader_strip& u, const universal_fader_setup& setup, uint16_t raw, double position);

// What a send strip's controls do; every one of them selects the strip's cell first (the
// fader only when it is not the selected one already).
struct send_strip_actions {
  std::function<int()> cell;  // the parameter ID of the strip's cell
  std::function<int()> selected;
  std::function<void(int)> select;
  std::function<void(double)> moved;
  std::function<void(bool)> pre;
  std::function<void()> lr;  // empty: no L/R buttons
  std::function<void()> name;
};
void connect_send_strip(name_button_fader_strip* s, QObject* context, const send_strip_actions& a);
// The actions every editor's send strip n shares: the editor's selection, its select_cell(),
// send_moved() and send_pre(); the editor adds the strip's cell, L/R and name.
template <class Editor>
send_strip_actions editor_send_actions(Editor* e, int n) {
  send_strip_actions a;
  a.selected = [e] { return e->selected(); };
  a.select = [e](int id) { e->select_cell(id); };
  a.moved = [e, n](double db) { e->send_moved(n, db); };
  a.pre = [e, n](bool pre) { e->send_pre(n, pre); };
  return a;
}
// The panel "send_area" behind the send strips, and the row they go into.
panel* make_send_area(QWidget* parent, QHBoxLayout*& row);
// A stereo channel's send mode on a strip's L and R buttons, where it has them.
void show_send_mode(name_button_fader_strip& s, int mode);
// A send strip's level and its POS/PRE buttons from the raw send value.
void show_send_level(name_button_fader_strip& s, uint16_t raw);
// A send strip n: a named fader strip whose two buttons read "POS" and "PRE".
name_button_fader_strip* make_send_strip(QWidget* parent, int n);
// The universal fader's strip with "MUTE" and "SOLO".
fader_strip* make_universal_strip(QWidget* parent);
// The right column of a channel editor: the VOL cell above the universal fader and, beside
// the fader, the settings box whose grid starts with "DCA GROUP" 1..4 and "MUTE GROUP" 1..4.
// The editor adds its own rows from `row` on; finish_right_column() puts SELECT last.
struct right_column {
  QWidget* widget = nullptr;
  tile* vol = nullptr;
  fader_strip* universal = nullptr;
  panel* settings = nullptr;
  QGridLayout* grid = nullptr;
  int row = 0;
  std::array<button*, 4> dca{};
  std::array<button*, 4> mute_groups{};
  button* select_parameters = nullptr;
  button* select_fader = nullptr;
};
// `settings_width` 0: the settings box shares the room beside the fader with it.
right_column make_right_column(QWidget* parent, int width, rgb565 settings_background, int settings_width);
// "SELECT" with "PARAMETERS" and "FADER" below the editor's rows; the rows stretch alike.
void finish_right_column(right_column& r);
// SELECT shows FADER checked on the FADER tab, PARAMETERS on any other.
void show_selected(const right_column& r, bool fader_tab);
// VOL and the universal fader of channel (kind, index()): a click on VOL runs `select_fader`,
// a long press renames the channel; the fader's moves go to `moved`, MUTE and SOLO switch
// the channel's own.
void connect_right_column(const right_column& r, QObject* context, page_env& env, int kind, std::function<int()> index,
                          std::function<void()> select_fader, std::function<void(double)> moved);
// The group buttons run `write` (kind_dca or kind_mute_group, group 0..3, on).
void connect_group_buttons(const right_column& r, QObject* context, std::function<void(int kind, int group, bool on)> write);
// LINK over the stereo link button, COPY and PASTE over their picture buttons, from `row` on.
struct link_copy_paste {
  std::array<QLabel*, 3> titles;  // LINK, COPY, PASTE
  button* link;
  button* copy;
  button* paste;
};
link_copy_paste add_link_copy_paste(QGridLayout* g, int& row, QWidget* box, const QString& link_text);

// The PEQ grid: HP and LP columns (FREQ, FILTER, SLOPE) and one column per band (FREQ,
// GAIN, Q). `cell` makes the value cell of a code, `step` runs a filter button (code of
// the filter type, field 0 type or 1 slope).
using cell_fn = std::function<button*(QWidget* parent, int code, const QString& text)>;
using step_fn = std::function<void(int code, int field)>;
struct filter_buttons {
  std::array<button*, 2> type{};
  std::array<button*, 2> slope{};
};
QWidget* build_peq_grid(QWidget* parent, int filter_code, int band_code, std::span<const QString> band_names,
                        const cell_fn& cell, const step_fn& step, filter_buttons& out);

// A tile whose value box holds a widget (the pan bar, the phase picture) instead of a text.
class tile_with_child : public tile {
 public:
  explicit tile_with_child(QWidget* parent) : tile(parent) {}
  void set_child(QWidget* w);

 protected:
  void resizeEvent(QResizeEvent* e) override;

 private:
  void place();
  QWidget* child_ = nullptr;
};

// A painted panel behind a region.
class panel : public QWidget {
 public:
  panel(rgb565 background, QWidget* parent) : QWidget(parent), background_(background) {}
  void set_background(rgb565 c) {
    background_ = c;
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  rgb565 background_;
};

}  // namespace editor_parts
}  // namespace vorante
