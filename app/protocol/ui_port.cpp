#include "app/protocol/ui_port.h"

namespace vorante {

ui_port& null_ui_port() {
  static ui_port port;
  return port;
}

}  // namespace vorante
