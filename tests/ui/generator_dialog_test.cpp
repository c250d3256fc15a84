// The window and its About box worked through their real controls, against the core run alone.
#include <QTest>
#include <QtWidgets>
#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>

#include "font/font_metrics.h"
#include "glyph_preview.h"
#include "output/exporter.h"
#include "output/font_data_text.h"
#include "test_fonts.h"
#include "ui/about_dialog.h"
#include "ui/characters_dialog.h"
#include "ui/font_chooser_dialog.h"
#include "ui/generator_dialog.h"
#include "ui/glyph_grid_window.h"
#include "ui/options_dialog.h"
#include "ui/qfont_conversion.h"
#include "ui/qt_text.h"
#include "ui/qt_translations.h"
#include "ui/text_view.h"

using Dialog = pindot::GeneratorDialog;

namespace {

const bool kChinese = pindot::LanguageFromEnvironment() == pindot::Language::kChinese;

// The face name, width and height, then both outputs, of the pipeline run alone; lines ended as a
// text box ends them.
QString Core(const pindot::FontRequest& font, const QString& sample, bool byUnicode) {
  const pindot::PipelineResult run = pindot::testing::RunTestFont(
      font, pindot::ToU16String(sample), pindot::DefaultCodePageNumber(), byUnicode);
  const pindot::GeneratorSettings& settings = run.generator->Settings();
  pindot::NoProgress progress;
  const std::u16string texts = pindot::testing::GlyphPreviewText(*run.generator) + u"\f" +
                               pindot::BuildFontDataText(*run.generator, progress);
  return pindot::ToQString(settings.faceName) +
         QString(" %1 %2\f").arg(settings.width).arg(settings.height) +
         pindot::ToQString(texts).replace("\r\n", "\n");
}

}  // namespace

class GeneratorDialogTest : public QObject {
  Q_OBJECT
  std::unique_ptr<Dialog> dialog_;
  QStringList messages_;

  Dialog& Open() {
    dialog_ = std::make_unique<Dialog>();
    messages_.clear();
    dialog_->SetMessageShower([this](const QString& message) { messages_ << message; });
    dialog_->show();
    if (!QTest::qWaitForWindowExposed(dialog_.get())) qFatal("the window was never shown");
    return *dialog_;
  }
  QString Text(int id) {  // unit for unit: toPlainText() would make a no-break space a space
    if (auto* line = dialog_->ControlAs<QLineEdit>(id)) return line->text();
    if (auto* view = dialog_->ControlAs<pindot::TextView>(id))
      return view->Text().replace("\r\n", "\n");
    return dialog_->ControlAs<QPlainTextEdit>(id)->document()->toRawText().replace(
        QChar::ParagraphSeparator, '\n');
  }
  QString Shown() {  // as Core() gives it
    return Text(Dialog::kFaceNameBox) + " " + Text(Dialog::kWidthBox) + " " +
           Text(Dialog::kHeightBox) + '\f' + Text(Dialog::kPreviewBox) + '\f' +
           Text(Dialog::kFontDataBox);
  }
  void Click(int id) { QTest::mouseClick(dialog_->Control(id), Qt::LeftButton); }
  void SetSample(const QString& text) {
    dialog_->ControlAs<QPlainTextEdit>(Dialog::kSampleEdit)->setPlainText(text);
  }
  QString Message(pindot::StringId id) {
    return pindot::ToQString(pindot::LoadString(dialog_->UiLanguage(), id));
  }
  QString LossHeading() {  // the first line of the message that sums up what was lost
    return Message(pindot::StringId::kLossSummaryHeading);
  }

  static void ClickOk(QDialog& box) {
    QTest::mouseClick(box.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                      Qt::LeftButton);
  }
  // Characters... with a character set or a range; what the dialog then says, if it stayed open.
  QString AddCharacters(bool characterSet, const QString& name) {
    QString said;
    WithModal<pindot::CharactersDialog>(
        [&] { dialog_->MenuAction("characters")->trigger(); },
        [&](pindot::CharactersDialog& chooser) {
          (characterSet ? chooser.CharacterSetButton() : chooser.RangeButton())->setChecked(true);
          if (characterSet)
            chooser.CharacterSetBox()->setCurrentText(name);
          else
            chooser.RangeBox()->setText(name);
          ClickOk(chooser);
          if (chooser.isVisible()) said = chooser.ErrorLabel()->text();
        });
    return said;
  }

