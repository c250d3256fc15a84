// The main window driven through its real buttons, compared with the core run directly.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <memory>

#include "font/font_canvas.h"
#include "font/font_metrics.h"
#include "glyph/generator.h"
#include "text/code_page.h"
#include "text/string_table.h"
#include "ui/about_dialog.h"
#include "ui/generator_dialog.h"
#include "ui/qt_text.h"

using pindot::GeneratorDialog;

namespace {

// What a user of each language sees at start-up.
struct StartUpView {
  QString sampleText;
  QString faceName;
  QString resolvedFamily;  // what the default face is drawn with
  std::vector<std::pair<int, QString>> captions;
};

StartUpView ExpectedStartUp(pindot::Language language) {
  if (language == pindot::Language::kChinese) {
    return {QStringLiteral("中国人"),
            QStringLiteral("宋体"),
            QStringLiteral("AR PL UMing CN"),
            {{GeneratorDialog::kSizeGroup, QStringLiteral("大小")},
             {GeneratorDialog::kSortGroup, QStringLiteral("排序")},
             {GeneratorDialog::kWidthLabel, QStringLiteral("宽度")},
             {GeneratorDialog::kHeightLabel, QStringLiteral("高度")},
             {GeneratorDialog::kSortByUnicodeButton, QStringLiteral("按Unicode排序")},
             {GeneratorDialog::kSortByAnsiButton, QStringLiteral("按ANSI排序")},
             {GeneratorDialog::kFontButton, QStringLiteral("字体...")},
             {GeneratorDialog::kAboutButton, QStringLiteral("关于")},
             {GeneratorDialog::kGenerateButton, QStringLiteral("产生")},
             {GeneratorDialog::kExitButton, QStringLiteral("退出")},
             {GeneratorDialog::kExportButton, QStringLiteral("导出...")}}};
  }
  return {QStringLiteral("0123456789abcd"),
          QStringLiteral("Fixedsys"),
          QStringLiteral("Unifont"),
          {{GeneratorDialog::kSizeGroup, QStringLiteral("Size")},
           {GeneratorDialog::kSortGroup, QStringLiteral("Sort")},
           {GeneratorDialog::kWidthLabel, QStringLiteral("Width")},
           {GeneratorDialog::kHeightLabel, QStringLiteral("Height")},
           {GeneratorDialog::kSortByUnicodeButton, QStringLiteral("Sort by Unicode")},
           {GeneratorDialog::kSortByAnsiButton, QStringLiteral("Sort by ANSI")},
           {GeneratorDialog::kFontButton, QStringLiteral("Font...")},
           {GeneratorDialog::kAboutButton, QStringLiteral("About")},
           {GeneratorDialog::kGenerateButton, QStringLiteral("Generate")},
           {GeneratorDialog::kExitButton, QStringLiteral("Exit")},
           {GeneratorDialog::kExportButton, QStringLiteral("Export...")}}};
}

QString CaptionOf(QWidget* control) {
  if (auto* button = qobject_cast<QAbstractButton*>(control)) return button->text();
  if (auto* group = qobject_cast<QGroupBox*>(control)) return group->title();
  if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
  return QString();
}

// A text box holds lines; the core ends each with CR LF.
QString AsShown(const std::u16string& coreText) {
  return pindot::ToQString(coreText).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// The core on its own: the same font measured, the same text, the same key choice.
std::unique_ptr<pindot::Generator> RunCore(const pindot::FontSpec& font, std::u16string_view sample,
                                           bool sortByUnicode) {
  auto generator =
      std::make_unique<pindot::Generator>(pindot::CodePage(pindot::DefaultCodePageNumber()));
  const auto canvas = pindot::FontCanvas::Open(font);
  pindot::MeasureFont(*canvas, font, generator->Settings());
  generator->Settings().sortByUnicode = sortByUnicode;
  pindot::NoProgress progress;
  generator->Generate(sample, *canvas, progress);
  return generator;
}

// What a box holds, unit for unit: toPlainText() would turn a no-break space into a space.
QString Text(GeneratorDialog& dialog, int id) {
  if (auto* line = dialog.ControlAs<QLineEdit>(id)) return line->text();
  QString text = dialog.ControlAs<QPlainTextEdit>(id)->document()->toRawText();
  return text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

void Click(GeneratorDialog& dialog, int id) {
  QTest::mouseClick(dialog.Control(id), Qt::LeftButton);
}

// A Unicode face that is there in every test run: Debian's Unifont, 16 pixels per em.
QFont Unifont(int pixelSize, bool bold = false) {
  QFont font(QStringLiteral("Unifont"));
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

}  // namespace

class GeneratorDialogTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<GeneratorDialog> dialog_;
  QStringList messages_;

  GeneratorDialog& OpenDialog() {
    dialog_ = std::make_unique<GeneratorDialog>();
    messages_.clear();
    dialog_->SetMessageShower([this](const QString& message) { messages_ << message; });
    dialog_->show();
    if (!QTest::qWaitForWindowExposed(dialog_.get())) qFatal("the window was never shown");
    return *dialog_;
  }

 private slots:
  void cleanup() { dialog_.reset(); }

  void startUpShowsTheDefaultsInTheUsersLanguage() {
    GeneratorDialog& dialog = OpenDialog();
    const StartUpView expected = ExpectedStartUp(pindot::LanguageFromEnvironment());

    QCOMPARE(dialog.windowTitle(), QStringLiteral("Dot matrix font generator"));
    QVERIFY(!dialog.windowIcon().isNull());
    QCOMPARE(Text(dialog, GeneratorDialog::kSampleEdit), expected.sampleText);
    QCOMPARE(Text(dialog, GeneratorDialog::kFaceNameBox), expected.faceName);
    for (const auto& [id, caption] : expected.captions) {
      QCOMPARE(CaptionOf(dialog.Control(id)), caption);
    }
    QVERIFY(dialog.ControlAs<QRadioButton>(GeneratorDialog::kSortByUnicodeButton)->isChecked());
    QVERIFY(!dialog.ControlAs<QRadioButton>(GeneratorDialog::kSortByAnsiButton)->isChecked());
    QVERIFY(dialog.Settings().sortByUnicode);
    QVERIFY(Text(dialog, GeneratorDialog::kPreviewBox).isEmpty());
    QVERIFY(Text(dialog, GeneratorDialog::kFontDataBox).isEmpty());
    QCOMPARE(dialog.focusWidget(), dialog.Control(GeneratorDialog::kExitButton));

    // Width and height are the extent of "中" in the default font at cell height 16.
    pindot::GeneratorSettings measured;
    const pindot::FontSpec font = pindot::DefaultFontSpec(pindot::LanguageFromEnvironment());
    QCOMPARE(font.cellHeight, 16);
    pindot::MeasureFont(*pindot::FontCanvas::Open(font), font, measured);
    QCOMPARE(Text(dialog, GeneratorDialog::kWidthBox), QString::number(measured.width));
    QCOMPARE(Text(dialog, GeneratorDialog::kHeightBox), QString::number(measured.height));
    QCOMPARE(dialog.Settings().thinWidth, measured.thinWidth);

    // The sample box shows the text in the face the glyphs are drawn with.
    const QFont sampleFont = dialog.Control(GeneratorDialog::kSampleEdit)->font();
    QCOMPARE(sampleFont.family(), expected.resolvedFamily);
    QCOMPARE(sampleFont.pixelSize(), 16);
    QCOMPARE(QFontInfo(sampleFont).family(), expected.resolvedFamily);
  }

  void returnPressesGenerate() {
    GeneratorDialog& dialog = OpenDialog();
    dialog.Control(GeneratorDialog::kWidthBox)->setFocus();
    QTest::keyClick(dialog.Control(GeneratorDialog::kWidthBox), Qt::Key_Return);
    QVERIFY(!Text(dialog, GeneratorDialog::kPreviewBox).isEmpty());
  }

  void outputBoxesUseAFixedPitchFontAndDoNotWrap() {
    GeneratorDialog& dialog = OpenDialog();
    for (int id : {GeneratorDialog::kPreviewBox, GeneratorDialog::kFontDataBox}) {
      auto* box = dialog.ControlAs<QPlainTextEdit>(id);
      // The pictures are made of "11" and blanks beside hexadecimal digits: all one width.
      const QFontMetrics metrics(box->font());
      for (QChar unit : QStringLiteral("01234567890abcdefx,{}()")) {
        QCOMPARE(metrics.horizontalAdvance(unit), metrics.horizontalAdvance(QLatin1Char(' ')));
      }
      QCOMPARE(box->lineWrapMode(), QPlainTextEdit::NoWrap);
      QVERIFY(box->isReadOnly());
    }
  }

  void generateFillsBothBoxesWithWhatTheCoreMakes_data() {
    QTest::addColumn<QString>("typed");      // what goes into the sample box
    QTest::addColumn<QString>("generated");  // the text the core must be given for it
    QTest::newRow("start-up sample") << QString() << QString();
    // A line break in the box is CR LF to the generator; a no-break space stays itself.
    QTest::newRow("line break and no-break space")
        << QStringLiteral("ab\ncd\u00a0e") << QStringLiteral("ab\r\ncd\u00a0e");
    QTest::newRow("repeats kept in the preview") << QStringLiteral("aab") << QStringLiteral("aab");
  }
  void generateFillsBothBoxesWithWhatTheCoreMakes() {
    QFETCH(QString, typed);
    QFETCH(QString, generated);
    GeneratorDialog& dialog = OpenDialog();
    auto* sampleBox = dialog.ControlAs<QPlainTextEdit>(GeneratorDialog::kSampleEdit);
    if (!typed.isNull()) sampleBox->setPlainText(typed);
    const std::u16string sample = generated.isNull() ? pindot::ToU16String(sampleBox->toPlainText())
                                                     : pindot::ToU16String(generated);

    Click(dialog, GeneratorDialog::kGenerateButton);

    const auto core =
        RunCore(pindot::DefaultFontSpec(pindot::LanguageFromEnvironment()), sample, true);
    QVERIFY(!core->GlyphPreviewText().empty());
    QVERIFY(!core->FontDataText().empty());
    QCOMPARE(Text(dialog, GeneratorDialog::kPreviewBox), AsShown(core->GlyphPreviewText()));
    QCOMPARE(Text(dialog, GeneratorDialog::kFontDataBox), AsShown(core->FontDataText()));
    QVERIFY(messages_.isEmpty());
    // The last stage stepped once per entry written and left the bar full.
    auto* bar = dialog.ControlAs<QProgressBar>(GeneratorDialog::kProgressBar);
    QCOMPARE(bar->value(), bar->maximum());
    QVERIFY(bar->maximum() > 0);
  }

  void sortButtonsChooseTheKeyOfTheNextGenerate() {
    GeneratorDialog& dialog = OpenDialog();
    // Two characters whose Unicode order and ANSI order differ in the user's code page:
    //   code page 936:  一 U+4E00 = 0xD2BB, 啊 U+554A = 0xB0A1
    //   code page 1252: ÿ U+00FF = 0xFF,    € U+20AC = 0x80
    const bool chinese = pindot::DefaultCodePageNumber() == 936;
    const QString unicodeFirst = chinese ? QStringLiteral("一") : QStringLiteral("ÿ");
    const QString ansiFirst = chinese ? QStringLiteral("啊") : QStringLiteral("€");
    dialog.ControlAs<QPlainTextEdit>(GeneratorDialog::kSampleEdit)
        ->setPlainText(ansiFirst + unicodeFirst);
    const pindot::FontSpec font = dialog.Settings().font;
    const std::u16string sample = pindot::ToU16String(ansiFirst + unicodeFirst);

    struct Case {
      int button;
      bool sortByUnicode;
      QString firstCharacter, secondCharacter, keyWord, otherWord;
    };
    const Case cases[] = {
        {GeneratorDialog::kSortByAnsiButton, false, ansiFirst, unicodeFirst,
         QStringLiteral("_ansi_font"), QStringLiteral("_unicode_font")},
        {GeneratorDialog::kSortByUnicodeButton, true, unicodeFirst, ansiFirst,
         QStringLiteral("_unicode_font"), QStringLiteral("_ansi_font")},
    };
    for (const Case& test : cases) {
      Click(dialog, test.button);
      QCOMPARE(dialog.Settings().sortByUnicode, test.sortByUnicode);
      Click(dialog, GeneratorDialog::kGenerateButton);
      const QString data = Text(dialog, GeneratorDialog::kFontDataBox);
      QCOMPARE(data, AsShown(RunCore(font, sample, test.sortByUnicode)->FontDataText()));
      QVERIFY(data.contains(test.keyWord));
      QVERIFY(!data.contains(test.otherWord));
      const qsizetype first = data.indexOf(QStringLiteral("(\"%1\")").arg(test.firstCharacter));
      const qsizetype second = data.indexOf(QStringLiteral("(\"%1\")").arg(test.secondCharacter));
      QVERIFY(first >= 0 && second > first);
    }
  }

  void failedRangeCheckWarnsFocusesAndGenerateGoesOn_data() {
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("fails");
    QTest::addColumn<QStringList>("messageParts");  // in both languages the bounds are numbers
    QTest::newRow("width 3") << int(GeneratorDialog::kWidthBox) << "3" << true
                             << QStringList{"4", "128"};
    QTest::newRow("width 129") << int(GeneratorDialog::kWidthBox) << "129" << true
                               << QStringList{"4", "128"};
    QTest::newRow("width 4") << int(GeneratorDialog::kWidthBox) << "4" << false << QStringList{};
    QTest::newRow("width not a number")
        << int(GeneratorDialog::kWidthBox) << "12a" << true << QStringList{};
    QTest::newRow("height 0") << int(GeneratorDialog::kHeightBox) << "0" << false << QStringList{};
    QTest::newRow("height 129") << int(GeneratorDialog::kHeightBox) << "129" << true
                                << QStringList{"0", "128"};
    QTest::newRow("face name of 129 characters")
        << int(GeneratorDialog::kFaceNameBox) << QString(129, QLatin1Char('x')) << true
        << QStringList{"128"};
    QTest::newRow("face name of 128 characters")
        << int(GeneratorDialog::kFaceNameBox) << QString(128, QLatin1Char('x')) << false
        << QStringList{};
  }
  void failedRangeCheckWarnsFocusesAndGenerateGoesOn() {
    QFETCH(int, box);
    QFETCH(QString, value);
    QFETCH(bool, fails);
    QFETCH(QStringList, messageParts);
    GeneratorDialog& dialog = OpenDialog();
    // The boxes are read-only to the user; a measured value out of range is put there directly.
    dialog.ControlAs<QLineEdit>(box)->setText(value);

    Click(dialog, GeneratorDialog::kGenerateButton);

    QCOMPARE(messages_.size(), fails ? 1 : 0);
    for (const QString& part : messageParts)
      QVERIFY2(messages_.front().contains(part), qPrintable(messages_.front()));
    if (fails) QCOMPARE(dialog.focusWidget(), dialog.Control(box));
    // Generate ran all the same.
    QVERIFY(!Text(dialog, GeneratorDialog::kPreviewBox).isEmpty());
  }

  void outOfRangeWidthStillDrivesTheThinWideChoice() {
    GeneratorDialog& dialog = OpenDialog();
    dialog.ControlAs<QLineEdit>(GeneratorDialog::kWidthBox)->setText(QStringLiteral("3"));
    Click(dialog, GeneratorDialog::kGenerateButton);
    QCOMPARE(messages_.size(), 1);
    QCOMPARE(dialog.Settings().width, 3u);
    QCOMPARE(Text(dialog, GeneratorDialog::kWidthBox), QStringLiteral("3"));
    // Every glyph is at least 3 pixels wide, so none is thin.
    QVERIFY(dialog.GetGenerator().ThinList().IsEmpty());
    QVERIFY(!dialog.GetGenerator().WideList().IsEmpty());
  }

  void fontChooserReplacesAndMeasuresTheFont() {
    GeneratorDialog& dialog = OpenDialog();
    QList<QFont> offered;
    std::optional<QFont> answer = Unifont(32, true);
    dialog.SetFontChooser([&](const QFont& initial) {
      offered << initial;
      return answer;
    });

    Click(dialog, GeneratorDialog::kFontButton);
    pindot::FontSpec chosen;
    chosen.faceName = u"Unifont";
    chosen.cellHeight = 32;
    chosen.weight = 700;
    pindot::GeneratorSettings measured;
    pindot::MeasureFont(*pindot::FontCanvas::Open(chosen), chosen, measured);
    QCOMPARE(Text(dialog, GeneratorDialog::kFaceNameBox), QStringLiteral("Unifont"));
    QCOMPARE(Text(dialog, GeneratorDialog::kWidthBox), QString::number(measured.width));
    QCOMPARE(Text(dialog, GeneratorDialog::kHeightBox), QString::number(measured.height));
    QCOMPARE(dialog.Settings().font.cellHeight, 32);
    QCOMPARE(dialog.Settings().font.weight, 700);
    const QFont sampleFont = dialog.Control(GeneratorDialog::kSampleEdit)->font();
    QCOMPARE(sampleFont.pixelSize(), 32);
    QVERIFY(sampleFont.bold());
    const QString sample = Text(dialog, GeneratorDialog::kSampleEdit);
    QCOMPARE(sample, ExpectedStartUp(pindot::LanguageFromEnvironment()).sampleText);

    // Generate now draws with the chosen font.
    Click(dialog, GeneratorDialog::kGenerateButton);
    QCOMPARE(Text(dialog, GeneratorDialog::kFontDataBox),
             AsShown(RunCore(chosen, pindot::ToU16String(sample), true)->FontDataText()));

    // Cancel the second time: nothing changes. The chooser opened on the default face at 16
    // both times, not on the first choice.
    answer.reset();
    const QString widthBefore = Text(dialog, GeneratorDialog::kWidthBox);
    Click(dialog, GeneratorDialog::kFontButton);
    QCOMPARE(Text(dialog, GeneratorDialog::kWidthBox), widthBefore);
    QCOMPARE(Text(dialog, GeneratorDialog::kFaceNameBox), QStringLiteral("Unifont"));
    QCOMPARE(dialog.Control(GeneratorDialog::kSampleEdit)->font().pixelSize(), 32);
    QCOMPARE(offered.size(), 2);
    const QString defaultFamily = ExpectedStartUp(pindot::LanguageFromEnvironment()).resolvedFamily;
    for (const QFont& initial : offered) {
      QCOMPARE(initial.family(), defaultFamily);
      QCOMPARE(initial.pixelSize(), 16);
      QVERIFY(!initial.bold());
    }
    QVERIFY(messages_.isEmpty());

    // A font that cannot be opened: said so, and nothing changes.
    QFont unknown(QStringLiteral("No Such Face 1234"));
    unknown.setPixelSize(20);
    answer = unknown;
    Click(dialog, GeneratorDialog::kFontButton);
    QCOMPARE(messages_.size(), 1);
    QVERIFY2(messages_.front().contains(QStringLiteral("No Such Face 1234")),
             qPrintable(messages_.front()));
    QCOMPARE(Text(dialog, GeneratorDialog::kFaceNameBox), QStringLiteral("Unifont"));
    QCOMPARE(dialog.Settings().font.cellHeight, 32);
  }

  void fontChooserTakesPointSizesAndEffects() {
    GeneratorDialog& dialog = OpenDialog();
    QFont chosen(QStringLiteral("Unifont"));
    chosen.setPointSizeF(24.0 * 72.0 / dialog.logicalDpiY());  // 24 pixels at the window's dpi
    chosen.setItalic(true);
    chosen.setUnderline(true);
    chosen.setStrikeOut(true);
    chosen.setWeight(QFont::DemiBold);
    dialog.SetFontChooser([&](const QFont&) { return chosen; });
    Click(dialog, GeneratorDialog::kFontButton);
    const pindot::FontSpec& font = dialog.Settings().font;
    QCOMPARE(font.cellHeight, 24);
    QCOMPARE(font.weight, 700);  // 600 and up count as bold
    QVERIFY(font.italic && font.underline && font.strikeOut);
    const QFont sampleFont = dialog.Control(GeneratorDialog::kSampleEdit)->font();
    QVERIFY(sampleFont.underline() && sampleFont.strikeOut() && sampleFont.italic());
  }

  void hugeFontFailsTheWidthCheckAtGenerate() {
    GeneratorDialog& dialog = OpenDialog();
    dialog.SetFontChooser([](const QFont&) { return Unifont(144); });
    Click(dialog, GeneratorDialog::kFontButton);
    QVERIFY(Text(dialog, GeneratorDialog::kWidthBox).toUInt() > 128);
    QVERIFY(messages_.isEmpty());  // loading the boxes checks nothing

    Click(dialog, GeneratorDialog::kGenerateButton);
    QCOMPARE(messages_.size(), 1);
    QCOMPARE(dialog.focusWidget(), dialog.Control(GeneratorDialog::kWidthBox));
    QVERIFY(!Text(dialog, GeneratorDialog::kFontDataBox).isEmpty());
  }

  void theRealChoosersAreQtDialogs() {
    // A window whose choosers are left as they come.
    dialog_ = std::make_unique<GeneratorDialog>();
    GeneratorDialog& fresh = *dialog_;
    fresh.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fresh));
    const QString defaultFamily = ExpectedStartUp(pindot::LanguageFromEnvironment()).resolvedFamily;

    // The font chooser opens on the default face at 16 pixels and has the effects (underline,
    // strike-out); its OK installs the font.
    QString offeredFamily;
    int offeredPixels = 0;
    QTimer::singleShot(0, [&] {
      if (auto* chooser = qobject_cast<QFontDialog*>(QApplication::activeModalWidget())) {
        offeredFamily = chooser->currentFont().family();
        offeredPixels = QFontInfo(chooser->currentFont()).pixelSize();
        QFont bigger = chooser->currentFont();
        bigger.setPointSizeF(bigger.pointSizeF() * 2);
        chooser->setCurrentFont(bigger);
        chooser->accept();
      }
    });
    Click(fresh, GeneratorDialog::kFontButton);
    QCOMPARE(offeredFamily, defaultFamily);
    QCOMPARE(offeredPixels, 16);
    QCOMPARE(fresh.Settings().font.cellHeight, 32);
    QCOMPARE(Text(fresh, GeneratorDialog::kFaceNameBox), defaultFamily);

    // The save chooser: save mode, no filter, the overwrite question on; Cancel writes nothing.
    bool sawSaveChooser = false;
    QTimer::singleShot(0, [&] {
      if (auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
        sawSaveChooser = chooser->acceptMode() == QFileDialog::AcceptSave &&
                         !chooser->testOption(QFileDialog::DontConfirmOverwrite) &&
                         chooser->nameFilters().size() <= 1;
        chooser->reject();
      }
    });
    Click(fresh, GeneratorDialog::kExportButton);
    QVERIFY(sawSaveChooser);
    QVERIFY(!Text(fresh, GeneratorDialog::kPreviewBox).isEmpty());
  }

