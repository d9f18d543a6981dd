#include "ui/widgets/box_cache.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <unordered_map>

namespace vorante {

namespace {

// Enough for every card size on every page; beyond it something makes sizes up as it
// goes (a window being dragged larger), and starting over is cheaper than tracking use.
constexpr std::size_t cache_bound = 512;

uint64_t key_of(QSize size, const box_look& look) {
  uint64_t k = static_cast<uint64_t>(size.width() & 0xFFF);
  k = k << 12 | static_cast<uint64_t>(size.height() & 0xFFF);
  k = k * 1000003u ^ look.top;
  k = k * 1000003u ^ look.bottom;
  k = k * 1000003u ^ look.border;
  k = k * 1000003u ^ static_cast<uint64_t>(look.border_alpha & 0xFF);
  k = k * 1000003u ^ static_cast<uint64_t>(look.border_width & 0xFF);
  k = k * 1000003u ^ static_cast<uint64_t>(look.radius & 0xFF);
  k = k * 2 + (look.filled ? 1 : 0);
  return k;
}

struct entry {
  QSize size;
  box_look look;
  QImage image;
};

bool same(const entry& e, QSize size, const box_look& look) {
  return e.size == size && e.look.top == look.top && e.look.bottom == look.bottom &&
         e.look.filled == look.filled && e.look.border == look.border &&
         e.look.border_alpha == look.border_alpha && e.look.border_width == look.border_width &&
         e.look.radius == look.radius;
}

std::unordered_multimap<uint64_t, entry>& cache() {
  static std::unordered_multimap<uint64_t, entry> c;
  return c;
}

QImage draw_box(QSize size, const box_look& look) {
  QImage img(size, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  if (size.isEmpty()) return img;
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r(QPointF(0, 0), QSizeF(size));
  if (look.filled) {
    QPainterPath face;
    face.addRoundedRect(r, look.radius, look.radius);
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, to_qcolor(look.top));
    fill.setColorAt(1, to_qcolor(look.bottom));
    p.fillPath(face, fill);
  }
  if (look.border_alpha > 0 && look.border_width > 0) {
    p.setPen(QPen(to_qcolor(look.border, look.border_alpha), look.border_width));
    p.setBrush(Qt::NoBrush);
    const qreal half = look.border_width / 2.0;
    p.drawRoundedRect(r.adjusted(half, half, -half, -half), look.radius - half, look.radius - half);
  }
  return img;
}

}  // namespace

const QImage& rounded_box(QSize size, const box_look& look) {
  auto& c = cache();
  const uint64_t k = key_of(size, look);
  for (auto [it, end] = c.equal_range(k); it != end; ++it) {
    if (same(it->second, size, look)) return it->second.image;
  }
  if (c.size() >= cache_bound) c.clear();
  return c.emplace(k, entry{size, look, draw_box(size, look)})->second.image;
}

void draw_split(QPainter& p, QPoint at, const QImage& above, const QImage& below, int line) {
  const int w = above.width();
  const int h = above.height();
  line = std::clamp(line, 0, h);
  if (line > 0) p.drawImage(at, above, QRect(0, 0, w, line));
  if (line < h) p.drawImage(QPoint(at.x(), at.y() + line), below, QRect(0, line, w, h - line));
}

int rounded_box_cache_size() { return static_cast<int>(cache().size()); }

}  // namespace vorante
