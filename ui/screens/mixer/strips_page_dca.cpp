#include "ui/screens/mixer/strips_page_dca.h"

#include <QHBoxLayout>
#include <QLabel>

#include "app/core/translate.h"
#include "app/params/convert.h"
#include "app/params/names.h"
#include "app/protocol/session.h"
#include "ui/pages/navigator.h"
#include "ui/screens/mixer/rename.h"
#include "ui/widgets/button.h"
#include "ui/widgets/fader.h"
#include "ui/widgets/fader_strip.h"
#include "ui/widgets/ui_text.h"

namespace vorante {

namespace {

constexpr int dca_strip_max_width = 180;

constexpr int row_gap = 3;

unsigned on_id(int dca) { return param_id(kind_dca, dca, code_dca_switch); }
unsigned fader_id(int dca) { return param_id(kind_dca, dca, code_fader); }

}  // namespace

void make_dca_strip(fader_strip* s, int dca) {
  s->add_off();
  s->add_readout();
  s->off_button()->set_text(tr_text("OFF"));
  s->mute_button()->hide();
  s->solo_button()->hide();
  s->fader()->set_knob(fader_knob_normal);
  s->set_namef("DCA%d", dca + 1);
}

strips_dca_row::strips_dca_row(page_env& env, QWidget* parent) : QWidget(parent), env_(env) {
  setObjectName("dca_row");
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(row_gap);
  for (int d = 0; d < dca_count; ++d) {
    auto* s = new fader_strip(this);
    s->setObjectName(QString("dca_strip_%1").arg(d));
    s->add_enter();
    s->enter_button()->set_text(tr_text("EDIT"));
    make_dca_strip(s, d);
    s->setMaximumWidth(dca_strip_max_width);
    row->addWidget(s, 1);
    strips_[static_cast<size_t>(d)] = s;

    connect(s, &fader_strip::enter_clicked, this, [this, d] { env_.nav.open_editor(kind_dca, d); });
    connect(s, &fader_strip::off_clicked, this, [this, d] { toggle_on(d); });
    connect(s, &fader_strip::fader_moved, this, [this, d](double db) {
      env_.session.store.linked_set(fader_id(d), to_raw(value_type::fader_level, db));
    });
    connect(s, &fader_strip::name_long_pressed, this, [this, d, s] { rename_channel(env_.nav, s->name_label(), kind_dca, d); });
  }
  // Strips keep their width; the rest of the row stays empty.
  row->addStretch(0);
}

void strips_dca_row::toggle_on(int dca) {
  param_store& store = env_.session.store;
  store.linked_set(on_id(dca), store.get(on_id(dca)) == 0 ? 1 : 0);
  redraw_on(dca);
}

redraw_outcome strips_dca_row::redraw_param(unsigned id) {
  const param_info p = info_of(id);
  if (p.kind != kind_dca || id == no_param_id) return redraw_outcome::ignored;
  if (id == fader_id(p.index)) return redraw_fader(p.index);
  if (id == on_id(p.index)) {
    redraw_on(p.index);
    return redraw_outcome::shown;
  }
  return redraw_outcome::ignored;
}

void strips_dca_row::redraw_all() {
  for (int d = 0; d < dca_count; ++d) {
    redraw_fader(d);
    redraw_on(d);
  }
}

void strips_dca_row::redraw_on(int dca) {
  const bool on = env_.session.store.get(on_id(dca)) != 0;
  fader_strip* s = strips_[static_cast<size_t>(dca)];
  s->set_off(on);
  s->off_button()->set_text(tr_text(on ? "ON" : "OFF"));
}

redraw_outcome strips_dca_row::redraw_fader(int dca) {
  fader_strip* s = strips_[static_cast<size_t>(dca)];
  if (s->fader()->dragging()) return redraw_outcome::held;
  s->set_level(to_physical(value_type::fader_level, env_.session.store.get(fader_id(dca))));
  return redraw_outcome::shown;
}

void strips_dca_row::show_names() {
  for (int d = 0; d < dca_count; ++d) {
    const std::string_view stored = env_.session.engine.names().channel_name(logical_of(kind_dca, d));
    show_name(logical_of(kind_dca, d), QString::fromUtf8(stored.data(), static_cast<qsizetype>(stored.size())));
  }
}

bool strips_dca_row::show_name(int logical, const QString& text) {
  const auto c = channel_of(logical);
  if (!c || c->kind != kind_dca) return false;
  strips_[static_cast<size_t>(c->index)]->set_name(channel_label_text(kind_dca, c->index, text));
  return true;
}

}  // namespace vorante
