#include "ui/foundation/fonts.h"

#include <QApplication>
#include <QByteArray>
#include <QFontDatabase>
#include <QStringList>

#include <array>
#include <optional>

#include "app/core/log.h"
#include "ui/foundation/resource_volume.h"

namespace vorante {

namespace {

constexpr int font_cache_slots = 64;  // pixel sizes 1..64

QString family;
std::array<std::optional<QFont>, font_cache_slots + 1> size_cache;
int created = 0;

QFont screen_text_font() { return QApplication::font(); }

}  // namespace

bool fonts_init() {
  if (family.isEmpty()) {
    const char* path = font_path();
    const auto bytes = path[0] != '\0' ? res_file_read_all(path) : std::nullopt;
    if (bytes) {
      const int id = QFontDatabase::addApplicationFontFromData(
          QByteArray(reinterpret_cast<const char*>(bytes->data()), static_cast<qsizetype>(bytes->size())));
      const QStringList families = id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList{};
      if (!families.isEmpty()) family = families.first();
    }
    if (family.isEmpty()) log_print("[ERROR] no UI font on the resource volume\n");
  }
  for (int size : {10, 12, 14, 16, 24, 32, 20, 22}) font_get(size);
  return !family.isEmpty();
}

const QString& ui_font_family() { return family; }

QFont font_get(int size, bool bold) {
  if (size < 1 || size > font_cache_slots) return screen_text_font();
  if (size_cache[static_cast<std::size_t>(size)]) return *size_cache[static_cast<std::size_t>(size)];
  // Without the volume's font a size is not kept, so a later request tries again.
  if (family.isEmpty()) {
    QFont f = screen_text_font();
    f.setPixelSize(size);
    f.setBold(bold);
    return f;
  }
  QFont f(family);
  f.setPixelSize(size);
  f.setBold(bold);
  f.setHintingPreference(QFont::PreferNoHinting);
  size_cache[static_cast<std::size_t>(size)] = f;
  ++created;
  return f;
}

int font_sizes_created() { return created; }

}  // namespace vorante
