// list: every record of a container in file order, as the engine's walk reads
// it, in aligned columns or tab-separated (--tsv). A record whose type is above
// 3 ends after its type field, so it shows "-" for the fields it does not have.
// The palette count and the totals follow the rows (on "#" lines with --tsv, so
// a reader that skips comment lines gets the rows alone). A name is free text,
// so in a tab-separated row its backslashes, tabs and line breaks are written as
// \\, \t, \n and \r: one record stays one line of ten fields.
#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/skinwright-tex/ContainerSource.h"

namespace tex_tool {

namespace {

constexpr size_t kColumns = 10;
using TRow = std::array<std::string, kColumns>;

const TRow kHeading = {"#", "Name", "Type", "Width", "Height", "Mips", "Palette", "Offset", "Size", "Indexed"};

TRow RowOf(const skw::TTextureRecord& Record) {
  const auto Field = [&Record](int64_t Value) { return Record.HasHeader ? std::to_string(Value) : "-"; };
  return {std::to_string(Record.Number), Record.Name,
          std::to_string(Record.Type),   Field(Record.Width),
          Field(Record.Height),          Field(Record.MipCount),
          Field(Record.PaletteNumber),   Field(Record.DataOffset),
          Field(Record.DataSize),        Record.Indexed ? "1" : "0"};
}

std::string TsvField(const std::string& Text) {
  std::string Field;
  for (const char C : Text) {
    switch (C) {
      case '\\': Field += "\\\\"; break;
      case '\t': Field += "\\t"; break;
      case '\n': Field += "\\n"; break;
      case '\r': Field += "\\r"; break;
      default: Field += C;
    }
  }
  return Field;
}

void PrintTsv(const std::vector<TRow>& Rows) {
  for (const TRow& Row : Rows) {
    for (size_t Column = 0; Column < kColumns; ++Column)
      std::printf("%s%s", Column == 0 ? "" : "\t", TsvField(Row[Column]).c_str());
    std::printf("\n");
  }
}

// The name column is aligned left, the numbers right.
void PrintColumns(const std::vector<TRow>& Rows) {
  std::array<size_t, kColumns> Width{};
  for (size_t Column = 0; Column < kColumns; ++Column) Width[Column] = kHeading[Column].size();
  for (const TRow& Row : Rows)
    for (size_t Column = 0; Column < kColumns; ++Column) Width[Column] = std::max(Width[Column], Row[Column].size());
  const auto Print = [&Width](const TRow& Row) {
    std::string Line;
    for (size_t Column = 0; Column < kColumns; ++Column) {
      const std::string Pad(Width[Column] - Row[Column].size(), ' ');
      if (Column > 0) Line += "  ";
      Line += Column == 1 ? Row[Column] + Pad : Pad + Row[Column];
    }
    while (!Line.empty() && Line.back() == ' ') Line.pop_back();
    std::printf("%s\n", Line.c_str());
  };
  Print(kHeading);
  for (const TRow& Row : Rows) Print(Row);
}

}  // namespace

int RunList(const TArgs& Args) {
  const TOptions Options = ParseOptions(Args, {"--container", "--bin", "--pal", "--tsv"});
  if (!Options.Words.empty()) throw UsageError("list takes no file names (use --container FILE)");
  const TContainer Container = LoadContainer(ContainerPathFrom(Options));

  std::vector<TRow> Rows;
  size_t Indexed = 0;
  int64_t PixelBytes = 0;
  for (const skw::TTextureRecord& Record : Container.Records) {
    Rows.push_back(RowOf(Record));
    Indexed += Record.Indexed ? 1 : 0;
    PixelBytes += Record.HasHeader ? Record.DataSize : 0;
  }
  const std::string Lead = Options.Tsv ? "# " : "";
  if (Options.Tsv) {
    PrintTsv(Rows);
  } else {
    std::printf("%s (%s)\n", Container.Path.c_str(), Container.Bin ? "true colour" : "palettised");
    PrintColumns(Rows);
  }
  const std::string Palettes =
      Lead + std::to_string(Container.PaletteCount) + (Container.PaletteCount == 1 ? " palette" : " palettes");
  const std::string Totals = Lead + std::to_string(Rows.size()) + " records, " + std::to_string(Indexed) +
                             " indexed, " + std::to_string(PixelBytes) + " bytes of pixel data, " +
                             std::to_string(Container.Stream.Size()) + " bytes in all";
  std::printf("%s\n%s\n", Palettes.c_str(), Totals.c_str());
  return kExitOk;
}

}  // namespace tex_tool
