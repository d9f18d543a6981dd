#include "ui/platform/qt_ui_port.h"

namespace vorante {

void qt_ui_port::network_list(const std::vector<std::string>& names) {
  QStringList list;
  list.reserve(static_cast<qsizetype>(names.size()));
  for (const auto& name : names) list << QString::fromStdString(name);
  emit network_names(list);
}

}  // namespace vorante
