#include "ui/screens/media/player.h"

#include <QComboBox>
#include <cmath>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "app/core/log.h"
#include "app/core/translate.h"
#include "app/protocol/session.h"
#include "ui/foundation/colour.h"
#include "ui/foundation/fonts.h"
#include "ui/foundation/assign.h"
#include "ui/pages/navigator.h"
#include "ui/pages/page_table.h"
#include "ui/widgets/widget_colours.h"
#include "ui/screens/media/player_parts.h"
#include "ui/screens/mixer/surface_keys.h"
#include "ui/widgets/disc.h"
#include "ui/widgets/text_list.h"
#include "ui/widgets/toast.h"
#include "ui/widgets/ui_text.h"

namespace vorante {

namespace {

constexpr rgb565 page_background = 0x3186;
constexpr rgb565 header_background = 0x2ACF;
constexpr rgb565 list_background = 0x2104;
constexpr rgb565 pressed_background = 0x0396;
constexpr rgb565 pressed_tint = 0x2DBE;
constexpr rgb565 format_background = 0x4208;
constexpr rgb565 transport_background = 0x0188;
constexpr rgb565 connected_green = 0x07E0;
constexpr int header_height = 58;
constexpr int refresh_width = 54;
constexpr int spare_row_height = 56;
constexpr int menu_width = 200;

constexpr int key_previous = 0;
constexpr int key_next = 1;
constexpr int key_play = 2;
constexpr int key_recorder = 4;

constexpr const char* icon_play = "res/media/png_icon_play.png";
constexpr const char* icon_pause = "res/media/png_icon_pause.png";
constexpr const char* icon_repeat_all = "res/media/png_icon_repeat_all.png";
constexpr const char* icon_repeat_one = "res/media/png_icon_repeat_one.png";

constexpr const char* format_names[] = {"", "MP3", "WAV", "WMA", "APE", "FLAC"};

QString css_colour(rgb565 c) { return to_qcolor(c).name(); }

QLabel* white_label(QWidget* parent, const QString& text, const QFont& font) {
  auto* l = new QLabel(text, parent);
  l->setFont(font);
  l->setStyleSheet("color: white; background: transparent;");
  return l;
}

QFrame* separator(QWidget* parent, int height) {
  auto* line = new QFrame(parent);
  line->setFixedSize(2, height);
  line->setStyleSheet("background: #9E9E9E;");
  return line;
}

QString two_digits(int a, int b) { return QString::asprintf("%02d:%02d", a, b); }

int source_index_of(int type) {
  for (std::size_t i = 0; i < media_sources.size(); ++i)
    if (media_sources[i].type == type) return static_cast<int>(i);
  return -1;
}

}  // namespace

const char* media_source_name(int type) {
  switch (type) {
    case source_player: return "Player";
    case source_recorder: return "Recorder";
    case source_bluetooth: return "Bluetooth";
    case source_usb_audio: return "USB Audio";
    case source_spdif: return "Coax";
    case source_optical: return "Optical";
    default: return "undef";
  }
}

player_page::player_page(QWidget* parent, page_env& env)
    : page(parent, page_player), env_(env), media_(env.session.media) {
  build();
  register_events();

  claim_timer_.setInterval(media_claim_ms);
  connect(&claim_timer_, &QTimer::timeout, this, &player_page::claim_tick);
  browse_timer_.setSingleShot(true);
  browse_timer_.setInterval(media_browse_hold_ms);
  connect(&browse_timer_, &QTimer::timeout, this, [this] {
    browsing_ = false;
    select_playing_file();
  });
  play_timer_.setSingleShot(true);
  play_timer_.setInterval(media_play_debounce_ms);
  connect(&play_timer_, &QTimer::timeout, this, [this] { media_.play_file(pending_file_); });
  refresh_timer_.setInterval(media_refresh_spin_ms);
  connect(&refresh_timer_, &QTimer::timeout, this, [this] {
    refresh_angle_ = std::fmod(refresh_angle_ + media_refresh_spin_step, 360.0);
    refresh_->set_angle(refresh_angle_);
  });

  udisk_present_ = media_.udisk_present();
  on_transport(media_.transport_state());
  on_bluetooth(media_.bluetooth_connected(), media_.bluetooth_playing());
  const playlist saved = playlist_read();
  fill_list_from(saved, spare_, spare_data_);
  playlist_count_ = playlist_count(saved);
}

player_page::~player_page() = default;

// --- building -----------------------------------------------------------------------------

void player_page::build() {
  fill_background(this, to_qcolor(page_background));

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(8, 8, 8, 8);
  column->setSpacing(8);

  menu_ = new QComboBox(this);
  menu_->setFixedWidth(menu_width);
  menu_->setFont(font_20());
  menu_->setStyleSheet(QString("QComboBox { background: %1; color: white; border: none; border-radius: 4px; padding: 4px 12px; }"
                               "QComboBox QAbstractItemView { background: %1; color: white; selection-background-color: %2; }")
                           .arg(css_colour(header_background), css_colour(pressed_background)));
  for (const media_source& s : media_sources) menu_->addItem(tr_text(s.name));
  connect(menu_, &QComboBox::activated, this, [this](int index) {
    if (index < 0 || index >= static_cast<int>(media_sources.size())) return;
    const int type = media_sources[static_cast<std::size_t>(index)].type;
    send_source(type);
    show_source(index);
    user_source_time_ = env_.nav.now();
    user_source_changed_ = true;
  });
  column->addWidget(menu_, 0, Qt::AlignHCenter);

  views_ = new QStackedWidget(this);
  view_widgets_[view_player] = build_player_view();
  view_widgets_[view_recorder] = build_recorder_view();
  view_widgets_[view_bluetooth] = build_bluetooth_view();
  view_widgets_[view_optical] = new picture(this, "res/media/img_optical.png");
  view_widgets_[view_coax] = new picture(this, "res/media/img_coaxial.png");
  view_widgets_[view_usb_audio] = new picture(this, "");
  for (QWidget* v : view_widgets_) views_->addWidget(v);
  column->addWidget(views_, 1);

  in_use_ = new QWidget(this);
  fill_background(in_use_, to_qcolor(page_background));
  auto* in_use_layout = new QVBoxLayout(in_use_);
  in_use_label_ = white_label(in_use_, {}, font_24());
  in_use_label_->setAlignment(Qt::AlignCenter);
  in_use_layout->addWidget(in_use_label_);
  in_use_->hide();

  views_->setCurrentIndex(view_player);
  retranslate();
}

QWidget* player_page::build_player_view() {
  auto* view = new QWidget(this);
  auto* row = new QHBoxLayout(view);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(8);

  // Left: the list buttons.
  auto* left = new QWidget(view);
  auto* left_col = new QVBoxLayout(left);
  left_col->setContentsMargins(0, 0, 0, 0);
  left_col->setSpacing(4);
  const auto list_button = [&](const char* icon, const char* name) {
    auto* b = new icon_button(left, icon);
    b->setObjectName(name);
    b->set_pressed_fill(pressed_background);
    b->set_label_font(font_16());
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    left_col->addWidget(b, 1);
    return b;
  };
  back_ = list_button("res/media/png_icon_leave_folder.png", "Back");
  page_up_ = list_button("res/media/png_icon_pageup.png", "Pg Up");
  page_down_ = list_button("res/media/png_icon_pagedown.png", "Pg Dn");
  repeat_ = list_button(icon_repeat_all, "repeat");
  row->addWidget(left, 12);

  // Middle: header, then the lists.
  auto* middle = new QWidget(view);
  auto* mid_col = new QVBoxLayout(middle);
  mid_col->setContentsMargins(0, 0, 0, 0);
  mid_col->setSpacing(6);
  auto* header = new QFrame(middle);
  header->setFixedHeight(header_height);
  header->setStyleSheet(QString("QFrame#header { background: %1; border-radius: 6px; }").arg(css_colour(header_background)));
  header->setObjectName("header");
  auto* head_row = new QHBoxLayout(header);
  head_row->setContentsMargins(12, 0, 0, 0);
  path_ = white_label(header, "/", font_20());
  head_row->addWidget(path_, 1);
  scan_box_ = new QWidget(header);
  auto* scan_row = new QHBoxLayout(scan_box_);
  scan_row->setContentsMargins(0, 0, 0, 0);
  scanned_ = white_label(scan_box_, "0", font_20());
  scan_console_count_ = white_label(scan_box_, "0", font_20());
  scan_row->addWidget(scanned_);
  scan_row->addWidget(separator(scan_box_, 32));
  scan_row->addWidget(scan_console_count_);
  scan_box_->hide();
  head_row->addWidget(scan_box_);
  refresh_ = new icon_button(header, "res/media/png_icon_refresh.png");
  refresh_->setObjectName("refresh");
  refresh_->set_pressed_fill(pressed_background);
  refresh_->setFixedSize(refresh_width, header_height);
  head_row->addWidget(refresh_);
  mid_col->addWidget(header);

  auto* area = new QWidget(middle);
  fill_background(area, to_qcolor(list_background));
  auto* area_col = new QVBoxLayout(area);
  area_col->setContentsMargins(0, 0, 0, 0);
  const auto make_list = [&](const char* name) {
    auto* l = new text_list(area);
    l->setObjectName(name);
    l->setFont(font_20());
    l->set_colours(to_qcolor(list_background), Qt::white);
    l->setContentsMargins(4, 4, 4, 4);
    l->set_row_height(spare_row_height);
    area_col->addWidget(l);
    return l;
  };
  folders_ = make_list("folders");
  spare_ = make_list("folders");
  files_ = make_list("files");
  spare_->hide();
  files_->hide();
  mid_col->addWidget(area, 1);
  row->addWidget(middle, 51);

  // Right: the turntable, the song and its time, the transport.
  auto* right = new QWidget(view);
  fill_background(right, to_qcolor(list_background));
  auto* right_col = new QVBoxLayout(right);
  right_col->setContentsMargins(8, 8, 8, 0);
  right_col->setSpacing(4);
  disc_ = new disc(right);
  // The tone arm swings out past the record: room on both sides keeps the record centred.
  disc_->setFixedSize(disc_body_size + QSize(48 + 2 * 48, 16));
  right_col->addWidget(disc_, 0, Qt::AlignHCenter);
  auto* numbers = new QHBoxLayout;
  song_ = white_label(right, "0", font_24());
  song_count_ = white_label(right, "0", font_24());
  numbers->addStretch();
  numbers->addWidget(song_);
  numbers->addWidget(separator(right, 44));
  numbers->addWidget(song_count_);
  numbers->addStretch();
  right_col->addLayout(numbers);
  format_ = new QLabel("MP3", right);
  format_->setFont(font_16());
  format_->setAlignment(Qt::AlignCenter);
  format_->setFixedHeight(24);
  format_->setMinimumWidth(64);
  format_->setStyleSheet(QString("color: white; background: %1; border-radius: 12px; padding: 0 10px;").arg(css_colour(format_background)));
  right_col->addWidget(format_, 0, Qt::AlignHCenter);
  auto* times = new QHBoxLayout;
  position_ = white_label(right, "00:00", font_16());
  length_ = white_label(right, "00:00", font_16());
  length_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  times->addWidget(position_, 1);
  times->addWidget(length_, 1);
  right_col->addLayout(times);
  progress_ = new thin_bar(right);
  progress_->setFixedHeight(8);
  right_col->addWidget(progress_);
  right_col->addStretch(1);
  auto* transport = new QWidget(right);
  fill_background(transport, to_qcolor(transport_background));
  auto* trow = new QHBoxLayout(transport);
  const auto transport_button = [&](const char* icon, const char* name) {
    auto* b = new icon_button(transport, icon);
    b->setObjectName(name);
    b->set_pressed_tint(pressed_tint);
    trow->addWidget(b, 1);
    return b;
  };
  prev_ = transport_button("res/media/png_icon_prev_song.png", "previous");
  play_ = transport_button(icon_play, "play");
  next_ = transport_button("res/media/png_icon_next_song.png", "next");
  right_col->addWidget(transport, 30);
  row->addWidget(right, 37);

  // What the buttons and lists do; nothing while another client holds the player.
  const auto when_usable = [this](auto fn) {
    return [this, fn] {
      if (usable_) fn();
    };
  };
  connect(refresh_, &QAbstractButton::clicked, this, when_usable([this] {
            if (media_.scanning()) return;
            clear_display();
            clear_list(spare_, spare_data_);
            playlist_count_ = 0;
          }));
  connect(back_, &QAbstractButton::clicked, this, when_usable([this] {
            start_browsing();
            files_->hide();
            folders_->show();
            path_->setText("/");
            folders_->show_row(folders_->selected());
          }));
  connect(page_up_, &QAbstractButton::clicked, this, when_usable([this] {
            start_browsing();
            (files_->isVisible() ? files_ : folders_)->page_up();
          }));
  connect(page_down_, &QAbstractButton::clicked, this, when_usable([this] {
            start_browsing();
            (files_->isVisible() ? files_ : folders_)->page_down();
          }));
  connect(repeat_, &QAbstractButton::clicked, this, when_usable([this] { media_.repeat_mode(); }));
  connect(prev_, &QAbstractButton::clicked, this, when_usable([this] { media_.previous(); }));
  connect(next_, &QAbstractButton::clicked, this, when_usable([this] { media_.next(); }));
  connect(play_, &QAbstractButton::clicked, this, when_usable([this] {
            if (playing_)
              media_.pause();
            else
              media_.play();
          }));
  for (text_list* l : {folders_, spare_, files_})
    connect(l, &text_list::touched, this, [this] { start_browsing(); });
  for (text_list* l : {folders_, spare_})
    connect(l, &text_list::row_clicked, this, [this](int) {
      if (usable_) fill_files();
    });
  connect(files_, &text_list::row_clicked, this, [this](int row) {
    if (usable_) file_clicked(row);
  });
  return view;
}

QWidget* player_page::build_recorder_view() {
  auto* view = new QWidget(this);
  auto* col = new QVBoxLayout(view);
  col->setSpacing(16);
  col->addStretch();
  ready_ = white_label(view, {}, font_32());
  record_time_ = white_label(view, "00:00", font_32());
  auto* button = new QPushButton(view);
  button->setObjectName("record");
  button->setFont(font_24());
  button->setFixedSize(160, 64);
  button->setStyleSheet(QString("QPushButton { color: white; background: %1; border: none; border-radius: 8px; }"
                                "QPushButton:pressed { background: %2; }")
                            .arg(css_colour(header_background), css_colour(pressed_background)));
  record_ = button;
  for (QWidget* w : std::initializer_list<QWidget*>{ready_, record_time_, button}) col->addWidget(w, 0, Qt::AlignHCenter);
  col->addStretch();
  connect(button, &QPushButton::clicked, this, [this] {
    if (usable_) media_.record();
  });
  return view;
}

QWidget* player_page::build_bluetooth_view() {
  auto* view = new QWidget(this);
  auto* col = new QVBoxLayout(view);
  col->addStretch();
  bt_state_ = white_label(view, {}, font_24());
  col->addWidget(bt_state_, 0, Qt::AlignHCenter);
  auto* image = new picture(view, "res/media/img_bluetooth.png");
  image->setMinimumSize(image->sizeHint());
  col->addWidget(image, 0, Qt::AlignHCenter);
  auto* buttons = new QHBoxLayout;
  buttons->setSpacing(24);
  buttons->addStretch();
  const auto bt_button = [&](const char* icon, const char* name) {
    auto* b = new icon_button(view, icon);
    b->setObjectName(name);
    b->set_pressed_tint(pressed_tint);
    b->setFixedSize(b->sizeHint() + QSize(16, 16));
    buttons->addWidget(b);
    return b;
  };
  auto* prev = bt_button("res/media/png_icon_prev_song.png", "bt previous");
  bt_play_ = bt_button(icon_play, "bt play");
  auto* next = bt_button("res/media/png_icon_next_song.png", "bt next");
  buttons->addStretch();
  col->addLayout(buttons);
  col->addStretch();
  connect(prev, &QAbstractButton::clicked, this, [this] {
    if (usable_) media_.previous();
  });
  connect(next, &QAbstractButton::clicked, this, [this] {
    if (usable_) media_.next();
  });
  connect(bt_play_, &QAbstractButton::clicked, this, [this] {
    if (usable_) media_.bluetooth_play_pause();
  });
  return view;
}

void player_page::retranslate() {
  back_->setText(tr_text("Back"));
  page_up_->setText(tr_text("Pg Up"));
  page_down_->setText(tr_text("Pg Dn"));
  ready_->setText(tr_text("Ready"));
  record_->setText(tr_text(recording_ ? "stop" : "start"));
  in_use_label_->setText(tr_text("The multimedia player is currently being used by another client."));
  for (int i = 0; i < menu_->count(); ++i)
    menu_->setItemText(i, tr_text(media_source_name(media_sources[static_cast<std::size_t>(i)].type)));
}

icon_button* player_page::button_by_name(const QString& name) const { return findChild<icon_button*>(name); }

// --- the media events -------------------------------------------------------------------

void player_page::register_events() {
  // The session may outlive the page: events for a page that is gone are dropped.
  QPointer<player_page> self(this);
  media_events e;
  e.udisk_inserted = [self] { if (self) self->on_udisk_inserted(); };
  e.udisk_removed = [self] { if (self) self->on_udisk_removed(); };
  e.play_device_changed = [self](int d) { if (self) self->on_play_device(d); };
  e.transport_changed = [self](int s) { if (self) self->on_transport(s); };
  e.bluetooth_changed = [self](bool c, bool p) { if (self) self->on_bluetooth(c, p); };
  e.playback = [self](const playback_status& s) { if (self) self->on_playback(s); };
  e.time = [self](const media_time_report& t) { if (self) self->on_time(t); };
  e.status_report = [self](std::span<const uint8_t>) { if (self) self->on_status(); };
  e.file_found = [self](const folder_node& f, std::string_view name, uint32_t id, uint16_t, bool first) {
    if (self) self->on_folder_file(f, name, id, first);
  };
  e.scan_finished = [self](int count, int code) { if (self) self->on_scan_finished(count, code); };
  media_.set_events(std::move(e));
}

void player_page::on_folder_file(const folder_node& f, std::string_view name, uint32_t id, bool first) {
  {
    if (first) {
      auto folder = std::make_unique<playlist_folder>();
      folder->name = f.name;
      folders_->insert(-1, QString::fromStdString(f.name), folder.get());
      folders_data_.folders.push_back(std::move(folder));
      folder_file_count_ = 0;
    }
    on_file_found(f, name, id);
  }
}

void install_media_keys(navigator& nav) {
  // Until the player page is made and takes the media events over, the status reports
  // still keep the media keys' lights.
  media_events lights_only;
  lights_only.status_report = [&nav](std::span<const uint8_t>) {
    nav.session().engine.surface().media_lights(nav.now(), nav.surface_state());
  };
  nav.session().media.set_events(std::move(lights_only));
  surface_keys().media = [&nav](int key) {
    media_client& media = nav.session().media;
    switch (key) {
      case key_previous: media.previous(); break;
      case key_next: media.next(); break;
      case key_play:
        if (media.play_device() == play_device_bluetooth)
          media.bluetooth_play_pause();
        else if (media.play_device() == play_device_udisk)
          media.transport_state() == transport_playing_state ? media.pause() : media.play();
        break;
      case key_recorder:
        if (media.usb_port_state() == usb_port_udisk) {
          nav.show_player(source_recorder);
          nav.refresh_lights();
        }
        break;
      default: break;
    }
  };
}

void player_page::on_udisk_inserted() {
  log_print("==== usb disk plug in ====\n");
  rescan_blocked_ = false;
  udisk_present_ = true;
}

void player_page::on_udisk_removed() {
  log_print("==== usb disk pull out ====\n");
  rescan_blocked_ = true;
  udisk_present_ = false;
  if (media_.scanning()) media_.scan_stop();
  if (playlist_count_ > 0 && folders_->count() > 0) {
    swap_lists();
    spare_->hide();
  }
  clear_display();
}

void player_page::on_play_device(int device) {
  if (device != play_device_udisk && media_.scanning()) media_.scan_stop();
  log_print("play device: %s\n", play_device_name(device));
}

void player_page::on_transport(int state) {
  if (state == transport_recording_state) {
    recording_ = true;
    record_->setText(tr_text("stop"));
  } else if (state == transport_idle_state && recording_) {
    recording_ = false;
    record_->setText(tr_text("start"));
    record_time_->setText("00:00");
  }
}

void player_page::on_bluetooth(bool connected, bool playing) {
  bt_play_->set_icon(playing ? icon_pause : icon_play);
  bt_state_->setText(tr_text(connected ? "Connected" : "Disconnected"));
  bt_state_->setStyleSheet(QString("color: %1; background: transparent;").arg(connected ? css_colour(connected_green) : "white"));
}

void player_page::set_playing(bool playing) {
  if (!assign_changed(playing_, playing)) return;
  play_->set_icon(playing ? icon_pause : icon_play);
  if (playing)
    disc_->play();
  else
    disc_->stop();
}

void player_page::on_status() {
  set_media_lights();
  set_playing(media_.transport_state() == transport_playing_state);
  follow_console();
}

void player_page::set_media_lights() {
  env_.session.engine.surface().media_lights(env_.nav.now(), env_.nav.surface_state());
}

void player_page::on_playback(const playback_status& s) {
  if (media_.play_device() == play_device_recorder) {
    if (recording_) record_time_->setText(two_digits(s.minutes, s.seconds));
    return;
  }
  console_songs_ = s.song_count;
  const int transport = media_.transport_state();
  if (transport == 2 || transport == 3) {
    if (s.current_song != current_song_) {
      current_song_ = s.current_song;
      log_print("song change: %d\n", current_song_);
    }
    song_->setText(QString::number(s.current_song));
    song_count_->setText(QString::number(s.song_count));
    scan_console_count_->setText(QString::number(s.song_count));
  }
  minutes_ = s.minutes;
  seconds_ = s.seconds;
  position_->setText(two_digits(s.minutes, s.seconds));
  if (s.format != last_format_) {
    last_format_ = s.format;
    format_->setText(s.format >= 1 && s.format <= 5 ? format_names[s.format] : "");
  }
  set_repeat_icon(s.repeat_one);

  if (!usable_ || rescan_blocked_ || s.song_count <= 0 || media_.scanning()) return;
  if (static_cast<std::size_t>(s.song_count) != playlist_count_) {
    start_rescan();
  } else if (spare_->count() > 0) {
    files_->clear();
    clear_list(folders_, folders_data_);
    swap_lists();
    spare_->hide();
    folders_->show();
    path_->setText("/");
    start_browsing();
    playing_id_known_ = false;
    reselect_ = true;
    media_.take_playlist();
  }
}

void player_page::set_repeat_icon(bool one) {
  if (!assign_changed(repeat_one_, static_cast<int>(one))) return;
  repeat_->set_icon(one ? icon_repeat_one : icon_repeat_all);
}

void player_page::start_rescan() {
  rescan_blocked_ = true;
  clear_display();
  clear_list(spare_, spare_data_);
  media_.scan_start();
  scan_box_->show();
  refresh_timer_.start();
}

void player_page::on_time(const media_time_report& t) {
  if (reselect_ || !playing_id_known_ || t.file_id != playing_id_) {
    reselect_ = false;
    playing_id_ = t.file_id;
    playing_id_known_ = true;
    select_playing_file();
  }
  if (t.position_seconds == 0 && last_time_seconds_ == 59 && minutes_ == last_time_minutes_) ++minutes_;
  last_time_seconds_ = t.position_seconds;
  last_time_minutes_ = minutes_;
  length_m_ = t.length_minutes;
  length_s_ = t.length_seconds;
  const int length = length_s_ + 60 * length_m_;
  if (length != 0) progress_->set_value((t.position_seconds + 60 * minutes_) * 100 / length);
  length_->setText(two_digits(length_m_, length_s_));
}

void player_page::on_file_found(const folder_node&, std::string_view name, uint32_t id) {
  if (folders_data_.folders.empty()) return;
  playlist_folder& folder = *folders_data_.folders.back();
  folder.files.push_back({id, cut_name(name)});
  ++folder_file_count_;
  const int row = folders_->count() - 1;
  folders_->set_suffix(row, QString::asprintf("(%d)", folder_file_count_));
  const bool is_playing = playing_id_known_ && id == playing_id_;
  if (row == folders_->selected()) {
    const int file_row = files_->insert(-1, QString::asprintf("%d.", folder_file_count_) + QString::fromStdString(folder.files.back().name));
    // The folder's files keep growing while it is read: rows are found by their index.
    if (is_playing) {
      files_->select(file_row);
      if (!browsing_) files_->show_row(file_row);
    }
  } else if (is_playing && !browsing_) {
    folders_->select(row);
    fill_files();
  }
  scanned_->setText(QString::number(media_.song_count()));
  if (console_songs_ >= 0 && console_songs_ < media_.song_count()) media_.scan_stop();
}

void player_page::on_scan_finished(int count, int code) {
  log_print("scan finished! count: %d    err: %d\n", count, code);
  playlist_count_ = static_cast<std::size_t>(std::max(0, count));
  scan_box_->hide();
  stop_refresh_spin();
  save_playlist();
  if (media_.udisk_present()) rescan_blocked_ = false;
}

void player_page::stop_refresh_spin() {
  refresh_timer_.stop();
  refresh_angle_ = 0;
  refresh_->set_angle(0);
}

void player_page::save_playlist() {
  playlist list;
  for (const auto& f : folders_data_.folders) list.push_back(*f);
  playlist_write(list);
}

// --- lists --------------------------------------------------------------------------------

void player_page::clear_list(text_list* list, folder_store& store) {
  list->clear();
  store.folders.clear();
}

void player_page::fill_list_from(const playlist& list, text_list* target, folder_store& store) {
  for (const playlist_folder& f : list) {
    auto folder = std::make_unique<playlist_folder>(f);
    const int row = target->insert(-1, QString::fromStdString(folder->name), folder.get());
    target->set_suffix(row, QString::asprintf("(%d)", static_cast<int>(folder->files.size())));
    store.folders.push_back(std::move(folder));
  }
}

void player_page::swap_lists() {
  std::swap(folders_, spare_);
  std::swap(folders_data_, spare_data_);
  spare_->hide();
}

void player_page::clear_display() {
  files_->clear();
  clear_list(folders_, folders_data_);
  files_->hide();
  folders_->show();
  path_->setText("/");
  for (QLabel* l : {song_, song_count_, scanned_, scan_console_count_}) l->setText("0");
  position_->setText("00:00");
  length_->setText("00:00");
  progress_->set_value(0);
}

void player_page::start_browsing() {
  browsing_ = true;
  browse_timer_.start();
}

const playlist_folder* player_page::folder_at(int row) const {
  const text_list::row* r = folders_->row_at(row);
  return r ? static_cast<const playlist_folder*>(r->user) : nullptr;
}

int player_page::selected_folder() const { return folders_->selected(); }

void player_page::select_playing_file() {
  if (!playing_id_known_) return;
  for (int i = 0; i < folders_->count(); ++i) {
    const playlist_folder* folder = folder_at(i);
    if (!folder) continue;
    for (std::size_t j = 0; j < folder->files.size(); ++j) {
      if (folder->files[j].id != playing_id_) continue;
      const int row = static_cast<int>(j);
      if (i == selected_folder()) {
        if (files_->count() == 0) fill_files();
        files_->select(row);
      } else {
        folders_->select(i);
        fill_files();
        path_->setText(QString::fromStdString(folder->name));
      }
      if (files_->isHidden()) {
        files_->show();
        folders_->hide();
      }
      files_->show_row(row);
      return;
    }
  }
}

void player_page::fill_files() {
  files_->clear();
  const playlist_folder* folder = folder_at(selected_folder());
  if (folder) {
    int n = 0;
    for (const playlist_file& f : folder->files) {
      const int row = files_->insert(-1, QString::asprintf("%d.", ++n) + QString::fromStdString(f.name));
      if (playing_id_known_ && f.id == playing_id_) {
        files_->select(row);
        files_->show_row(row);
      }
    }
  }
  files_->show();
  folders_->hide();
  path_->setText(folder ? QString::fromStdString(folder->name) : QString());
}

void player_page::file_clicked(int row) {
  const playlist_folder* folder = folder_at(selected_folder());
  if (!folder || row < 0 || row >= static_cast<int>(folder->files.size())) return;
  pending_file_ = folder->files[static_cast<std::size_t>(row)].id;
  play_timer_.start();
}

// --- sources and ownership ----------------------------------------------------------------

int player_page::player_source() const {
  const int view = views_->currentIndex();
  if (view == view_usb_audio) return source_usb_audio;
  for (const media_source& s : media_sources)
    if (s.view == view) return s.type;
  return 0;
}

void player_page::show_source(int index) {
  if (index < 0 || index >= static_cast<int>(media_sources.size())) return;
  menu_->setCurrentIndex(index);
  views_->setCurrentIndex(media_sources[static_cast<std::size_t>(index)].view);
}

void player_page::send_source(int type) {
  switch (type & 0xFF) {
    case source_player: media_.select_udisk(); break;
    case source_recorder: media_.select_recorder(); break;
    case source_bluetooth: media_.select_bluetooth(); break;
    case source_usb_audio: media_.select_usb_audio(); break;
    case source_spdif: media_.select_spdif(type >> 8); break;
    default: break;
  }
}

void player_page::follow_console() {
  if (user_source_changed_ && env_.nav.now() - user_source_time_ < static_cast<uint32_t>(media_follow_hold_ms)) return;
  const int device = media_.play_device();
  if (device == play_device_spdif) {
    if (media_.transport_state() == 0) show_source(source_index_of(source_spdif));
    return;
  }
  const int index = source_index_of(device);
  show_source(index >= 0 ? index : 0);
}

bool player_page::player_free() const {
  const param_store& store = env_.session.store;
  const uint16_t holder = store.get(media_holder_param);
  if (!(holder & 0x8000) || store.get(media_claim_param) == 0) return true;
  const uint16_t mine = store.get(media_identity_param);
  return (holder & 0x7FFF) == (mine & 0x7FFF) && store.get(media_holder_param + 1) == store.get(media_identity_param + 1) &&
         store.get(media_holder_param + 2) == store.get(media_identity_param + 2) &&
         store.get(media_holder_param + 3) == store.get(media_identity_param + 3);
}

void player_page::claim_tick() {
  if (env_.nav.is_on_screen(page_player) || media_.scanning()) {
    env_.session.store.quiet_linked_set(media_claim_param, 1);
  } else {
    claim_timer_.stop();
    env_.session.store.quiet_linked_set(media_claim_param, 0);
  }
}

void player_page::page_shown() {
  retranslate();
  hide_toast();
  const int device = media_.play_device();
  if (device == play_device_spdif) {
    show_source(source_index_of(source_spdif + 256 * media_.transport_state()));
  } else if (device == play_device_none) {
    if (media_.usb_port_state() == usb_port_udisk)
      media_.select_udisk();
    else
      media_.select_bluetooth();
    user_source_time_ = env_.nav.now();
    user_source_changed_ = true;
  }
  if (player_free()) {
    usable_ = true;
    in_use_->hide();
    env_.session.store.quiet_linked_set(media_claim_param, 1);
    if (!claim_timer_.isActive()) claim_timer_.start();
  } else {
    usable_ = false;
    in_use_->setGeometry(rect());
    in_use_->show();
    in_use_->raise();
  }
}

void player_page::open(int argument) {
  if (media_.play_device() == play_device_none) argument = source_player;
  if (argument == -1) return;
  if ((argument & 0xFF) != source_spdif) {
    show_source(source_index_of(argument));
    send_source(argument);
  } else if ((argument >> 8) == 0 || (argument >> 8) == 2) {
    media_.select_spdif(argument >> 8);
  }
  user_source_time_ = env_.nav.now();
  user_source_changed_ = true;
}

void player_page::on_param(uint16_t id, uint16_t, bool) {
  if (id != media_claim_param) return;
  if (!player_free() && usable_) {
    usable_ = false;
    in_use_->setGeometry(rect());
    in_use_->show();
    in_use_->raise();
    claim_timer_.stop();
  }
}

page* create_player(QWidget* parent, page_env& env, int) { return new player_page(parent, env); }

}  // namespace vorante
