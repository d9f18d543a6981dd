#include "ui/foundation/res_images.h"

#include <QPainter>
#include <algorithm>
#include <string>
#include <tuple>
#include <unordered_map>

#include "resources/embedded.h"
#include "ui/foundation/resource_volume.h"

namespace vorante {

namespace {

// Screens name the same file in different spellings ("0:res/x.png", "res/X.PNG"); one
// key for all of them keeps the cache from decoding a picture twice.
std::string cache_key(std::string_view path) {
  const std::optional<std::string_view> relative = res_volume_relative(path);
  if (!relative) return {};
  std::string key;
  for (char c : *relative) {
    if (c == '\\') c = '/';
    if (c == '/' && (key.empty() || key.back() == '/')) continue;
    key += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return key;
}

struct recolour_key {
  std::string path;
  QRgb colour;
  int opacity;
  bool operator==(const recolour_key&) const = default;
};

struct recolour_key_hash {
  std::size_t operator()(const recolour_key& k) const {
    return std::hash<std::string>()(k.path) ^ (std::size_t{k.colour} * 31 + k.opacity) * 0x9E3779B9u;
  }
};

}  // namespace

QImage png_image_from_memory(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return {};
  QImage image = QImage::fromData(bytes.data(), static_cast<int>(bytes.size()), "PNG");
  if (image.isNull()) return {};
  // Premultiplied pixels are what QPainter blends fastest.
  return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage image_file_load(std::string_view path) {
  static std::unordered_map<std::string, QImage> cache;
  const std::string key = cache_key(path);
  if (key.empty()) return {};
  if (const auto it = cache.find(key); it != cache.end()) return it->second;

  QImage image;
  if (const auto bytes = res_file_read_all(key)) image = png_image_from_memory(*bytes);
  // Missing pictures are remembered too, so a screen redrawing often does not search the
  // volume again each time.
  cache.emplace(key, image);
  return image;
}

QImage recoloured(const QImage& image, QColor colour, int opacity) {
  if (image.isNull()) return {};
  QImage out = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&out);
  // SourceAtop paints only where the picture has alpha and keeps that alpha.
  painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
  colour.setAlpha(std::clamp(opacity, 0, 255));
  painter.fillRect(out.rect(), colour);
  return out;
}

QImage image_file_load_recoloured(std::string_view path, QColor colour, int opacity) {
  static std::unordered_map<recolour_key, QImage, recolour_key_hash> cache;
  recolour_key key{cache_key(path), colour.rgb(), std::clamp(opacity, 0, 255)};
  if (key.path.empty()) return {};
  if (const auto it = cache.find(key); it != cache.end()) return it->second;
  QImage image = recoloured(image_file_load(key.path), colour, key.opacity);
  cache.emplace(std::move(key), image);
  return image;
}

QImage builtin_logo() {
  static const QImage logo = png_image_from_memory(embedded_logo_png());
  return logo;
}

}  // namespace vorante
