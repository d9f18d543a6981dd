// vorante: the control surface on the desktop. The start runs in a fixed order (--help,
// --version and --home, factory key, default image, first command-line pass, debug
// launcher, splash, window, identity, names, language, local-device probe, second pass,
// UI and link), then the Qt event loop runs everything until the window is closed.
#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <cstdlib>
#include <cstring>
#include <future>

#include "app/core/identity.h"
#include "app/core/log.h"
#include "app/core/startup.h"
#include "app/core/translate.h"
#include "app/core/version.h"
#include "app/os/probe.h"
#include "app/os/socket_util.h"
#include "app/os/transport_factory.h"
#include "app/os/udp_transport.h"
#include "app/protocol/session.h"
#include "ui/foundation/resource_volume.h"
#include "ui/platform/debug_launcher.h"
#include "ui/platform/input.h"
#include "ui/platform/main_frame.h"
#include "ui/platform/main_loop.h"
#include "ui/platform/main_window.h"
#include "ui/platform/shortcuts.h"
#include "ui/platform/native_config.h"
#include "ui/platform/page_stack.h"
#include "ui/platform/qt_ui_port.h"
#include "ui/platform/splash.h"
#include "ui/platform/start_pages.h"
#include "ui/foundation/fonts.h"
#include "ui/screens/mixer/connect_dialog.h"
#include "ui/screens/mixer/group_bar.h"
#include "ui/screens/scenes/set_scene.h"
#include "ui/screens/settings/settings_link.h"
#include "ui/pages/navigator.h"
#include "ui/screens/media/player.h"
#include "ui/pages/page_registry.h"
#include "ui/widgets/widget_fonts.h"

namespace vorante {
namespace {

constexpr int exit_unknown_page = 2;

// A capture run skips the splash so that the picture comes as soon as the window stands.
bool capture_requested(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--screenshot") == 0) return true;
  return false;
}

// "--connect ADDR[:PORT]": the console to talk to, without the connect dialog.
bool aim_at_console(const connect_request& request, console_target& console) {
  uint32_t address = 0;
  if (!parse_ipv4(request.address, address) || address == 0) {
    log_print("bad value '%s' for '%s'!\n", request.address.c_str(), "--connect");
    return false;
  }
  console.set_address(address);
  console.set_port(request.port.value_or(default_console_port));
  return true;
}

void save_capture(QWidget& window, const screenshot_request& request) {
  if (window.grab().save(QString::fromStdString(request.file), "PNG")) {
    QCoreApplication::exit(0);
    return;
  }
  log_print("cannot save screenshot '%s'\n", request.file.c_str());
  QCoreApplication::exit(1);
}

}  // namespace
}  // namespace vorante

