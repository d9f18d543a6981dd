// The system page's routing rules without their widgets: exclusive input and output mappings,
// RESET, the headphone PRE/POST bit and the recorder matrix.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/settings/routing_rules.h"
#include "tests/unit/store_fixture.h"

namespace vorante {
namespace {

using test::store_fixture;

bool written(const param_store& s, uint16_t id) { return s.dirty().contains(id); }

// --- mappings ---------------------------------------------------------------------------

TEST(channel_mapping, input_taken_from_its_old_logical_input) {
  store_fixture f;
  f.store.set_local(input_map_base_id + 1, 4);   // logical 1 held hardware input 3
  f.store.set_local(input_map_base_id + 9, 7);
  map_input(f.store, 5, 3);
  EXPECT_EQ(f.store.get(2864), 0);
  EXPECT_EQ(f.store.get(2868), 4);
  EXPECT_EQ(f.store.get(input_map_base_id + 9), 7);
  for (int k = 0; k < input_map_count; ++k) {
    if (k != 5) {
      EXPECT_NE(f.store.get(input_map_base_id + k), 4) << k;
    }
  }
}

TEST(channel_mapping, output_bus_taken_from_its_old_hardware_output) {
  store_fixture f;
  for (int h = 0; h < output_map_count; ++h) f.store.set_local(output_map_base_id + h, 7);
  f.store.set_local(output_map_base_id + 0, 3);
  f.store.set_local(output_map_base_id + 9, 3);
  map_output(f.store, 4, 2);
  for (int h = 0; h < output_map_count; ++h)
    EXPECT_EQ(f.store.get(output_map_base_id + h), h == 4 ? 3 : (h == 0 || h == 9 ? 0 : 7)) << h;
}

TEST(channel_mapping, mapping_already_held_writes_nothing) {
  store_fixture f;
  f.store.set_local(input_map_base_id + 2, 6);
  f.store.dirty().clear();
  map_input(f.store, 2, 5);
  EXPECT_FALSE(written(f.store, input_map_base_id + 2));
  f.store.dirty().clear();
  map_input(f.store, 40, 5);   // out of range: ignored
  map_output(f.store, -1, 0);
  EXPECT_TRUE(f.store.dirty().empty());
}

TEST(channel_mapping, reset_restores_every_default) {
  store_fixture f;
  for (int k = 0; k < input_map_count; ++k) f.store.set_local(input_map_base_id + k, static_cast<uint16_t>((k * 7) % 27));
  reset_range(f.store, input_map_base_id, input_map_count);
  for (int k = 0; k < input_map_count; ++k) {
    const auto id = static_cast<uint16_t>(input_map_base_id + k);
    EXPECT_EQ(f.store.get(id), f.store.default_of(id)) << id;
  }
}

// --- headphones -------------------------------------------------------------------------

TEST(headphone_monitoring, post_on_a_right_member_writes_its_left_member) {
  store_fixture f;
  const uint16_t left = param_id(kind_input, 16, code_solo);
  f.store.set_local(left, phones_pre_bit | 0x0005);
  f.store.set_local(left + 1, phones_pre_bit | 0x0005);
  f.store.dirty().clear();
  set_phones(f.store, kind_input, 17, false);
  // The left member's two solo IDs are the ones written; the store spreads them to input 17.
  EXPECT_EQ(f.store.get(left), 0x0005);
  EXPECT_TRUE(written(f.store, left));
  EXPECT_TRUE(written(f.store, left + 1));
  EXPECT_FALSE(phones_pre(f.store, kind_input, 17));
}

TEST(headphone_monitoring, pre_keeps_the_solo_bits) {
  store_fixture f;
  const uint16_t id = param_id(kind_bus, 3, code_solo);
  f.store.set_local(id, 0x1234);
  set_phones(f.store, kind_bus, 3, true);
  EXPECT_EQ(f.store.get(id), 0x9234);
  EXPECT_EQ(f.store.get(id + 1), 0x9234);
  EXPECT_TRUE(phones_pre(f.store, kind_bus, 3));
}

TEST(headphone_monitoring, main_pair_clears_its_neighbour_quietly) {
  struct main_case {
    int bus;
    uint16_t solo;
    uint16_t neighbour;
  };
  for (const main_case c : {main_case{main_l_bus, 2560, 2561}, main_case{main_r_bus, 2670, 2669}}) {
    store_fixture f;
    f.store.set_local(c.solo, 0x0012);
    f.store.set_local(c.neighbour, 9);
    f.ui.params.clear();
    set_phones(f.store, kind_bus, c.bus, true);
    EXPECT_EQ(f.store.get(c.solo), phones_pre_bit | 0x0012) << c.bus;
    EXPECT_EQ(f.store.get(c.neighbour), 0) << c.bus;
    EXPECT_TRUE(written(f.store, c.neighbour)) << c.bus;
    EXPECT_FALSE(f.ui.refreshed(c.neighbour)) << c.bus;
  }
}

// --- routing grid -----------------------------------------------------------------------

TEST(routing_grid_model, refuses_sizes_out_of_range) {
  routing_grid g;
  g.route(2, 5);
  for (auto [r, c] : {std::pair{1, 10}, std::pair{16, 35}, std::pair{33, 4}, std::pair{4, 1}}) {
    EXPECT_FALSE(g.set_size(r, c)) << r << "x" << c;
    EXPECT_EQ(g.rows(), 8);
    EXPECT_EQ(g.columns(), 16);
    EXPECT_EQ(g.column_of_row(2), 5);
  }
}

TEST(routing_grid_model, per_column_when_columns_are_fewer) {
  routing_grid g;
  ASSERT_TRUE(g.set_size(16, 10));
  g.route(3, 2);
  EXPECT_EQ(g.row_of_column(2), 3);
  for (int c = 0; c < 10; ++c) {
    if (c != 2) {
      EXPECT_EQ(g.row_of_column(c), c);
    }
  }
  EXPECT_EQ(g.column_of_row(3), 2);   // the first column routed to row 3
  EXPECT_EQ(g.column_of_row(2), -1);
  EXPECT_EQ(g.column_of_row(12), -1);
}

TEST(routing_grid_model, per_row_moves_the_rows_marker) {
  routing_grid g;
  ASSERT_TRUE(g.set_size(16, 18));
  g.route(4, 9);
  g.route(4, 11);
  EXPECT_EQ(g.column_of_row(4), 11);
  EXPECT_FALSE(g.routed(4, 9));
  EXPECT_EQ(g.row_of_column(4), -1);
  EXPECT_EQ(g.row_of_column(11), 4);
  g.route(4, 18);   // out of range: ignored
  g.route(-1, 3);
  EXPECT_EQ(g.column_of_row(4), 11);
  g.route(-1, -1);
  for (int r = 0; r < 16; ++r) EXPECT_EQ(g.column_of_row(r), r);
}

// --- recorder -------------------------------------------------------------------------

std::vector<int> all_inputs() {
  std::vector<int> v(16);
  for (int i = 0; i < 16; ++i) v[static_cast<std::size_t>(i)] = i;
  return v;
}

TEST(record_routing, recover_writes_one_to_one) {
  routing_grid g;
  g.set_size(16, 18);
  const auto v = record_values(g, all_inputs());
  ASSERT_TRUE(v);
  for (int t = 0; t < 16; ++t) EXPECT_EQ((*v)[static_cast<std::size_t>(t)], t + 1);
}

TEST(record_routing, values_of_columns_with_inputs_missing) {
  // Inputs 2 and 5 not fitted: 14 input columns, then L and R.
  std::vector<int> fitted;
  for (int i = 0; i < 16; ++i)
    if (i != 2 && i != 5) fitted.push_back(i);
  routing_grid g;
  g.set_size(16, 16);
  g.clear();
  g.route(0, 2);    // the third fitted input: input 4, value 4
  g.route(1, 14);   // L
  g.route(2, 15);   // R
  const auto v = record_values(g, fitted);
  ASSERT_TRUE(v);
  EXPECT_EQ((*v)[0], 4);
  EXPECT_EQ((*v)[1], rec_left_value);
  EXPECT_EQ((*v)[2], rec_right_value);
  EXPECT_EQ((*v)[3], 0);
  // And back: each stored value selects the column it came from.
  EXPECT_EQ(record_column(4, 16, fitted), 2);
  EXPECT_EQ(record_column(rec_left_value, 16, fitted), 14);
  EXPECT_EQ(record_column(rec_right_value, 16, fitted), 15);
  EXPECT_EQ(record_column(3, 16, fitted), -1);   // input 2 is not fitted
  EXPECT_EQ(record_column(0, 16, fitted), -1);
}

TEST(record_routing, refuses_a_source_used_twice_or_a_track_with_two_sources) {
  routing_grid per_row;
  per_row.set_size(16, 18);
  per_row.route(7, 3);   // tracks 3 and 7 both take column 3
  EXPECT_FALSE(record_values(per_row, all_inputs()));

  routing_grid per_column;   // few fitted inputs: the columns carry the routing
  per_column.set_size(16, 6);
  per_column.route(0, 1);   // track 0 takes columns 0 and 1
  EXPECT_FALSE(record_values(per_column, {0, 1, 2, 3}));
  per_column.route(1, 1);
  const auto v = record_values(per_column, {0, 1, 2, 3});
  ASSERT_TRUE(v);
  EXPECT_EQ((*v)[4], rec_left_value);
  EXPECT_EQ((*v)[6], 0);
}

}  // namespace
}  // namespace vorante
