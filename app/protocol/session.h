// The link side of the program in one piece: the parameter store, the synchronisation
// engine and the configuration-text handlers, wired to each other. The desktop program
// and the command-line client each hold one.
#pragma once

#include "app/core/options.h"
#include "app/media/media_client.h"
#include "app/params/store.h"
#include "app/protocol/config_texts.h"
#include "app/protocol/engine.h"
#include "app/protocol/ui_port.h"

namespace vorante {

class link_session {
 public:
  link_session(runtime_options& options, ui_port& ui = null_ui_port());
  link_session(const link_session&) = delete;
  link_session& operator=(const link_session&) = delete;

  // Watching only: the link comes up and pushes are echoed as the console expects, but
  // nothing is changed on the console on our own account (no rename of an unnamed
  // console, no parameter write from a moved fader). Off for the desktop program.
  void set_observe_only(bool on);

  runtime_options& options;
  ui_port& ui;
  param_store store;
  sync_engine engine;
  config_texts config;
  media_client media;
};

}  // namespace vorante
