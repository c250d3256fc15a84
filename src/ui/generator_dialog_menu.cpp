// The window's context menu: About, and what the command line can do besides the described
// dialog (character sets, font files, options, the command itself), each in a dialog of its own.
#include <QAction>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QRadioButton>

#include "base/user_error.h"
#include "font/face_losses.h"
#include "font/font_pipeline.h"
#include "ui/characters_dialog.h"
#include "ui/generator_dialog.h"
#include "ui/glyph_grid_window.h"
#include "ui/in_language.h"
#include "ui/options_dialog.h"
#include "ui/qt_text.h"
#include "ui/sample_edit.h"

namespace pindot {

namespace {

// The dropped item's path when it is one local file.
QString DroppedFile(const QMimeData* mime) {
  if (mime == nullptr || mime->urls().size() != 1 || !mime->urls().first().isLocalFile()) return {};
  return mime->urls().first().toLocalFile();
}

}  // namespace

void GeneratorDialog::CreateMenu() {
  // Qt reaches no window manager's system menu, so the About item of the system menu is offered
  // where the window's background is right-clicked.
  const QString aboutItem = ToQString(LoadString(language_, StringId::kAboutMenuItem));
  if (!aboutItem.isEmpty()) {
    auto* about = new QAction(aboutItem, this);
    connect(about, &QAction::triggered, this, &GeneratorDialog::ShowAboutBox);
    addAction(about);
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    addAction(separator);
  }
  const auto item = [this](const char* name, const char* english, const char* chinese,
                           void (GeneratorDialog::*command)()) {
    auto* action = new QAction(InLanguage(language_, english, chinese), this);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, command);
    addAction(action);
  };
  item("characters", "Add &Characters...", "添加字符(&C)...", &GeneratorDialog::AddCharacters);
  item("fontFile", "&Open Font File...", "打开字体文件(&O)...",
       qOverload<>(&GeneratorDialog::OpenFontFile));
  item("options", "O&ptions...", "选项(&P)...", &GeneratorDialog::ChooseOptions);
  item("command", "Copy as Co&mmand", "复制为命令(&M)", &GeneratorDialog::CopyCommandLine);
  item("glyphGrid", "&Glyph Grid...", "字形网格(&G)...", &GeneratorDialog::ShowGlyphGrid);
  setContextMenuPolicy(Qt::ActionsContextMenu);

  fontFileChooser_ = [this] {
    return QFileDialog::getOpenFileName(
        this, InLanguage(language_, "Open Font File", "打开字体文件"), QString(),
        InLanguage(language_, "Fonts", "字体") +
            QStringLiteral(" (*.ttf *.otf *.ttc *.otc *.woff *.bdf *.pcf *.pcf.gz);;") +
            InLanguage(language_, "All files", "所有文件") + QStringLiteral(" (*)"));
  };
  setAcceptDrops(true);
  sampleEdit_->viewport()->installEventFilter(this);
  ShowCodePage();
}

QAction* GeneratorDialog::MenuAction(const char* name) const {
  for (QAction* action : actions())
    if (action->objectName() == QLatin1String(name)) return action;
  return nullptr;
}

void GeneratorDialog::AddCharacters() {
  CharactersDialog chooser(language_, this);
  if (chooser.exec() != QDialog::Accepted) return;
  sampleEdit_->SetSample(ToQString(SampleText() + chooser.Addition().characters));
  additions_.push_back(chooser.Addition());
}

void GeneratorDialog::OpenFontFile() {
  const QString path = fontFileChooser_();
  if (!path.isEmpty()) OpenFontFile(path);
}

bool GeneratorDialog::OpenFontFile(const QString& path) {
  FontRequest fontRequest = font_;  // the size and the effects stay
  fontRequest.faceName.clear();
  fontRequest.filePath = QFile::encodeName(path).toStdString();
  return InstallFont(fontRequest);
}

