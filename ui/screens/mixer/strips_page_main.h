// The MAIN section of the strips page: "MAIN" (opens the MAIN L editor), "LINK L&R", and
// M, S, a fader and a readout for MAIN L and MAIN R side by side.
#pragma once

#include <QWidget>
#include <array>

#include "ui/pages/page.h"
#include "ui/screens/mixer/strips_page_model.h"

class QLabel;

namespace vorante {

class button;
class fader;
class level_readout;

class strips_main_section : public QWidget {
  Q_OBJECT

 public:
  strips_main_section(page_env& env, QWidget* parent = nullptr);

  // A stored value shown by the section (MAIN L and R faders, mutes and solos, the link bit).
  redraw_outcome redraw_param(unsigned id);
  void redraw_all();

  // side 0 MAIN L, 1 MAIN R
  QLabel* title() const { return title_; }
  button* link_button() const { return link_; }
  button* mute_button(int side) const { return sides_[static_cast<size_t>(side)].mute; }
  button* solo_button(int side) const { return sides_[static_cast<size_t>(side)].solo; }
  vorante::fader* fader(int side) const { return sides_[static_cast<size_t>(side)].level; }
  level_readout* readout(int side) const { return sides_[static_cast<size_t>(side)].readout; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct side_parts {
    button* mute = nullptr;
    button* solo = nullptr;
    vorante::fader* level = nullptr;
    level_readout* readout = nullptr;
  };

  QWidget* build_side(int side);
  void toggle_link();
  void redraw_mute(int side);
  void redraw_solo(int side);
  redraw_outcome redraw_fader(int side);
  void redraw_link();

  page_env& env_;
  QLabel* title_;
  button* link_;
  std::array<side_parts, 2> sides_{};
};

}  // namespace vorante
