#include "ui/generator_dialog.h"

#include <QAction>
#include <QButtonGroup>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>
#include <limits>
#include <memory>

#include "font/font_canvas.h"
#include "font/font_metrics.h"
#include "output/exporter.h"
#include "text/user_error.h"
#include "ui/about_dialog.h"
#include "ui/dialog_units.h"
#include "ui/progress_bar_indicator.h"
#include "ui/qfont_conversion.h"
#include "ui/qt_text.h"

// The window's icon lives in a resource file compiled into the ui library; a static library's
// resources must be named once to be linked in.
static void InitialiseUiResources() {
  Q_INIT_RESOURCE(pindot_ui);
}

namespace pindot {

const QString GeneratorDialog::kCaption = QStringLiteral("Dot matrix font generator");

namespace {

constexpr uint32_t kMinimumWidth = 4;
constexpr uint32_t kMaximumWidth = 128;
constexpr uint32_t kMinimumHeight = 0;
constexpr uint32_t kMaximumHeight = 128;
constexpr int kMaximumFaceNameLength = 128;
constexpr int kAboutMenuString = 101;
constexpr int kSampleTextString = 113;

// The window's own messages; the string table holds only the system's captions.
enum class MessageId { kNotUnsigned, kOutOfRange, kTooLong, kFontUnusable, kCannotWrite };

QString MessageText(Language language, MessageId id) {
  const bool chinese = language == Language::kChinese;
  switch (id) {
    case MessageId::kNotUnsigned:
      return chinese ? QStringLiteral("请输入一个正整数。")
                     : QStringLiteral("Please enter a positive integer.");
    case MessageId::kOutOfRange:
      return chinese ? QStringLiteral("请输入一个介于 %1 和 %2 之间的整数。")
                     : QStringLiteral("Please enter an integer between %1 and %2.");
    case MessageId::kTooLong:
      return chinese ? QStringLiteral("请输入不超过 %1 个字符。")
                     : QStringLiteral("Please enter no more than %1 characters.");
    case MessageId::kFontUnusable:
      return chinese ? QStringLiteral("无法使用该字体：%1")
                     : QStringLiteral("The font cannot be used: %1");
    case MessageId::kCannotWrite:
      return chinese ? QStringLiteral("无法写入文件“%1”：%2")
                     : QStringLiteral("Cannot write the file \"%1\": %2");
  }
  return QString();
}

// Where each control sits in the template, in dialog units.
struct Placement {
  int id;
  int x, y, width, height;
};

// A QPlainTextEdit's document ends blocks with U+2029 (and soft breaks with U+2028); the generator
// sees line breaks as the Windows edit box gives them, CR LF, and every other unit as typed (a
// no-break space stays a no-break space).
std::u16string SampleFromDocument(const QTextDocument& document) {
  const QString raw = document.toRawText();
  std::u16string sample;
  sample.reserve(static_cast<size_t>(raw.size()) + 16);
  for (const QChar unit : raw) {
    if (unit == QChar::ParagraphSeparator || unit == QChar::LineSeparator) {
      sample += u"\r\n";
    } else {
      sample += static_cast<char16_t>(unit.unicode());
    }
  }
  return sample;
}

// The core's texts end lines in CR LF; a text box holds blocks, so a line end is one break there.
QString ForTextBox(const std::u16string& text) {
  QString shown = ToQString(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return shown;
}

void SetControlText(QWidget* control, const QString& text) {
  if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    button->setText(text);
  } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
    group->setTitle(text);
  } else if (auto* label = qobject_cast<QLabel*>(control)) {
    label->setText(text);
  }
}

// Read-only boxes show the window's background, as the user cannot type into them.
void MakeReadOnlyLook(QWidget* box) {
  QPalette colours = box->palette();
  colours.setColor(QPalette::Base, colours.color(QPalette::Window));
  box->setPalette(colours);
}

QPlainTextEdit* MakeTextBox(QWidget* parent, bool readOnly, Qt::ScrollBarPolicy horizontal) {
  auto* box = new QPlainTextEdit(parent);
  box->setLineWrapMode(QPlainTextEdit::NoWrap);
  box->setWordWrapMode(QTextOption::NoWrap);
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  box->setHorizontalScrollBarPolicy(horizontal);
  if (readOnly) {
    box->setReadOnly(true);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    MakeReadOnlyLook(box);
  }
  return box;
}

QLineEdit* MakeReadOnlyLine(QWidget* parent) {
  auto* box = new QLineEdit(parent);
  box->setReadOnly(true);
  MakeReadOnlyLook(box);
  return box;
}

}  // namespace

