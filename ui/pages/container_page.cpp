#include "ui/pages/container_page.h"

#include <QVBoxLayout>

#include "ui/pages/navigator.h"
#include "ui/pages/page_registry.h"
#include "ui/pages/page_table.h"

namespace vorante {

container_page::container_page(QWidget* parent, int id, page_env& env)
    : page(parent, id), host_(new page_host(this, env.nav.registry(), env, hosted_pages(id))) {}

void container_page::console_key(int key) {
  if (page* p = host_->current()) p->console_key(key);
}

void container_page::console_encoder(int encoder, int delta) {
  if (page* p = host_->current()) p->console_encoder(encoder, delta);
}

void container_page::on_param(uint16_t id, uint16_t value, bool pushed) {
  if (page* p = host_->current()) p->on_param(id, value, pushed);
}

void container_page::on_name(int logical, const QString& text) {
  if (page* p = host_->current()) p->on_name(logical, text);
}

void container_page::on_scene_name(int scene, const QString& text) {
  if (page* p = host_->current()) p->on_scene_name(scene, text);
}

home_page::home_page(QWidget* parent, page_env& env) : container_page(parent, page_home, env) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(host());
  host()->show_page(page_brief_cont, 0);
}

void home_page::open(int argument) {
  if (page* p = host()->current()) p->open(argument);
}

edit_cont_page::edit_cont_page(QWidget* parent, page_env& env) : container_page(parent, page_edit_cont, env) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(host());
}

}  // namespace vorante
