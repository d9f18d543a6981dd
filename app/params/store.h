// The local copy of all console parameters: values, defaults, and the two pending sets
// (values to write, values to ask for) with their retry states.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "app/core/options.h"
#include "app/params/ids.h"
#include "app/params/journal.h"
#include "app/params/retry.h"
#include "app/params/unconfirmed.h"
#include "app/protocol/ui_port.h"

namespace vorante {

// What the store tells the synchronisation engine and asks of it. The engine owns the name
// tables, the scene call and the control surface; the store only tells it what happened.
// Every operation defaults to nothing, so the store works on its own.
class store_events {
 public:
  virtual ~store_events() = default;
  // Queue all 16 scene-name requests / all 60 channel-name requests.
  virtual void request_scene_names() {}
  virtual void request_channel_names() {}
  // Drop every pending scene-name and channel-name request and update.
  virtual void drop_name_traffic() {}
  // A full read starts over: forget the end marker and the read-finished latch.
  virtual void read_restarted() {}
  // The meter rule consults these: no meter reads while locked or while a scene loads.
  virtual bool console_locked() const { return false; }
  virtual bool scene_call_pending() const { return false; }
  // Control surface: a fader level was written (surface takeover), and a channel
  // parameter changed (key lights need recomputing soon).
  virtual void surface_fader_written(uint16_t id) { (void)id; }
  virtual void schedule_key_lights() {}
};

store_events& null_store_events();

// Every ID that linked_set(id, ...) may read or write, whatever values it finds there:
// what a client that holds no copy of the console must read before it writes through the
// linked set. Empty for an invalid ID; may hold repeats.
std::vector<uint16_t> linked_set_reads(unsigned id);

class param_store {
 public:
  using id_set = pending_set<param_count>;

  explicit param_store(runtime_options& options, ui_port& ui = null_ui_port(),
                       store_events& events = null_store_events());

  void attach(ui_port& ui) { ui_ = &ui; }
  void attach(store_events& events) { events_ = &events; }
  runtime_options& options() { return *options_; }
  const runtime_options& options() const { return *options_; }
  ui_port& ui() { return *ui_; }

  // Builds the defaults and makes them the live values.
  void load_defaults();

  uint16_t get(unsigned id) const { return is_valid_id(id) ? values_[id] : 0; }
  uint16_t default_of(unsigned id) const { return is_valid_id(id) ? defaults_[id] : 0; }
  const std::array<uint16_t, param_count>& values() const { return values_; }

  void set_local(unsigned id, uint16_t value);
  void set_and_send(unsigned id, uint16_t value);
  void linked_set(unsigned id, uint16_t value);
  void quiet_linked_set(unsigned id, uint16_t value);
  void refresh(unsigned id);

  void request(unsigned id);
  void request_range(unsigned first, unsigned last);
  void request_all();
  void request_scene_names() { events_->request_scene_names(); }
  void request_channel_names() { events_->request_channel_names(); }
  void full_resync();
  void clear_all();
  void resync_all();

  // A value that came from the console: stored without entering the dirty set, and the
  // ID's read request is answered.
  void store_received(unsigned id, uint16_t value);
  // The same for the console's reply to a read, except that a write of the ID still being
  // sent keeps its value: the reply was asked for before the write.
  void store_read_reply(unsigned id, uint16_t value);
  // The console echoed a write; it counts only when the value is the one we hold.
  // Returns whether it counted.
  bool acknowledge_write(unsigned id, uint16_t value);

  // Tells the group bar the level of a fader-level parameter, when the bar exists.
  void tell_group_bar(unsigned id);

  id_set& dirty() { return dirty_; }
  const id_set& dirty() const { return dirty_; }
  id_set& requests() { return requests_; }
  const id_set& requests() const { return requests_; }
  // Writes whose sends ran out unanswered, waiting out their grace period. A new write of
  // an ID takes its old entry out; the engine adds, confirms and expires the rest.
  unconfirmed_writes& unconfirmed() { return unconfirmed_; }
  const unconfirmed_writes& unconfirmed() const { return unconfirmed_; }

  // Set by the channel copy operations; the engine clears it once every write went out.
  bool copy_busy() const { return copy_busy_; }
  void set_copy_busy(bool on) { copy_busy_ = on; }

  // Every write of ours passes set_and_send, so the journal hears of each one there, and
  // of each value the console changed in store_received.
  edit_journal& journal() { return journal_; }

 private:
  void change_hook(unsigned id);
  bool meter_read_allowed() const;
  void write(unsigned id, uint16_t value, bool refresh_after);
  void linked_set_input(const param_info& p, unsigned id, uint16_t value);
  void linked_set_bus(const param_info& p, unsigned id, uint16_t value);
  void linked_set_mute_group(const param_info& p, unsigned id, uint16_t value);
  void linked_set_phantom_group(const param_info& p, unsigned id, uint16_t value);

  runtime_options* options_;
  ui_port* ui_;
  store_events* events_;
  std::array<uint16_t, param_count> values_{};
  std::array<uint16_t, param_count> defaults_{};
  id_set dirty_;
  id_set requests_;
  unconfirmed_writes unconfirmed_;
  bool refresh_suppressed_ = false;
  bool copy_busy_ = false;
  edit_journal journal_;
};

}  // namespace vorante
