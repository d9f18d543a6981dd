// A page that hosts other pages: it passes console keys and encoders and parameter, name
// and scene-name changes on to its current child, so they reach only the page on screen.
#pragma once

#include "ui/pages/page.h"
#include "ui/pages/page_host.h"

namespace vorante {

class container_page : public page {
  Q_OBJECT

 public:
  // Makes the host for the container's pages; the subclass places it in its layout.
  container_page(QWidget* parent, int id, page_env& env);

  page_host* host() const { return host_; }

  void console_key(int key) override;
  void console_encoder(int encoder, int delta) override;
  void on_param(uint16_t id, uint16_t value, bool pushed) override;
  void on_name(int logical, const QString& text) override;
  void on_scene_name(int scene, const QString& text) override;

 private:
  page_host* host_;
};

// `home`: the editors' frame and the navigation bar's frame, one at a time. Its open passes
// the argument on to the frame on screen.
class home_page : public container_page {
  Q_OBJECT

 public:
  home_page(QWidget* parent, page_env& env);

  void open(int argument) override;
};

// `edit_cont`, until the editor frame with its channel navigation takes its place: a plain
// host of the four editors.
class edit_cont_page : public container_page {
  Q_OBJECT

 public:
  edit_cont_page(QWidget* parent, page_env& env);
};

}  // namespace vorante
