// The window and its About box worked through their real controls, against the core run alone.
#include <QTest>
#include <QtWidgets>
#include <memory>

#include "font/font_canvas.h"
#include "font/font_metrics.h"
#include "output/font_data_text.h"
#include "ui/about_dialog.h"
#include "ui/generator_dialog.h"
#include "ui/qt_text.h"

using D = pindot::GeneratorDialog;

namespace {

const bool kChinese = pindot::LanguageFromEnvironment() == pindot::Language::kChinese;

// Width and height, then both outputs, of the core on its own; lines ended as a text box ends them.
QString Core(const pindot::FontSpec& font, const QString& sample, bool byUnicode) {
  pindot::Generator generator{pindot::CodePage(pindot::DefaultCodePageNumber())};
  const auto canvas = pindot::FontCanvas::Open(font);
  pindot::MeasureFont(*canvas, font, generator.Settings());
  generator.Settings().sortByUnicode = byUnicode;
  pindot::NoProgress progress;
  generator.Generate(pindot::ToU16String(sample), *canvas, progress);
  const std::u16string fontDataText = pindot::BuildFontDataText(generator, progress);
  return QString("%1 %2\f").arg(generator.Settings().width).arg(generator.Settings().height) +
         pindot::ToQString(generator.GlyphPreviewText() + u"\f" + fontDataText)
             .replace("\r\n", "\n");
}

}  // namespace

class GeneratorDialogTest : public QObject {
  Q_OBJECT
  std::unique_ptr<D> dialog_;
  QStringList messages_;

  D& Open() {
    dialog_ = std::make_unique<D>();
    messages_.clear();
    dialog_->SetMessageShower([this](const QString& message) { messages_ << message; });
    dialog_->show();
    if (!QTest::qWaitForWindowExposed(dialog_.get())) qFatal("the window was never shown");
    return *dialog_;
  }
  QString Text(int id) {  // unit for unit: toPlainText() would make a no-break space a space
    if (auto* line = dialog_->ControlAs<QLineEdit>(id)) return line->text();
    return dialog_->ControlAs<QPlainTextEdit>(id)->document()->toRawText().replace(
        QChar::ParagraphSeparator, '\n');
  }
  QString Shown() {  // as Core() gives it
    return Text(D::kWidthBox) + " " + Text(D::kHeightBox) + '\f' + Text(D::kPreviewBox) + '\f' +
           Text(D::kFontDataBox);
  }
  void Click(int id) { QTest::mouseClick(dialog_->Control(id), Qt::LeftButton); }

 private slots:
  void cleanup() { dialog_.reset(); }  // a window left open would take the pointer's moves
  void startUpShowsTheDefaultsInTheUsersLanguage() {
    D& dialog = Open();
    QStringList shown{dialog.windowTitle(), Text(D::kSampleEdit), Text(D::kFaceNameBox),
                      QFontInfo(dialog.Control(D::kSampleEdit)->font()).family()};
    for (int id : {D::kSizeGroup, D::kSortGroup, D::kWidthLabel, D::kHeightLabel,
                   D::kSortByUnicodeButton, D::kSortByAnsiButton, D::kFontButton, D::kAboutButton,
                   D::kGenerateButton, D::kExitButton, D::kExportButton}) {
      QWidget* control = dialog.Control(id);
      shown << control->property(qobject_cast<QGroupBox*>(control) ? "title" : "text").toString();
    }
    QCOMPARE(shown.join('|'),
             kChinese ? "Dot matrix font generator|中国人|宋体|AR PL UMing CN|大小|排序|"
                        "宽度|高度|按Unicode排序|按ANSI排序|字体...|关于|产生|退出|导出..."
                      : "Dot matrix font generator|0123456789abcd|Fixedsys|Unifont|Size|Sort|"
                        "Width|Height|Sort by Unicode|Sort by ANSI|Font...|About|Generate|Exit|"
                        "Export...");
    QVERIFY(dialog.ControlAs<QRadioButton>(D::kSortByUnicodeButton)->isChecked() &&
            dialog.Settings().sortByUnicode && !dialog.windowIcon().isNull());
    QCOMPARE(Shown(), Core(pindot::DefaultFontSpec(dialog.UiLanguage()), "", true));  // "中"
    for (int id : {D::kPreviewBox, D::kFontDataBox}) {  // "11" pictures: one width, no wrapping
      auto* box = dialog.ControlAs<QPlainTextEdit>(id);
      const QFontMetrics metrics(box->font());
      QCOMPARE(metrics.horizontalAdvance("1 0x,{}f"), metrics.horizontalAdvance("00000000"));
      QCOMPARE(box->lineWrapMode(), QPlainTextEdit::NoWrap);
    }
  }

