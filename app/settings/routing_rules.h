// The routing rules of the system page's mapping, headphone and recorder pages, without their
// widgets: which IDs a mapping click writes, the defaults RESET restores, the PRE/POST solo
// bit, and the recorder matrix with its refusal of a source used twice.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "app/params/ids.h"

namespace vorante {

class param_store;

// Hardware input feeding logical input k: h + 1, 0 for none.
constexpr uint16_t input_map_base_id = 2863;
constexpr int input_map_count = 26;
// Logical bus feeding hardware output h: b + 1, 0 for none.
constexpr uint16_t output_map_base_id = 2889;
constexpr int output_map_count = 10;
// Recorder input t's source and the channel recorder output t feeds.
constexpr uint16_t rec_in_base_id = 2783;
constexpr uint16_t rec_out_base_id = 2799;
constexpr int rec_track_count = 16;
// Read with the recorder IDs when the page opens; the page keeps nothing of them.
constexpr uint16_t rec_aux_base_id = 2847;
constexpr int rec_aux_count = 16;
// Recorder input values past the input channels.
constexpr uint16_t rec_left_value = 25;
constexpr uint16_t rec_right_value = 26;
// The headphone PRE bit of a solo parameter.
constexpr uint16_t phones_pre_bit = 0x8000;

// Logical input `logical` takes hardware input `hardware`; any other logical input that held
// it loses it first, so a hardware input feeds at most one logical input.
void map_input(param_store& store, int logical, int hardware);
// Hardware output `hardware` takes logical bus `bus`; any other output fed by the bus loses it.
void map_output(param_store& store, int hardware, int bus);
// Every ID of the range back to its default.
void reset_range(param_store& store, uint16_t first, int count);

// The solo parameter of a channel on the headphone page: right members of the fixed stereo
// pairs use their left member; MAIN L and MAIN R have their own.
uint16_t phones_solo_id(int kind, int index);
bool phones_pre(const param_store& store, int kind, int index);
// PRE (true) or POST: bit 15 of the solo ID, the rest kept, written to it and its partner;
// the MAIN pair clears its neighbour quietly instead.
void set_phones(param_store& store, int kind, int index, bool pre);

// The routing of a matrix of rows by columns. The smaller side carries the routing: each of
// its members goes to at most one member of the other side.
class routing_grid {
 public:
  static constexpr int max_rows = 32;
  static constexpr int max_columns = 34;
  static constexpr uint8_t none = 255;

  routing_grid() { set_size(8, 16); }

  // False, and nothing changes, outside 2..32 rows and 2..34 columns; otherwise one-to-one.
  bool set_size(int rows, int columns);
  int rows() const { return rows_; }
  int columns() const { return columns_; }
  bool per_row() const { return rows_ <= columns_; }

  // -1, -1: one-to-one. Out-of-range pairs are ignored.
  void route(int row, int column);
  void clear();
  // When routing per column: the first column routed to the row; -1 for none.
  int column_of_row(int row) const;
  // When routing per row: the first row routed to the column; -1 for none.
  int row_of_column(int column) const;
  bool routed(int row, int column) const;

 private:
  int rows_ = 0;
  int columns_ = 0;
  std::array<uint8_t, max_columns> entries_{};
};

// The input channels 0..15 the console has fitted, in order.
std::vector<int> fitted_record_inputs();

// The 16 values APPLY writes from a matrix of 16 tracks: none when a column is used by two
// tracks or a track has two columns. Columns at or past the fitted inputs are "L" and "R".
std::optional<std::array<uint16_t, rec_track_count>> record_values(const routing_grid& grid,
                                                                  const std::vector<int>& fitted);
// The column a stored value selects in a matrix of `columns`; -1 for 0 or an unknown input.
int record_column(uint16_t value, int columns, const std::vector<int>& fitted);

}  // namespace vorante
