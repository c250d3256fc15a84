#include "font_pipeline.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
    case 2: {
      const char16_t units[] = {u'A',   u'a',   0x00E9, 0x00A5, 0x0391, 0x4E2D, 0x56FD, 0x4E57,
                                0xFF21, 0x3000, u'"',   u'\\',  u'\t',  0x007F, 0x0000, 0x0085};
      return std::u16string(units, std::size(units));
    }
    default: {
      const char16_t units[] = {0xD83D, 0xDE00, 0xDC00, 0xD800, 0xFFFD, 0xFFFF,
                                0x200B, 0x0300, 0x2028, 0xF041, 0xE000, u'W'};
      return std::u16string(units, std::size(units));
    }
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

// The file the font is opened from (a memory file, named through /proc) and the folder the
// exports are written into, made once per process. The folder is removed at exit; the exports
// are never committed, so it stays empty.
class Scratch {
 public:
  Scratch() {
    fontFd_ = memfd_create("pindot-fuzz-font", MFD_CLOEXEC);
    if (fontFd_ < 0) Fail(std::string("memfd_create: ") + std::strerror(errno));
    fontPath_ = "/proc/self/fd/" + std::to_string(fontFd_);
    const char* temporary = std::getenv("TMPDIR");
    std::string pattern =
        std::string(temporary != nullptr && *temporary != 0 ? temporary : "/tmp") +
        "/pindot-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
      Fail("mkdtemp " + pattern + ": " + std::strerror(errno));
    }
    folder_ = pattern;
  }
  ~Scratch() {
    rmdir(folder_.c_str());
    close(fontFd_);
  }

  // Makes the memory file hold exactly these bytes; gives its path.
  const std::string& WriteFont(const uint8_t* bytes, size_t size) {
    if (ftruncate(fontFd_, 0) != 0) Fail(std::string("ftruncate: ") + std::strerror(errno));
    size_t done = 0;
    while (done < size) {
      const ssize_t written = pwrite(fontFd_, bytes + done, size - done, static_cast<off_t>(done));
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) Fail(std::string("pwrite: ") + std::strerror(errno));
      done += static_cast<size_t>(written);
    }
    return fontPath_;
  }

  std::string ExportPath() const { return folder_ + "/fuzz.txt"; }

 private:
  int fontFd_ = -1;
  std::string fontPath_;
  std::string folder_;
};

Scratch& TheScratch() {
  static Scratch scratch;
  return scratch;
}

struct Settings {
  FontRequest fontRequest;
  unsigned codePage = 1252;
  uint32_t width = 0;  // 0: measured
  bool ansiKeys = false;
  bool sheet = false;
  DataTextOptions dataTextOptions;
  Language language = Language::kEnglish;
  bool listAll = false;
};

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

// The steps the command line and the window take for a font file, in their order.
void RunSteps(Settings& settings, std::u16string_view sample) {
  FontRequest& fontRequest = settings.fontRequest;
  std::unique_ptr<FontCanvas> canvas = FontCanvas::Open(fontRequest);
  fontRequest.faceName = canvas->ResolvedFamily();

  Generator generator{CodePage(settings.codePage)};
  MeasureFont(*canvas, fontRequest, generator.Settings());
  if (settings.width != 0) generator.Settings().width = settings.width;
  generator.Settings().sortByUnicode = !settings.ansiKeys;
  CheckedProgress progress;
  sample = AffordableSample(sample, *canvas, generator.Settings());
  generator.Generate(sample, *canvas, progress);

  generator.GlyphPreviewText();
  BuildFontDataText(generator, progress, settings.dataTextOptions);

  LossReport losses = FindLosses(generator);
  AddFaceLosses(*canvas, fontRequest, generator, losses);
  DescribeLosses(losses, settings.language, settings.listAll, u" (more)");

  PreparedExport prepared(generator, TheScratch().ExportPath(), progress, settings.dataTextOptions);
  for (const ExportFailure& failure : prepared.Failures()) {
    Fail("cannot write " + failure.path + " into the scratch folder: " + failure.reason);
  }
  if (settings.sheet) EncodeGlyphSheet(generator);
}

}  // namespace

std::string RunFontPipeline(const uint8_t* data, size_t size) {
  if (size < kSettingsBytes) return {};
  const uint8_t sizeByte = data[0];
  const uint8_t flags = data[1];
  const uint8_t choice = data[2];

  Settings settings;
  FontRequest& fontRequest = settings.fontRequest;
  const int pixels = (sizeByte & 0x3F) + 1;
  if (sizeByte & 0x40) {
    fontRequest.emHeight = pixels;
  } else {
    fontRequest.cellHeight = pixels;
  }
  settings.sheet = (sizeByte & 0x80) != 0;
  fontRequest.weight = flags & 0x01 ? 700 : 400;
  fontRequest.italic = (flags & 0x02) != 0;
  fontRequest.underline = (flags & 0x04) != 0;
  fontRequest.strikeOut = (flags & 0x08) != 0;
  settings.ansiKeys = (flags & 0x10) != 0;
  settings.dataTextOptions.constTables = (flags & 0x20) != 0;
  settings.language = flags & 0x40 ? Language::kChinese : Language::kEnglish;
  settings.listAll = (flags & 0x80) != 0;
  settings.codePage = kCodePages[(choice >> 2) & 3];
  settings.width = data[3];

  std::u16string sample = Sample(choice & 3);
  size_t offset = kSettingsBytes;
  for (unsigned added = choice >> 4; added > 0 && offset + 2 <= size; --added, offset += 2) {
    sample.push_back(static_cast<char16_t>(data[offset] | data[offset + 1] << 8));
  }
  fontRequest.filePath = TheScratch().WriteFont(data + offset, size - offset);

  try {
    RunSteps(settings, sample);
  } catch (const UserError& error) {
    // The font was refused with a message for the user: what a hostile file should get.
    return error.what();
  }
  return {};
}

}  // namespace pindot
