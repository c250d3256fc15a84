#include "font_pipeline.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "base/user_error.h"
#include "font/face_losses.h"
#include "font/font_canvas.h"
#include "font/font_metrics.h"
#include "glyph/generator.h"
#include "glyph/loss_report.h"
#include "output/exporter.h"
#include "output/font_data_text.h"
#include "output/glyph_sheet.h"
#include "text/code_page.h"

namespace pindot {

namespace {

constexpr size_t kSettingsBytes = 4;
constexpr unsigned kCodePages[] = {1252, 936, 932, 950};
// The most pixels a run draws, scans and writes out: see AffordableSample.
constexpr uint64_t kPixelBudget = uint64_t{1} << 22;

// Ends the run as a finding: the fuzzer and the replay both report an abort.
[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "font pipeline: %s\n", what.c_str());
  std::abort();
}

// The samples an input picks from: the worked example; printable ASCII and a line break; the
// characters the code pages and the C literal treat apart (a quote, a backslash, a tab,
// DEL, NUL, U+00A5 which is 0x5C in CP932, U+4E57 whose CP936 trail byte is 0x5C, full-width
// letters); surrogates whole and halved, a non-character, a combining mark, a line separator.
std::u16string Sample(unsigned choice) {
  switch (choice) {
    case 0:
      return u"j\u4e2dij";
    case 1: {
      std::u16string ascii;
      for (char16_t unit = 0x20; unit < 0x7F; ++unit) ascii.push_back(unit);
      return ascii + u"\r\n";
    }
    case 2:
      return std::u16string(u"Aa\u00e9\u00a5\u0391\u4e2d\u56fd\u4e57\uff21\u3000\"\\\t\x7f\0\x85",
                            16);
    default:
      return u"\xd83d\xde00\xdc00\xd800\ufffd\uffff\u200b\u0300\u2028\uf041\ue000W";
  }
}

// A progress display that holds the pipeline to its word: never past the range it was given.
class CheckedProgress : public ProgressIndicator {
 public:
  void SetRange(uint32_t maximum) override { maximum_ = maximum; }
  void SetPosition(uint32_t position) override {
    if (position > maximum_) Fail("progress set past its range");
    position_ = position;
  }
  void Step() override {
    if (position_ >= maximum_) Fail("progress stepped past its range");
    ++position_;
  }

 private:
  uint32_t maximum_ = 0;
  uint32_t position_ = 0;
};

// The folder, made once per process and removed at exit, that holds the font file of each input
// and into which the exports are written; they are never committed, so only the font is there.
class Scratch {
 public:
  Scratch() {
    const char* temporary = std::getenv("TMPDIR");
    folder_ = std::string(temporary != nullptr && *temporary != 0 ? temporary : "/tmp") +
              "/pindot-fuzz-XXXXXX";
    if (mkdtemp(folder_.data()) == nullptr) Fail("mkdtemp " + folder_ + ": " + strerror(errno));
  }
  ~Scratch() {
    unlink(FontPath().c_str());
    rmdir(folder_.c_str());
  }

  // Makes the font file hold exactly these bytes; gives its path.
  std::string WriteFont(const uint8_t* bytes, size_t size) {
    std::ofstream file(FontPath(), std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(size));
    if (!file.flush()) Fail("cannot write " + FontPath());
    return FontPath();
  }

  std::string FontPath() const { return folder_ + "/font"; }
  std::string ExportPath() const { return folder_ + "/fuzz.txt"; }

 private:
  std::string folder_;
};

Scratch& TheScratch() {
  static Scratch scratch;
  return scratch;
}

// The fuzzer looks for faults, not for the cost of large but allowed work. Drawing, scanning, the
// preview and the font data text grow with the pixels of each unit of the sample and of its table
// cell: at 1000-pixel cells, some 10^6 a unit, a second a unit under the sanitizers and the
// fuzzer's coverage. The sample is cut where they come to kPixelBudget (a sample of 112 units of
// 64 x 128 pixels is kept whole, at 1000 x 1000 four units are).
std::u16string_view AffordableSample(std::u16string_view sample, GlyphCanvas& canvas,
                                     const GeneratorSettings& settings) {
  uint64_t pixels = 0;
  for (size_t i = 0; i < sample.size(); ++i) {
    const TextExtent extent = canvas.MeasureCharacter(sample[i]);
    pixels += (uint64_t{std::max(extent.cx, settings.width)} + 1) * (uint64_t{extent.cy} + 1);
    if (pixels > kPixelBudget) return sample.substr(0, i);
  }
  return sample;
}

}  // namespace

std::string RunFontPipeline(const uint8_t* data, size_t size) {
  if (size < kSettingsBytes) return {};
  const uint8_t sizeByte = data[0], flags = data[1], choice = data[2];
  FontRequest fontRequest;
  (sizeByte & 0x40 ? fontRequest.emHeight : fontRequest.cellHeight) = (sizeByte & 0x3F) + 1;
  fontRequest.weight = flags & 0x01 ? 700 : 400;
  fontRequest.italic = (flags & 0x02) != 0;
  fontRequest.underline = (flags & 0x04) != 0;
  fontRequest.strikeOut = (flags & 0x08) != 0;
  DataTextOptions options;
  options.constTables = (flags & 0x20) != 0;
  std::u16string sample = Sample(choice & 3);
  size_t offset = kSettingsBytes;
  for (unsigned added = choice >> 4; added > 0 && offset + 2 <= size; --added, offset += 2) {
    sample.push_back(static_cast<char16_t>(data[offset] | data[offset + 1] << 8));
  }
  fontRequest.filePath = TheScratch().WriteFont(data + offset, size - offset);

  // The steps the command line and the window take for a font file, in their order. A UserError
  // is the font refused with a message for the user: what a hostile file should get.
  try {
    std::unique_ptr<FontCanvas> canvas = FontCanvas::Open(fontRequest);
    fontRequest.faceName = canvas->ResolvedFamily();
    Generator generator{CodePage(kCodePages[(choice >> 2) & 3])};
    MeasureFont(*canvas, fontRequest, generator.Settings());
    if (data[3] != 0) generator.Settings().width = data[3];
    generator.Settings().sortByUnicode = (flags & 0x10) == 0;
    CheckedProgress progress;
    generator.Generate(AffordableSample(sample, *canvas, generator.Settings()), *canvas, progress);

    generator.WriteGlyphPreview([](std::u16string_view) {});
    BuildFontDataText(generator, progress, options);
    LossReport losses = FindLosses(generator);
    AddFaceLosses(*canvas, fontRequest, generator, losses);
    DescribeLosses(losses, flags & 0x40 ? Language::kChinese : Language::kEnglish,
                   (flags & 0x80) != 0, u" (more)");
    PreparedExport prepared(generator, TheScratch().ExportPath(), progress, options);
    for (const ExportFailure& failure : prepared.Failures()) {
      Fail("cannot write " + failure.path + " into the scratch folder: " + failure.reason);
    }
    if (sizeByte & 0x80) EncodeGlyphSheet(generator);
  } catch (const UserError& error) {
    return error.what();
  }
  return {};
}

}  // namespace pindot