  // Runs `work` on the modal dialog `open` shows once it is up, then closes it.
  template <typename Box = pindot::AboutDialog, typename Work>
  void WithModal(const std::function<void()>& open, const Work& work) {
    QTimer::singleShot(0, [&] {
      auto* about = qobject_cast<Box*>(QApplication::activeModalWidget());
      if (!about) return;  // none opened, so no nested loop waits
      if (!QTest::qWaitForWindowExposed(about)) qFatal("the dialog was never shown");
      dialog_->move(2000, 0);  // a window under the box would take the pointer's moves
      QTest::mouseMove(about, QPoint(1, 1));  // the offscreen pointer makes enter and leave
      work(*about);
      about->close();
    });
    open();
  }

 private slots:
  void initTestCase() { pindot::InstallQtTranslations(*qApp, pindot::LanguageFromEnvironment()); }
  void init() { pindot::SaveWindowOptions({}); }  // each test starts on the defaults
  void cleanup() { dialog_.reset(); }  // a window left open would take the pointer's moves

  // The window, and Qt's own buttons and choosers, speak the user's language.
  void startUpShowsTheDefaultsInTheUsersLanguage() {
    Dialog& dialog = Open();
    QStringList shown{dialog.windowTitle(), Text(Dialog::kSampleEdit), Text(Dialog::kFaceNameBox),
                      QFontInfo(dialog.Control(Dialog::kSampleEdit)->font()).family()};
    for (int id : {Dialog::kSizeGroup, Dialog::kSortGroup, Dialog::kWidthLabel,
                   Dialog::kHeightLabel, Dialog::kSortByUnicodeButton, Dialog::kSortByAnsiButton,
                   Dialog::kFontButton, Dialog::kAboutButton, Dialog::kGenerateButton,
                   Dialog::kExitButton, Dialog::kExportButton}) {
      QWidget* control = dialog.Control(id);
      shown << control->property(qobject_cast<QGroupBox*>(control) ? "title" : "text").toString();
    }
    QMessageBox box(QMessageBox::Warning, "", "", QMessageBox::Save | QMessageBox::Cancel);
    QFileDialog chooser(nullptr, "", "", "");
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    shown << box.button(QMessageBox::Save)->text() << box.button(QMessageBox::Cancel)->text();
    for (QLabel* label : chooser.findChildren<QLabel*>()) shown << label->text();
    QCOMPARE(shown.join('|'),
             kChinese ? "Dot matrix font generator|中国人|宋体|AR PL UMing CN|大小|排序|"
                        "宽度|高度|按Unicode排序|按ANSI排序|字体...|关于|产生|退出|导出...|"
                        "保存|取消|查找范围：|文件名称(&N)：|文件类型："
                      : "Dot matrix font generator|0123456789abcd|Fixedsys|Unifont|Size|Sort|"
                        "Width|Height|Sort by Unicode|Sort by ANSI|Font...|About|Generate|Exit|"
                        "Export...|Save|Cancel|Look in:|File &name:|Files of type:");
    QVERIFY(dialog.ControlAs<QRadioButton>(Dialog::kSortByUnicodeButton)->isChecked());
    QVERIFY(!dialog.windowIcon().isNull());
    QCOMPARE(Shown(), Core(pindot::DefaultFontRequest(dialog.UiLanguage()), "", true));  // "中"
    // The "11" pictures need one width for every character, and no wrapping.
    for (int id : {Dialog::kPreviewBox, Dialog::kFontDataBox}) {
      const QFontMetrics metrics(dialog.Control(id)->font());
      QCOMPARE(metrics.horizontalAdvance("1 0x,{}f"), metrics.horizontalAdvance("00000000"));
    }
  }