void GeneratorDialog::ShowDrawingFace(const ResolvedFace& face) {
  faceNameBox_->setToolTip(InLanguage(language_, "Drawn with %1\n%2", "由 %1 绘制\n%2")
                               .arg(ToQString(face.family), QFile::decodeName(face.path.c_str())));
}

void GeneratorDialog::ChooseOptions() {
  OptionsDialog chooser(language_, options_, DefaultCodePageNumber(), this);
  if (chooser.exec() == QDialog::Accepted) ApplyOptions(chooser.Options());
}

void GeneratorDialog::ApplyOptions(const WindowOptions& options) {
  const unsigned number = options.codePage != 0 ? options.codePage : DefaultCodePageNumber();
  if (number != codePageNumber_) {
    try {
      CodePage codePage(number);
      const GeneratorSettings settings = generator_.Settings();
      generator_ = Generator(std::move(codePage));
      generator_.Settings() = settings;
      codePageNumber_ = number;
    } catch (const std::exception& error) {
      ShowMessage(FailureText(language_, error));
      return;
    }
  }
  options_ = options;
  SaveWindowOptions(options_);
  InstallFont(font_);  // measured again, so a width given or no longer given shows at once
  ShowCodePage();
}

void GeneratorDialog::ShowCodePage() {
  sortByAnsiButton_->setToolTip(
      InLanguage(language_, "ANSI code page %1 (Options...)", "ANSI 代码页 %1(选项...)")
          .arg(codePageNumber_));
}

std::string GeneratorDialog::CommandLine() const {
  WindowState state;
  state.font = font_;
  state.sample = SampleText();
  state.sortByUnicode = generator_.Settings().sortByUnicode;
  state.codePage = codePageNumber_;
  state.options = options_;
  state.additions = additions_;
  return PindotCommandLine(state);
}

void GeneratorDialog::CopyCommandLine() {
  QGuiApplication::clipboard()->setText(QString::fromStdString(CommandLine()));
  if (!CommandLineCarries(SampleText())) {
    ShowMessage(InLanguage(language_,
                           "The sample holds U+0000 or a lone surrogate half, which a command line "
                           "cannot carry: the command copied has U+FFFD or less in their place.",
                           "样本中含有 U+0000 或单独的代理项, 命令行无法传递: 复制的命令在该处为 "
                           "U+FFFD 或缺少该字符。"));
  }
}

void GeneratorDialog::ShowGlyphGrid() {
  // Nothing generated yet: the grid shows what Generate makes of the sample as it stands.
  if (generator_.ThinList().GetCount() + generator_.WideList().GetCount() == 0 && !Generate())
    return;
  if (glyphGrid_ == nullptr) glyphGrid_ = new GlyphGridWindow(language_, this);
  glyphGrid_->show();
  RefreshGlyphGrid();
  glyphGrid_->raise();
  glyphGrid_->activateWindow();
}

void GeneratorDialog::RefreshGlyphGrid() {
  if (glyphGrid_ == nullptr || !glyphGrid_->isVisible()) return;
  // The face is asked again which characters it lacks, as the command line's sheet marks them.
  LossReport losses;
  try {
    AddFaceLosses(*FontCanvas::Open(font_), font_, generator_, losses);
  } catch (const std::exception&) {
    // Generate has said why the font cannot be opened; the grid shows the entries unmarked.
  }
  glyphGrid_->ShowGenerator(generator_, losses.missing);
}

void GeneratorDialog::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void GeneratorDialog::dropEvent(QDropEvent* event) {
  const QString path = DroppedFile(event->mimeData());
  if (path.isEmpty()) return;
  event->acceptProposedAction();
  OpenFontFile(path);
}

// The sample box would take a dropped file as its address in text.
bool GeneratorDialog::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (watched == sampleEdit_->viewport() &&
      (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop)) {
    auto* drop = static_cast<QDropEvent*>(event);
    if (!DroppedFile(drop->mimeData()).isEmpty()) {
      if (type == QEvent::Drop) {
        dropEvent(drop);
      } else {
        drop->acceptProposedAction();
      }
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace pindot
