// The resource volume linked into the program: its layout, every picture the screens
// name, the font, the path helpers, and the picture cache on top of it.
#include <QFontDatabase>
#include <QRawFont>
#include <QtTest>
#include <cstring>

#include "ui/foundation/res_images.h"
#include "ui/foundation/resource_volume.h"

using namespace vorante;

namespace {

// Every picture the screens load, with the sizes that layouts depend on (0: free).
struct picture {
  const char* path;
  int width;
  int height;
};

constexpr picture pictures[] = {
    {"res/common/img_back.png", 0, 0},
    {"res/common/img_offline.png", 0, 0},
    {"res/common/img_online.png", 0, 0},
    {"res/common/img_slider_normal.png", 0, 0},
    {"res/common/img_slider_small.png", 0, 0},
    {"res/common/img_slider_smallest.png", 0, 0},
    {"res/common/img_edit.png", 0, 0},
    {"res/common/img_phase_negative.png", 0, 0},
    {"res/common/img_phase_positive.png", 0, 0},
    {"res/common/img_close.png", 0, 0},
    {"res/common/img_arrow_right.png", 0, 0},
    {"res/media/img_disc_body.png", 240, 240},
    {"res/media/img_disc_mask.png", 234, 234},
    {"res/media/img_disc_tonearm.png", 102, 200},
    {"res/media/img_usb_music.png", 0, 0},
    {"res/media/png_icon_leave_folder.png", 0, 0},
    {"res/media/png_icon_next_song.png", 0, 0},
    {"res/media/png_icon_prev_song.png", 0, 0},
    {"res/media/png_icon_pageup.png", 0, 0},
    {"res/media/png_icon_pagedown.png", 0, 0},
    {"res/media/png_icon_play.png", 0, 0},
    {"res/media/png_icon_pause.png", 0, 0},
    {"res/media/png_icon_refresh.png", 0, 0},
    {"res/media/png_icon_repeat_all.png", 0, 0},
    {"res/media/png_icon_repeat_one.png", 0, 0},
    {"res/media/img_bluetooth.png", 0, 0},
    {"res/media/img_coaxial.png", 0, 0},
    {"res/media/img_optical.png", 0, 0},
    {"res/setting/png_icon_setting.png", 0, 0},
    {"res/setting/png_icon_copy.png", 0, 0},
    {"res/setting/png_icon_paste.png", 0, 0},
    {"res/setting/png_icon_wifi_conn.png", 0, 0},
    {"res/setting/png_icon_wifi_disconn.png", 0, 0},
};

QString short_names_of(const char* dir) {
  QStringList out;
  auto listing = res_dir_open(dir);
  if (!listing) return "<cannot open>";
  while (auto e = listing->next())
    out << QString::fromStdString(e->short_name) + (e->long_name.empty() ? "" : "|" + QString::fromStdString(e->long_name));
  return out.join(' ');
}

}  // namespace

class resource_volume_test : public QObject {
  Q_OBJECT

 private slots:
  void volume_has_the_fixed_layout_data() {
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("expected");
    auto le = [](quint32 v, int n) {
      QByteArray b;
      for (int i = 0; i < n; ++i) b += char(v >> (8 * i));
      return b;
    };
    // Partition entry: active flag, type FAT12, first sector 1, 5119 sectors.
    QTest::newRow("partition status") << 446 << QByteArray(1, 0x00);
    QTest::newRow("partition type") << 446 + 4 << QByteArray(1, 0x01);
    QTest::newRow("partition start and length") << 446 + 8 << le(1, 4) + le(5119, 4);
    QTest::newRow("disk signature") << 510 << QByteArray("\x55\xAA", 2);
    const int boot = 512;
    QTest::newRow("oem name") << boot + 3 << QByteArray("MSDOS5.0");
    QTest::newRow("bytes per sector") << boot + 11 << le(512, 2);
    QTest::newRow("sectors per cluster, reserved, fats") << boot + 13 << QByteArray("\x02\x01\x00\x02", 4);
    QTest::newRow("root entries, total sectors, media") << boot + 17 << le(512, 2) + le(5119, 2) + QByteArray(1, char(0xF8));
    QTest::newRow("fat sectors, track, heads, hidden") << boot + 22 << le(8, 2) + le(16, 2) + le(8, 2) + le(1, 4);
    QTest::newRow("blank label and type") << boot + 43 << QByteArray("           FAT12   ");
    QTest::newRow("boot signature") << boot + 510 << QByteArray("\x55\xAA", 2);
  }

