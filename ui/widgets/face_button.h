// What the push button and the toggle button share: a rounded face in one of two looks
// (released, or pressed/checked), an optional centred white label and an optional progress
// bar along the bottom edge. The subclasses only say which colours each look has.
#pragma once

#include <QAbstractButton>
#include <QRect>
#include <QString>
#include <optional>

#include "ui/foundation/colour.h"

namespace vorante {

struct face_look {
  rgb565 background;
  rgb565 gradient;  // bottom colour of the vertical gradient; == background for a flat face
  rgb565 border;
  int border_alpha;  // 0..255
};

constexpr int face_released_border_alpha = 102;

struct progress_geometry {
  QRect track;
  QRect fill;
};

// The progress bar of a face of `size`: full inner width along the bottom, inside the
// border; the fill grows from the left with `percent` (clamped to 0..100).
progress_geometry progress_rects(QSize size, int percent);

class face_button : public QAbstractButton {
  Q_OBJECT

 public:
  explicit face_button(QWidget* parent = nullptr);

  // An empty text hides the label (its last text is kept); any other text shows it.
  void set_text(const QString& text);
  void set_textf(const char* format, ...) __attribute__((format(printf, 2, 3)));
  QString label_text() const { return label_text_; }
  bool label_shown() const { return label_shown_; }

  // Any type without colours of its own looks like type 0.
  void set_type(int type);
  int type() const { return type_; }

  // The label's colour while the face is highlighted (white unless set).
  void set_highlighted_text_colour(rgb565 colour) { highlighted_text_ = colour; update(); }

  void set_progress(int percent);
  std::optional<int> progress() const { return progress_; }

  // Pressed or checked: the highlighted look.
  bool highlighted() const { return isDown() || isChecked(); }

  // The colours of the released or the highlighted face; painting uses the current one.
  virtual face_look look(bool highlighted) const = 0;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString label_text_;
  bool label_shown_ = false;
  int type_ = 0;
  std::optional<int> progress_;
  rgb565 highlighted_text_ = 0xFFFF;
};

}  // namespace vorante