  void generateFillsBothBoxesWithWhatTheCoreMakesInTheChosenOrder() {
    D& dialog = Open();
    dialog.Control(D::kWidthBox)->setFocus();  // Return in any box presses Generate
    QTest::keyClick(dialog.Control(D::kWidthBox), Qt::Key_Return);
    QCOMPARE(Shown(), Core(dialog.CurrentFont(), Text(D::kSampleEdit), true));
    auto* bar = dialog.ControlAs<QProgressBar>(D::kProgressBar);
    QVERIFY(bar->value() == bar->maximum() && bar->maximum() > 0);
    // Orders differ: 啊 U+554A = 0xB0A1 and 一 U+4E00 = 0xD2BB; € U+20AC = 0x80 and ÿ U+00FF.
    const QString sample = pindot::DefaultCodePageNumber() == 936 ? "啊一" : "€ÿ";
    // A line break in the box is CR LF to the generator; a no-break space stays itself.
    dialog.ControlAs<QPlainTextEdit>(D::kSampleEdit)->setPlainText(sample + "ab\ncd\u00a0e");
    for (bool byUnicode : {false, true}) {
      Click(byUnicode ? D::kSortByUnicodeButton : D::kSortByAnsiButton);
      Click(D::kGenerateButton);
      QCOMPARE(Shown(), Core(dialog.CurrentFont(), sample + "ab\r\ncd\u00a0e", byUnicode));
    }
    QVERIFY(Core(dialog.CurrentFont(), sample, true) != Core(dialog.CurrentFont(), sample, false));
    dialog.ControlAs<QPlainTextEdit>(D::kSampleEdit)->setPlainText("");
    Click(D::kGenerateButton);
    QVERIFY(messages_.isEmpty() && bar->maximum() > 0);  // 0..0 would be the busy animation
  }

  void failedRangeCheckWarnsFocusesAndGenerateGoesOn() {
    const int w = D::kWidthBox, h = D::kHeightBox, f = D::kFaceNameBox;
    const QString face(128, 'x');  // rows: box, value, bounds named in the message ("" if none)
    const std::tuple<int, QString, QString> cases[] = {{w, "3", "4 128"},      {w, "4", ""},
                                                       {h, "0", ""},           {h, "129", "0 128"},
                                                       {f, face + 'x', "128"}, {f, face, ""}};
    for (const auto& [box, value, bounds] : cases) {
      D& dialog = Open();
      dialog.ControlAs<QLineEdit>(box)->setText(value);  // read-only: as if measured so
      Click(D::kGenerateButton);
      QCOMPARE(messages_.size(), bounds.isEmpty() ? 0 : 1);
      for (const QString& bound : bounds.split(' ', Qt::SkipEmptyParts))
        QVERIFY2(messages_[0].contains(bound), qPrintable(messages_[0]));
      if (!bounds.isEmpty()) QCOMPARE(dialog.focusWidget(), dialog.Control(box));
      QVERIFY(!Text(D::kPreviewBox).isEmpty());  // Generate ran all the same
      if (box == D::kWidthBox) QCOMPARE(dialog.Settings().width, value.toUInt());
    }
  }

  void fontChooserReplacesAndMeasuresOrChangesNothing() {
    D& dialog = Open();
    QStringList offered;
    std::optional<QFont> answer = QFont("Unifont");
    answer->setPointSizeF(32 * 72.0 / dialog.logicalDpiY());  // 32 pixels at the window's dpi
    answer->setWeight(QFont::DemiBold);                       // 600 and up count as bold
    dialog.SetFontChooser([&](const QFont& initial) {
      offered << QString("%1 %2").arg(initial.family()).arg(initial.pixelSize());
      return answer;
    });
    Click(D::kFontButton);
    QCOMPARE(dialog.Control(D::kSampleEdit)->font().pixelSize(), 32);
    Click(D::kGenerateButton);
    const QString before = Text(D::kFaceNameBox) + " " + Shown();
    QCOMPARE(before, "Unifont " + Core({u"Unifont", "", 32, 700}, Text(D::kSampleEdit), true));
    answer.reset();  // Cancel, then a font that cannot be opened: nothing changes either time
    Click(D::kFontButton);
    answer = QFont("No Such Face 1234");
    Click(D::kFontButton);
    QCOMPARE(Text(D::kFaceNameBox) + " " + Shown(), before);
    QVERIFY(messages_.size() == 1 && messages_[0].contains("No Such Face 1234"));
    QCOMPARE(offered, QStringList(3, kChinese ? "AR PL UMing CN 16" : "Unifont 16"));  // never 32
  }

