// The Glyph Grid window: every entry of both tables as the glyph sheet draws it, zoomable;
// clicking an entry names its character, code, key, table and bytes.
#pragma once

#include <QAbstractScrollArea>
#include <QDialog>
#include <memory>
#include <optional>
#include <vector>

#include "glyph/glyph_entry.h"
#include "output/glyph_sheet.h"
#include "text/string_table.h"

class QPlainTextEdit;
class QSpinBox;

namespace pindot {

class Generator;

// Paints only the rows of the sheet it shows, so a table of any size costs one row of pixels.
class GlyphGridView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit GlyphGridView(QWidget* parent = nullptr);

  // The sheet of these tables (which must outlive it) at `zoom`; 0 picks the sheet's own.
  void SetTables(const SheetTable& thin, const SheetTable& wide, uint32_t zoom);
  const GlyphSheetPicture* Picture() const { return picture_ ? &*picture_ : nullptr; }

 signals:
  void EntryClicked(bool wide, size_t index);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void UpdateScrollBars();

  std::optional<GlyphSheetPicture> picture_;
};

class GlyphGridWindow : public QDialog {
  Q_OBJECT

 public:
  explicit GlyphGridWindow(Language language, QWidget* parent = nullptr);
  ~GlyphGridWindow() override;

  // Shows the generator's last run, `missing` (the characters the face has no glyph for) marked;
  // what is shown is a copy, kept until the next call.
  void ShowGenerator(const Generator& generator, std::vector<char16_t> missing);

  QSpinBox* ZoomBox() const { return zoomBox_; }
  GlyphGridView* View() const { return view_; }
  QPlainTextEdit* EntryBox() const { return entryBox_; }

 private:
  void ShowEntry(bool wide, size_t index);

  Language language_;
  QSpinBox* zoomBox_;
  GlyphGridView* view_;
  QPlainTextEdit* entryBox_;
  std::unique_ptr<GeneratorSheet> sheet_;
  std::vector<GlyphEntry> entries_[2];  // thin, wide, in table order
};

}  // namespace pindot
