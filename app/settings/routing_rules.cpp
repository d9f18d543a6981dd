#include "app/settings/routing_rules.h"

#include <algorithm>

#include "app/params/store.h"

namespace vorante {

namespace {

// Clears every ID of the range but `keep` that holds `value`, then writes it to `keep`.
void take_exclusive(param_store& store, uint16_t first, int count, uint16_t keep, uint16_t value) {
  for (int n = 0; n < count; ++n) {
    const auto id = static_cast<uint16_t>(first + n);
    if (id != keep && store.get(id) == value) store.linked_set(id, 0);
  }
  if (store.get(keep) != value) store.linked_set(keep, value);
}

}  // namespace

void map_input(param_store& store, int logical, int hardware) {
  if (logical < 0 || logical >= input_map_count || hardware < 0 || hardware >= input_map_count) return;
  take_exclusive(store, input_map_base_id, input_map_count, static_cast<uint16_t>(input_map_base_id + logical),
                 static_cast<uint16_t>(hardware + 1));
}

void map_output(param_store& store, int hardware, int bus) {
  if (hardware < 0 || hardware >= output_map_count || bus < 0 || bus >= output_map_count) return;
  take_exclusive(store, output_map_base_id, output_map_count, static_cast<uint16_t>(output_map_base_id + hardware),
                 static_cast<uint16_t>(bus + 1));
}

void reset_range(param_store& store, uint16_t first, int count) {
  for (int n = 0; n < count; ++n) {
    const auto id = static_cast<uint16_t>(first + n);
    store.linked_set(id, store.default_of(id));
  }
}

uint16_t phones_solo_id(int kind, int index) {
  if (kind == kind_bus && index == main_l_bus) return main_l_solo_id;
  if (kind == kind_bus && index == main_r_bus) return main_r_solo_id;
  if (is_fixed_stereo_right(kind, index)) --index;
  return param_id(kind, index, code_solo);
}

bool phones_pre(const param_store& store, int kind, int index) {
  return (store.get(phones_solo_id(kind, index)) & phones_pre_bit) != 0;
}

void set_phones(param_store& store, int kind, int index, bool pre) {
  const uint16_t id = phones_solo_id(kind, index);
  const auto value = static_cast<uint16_t>((store.get(id) & ~phones_pre_bit) | (pre ? phones_pre_bit : 0));
  store.linked_set(id, value);
  if (id == main_l_solo_id)
    store.quiet_linked_set(main_l_solo_id + 1, 0);
  else if (id == main_r_solo_id)
    store.quiet_linked_set(main_r_solo_id - 1, 0);
  else
    store.linked_set(id + 1, value);
}

bool routing_grid::set_size(int rows, int columns) {
  if (rows < 2 || rows > max_rows || columns < 2 || columns > max_columns) return false;
  rows_ = rows;
  columns_ = columns;
  route(-1, -1);
  return true;
}

void routing_grid::route(int row, int column) {
  if (row == -1 && column == -1) {
    entries_.fill(none);
    for (int i = 0; i < std::min(rows_, columns_); ++i) entries_[static_cast<std::size_t>(i)] = static_cast<uint8_t>(i);
    return;
  }
  if (row < 0 || column < 0 || row >= rows_ || column >= columns_) return;
  if (per_row())
    entries_[static_cast<std::size_t>(row)] = static_cast<uint8_t>(column);
  else
    entries_[static_cast<std::size_t>(column)] = static_cast<uint8_t>(row);
}

void routing_grid::clear() { entries_.fill(none); }

int routing_grid::column_of_row(int row) const {
  if (row < 0 || row >= rows_) return -1;
  if (per_row()) {
    const uint8_t e = entries_[static_cast<std::size_t>(row)];
    return e == none ? -1 : e;
  }
  for (int c = 0; c < columns_; ++c)
    if (entries_[static_cast<std::size_t>(c)] == row) return c;
  return -1;
}

int routing_grid::row_of_column(int column) const {
  if (column < 0 || column >= columns_) return -1;
  if (!per_row()) {
    const uint8_t e = entries_[static_cast<std::size_t>(column)];
    return e == none ? -1 : e;
  }
  for (int r = 0; r < rows_; ++r)
    if (entries_[static_cast<std::size_t>(r)] == column) return r;
  return -1;
}

bool routing_grid::routed(int row, int column) const {
  if (row < 0 || column < 0 || row >= rows_ || column >= columns_) return false;
  return per_row() ? entries_[static_cast<std::size_t>(row)] == column
                   : entries_[static_cast<std::size_t>(column)] == row;
}

std::vector<int> fitted_record_inputs() {
  std::vector<int> out;
  for (int i = 0; i < rec_track_count; ++i)
    if (!logical_slot_of(logical_of(kind_input, i)).not_fitted) out.push_back(i);
  return out;
}

std::optional<std::array<uint16_t, rec_track_count>> record_values(const routing_grid& grid,
                                                                  const std::vector<int>& fitted) {
  std::array<int, routing_grid::max_rows> per_track{};
  std::array<int, routing_grid::max_columns> per_column{};
  for (int r = 0; r < grid.rows(); ++r)
    for (int c = 0; c < grid.columns(); ++c)
      if (grid.routed(r, c)) {
        ++per_track[static_cast<std::size_t>(r)];
        ++per_column[static_cast<std::size_t>(c)];
      }
  if (std::any_of(per_track.begin(), per_track.end(), [](int n) { return n > 1; }) ||
      std::any_of(per_column.begin(), per_column.end(), [](int n) { return n > 1; }))
    return std::nullopt;

  std::array<uint16_t, rec_track_count> values{};
  const int n = static_cast<int>(fitted.size());
  for (int t = 0; t < rec_track_count && t < grid.rows(); ++t) {
    const int c = grid.column_of_row(t);
    if (c < 0)
      values[static_cast<std::size_t>(t)] = 0;
    else if (c >= n)
      values[static_cast<std::size_t>(t)] = static_cast<uint16_t>(c - n + rec_left_value);
    else
      values[static_cast<std::size_t>(t)] = static_cast<uint16_t>(fitted[static_cast<std::size_t>(c)] + 1);
  }
  return values;
}

int record_column(uint16_t value, int columns, const std::vector<int>& fitted) {
  if (value == 0) return -1;
  if (value > 24) {
    const int c = value + columns - 27;
    return c >= 0 && c < columns ? c : -1;
  }
  const auto it = std::find(fitted.begin(), fitted.end(), value - 1);
  return it == fitted.end() ? -1 : static_cast<int>(it - fitted.begin());
}

}  // namespace vorante