  void generateFillsBothBoxesWithWhatTheCoreMakesInTheChosenOrder() {
    Dialog& dialog = Open();
    QWidget* sampleBox = dialog.Control(Dialog::kSampleEdit);
    sampleBox->setFocus();  // Return in any box presses Generate, the sample box's too
    QTest::keyClick(sampleBox, Qt::Key_Return);
    QCOMPARE(Shown(), Core(dialog.CurrentFont(), Text(Dialog::kSampleEdit), true));
    auto* bar = dialog.ControlAs<QProgressBar>(Dialog::kProgressBar);
    QCOMPARE(bar->value(), bar->maximum());
    QVERIFY(bar->maximum() > 0);
    // Orders differ: 啊 U+554A = 0xB0A1 and 一 U+4E00 = 0xD2BB; € U+20AC = 0x80 and ÿ U+00FF.
    const QString sample = pindot::DefaultCodePageNumber() == 936 ? "啊一" : "€ÿ";
    // A line break in the box is CR LF to the generator; a no-break space stays itself.
    SetSample(sample + "ab\ncd\u00a0e");
    for (bool byUnicode : {false, true}) {
      Click(byUnicode ? Dialog::kSortByUnicodeButton : Dialog::kSortByAnsiButton);
      Click(Dialog::kGenerateButton);
      QCOMPARE(Shown(), Core(dialog.CurrentFont(), sample + "ab\r\ncd\u00a0e", byUnicode));
    }
    QVERIFY(Core(dialog.CurrentFont(), sample, true) != Core(dialog.CurrentFont(), sample, false));
    // Nothing lost in these runs: only why the line break is an entry is said, after each.
    QCOMPARE(messages_, QStringList(2, Message(pindot::StringId::kSampleLineBreaksNote)));
    SetSample("");
    Click(Dialog::kGenerateButton);
    QCOMPARE(messages_.size(), 2);
    QVERIFY(bar->maximum() > 0);  // 0..0 would be the busy animation
  }

  // U+0E01 and U+0E02 (Thai) are in neither code page 1252 nor 936: sorted by ANSI codes both get
  // the space's, and the second is left out. One message sums it up; the results stay shown. (When
  // nothing is lost nothing is said: see the Generate test.)
  void lostCharactersAreSummedUpInOneMessage() {
    Open();
    SetSample("a\u0e01\u0e02");
    Click(Dialog::kSortByAnsiButton);
    Click(Dialog::kGenerateButton);
    QCOMPARE(messages_.size(), 1);
    QVERIFY2(messages_[0].startsWith(LossHeading() + "\n"), qPrintable(messages_[0]));
    // The wide or thin table (by the face's widths) leaves out one character: U+0E02.
    const QString leftOut = kChinese ? "略去了 1 个字符" : "leaves out 1 character whose";
    QVERIFY2(messages_[0].contains(leftOut), qPrintable(messages_[0]));
    QVERIFY2(messages_[0].contains("U+0E02"), qPrintable(messages_[0]));
    QVERIFY(!Text(Dialog::kFontDataBox).isEmpty());
  }

  void aFailedRangeCheckWarnsButGenerateStillRuns() {
    const int w = Dialog::kWidthBox, h = Dialog::kHeightBox, f = Dialog::kFaceNameBox;
    const QString face(128, 'x');  // rows: box, value, bounds named in the message ("" if none)
    const std::tuple<int, QString, QString> cases[] = {{w, "3", "4 128"},      {w, "4", ""},
                                                       {h, "0", ""},           {h, "129", "0 128"},
                                                       {f, face + 'x', "128"}, {f, face, ""}};
    for (const auto& [box, value, bounds] : cases) {
      Dialog& dialog = Open();
      dialog.ControlAs<QLineEdit>(box)->setText(value);  // read-only: as if measured so
      Click(Dialog::kGenerateButton);
      // Only the range check speaks here; a narrow width may also cut glyphs, summed up apart.
      messages_.removeIf([&](const QString& message) { return message.startsWith(LossHeading()); });
      QCOMPARE(messages_.size(), bounds.isEmpty() ? 0 : 1);
      for (const QString& bound : bounds.split(' ', Qt::SkipEmptyParts))
        QVERIFY2(messages_[0].contains(bound), qPrintable(messages_[0]));
      if (!bounds.isEmpty()) QCOMPARE(dialog.focusWidget(), dialog.Control(box));
      QVERIFY(!Text(Dialog::kPreviewBox).isEmpty());  // Generate ran all the same
      if (box != Dialog::kFaceNameBox) {              // the run drew with the value the box held
        QCOMPARE(box == Dialog::kWidthBox ? dialog.Settings().width : dialog.Settings().height,
                 value.toUInt());
      }
    }
  }

