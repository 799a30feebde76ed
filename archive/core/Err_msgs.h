// Error identifiers of the archive library and their fixed English texts.
// Every failure inside the library is reported by number (through TZipCommon's
// RaiseError or RaiseErrorStr); the text belonging to the number is looked up only
// when an error is reported, and becomes the whole message of an E_RAISE exception
// (declared here, beside the table, so the decoders need nothing else).
// The identifiers are not contiguous; an identifier without an entry has the empty
// text.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

namespace kst {

// Attributes and headers.
inline constexpr int32_t Err64BitHeader = 25101;
inline constexpr int32_t Err32BitHeader = 25102;
inline constexpr int32_t ErrFileReadOnly = 25104;
inline constexpr int32_t ErrFileHidden = 25105;
inline constexpr int32_t ErrFileSysFile = 25106;
inline constexpr int32_t ErrFileIsDirectory = 25107;
inline constexpr int32_t ErrFileVolumeId = 25108;
inline constexpr int32_t ErrInvalidFileAttr = 25109;
inline constexpr int32_t ErrBadFileHeader = 25110;
inline constexpr int32_t ErrBadBlock = 25111;

// Decoding.
inline constexpr int32_t ErrBadHuffmanCode = 25120;
inline constexpr int32_t ErrInvalidCode = 25121;
inline constexpr int32_t ErrInvalidCommentHeader = 25122;
inline constexpr int32_t ErrNoBeginLine = 25123;
inline constexpr int32_t ErrIncorrectBitCount = 25134;
inline constexpr int32_t ErrBrokenVolumeChain = 25135;
inline constexpr int32_t ErrWriteFile = 25136;
inline constexpr int32_t ErrCloseFile = 25137;
inline constexpr int32_t ErrIncompleteCodeSet = 25138;
inline constexpr int32_t ErrCorruptInput = 25139;

// Files, folders and disks.
inline constexpr int32_t ErrCreateDir = 25150;
inline constexpr int32_t ErrCrcCheck = 25151;
inline constexpr int32_t ErrInvalidDecodeTree = 25152;
inline constexpr int32_t ErrWriteDiskLabel = 25153;
inline constexpr int32_t ErrNoDiskLabel = 25154;
inline constexpr int32_t ErrDiskSpace = 25155;
inline constexpr int32_t ErrUnableCreateDir = 25156;
inline constexpr int32_t ErrInvalidDir = 25157;
inline constexpr int32_t ErrInvalidDirDefault = 25158;
inline constexpr int32_t ErrDiskFull = 25159;
inline constexpr int32_t ErrNotAccessible = 25160;
inline constexpr int32_t ErrEofNotFound = 25161;
inline constexpr int32_t ErrUnexpectedEof = 25166;
inline constexpr int32_t ErrUnexpectedEol = 25167;
inline constexpr int32_t ErrEolNotFound = 25168;
inline constexpr int32_t ErrDeleteFile = 25169;
inline constexpr int32_t ErrCommandExec = 25170;
inline constexpr int32_t ErrSameInOutName = 25171;
inline constexpr int32_t ErrFileNotFound = 25172;
inline constexpr int32_t ErrFileSizeDiffers = 25173;
inline constexpr int32_t ErrFileSizeExceedsOs = 25174;

// Archive handling.
inline constexpr int32_t ErrUnknownFlags = 25230;
inline constexpr int32_t ErrFlatScrollBar = 25232;
inline constexpr int32_t ErrOpenFile = 25235;
inline constexpr int32_t ErrReadFile = 25236;
inline constexpr int32_t ErrHeaderCrc = 25237;
inline constexpr int32_t ErrHeaderId = 25238;
inline constexpr int32_t ErrUnexpectedLineBreak = 25239;
inline constexpr int32_t ErrLineBeforeBegin = 25240;
inline constexpr int32_t ErrIllegalChar = 25241;
inline constexpr int32_t ErrArcTypeUnsupported = 25242;
inline constexpr int32_t ErrInvalidFileName = 25243;
inline constexpr int32_t ErrSendBitsLength = 25245;
inline constexpr int32_t ErrInconsistentBitCounts = 25246;
inline constexpr int32_t ErrBadLengths = 25247;
inline constexpr int32_t ErrLocalHeader = 25248;
inline constexpr int32_t ErrLookahead = 25249;
inline constexpr int32_t ErrMaxVolumes = 25250;
inline constexpr int32_t ErrOutOfMemory = 25253;
inline constexpr int32_t ErrNoMemoryStream = 25255;
inline constexpr int32_t ErrMaxFileSize = 25256;
inline constexpr int32_t ErrNoFileStream = 25258;
inline constexpr int32_t ErrHeaderNotFound = 25259;
inline constexpr int32_t ErrUnrarDllMissing = 25260;
inline constexpr int32_t ErrCabinetDllMissing = 25261;
inline constexpr int32_t ErrAceDllMissing = 25262;
inline constexpr int32_t ErrMultiPartGZip = 25264;
inline constexpr int32_t ErrNestedDirs = 25265;
inline constexpr int32_t ErrNothingToDecode = 25266;
inline constexpr int32_t ErrEventNotAssigned = 25270;
inline constexpr int32_t ErrOpenQuote = 25280;
inline constexpr int32_t ErrOpenParen = 25281;
inline constexpr int32_t ErrPasswordProtected = 25290;
inline constexpr int32_t ErrSeek = 25292;
inline constexpr int32_t ErrAmbiguousTree = 25293;
inline constexpr int32_t ErrNoDesktopFolder = 25294;
inline constexpr int32_t ErrSpecialFolder = 25295;
inline constexpr int32_t ErrShellAllocator = 25296;
inline constexpr int32_t ErrSearchModeText = 25297;
inline constexpr int32_t ErrStackOverflow = 25298;
inline constexpr int32_t ErrStreamReadWrite = 25299;

// Capabilities.
inline constexpr int32_t ErrStreamingUnsupported = 25324;
inline constexpr int32_t ErrNoHighPerfTimer = 25325;
inline constexpr int32_t ErrUnsupportedMethod = 25326;
inline constexpr int32_t ErrUnknownFileType = 25327;
inline constexpr int32_t ErrUnsupportedVersion = 25328;
inline constexpr int32_t ErrUpdateArchive = 25350;
inline constexpr int32_t ErrVersion = 25402;
inline constexpr int32_t ErrUserCanceled = 25449;
inline constexpr int32_t ErrRequiresWin32 = 25450;

// Cabinet volumes.
inline constexpr int32_t ErrCabFirstDisk = 25901;
inline constexpr int32_t ErrCabPrevVolume = 25902;
inline constexpr int32_t ErrCabNextVolume = 25903;
inline constexpr int32_t ErrCabWrongSet = 25904;
inline constexpr int32_t ErrInsertFirstDisk = 25905;
inline constexpr int32_t ErrInsertLastDisk = 25906;

// File-selection dialog filters (not errors; they share the table).
inline constexpr int32_t FilterAllFiles = 26000;
inline constexpr int32_t FilterAllArchives = 26001;
inline constexpr int32_t FilterExecutables = 26002;

// Passwords, skipped files and prompts.
inline constexpr int32_t ErrInvalidPassword = 26517;
inline constexpr int32_t ErrPasswordFailed = 26522;
inline constexpr int32_t ErrSkippedFile = 26800;
inline constexpr int32_t ErrNothingToDo = 26859;
inline constexpr int32_t ErrCreateDirPrompt = 26899;

// Number of identifiers in the table.
inline constexpr int ErrorTextCount = 104;

// The fixed text of an identifier, or "" when the table has no entry for it.
std::string ErrorText(int32_t ECode);

// The library's exception. Its message is the bare text of an error identifier.
class E_RAISE : public std::runtime_error {
 public:
  explicit E_RAISE(const std::string& Message) : std::runtime_error(Message) {}
};

}  // namespace kst