GeneratorDialog::GeneratorDialog(QWidget* parent)
    : GeneratorDialog(LanguageFromEnvironment(), CodePage(DefaultCodePageNumber()), parent) {}

GeneratorDialog::GeneratorDialog(Language language, CodePage codePage, QWidget* parent)
    : QDialog(parent), language_(language), generator_(std::move(codePage)) {
  InitialiseUiResources();
  fontChooser_ = [this](const QFont& initial) -> std::optional<QFont> {
    bool accepted = false;
    const QFont chosen =
        QFontDialog::getFont(&accepted, initial, this, QString(), QFontDialog::DontUseNativeDialog);
    if (!accepted) return std::nullopt;
    return chosen;
  };
  saveFileChooser_ = [this] { return QFileDialog::getSaveFileName(this); };
  messageShower_ = [this](const QString& message) {
    QMessageBox::warning(this, kCaption, message);
  };

  setWindowTitle(kCaption);
  CreateControls();
  UpdateData(false);

  // Qt reaches no window manager's system menu, so the About item of the system menu is offered
  // where the window's background is right-clicked.
  const QString aboutItem = ToQString(LoadString(language_, kAboutMenuString));
  if (!aboutItem.isEmpty()) {
    auto* about = new QAction(aboutItem, this);
    connect(about, &QAction::triggered, this, &GeneratorDialog::ShowAboutBox);
    addAction(about);
    setContextMenuPolicy(Qt::ActionsContextMenu);
  }

  setWindowIcon(QIcon(QStringLiteral(":/pindot/pindot-gui.png")));
  sampleEdit_->setPlainText(ToQString(LoadString(language_, kSampleTextString)));
  ControlAs<QRadioButton>(kSortByUnicodeButton)->setChecked(true);
  generator_.Settings().sortByUnicode = true;
  CreateDefaultFont();
  SetCaptions();
  Control(kExitButton)->setFocus();
  opened_ = true;
}

GeneratorDialog::~GeneratorDialog() = default;

QWidget* GeneratorDialog::Control(int id) const {
  const auto found = controls_.find(id);
  return found == controls_.end() ? nullptr : found->second;
}

