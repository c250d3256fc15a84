// The main window "Dot matrix font generator": sample text, font, settings, both outputs, commands.
#pragma once

#include <QDialog>
#include <QFont>
#include <QString>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "font/font_request.h"
#include "glyph/generator.h"
#include "text/code_page.h"
#include "text/string_table.h"
#include "ui/stretch_layout.h"
#include "ui/window_options.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace pindot {

class DialogUnits;
class FontCanvas;
class GenerateJob;
class GlyphGridWindow;
class GlyphPreviewLines;
struct ResolvedFace;
class SampleEdit;
class StoredText;
class TextView;

// Laid out as dialog template 102 (491 x 349 dialog units). The window holds the generator, and
// with it the settings, beside its current font and both output texts; every command only turns
// the controls into core calls and shows what comes back. Generate draws off the window's thread
// while the window keeps painting (see GenerateJob). The choosers and the message boxes are
// replaceable so tests can answer them without a modal window.
class GeneratorDialog : public QDialog {
  Q_OBJECT

 public:
  // The control ids of the template; Control(id) finds the widget.
  enum ControlId {
    kExitButton = 2,
    kSampleEdit = 1000,
    kFontButton = 1001,
    kFaceNameBox = 1002,
    kWidthBox = 1003,
    kHeightBox = 1004,
    kPreviewBox = 1005,
    kGenerateButton = 1007,
    kFontDataBox = 1008,
    kAboutButton = 1009,
    kProgressBar = 1011,
    kSortByUnicodeButton = 1014,
    kSortByAnsiButton = 1015,
    kSizeGroup = 1018,
    kSortGroup = 1019,
    kWidthLabel = 1020,
    kHeightLabel = 1021,
    kExportButton = 1022,
  };

  static const QString kCaption;  // "Dot matrix font generator", in every language

  // The chosen font, or nothing on Cancel. `initial` is string 114's face at cell height 16.
  using FontChooser = std::function<std::optional<QFont>(const QFont& initial)>;
  // The full path of the file to save as typed, or an empty text on Cancel. `folder` is where the
  // chooser opens: the folder of the last export, or an empty text for the working folder.
  using SaveFileChooser = std::function<QString(const QString& folder)>;
  using MessageShower = std::function<void(const QString& message)>;
  // True for Yes.
  using QuestionAsker = std::function<bool(const QString& question)>;

  // The language of the user's environment, the code page of the Options (else of the locale).
  explicit GeneratorDialog(QWidget* parent = nullptr);
  // A code page of 0 is the Options' or the locale's.
  GeneratorDialog(Language language, unsigned codePage, QWidget* parent = nullptr);
  ~GeneratorDialog() override;

  // The widget of a template id, or null.
  QWidget* Control(int id) const;
  template <typename Widget>
  Widget* ControlAs(int id) const {
    return qobject_cast<Widget*>(Control(id));
  }

  Language UiLanguage() const { return language_; }
  const Generator& GetGenerator() const { return generator_; }
  const GeneratorSettings& Settings() const { return generator_.Settings(); }
  const FontRequest& CurrentFont() const { return font_; }
  // The font data text of the last Generate, as its box shows it.
  std::u16string FontDataText() const;
  // The text of the sample box as Generate reads it: every line break as CR LF.
  std::u16string SampleText() const;

  // The data exchange, one direction each. SaveData reads the controls into the settings with the
  // range checks, in the template's order; a failed check shows its message, puts the focus on
  // its control and stops there (false). LoadData shows the settings and both texts.
  bool SaveData();
  void LoadData();

  // The commands of the window. Generate is false only when the font could not be opened (after
  // saying so) or the window was closed while it ran; a failed range check does not stop it.
  bool Generate();
  void OnChooseFont();
  void OnExport();
  void ShowAboutBox();

  void SetFontChooser(FontChooser chooser) { fontChooser_ = std::move(chooser); }
  void SetSaveFileChooser(SaveFileChooser chooser) { saveFileChooser_ = std::move(chooser); }
  void SetMessageShower(MessageShower shower) { messageShower_ = std::move(shower); }
  void SetQuestionAsker(QuestionAsker asker) { questionAsker_ = std::move(asker); }

