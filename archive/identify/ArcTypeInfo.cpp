// Tables behind ArcTypeInfo.h. The display names are shown in fixed-width columns,
// so their padding is part of the text. The capability sets are written out as
// lists of kinds so that each set can be read against the others at a glance.
#include "archive/identify/ArcTypeInfo.h"

#include "archive/names/NoCase.h"

#include <algorithm>
#include <array>
#include <initializer_list>

namespace kst {
namespace {

constexpr std::array<std::string_view, ArcTypeCount> kDisplayNames{{
    "Not avail. ", "Unsupport.", "File Error", "Unknown   ", "ACE       ", "ACE SFX   ",  "ARC       ", "ARC SFX   ",
    "ARJ       ",  "ARJ SFX   ", "BH        ", "BH  SFX   ", "CAB       ", "GZip      ",  "HA        ", "Java JAR  ",
    "JJAR SFX  ",  "LHA       ", "LHA SFX   ", "LZH       ", "LZH SFX   ", "MsGZ     \t", "PAK       ", "PAK SFX   ",
    "RAR       ",  "RAR SFX   ", "TAR       ", "UUE       ", "ZIP       ", "ZIP SFX   ",  "Zip MVol  ", "ZOO       ",
}};

constexpr std::array<std::string_view, ArchiveExtCount> kArchiveExts{{
    ".UUE", ".XXE", ".ENC", ".TAR", ".Z",   ".GZ",  ".ZIP", ".ZOO", ".LHA", ".LZH",
    ".ARC", ".ARJ", ".BH",  ".PAK", ".CAB", ".RAR", ".EXE", ".JAR", ".ACE", ".TGZ",
}};

bool IsOneOf(TArcType ArcType, std::initializer_list<TArcType> Set) {
  return std::find(Set.begin(), Set.end(), ArcType) != Set.end();
}

}  // namespace

std::string ArcTypeDisplayName(TArcType ArcType) {
  if (ArcType >= ArcTypeCount) return {};
  return std::string(kDisplayNames[ArcType]);
}

int ArchiveExtIndex(std::string_view Ext) {
  for (int I = 0; I < ArchiveExtCount; ++I) {
    if (EqualNoCase(Ext, kArchiveExts[static_cast<size_t>(I)])) return I;
  }
  return -1;
}

std::string_view ArchiveExt(int Index) {
  if (Index < 0 || Index >= ArchiveExtCount) return {};
  return kArchiveExts[static_cast<size_t>(Index)];
}

bool IsArcValid(TArcType ArcType) {
  return ArcType < ArcTypeCount && !IsOneOf(ArcType, {atNA, atUnsupported, atFileOpenErr, atUnknown});
}

bool IsArcDecompressable(TArcType ArcType) {
  return IsOneOf(ArcType, {atAce,    atAceExe, atArc, atArcExe, atArj,    atArjExe, atBh,     atBhExe,
                           atCab,    atGZip,   atJar, atLha,    atLhaExe, atLzh,    atLzhExe, atRar,
                           atRarExe, atTar,    atUue, atZip,    atZipExe, atZipMV,  atZoo});
}

bool IsArcSearchable(TArcType ArcType) { return IsArcDecompressable(ArcType) || ArcType == atJarExe; }

bool IsArcVerifyable(TArcType ArcType) { return IsArcSearchable(ArcType) && ArcType != atCab; }

bool IsArcCompressable(TArcType ArcType) {
  return IsOneOf(ArcType, {atBh, atCab, atGZip, atJar, atLha, atLzh, atTar, atZip});
}

bool IsCommentEditable(TArcType ArcType) { return IsOneOf(ArcType, {atZip, atZipExe}); }

bool IsZipListable(TArcType ArcType) { return IsOneOf(ArcType, {atZip, atZipExe, atJar, atJarExe}); }

bool IsZipExtractable(TArcType ArcType) { return IsOneOf(ArcType, {atZip, atZipExe, atZipMV, atJar}); }

bool IsAnyZip(TArcType ArcType) { return IsZipListable(ArcType) || IsZipExtractable(ArcType); }

bool DecryptsOnWrite(TArcType ArcType) { return IsZipExtractable(ArcType) || IsOneOf(ArcType, {atBh, atBhExe}); }

}  // namespace kst
