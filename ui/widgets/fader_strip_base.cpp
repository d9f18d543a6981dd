#include "ui/widgets/fader_strip_base.h"

#include "ui/widgets/fader.h"
#include "ui/widgets/strip_parts.h"

namespace vorante {

fader_strip_base::fader_strip_base(QWidget* parent, QSize default_size)
    : framed_strip(parent, default_size, QSizePolicy::Expanding) {}

void fader_strip_base::set_level(double db) {
  fader_->set_value(db);
  show_level_text(db);
}

void fader_strip_base::add_fader_area(int tick_length, int tick_gap) {
  fader_area_ = new QWidget(this);
  fader_ = add_strip_fader(fader_area_, tick_length, tick_gap);
  connect(fader_, &fader::value_changed, this, [this](double v) {
    // The text follows the hand at once; the store's echo may be held back while dragging.
    show_level_text(v);
    emit fader_moved(v);
  });
}

}  // namespace vorante
