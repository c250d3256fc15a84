// The window's small parts: dialog units, the progress bar adapter, fonts between Qt and the core.
#include <QProgressBar>
#include <QTest>
#include <climits>

#include "font/font_canvas.h"
#include "ui/dialog_units.h"
#include "ui/progress_bar_indicator.h"
#include "ui/qfont_conversion.h"

using pindot::DialogUnits;
using pindot::ProgressBarIndicator;

class UiPartsTest : public QObject {
  Q_OBJECT

 private slots:
  void dialogUnitsScaleAndRoundAsWindowsDoes_data() {
    QTest::addColumn<int>("baseWidth");
    QTest::addColumn<int>("baseHeight");
    QTest::addColumn<QRect>("units");
    QTest::addColumn<QRect>("pixels");
    // x * 7 / 4 and y * 15 / 8, to the nearest pixel:
    //   7 -> 12.25 -> 12, 13 -> 24.375 -> 24, 272 -> 476, 150 -> 281.25 -> 281
    QTest::newRow("sample box") << 7 << 15 << QRect(7, 13, 272, 150) << QRect(12, 24, 476, 281);
    //   2 -> 3.5 -> 4 (halves go up), 4 -> 7.5 -> 8, 46 -> 80.5 -> 81, 14 -> 26.25 -> 26
    QTest::newRow("halves round up") << 7 << 15 << QRect(2, 4, 46, 14) << QRect(4, 8, 81, 26);
    // The 9-point SimSun of the template: 6 x 12 pixels, so 1.5 pixels a unit both ways.
    QTest::newRow("template font") << 6 << 12 << QRect(434, 328, 46, 14) << QRect(651, 492, 69, 21);
  }
  void dialogUnitsScaleAndRoundAsWindowsDoes() {
    QFETCH(int, baseWidth);
    QFETCH(int, baseHeight);
    QFETCH(QRect, units);
    QFETCH(QRect, pixels);
    const DialogUnits mapping(baseWidth, baseHeight);
    QCOMPARE(mapping.Rect(units.x(), units.y(), units.width(), units.height()), pixels);
  }

  void progressBarShowsEveryStageToItsEnd() {
    QProgressBar bar;
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    // An interval no run reaches: only the forced repaints show.
    ProgressBarIndicator progress(bar, INT_MAX);

    progress.SetRange(5);
    progress.SetPosition(0);
    QCOMPARE(bar.maximum(), 5);
    for (int step = 0; step < 4; ++step) progress.Step();
    QCOMPARE(bar.value(), 0);  // not repainted in between
    progress.Step();
    QCOMPARE(bar.value(), 5);  // the end of a stage always shows

    // A second stage starts again from 0.
    progress.SetRange(3);
    progress.SetPosition(0);
    QCOMPARE(bar.value(), 0);
    QCOMPARE(bar.maximum(), 3);

    // 0..0 must not turn into the endless busy animation.
    progress.SetRange(0);
    progress.SetPosition(0);
    QVERIFY(bar.maximum() > bar.minimum());
    QCOMPARE(bar.value(), 0);
  }

  void progressBarRepaintsWhileTheWindowIsBusy() {
    QProgressBar bar;
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    ProgressBarIndicator progress(bar, 0);
    progress.SetRange(10);
    const int before = progress.RepaintCount();
    for (int step = 0; step < 10; ++step) {
      progress.Step();
      QCOMPARE(bar.value(), step + 1);
    }
    QCOMPARE(progress.RepaintCount() - before, 10);
  }

  void progressRangesBeyondIntAreScaledNotCut() {
    QProgressBar bar;
    ProgressBarIndicator progress(bar, 0);
    // 0x1'0000'0005 would be 5 cut to 32 bits; 3'000'000'000 does not fit an int either.
    progress.SetRange(3000000000u);
    progress.SetPosition(1500000000u);
    QCOMPARE(bar.maximum(), INT_MAX);
    QVERIFY(qAbs(bar.value() - INT_MAX / 2) <= 1);
    // 70000 passes 16 bits and stays exact.
    progress.SetRange(70000);
    progress.SetPosition(69999);
    QCOMPARE(bar.maximum(), 70000);
    QCOMPARE(bar.value(), 69999);
  }

  void chosenFontsBecomeFontSpecs_data() {
    QTest::addColumn<QFont>("font");
    QTest::addColumn<double>("dpi");
    QTest::addColumn<int>("cellHeight");
    QTest::addColumn<int>("weight");
    QFont pixels(QStringLiteral("Unifont"));
    pixels.setPixelSize(20);
    QTest::newRow("pixel size") << pixels << 96.0 << 20 << 400;
    QFont points(QStringLiteral("Unifont"));
    points.setPointSize(12);  // 12 * 96 / 72 = 16
    QTest::newRow("12 pt at 96 dpi") << points << 96.0 << 16 << 400;
    QFont nine(QStringLiteral("Unifont"));
    nine.setPointSize(9);  // 9 * 120 / 72 = 15
    QTest::newRow("9 pt at 120 dpi") << nine << 120.0 << 15 << 400;
    QFont medium = pixels;
    medium.setWeight(QFont::Medium);  // 500
    QTest::newRow("medium is regular") << medium << 96.0 << 20 << 400;
    QFont demiBold = pixels;
    demiBold.setWeight(QFont::DemiBold);  // 600
    QTest::newRow("demi-bold is bold") << demiBold << 96.0 << 20 << 700;
    QFont black = pixels;
    black.setWeight(QFont::Black);  // 900
    QTest::newRow("black is bold") << black << 96.0 << 20 << 700;
  }
  void chosenFontsBecomeFontSpecs() {
    QFETCH(QFont, font);
    QFETCH(double, dpi);
    QFETCH(int, cellHeight);
    QFETCH(int, weight);
    const pindot::FontSpec fontSpec = pindot::FontSpecFromQFont(font, dpi);
    QCOMPARE(fontSpec.faceName, std::u16string(u"Unifont"));
    QCOMPARE(fontSpec.cellHeight, cellHeight);
    QCOMPARE(fontSpec.weight, weight);
    QVERIFY(!fontSpec.italic && !fontSpec.underline && !fontSpec.strikeOut);
    QVERIFY(fontSpec.filePath.empty());
  }

  void fontSpecsAreShownInTheFaceThatDrawsThem() {
    pindot::FontSpec fontSpec;
    fontSpec.faceName = u"Fixedsys";  // known to the project's aliases, not to Qt
    fontSpec.cellHeight = 16;
    fontSpec.weight = 700;
    fontSpec.underline = true;
    const auto canvas = pindot::FontCanvas::Open(fontSpec);
    const QFont shown = pindot::QFontFromFontSpec(fontSpec, canvas.get());
    QCOMPARE(shown.family(), QStringLiteral("Unifont"));
    QCOMPARE(shown.pixelSize(), 16);
    QVERIFY(shown.bold());
    QVERIFY(shown.underline());
    QVERIFY(!shown.italic() && !shown.strikeOut());
    // Without a canvas the name is taken as it stands.
    QCOMPARE(pindot::QFontFromFontSpec(fontSpec, nullptr).family(), QStringLiteral("Fixedsys"));
  }
};

QTEST_MAIN(UiPartsTest)
#include "ui_parts_test.moc"
