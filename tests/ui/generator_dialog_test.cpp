// The window and its About box worked through their real controls, against the core run alone.
#include <QTest>
#include <QtWidgets>
#include <memory>

#include "font/font_canvas.h"
#include "font/font_metrics.h"
#include "ui/about_dialog.h"
#include "ui/generator_dialog.h"
#include "ui/progress_bar_indicator.h"
#include "ui/qt_text.h"

using D = pindot::GeneratorDialog;

namespace {

const bool kChinese = pindot::LanguageFromEnvironment() == pindot::Language::kChinese;

// Both outputs of the core on its own, lines ended as a text box ends them.
QString Core(const pindot::FontSpec& font, const QString& sample, bool byUnicode) {
  pindot::Generator generator{pindot::CodePage(pindot::DefaultCodePageNumber())};
  const auto canvas = pindot::FontCanvas::Open(font);
  pindot::MeasureFont(*canvas, font, generator.Settings());
  generator.Settings().sortByUnicode = byUnicode;
  pindot::NoProgress progress;
  generator.Generate(pindot::ToU16String(sample), *canvas, progress);
  return pindot::ToQString(generator.GlyphPreviewText() + u"\f" + generator.FontDataText())
      .replace("\r\n", "\n");
}

QString Measured(const pindot::FontSpec& font) {
  pindot::GeneratorSettings measured;
  pindot::MeasureFont(*pindot::FontCanvas::Open(font), font, measured);
  return QString("%1 %2").arg(measured.width).arg(measured.height);
}

}  // namespace

class GeneratorDialogTest : public QObject {
  Q_OBJECT
  std::unique_ptr<D> dialog_;
  QStringList messages_;
  std::unique_ptr<pindot::AboutDialog> about_;
  QList<QUrl> opened_;

  D& Open() {
    dialog_ = std::make_unique<D>();
    messages_.clear();
    dialog_->SetMessageShower([this](const QString& message) { messages_ << message; });
    dialog_->show();
    if (!QTest::qWaitForWindowExposed(dialog_.get())) qFatal("the window was never shown");
    return *dialog_;
  }
  // What a box holds, unit for unit (toPlainText() would turn a no-break space into a space).
  QString Text(int id) {
    if (auto* line = dialog_->ControlAs<QLineEdit>(id)) return line->text();
    return dialog_->ControlAs<QPlainTextEdit>(id)->document()->toRawText().replace(
        QChar::ParagraphSeparator, '\n');
  }
  QString Outputs() { return Text(D::kPreviewBox) + '\f' + Text(D::kFontDataBox); }
  QString Sizes() { return Text(D::kWidthBox) + " " + Text(D::kHeightBox); }
  void Click(int id) { QTest::mouseClick(dialog_->Control(id), Qt::LeftButton); }

 private slots:
  void cleanup() { dialog_.reset(); }  // a window left open would take the pointer's moves
  void startUpShowsTheDefaultsInTheUsersLanguage() {
    D& dialog = Open();
    QStringList shown{dialog.windowTitle(), Text(D::kSampleEdit), Text(D::kFaceNameBox)};
    for (int id : {D::kSizeGroup, D::kSortGroup, D::kWidthLabel, D::kHeightLabel,
                   D::kSortByUnicodeButton, D::kSortByAnsiButton, D::kFontButton, D::kAboutButton,
                   D::kGenerateButton, D::kExitButton, D::kExportButton}) {
      QWidget* control = dialog.Control(id);
      shown << control->property(qobject_cast<QGroupBox*>(control) ? "title" : "text").toString();
    }
    QCOMPARE(shown.join('|'),
             kChinese ? "Dot matrix font generator|中国人|宋体|大小|排序|宽度|高度|按Unicode排序|"
                        "按ANSI排序|字体...|关于|产生|退出|导出..."
                      : "Dot matrix font generator|0123456789abcd|Fixedsys|Size|Sort|Width|Height|"
                        "Sort by Unicode|Sort by ANSI|Font...|About|Generate|Exit|Export...");
    QVERIFY(dialog.ControlAs<QRadioButton>(D::kSortByUnicodeButton)->isChecked() &&
            dialog.Settings().sortByUnicode && !dialog.windowIcon().isNull());
    // Width and height are the extent of "中" in the default font, drawn in the sample box too.
    QCOMPARE(Sizes(), Measured(pindot::DefaultFontSpec(dialog.UiLanguage())));
    QCOMPARE(QFontInfo(dialog.Control(D::kSampleEdit)->font()).family(),
             kChinese ? "AR PL UMing CN" : "Unifont");
    // The output pictures are "11" and blanks beside hexadecimal digits: all one width.
    for (int id : {D::kPreviewBox, D::kFontDataBox}) {
      auto* box = dialog.ControlAs<QPlainTextEdit>(id);
      const QFontMetrics metrics(box->font());
      QCOMPARE(metrics.horizontalAdvance("1 0x,{}f"), metrics.horizontalAdvance("00000000"));
      QCOMPARE(box->lineWrapMode(), QPlainTextEdit::NoWrap);
    }
  }