int main(int argc, char** argv) {
  using namespace vorante;

  if (const auto status = answer_early_options(argc, argv)) return *status;

  // A machine without any display still checks the default image ("-mkdef") and serves
  // capture runs: Qt then draws offscreen instead of giving up.
  if (std::getenv("QT_QPA_PLATFORM") == nullptr && std::getenv("DISPLAY") == nullptr &&
      std::getenv("WAYLAND_DISPLAY") == nullptr)
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);

  // Qt sees only the program name: every option on our command line is ours to judge.
  int qt_argc = 1;
  QApplication app(qt_argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(product_name()));
  // Lets the desktop match the window with the menu entry and its icon.
  QGuiApplication::setDesktopFileName(QString::fromLatin1(desktop_app_id));
  // The splash and the launcher come and go before the main window; only closing the
  // main window ends the program.
  QApplication::setQuitOnLastWindowClosed(false);

  runtime_options options;
  if (QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier) options.factory_mode = true;

  if (const auto status = begin_process(argc, argv, [] { return datacenter_wait(); })) return *status;

  // The probe waits up to 300 ms for an answer from this machine and changes nothing
  // until its result is read below, so it runs while the window is being built.
  auto probe = std::async(std::launch::async, [] { return local_probe(); });

  if (debug_launcher_wanted() && run_debug_launcher(options) == 0) return 0;

  const bool capture = capture_requested(argc, argv);
  if (parse_number(splash_switch_text()) != 0 && !capture) splash_window().run();

  resource_volume_mount();
  std::srand(steady_ms());
  main_window window;
  QObject::connect(&window, &main_window::closed, &app, &QCoreApplication::quit);

  read_identity(options);
  load_names_if_printing(options);
  // An unknown language leaves the texts in English.
  select_language(configured_language().c_str());

  options.local_device = probe.get();
  log_print("local device: %s\r\n", options.local_device ? "true" : "false");

  launch_requests requests;
  if (!parse_cmdline(argc, argv, options, requests)) return 1;
  console_target console;
  if (requests.connect && !aim_at_console(*requests.connect, console)) return 1;

  fonts_init();
  QApplication::setFont(font_20());

  // UI and data.
  qt_ui_port port;
  link_session session(options, port);
  link_endpoints endpoints;
  endpoints.console = &console;
  session.engine.set_transport_factory([&options, endpoints] { return make_transport(options, wake_main_loop, endpoints); });
  session.engine.set_wake(wake_main_loop);
  session.engine.open_link();
  log_print("%s\n", startup_summary(session.store, options).c_str());

  // The pages: every slot of the registry named, the built pages in place of their
  // placeholders; the navigation owns the root host and the current bank.
  page_registry registry;
  navigator nav(session, registry);
  port.set_surface_state_source([&nav] { return nav.surface_state(); });
  QObject::connect(&port, &qt_ui_port::param_changed, &nav, &navigator::on_param);
  QObject::connect(&port, &qt_ui_port::channel_name_changed, &nav, &navigator::on_name);
  QObject::connect(&port, &qt_ui_port::scene_name_changed, &nav, &navigator::on_scene_name);
  QObject::connect(&port, &qt_ui_port::link_state, &nav, &navigator::show_link_state);
  QObject::connect(&port, &qt_ui_port::surface_key, &nav, [&nav](uint16_t code) { nav.console_key(code); });
  QObject::connect(&port, &qt_ui_port::surface_encoder, &nav, &navigator::console_encoder);
  install_scene_keys(nav);
  QObject::connect(&port, &qt_ui_port::scene_key_lock, &nav, [](bool locked) { set_scene_key_lock(locked); });
  listen_to_settings(port, nav);

  if (options.group_bar) {
    auto* bar = new group_bar(nav);
    window.frame()->set_group_bar(bar);
    port.set_group_bar_present(true);
    QObject::connect(&port, &qt_ui_port::group_bar_level_changed, bar, &group_bar::set_level);
    QObject::connect(&nav, &navigator::link_state_shown, bar, &group_bar::set_link);
  }

  page_stack& pages = *window.frame()->pages();
  add_start_pages(pages, nav);
  pages.show_page(QString::fromLatin1(mixer_root_name));
  // The media keys work before the player page is first opened (the page is made then).
  install_media_keys(nav);
  nav.go_to_strips(0);
  if (requests.show) {
    const QString name = QString::fromStdString(requests.show->page);
    if (!show_start_page(pages, nav, name, requests.show->argument)) {
      const QStringList known = start_page_names(pages, nav);
      if (known.contains(name)) {
        log_print("page '%s' has no %d to show\n", requests.show->page.c_str(), requests.show->argument);
      } else {
        log_print("unknown page '%s' (known: %s)\n", requests.show->page.c_str(),
                  known.isEmpty() ? "none" : known.join(", ").toUtf8().constData());
      }
      session.engine.close_link();
      return exit_unknown_page;
    }
    if (!requests.show->part.empty() && !show_start_part(nav, name, requests.show->part)) {
      session.engine.close_link();
      return exit_unknown_page;
    }
  }
  window.listen_to(port);

  // The dialog that chooses the console. A console given on the command line skips it, and
  // so does a page asked for by name: that run is for looking at the page.
  connect_links links{session.store, session.engine, console};
  links.console_port = console.port();
  links.open_changed = [&port](bool open) { port.set_connect_dialog_open(open); };
  links.console_name = [&session] { return session.config.device_name(); };
  connect_dialog dialog(std::move(links));
  nav.set_connect_dialog_opener([&dialog] { dialog.open(); });
  if (!requests.connect && !requests.show) dialog.open();

  main_loop loop([&session](uint32_t now) { session.engine.step(now); });
  session.engine.enable();
  loop.start();

  window.show_for_screen(capture);
  input_router input(&window);
  // The arrow keys turn the console's first encoder, which the page on screen takes.
  QObject::connect(&input, &input_router::surface_encoder, &nav, &navigator::console_encoder);
  // After the router, so an arrow key's encoder step is journaled as one edit.
  edit_gestures gestures(&window, nav);
  install_shortcuts(window, nav);
  // The console reports its name after every full read: another console (or the same name
  // at another address) makes the journal's steps meaningless.
  QObject::connect(&port, &qt_ui_port::device_name, &window, [&session, &console](const QString& name) {
    session.store.journal().console_is(std::to_string(console.address()) + ":" + std::to_string(console.port()) +
                                       " " + name.toStdString());
  });

  if (requests.screenshot)
    QTimer::singleShot(requests.screenshot->delay_ms, &window,
                       [&window, shot = *requests.screenshot] { save_capture(window, shot); });

  const int status = QApplication::exec();
  // The receive thread wakes the loop until it has stopped.
  session.engine.close_link();
  return status;
}
