// The connect dialog: lists the consoles that answer a discovery round on the local
// networks and lets the user connect to one, or go on without a console ("Demo"). Opening
// it forgets the current console, so nothing is sent until one is chosen.
#pragma once

#include <QButtonGroup>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/os/adapters.h"
#include "app/os/discovery.h"
#include "app/os/udp_transport.h"

class QAbstractButton;
class QLabel;
class QVBoxLayout;
class QWidget;

namespace vorante {

class param_store;
class sync_engine;

// What the dialog changes and where it looks.
struct connect_links {
  param_store& store;
  sync_engine& engine;
  console_target& console;
  // The console port discovery asks on and Connect aims at.
  uint16_t console_port = default_console_port;
  // Told when the dialog opens and closes (the supervision skips status reads meanwhile).
  std::function<void(bool open)> open_changed;
  std::function<std::vector<adapter>()> adapters = [] { return local_adapters(); };
  std::function<uint32_t()> clock;  // the steady clock when empty
  // The console's name as it last reported it (the link section shows it); none when empty.
  std::function<std::string()> console_name;
};

class connect_dialog : public QObject {
  Q_OBJECT

 public:
  explicit connect_dialog(connect_links links, QObject* parent = nullptr);
  ~connect_dialog() override;

  // Forgets the console (address, link-alive flag, every pending set); then raises the
  // dialog, making it first when it is closed. The first discovery round starts 100 ms
  // after it is made.
  void open();
  bool is_open() const { return layer_ != nullptr; }

  // Empties the list and runs a discovery round; the list fills when the round is over.
  void refresh();
  bool discovering() const { return round_ != nullptr; }

  // "Connect": the checked console becomes the link's console and everything is read
  // again. Nothing happens while no entry is checked.
  void connect_checked();
  // "Demo": closes; the program runs on its local values.
  void demo();

  // The dialog's parts, for the window and for tests.
  QWidget* layer() const { return layer_.data(); }
  const std::vector<device_entry>& entries() const { return entries_; }
  QAbstractButton* entry_button(int n) const;
  QAbstractButton* refresh_button() const { return refresh_button_; }
  QAbstractButton* connect_button() const { return connect_button_; }
  QAbstractButton* demo_button() const { return demo_button_; }
  // Where the list says what discovery is doing: "Searching..." while a round runs (or
  // is about to), "No console found" after a round that found none, hidden otherwise.
  QLabel* status_label() const { return status_; }
  // The link section below the commands: what the link to the console last chosen did,
  // and "Resync", which aims at that console again and reads everything.
  QWidget* link_section() const { return link_section_; }
  QAbstractButton* resync_button() const { return resync_button_; }
  // Every text of the section, one line each, as shown.
  QString link_texts() const;
  // Aims at the console the link had before the dialog opened and runs a full read.
  void resync();

 signals:
  void list_filled();

 private:
  void build();
  void close();
  void step_round();
  void fill_list();
  void show_status(const char* english);
  void build_link_section(QWidget* panel, QVBoxLayout* column);
  void update_link_section();
  uint32_t now() const;

  connect_links links_;
  QPointer<QWidget> layer_;
  QWidget* list_ = nullptr;
  QVBoxLayout* list_column_ = nullptr;
  QLabel* status_ = nullptr;
  QAbstractButton* refresh_button_ = nullptr;
  QAbstractButton* connect_button_ = nullptr;
  QAbstractButton* demo_button_ = nullptr;
  QWidget* link_section_ = nullptr;
  QAbstractButton* resync_button_ = nullptr;
  std::vector<QLabel*> link_values_;
  QLabel* given_up_list_ = nullptr;
  QTimer link_timer_;
  // The console the link had when the dialog opened (0: none).
  uint32_t last_address_ = 0;
  uint16_t last_port_ = 0;
  std::unique_ptr<QButtonGroup> choices_;
  std::unique_ptr<discovery_round> round_;
  std::vector<device_entry> entries_;
  QTimer step_timer_;
};

}  // namespace vorante