  void volume_has_the_fixed_layout() {
    QFETCH(int, offset);
    QFETCH(QByteArray, expected);
    const auto image = ramdisk_base();
    QCOMPARE(image.size(), ramdisk_size);
    const QByteArray got(reinterpret_cast<const char*>(image.data()) + offset, expected.size());
    QCOMPARE(got.toHex(' '), expected.toHex(' '));

    const fat_volume* volume = resource_volume();
    QVERIFY(volume);
    QCOMPARE(volume->fat_bits(), 12);
    QCOMPARE(volume->volume_offset(), std::uint64_t{512});
  }

  void names_are_stored_as_the_screens_expect() {
    // Directories are 8.3 only; names that fit 8.3 are stored that way only; the rest carry
    // their lower-case long names.
    QCOMPARE(short_names_of("0:"), QString("FONT RES"));
    QCOMPARE(short_names_of("0:res"), QString("COMMON MEDIA SETTING"));
    const QString common = short_names_of("0:res/common");
    QVERIFY2(common.contains("IMG_BACK.PNG ") && common.contains("IMG_EDIT.PNG "), qPrintable(common));
    QVERIFY2(common.contains("|img_offline.png"), qPrintable(common));
    QVERIFY2(!common.contains("|img_back.png") && !common.contains("|img_edit.png"), qPrintable(common));
    for (const char* dir : {"0:res/common", "0:res/media", "0:res/setting", "0:font"}) {
      auto listing = res_dir_open(dir);
      QVERIFY(listing);
      while (auto e = listing->next()) {
        const QString name = QString::fromStdString(e->name());
        QVERIFY2(!e->is_directory(), qPrintable(name));
        if (QString::fromStdString(e->short_name) != "IMG_BACK.PNG" &&
            QString::fromStdString(e->short_name) != "IMG_EDIT.PNG")
          QVERIFY2(!e->long_name.empty() && name == name.toLower(), qPrintable(name));
      }
    }
  }