  void exportWritesBothFilesThroughTheChooserOrNamesThem() {
    D& dialog = Open();
    QTemporaryDir folder;
    dialog.SetSaveFileChooser([&] {  // Generate has run by the time the chooser opens
      return Text(D::kFontDataBox).isEmpty() ? QString() : folder.filePath("song16.txt");
    });
    Click(D::kExportButton);
    QFile source(folder.filePath("song16.c"));
    QVERIFY(QFile::exists(folder.filePath("song16.h")) && source.open(QIODevice::ReadOnly));
    const auto& generator = dialog.GetGenerator();
    QVERIFY(
        source.readAll().contains(generator.GetCodePage().Encode(dialog.FontDataText()).c_str()));
    // A folder that is a file: the message names both files and the reason.
    QFile(folder.filePath("plain")).open(QIODevice::WriteOnly);
    dialog.SetSaveFileChooser([&] { return folder.filePath("plain/out.txt"); });
    Click(D::kExportButton);
    QCOMPARE(messages_.size(), 1);  // and none from the first
    for (const QString& part : {folder.filePath("plain/out.h"), folder.filePath("plain/out.c"),
                                QString("Not a directory")})
      QVERIFY2(messages_[0].contains(part), qPrintable(messages_[0]));
  }

  void aboutBoxFromButtonAndMenuWithLinkColoursThroughHoverAndClick() {
    D& dialog = Open();
    QAction* item = dialog.actions().value(0);  // string 101, with its access key
    QCOMPARE(item->text(), kChinese ? "关于字体产生工具(&A)..." : "About Kalvo(&A)...");
    QCOMPARE(dialog.contextMenuPolicy(), Qt::ActionsContextMenu);
    QStringList seen;  // what each About box showed and opened, in order
    const auto workAbout = [&] {
      auto* about = qobject_cast<pindot::AboutDialog*>(QApplication::activeModalWidget());
      if (!about) return;  // none opened, so no nested loop waits
      if (!QTest::qWaitForWindowExposed(about)) qFatal("the About box was never shown");
      dialog.move(2000, 0);  // a window under the box would take the pointer's moves
      QTest::mouseMove(about, QPoint(1, 1));  // the offscreen pointer makes enter and leave
      seen << about->windowTitle() << about->OkButton()->text();
      for (QLabel* label : about->findChildren<QLabel*>()) seen << label->text();
      for (pindot::LinkLabel* link : {about->WebsiteLink(), about->MailLink()}) {
        link->SetUrlOpener([&](const QUrl& url) { return seen << url.toString(), false; });
        const auto colour = [&] { seen << link->palette().color(QPalette::WindowText).name(); };
        const bool looksLinked =
            link->font().underline() && link->cursor().shape() == Qt::PointingHandCursor;
        seen << link->toolTip() << (looksLinked ? "underlined, hand" : "plain");
        colour();
        QTest::mouseMove(link);  // to its middle
        colour();
        QTest::mousePress(link, Qt::LeftButton);  // released outside: no click
        QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(link->width() / 2, link->height()));
        QTest::mouseMove(link);
        QTest::mouseClick(link, Qt::LeftButton);
        colour();  // visited beats hovered, and outlasts it
        QTest::mouseMove(about, QPoint(1, 1));
        colour();
      }
      about->close();
    };
    QTimer::singleShot(0, workAbout);
    Click(D::kAboutButton);
    QTimer::singleShot(0, workAbout);
    item->trigger();  // a second box starts with its links unvisited
    // A bare e-mail address goes to the mail program; the opener failing still makes it visited.
    const QString link = "|%1|underlined, hand|#ff0000|#0000ff|%2|#000d00|#000d00";
    const QString once =
        QString("关于 Skarra|确定|Pindot 1.0|") +
        (kChinese ? "版权所有 (C) 2026 Pindot 作者|访问我们的网站|和我们联系"
                  : "Copyright (C) 2026 The Pindot authors|Visit out website|Contact with us") +
        link.arg("https://pindot.dev", "https://pindot.dev") +
        link.arg("hello@pindot.dev", "mailto:hello@pindot.dev");
    QCOMPARE(seen.join('|'), once + '|' + once);
    // A user name in a web address does not make it an e-mail address.
    QCOMPARE(pindot::LinkLabel::UrlForTarget("https://me@pindot.dev/x").scheme(), "https");
  }
};

QTEST_MAIN(GeneratorDialogTest)
#include "generator_dialog_test.moc"
