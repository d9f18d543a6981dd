// The process-wide run-time options, fixed before the main loop starts.
#pragma once

#include <string>

namespace vorante {

enum link_mode : int {
  link_serial = 1,
  link_udp = 2,
  link_tcp = 3,
  link_none = 4,
  link_incompatible = 5,  // opens no transport (a refused console is remembered by the link supervision)
};

struct runtime_options {
  int link_mode = link_udp;
  std::string serial_port = "COM8";
  int baud_rate = 128000;
  bool heartbeat_enabled = true;
  bool meter_polling_disabled = false;
  bool online_lock_poll_disabled = false;
  bool resync_once_only = false;
  bool print_panel_data = false;  // kept for the launcher; nothing reads it
  bool print_sent = false;
  bool print_received = false;
  bool surface_takeover = false;
  bool print_writes_by_name = false;
  bool group_bar = false;
  int media_log_level = 2;
  bool local_device = false;
  bool factory_mode = false;

  // The control surface is driven when running on the console or when taking it over.
  bool drives_surface() const { return local_device || surface_takeover; }
};

}  // namespace vorante