  void every_picture_opens_and_decodes_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    for (const picture& p : pictures) QTest::newRow(p.path) << p.path << p.width << p.height;
  }

  void every_picture_opens_and_decodes() {
    QFETCH(QString, path);
    QFETCH(int, width);
    QFETCH(int, height);
    const QImage image = image_file_load(res_path(path.toUtf8().constData()));
    QVERIFY(!image.isNull());
    QVERIFY(image.hasAlphaChannel());
    if (width) QCOMPARE(image.size(), QSize(width, height));
    // Every picture has see-through parts; one that came out opaque all over lost its
    // alpha somewhere between the artwork and the volume.
    int see_through = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) see_through += qAlpha(image.pixel(x, y)) < 128;
    QVERIFY(see_through > 0);
  }

  void pictures_are_decoded_once() {
    const QImage first = image_file_load("0:res/common/img_close.png");
    QVERIFY(!first.isNull());
    QCOMPARE(image_file_load("res/COMMON/IMG_CLOSE.PNG").cacheKey(), first.cacheKey());
    QCOMPARE(image_file_load("0:/res/common/img_close.png").cacheKey(), first.cacheKey());
    const QImage white = image_file_load_recoloured("0:res/common/img_close.png", Qt::white);
    QCOMPARE(image_file_load_recoloured("res/common/img_close.png", Qt::white).cacheKey(), white.cacheKey());
    QVERIFY(image_file_load_recoloured("res/common/img_close.png", Qt::red).cacheKey() != white.cacheKey());

    QVERIFY(image_file_load("0:res/common/nothing.png").isNull());
    QVERIFY(image_file_load("1:res/common/img_close.png").isNull());
    QVERIFY(image_file_load("0:font").isNull());
  }

  void recolouring_keeps_the_shape() {
    const QImage source = image_file_load("res/setting/png_icon_copy.png");
    const QImage red = recoloured(source, QColor(255, 0, 0));
    const QImage half = recoloured(source, QColor(255, 0, 0), 128);
    QCOMPARE(red.size(), source.size());
    int coloured = 0;
    for (int y = 0; y < source.height(); ++y)
      for (int x = 0; x < source.width(); ++x) {
        const QColor s = source.pixelColor(x, y), r = red.pixelColor(x, y), h = half.pixelColor(x, y);
        QCOMPARE(r.alpha(), s.alpha());
        if (s.alpha() < 255) continue;
        ++coloured;
        QCOMPARE(r.rgb(), qRgb(255, 0, 0));
        // Half way from white towards red.
        QVERIFY(qAbs(h.green() - 127) <= 2 && h.red() == 255);
      }
    QVERIFY(coloured > 20);
  }

  void res_path_shares_one_buffer() {
    const char* first = res_path("res/common/img_back.png");
    QCOMPARE(QString(first), QString("0:res/common/img_back.png"));
    const char* second = res_path("res/media/img_disc_body.png");
    QCOMPARE(static_cast<const void*>(second), static_cast<const void*>(first));
    QCOMPARE(QString(first), QString("0:res/media/img_disc_body.png"));
    // The path the screens build opens the file stored only as IMG_BACK.PNG.
    QVERIFY(res_file_open(res_path("res/common/img_back.png")));
  }

  void opens_only_for_reading_on_drive_0_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("opens");
    QTest::newRow("read") << "0:res/common/img_close.png" << "r" << true;
    QTest::newRow("read binary") << "0:res/common/img_close.png" << "rb" << true;
    QTest::newRow("no drive prefix") << "res/common/img_close.png" << "r" << true;
    QTest::newRow("write") << "0:res/common/img_close.png" << "w" << false;
    QTest::newRow("append") << "0:res/common/img_close.png" << "a" << false;
    QTest::newRow("read and write") << "0:res/common/img_close.png" << "r+" << false;
    QTest::newRow("binary read and write") << "0:res/common/img_close.png" << "rb+" << false;
    QTest::newRow("unmounted drive") << "1:res/common/img_close.png" << "r" << false;
    QTest::newRow("no such drive") << "4:res/common/img_close.png" << "r" << false;
    QTest::newRow("letter drive") << "C:res/common/img_close.png" << "r" << false;
    QTest::newRow("directory") << "0:res/common" << "r" << false;
  }

  void opens_only_for_reading_on_drive_0() {
    QFETCH(QString, path);
    QFETCH(QString, mode);
    QFETCH(bool, opens);
    QCOMPARE(res_file_open(path.toStdString(), mode.toStdString()).has_value(), opens);
  }

  void font_path_finds_a_font_with_latin_and_chinese() {
    const QString path = font_path();
    QVERIFY2(path.startsWith("0:font/") && path.endsWith(".ttf"), qPrintable(path));
    const auto bytes = res_file_read_all(path.toStdString());
    QVERIFY(bytes);
    const QByteArray data(reinterpret_cast<const char*>(bytes->data()), int(bytes->size()));
    QRawFont font(data, 20);
    QVERIFY(font.isValid());
    for (const QChar c : QString::fromUtf8("Ag0%:\u00b0监静音确认场景频率斜率巴特沃斯？"))
      QVERIFY2(font.supportsCharacter(c), qPrintable(QString(c)));
    QVERIFY(QFontDatabase::addApplicationFontFromData(data) >= 0);

    // font_path writes into the buffer of res_path.
    QCOMPARE(static_cast<const void*>(font_path()), static_cast<const void*>(res_path("x")));
  }

  void builtin_logo_has_its_size() {
    const QImage logo = builtin_logo();
    QCOMPARE(logo.size(), QSize(140, 36));
    QVERIFY(logo.hasAlphaChannel());
  }
};

QTEST_MAIN(resource_volume_test)
#include "resource_volume_test.moc"
