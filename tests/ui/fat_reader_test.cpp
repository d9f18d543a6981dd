// The FAT reader against volumes that mtools made: lookups in any case, long and
// 8.3-only names, listings, fragmented files, seeking, and damaged images.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <map>

#include "ui/foundation/fat_volume.h"
#include "ui/foundation/resource_volume.h"

using namespace vorante;

namespace {

struct geometry {
  const char* name;
  int total_sectors;
  int sectors_per_cluster;
  bool partitioned;  // behind a master boot record, like the resource volume
  int fat_bits;
};

constexpr geometry geometries[] = {
    {"fat12 partitioned, 2-sector clusters", 5120, 2, true, 12},
    {"fat12 bare floppy, 1-sector clusters", 2880, 1, false, 12},
    {"fat16 partitioned, 4-sector clusters", 40960, 4, true, 16},
};

QByteArray pattern(int size, int seed) {
  QByteArray bytes(size, '\0');
  quint32 x = 2463534242u + seed;
  for (int i = 0; i < size; ++i) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    bytes[i] = static_cast<char>(x);
  }
  return bytes;
}

std::span<const std::uint8_t> bytes_of(const QByteArray& a) {
  return {reinterpret_cast<const std::uint8_t*>(a.constData()), static_cast<std::size_t>(a.size())};
}

QByteArray read_all(fat_file& file) {
  QByteArray out(static_cast<int>(file.size()), '\0');
  out.resize(static_cast<int>(file.read(out.data(), out.size())));
  return out;
}

QStringList names_in(const fat_volume& volume, const char* dir) {
  QStringList names;
  auto listing = volume.open_dir(dir);
  if (!listing) return {"<cannot open>"};
  while (auto entry = listing->next()) names << QString::fromStdString(entry->name());
  return names;
}

// Little-endian field of the boot sector.
int boot_field(const QByteArray& image, qint64 boot, int offset, int size) {
  int v = 0;
  for (int i = size - 1; i >= 0; --i) v = v << 8 | static_cast<quint8>(image[boot + offset + i]);
  return v;
}

}  // namespace

