// The DCA row of the strips page: on the DCA bank, four fader strips in place of the
// channel strips, each with "EDIT", its ON/OFF switch, a fader and a readout.
#pragma once

#include <QString>
#include <QWidget>
#include <array>

#include "app/params/ids.h"
#include "ui/pages/page.h"
#include "ui/screens/mixer/strips_page_model.h"

namespace vorante {

class fader_strip;

// A DCA's fader strip: its OFF switch, a readout, the plain knob, no MUTE or SOLO, "DCA%d".
void make_dca_strip(fader_strip* s, int dca);

class strips_dca_row : public QWidget {
  Q_OBJECT

 public:
  strips_dca_row(page_env& env, QWidget* parent = nullptr);

  // A stored value shown by the row (DCA faders and on switches).
  redraw_outcome redraw_param(unsigned id);
  void redraw_all();
  // The DCAs' names as the console has them (the default name when empty).
  void show_names();
  // A name heard from the console; false for channels that are not DCAs.
  bool show_name(int logical, const QString& text);

  fader_strip* strip(int dca) const { return strips_[static_cast<size_t>(dca)]; }

 private:
  void toggle_on(int dca);
  void redraw_on(int dca);
  redraw_outcome redraw_fader(int dca);

  page_env& env_;
  std::array<fader_strip*, dca_count> strips_{};
};

}  // namespace vorante