void GeneratorDialog::CreateControls() {
  const DialogUnits units(font());
  setFixedSize(units.Size(491, 349));

  auto place = [&](QWidget* control, const Placement& where) {
    control->setGeometry(units.Rect(where.x, where.y, where.width, where.height));
    if (where.id != 0) controls_[where.id] = control;
  };
  auto button = [&](const char* caption, const Placement& where) {
    auto* push = new QPushButton(QString::fromUtf8(caption), this);
    place(push, where);
    return push;
  };

  // Template order, which is also the tab order.
  auto* exitButton = button("Exit", {kExitButton, 434, 328, 46, 14});
  connect(exitButton, &QPushButton::clicked, this, &QDialog::reject);

  sampleEdit_ = MakeTextBox(this, false, Qt::ScrollBarAlwaysOn);
  place(sampleEdit_, {kSampleEdit, 7, 13, 272, 150});
  // The sample box's text starts at its very edge, as with a Windows edit box given no margins.
  sampleEdit_->document()->setDocumentMargin(0);

  auto* fontButton = button("Font...", {kFontButton, 296, 274, 42, 14});
  connect(fontButton, &QPushButton::clicked, this, &GeneratorDialog::OnChooseFont);

  faceNameBox_ = MakeReadOnlyLine(this);
  place(faceNameBox_, {kFaceNameBox, 344, 274, 113, 14});
  widthBox_ = MakeReadOnlyLine(this);
  place(widthBox_, {kWidthBox, 326, 201, 41, 14});
  place(new QLabel(QStringLiteral("Width"), this), {kWidthLabel, 298, 205, 21, 8});
  heightBox_ = MakeReadOnlyLine(this);
  place(heightBox_, {kHeightBox, 326, 230, 42, 14});
  place(new QLabel(QStringLiteral("Height"), this), {kHeightLabel, 298, 234, 25, 8});

  const QFont fixedPitch = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  previewBox_ = MakeTextBox(this, true, Qt::ScrollBarAlwaysOn);
  previewBox_->setFont(fixedPitch);
  place(previewBox_, {kPreviewBox, 293, 16, 170, 148});

  auto* column = new QGroupBox(this);
  place(column, {0, 285, 7, 190, 313});

  auto* generateButton = button("Generate", {kGenerateButton, 331, 328, 46, 14});
  generateButton->setDefault(true);
  connect(generateButton, &QPushButton::clicked, this, &GeneratorDialog::Generate);

  // Scrolls sideways instead of wrapping, with no horizontal scroll bar, as the template has it.
  fontDataBox_ = MakeTextBox(this, true, Qt::ScrollBarAlwaysOff);
  fontDataBox_->setFont(fixedPitch);
  // Tabs of four columns, as C is usually read, so each entry fits the box's width.
  fontDataBox_->setTabStopDistance(4 *
                                   QFontMetricsF(fixedPitch).horizontalAdvance(QLatin1Char(' ')));
  place(fontDataBox_, {kFontDataBox, 7, 170, 271, 172});

  auto* aboutButton = button("About", {kAboutButton, 280, 328, 46, 14});
  connect(aboutButton, &QPushButton::clicked, this, &GeneratorDialog::ShowAboutBox);

  progressBar_ = new QProgressBar(this);
  progressBar_->setTextVisible(false);
  progressBar_->setRange(0, 100);
  progressBar_->setValue(0);
  place(progressBar_, {kProgressBar, 292, 299, 169, 14});

  auto* sortGroupBox = new QGroupBox(QStringLiteral("Sort"), this);
  place(sortGroupBox, {kSortGroup, 381, 183, 90, 75});
  auto* sortByUnicode = new QRadioButton(QStringLiteral("Sort by Unicode"), this);
  place(sortByUnicode, {kSortByUnicodeButton, 387, 203, 76, 10});
  auto* sortByAnsi = new QRadioButton(QStringLiteral("Sort by ANSI"), this);
  place(sortByAnsi, {kSortByAnsiButton, 387, 231, 64, 10});
  auto* sizeGroupBox = new QGroupBox(QStringLiteral("Size"), this);
  place(sizeGroupBox, {kSizeGroup, 292, 183, 84, 74});

  auto* exportButton = button("Export...", {kExportButton, 381, 328, 46, 14});
  connect(exportButton, &QPushButton::clicked, this, &GeneratorDialog::OnExport);

  // The key choice changes when a button is clicked, not when the data is exchanged.
  sortGroup_ = new QButtonGroup(this);
  sortGroup_->addButton(sortByUnicode, kSortByUnicodeButton);
  sortGroup_->addButton(sortByAnsi, kSortByAnsiButton);
  connect(sortGroup_, &QButtonGroup::idClicked, this,
          [this](int id) { generator_.Settings().sortByUnicode = id == kSortByUnicodeButton; });

  // Group boxes only frame their neighbours: kept underneath so they never take their clicks.
  for (QGroupBox* frame : {column, sortGroupBox, sizeGroupBox}) frame->lower();

  QWidget* previous = nullptr;
  for (QWidget* control :
       {static_cast<QWidget*>(exitButton), static_cast<QWidget*>(sampleEdit_),
        static_cast<QWidget*>(fontButton), static_cast<QWidget*>(faceNameBox_),
        static_cast<QWidget*>(widthBox_), static_cast<QWidget*>(heightBox_),
        static_cast<QWidget*>(previewBox_), static_cast<QWidget*>(generateButton),
        static_cast<QWidget*>(fontDataBox_), static_cast<QWidget*>(aboutButton),
        static_cast<QWidget*>(sortByUnicode), static_cast<QWidget*>(sortByAnsi),
        static_cast<QWidget*>(exportButton)}) {
    if (previous != nullptr) setTabOrder(previous, control);
    previous = control;
  }
}

