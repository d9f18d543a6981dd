// `signal`: the console's test signal generator (on/off, noise or sine, frequency and
// level on one slider, the outputs it feeds) and `factory_mode`, the two buttons that
// open or close every volume at once.
#pragma once

#include <QButtonGroup>
#include <QTimer>
#include <array>

#include "app/settings/copy_groups.h"
#include "ui/pages/page.h"

class QAbstractButton;

namespace vorante {

class fader;
class face_button;

class signal_page : public page {
  Q_OBJECT

 public:
  signal_page(QWidget* parent, page_env& env);

  void page_shown() override;
  void console_encoder(int encoder, int delta) override;
  void on_param(uint16_t id, uint16_t value, bool pushed) override;

  QAbstractButton* on_button() const;
  QAbstractButton* type_button(int type) const { return types_.button(type); }
  // 0 the frequency, 1 the level.
  QAbstractButton* slider_choice(int n) const { return choices_.button(n); }
  QAbstractButton* output_button(int n) const { return outputs_[static_cast<std::size_t>(n)]; }
  fader* slider() const { return slider_; }
  uint16_t bound() const { return binding_.bound(); }
  void refresh();

 private:
  void bind(uint16_t id);
  void slider_moved(double position);
  void show_slider();

  page_env& env_;
  face_button* on_ = nullptr;
  QButtonGroup types_;
  QButtonGroup choices_;
  std::array<QAbstractButton*, generator_output_count> outputs_{};
  fader* slider_ = nullptr;
  generator_binding binding_;
  bool writing_ = false;
  QTimer refresh_timer_;
};

page* create_signal_page(QWidget* parent, page_env& env, int id);
page* create_factory_mode_page(QWidget* parent, page_env& env, int id);

}  // namespace vorante
