// TArcType: the kinds of archive the library can recognise, in their fixed order
// (the numeric values are stored and compared, so the order never changes). The
// first four are outcomes of identification rather than archive kinds; the names
// ending in Exe are self-extracting executables, atZipMV a ZIP spanning removable
// disks. The name and extension tables and the capability sets live in ArcTypeInfo.h.
#pragma once
#include <cstdint>

namespace kst {

enum TArcType : uint8_t {
  atNA,           // no archive named, or not an archive
  atUnsupported,  // an archive signature of a kind that cannot be read in that position
  atFileOpenErr,  // the file could not be opened or is too short to test
  atUnknown,      // no signature found
  atAce,
  atAceExe,
  atArc,
  atArcExe,
  atArj,
  atArjExe,
  atBh,
  atBhExe,
  atCab,
  atGZip,
  atHA,
  atJar,
  atJarExe,
  atLha,
  atLhaExe,
  atLzh,
  atLzhExe,
  atMSGZ,
  atPak,
  atPakExe,
  atRar,
  atRarExe,
  atTar,
  atUue,
  atZip,
  atZipExe,
  atZipMV,
  atZoo,
};

// Number of TArcType values.
inline constexpr int ArcTypeCount = atZoo + 1;

}  // namespace kst