  // A chosen font is measured and drawn; the chooser opens on the default again, never on the last
  // answer. Cancel, or a font that cannot be had (said in a message), changes nothing.
  void aChosenFontIsMeasuredAndShownAndCancelChangesNothing() {
    Dialog& dialog = Open();
    QStringList offered;
    // Unifont at 32 pixels (at the window's dpi), weight 600, which is bold.
    std::optional<QFont> answer = QFont("Unifont");
    answer->setPointSizeF(32 * 72.0 / dialog.logicalDpiY());
    answer->setWeight(QFont::DemiBold);
    dialog.SetFontChooser([&](const QFont& initial) {
      offered << QString("%1 %2").arg(initial.family()).arg(initial.pixelSize());
      return answer;
    });
    Click(Dialog::kFontButton);
    QCOMPARE(dialog.Control(Dialog::kSampleEdit)->font().pixelSize(), 32);
    Click(Dialog::kGenerateButton);
    pindot::FontRequest chosen{u"Unifont", "", 16, 700};
    chosen.emHeight = 32;
    const QString shown = Shown();
    QCOMPARE(shown, Core(chosen, Text(Dialog::kSampleEdit), true));
    answer.reset();  // Cancel
    Click(Dialog::kFontButton);
    QCOMPARE(offered, QStringList(2, kChinese ? "AR PL UMing CN 16" : "Unifont 16"));
    answer = QFont("No Such Face 1234");
    Click(Dialog::kFontButton);
    QCOMPARE(Shown(), shown);
    QCOMPARE(messages_.size(), 1);
    QVERIFY2(messages_[0].contains("No Such Face 1234"), qPrintable(messages_[0]));
  }

  // The chooser offers bold and italic for a face that has neither (AR PL UMing has one style): the
  // generator makes them as the command line does. Each size shows its pixels, the em drawn.
  void theChooserOffersEveryStyleOfEveryFace() {
    Dialog& dialog = Open();
    const long pixels = std::lround(18 * dialog.logicalDpiY() / 72.0);
    QStringList offered;
    WithModal<pindot::FontChooserDialog>(
        [&] { Click(Dialog::kFontButton); },
        [&](pindot::FontChooserDialog& chooser) {
          auto* families = chooser.findChild<QListWidget*>("families");
          auto* styles = chooser.findChild<QListWidget*>("styles");
          auto* sizes = chooser.findChild<QListWidget*>("sizes");
          families->setCurrentItem(families->findItems("AR PL UMing CN", Qt::MatchExactly)[0]);
          offered << QString::number(styles->count());
          styles->setCurrentRow(3);  // bold italic
          sizes->setCurrentItem(sizes->findItems("18 ", Qt::MatchStartsWith)[0]);
          offered << sizes->currentItem()->text();
          ClickOk(chooser);
        });
    QCOMPARE(offered, QStringList({"4", QString("18  (%1 px)").arg(pixels)}));
    Click(Dialog::kGenerateButton);
    pindot::FontRequest chosen{u"AR PL UMing CN", "", 16, 700, true};
    chosen.emHeight = static_cast<int>(pixels);
    QCOMPARE(Shown(), Core(chosen, Text(Dialog::kSampleEdit), true));
    pindot::FontRequest regular = chosen;
    regular.weight = 400;
    regular.italic = false;
    QVERIFY(Shown() != Core(regular, Text(Dialog::kSampleEdit), true));
  }

