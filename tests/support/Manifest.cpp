// Loads MANIFEST.tsv once. Names are stored with bytes below 0x20, above 0x7E and
// the backslash written as \xNN; they are decoded back to the stored bytes here.
#include "tests/support/Manifest.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/support/TestData.h"

namespace skwtest {
namespace {

std::string Unescape(const std::string& S) {
  std::string out;
  for (size_t i = 0; i < S.size(); ++i) {
    if (S[i] == '\\' && i + 3 < S.size() && S[i + 1] == 'x') {
      out += char(std::strtoul(S.substr(i + 2, 2).c_str(), nullptr, 16));
      i += 3;
    } else {
      out += S[i];
    }
  }
  return out;
}

std::vector<std::string> SplitTabs(const std::string& Line) {
  std::vector<std::string> fields;
  std::string field;
  std::istringstream in(Line);
  while (std::getline(in, field, '\t')) fields.push_back(field);
  if (!Line.empty() && Line.back() == '\t') fields.emplace_back();
  return fields;
}

uint32_t Number(const std::string& S, int Base) {
  return S.empty() ? 0 : uint32_t(std::strtoul(S.c_str(), nullptr, Base));
}

std::vector<ManifestRow> Load() {
  std::vector<ManifestRow> rows;
  std::ifstream in(DataPath("zip/MANIFEST.tsv"));
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    auto f = SplitTabs(line);
    f.resize(11);
    ManifestRow r;
    r.Archive = f[0];
    r.Entry = Unescape(f[1]);
    r.Method = f[2].empty() ? -1 : int(Number(f[2], 10));
    r.Flags = Number(f[3], 16);
    r.CompressedSize = Number(f[4], 10);
    r.UncompressedSize = Number(f[5], 10);
    r.Crc32 = Number(f[6], 16);
    r.Sha256 = f[7];
    r.Password = f[8];
    r.Tool = f[9];
    r.Notes = f[10];
    rows.push_back(r);
  }
  return rows;
}

}  // namespace

const std::vector<ManifestRow>& Manifest() {
  static const std::vector<ManifestRow> rows = Load();
  return rows;
}

std::vector<ManifestRow> ManifestRowsOf(const std::string& Archive) {
  std::vector<ManifestRow> out;
  for (const auto& r : Manifest())
    if (r.Archive == Archive) out.push_back(r);
  return out;
}

}  // namespace skwtest
