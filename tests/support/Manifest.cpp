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
  std::string Out;
  for (size_t I = 0; I < S.size(); ++I) {
    if (S[I] == '\\' && I + 3 < S.size() && S[I + 1] == 'x') {
      Out += char(std::strtoul(S.substr(I + 2, 2).c_str(), nullptr, 16));
      I += 3;
    } else {
      Out += S[I];
    }
  }
  return Out;
}

std::vector<std::string> SplitTabs(const std::string& Line) {
  std::vector<std::string> Fields;
  std::string Field;
  std::istringstream In(Line);
  while (std::getline(In, Field, '\t')) Fields.push_back(Field);
  if (!Line.empty() && Line.back() == '\t') Fields.emplace_back();
  return Fields;
}

uint32_t Number(const std::string& S, int Base) {
  return S.empty() ? 0 : uint32_t(std::strtoul(S.c_str(), nullptr, Base));
}

std::vector<ManifestRow> Load() {
  std::vector<ManifestRow> Rows;
  std::ifstream In(DataPath("zip/MANIFEST.tsv"));
  std::string Line;
  std::getline(In, Line);  // header
  while (std::getline(In, Line)) {
    if (!Line.empty() && Line.back() == '\r') Line.pop_back();
    auto F = SplitTabs(Line);
    F.resize(11);
    ManifestRow R;
    R.Archive = F[0];
    R.Entry = Unescape(F[1]);
    R.Method = F[2].empty() ? -1 : int(Number(F[2], 10));
    R.Flags = Number(F[3], 16);
    R.CompressedSize = Number(F[4], 10);
    R.UncompressedSize = Number(F[5], 10);
    R.Crc32 = Number(F[6], 16);
    R.Sha256 = F[7];
    R.Password = F[8];
    R.Tool = F[9];
    R.Notes = F[10];
    Rows.push_back(R);
  }
  return Rows;
}

}  // namespace

const std::vector<ManifestRow>& Manifest() {
  static const std::vector<ManifestRow> Rows = Load();
  return Rows;
}

std::vector<ManifestRow> ManifestRowsOf(const std::string& Archive) {
  std::vector<ManifestRow> Out;
  for (const auto& R : Manifest())
    if (R.Archive == Archive) Out.push_back(R);
  return Out;
}

}  // namespace skwtest