  // Both files are asked about before either is replaced; a name the source could not #include
  // is refused before anything is asked; one message names both files that cannot be written, and
  // why. The chooser opens where the last export went.
  void exportAsksBeforeReplacingAndRefusesWhatItCannotWrite() {
    Dialog& dialog = Open();
    QTemporaryDir folder;
    QStringList folders, questions;
    QString typed = folder.filePath("song16.txt");
    bool answer = false;
    dialog.SetSaveFileChooser([&](const QString& from) { return folders << from, typed; });
    dialog.SetQuestionAsker([&](const QString& question) { return questions << question, answer; });
    const QString header = folder.filePath("song16.h"), source = folder.filePath("song16.c");
    const auto contents = [](const QString& path) {
      QFile file(path);
      return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("none");
    };
    QFile edited(source);  // a user's edited source, and no header yet
    QVERIFY(edited.open(QIODevice::WriteOnly) && edited.write("edited") == 6);
    edited.close();
    Click(Dialog::kExportButton);  // No: nothing written
    QCOMPARE(contents(header) + contents(source), "noneedited");
    QCOMPARE(questions, QStringList{Message(pindot::StringId::kReplaceFilesQuestion).arg(source)});
    answer = true;
    Click(Dialog::kExportButton);  // Yes: both written
    QVERIFY(contents(source).contains("EX_FONT_CHAR") && contents(header) != "none");
    Click(Dialog::kExportButton);  // both exist now: both named
    QCOMPARE(questions.last(),
             Message(pindot::StringId::kReplaceFilesQuestion).arg(header + "\n" + source));
    for (const QString name : {"q\"x.txt", "q\\x.txt"}) {  // refused before anything is asked
      typed = folder.filePath(name);
      Click(Dialog::kExportButton);
      QVERIFY2(messages_.size() == 1 && messages_[0].contains("#include"), qPrintable(name));
      messages_.clear();
    }
    QCOMPARE(questions.size(), 3);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files).join(' '), "song16.c song16.h");
    QCOMPARE(folders,
             QStringList({"", folder.path(), folder.path(), folder.path(), folder.path()}));
    typed = folder.filePath("song16.c/out.txt");  // a file where a folder should be
    Click(Dialog::kExportButton);
    QCOMPARE(messages_.size(), 1);
    for (const QString& part :
         {folder.filePath("song16.c/out.h"), folder.filePath("song16.c/out.c"),
          QString::fromStdString(std::strerror(ENOTDIR))})
      QVERIFY2(messages_[0].contains(part), qPrintable(messages_[0]));
  }

  // The sample box's keys are a Windows dialog's: Return presses Generate and Tab moves on, while
  // Ctrl+Return and Ctrl+Tab type a line break and a tab, which are then named after Generate. A
  // sample is read unit for unit: U+2028 and U+2029 are characters, not line breaks, whether typed
  // or pasted; the entries are those the command line makes of the same units.
  void sampleBoxKeysAreThoseOfADialog() {
    Dialog& dialog = Open();
    SetSample("");
    auto* sample = dialog.ControlAs<QPlainTextEdit>(Dialog::kSampleEdit);
    sample->setFocus();
    for (const QString& key : {QString("x"), QString(QChar::ParagraphSeparator), QString("y")}) {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, key);
      QApplication::sendEvent(sample, &press);
    }
    QTest::keyClick(sample, Qt::Key_Return);
    QCOMPARE(Text(Dialog::kPreviewBox),
             Core(dialog.CurrentFont(), QString::fromUtf16(u"x\u2029y"), true).section('\f', 1, 1));
    QTest::keyClick(sample, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClick(sample, Qt::Key_Tab, Qt::ControlModifier);
    QTest::keyClick(sample, Qt::Key_Enter);  // the keypad's
    QCOMPARE(dialog.SampleText(), u"x\u2029y\r\n\t");
    QVERIFY2(!messages_.isEmpty() &&
                 messages_.last().endsWith(Message(pindot::StringId::kSampleLineBreaksAndTabsNote)),
             qPrintable(messages_.join('|')));
    QTest::keyClick(sample, Qt::Key_Tab);
    QCOMPARE(dialog.focusWidget(), dialog.Control(Dialog::kFontButton));
    QCOMPARE(dialog.SampleText(), u"x\u2029y\r\n\t");
    sample->clear();
    QGuiApplication::clipboard()->setText(QString::fromUtf16(u"a\u2028b\u2029c\nd"));
    sample->paste();
    QCOMPARE(dialog.SampleText(), u"a\u2028b\u2029c\r\nd");
    Click(Dialog::kGenerateButton);
    QCOMPARE(pindot::ToQString(dialog.FontDataText()).replace("\r\n", "\n"),
             Core(dialog.CurrentFont(), QString::fromUtf16(u"a\u2028b\u2029c\r\nd"), true)
                 .section('\f', 2));
    QVERIFY(dialog.FontDataText().find(u"EX_FONT_UNICODE_VAL(0x2029)") != std::u16string::npos);
  }

  // Each output box gives what it shows: Select All and Copy the whole text with its CR LF line
  // ends, keys and the mouse a part of it.
  void outputBoxesCopyWhatTheyShow() {
    Dialog& dialog = Open();
    SetSample("a\u4e2d");
    Click(Dialog::kGenerateButton);
    pindot::NoProgress progress;
    const QString texts[] = {
        pindot::ToQString(pindot::testing::GlyphPreviewText(dialog.GetGenerator())),
        pindot::ToQString(pindot::BuildFontDataText(dialog.GetGenerator(), progress))};
    QClipboard* clipboard = QGuiApplication::clipboard();
    for (const auto& [id, text] :
         {std::pair(Dialog::kPreviewBox, texts[0]), std::pair(Dialog::kFontDataBox, texts[1])}) {
      auto* box = dialog.ControlAs<pindot::TextView>(id);
      const auto copied = [&] {
        clipboard->clear();
        QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
        return clipboard->text();
      };
      box->setFocus();
      QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
      QCOMPARE(copied(), text);
      QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);  // after the last CR LF
      QTest::keyClick(box, Qt::Key_Up, Qt::ShiftModifier);
      QTest::keyClick(box, Qt::Key_Up, Qt::ShiftModifier);
      QTest::keyClick(box, Qt::Key_Right, Qt::ShiftModifier);
      QCOMPARE(copied(), text.section("\r\n", -3).mid(1));
      // Dragged from the start of the second line to the start of the fourth, seen from the top.
      QTest::keyClick(box, Qt::Key_Home, Qt::ControlModifier);
      const int line = QFontMetrics(box->font()).lineSpacing();
      QTest::mousePress(box->viewport(), Qt::LeftButton, {}, QPoint(0, line * 3 / 2 + 4));
      QTest::mouseMove(box->viewport(), QPoint(0, line * 7 / 2 + 4));
      QTest::mouseRelease(box->viewport(), Qt::LeftButton, {}, QPoint(0, line * 7 / 2 + 4));
      QCOMPARE(copied(), text.section("\r\n", 1, 2) + "\r\n");
    }
  }

  // Closing the window while Generate runs stops the run; meanwhile the window shows the busy
  // cursor and takes no clicks.
  void closingDuringGenerateStopsIt() {
    Dialog& dialog = Open();
    QString sample;
    for (char16_t unit = 0x4e00; unit <= 0x9fa5; ++unit) sample += QChar(unit);
    SetSample(sample);
    Qt::CursorShape busy = Qt::ArrowCursor;
    QTimer::singleShot(0, [&] {
      busy = QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : busy;
      Click(Dialog::kSortByAnsiButton);
      dialog.close();
    });
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!dialog.Generate());
    QVERIFY(timer.elapsed() < 5000);
    QCOMPARE(busy, Qt::WaitCursor);
    QVERIFY(!dialog.isVisible() && messages_.isEmpty() && Text(Dialog::kPreviewBox).isEmpty());
    QVERIFY(dialog.Settings().sortByUnicode);
    QVERIFY(!QApplication::overrideCursor());
  }

  // The About box, from its button or the menu item (string 101, with its access key), in the
  // user's language. Each link is red, blue while hovered, dark green once followed and still when
  // hovered again; a bare e-mail address goes to the mail program, and the opener failing still
  // makes it visited. Opened again, its links are unvisited, and a tip shows while the box is not
  // the active window.
  void theAboutBoxShowsItsTextsAndLinks() {
    Dialog& dialog = Open();
    QAction* item = dialog.actions().value(0);
    QCOMPARE(item->text(), kChinese ? "关于字体产生工具(&A)..." : "About Kalvo(&A)...");
    QCOMPARE(dialog.contextMenuPolicy(), Qt::ActionsContextMenu);
    QStringList shown, seen;  // the box's caption, button and labels; what each link shows and does
    WithModal([&] { Click(Dialog::kAboutButton); },
              [&](pindot::AboutDialog& about) {
                shown << about.windowTitle() << about.OkButton()->text();
                for (QLabel* label : about.findChildren<QLabel*>()) shown << label->text();
                for (pindot::LinkLabel* link : {about.WebsiteLink(), about.MailLink()}) {
                  QStringList one{link->toolTip()};
                  link->SetUrlOpener([&](const QUrl& url) { return one << url.toString(), false; });
                  const auto colour = [&] {
                    one << link->palette().color(QPalette::WindowText).name();
                  };
                  colour();
                  QTest::mouseMove(link);  // to its middle
                  colour();
                  QTest::mousePress(link, Qt::LeftButton);  // released outside: no click
                  QTest::mouseRelease(link, Qt::LeftButton, {},
                                      QPoint(link->width() / 2, link->height()));
                  QTest::mouseMove(link);
                  QTest::mouseClick(link, Qt::LeftButton);
                  colour();  // visited beats hovered, and outlasts it
                  QTest::mouseMove(&about, QPoint(1, 1));
                  colour();
                  one << (link->font().underline() ? "underlined" : "plain")
                      << (link->cursor().shape() == Qt::PointingHandCursor ? "hand" : "arrow");
                  seen << one.join(' ');
                }
              });
    QCOMPARE(shown.join('|'),
             kChinese ? "关于 Skarra|确定|Pindot 1.0|版权所有 (C) 2026 Pindot 作者|访问我们的网站|"
                        "和我们联系"
                      : "关于 Skarra|确定|Pindot 1.0|Copyright (C) 2026 The Pindot authors|"
                        "Visit out website|Contact with us");
    QCOMPARE(seen, QStringList({"https://pindot.dev #ff0000 #0000ff https://pindot.dev #000d00 "
                                "#000d00 underlined hand",
                                "hello@pindot.dev #ff0000 #0000ff mailto:hello@pindot.dev #000d00 "
                                "#000d00 underlined hand"}));
    QString tip;
    WithModal([&] { item->trigger(); },
              [&](pindot::AboutDialog& about) {
                seen =
                    QStringList{about.WebsiteLink()->palette().color(QPalette::WindowText).name()};
                QWidget other;
                other.show();
                other.activateWindow();
                QApplication::setActiveWindow(&other);
                QVERIFY(!about.isActiveWindow());
                QTest::mouseMove(about.MailLink());  // the tip wakes up after the pointer rests
                QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible(), 3000);
                tip = QToolTip::text();
                QToolTip::hideText();
              });
    QCOMPARE(seen, QStringList{"#ff0000"});
    QCOMPARE(tip, "hello@pindot.dev");
    QCOMPARE(pindot::LinkLabel::UrlForTarget("https://me@pindot.dev/x").scheme(), "https");
  }

  // Characters..., Options... and Copy as Command together: the command copied makes, byte for
  // byte, the files the window's Export writes; the options outlast the window.
  void theCopiedCommandExportsWhatTheWindowExports() {
    Dialog& dialog = Open();
    const QString typed = "it's \"x\" \\\n";
    SetSample(typed);
    QVERIFY(AddCharacters(false, "0x2473-0x2460").contains("0x2473-0x2460"));  // reversed
    QCOMPARE(Text(Dialog::kSampleEdit), typed);
    QCOMPARE(AddCharacters(false, "0x2460-0x2473"), "");
    QCOMPARE(AddCharacters(true, "BIG5"), "");
    QVERIFY(dialog.SampleText().size() > 13000);
    WithModal<pindot::OptionsDialog>([&] { dialog.MenuAction("options")->trigger(); },
                                     [&](pindot::OptionsDialog& options) {
                                       options.findChild<QSpinBox*>("width")->setValue(20);
                                       options.findChild<QCheckBox*>("const")->setChecked(true);
                                       auto* codePages = options.findChild<QComboBox*>("codePage");
                                       codePages->setCurrentIndex(codePages->findData(950u));
                                       ClickOk(options);
                                     });
    QCOMPARE(Text(Dialog::kWidthBox), "20");
    Click(Dialog::kSortByAnsiButton);
    QTemporaryDir folder;
    dialog.SetSaveFileChooser([&](const QString&) { return folder.filePath("window/font.txt"); });
    Click(Dialog::kExportButton);
    dialog.MenuAction("command")->trigger();
    const QString command = QGuiApplication::clipboard()->text();
    QVERIFY2(command.size() < 300, qPrintable(command));  // the sets named, not spelled out
    QProcess pindot;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PATH", PINDOT_BIN_DIR ":" + environment.value("PATH"));
    pindot.setProcessEnvironment(environment);
    pindot.start("bash", {"-c", command + " -o " + folder.filePath("command/font.txt")});
    QVERIFY(pindot.waitForFinished(60000));
    QCOMPARE(pindot.exitCode(), 0);
    for (const char* name : {"font.h", "font.c"}) {
      QFile window(folder.filePath(QString("window/") + name));
      QFile copied(folder.filePath(QString("command/") + name));
      QVERIFY(window.open(QIODevice::ReadOnly) && copied.open(QIODevice::ReadOnly));
      QVERIFY2(window.readAll() == copied.readAll(), name);
    }
    messages_.clear();
    SetSample(QString(QChar(0xd800)));  // no UTF-8 for a lone half: said, not lost in silence
    dialog.MenuAction("command")->trigger();
    QCOMPARE(messages_.size(), 1);
    dialog_.reset();
    Dialog& again = Open();
    QCOMPARE(Text(Dialog::kWidthBox) +
                 QString(" %1 %2").arg(again.CodePageNumber()).arg(again.Options().constTables),
             "20 950 1");
  }

  // A font file opens from the menu and when dropped on the window, the sample box included; the
  // face box names its family, and its tooltip the file that draws (also for a Windows name).
  void aFontFileOpensFromTheMenuOrDropped() {
    const QString path = PINDOT_TEST_DIR "/fonts/grid8.bdf";
    const auto standIn = pindot::FontCanvas::Open(pindot::DefaultFontRequest(Open().UiLanguage()));
    for (const QString& named : {pindot::ToQString(standIn->ResolvedFamily()),
                                 QString::fromStdString(standIn->ResolvedPath())})
      QVERIFY(dialog_->Control(Dialog::kFaceNameBox)->toolTip().contains(named));
    for (int way : {0, 1, 2}) {  // menu, dropped on the sample box, dropped on the window
      Dialog& dialog = Open();
      QMimeData dropped;
      dropped.setUrls({QUrl::fromLocalFile(path)});
      QWidget* target =
          way == 1
              ? dialog.Control(Dialog::kSampleEdit)->findChild<QWidget*>("qt_scrollarea_viewport")
              : static_cast<QWidget*>(&dialog);
      if (way == 0) {
        dialog.SetFontFileChooser([&] { return path; });
        dialog.MenuAction("fontFile")->trigger();
      } else {
        QDragEnterEvent enter({5, 5}, Qt::CopyAction, &dropped, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, {});
        QApplication::sendEvent(target, &drop);
      }
      QVERIFY(dialog.Control(Dialog::kFaceNameBox)->toolTip().contains(path));
      Click(Dialog::kGenerateButton);
      QCOMPARE(Shown(),
               Core({u"Pindot Grid8", path.toStdString()}, Text(Dialog::kSampleEdit), true));
      QCOMPARE(Text(Dialog::kSampleEdit),
               pindot::ToQString(
                   pindot::LoadString(dialog.UiLanguage(), pindot::StringId::kDefaultSampleText)));
    }
  }

  // Glyph Grid: a click on an entry names it and shows the bytes its table holds, the line the
  // font data text has for it; at another zoom the same entry is found where it is drawn.
  void theGlyphGridNamesTheEntryClicked() {
    Dialog& dialog = Open();
    SetSample("a\u4e2d");
    Click(Dialog::kGenerateButton);
    dialog.MenuAction("glyphGrid")->trigger();
    auto* grid = dialog.findChild<pindot::GlyphGridWindow*>();
    QVERIFY(grid != nullptr && grid->isVisible());
    QStringList seen;
    for (int zoom : {1, 4}) {
      grid->ZoomBox()->setValue(zoom);
      const pindot::GlyphSheetPicture* picture = grid->View()->Picture();
      QPoint wideEntry;  // the first point of the picture that is the wide table's entry
      for (int y = 0; y < int(picture->Height()) && wideEntry.isNull(); ++y)
        for (int x = 0; x < int(picture->Width()) && wideEntry.isNull(); ++x)
          if (const auto hit = picture->CellAt(x, y); hit && hit->wide) wideEntry = {x, y};
      QTest::mouseClick(grid->View()->viewport(), Qt::LeftButton, {}, wideEntry);
      seen << grid->EntryBox()->toPlainText();
    }
    QCOMPARE(seen[0], seen[1]);
    QVERIFY2(seen[0].contains("U+4E2D") && seen[0].contains("0x4e2d"), qPrintable(seen[0]));
    QVERIFY2(pindot::ToQString(dialog.FontDataText()).contains(seen[0].section('\n', 1)),
             qPrintable(seen[0]));
  }

  // The window fits a screen of 800 x 600 (1600 x 1200 at twice the scale) and may grow: the boxes
  // take the room, the buttons keep their place by the corner, and nothing is cut or overlaps.
  void theBoxesGrowAndShrinkWithTheWindow() {
    Dialog& dialog = Open();
    QVERIFY(dialog.minimumWidth() <= 780 && dialog.minimumHeight() <= 550);
    const auto place = [&](int id) { return dialog.Control(id)->geometry(); };
    dialog.resize(dialog.size() + QSize(400, 300));  // larger than the template
    const QRect sample = place(Dialog::kSampleEdit), preview = place(Dialog::kPreviewBox),
                data = place(Dialog::kFontDataBox), exit = place(Dialog::kExitButton);
    dialog.resize(dialog.size() + QSize(200, 100));
    QCOMPARE(place(Dialog::kSampleEdit).size() - sample.size(), QSize(100, 50));
    QCOMPARE(place(Dialog::kPreviewBox).size() - preview.size(), QSize(100, 100));
    QCOMPARE(place(Dialog::kFontDataBox).size() - data.size(), QSize(100, 50));
    QCOMPARE(place(Dialog::kExitButton).topLeft() - exit.topLeft(), QPoint(200, 100));
    dialog.resize(dialog.minimumSize());
    for (QWidget* control : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      QVERIFY(dialog.rect().contains(control->geometry()));
    for (auto [one, other] : {std::pair{Dialog::kSampleEdit, Dialog::kPreviewBox},
                              {Dialog::kFontDataBox, Dialog::kSizeGroup},
                              {Dialog::kFontDataBox, Dialog::kAboutButton},
                              {Dialog::kSampleEdit, Dialog::kFontDataBox}})
      QVERIFY(!place(one).intersects(place(other)));
  }
};

QTEST_MAIN(GeneratorDialogTest)
#include "generator_dialog_test.moc"