  void generateFillsBothBoxesWithWhatTheCoreMakes() {
    D& dialog = Open();
    // Return in any box presses the default button, Generate.
    dialog.Control(D::kWidthBox)->setFocus();
    QTest::keyClick(dialog.Control(D::kWidthBox), Qt::Key_Return);
    QCOMPARE(Outputs(), Core(dialog.Settings().font, Text(D::kSampleEdit), true));
    auto* bar = dialog.ControlAs<QProgressBar>(D::kProgressBar);
    QVERIFY(bar->value() == bar->maximum() && bar->maximum() > 0);
    // A line break in the box is CR LF to the generator; a no-break space stays itself.
    dialog.ControlAs<QPlainTextEdit>(D::kSampleEdit)->setPlainText("ab\ncd\u00a0e");
    Click(D::kGenerateButton);
    QCOMPARE(Outputs(), Core(dialog.Settings().font, "ab\r\ncd\u00a0e", true));
    QVERIFY(messages_.isEmpty());
  }

  void sortButtonsChooseTheKeyOfTheNextGenerate() {
    D& dialog = Open();
    // Unicode and ANSI order differ: 啊 U+554A = 0xB0A1 before 一 U+4E00 = 0xD2BB in code page
    // 936, € U+20AC = 0x80 before ÿ U+00FF = 0xFF in 1252.
    const QString sample = pindot::DefaultCodePageNumber() == 936 ? "啊一" : "€ÿ";
    dialog.ControlAs<QPlainTextEdit>(D::kSampleEdit)->setPlainText(sample);
    QStringList outputs;
    for (const auto& [button, byUnicode] :
         {std::pair{D::kSortByAnsiButton, false}, std::pair{D::kSortByUnicodeButton, true}}) {
      Click(button);
      Click(D::kGenerateButton);
      outputs << Outputs();
      QCOMPARE(outputs.back(), Core(dialog.Settings().font, sample, byUnicode));
    }
    QVERIFY(outputs[0] != outputs[1]);
  }

