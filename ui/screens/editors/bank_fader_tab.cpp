#include "ui/screens/editors/bank_fader_tab.h"

#include <QHBoxLayout>

#include "app/core/translate.h"
#include "app/params/banks.h"
#include "app/params/convert.h"
#include "app/params/editor_nav.h"
#include "app/params/names.h"
#include "app/params/solo.h"
#include "app/protocol/name_tables.h"
#include "ui/screens/editors/editor_parts.h"
#include "ui/widgets/button.h"
#include "ui/widgets/fader_strip.h"
#include "ui/widgets/ui_text.h"

namespace vorante {

namespace {
constexpr int gap = 4;
}  // namespace

bank_fader_tab::bank_fader_tab(param_store& store, const name_tables& names, QWidget* parent)
    : QWidget(parent), store_(store), names_(names) {
  slot_.fill(-1);
  QHBoxLayout* row = editor_parts::row_of(this, gap);
  for (int n = 0; n < bank_fader_strips; ++n) {
    auto* s = new fader_strip(this);
    s->setObjectName(QString("bank_strip_%1").arg(n));
    s->mute_button()->set_text(tr_text("MUTE"));
    s->solo_button()->set_text(tr_text("SOLO"));
    s->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
    strips_[static_cast<std::size_t>(n)] = s;
    row->addWidget(s, 1);
    connect(s, &fader_strip::fader_moved, this, [this, n](double db) {
      const channel_ref c = channels_[static_cast<std::size_t>(n)];
      const unsigned id = param_id(c.kind, c.index, code_fader);
      echo_ = true;
      echo_id_ = id;
      store_.linked_set(id, to_raw(value_type::fader_level, db));
      echo_ = false;
    });
    connect(s, &fader_strip::mute_clicked, this, [this, n] {
      const channel_ref c = channels_[static_cast<std::size_t>(n)];
      const unsigned id = param_id(c.kind, c.index, code_on);
      store_.linked_set(id, store_.get(id) == 0 ? 1 : 0);
    });
    connect(s, &fader_strip::solo_clicked, this, [this, n](bool on) {
      const channel_ref c = channels_[static_cast<std::size_t>(n)];
      solo_write(store_, c.kind, c.index, on);
    });
  }
  spacer_ = new QWidget(this);
  spacer_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  row->addWidget(spacer_, 0);
}

int bank_fader_tab::bank_of(int kind, int index) {
  for (int b = 0; b < bank_count; ++b)
    if (bank_slot_of(b, kind, index) >= 0) return b;
  return -1;
}

void bank_fader_tab::show_param(int n, unsigned id, uint16_t value) {
  const channel_ref c = channels_[static_cast<std::size_t>(n)];
  fader_strip* s = strips_[static_cast<std::size_t>(n)];
  if (id == param_id(c.kind, c.index, code_fader)) {
    if (!(echo_ && echo_id_ == id)) s->set_level(to_physical(value_type::fader_level, value));
  } else if (id == param_id(c.kind, c.index, code_on)) {
    s->set_mute(value == 0);
  } else if (id == solo_id(c.kind, c.index)) {
    s->set_solo(is_solo_active(value));
  }
}

void bank_fader_tab::fill(int bank) {
  slot_.fill(-1);
  shown_ = 0;
  if (bank >= 0 && bank < bank_count) {
    const fader_bank& fb = fader_banks[static_cast<std::size_t>(bank)];
    for (int slot = 0; slot < fb.slot_count && shown_ < bank_fader_strips; ++slot) {
      const channel_ref c = fb.channels[static_cast<std::size_t>(slot)];
      const int logical = logical_of(c.kind, c.index);
      if (!logical_fitted(logical)) continue;
      channels_[static_cast<std::size_t>(shown_)] = c;
      slot_[static_cast<std::size_t>(logical)] = shown_;
      strips_[static_cast<std::size_t>(shown_)]->show();
      for (unsigned id : {unsigned(param_id(c.kind, c.index, code_fader)), unsigned(param_id(c.kind, c.index, code_on)),
                          unsigned(solo_id(c.kind, c.index))})
        show_param(shown_, id, store_.get(id));
      ++shown_;
    }
  }
  for (int n = shown_; n < bank_fader_strips; ++n) strips_[static_cast<std::size_t>(n)]->hide();
  show_names();
  static_cast<QHBoxLayout*>(layout())->setStretchFactor(spacer_, bank_fader_strips - shown_);
  spacer_->setVisible(shown_ < bank_fader_strips);
}

void bank_fader_tab::on_param(unsigned id, uint16_t value) {
  const param_info p = info_of(id);
  if (p.kind < kind_input || p.kind > kind_dca) return;
  const int logical = logical_of(p.kind, p.index);
  if (logical < 0 || logical >= logical_count) return;
  if (const int n = slot_[static_cast<std::size_t>(logical)]; n >= 0) show_param(n, id, value);
}

void bank_fader_tab::show_names() {
  for (int n = 0; n < shown_; ++n) {
    const channel_ref c = channels_[static_cast<std::size_t>(n)];
    strips_[static_cast<std::size_t>(n)]->set_name(
        QString::fromStdString(channel_display_name(c.kind, c.index, names_.channel_name(logical_of(c.kind, c.index)))));
  }
}

}  // namespace vorante
