// A screen of the program. Every screen is a page: a widget with a fixed page ID, made by
// the registry's factory the first time a page host shows it and kept from then on. The
// host and the navigation call the operations below; each does nothing unless the page
// overrides it, so a page only writes what it needs.
#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <span>

namespace vorante {

class link_session;
class navigator;

// What a page may use: the store and the engine of the link, and the navigation (bank,
// page changes, the shared mixer objects).
struct page_env {
  link_session& session;
  navigator& nav;
};

class page : public QWidget {
  Q_OBJECT

 public:
  page(QWidget* parent, int id) : QWidget(parent), id_(id) {}

  int page_id() const { return id_; }

  // The host made the page current (after hiding the previous one) / is about to take it
  // off screen. Named apart from QWidget's show() and hide().
  virtual void page_shown() {}
  virtual void page_hidden() {}
  // Runs after page_shown(), and alone when the page is shown again while current.
  virtual void open(int argument) { (void)argument; }

  // The tabs or views a start with "--show PAGE:ARG:PART" can pick, in order; none unless
  // the page has such parts.
  virtual std::span<const char* const> part_names() const { return {}; }
  // Shows part n of part_names() after open(); false when the page cannot show it now.
  virtual bool show_part(int part) {
    (void)part;
    return false;
  }

  // Events for the page on screen; container pages pass them to their current child.
  virtual void console_key(int key) { (void)key; }
  virtual void console_encoder(int encoder, int delta) { (void)encoder, (void)delta; }
  virtual void on_param(uint16_t id, uint16_t value, bool pushed) { (void)id, (void)value, (void)pushed; }
  virtual void on_name(int logical, const QString& text) { (void)logical, (void)text; }
  virtual void on_scene_name(int scene, const QString& text) { (void)scene, (void)text; }

 private:
  int id_;
};

}  // namespace vorante
