#include "app/scenes/scene_exchange.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "app/protocol/ui_port.h"

namespace vorante {

namespace {

std::string with_scene(const char* format, int scene) {
  char text[64];
  std::snprintf(text, sizeof text, format, scene);
  return text;
}

}  // namespace

bool scene_exchange::next_chunk(progress& p) {
  p.first = static_cast<uint16_t>(p.first + p.chunk);
  if (p.first >= param_count) return false;
  p.chunk = std::min(scene_chunk_values, param_count - p.first);
  return true;
}

bool scene_exchange::next_text(progress& p) {
  if (p.text >= channel_name_count - 1) return false;
  ++p.text;
  return true;
}

template <typename Send>
bool scene_exchange::walk(progress& p, uint32_t now, bool replied, bool (*next)(progress&), Send send) {
  if (replied) {
    p.last_progress = now;
    if (!next(p)) {
      p.last_send = now - scene_send_at_once;
      return true;
    }
    send(p);
    p.last_send = now;
  } else if (due(p, now, scene_resend_ms)) {
    send(p);
  }
  return false;
}

scene_exchange::progress scene_exchange::started(uint32_t now) {
  progress p;
  p.last_progress = now;
  p.last_send = now - scene_send_at_once;
  return p;
}

bool scene_exchange::due(progress& p, uint32_t now, uint32_t wait) {
  if (now - p.last_send <= wait) return false;
  p.last_send = now;
  return true;
}

bool scene_exchange::start_export(int scene, uint32_t now) {
  return begin_export(scene, now, false, "EXPORT FROM SCENE %d...");
}

bool scene_exchange::start_read(int scene, uint32_t now) {
  return begin_export(scene, now, true, "READING SCENE %d...");
}

bool scene_exchange::begin_export(int scene, uint32_t now, bool values_only, const char* busy_format) {
  if (running()) return false;
  values_only_ = values_only;
  scene_ = scene;
  export_ = export_phase::values;
  out_ = started(now);
  transfer_flags& f = transfer_.replies();
  f.values_read = false;
  if (!values_only) f.text_read = f.name_read = false;
  if (events_.show_busy) events_.show_busy(with_scene(busy_format, scene));
  return true;
}

void scene_exchange::tick_export(uint32_t now) {
  if (export_ == export_phase::idle) return;
  transfer_flags& f = transfer_.replies();
  progress& p = out_;
  switch (export_) {
    case export_phase::values:
      if (p.chunk == 0 && p.first == 0) {
        // The first chunk has a little less time to answer, as every chunk after it
        // is asked for the moment the previous reply arrived.
        p.chunk = scene_chunk_values;
        p.last_progress = now - scene_send_at_once;
      }
      if (!f.values_read && stalled(p, now)) {
        export_ = export_phase::failure;
      } else if (walk(p, now, f.values_read, next_chunk,
                      [&](const progress& q) { transfer_.send_values_read(scene_, q.chunk, q.first); })) {
        export_ = values_only_ ? export_phase::success : export_phase::texts;
        p.text = 0;
        f.text_read = false;
      }
      break;
    case export_phase::texts:
      if (!f.text_read && stalled(p, now)) {
        export_ = export_phase::failure;
      } else if (walk(p, now, f.text_read, next_text,
                      [&](const progress& q) { transfer_.send_text_read(scene_, q.text); })) {
        export_ = export_phase::name;
        f.name_read = false;
      }
      break;
    case export_phase::name:
      if (f.name_read) {
        p.last_progress = p.last_send = now;
        export_ = export_phase::success;
      } else if (stalled(p, now)) {
        export_ = export_phase::failure;
      } else if (due(p, now, scene_resend_ms)) {
        transfer_.send_name_read(scene_);
      }
      break;
    default:
      break;
  }
  if (export_ == export_phase::success || export_ == export_phase::failure) finish_export();
}

void scene_exchange::finish_export() {
  const bool ok = export_ == export_phase::success;
  export_ = export_phase::idle;
  if (values_only_) {
    if (!ok && events_.toast) events_.toast("READ SCENE FAIL!", toast_red, scene_toast_ms, false);
    if (ok && events_.values_read) events_.values_read();
    if (events_.hide_busy) events_.hide_busy();
    return;
  }
  if (events_.toast) events_.toast(ok ? "EXPORT SCENE SUCCESS!" : "EXPORT SCENE FAIL!", ok ? toast_green : toast_red,
                                   scene_toast_ms, false);
  if (ok && events_.save_file) events_.save_file(build_scene_json(transfer_.image(), scene_));
  if (events_.hide_busy) events_.hide_busy();
}

scene_check scene_exchange::start_import(std::string_view text, int scene, uint32_t now) {
  if (running()) return scene_check::busy;
  // Checked into a copy: a refused file leaves the image (and the console) as it was.
  auto checked = std::make_unique<transfer_image>();
  const scene_check result = check_scene_text(text, *checked);
  if (result != scene_check::ok) {
    const scene_check_toast t = scene_check_message(result);
    if (events_.toast) events_.toast(t.text, toast_red, t.ms, true);
    return result;
  }
  transfer_.image() = *checked;
  start_upload(scene, now);
  return result;
}

bool scene_exchange::start_upload(int scene, uint32_t now) {
  if (running()) return false;
  scene_ = scene;
  import_ = import_phase::values;
  in_ = started(now);
  transfer_flags& f = transfer_.replies();
  f.values_written = f.text_written = f.name_written = f.write_finished = false;
  if (events_.show_busy) events_.show_busy(with_scene("IMPORT TO SCENE %d...", scene));
  return true;
}

void scene_exchange::tick_import(uint32_t now) {
  if (import_ == import_phase::idle) return;
  transfer_flags& f = transfer_.replies();
  progress& p = in_;
  if (import_ != import_phase::success && stalled(p, now)) import_ = import_phase::failure;
  switch (import_) {
    case import_phase::values:
      if (p.chunk == 0 && p.first == 0) {
        p.chunk = scene_chunk_values;
        p.last_progress = now - scene_send_at_once;
      }
      if (walk(p, now, f.values_written, next_chunk,
               [&](const progress& q) { transfer_.send_values_write(scene_, q.chunk, q.first); })) {
        import_ = import_phase::texts;
        p.text = 0;
        f.text_written = false;
      }
      break;
    case import_phase::texts:
      if (walk(p, now, f.text_written, next_text,
               [&](const progress& q) { transfer_.send_text_write(scene_, q.text); })) {
        import_ = import_phase::name;
        f.name_written = false;
      }
      break;
    case import_phase::name:
      if (f.name_written) {
        p.last_progress = p.last_send = now;
        import_ = import_phase::finish;
        f.write_finished = false;
      } else if (due(p, now, scene_resend_ms)) {
        transfer_.send_name_write(scene_);
      }
      break;
    case import_phase::finish:
      // The console is given half a second before (and between) the finish requests.
      if (f.write_finished) {
        import_ = import_phase::success;
      } else if (due(p, now, scene_finish_resend_ms)) {
        transfer_.send_write_finish(scene_);
      }
      break;
    default:
      break;
  }
  if (import_ == import_phase::success || import_ == import_phase::failure) finish_import();
}

void scene_exchange::finish_import() {
  const bool ok = import_ == import_phase::success;
  import_ = import_phase::idle;
  if (events_.toast) events_.toast(ok ? "IMPORT SCENE SUCCESS!" : "IMPORT SCENE FAIL!", ok ? toast_green : toast_red,
                                   scene_toast_ms, false);
  if (ok && events_.import_done) events_.import_done();
  if (events_.hide_busy) events_.hide_busy();
}

}  // namespace vorante
