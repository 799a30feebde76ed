// The option enumerations of the archive components' common configuration: what
// to do with existing output files, which date an extracted file gets, how
// deleted files are disposed of, and how the compression side stores folder names.
#pragma once
#include <cstdint>

namespace kst {

// What an extraction does when the output file exists.
enum TOverwriteMode : uint8_t { omOverwrite, omSkip };

// Date given to an extracted file: the entry's, the current one, or the newest
// entry date of the run.
enum TDateAttribute : uint8_t { daFileDate, daSysDate, daMaxFileDate };

// How files are deleted: recoverably, or for good.
enum TDeleteOptions : uint8_t { doAllowUndo, doFinal };

// Folder names stored by the compression side.
enum TStoredDirNames : uint8_t {
  sdNone,
  sdAbsolute,
  sdAbsoluteNoDrv,
  sdRelative,
  sdRelativeStoreStart,
  sdExplorer,
};

}  // namespace kst