  void exportWritesBothFilesThroughTheChooser() {
    GeneratorDialog& dialog = OpenDialog();
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString chosen = folder.filePath(QStringLiteral("song16.txt"));
    int asked = 0;
    dialog.SetSaveFileChooser([&] {
      ++asked;
      // Generate has already run and shows its texts while the chooser is open.
      if (Text(dialog, GeneratorDialog::kFontDataBox).isEmpty()) return QString();
      return chosen;
    });

    Click(dialog, GeneratorDialog::kExportButton);

    QCOMPARE(asked, 1);
    QVERIFY(messages_.isEmpty());
    QFile header(folder.filePath(QStringLiteral("song16.h")));
    QFile source(folder.filePath(QStringLiteral("song16.c")));
    QVERIFY(header.open(QIODevice::ReadOnly));
    QVERIFY(source.open(QIODevice::ReadOnly));
    QVERIFY(!QFile::exists(chosen));
    const QByteArray headerBytes = header.readAll();
    const QByteArray sourceBytes = source.readAll();
    QVERIFY(headerBytes.startsWith("#ifndef KV_SONG16_H\r\n#define KV_SONG16_H\r\n"));
    QVERIFY(sourceBytes.startsWith("#include \"song16.h\"\r\n\r\n"));
    // The source carries the font data text the window shows, in the code page.
    const std::string data =
        dialog.GetGenerator().GetCodePage().Encode(dialog.GetGenerator().FontDataText());
    QVERIFY(!data.empty());
    QVERIFY(sourceBytes.contains(QByteArray::fromStdString(data)));
    QCOMPARE(Text(dialog, GeneratorDialog::kFontDataBox),
             AsShown(dialog.GetGenerator().FontDataText()));
  }

