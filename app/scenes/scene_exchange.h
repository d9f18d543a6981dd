// Export and import of one scene, as two step machines over the engine's scene-transfer
// senders and reply flags. Each phase sends one request at a time, resends it when no reply
// came within a short wait, and gives up after three seconds without progress. The caller
// ticks the machines (every 10 ms, and may tick more often: every rule is a check of `now`)
// and receives what the user should see through the events.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "app/scenes/scene_file.h"
#include "app/scenes/scene_transfer.h"

namespace vorante {

constexpr uint32_t scene_tick_ms = 10;
constexpr uint32_t scene_resend_ms = 100;
constexpr uint32_t scene_finish_resend_ms = 500;
constexpr uint32_t scene_stall_ms = 3000;
constexpr int scene_chunk_values = 60;
// Sent as if long ago, so the next tick sends at once.
constexpr uint32_t scene_send_at_once = 200;

constexpr int scene_toast_ms = 2000;

struct scene_exchange_events {
  // Texts are untranslated; the UI translates them.
  std::function<void(std::string_view text)> show_busy;
  std::function<void()> hide_busy;
  std::function<void(std::string_view text, uint16_t colour, int ms, bool modal)> toast;
  // The export is complete: the file's JSON text, to be coded and saved.
  std::function<void(const std::string& json)> save_file;
  // An import finished: the console's scene names are worth asking again.
  std::function<void()> import_done;
  // A read started with start_read is complete: the image holds the scene's values.
  std::function<void()> values_read;
};

enum class export_phase : int { idle = 0, values = 1, texts = 2, name = 3, success = 4, failure = 5 };
enum class import_phase : int { idle = 0, values = 1, texts = 2, name = 3, finish = 4, success = 5, failure = 6 };

class scene_exchange {
 public:
  scene_exchange(scene_transfer& transfer, scene_exchange_events events)
      : transfer_(transfer), events_(std::move(events)) {}

  // Both refuse (false) while either transfer runs: they share the transfer image.
  bool start_export(int scene, uint32_t now);
  // The values phase of an export alone, for a look at what the scene holds: no texts,
  // no name, no file; values_read when done, a toast only on failure.
  bool start_read(int scene, uint32_t now);
  // Checks the file's text and, when it passes, uploads it into `scene`. A refused text
  // shows its toast and sends nothing.
  scene_check start_import(std::string_view text, int scene, uint32_t now);
  // Uploads what the image already holds.
  bool start_upload(int scene, uint32_t now);

  void tick_export(uint32_t now);
  void tick_import(uint32_t now);
  void tick(uint32_t now) {
    tick_export(now);
    tick_import(now);
  }

  export_phase exporting() const { return export_; }
  import_phase importing() const { return import_; }
  bool running() const { return export_ != export_phase::idle || import_ != import_phase::idle; }
  // How far the values of the running export or read are: every ID below this has come.
  int values_through() const {
    if (export_ == export_phase::values) return out_.first;
    return export_ == export_phase::idle ? 0 : param_count;
  }
  // The running (or last) export is a values-only read.
  bool reading_values() const { return values_only_; }
  int scene() const { return scene_; }

 private:
  struct progress {
    uint32_t last_progress = 0;
    uint32_t last_send = 0;
    uint16_t first = 0;
    int chunk = 0;
    int text = 0;
  };
  // Starts the next value chunk after `first`; false when all values are through.
  static bool next_chunk(progress& p);
  // Moves on to the next channel text; false when the last one is through.
  static bool next_text(progress& p);
  // One tick of a phase that asks for one item after another: a reply moves `p` on with `next`
  // and asks for that item at once; with no reply the item is asked again after the resend wait.
  // True when the reply to the last item has come (the next phase may then send at once).
  template <typename Send>
  static bool walk(progress& p, uint32_t now, bool replied, bool (*next)(progress&), Send send);
  bool stalled(const progress& p, uint32_t now) const { return now - p.last_progress > scene_stall_ms; }
  // A transfer's progress as it starts at `now`.
  static progress started(uint32_t now);
  static bool due(progress& p, uint32_t now, uint32_t wait);
  // An export or, with `values_only`, a read of the values alone; the busy text names the scene.
  bool begin_export(int scene, uint32_t now, bool values_only, const char* busy_format);
  void finish_export();
  void finish_import();

  scene_transfer& transfer_;
  scene_exchange_events events_;
  export_phase export_ = export_phase::idle;
  import_phase import_ = import_phase::idle;
  int scene_ = 0;
  bool values_only_ = false;
  progress out_, in_;
};

}  // namespace vorante
