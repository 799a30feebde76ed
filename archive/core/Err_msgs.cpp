// The text table behind ErrorText: one row per error identifier, kept sorted by
// identifier so a lookup is a binary search over constant data. The texts are the
// library's own wording, byte for byte (including its spelling slips), because
// callers and users compare messages with them.
#include "archive/core/Err_msgs.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace kst {
namespace {

struct TErrorEntry {
  int32_t Code;
  std::string_view Text;
};

constexpr std::array<TErrorEntry, ErrorTextCount> kErrorTable{{
    {Err64BitHeader, "64 bit hearder"},
    {Err32BitHeader, "32 bit header"},
    {ErrFileReadOnly, "File is read-only"},
    {ErrFileHidden, "File is hidden"},
    {ErrFileSysFile, "File is a SysFile"},
    {ErrFileIsDirectory, "File is a directory"},
    {ErrFileVolumeId, "File is a VolumeID"},
    {ErrInvalidFileAttr, "Invalid file attribute"},
    {ErrBadFileHeader, "Bad file header"},
    {ErrBadBlock, "Bad block"},
    {ErrBadHuffmanCode, "Bad Huffman code"},
    {ErrInvalidCode, "Invalid code encountered"},
    {ErrInvalidCommentHeader, "Invalid comment header"},
    {ErrNoBeginLine, "No BEGIN line"},
    {ErrIncorrectBitCount, "Incorrect number of bits"},
    {ErrBrokenVolumeChain, "Broken multi-volume chain"},
    {ErrWriteFile, "Error writing to file"},
    {ErrCloseFile, "Error closing file"},
    {ErrIncompleteCodeSet, "Incomplete code set"},
    {ErrCorruptInput, "Corrupt input"},
    {ErrCreateDir, "Error creating dir"},
    {ErrCrcCheck, "File fails CRC check"},
    {ErrInvalidDecodeTree, "File contains invalid decode tree"},
    {ErrWriteDiskLabel, "Error writing spanned-disk label"},
    {ErrNoDiskLabel, "Disks contains neither label nor serial numbers to compare"},
    {ErrDiskSpace, "Not enough disk space"},
    {ErrUnableCreateDir, "Unable to create directory"},
    {ErrInvalidDir, "Invalid directory"},
    {ErrInvalidDirDefault, "Invalid directory... defaulting to current"},
    {ErrDiskFull, "Disk full"},
    {ErrNotAccessible, "is not accessible."},
    {ErrEofNotFound, "EOF not found"},
    {ErrUnexpectedEof, "Unexpected end of file"},
    {ErrUnexpectedEol, "Unexpected end of line"},
    {ErrEolNotFound, "EOL not found"},
    {ErrDeleteFile, "Error deleting file(s)"},
    {ErrCommandExec, "Command exec failed"},
    {ErrSameInOutName, "Same input and output file-names"},
    {ErrFileNotFound, "File not found"},
    {ErrFileSizeDiffers, "File size different"},
    {ErrFileSizeExceedsOs, "FileSize exceeds OS's support"},
    {ErrUnknownFlags, "Warning, unknown flags"},
    {ErrFlatScrollBar, "Flat ScrollBar requires COMCTL32.dll version 4.71 or above."},
    {ErrOpenFile, "Error opening file"},
    {ErrReadFile, "Error reading file or unexpected end of file"},
    {ErrHeaderCrc, "Header CRC error"},
    {ErrHeaderId, "Header ID error"},
    {ErrUnexpectedLineBreak, "Unexpected line break"},
    {ErrLineBeforeBegin, "Line found before 'BEGIN'"},
    {ErrIllegalChar, "Skipped illegal char"},
    {ErrArcTypeUnsupported, "Invalid or unsupported archive type for this operation"},
    {ErrInvalidFileName, "Invalid file name"},
    {ErrSendBitsLength, "Invalid length in send_bits"},
    {ErrInconsistentBitCounts, "Inconsistent bit counts - gencodes"},
    {ErrBadLengths, "Bad lengths"},
    {ErrLocalHeader, "Inconsistant local header"},
    {ErrLookahead, "Insufficient lookahead"},
    {ErrMaxVolumes, "Maximum volumes 999"},
    {ErrOutOfMemory, "Out of memory"},
    {ErrNoMemoryStream, "Uninitialized TMemoryStream object"},
    {ErrMaxFileSize, "Max file size exceeded"},
    {ErrNoFileStream, "Uninitialized TFileStream object"},
    {ErrHeaderNotFound, "Header not found. File may be corrupt"},
    {ErrUnrarDllMissing, "Unrar.dll not found"},
    {ErrCabinetDllMissing, "Cabinet.dll not found"},
    {ErrAceDllMissing, "Ace.dll not found"},
    {ErrMultiPartGZip, "Multi-Part GZIP files not supported"},
    {ErrNestedDirs, "Too many nested dirs"},
    {ErrNothingToDecode, "Nothing to decode"},
    {ErrEventNotAssigned, "Required event not assigned"},
    {ErrOpenQuote, "Open quote, but no close quote"},
    {ErrOpenParen, "Open paran, but no close paran"},
    {ErrPasswordProtected, "Password protected"},
    {ErrSeek, "Seek error"},
    {ErrAmbiguousTree, "Ambiguous Shannon-Fano decode tree encountered"},
    {ErrNoDesktopFolder, "No desktop folder"},
    {ErrSpecialFolder, "Error getting SHGetSpecialFolderLocation"},
    {ErrShellAllocator, "Error getting Shell memory allocator"},
    {ErrSearchModeText, "Illegal text for search mode"},
    {ErrStackOverflow, "Stack overflow"},
    {ErrStreamReadWrite, "Stream read/write error"},
    {ErrStreamingUnsupported, "Streaming not supported with this archive type"},
    {ErrNoHighPerfTimer, "Hardware does not support high performance timing"},
    {ErrUnsupportedMethod, "Unsupported compression method"},
    {ErrUnknownFileType, "Unknown file type"},
    {ErrUnsupportedVersion, "Unsupported version"},
    {ErrUpdateArchive, "Error updating archive"},
    {ErrVersion, "Version error"},
    {ErrUserCanceled, "User canceled"},
    {ErrRequiresWin32, "Requires Win32 api"},
    {ErrCabFirstDisk, "Extraction of this cabinet requires first disk of set"},
    {ErrCabPrevVolume, "Previous volume in set"},
    {ErrCabNextVolume, "Next volume in set"},
    {ErrCabWrongSet, "Cabinet does not belong with this set"},
    {ErrInsertFirstDisk, "Insert FIRST diskette of this archive set"},
    {ErrInsertLastDisk, "Insert LAST disk of this archive set"},
    {FilterAllFiles, "All_files (*.*)|*.*"},
    {FilterAllArchives,
     "ALL Archives |*.ace;*.arc;*.arj;*.bh;*.cab;*.enc;*.exe;*.gz;*.ha;*.jar;*.lha;*.lzh;*.mbf;*.pak;*.pk3;*.pk_;*.rar;*.tar;*.tgz;*.uue;*.xxe;*.z;*.zip;*.zoo"},
    {FilterExecutables, "Executables (*.exe)"},
    {ErrInvalidPassword, "Invalid password"},
    {ErrPasswordFailed, "Password failed"},
    {ErrSkippedFile, "Skipped File"},
    {ErrNothingToDo, "Nothing to do"},
    {ErrCreateDirPrompt, "Directory does not exist... Create?"},
}};

constexpr bool IsSortedByCode() {
  for (size_t I = 1; I < kErrorTable.size(); ++I) {
    if (kErrorTable[I - 1].Code >= kErrorTable[I].Code) return false;
  }
  return true;
}
static_assert(IsSortedByCode(), "the error table must be sorted by identifier");

}  // namespace

std::string ErrorText(int32_t ECode) {
  const auto* Found = std::lower_bound(kErrorTable.begin(), kErrorTable.end(), ECode,
                                       [](const TErrorEntry& Entry, int32_t Code) { return Entry.Code < Code; });
  if (Found == kErrorTable.end() || Found->Code != ECode) return {};
  return std::string(Found->Text);
}

}  // namespace kst