void GeneratorDialog::SetCaptions() {
  static constexpr std::pair<int, int> kCaptions[] = {
      {kSizeGroup, 102},           {kWidthLabel, 104},       {kHeightLabel, 105},
      {kSortByUnicodeButton, 106}, {kSortByAnsiButton, 107}, {kFontButton, 108},
      {kGenerateButton, 110},      {kExitButton, 111},       {kAboutButton, 109},
      {kSortGroup, 103},           {kExportButton, 122},
  };
  for (const auto& [control, string] : kCaptions) {
    SetControlText(Control(control), ToQString(LoadString(language_, string)));
  }
}

void GeneratorDialog::CreateDefaultFont() {
  const FontSpec fontSpec = DefaultFontSpec(language_);
  if (!InstallFont(fontSpec)) {
    // Kept so that Generate names the font again when it still cannot open it.
    generator_.Settings().font = fontSpec;
  }
}

bool GeneratorDialog::InstallFont(const FontSpec& fontSpec) {
  std::unique_ptr<FontCanvas> canvas;
  try {
    canvas = FontCanvas::Open(fontSpec);
  } catch (const UserError& error) {
    ShowMessage(
        MessageText(language_, MessageId::kFontUnusable).arg(QString::fromUtf8(error.what())));
    return false;
  }
  MeasureFont(*canvas, fontSpec, generator_.Settings());
  sampleEdit_->setFont(QFontFromFontSpec(fontSpec, canvas.get()));
  UpdateData(false);
  sampleEdit_->viewport()->update();
  return true;
}

std::u16string GeneratorDialog::SampleText() const {
  return SampleFromDocument(*sampleEdit_->document());
}

bool GeneratorDialog::SaveUnsigned(int id, uint32_t& value, uint32_t minimum, uint32_t maximum) {
  auto* box = ControlAs<QLineEdit>(id);
  bool parsed = false;
  const QString text = box->text().trimmed();
  const qulonglong number = text.toULongLong(&parsed, 10);
  const bool digitsOnly = !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar unit) {
    return unit >= QLatin1Char('0') && unit <= QLatin1Char('9');
  });
  QString failure;
  if (!parsed || !digitsOnly || number > std::numeric_limits<uint32_t>::max()) {
    failure = MessageText(language_, MessageId::kNotUnsigned);
  } else {
    value = static_cast<uint32_t>(number);
    if (value < minimum || value > maximum) {
      failure = MessageText(language_, MessageId::kOutOfRange).arg(minimum).arg(maximum);
    }
  }
  if (failure.isEmpty()) return true;
  ShowMessage(failure);
  box->setFocus();
  box->selectAll();
  return false;
}