class fat_reader_test : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  std::map<QString, QByteArray> images_;   // geometry name -> image bytes
  std::map<QString, QByteArray> sources_;  // file name in the source folder -> content
  QString tree_error_;

  bool mtools(const QString& image, qint64 offset, QStringList args) {
    const QString tool = args.takeFirst();
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("MTOOLS_SKIP_CHECK", "1");
    p.setProcessEnvironment(env);
    p.start(tool, QStringList{"-i", image + (offset ? QString("@@%1").arg(offset) : QString())} + args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
      tree_error_ = tool + " " + args.join(' ') + ": " + QString::fromLocal8Bit(p.readAllStandardError());
      return false;
    }
    return true;
  }

  QString source(const QString& name, const QByteArray& content) {
    const QString path = dir_.filePath("src/" + name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(content);
    sources_[name] = content;
    return path;
  }

  // The same tree on every geometry. IMG_BACK.PNG is copied under its upper-case 8.3 name
  // (no long name), "abc.txt" under a lower-case 8.3 name (case bits, no long name), the
  // rest under long names. big.bin is written into the hole that a.bin leaves, so its
  // cluster chain jumps over b.bin.
  bool build(const geometry& g, QByteArray& image_out) {
    const QString image = dir_.filePath(QString("%1.img").arg(g.name).replace(' ', '_').remove(','));
    const qint64 offset = g.partitioned ? 512 : 0;
    {
      QFile f(image);
      if (!f.open(QIODevice::WriteOnly)) return false;
      QByteArray disk(qint64(g.total_sectors) * 512, '\0');
      if (g.partitioned) {
        const quint32 count = g.total_sectors - 1;
        disk[446 + 4] = 0x06;  // FAT16 type; the reader accepts the FAT12 type as well
        if (g.fat_bits == 12) disk[446 + 4] = 0x01;
        disk[446 + 8] = 1;
        for (int i = 0; i < 4; ++i) disk[446 + 12 + i] = static_cast<char>(count >> (8 * i));
        disk[510] = 0x55;
        disk[511] = static_cast<char>(0xAA);
      }
      f.write(disk);
    }
    const QString sectors = QString::number(g.total_sectors - (g.partitioned ? 1 : 0));
    if (!mtools(image, offset, {"mformat", "-T", sectors, "-h", "2", "-s", "18", "-c",
                                QString::number(g.sectors_per_cluster), "-r", "14", "::"}))
      return false;
    for (const char* d : {"::RES", "::RES/COMMON", "::RES/MEDIA", "::FONT", "::FONT/sub.ttf", "::MANY"})
      if (!mtools(image, offset, {"mmd", d})) return false;

    const QString src = dir_.filePath("src/");
    struct copy { const char* from; const char* to; };
    const copy copies[] = {
        {"IMG_BACK.PNG", "::RES/COMMON/IMG_BACK.PNG"},
        {"img_offline.png", "::RES/COMMON/img_offline.png"},
        {"abc.txt", "::RES/COMMON/abc.txt"},
        {"empty.txt", "::RES/COMMON/empty.txt"},
        {"png_icon_leave_folder.png", "::RES/MEDIA/png_icon_leave_folder.png"},
        {"a.bin", "::RES/MEDIA/a.bin"},
        {"b.bin", "::RES/MEDIA/b.bin"},
        {"readme.txt", "::FONT/readme.txt"},
        {"Some-Font_6k.TTF", "::FONT/Some-Font_6k.TTF"},
        {"other.ttf", "::FONT/other.ttf"},
    };
    for (const copy& c : copies)
      if (!mtools(image, offset, {"mcopy", src + c.from, c.to})) return false;
    if (!mtools(image, offset, {"mdel", "::RES/MEDIA/a.bin"})) return false;
    if (!mtools(image, offset, {"mcopy", src + "big.bin", "::RES/MEDIA/big.bin"})) return false;
    for (int i = 0; i < 40; ++i) {
      const QString name = QString("entry_with_a_long_name_%1.dat").arg(i, 2, 10, QChar('0'));
      if (!mtools(image, offset, {"mcopy", src + "abc.txt", "::MANY/" + name})) return false;
    }
    QFile f(image);
    if (!f.open(QIODevice::ReadOnly)) return false;
    image_out = f.readAll();
    return true;
  }

  // The data of a test that runs over every volume image, by its name.
  static void one_row_per_volume() {
    QTest::addColumn<QString>("volume");
    for (const geometry& g : geometries) QTest::newRow(g.name) << g.name;
  }

  fat_volume mounted(const QString& name) {
    fat_volume volume;
    volume.mount(bytes_of(images_.at(name)));
    return volume;
  }

 private slots:
  void initTestCase() {
    QVERIFY2(!QStandardPaths::findExecutable("mformat").isEmpty(), "mtools is needed (scripts/setup)");
    QVERIFY(dir_.isValid());
    QDir().mkpath(dir_.filePath("src"));
    source("IMG_BACK.PNG", pattern(1500, 1));
    source("img_offline.png", pattern(777, 2));
    source("abc.txt", "hello\n");
    source("empty.txt", {});
    source("png_icon_leave_folder.png", pattern(4096, 3));
    source("a.bin", pattern(5000, 4));
    source("b.bin", pattern(3000, 5));
    source("big.bin", pattern(40000, 6));
    source("readme.txt", "not a font\n");
    source("Some-Font_6k.TTF", pattern(2048, 7));
    source("other.ttf", pattern(100, 8));
    for (const geometry& g : geometries) {
      QByteArray image;
      QVERIFY2(build(g, image), qPrintable(tree_error_));
      images_[g.name] = image;
    }
  }

  void mounts_each_geometry_data() {
    QTest::addColumn<QString>("volume");
    QTest::addColumn<int>("fat_bits");
    QTest::addColumn<int>("sectors_per_cluster");
    QTest::addColumn<int>("offset");
    for (const geometry& g : geometries)
      QTest::newRow(g.name) << g.name << g.fat_bits << g.sectors_per_cluster << (g.partitioned ? 512 : 0);
  }

  void mounts_each_geometry() {
    QFETCH(QString, volume);
    QFETCH(int, fat_bits);
    QFETCH(int, sectors_per_cluster);
    QFETCH(int, offset);
    fat_volume v;
    QVERIFY(v.mount(bytes_of(images_.at(volume))));
    QCOMPARE(v.fat_bits(), fat_bits);
    QCOMPARE(int(v.sectors_per_cluster()), sectors_per_cluster);
    QCOMPARE(int(v.volume_offset()), offset);
  }

  void finds_files_in_any_case_data() {
    one_row_per_volume();
  }

  void finds_files_in_any_case() {
    QFETCH(QString, volume);
    const fat_volume v = mounted(volume);
    struct lookup { const char* path; const char* source; };
    const lookup lookups[] = {
        {"res/common/img_back.png", "IMG_BACK.PNG"},  // stored as 8.3 only
        {"RES/COMMON/IMG_BACK.PNG", "IMG_BACK.PNG"},
        {"/res//common/Img_Back.Png", "IMG_BACK.PNG"},
        {"res\\common\\img_back.png", "IMG_BACK.PNG"},
        {"res/common/img_offline.png", "img_offline.png"},  // long name
        {"RES/COMMON/IMG_OFFLINE.PNG", "img_offline.png"},
        {"res/common/IMG_OF~1.PNG", "img_offline.png"},  // its short alias
        {"res/common/abc.txt", "abc.txt"},  // lower-case 8.3 through the case bits
        {"res/common/empty.txt", "empty.txt"},
        {"res/media/png_icon_leave_folder.png", "png_icon_leave_folder.png"},  // two long-name entries
        {"res/media/big.bin", "big.bin"},  // fragmented round b.bin
        {"res/media/b.bin", "b.bin"},
        {"res/./common/../media/b.bin", "b.bin"},
        {"font/some-font_6k.ttf", "Some-Font_6k.TTF"},
    };
    for (const lookup& l : lookups) {
      auto file = v.open_file(l.path);
      QVERIFY2(file.has_value(), l.path);
      QCOMPARE(file->size(), quint32(sources_.at(l.source).size()));
      QVERIFY2(read_all(*file) == sources_.at(l.source), l.path);
    }
  }

  void missing_or_wrong_kind_paths_fail() {
    const fat_volume v = mounted(geometries[0].name);
    for (const char* path : {"res/common/nothing.png", "res/nothing/img_back.png", "nothing",
                             "res/common/img_back.png/x", "res/media/a.bin" /* deleted */,
                             "res/common", "", "/", "res/common/img_back.pn", "res/common/img_back.png."})
      QVERIFY2(!v.open_file(path), path);
    for (const char* path : {"res/common/img_back.png", "res/nothing", "font/other.ttf"})
      QVERIFY2(!v.open_dir(path), path);
    QVERIFY(v.open_dir(""));
    QVERIFY(v.open_dir("/"));
    QVERIFY(v.open_dir("res/common/"));
  }

  void lists_entries_in_directory_order_data() {
    one_row_per_volume();
  }

  void lists_entries_in_directory_order() {
    QFETCH(QString, volume);
    const fat_volume v = mounted(volume);
    QCOMPARE(names_in(v, ""), (QStringList{"RES", "FONT", "MANY"}));
    QCOMPARE(names_in(v, "res/common"),
             (QStringList{"IMG_BACK.PNG", "img_offline.png", "abc.txt", "empty.txt"}));
    // big.bin took the slot a.bin left.
    QCOMPARE(names_in(v, "res/media"), (QStringList{"png_icon_leave_folder.png", "big.bin", "b.bin"}));

    // 40 names of three entries each run over several directory clusters.
    QStringList many;
    for (int i = 0; i < 40; ++i) many << QString("entry_with_a_long_name_%1.dat").arg(i, 2, 10, QChar('0'));
    QCOMPARE(names_in(v, "many"), many);

    auto listing = v.open_dir("res/common");
    QVERIFY(listing);
    auto back = listing->next();
    QCOMPARE(QString::fromStdString(back->short_name), QString("IMG_BACK.PNG"));
    QVERIFY(back->long_name.empty());
    QVERIFY(!back->is_directory());
    auto offline = listing->next();
    QCOMPARE(QString::fromStdString(offline->long_name), QString("img_offline.png"));
    QCOMPARE(QString::fromStdString(offline->short_name), QString("IMG_OF~1.PNG"));
    auto res = v.stat("res");
    QVERIFY(res && res->is_directory() && res->long_name.empty());
    QCOMPARE(QString::fromStdString(res->short_name), QString("RES"));
  }

  void reads_in_pieces_and_seeks_data() {
    one_row_per_volume();
  }

  void reads_in_pieces_and_seeks() {
    QFETCH(QString, volume);
    const fat_volume v = mounted(volume);
    const QByteArray& big = sources_.at("big.bin");
    auto file = v.open_file("res/media/big.bin");
    QVERIFY(file);

    // Odd piece sizes cross every cluster boundary at a different place.
    QByteArray pieces;
    char buffer[777];
    while (std::size_t n = file->read(buffer, sizeof buffer)) pieces.append(buffer, int(n));
    QCOMPARE(pieces.size(), big.size());
    QVERIFY(pieces == big);
    QCOMPARE(file->read(buffer, sizeof buffer), std::size_t{0});

    struct step { std::int64_t offset; seek_origin origin; std::int64_t expected; };
    const step steps[] = {
        {1234, seek_origin::start, 1234},
        {100, seek_origin::current, 1334},
        {-10, seek_origin::end, big.size() - 10},
        {-30000, seek_origin::current, big.size() - 30010},
        {-1, seek_origin::start, -1},  // refused, position kept
        {50000, seek_origin::start, big.size()},  // clamped to the end
        {0, seek_origin::start, 0},
    };
    std::int64_t at = 0;
    for (const step& s : steps) {
      const std::int64_t result = file->seek(s.offset, s.origin);
      QCOMPARE(result, s.expected);
      if (result >= 0) at = result;
      QCOMPARE(std::int64_t{file->tell()}, at);
      char got[64];
      const std::size_t n = file->read(got, sizeof got);
      QCOMPARE(QByteArray(got, int(n)), big.mid(int(at), 64));
      file->seek(std::int64_t(at), seek_origin::start);
    }

    auto empty = v.open_file("res/common/empty.txt");
    QVERIFY(empty);
    QCOMPARE(empty->size(), 0u);
    QCOMPARE(empty->read(buffer, sizeof buffer), std::size_t{0});
  }

  void finds_the_first_file_by_extension() {
    const fat_volume v = mounted(geometries[0].name);
    char out[64];
    // FONT holds the directory "sub.ttf" first: directories never match.
    QCOMPARE(find_file_by_ext(v, "font", ".ttf", out, sizeof out), std::strlen("font/Some-Font_6k.TTF"));
    QCOMPARE(QString(out), QString("font/Some-Font_6k.TTF"));
    QCOMPARE(find_file_by_ext(v, "0:font/", ".TTF", out, sizeof out), std::strlen("0:font/Some-Font_6k.TTF"));
    QCOMPARE(QString(out), QString("0:font/Some-Font_6k.TTF"));
    QCOMPARE(find_file_by_ext(v, "font", ".txt", out, sizeof out), std::strlen("font/readme.txt"));
    for (const char* dir : {"res", "nothing", "1:font", "font/readme.txt"}) {
      std::strcpy(out, "stale");
      QCOMPARE(find_file_by_ext(v, dir, ".ttf", out, sizeof out), std::size_t{0});
      QCOMPARE(QString(out), QString());
    }
    char small[10];
    QCOMPARE(find_file_by_ext(v, "font", ".ttf", small, sizeof small), std::size_t{0});
    QCOMPARE(QString(small), QString());
  }

  void damaged_images_fail_safely_data() {
    QTest::addColumn<QString>("damage");
    QTest::addColumn<bool>("mounts");
    QTest::addColumn<bool>("file_short");
    QTest::addColumn<bool>("listing_short");
    QTest::newRow("cut short") << "truncate" << false << false << false;
    QTest::newRow("boot sector wiped") << "wipe boot" << false << false << false;
    QTest::newRow("zero cluster size") << "zero spc" << false << false << false;
    QTest::newRow("file chain loops on itself") << "loop" << true << true << false;
    QTest::newRow("file chain runs off the volume") << "out of range" << true << true << false;
    QTest::newRow("directory chain loops") << "dir loop" << true << false << true;
  }

  void damaged_images_fail_safely() {
    QFETCH(QString, damage);
    QFETCH(bool, mounts);
    QFETCH(bool, file_short);
    QFETCH(bool, listing_short);
    QByteArray image = images_.at(geometries[0].name);
    const qint64 boot = 512;
    const qint64 fat = boot + 512 * boot_field(image, boot, 14, 2);
    fat_volume intact;
    QVERIFY(intact.mount(bytes_of(images_.at(geometries[0].name))));
    const std::uint32_t big_cluster = intact.stat("res/media/big.bin")->first_cluster;
    const std::uint32_t many_cluster = intact.stat("many")->first_cluster;
    auto set_fat12 = [&](std::uint32_t cluster, std::uint32_t value) {
      const qint64 at = fat + cluster + cluster / 2;
      quint16 pair = quint8(image[at]) | quint8(image[at + 1]) << 8;
      pair = (cluster & 1) ? quint16((pair & 0x000F) | value << 4) : quint16((pair & 0xF000) | value);
      image[at] = char(pair & 0xFF);
      image[at + 1] = char(pair >> 8);
    };

    if (damage == "truncate") image.truncate(image.size() / 2);
    if (damage == "wipe boot") image.replace(boot, 512, QByteArray(512, '\0'));
    if (damage == "zero spc") image[boot + 13] = 0;
    if (damage == "loop") set_fat12(big_cluster + 1, big_cluster + 1);
    if (damage == "out of range") set_fat12(big_cluster, 0xFF0);
    if (damage == "dir loop") set_fat12(many_cluster, many_cluster);

    fat_volume v;
    QCOMPARE(v.mount(bytes_of(image)), mounts);
    if (!mounts) {
      QVERIFY(!v.open_file("res/common/img_back.png"));
      return;
    }
    auto file = v.open_file("res/media/big.bin");
    QVERIFY(file);
    // Damage shows as a short read or a short listing; the reader never loops or strays.
    const QByteArray whole = read_all(*file);
    QCOMPARE(whole.size() < sources_.at("big.bin").size(), file_short);
    QVERIFY(sources_.at("big.bin").startsWith(whole));
    const QStringList many = names_in(v, "many");
    QCOMPARE(many.size() < 40, listing_short);
    QVERIFY(!many.isEmpty());
  }
};

QTEST_MAIN(fat_reader_test)
#include "fat_reader_test.moc"
