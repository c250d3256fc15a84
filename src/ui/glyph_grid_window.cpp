#include "ui/glyph_grid_window.h"

#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "glyph/generator.h"
#include "ui/in_language.h"
#include "ui/qt_text.h"

namespace pindot {

namespace {

constexpr int kMaximumZoom = 8;

int Clamped(uint64_t value) {
  return static_cast<int>(std::min<uint64_t>(value, INT32_MAX));
}

}  // namespace

GlyphGridView::GlyphGridView(QWidget* parent) : QAbstractScrollArea(parent) {
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void GlyphGridView::SetTables(const SheetTable& thin, const SheetTable& wide, uint32_t zoom) {
  picture_.emplace(thin, wide, zoom);
  UpdateScrollBars();
  viewport()->update();
}

void GlyphGridView::UpdateScrollBars() {
  const QSize shown = viewport()->size();
  const int width = picture_ ? Clamped(picture_->Width()) : 0;
  const int height = picture_ ? Clamped(picture_->Height()) : 0;
  horizontalScrollBar()->setRange(0, std::max(0, width - shown.width()));
  horizontalScrollBar()->setPageStep(shown.width());
  verticalScrollBar()->setRange(0, std::max(0, height - shown.height()));
  verticalScrollBar()->setPageStep(shown.height());
  verticalScrollBar()->setSingleStep(32);
}

void GlyphGridView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void GlyphGridView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.fillRect(viewport()->rect(), QColor::fromRgb(kGlyphSheetColours[0]));
  if (!picture_) return;
  const uint64_t left = static_cast<uint64_t>(horizontalScrollBar()->value());
  const uint64_t top = static_cast<uint64_t>(verticalScrollBar()->value());
  if (left >= picture_->Width() || top >= picture_->Height()) return;
  const int width = Clamped(std::min<uint64_t>(picture_->Width() - left, viewport()->width()));
  const int height = Clamped(std::min<uint64_t>(picture_->Height() - top, viewport()->height()));
  QImage image(width, height, QImage::Format_Indexed8);
  QVector<QRgb> colours;
  for (uint32_t colour : kGlyphSheetColours) colours << (0xff000000u | colour);
  image.setColorTable(colours);
  std::vector<uint8_t> row(picture_->Width());
  for (int y = 0; y < height; ++y) {
    picture_->PaintRow(top + static_cast<uint64_t>(y), row.data());
    std::copy_n(row.data() + left, width, image.scanLine(y));
  }
  painter.drawImage(0, 0, image);
}

void GlyphGridView::mousePressEvent(QMouseEvent* event) {
  if (!picture_ || event->button() != Qt::LeftButton) return;
  const QPoint point = event->position().toPoint();
  if (point.x() < 0 || point.y() < 0) return;
  const auto hit =
      picture_->CellAt(static_cast<uint64_t>(point.x() + horizontalScrollBar()->value()),
                       static_cast<uint64_t>(point.y() + verticalScrollBar()->value()));
  if (hit) emit EntryClicked(hit->wide, hit->index);
}

GlyphGridWindow::GlyphGridWindow(Language language, QWidget* parent)
    : QDialog(parent), language_(language) {
  setWindowTitle(InLanguage(language, "Glyph Grid", "字形网格"));
  zoomBox_ = new QSpinBox;
  zoomBox_->setRange(1, kMaximumZoom);
  zoomBox_->setSuffix(QStringLiteral(" x"));
  view_ = new GlyphGridView;
  entryBox_ = new QPlainTextEdit;
  entryBox_->setReadOnly(true);
  entryBox_->setMaximumHeight(fontMetrics().lineSpacing() * 5);
  entryBox_->setPlaceholderText(InLanguage(language, "Click a glyph to see its codes and bytes.",
                                           "单击字形查看其代码和字节。"));

  auto* zoomRow = new QHBoxLayout;
  auto* zoomLabel = new QLabel(InLanguage(language, "&Zoom:", "缩放(&Z):"));
  zoomLabel->setBuddy(zoomBox_);
  zoomRow->addWidget(zoomLabel);
  zoomRow->addWidget(zoomBox_);
  zoomRow->addStretch();
  auto* column = new QVBoxLayout(this);
  column->addLayout(zoomRow);
  column->addWidget(view_, 1);
  column->addWidget(entryBox_);
  resize(900, 700);

  connect(zoomBox_, &QSpinBox::valueChanged, this, [this](int zoom) {
    if (sheet_) view_->SetTables(sheet_->thin, sheet_->wide, static_cast<uint32_t>(zoom));
  });
  connect(view_, &GlyphGridView::EntryClicked, this, &GlyphGridWindow::ShowEntry);
}

GlyphGridWindow::~GlyphGridWindow() = default;

void GlyphGridWindow::ShowGenerator(const Generator& generator, std::vector<char16_t> missing) {
  auto sheet = MakeGeneratorSheet(generator, std::move(missing));
  entries_[0].assign(generator.ThinList().begin(), generator.ThinList().end());
  entries_[1].assign(generator.WideList().begin(), generator.WideList().end());
  const uint32_t zoom = GlyphSheetPicture(sheet->thin, sheet->wide).Zoom();
  view_->SetTables(sheet->thin, sheet->wide, zoom);
  sheet_ = std::move(sheet);
  const QSignalBlocker quiet(zoomBox_);
  zoomBox_->setValue(static_cast<int>(zoom));
  entryBox_->clear();
}

void GlyphGridWindow::ShowEntry(bool wide, size_t index) {
  const GlyphEntry& entry = entries_[wide ? 1 : 0].at(index);
  const SheetTable& table = wide ? sheet_->wide : sheet_->thin;
  const SheetCell& cell = table.cells.at(index);
  QStringList bytes;
  const size_t count = size_t{RowBytesOf(table.width)} * table.height;
  for (size_t byte = 0; byte < count; ++byte)
    bytes << QStringLiteral("0x%1").arg(cell.bytes[byte], 2, 16, QLatin1Char('0'));
  const int32_t key = entry.keyIsUnicode ? entry.unicodeValue : entry.ansiValue;
  const QString text =
      InLanguage(language_, "\"%1\"  U+%2  key 0x%3 (%4)  %5 table, %6 x %7%8",
                 "“%1”  U+%2  键 0x%3 (%4)  %5表, %6 x %7%8")
          .arg(ToQString(std::u16string(1, entry.character)))
          .arg(QString::number(entry.unicodeValue, 16).toUpper().rightJustified(4, '0'))
          .arg(key, 4, 16, QLatin1Char('0'))
          .arg(entry.keyIsUnicode ? QStringLiteral("Unicode") : QStringLiteral("ANSI"))
          .arg(wide ? InLanguage(language_, "wide", "宽") : InLanguage(language_, "thin", "窄"))
          .arg(table.width)
          .arg(table.height)
          .arg(cell.overflows ? InLanguage(language_, ", cut to the cell", ", 已裁切") : QString());
  entryBox_->setPlainText(text + QStringLiteral("\n{%1}").arg(bytes.join(QStringLiteral(", "))));
}

}  // namespace pindot