  void exportCancelledWritesNothingButGenerates() {
    GeneratorDialog& dialog = OpenDialog();
    QTemporaryDir folder;
    dialog.SetSaveFileChooser([] { return QString(); });
    Click(dialog, GeneratorDialog::kExportButton);
    QVERIFY(QDir(folder.path()).isEmpty());
    QVERIFY(!Text(dialog, GeneratorDialog::kPreviewBox).isEmpty());
    QVERIFY(messages_.isEmpty());
  }

  void exportThatCannotWriteNamesTheFilesAndTheReason() {
    GeneratorDialog& dialog = OpenDialog();
    QTemporaryDir folder;
    const QString missing = folder.filePath(QStringLiteral("no-such-folder/out.txt"));
    dialog.SetSaveFileChooser([&] { return missing; });
    Click(dialog, GeneratorDialog::kExportButton);
    QCOMPARE(messages_.size(), 1);
    const QString& message = messages_.front();
    QVERIFY2(message.contains(folder.filePath(QStringLiteral("no-such-folder/out.h"))),
             qPrintable(message));
    QVERIFY2(message.contains(folder.filePath(QStringLiteral("no-such-folder/out.c"))),
             qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("No such file or directory")), qPrintable(message));
  }

  void aboutOpensFromTheButtonAndTheWindowMenu() {
    GeneratorDialog& dialog = OpenDialog();
    QStringList seen;
    auto closeAboutBoxSoon = [&] {
      QTimer::singleShot(0, [&] {
        if (auto* about = qobject_cast<pindot::AboutDialog*>(QApplication::activeModalWidget())) {
          seen << about->windowTitle();
          about->reject();
        }
      });
    };
    closeAboutBoxSoon();
    Click(dialog, GeneratorDialog::kAboutButton);

    // The window menu's item, string 101, with its access key.
    const QString item = pindot::LanguageFromEnvironment() == pindot::Language::kChinese
                             ? QStringLiteral("关于字体产生工具(&A)...")
                             : QStringLiteral("About Kalvo(&A)...");
    QAction* about = nullptr;
    for (QAction* action : dialog.actions()) {
      if (action->text() == item) about = action;
    }
    QVERIFY(about != nullptr);
    QCOMPARE(dialog.contextMenuPolicy(), Qt::ActionsContextMenu);
    closeAboutBoxSoon();
    about->trigger();

    QCOMPARE(seen, (QStringList{QStringLiteral("关于 Skarra"), QStringLiteral("关于 Skarra")}));
    QVERIFY(dialog.isVisible());
  }

  void exitEscapeAndTheCloseBoxEndTheWindow() {
    const std::function<void(GeneratorDialog&)> ways[] = {
        [](GeneratorDialog& dialog) { Click(dialog, GeneratorDialog::kExitButton); },
        [](GeneratorDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); },
        [](GeneratorDialog& dialog) { dialog.close(); },
    };
    for (const auto& end : ways) {
      GeneratorDialog& dialog = OpenDialog();
      end(dialog);
      QVERIFY(!dialog.isVisible());
      QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }
  }

  void layoutKeepsEveryCaptionWholeAndNoControlOverAnother() {
    GeneratorDialog& dialog = OpenDialog();
    const QRect window = dialog.rect();
    QList<QWidget*> controls;
    for (int id : {2, 1000, 1001, 1002, 1003, 1004, 1005, 1007, 1008, 1009, 1011, 1014, 1015, 1018,
                   1019, 1020, 1021, 1022}) {
      QWidget* control = dialog.Control(id);
      QVERIFY2(control != nullptr, qPrintable(QString::number(id)));
      QVERIFY2(window.contains(control->geometry()), qPrintable(QString::number(id)));
      controls << control;
    }
    const QStyle* style = dialog.style();
    for (QWidget* control : controls) {
      const QString caption = CaptionOf(control);
      if (caption.isEmpty()) continue;
      int needed = control->fontMetrics().horizontalAdvance(caption);
      if (qobject_cast<QPushButton*>(control)) {
        needed += 2 * style->pixelMetric(QStyle::PM_ButtonMargin);
      } else if (qobject_cast<QRadioButton*>(control)) {
        needed += style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                  style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
      }
      QVERIFY2(needed <= control->width(), qPrintable(caption));
      QVERIFY2(control->fontMetrics().height() <= control->height(), qPrintable(caption));
    }
    // Group boxes frame others: they lie underneath, so a click on a framed control reaches it.
    for (QWidget* control : controls) {
      if (qobject_cast<QGroupBox*>(control)) continue;
      QWidget* hit = dialog.childAt(control->geometry().center());
      QVERIFY2(hit == control || control->isAncestorOf(hit), qPrintable(CaptionOf(control)));
    }
    // Every pair that is not a frame stays apart.
    for (QWidget* one : controls) {
      for (QWidget* other : controls) {
        if (one == other || qobject_cast<QGroupBox*>(one) || qobject_cast<QGroupBox*>(other)) {
          continue;
        }
        QVERIFY2(!one->geometry().intersects(other->geometry()),
                 qPrintable(CaptionOf(one) + " / " + CaptionOf(other) + " " + one->objectName()));
      }
    }
  }
};

QTEST_MAIN(GeneratorDialogTest)
#include "generator_dialog_test.moc"
