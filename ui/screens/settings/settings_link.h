// Where the console's configuration reports and results, its lock state and its lock key
// reach the settings screens.
#pragma once

namespace vorante {

class navigator;
class qt_ui_port;

void listen_to_settings(qt_ui_port& port, navigator& nav);

}  // namespace vorante
