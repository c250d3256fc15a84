#include "output/raw_font.h"

#include <algorithm>

#include "glyph/fitted_entries.h"
#include "text/number_text.h"

namespace pindot {

namespace {

constexpr const char* kLayoutNames[] = {"rows-msb", "rows-lsb", "pages-lsb", "pages-msb"};

bool PixelAt(const uint8_t* rows, const TableCell& cell, uint32_t x, uint32_t y) {
  return (rows[size_t{y} * cell.RowBytes() + (x >> 3)] >> (7 - (x & 7))) & 1;
}

// Where the pixel at (u, v) of the turned cell comes from in the cell as drawn.
void SourceOf(const TableCell& cell, unsigned rotation, uint32_t u, uint32_t v, uint32_t& x,
              uint32_t& y) {
  switch (rotation) {
    case 90:
      x = v, y = cell.height - 1 - u;
      break;
    case 180:
      x = cell.width - 1 - u, y = cell.height - 1 - v;
      break;
    case 270:
      x = cell.width - 1 - v, y = u;
      break;
    default:
      x = u, y = v;
  }
}

std::string TableName(std::string_view name, const RawTable& table, std::string_view what) {
  std::string text(name);
  if (!table.part.empty()) text += "_" + table.part;
  return text + "_" + std::string(what);
}

std::string MacroName(std::string_view name, const RawTable& table, std::string_view what) {
  return UpperCaseName(TableName(name, table, what));
}

void AppendNumberMacro(std::string& text, const std::string& macro, uint64_t value) {
  text += "#define " + macro + " " + std::to_string(value) + "u\n";
}

}  // namespace

std::optional<RawLayout> ParseRawLayout(std::string_view text) {
  for (size_t i = 0; i < std::size(kLayoutNames); ++i) {
    if (text == kLayoutNames[i]) return static_cast<RawLayout>(i);
  }
  return std::nullopt;
}

const char* RawLayoutName(RawLayout layout) {
  return kLayoutNames[static_cast<size_t>(layout)];
}

TableCell RotatedCell(const TableCell& cell, unsigned rotation) {
  return rotation % 180 == 90 ? TableCell{cell.height, cell.width} : cell;
}

size_t StoredBytes(const TableCell& rotated, RawLayout layout) {
  if (layout == RawLayout::kRowsMsb || layout == RawLayout::kRowsLsb) return rotated.Bytes();
  return size_t{RowBytesOf(rotated.height)} * rotated.width;
}

void StoreCell(const uint8_t* rows, const TableCell& cell, RawLayout layout, unsigned rotation,
               uint8_t* out) {
  const TableCell turned = RotatedCell(cell, rotation);
  std::fill_n(out, StoredBytes(turned, layout), 0);
  for (uint32_t v = 0; v < turned.height; ++v) {
    for (uint32_t u = 0; u < turned.width; ++u) {
      uint32_t x = 0, y = 0;
      SourceOf(cell, rotation, u, v, x, y);
      if (!PixelAt(rows, cell, x, y)) continue;
      switch (layout) {
        case RawLayout::kRowsMsb:
          out[size_t{v} * turned.RowBytes() + (u >> 3)] |= 0x80 >> (u & 7);
          break;
        case RawLayout::kRowsLsb:
          out[size_t{v} * turned.RowBytes() + (u >> 3)] |= 1 << (u & 7);
          break;
        case RawLayout::kPagesLsb:
          out[size_t{v >> 3} * turned.width + u] |= 1 << (v & 7);
          break;
        case RawLayout::kPagesMsb:
          out[size_t{v >> 3} * turned.width + u] |= 0x80 >> (v & 7);
          break;
      }
    }
  }
}

std::vector<RawTable> RawTablesOf(const Generator& generator, bool oneCell,
                                  std::vector<char16_t>& leftOut) {
  std::vector<RawTable> tables;
  std::vector<uint8_t> bytes;
  const auto keyOf = [](const GlyphEntry& entry) {
    return static_cast<uint16_t>(entry.keyIsUnicode ? entry.unicodeValue : entry.ansiValue);
  };
  const auto add = [&](RawTable& table, const FittedEntry& fitted) {
    fitted.FitInto(bytes);
    table.keys.push_back(keyOf(fitted.Entry()));
    table.cells.insert(table.cells.end(), bytes.begin(), bytes.end());
  };
  if (!oneCell) {
    for (TableKind kind : {TableKind::kThin, TableKind::kWide}) {
      const FittedEntries entries(generator, kind);
      RawTable& table = tables.emplace_back();
      table.part = kind == TableKind::kThin ? "thin" : "wide";
      table.cell = entries.Cell();
      for (const FittedEntry fitted : entries) add(table, fitted);
    }
    return tables;
  }
  // Both sorted lists merged by key, the thin entry first on a tie.
  RawTable& table = tables.emplace_back();
  table.cell = CellOf(TableKind::kWide, generator.Settings());
  const FittedEntries thin(generator, TableKind::kThin, table.cell);
  const FittedEntries wide(generator, TableKind::kWide, table.cell);
  auto t = thin.begin();
  auto w = wide.begin();
  while (t != thin.end() || w != wide.end()) {
    if (w == wide.end() || (t != thin.end() && keyOf((*t).Entry()) <= keyOf((*w).Entry()))) {
      if (w != wide.end() && keyOf((*t).Entry()) == keyOf((*w).Entry())) {
        leftOut.push_back((*w).Entry().character);
        ++w;
      }
      add(table, *t);
      ++t;
    } else {
      add(table, *w);
      ++w;
    }
  }
  return tables;
}

SourcePair WriteRawFont(std::string_view name, std::string_view headerName,
                        const std::vector<RawTable>& tables, RawLayout layout, unsigned rotation) {
  SourcePair files;
  std::string& header = files.header;
  header = HeaderStart(name, std::string(name) +
                                 ": glyph cells for a display driver, made by "
                                 "pindot");
  header +=
      "\n/* Each table holds COUNT keys in ascending order; the cell of keys[i] is the BYTES "
      "bytes at\n   data[i * BYTES], WIDTH x HEIGHT pixels as stored: " +
      (rotation == 0 ? std::string("upright")
                     : "turned " + std::to_string(rotation) + " degrees clockwise") +
      ", laid out " + RawLayoutName(layout) + ". */\n";
  std::string& source = files.source;
  source = "#include \"" + std::string(headerName) + "\"\n";
  const std::string search = std::string(name) + "_search";
  std::string lookup;
  std::vector<uint8_t> stored;
  for (const RawTable& table : tables) {
    const TableCell turned = RotatedCell(table.cell, rotation);
    const size_t storedBytes = StoredBytes(turned, layout);
    const size_t count = table.keys.size();
    header += "\n";
    AppendNumberMacro(header, MacroName(name, table, "count"), count);
    AppendNumberMacro(header, MacroName(name, table, "width"), turned.width);
    AppendNumberMacro(header, MacroName(name, table, "height"), turned.height);
    AppendNumberMacro(header, MacroName(name, table, "bytes"), storedBytes);
    header += "extern const uint16_t " + TableName(name, table, "keys") + "[];\n";
    header += "extern const uint8_t " + TableName(name, table, "data") + "[];\n";

    // An empty table still declares one element: C has no arrays of none.
    source += "\nconst uint16_t " + TableName(name, table, "keys") + "[" +
              std::to_string(std::max<size_t>(count, 1)) + "] = {\n";
    for (size_t i = 0; i < count; ++i) {
      source += i % 8 == 0 ? "  0x" : " 0x";
      AppendHex(source, table.keys[i], 4);
      source += i % 8 == 7 || i + 1 == count ? ",\n" : ",";
    }
    if (count == 0) source += "  0\n";
    source += "};\n\nconst uint8_t " + TableName(name, table, "data") + "[" +
              std::to_string(std::max<size_t>(count * storedBytes, 1)) + "] = {\n";
    stored.resize(storedBytes);
    for (size_t i = 0; i < count; ++i) {
      StoreCell(table.cells.data() + i * table.cell.Bytes(), table.cell, layout, rotation,
                stored.data());
      source += "  /* 0x";
      AppendHex(source, table.keys[i], 4);
      source += " */\n";
      AppendByteList(source, stored.data(), stored.size());
    }
    if (count * storedBytes == 0) source += "  0\n";
    source += "};\n";

    lookup += "  if (" + search + "(" + TableName(name, table, "keys") + ", " +
              MacroName(name, table, "count") + ", key, &index)) {\n";
    lookup += "    if (width) *width = " + MacroName(name, table, "width") + ";\n";
    lookup += "    if (height) *height = " + MacroName(name, table, "height") + ";\n";
    lookup += "    return " + TableName(name, table, "data") + " + index * " +
              MacroName(name, table, "bytes") + ";\n  }\n";
  }
  header +=
      "\n/* The cell of `key` with its stored width and height (either pointer may be NULL), "
      "or NULL when\n   the font has no glyph of that key. */\n";
  header += "const uint8_t *" + std::string(name) +
            "_lookup(uint16_t key, unsigned *width, unsigned *height);\n";
  header += HeaderEnd(name);

  source += "\n/* Binary search of `count` ascending keys. */\n";
  source += "static int " + search +
            "(const uint16_t *keys, size_t count, uint16_t key, size_t *index) {\n"
            "  size_t low = 0, high = count;\n"
            "  while (low < high) {\n"
            "    size_t middle = low + (high - low) / 2;\n"
            "    if (keys[middle] < key)\n"
            "      low = middle + 1;\n"
            "    else\n"
            "      high = middle;\n"
            "  }\n"
            "  *index = low;\n"
            "  return low < count && keys[low] == key;\n"
            "}\n\n";
  source += "const uint8_t *" + std::string(name) +
            "_lookup(uint16_t key, unsigned *width, unsigned *height) {\n  size_t index;\n" +
            lookup + "  return NULL;\n}\n";
  return files;
}

}  // namespace pindot
