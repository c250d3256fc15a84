// The window at other sizes than its template's: the boxes take what the window gains or loses.
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScreen>

#include "ui/dialog_units.h"
#include "ui/generator_dialog.h"
#include "ui/sample_edit.h"
#include "ui/text_view.h"

namespace pindot {

namespace {

// Wider: the sample and font data boxes take half the width, the glyph preview the other half,
// and the column on the right moves over. Narrower: only the two boxes on the left give up width.
// Taller: the sample and font data boxes share the height, the preview takes all of it and the
// controls under it move down.
constexpr EdgeShares kSampleBoxShares{0, 0.5, 0, 1, 0, 0.5};
constexpr EdgeShares kFontDataBoxShares{0, 0.5, 0, 1, 0.5, 1};
constexpr EdgeShares kColumnShares{0.5, 1, 1, 1, 0, 1};
constexpr EdgeShares kColumnControlShares{0.5, 0.5, 1, 1, 1, 1};
constexpr EdgeShares kColumnLineShares{0.5, 1, 1, 1, 1, 1};
constexpr EdgeShares kButtonShares{1, 1, 1, 1, 1, 1};

// How much the window may give up: what keeps every box usable.
constexpr int kNarrowerUnits = 120;
constexpr int kShorterUnits = 90;

// Room left on the screen for the window manager's frame and title bar.
constexpr int kFrameWidth = 16;
constexpr int kFrameHeight = 48;

}  // namespace

void GeneratorDialog::LayOutForResizing(QWidget* column, const DialogUnits& units) {
  const auto add = [this](QWidget* widget, const EdgeShares& shares) {
    stretch_.Add(widget, widget->geometry(), shares);
  };
  add(sampleEdit_, kSampleBoxShares);
  add(fontDataBox_, kFontDataBoxShares);
  add(column, kColumnShares);
  add(previewBox_, kColumnShares);
  for (QWidget* control :
       {static_cast<QWidget*>(sizeGroupBox_), static_cast<QWidget*>(widthLabel_),
        static_cast<QWidget*>(widthBox_), static_cast<QWidget*>(heightLabel_),
        static_cast<QWidget*>(heightBox_), static_cast<QWidget*>(sortGroupBox_),
        static_cast<QWidget*>(sortByUnicodeButton_), static_cast<QWidget*>(sortByAnsiButton_),
        static_cast<QWidget*>(fontButton_)}) {
    add(control, kColumnControlShares);
  }
  add(faceNameBox_, kColumnLineShares);
  add(progressBar_, kColumnLineShares);
  for (QWidget* button : {exitButton_, generateButton_, aboutButton_, exportButton_})
    add(button, kButtonShares);

  setMinimumSize(templateSize_ - units.Size(kNarrowerUnits, kShorterUnits));
  // Opened no larger than the screen has room for.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QSize room = screen->availableGeometry().size() - QSize(kFrameWidth, kFrameHeight);
    resize(templateSize_.boundedTo(room).expandedTo(minimumSize()));
  }
}

void GeneratorDialog::resizeEvent(QResizeEvent* event) {
  stretch_.Apply(templateSize_, event->size());
  QDialog::resizeEvent(event);
}

}  // namespace pindot