bool GeneratorDialog::UpdateData(bool saveAndValidate) {
  GeneratorSettings& settings = generator_.Settings();
  if (saveAndValidate) {
    if (!SaveUnsigned(kWidthBox, settings.width, kMinimumWidth, kMaximumWidth)) return false;
    if (!SaveUnsigned(kHeightBox, settings.height, kMinimumHeight, kMaximumHeight)) return false;
    const QString faceName = faceNameBox_->text();
    settings.faceName = ToU16String(faceName);
    if (faceName.size() > kMaximumFaceNameLength) {
      ShowMessage(MessageText(language_, MessageId::kTooLong).arg(kMaximumFaceNameLength));
      faceNameBox_->setFocus();
      faceNameBox_->selectAll();
      return false;
    }
    // The two output boxes are read-only: they hold what was loaded into them, and the texts
    // themselves stay with the generator, CR LF line ends intact.
    return true;
  }
  widthBox_->setText(QString::number(settings.width));
  heightBox_->setText(QString::number(settings.height));
  faceNameBox_->setText(ToQString(settings.faceName));
  LoadText(kPreviewBox, generator_.GlyphPreviewText());
  LoadText(kFontDataBox, generator_.FontDataText());
  return true;
}

void GeneratorDialog::LoadText(int id, const std::u16string& text) {
  auto [loaded, fresh] = loadedTexts_.try_emplace(id);
  if (!fresh && loaded->second == text) return;
  loaded->second = text;
  ControlAs<QPlainTextEdit>(id)->setPlainText(ForTextBox(text));
}

bool GeneratorDialog::Generate() {
  // A failed check has shown its message; the run goes on with what the settings then hold.
  UpdateData(true);
  bool generated = false;
  try {
    const std::unique_ptr<FontCanvas> canvas = FontCanvas::Open(generator_.Settings().font);
    ProgressBarIndicator progress(*progressBar_);
    generator_.Generate(SampleText(), *canvas, progress);
    generated = true;
  } catch (const UserError& error) {
    ShowMessage(
        MessageText(language_, MessageId::kFontUnusable).arg(QString::fromUtf8(error.what())));
  }
  UpdateData(false);
  return generated;
}

void GeneratorDialog::OnChooseFont() {
  // The chooser always opens on the default face at height 16, never on the last choice.
  const FontSpec initialSpec = DefaultFontSpec(language_);
  std::unique_ptr<FontCanvas> initialCanvas;
  try {
    initialCanvas = FontCanvas::Open(initialSpec);
  } catch (const UserError&) {
    // The chooser still opens, on the name as it stands.
  }
  const std::optional<QFont> chosen =
      fontChooser_(QFontFromFontSpec(initialSpec, initialCanvas.get()));
  if (!chosen) return;
  InstallFont(FontSpecFromQFont(*chosen, logicalDpiY()));
}

void GeneratorDialog::OnExport() {
  // The window's own Generate first, so the boxes show what is exported even after a Cancel. Only
  // a font that cannot be opened stops it: the old texts would not belong to the current font.
  if (!Generate()) return;
  const QString fullPath = saveFileChooser_();
  if (fullPath.isEmpty()) return;

  QStringList failures;
  try {
    const ExportReport report =
        ExportGeneratedFiles(generator_, QFile::encodeName(fullPath).toStdString());
    for (const ExportFailure& failure : report.failures) {
      failures << MessageText(language_, MessageId::kCannotWrite)
                      .arg(QFile::decodeName(failure.path.c_str()),
                           QString::fromStdString(failure.reason));
    }
  } catch (const UserError& error) {
    failures << QString::fromUtf8(error.what());
  }
  if (!failures.isEmpty()) ShowMessage(failures.join(QLatin1Char('\n')));
}

void GeneratorDialog::ShowAboutBox() {
  AboutDialog about(language_, this);
  about.exec();
}

void GeneratorDialog::ShowMessage(const QString& message) {
  if (!opened_) {
    // Said while the window is still being built: shown once it is up, over it.
    QTimer::singleShot(0, this, [this, message] { ShowMessage(message); });
    return;
  }
  if (messageShower_) messageShower_(message);
}

}  // namespace pindot