  void failedRangeCheckWarnsFocusesAndGenerateGoesOn() {
    // Box, value, and the bounds the message names in both languages (none when the check passes).
    const std::tuple<int, QString, QString> cases[] = {{D::kWidthBox, "3", "4 128"},
                                                       {D::kWidthBox, "4", ""},
                                                       {D::kHeightBox, "0", ""},
                                                       {D::kHeightBox, "129", "0 128"},
                                                       {D::kFaceNameBox, QString(129, 'x'), "128"},
                                                       {D::kFaceNameBox, QString(128, 'x'), ""}};
    for (const auto& [box, value, bounds] : cases) {
      D& dialog = Open();
      // The boxes are read-only to the user; a measured value out of range is put there directly.
      dialog.ControlAs<QLineEdit>(box)->setText(value);
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
    QList<QFont> offered;
    std::optional<QFont> answer = QFont("Unifont");
    answer->setPointSizeF(32 * 72.0 / dialog.logicalDpiY());  // 32 pixels at the window's dpi
    answer->setWeight(QFont::DemiBold);                       // 600 and up count as bold
    dialog.SetFontChooser([&](const QFont& initial) {
      offered << initial;
      return answer;
    });
    Click(D::kFontButton);
    const pindot::FontSpec chosen{u"Unifont", "", 32, 700};
    QCOMPARE(Text(D::kFaceNameBox) + " " + Sizes(), "Unifont " + Measured(chosen));
    QCOMPARE(dialog.Control(D::kSampleEdit)->font().pixelSize(), 32);
    Click(D::kGenerateButton);
    QCOMPARE(Outputs(), Core(chosen, Text(D::kSampleEdit), true));

    // Cancel, then a font that cannot be opened (said so): nothing changes either time.
    const QString before = Text(D::kFaceNameBox) + Sizes() + Outputs();
    answer.reset();
    Click(D::kFontButton);
    answer = QFont("No Such Face 1234");
    Click(D::kFontButton);
    QCOMPARE(Text(D::kFaceNameBox) + Sizes() + Outputs(), before);
    QVERIFY(messages_.size() == 1 && messages_[0].contains("No Such Face 1234"));
    // The chooser opened on the default face at 16 every time, never on the last choice.
    QCOMPARE(offered.size(), 3);
    for (const QFont& initial : offered)
      QCOMPARE(
          QString("%1 %2 %3").arg(initial.family()).arg(initial.pixelSize()).arg(initial.weight()),
          kChinese ? "AR PL UMing CN 16 400" : "Unifont 16 400");
  }

  void exportWritesBothFilesThroughTheChooserOrNamesThem() {
    D& dialog = Open();
    QTemporaryDir folder;
    // Generate has run by the time the chooser opens.
    dialog.SetSaveFileChooser([&] {
      return Text(D::kFontDataBox).isEmpty() ? QString() : folder.filePath("song16.txt");
    });
    Click(D::kExportButton);
    QFile header(folder.filePath("song16.h")), source(folder.filePath("song16.c"));
    QVERIFY(header.open(QIODevice::ReadOnly) && source.open(QIODevice::ReadOnly));
    QVERIFY(header.readAll().startsWith("#ifndef KV_SONG16_H\r\n#define KV_SONG16_H\r\n"));
    const QByteArray sourceBytes = source.readAll();
    const auto& generator = dialog.GetGenerator();
    QVERIFY(sourceBytes.startsWith("#include \"song16.h\"\r\n\r\n"));
    QVERIFY(sourceBytes.contains(generator.GetCodePage().Encode(generator.FontDataText()).c_str()));
    QVERIFY(messages_.isEmpty() && !QFile::exists(folder.filePath("song16.txt")));

    // A folder that is not there: the message names both files and the reason.
    dialog.SetSaveFileChooser([&] { return folder.filePath("none/out.txt"); });
    Click(D::kExportButton);
    QCOMPARE(messages_.size(), 1);
    for (const QString& part : {folder.filePath("none/out.h"), folder.filePath("none/out.c"),
                                QString("No such file or directory")})
      QVERIFY2(messages_[0].contains(part), qPrintable(messages_[0]));
  }

  void aboutOpensFromTheButtonAndTheWindowMenu() {
    D& dialog = Open();
    QStringList seen;
    const auto closeSoon = [&] {
      QTimer::singleShot(0, [&] {
        if (auto* about = qobject_cast<pindot::AboutDialog*>(QApplication::activeModalWidget())) {
          seen << about->windowTitle();
          about->close();
        }
      });
    };
    closeSoon();
    Click(D::kAboutButton);
    QAction* item = dialog.actions().value(0);  // string 101, with its access key
    QCOMPARE(item->text(), kChinese ? "关于字体产生工具(&A)..." : "About Kalvo(&A)...");
    QCOMPARE(dialog.contextMenuPolicy(), Qt::ActionsContextMenu);
    closeSoon();
    item->trigger();
    QCOMPARE(seen, QStringList({"关于 Skarra", "关于 Skarra"}));
  }

  void aboutBoxTextsAndLinkColoursThroughHoverAndClick() {
    const auto openAbout = [this] {
      about_ = std::make_unique<pindot::AboutDialog>(pindot::LanguageFromEnvironment());
      for (pindot::LinkLabel* link : {about_->WebsiteLink(), about_->MailLink()})
        link->SetUrlOpener([this](const QUrl& url) {
          opened_ << url;
          return false;
        });
      about_->show();
      if (!QTest::qWaitForWindowExposed(about_.get())) qFatal("the About box was never shown");
      QTest::mouseMove(about_.get(), QPoint(1, 1));  // the offscreen pointer makes enter and leave
      return about_.get();
    };
    const auto shown = [](QWidget* label) { return label->palette().color(QPalette::WindowText); };
    pindot::AboutDialog* about = openAbout();
    QStringList texts{about->windowTitle(), about->OkButton()->text(),
                      about->WebsiteLink()->toolTip(), about->MailLink()->toolTip()};
    for (QLabel* label : about->findChildren<QLabel*>()) texts << label->text();
    QCOMPARE(
        texts.join('|'),
        QString("关于 Skarra|确定|https://pindot.dev|hello@pindot.dev|Pindot 1.0|") +
            (kChinese ? "版权所有 (C) 2026 Pindot 作者|访问我们的网站|和我们联系"
                      : "Copyright (C) 2026 The Pindot authors|Visit out website|Contact with us"));
    // A bare e-mail address goes to the mail program; the opener failing still makes it visited.
    for (const auto& [link, url] :
         {std::pair{about->WebsiteLink(), QUrl("https://pindot.dev")},
          std::pair{about->MailLink(), QUrl("mailto:hello@pindot.dev")}}) {
      const QPoint middle = link->rect().center();
      QVERIFY(link->font().underline() && link->cursor().shape() == Qt::PointingHandCursor);
      QCOMPARE(shown(link), QColor(255, 0, 0));
      QTest::mouseMove(link, middle);
      QCOMPARE(shown(link), QColor(0, 0, 255));
      QTest::mousePress(link, Qt::LeftButton, {}, middle);  // released outside: no click
      QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(middle.x(), link->height()));
      QTest::mouseMove(link, middle);
      QTest::mouseClick(link, Qt::LeftButton, {}, middle);
      QCOMPARE(opened_.value(opened_.size() - 1), url);
      QCOMPARE(shown(link), QColor(0, 13, 0));  // visited beats hovered
      QTest::mouseMove(about, QPoint(1, 1));
      QCOMPARE(shown(link), QColor(0, 13, 0));  // and outlasts it
    }
    QCOMPARE(opened_.size(), 2);
    // A second opening shows the links unvisited.
    QCOMPARE(shown(openAbout()->WebsiteLink()), QColor(255, 0, 0));
    // A user name in a web address does not make it an e-mail address.
    QCOMPARE(pindot::LinkLabel::UrlForTarget("https://me@pindot.dev/x"),
             QUrl("https://me@pindot.dev/x"));
  }

  void progressBarNeverSpinsAndScalesLargeRanges() {
    QProgressBar bar;
    pindot::ProgressBarIndicator progress(bar);
    progress.SetRange(0);
    QCOMPARE(bar.maximum(), 1);  // 0..0 would be the endless busy animation
    progress.SetRange(3000000000u);
    progress.SetPosition(1500000000u);
    QCOMPARE(QPoint(bar.maximum(), bar.value()), QPoint(INT_MAX, INT_MAX / 2));  // scaled, not cut
  }
};

QTEST_MAIN(GeneratorDialogTest)
#include "generator_dialog_test.moc"
