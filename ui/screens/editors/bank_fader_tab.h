// The FADER tab of the channel editors: the faders of the edited channel's fader bank,
// each with mute and solo, following their channels and writing their levels.
#pragma once

#include <QWidget>
#include <array>

#include "app/params/ids.h"

namespace vorante {

class fader_strip;
class name_tables;
class param_store;

constexpr int bank_fader_strips = 8;

class bank_fader_tab : public QWidget {
  Q_OBJECT

 public:
  bank_fader_tab(param_store& store, const name_tables& names, QWidget* parent = nullptr);

  // Fills the strips with the fitted channels of bank b (-1: none); a spacer keeps each
  // strip an eighth of the width.
  void fill(int bank);
  // The bank of the channel, -1 when it is in none.
  static int bank_of(int kind, int index);
  // A fader, mute or solo of a shown channel moves its strip; the echo of the strip's own
  // fader write is ignored.
  void on_param(unsigned id, uint16_t value);
  void show_names();

  fader_strip* strip(int n) const { return strips_[static_cast<std::size_t>(n)]; }
  int shown() const { return shown_; }

 private:
  void show_param(int n, unsigned id, uint16_t value);

  param_store& store_;
  const name_tables& names_;
  std::array<fader_strip*, bank_fader_strips> strips_{};
  std::array<channel_ref, bank_fader_strips> channels_{};
  std::array<int, logical_count> slot_{};
  QWidget* spacer_ = nullptr;
  int shown_ = 0;
  bool echo_ = false;
  unsigned echo_id_ = 0;
};

}  // namespace vorante
