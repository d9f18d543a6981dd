// The translated text of an English one, as every screen shows it.
#pragma once

#include <QString>

#include "app/core/translate.h"

namespace vorante {

inline QString tr_text(const char* english) { return QString::fromUtf8(translate_text(english)); }

}  // namespace vorante