  // What the command line can do, offered in the window's context menu beside About
  // (generator_dialog_menu.cpp). Each menu item is an action of the window, in menu order.
  QAction* MenuAction(const char* name) const;
  // Characters...: appends a character set or a range to the sample.
  void AddCharacters();
  // Open Font File...: asks for a file (the chooser replaceable as the others), then opens it.
  void OpenFontFile();
  // A font file in place of the current font, at its size and with its effects; the face box
  // shows the face's family. False, after saying why, when it cannot be opened.
  bool OpenFontFile(const QString& path);
  void ChooseOptions();
  const WindowOptions& Options() const { return options_; }
  unsigned CodePageNumber() const { return codePageNumber_; }
  // Copy as Command: the pindot command of the current settings, to the clipboard.
  void CopyCommandLine();
  std::string CommandLine() const;
  // Glyph Grid...: every entry of the last Generate drawn as the glyph sheet draws it, in a window
  // of its own that follows each Generate while it is open.
  void ShowGlyphGrid();
  // The open grid shows the last Generate again.
  void RefreshGlyphGrid();

  using FontFileChooser = std::function<QString()>;
  void SetFontFileChooser(FontFileChooser chooser) { fontFileChooser_ = std::move(chooser); }

 protected:
  // A font file dropped anywhere on the window, the sample box included, is opened.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  // Closing while Generate runs ends the run.
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateMenu();
  // The window may be resized: the boxes grow and shrink with it (generator_dialog_layout.cpp).
  void LayOutForResizing(QWidget* column, const DialogUnits& units);
  void ApplyOptions(const WindowOptions& options);
  void ShowCodePage();
  // The face box's tooltip names the face and the file that really draw.
  void ShowDrawingFace(const ResolvedFace& face);
  void CreateControls();
  void SetCaptions();
  void CreateDefaultFont();
  // Opens, measures and shows the font; on failure shows why and changes nothing.
  bool InstallFont(const FontRequest& asked);
  QString Message(StringId id) const;
  // A font that could not be used says so with the reason; anything else, only what went wrong.
  QString FontFailure(const std::exception& error) const;
  void ShowMessage(const QString& message);
  bool SaveUnsigned(QLineEdit* box, uint32_t& value, uint32_t minimum, uint32_t maximum);
  // What the message after a Generate says beyond the losses: why line breaks and tabs are entries.
  QString SampleNote(const std::u16string& sample) const;
  QString DefaultSaveFileChooser(const QString& folder);

  Language language_;
  QSize templateSize_;
  StretchLayout stretch_;
  unsigned codePageNumber_;  // of the generator's code page
  Generator generator_;
  FontRequest font_;  // the current font, as measured into the settings
  // Both output texts of the last Generate, as their boxes show them.
  std::shared_ptr<GlyphPreviewLines> preview_;
  std::shared_ptr<StoredText> fontData_;
  GenerateJob* job_ = nullptr;  // while a Generate runs
  QString exportFolder_;        // where the last export went

  QPushButton* exitButton_ = nullptr;
  SampleEdit* sampleEdit_ = nullptr;
  QPushButton* fontButton_ = nullptr;
  QLineEdit* faceNameBox_ = nullptr;
  QLineEdit* widthBox_ = nullptr;
  QLabel* widthLabel_ = nullptr;
  QLineEdit* heightBox_ = nullptr;
  QLabel* heightLabel_ = nullptr;
  TextView* previewBox_ = nullptr;
  QPushButton* generateButton_ = nullptr;
  TextView* fontDataBox_ = nullptr;
  QPushButton* aboutButton_ = nullptr;
  QProgressBar* progressBar_ = nullptr;
  QGroupBox* sortGroupBox_ = nullptr;
  QRadioButton* sortByUnicodeButton_ = nullptr;
  QRadioButton* sortByAnsiButton_ = nullptr;
  QGroupBox* sizeGroupBox_ = nullptr;
  QPushButton* exportButton_ = nullptr;
  QButtonGroup* sortGroup_ = nullptr;

  FontChooser fontChooser_;
  SaveFileChooser saveFileChooser_;
  MessageShower messageShower_;
  QuestionAsker questionAsker_;
  FontFileChooser fontFileChooser_;
  WindowOptions options_;
  std::vector<SampleAddition> additions_;  // what Characters... appended, in order
  GlyphGridWindow* glyphGrid_ = nullptr;   // made when first asked for
  bool opened_ = false;
};

}  // namespace pindot
