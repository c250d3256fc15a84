#include "ui/generator_dialog.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>
#include <limits>
#include <memory>

#include "base/user_error.h"
#include "font/font_canvas.h"
#include "font/font_metrics.h"
#include "font/font_pipeline.h"
#include "glyph/loss_report.h"
#include "output/exporter.h"
#include "ui/about_dialog.h"
#include "ui/dialog_units.h"
#include "ui/font_chooser_dialog.h"
#include "ui/generate_job.h"
#include "ui/glyph_grid_window.h"
#include "ui/in_language.h"
#include "ui/output_lines.h"
#include "ui/progress_bar_indicator.h"
#include "ui/qfont_conversion.h"
#include "ui/qt_text.h"
#include "ui/sample_edit.h"
#include "ui/text_view.h"

// The window's icon lives in a resource file compiled into the ui library; a static library's
// resources must be named once to be linked in.
static void InitialiseUiResources() {
  Q_INIT_RESOURCE(pindot_ui);
}

namespace pindot {

const QString GeneratorDialog::kCaption = QStringLiteral("Dot matrix font generator");

namespace {

// What the range checks allow when the boxes are read back.
struct Bounds {
  uint32_t minimum;
  uint32_t maximum;
};
constexpr Bounds kWidthBounds{4, 128};
constexpr Bounds kHeightBounds{0, 128};  // 0, not 4, as the template has it
constexpr int kMaximumFaceNameLength = 128;

// Where a control sits in the template, in dialog units.
struct Placement {
  int x, y, width, height;
};

// Read-only boxes show the window's background, as the user cannot type into them.
void MakeReadOnlyLook(QWidget* box) {
  QPalette colours = box->palette();
  colours.setColor(QPalette::Base, colours.color(QPalette::Window));
  box->setPalette(colours);
}

// No wrapping: a box scrolls sideways, as a multi-line edit box without word wrap does.
void SetBoxScrolling(QPlainTextEdit* box, Qt::ScrollBarPolicy horizontal) {
  box->setLineWrapMode(QPlainTextEdit::NoWrap);
  box->setWordWrapMode(QTextOption::NoWrap);
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  box->setHorizontalScrollBarPolicy(horizontal);
}

// The output boxes are read-only multi-line boxes of a fixed-pitch font that scroll sideways.
TextView* MakeOutputBox(QWidget* parent, Qt::ScrollBarPolicy horizontal) {
  auto* box = new TextView(parent);
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  box->setHorizontalScrollBarPolicy(horizontal);
  box->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  MakeReadOnlyLook(box);
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
    : GeneratorDialog(LanguageFromEnvironment(), 0, parent) {}

GeneratorDialog::GeneratorDialog(Language language, unsigned codePage, QWidget* parent)
    : QDialog(parent),
      language_(language),
      codePageNumber_(codePage != 0                       ? codePage
                      : LoadWindowOptions().codePage != 0 ? LoadWindowOptions().codePage
                                                          : DefaultCodePageNumber()),
      generator_(CodePage(codePageNumber_)),
      options_(LoadWindowOptions()) {
  InitialiseUiResources();
  fontChooser_ = [this](const QFont& initial) -> std::optional<QFont> {
    FontChooserDialog chooser(language_, initial, logicalDpiY(), this);
    if (chooser.exec() != QDialog::Accepted) return std::nullopt;
    return chooser.SelectedFont();
  };
  saveFileChooser_ = [this](const QString& folder) { return DefaultSaveFileChooser(folder); };
  messageShower_ = [this](const QString& message) {
    QMessageBox::warning(this, kCaption, message);
  };
  questionAsker_ = [this](const QString& question) {
    return QMessageBox::question(this, kCaption, question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
  };

  setWindowTitle(kCaption);
  CreateControls();
  LoadData();

  CreateMenu();

  setWindowIcon(QIcon(QStringLiteral(":/pindot/pindot-gui.png")));
  sampleEdit_->SetSample(ToQString(LoadString(language_, StringId::kDefaultSampleText)));
  sortByUnicodeButton_->setChecked(true);
  generator_.Settings().sortByUnicode = true;
  CreateDefaultFont();
  SetCaptions();
  exitButton_->setFocus();
  opened_ = true;
}

GeneratorDialog::~GeneratorDialog() {
  // A run still going would write into the generator, which goes with the window.
  if (job_ != nullptr) job_->Cancel();
}

QWidget* GeneratorDialog::Control(int id) const {
  switch (id) {
    case kExitButton:
      return exitButton_;
    case kSampleEdit:
      return sampleEdit_;
    case kFontButton:
      return fontButton_;
    case kFaceNameBox:
      return faceNameBox_;
    case kWidthBox:
      return widthBox_;
    case kHeightBox:
      return heightBox_;
    case kPreviewBox:
      return previewBox_;
    case kGenerateButton:
      return generateButton_;
    case kFontDataBox:
      return fontDataBox_;
    case kAboutButton:
      return aboutButton_;
    case kProgressBar:
      return progressBar_;
    case kSortByUnicodeButton:
      return sortByUnicodeButton_;
    case kSortByAnsiButton:
      return sortByAnsiButton_;
    case kSizeGroup:
      return sizeGroupBox_;
    case kSortGroup:
      return sortGroupBox_;
    case kWidthLabel:
      return widthLabel_;
    case kHeightLabel:
      return heightLabel_;
    case kExportButton:
      return exportButton_;
  }
  return nullptr;
}

void GeneratorDialog::CreateControls() {
  const DialogUnits units(font());
  templateSize_ = units.Size(491, 349);
  resize(templateSize_);
  auto place = [&](auto* control, const Placement& where) {
    control->setGeometry(units.Rect(where.x, where.y, where.width, where.height));
    return control;
  };
  // Captions come from the string table once every control is there (SetCaptions).
  auto button = [&](const Placement& where) { return place(new QPushButton(this), where); };

  // Template order, which is also the tab order.
  exitButton_ = button({434, 328, 46, 14});
  connect(exitButton_, &QPushButton::clicked, this, &QDialog::reject);

  sampleEdit_ = place(new SampleEdit(this), {7, 13, 272, 150});
  SetBoxScrolling(sampleEdit_, Qt::ScrollBarAlwaysOn);
  // As a Windows multi-line edit box without "want return": Tab moves on, Return presses the
  // default button (see SampleEdit).
  sampleEdit_->setTabChangesFocus(true);
  // The sample box's text starts at its very edge, as with a Windows edit box given no margins.
  sampleEdit_->document()->setDocumentMargin(0);

  fontButton_ = button({296, 274, 42, 14});
  connect(fontButton_, &QPushButton::clicked, this, &GeneratorDialog::OnChooseFont);

  faceNameBox_ = place(MakeReadOnlyLine(this), {344, 274, 113, 14});
  widthBox_ = place(MakeReadOnlyLine(this), {326, 201, 41, 14});
  widthLabel_ = place(new QLabel(this), {298, 205, 21, 8});
  heightBox_ = place(MakeReadOnlyLine(this), {326, 230, 42, 14});
  heightLabel_ = place(new QLabel(this), {298, 234, 25, 8});

  previewBox_ = place(MakeOutputBox(this, Qt::ScrollBarAlwaysOn), {293, 16, 170, 148});

  auto* column = place(new QGroupBox(this), {285, 7, 190, 313});

  generateButton_ = button({331, 328, 46, 14});
  generateButton_->setDefault(true);
  connect(generateButton_, &QPushButton::clicked, this, &GeneratorDialog::Generate);

  // Scrolls sideways instead of wrapping, with no horizontal scroll bar, as the template has it.
  fontDataBox_ = place(MakeOutputBox(this, Qt::ScrollBarAlwaysOff), {7, 170, 271, 172});
  // Tabs of four columns, as C is usually read, so each entry fits the box's width.
  fontDataBox_->SetTabColumns(4);

  aboutButton_ = button({280, 328, 46, 14});
  connect(aboutButton_, &QPushButton::clicked, this, &GeneratorDialog::ShowAboutBox);

  progressBar_ = place(new QProgressBar(this), {292, 299, 169, 14});
  progressBar_->setTextVisible(false);
  progressBar_->setRange(0, 100);
  progressBar_->setValue(0);

  sortGroupBox_ = place(new QGroupBox(this), {381, 183, 90, 75});
  sortByUnicodeButton_ = place(new QRadioButton(this), {387, 203, 76, 10});
  sortByAnsiButton_ = place(new QRadioButton(this), {387, 231, 64, 10});
  sizeGroupBox_ = place(new QGroupBox(this), {292, 183, 84, 74});

  exportButton_ = button({381, 328, 46, 14});
  connect(exportButton_, &QPushButton::clicked, this, &GeneratorDialog::OnExport);

  // The key choice changes when a button is clicked, not when the data is exchanged.
  sortGroup_ = new QButtonGroup(this);
  sortGroup_->addButton(sortByUnicodeButton_, kSortByUnicodeButton);
  sortGroup_->addButton(sortByAnsiButton_, kSortByAnsiButton);
  connect(sortGroup_, &QButtonGroup::idClicked, this,
          [this](int id) { generator_.Settings().sortByUnicode = id == kSortByUnicodeButton; });

  // Group boxes only frame their neighbours: kept underneath so they never take their clicks.
  for (QGroupBox* frame : {column, sortGroupBox_, sizeGroupBox_}) frame->lower();
  LayOutForResizing(column, units);

  QWidget* previous = nullptr;
  for (QWidget* control : std::initializer_list<QWidget*>{
           exitButton_, sampleEdit_, fontButton_, faceNameBox_, widthBox_, heightBox_, previewBox_,
           generateButton_, fontDataBox_, aboutButton_, sortByUnicodeButton_, sortByAnsiButton_,
           exportButton_}) {
    if (previous != nullptr) setTabOrder(previous, control);
    previous = control;
  }
}

void GeneratorDialog::SetCaptions() {
  const auto caption = [this](StringId id) { return ToQString(LoadString(language_, id)); };
  sizeGroupBox_->setTitle(caption(StringId::kSizeGroup));
  widthLabel_->setText(caption(StringId::kWidthLabel));
  heightLabel_->setText(caption(StringId::kHeightLabel));
  sortByUnicodeButton_->setText(caption(StringId::kSortByUnicodeButton));
  sortByAnsiButton_->setText(caption(StringId::kSortByAnsiButton));
  fontButton_->setText(caption(StringId::kFontButton));
  generateButton_->setText(caption(StringId::kGenerateButton));
  exitButton_->setText(caption(StringId::kExitButton));
  aboutButton_->setText(caption(StringId::kAboutButton));
  sortGroupBox_->setTitle(caption(StringId::kSortGroup));
  exportButton_->setText(caption(StringId::kExportButton));
}

void GeneratorDialog::CreateDefaultFont() {
  const FontRequest fontRequest = DefaultFontRequest(language_);
  if (!InstallFont(fontRequest)) {
    // Kept so that Generate names the font again when it still cannot open it.
    font_ = fontRequest;
  }
}

bool GeneratorDialog::InstallFont(const FontRequest& asked) {
  MeasuredFont measured;
  try {
    measured = MeasureRequestedFont(asked);  // a hostile face may refuse a glyph's width here
  } catch (const std::exception& error) {
    ShowMessage(FontFailure(error));
    return false;
  }
  FontRequest fontRequest = asked;
  // A file has no asked name: its family stands in, as on the command line.
  if (!fontRequest.filePath.empty()) fontRequest.faceName = measured.face.family;
  measured.settings.sortByUnicode = generator_.Settings().sortByUnicode;
  if (options_.wideWidth != 0) measured.settings.width = options_.wideWidth;
  generator_.Settings() = measured.settings;
  font_ = fontRequest;
  ShowDrawingFace(measured.face);
  sampleEdit_->setFont(QFontFromFontRequest(fontRequest, &measured.face));
  LoadData();
  sampleEdit_->viewport()->update();
  return true;
}

std::u16string GeneratorDialog::SampleText() const {
  return sampleEdit_->Sample();
}

bool GeneratorDialog::SaveUnsigned(QLineEdit* box, uint32_t& value, uint32_t minimum,
                                   uint32_t maximum) {
  bool parsed = false;
  const QString text = box->text().trimmed();
  const qulonglong number = text.toULongLong(&parsed, 10);
  const bool digitsOnly = !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar unit) {
    return unit >= QLatin1Char('0') && unit <= QLatin1Char('9');
  });
  QString failure;
  if (!parsed || !digitsOnly || number > std::numeric_limits<uint32_t>::max()) {
    failure = Message(StringId::kNotUnsignedMessage);
  } else {
    value = static_cast<uint32_t>(number);
    if (value < minimum || value > maximum) {
      failure = Message(StringId::kOutOfRangeMessage).arg(minimum).arg(maximum);
    }
  }
  if (failure.isEmpty()) return true;
  ShowMessage(failure);
  box->setFocus();
  box->selectAll();
  return false;
}

bool GeneratorDialog::SaveData() {
  GeneratorSettings& settings = generator_.Settings();
  if (!SaveUnsigned(widthBox_, settings.width, kWidthBounds.minimum, kWidthBounds.maximum)) {
    return false;
  }
  if (!SaveUnsigned(heightBox_, settings.height, kHeightBounds.minimum, kHeightBounds.maximum)) {
    return false;
  }
  const QString faceName = faceNameBox_->text();
  settings.faceName = ToU16String(faceName);
  if (faceName.size() > kMaximumFaceNameLength) {
    ShowMessage(Message(StringId::kTooLongMessage).arg(kMaximumFaceNameLength));
    faceNameBox_->setFocus();
    faceNameBox_->selectAll();
    return false;
  }
  // The two output boxes are read-only: they hold what was loaded into them, and the texts
  // themselves stay with the window, CR LF line ends intact.
  return true;
}

void GeneratorDialog::LoadData() {
  const GeneratorSettings& settings = generator_.Settings();
  widthBox_->setText(QString::number(settings.width));
  heightBox_->setText(QString::number(settings.height));
  faceNameBox_->setText(ToQString(settings.faceName));
  // A box keeps its place and selection while it shows the same text.
  if (&previewBox_->Lines() != preview_.get() || preview_ == nullptr)
    previewBox_->SetLines(preview_);
  if (&fontDataBox_->Lines() != fontData_.get() || fontData_ == nullptr) {
    fontDataBox_->SetLines(fontData_);
  }
}

std::u16string GeneratorDialog::FontDataText() const {
  return fontData_ != nullptr ? fontData_->ToU16String() : std::u16string();
}

bool GeneratorDialog::Generate() {
  // A failed check has shown its message; the run goes on with what the settings then hold.
  SaveData();
  // Both texts are emptied first; the generator is the job's until it ends.
  preview_.reset();
  fontData_.reset();
  LoadData();
  const GeneratorSettings& settings = generator_.Settings();
  PipelineRequest request;
  request.font = font_;
  request.sample = SampleText();
  request.codePage = codePageNumber_;
  request.sortByUnicode = settings.sortByUnicode;
  request.width = settings.width;
  request.height = settings.height;
  // The chooser always gives a size, and the default font's is the string table's.
  request.sizeAsked = true;
  const std::u16string sample = request.sample;
  bool generated = false;
  LossReport losses;
  try {
    GenerateJob job(std::move(request), TableOptions(options_));
    job_ = &job;
    struct Clear {
      GenerateJob*& job;
      ~Clear() { job = nullptr; }
    } clear{job_};
    if (job.Run(*this, *progressBar_)) {
      const std::u16string faceName = settings.faceName;
      generator_ = std::move(job.TakeGenerator());
      generator_.Settings().faceName = faceName;  // the box shows what was saved from it
      preview_ = std::make_shared<GlyphPreviewLines>(generator_);
      fontData_ = job.FontData();
      losses = job.Losses();
      generated = true;
    }
  } catch (const std::exception& error) {
    ShowMessage(FontFailure(error));
    LoadData();
    return false;
  }
  if (!generated) return false;
  LoadData();
  RefreshGlyphGrid();
  // What did not come out as asked is summed up in one message over the results, which stay
  // shown, with why line breaks and tabs are entries when the sample holds them.
  QStringList lines;
  if (!losses.Empty()) {
    lines << Message(StringId::kLossSummaryHeading);
    for (const std::u16string& line : DescribeLosses(losses, language_, false).lines) {
      lines << QStringLiteral("\u2022 ") + ToQString(line);
    }
  }
  const QString note = SampleNote(sample);
  if (!note.isEmpty()) lines << note;
  if (!lines.isEmpty()) ShowMessage(lines.join(QLatin1Char('\n')));
  return true;
}

QString GeneratorDialog::SampleNote(const std::u16string& sample) const {
  const bool lineBreaks = sample.find_first_of(u"\r\n") != std::u16string::npos;
  const bool tabs = sample.find(u'\t') != std::u16string::npos;
  if (lineBreaks && tabs) return Message(StringId::kSampleLineBreaksAndTabsNote);
  if (lineBreaks) return Message(StringId::kSampleLineBreaksNote);
  if (tabs) return Message(StringId::kSampleTabsNote);
  return {};
}

void GeneratorDialog::closeEvent(QCloseEvent* event) {
  // Closing while Generate runs ends the run; the window closes once it has stopped.
  if (job_ != nullptr) job_->Cancel();
  QDialog::closeEvent(event);
}

void GeneratorDialog::OnChooseFont() {
  // The chooser always opens on the default face at height 16, never on the last choice.
  const FontRequest initialRequest = DefaultFontRequest(language_);
  std::optional<MeasuredFont> initial;
  try {
    initial = MeasureRequestedFont(initialRequest);
  } catch (const std::exception&) {
    // The chooser still opens, on the name as it stands.
  }
  const std::optional<QFont> chosen =
      fontChooser_(QFontFromFontRequest(initialRequest, initial ? &initial->face : nullptr));
  if (!chosen) return;
  InstallFont(FontRequestFromQFont(*chosen, logicalDpiY()));
}

void GeneratorDialog::ShowAboutBox() {
  AboutDialog about(language_, this);
  about.exec();
}

QString GeneratorDialog::FontFailure(const std::exception& error) const {
  if (dynamic_cast<const UserError*>(&error) == nullptr) return FailureText(language_, error);
  return Message(StringId::kFontUnusableMessage).arg(QString::fromUtf8(error.what()));
}

QString GeneratorDialog::Message(StringId id) const {
  return ToQString(LoadString(language_, id));
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
