// The engineer's own edits, step by step, so they can be taken back and made again. A step
// holds, for every parameter or name it changed, the value before and after; a drag, a paste
// or a channel copy is one step. The journal never writes anything itself: undo and redo
// hand the values to a target, which writes them as any other edit of ours.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace vorante {

constexpr std::size_t journal_capacity = 200;

enum class journal_item : uint8_t { param, scene_name, channel_name };

struct journal_entry {
  journal_item item = journal_item::param;
  uint16_t key = 0;  // parameter ID, scene 1..16 or logical channel
  uint16_t before = 0, after = 0;
  std::string before_text, after_text;
};

struct journal_step {
  std::vector<journal_entry> entries;
  // The console changed one of the entries since the step was made (or undone).
  bool console_changed = false;
};

// Where undo and redo read the values held now and write the ones they restore.
class journal_target {
 public:
  virtual ~journal_target() = default;
  virtual uint16_t param(uint16_t id) const = 0;
  virtual void write_param(uint16_t id, uint16_t value) = 0;
  virtual std::string name(journal_item item, uint16_t key) const = 0;
  virtual void write_name(journal_item item, uint16_t key, std::string_view text) = 0;
};

enum class journal_outcome : uint8_t { nothing, done, skipped };

struct journal_result {
  journal_outcome outcome = journal_outcome::nothing;
  std::string label;  // what the step changed, e.g. "CH1 mute"
};

class edit_journal {
 public:
  // Edits are recorded only inside a group, which is what makes the program's own
  // automatic writes (and everything the console pushes) stay out. Groups nest; the step
  // is closed when the outermost one ends.
  void begin_group() { ++depth_; }
  void end_group();
  bool recording() const { return depth_ > 0 && !replaying_; }

  void record_param(uint16_t id, uint16_t before, uint16_t after);
  void record_name(journal_item item, uint16_t key, std::string_view before, std::string_view after);

  // The console set a parameter or a name to a value other than the one held here.
  void console_changed_param(uint16_t id);
  void console_changed_name(journal_item item, uint16_t key);

  // Another console: none of the steps means anything there. The first identity seen is
  // only remembered.
  void console_is(std::string_view identity);
  void forget();

  journal_result undo(journal_target& target);
  journal_result redo(journal_target& target);

  std::size_t undo_count() const { return undo_.size(); }
  std::size_t redo_count() const { return redo_.size(); }
  const std::deque<journal_step>& undo_steps() const { return undo_; }

 private:
  journal_entry* open_entry(journal_item item, uint16_t key);
  void mark(journal_item item, uint16_t key);
  journal_result replay(journal_target& target, std::deque<journal_step>& from, std::deque<journal_step>& to,
                        bool backwards);

  int depth_ = 0;
  bool replaying_ = false;
  journal_step open_;
  std::deque<journal_step> undo_, redo_;
  std::string console_;
};

// What a step is called in a toast: the channel and parameter ("CH1 mute", "AUX3 fader"),
// the first of several with how many more there are.
std::string journal_label(const journal_step& step);
std::string journal_entry_label(const journal_entry& entry);

}  // namespace vorante
