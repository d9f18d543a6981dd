// The UI font comes from the resource volume, once per size.
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QtTest>

#include "ui/foundation/fonts.h"
#include "ui/foundation/resource_volume.h"

namespace vorante {

class fonts_test : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    resource_volume_mount();
    QVERIFY(fonts_init());
    QVERIFY(!ui_font_family().isEmpty());
  }

  void standard_sizes_use_the_volume_font() {
    for (int px : {10, 12, 14, 16, 20, 22, 24, 32}) {
      const QFont f = font_get(px);
      QCOMPARE(f.pixelSize(), px);
      QCOMPARE(QFontInfo(f).family(), ui_font_family());
    }
  }

  void chinese_and_latin_glyphs_are_there() {
    const QFontMetrics m(font_get(20));
    QVERIFY(m.inFont(QChar(u'A')));
    QVERIFY(m.inFont(QChar(u'静')));
    QVERIFY(m.inFont(QChar(u'监')));
  }

  void a_size_is_created_once() {
    const int before = font_sizes_created();
    font_get(18);
    font_get(18, true);  // the first request decided the style
    QCOMPARE(font_sizes_created(), before + 1);
    QCOMPARE(font_get(18).bold(), false);
  }

  void sizes_outside_the_cache_give_the_screen_font() {
    const int before = font_sizes_created();
    QCOMPARE(font_get(0), QApplication::font());
    QCOMPARE(font_get(65), QApplication::font());
    QCOMPARE(font_sizes_created(), before);
  }
};

}  // namespace vorante

QTEST_MAIN(vorante::fonts_test)
#include "fonts_test.moc"
