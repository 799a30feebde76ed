// TUnBase: the extraction run shared by the extracting components. One call of
// a run operation (Extract, ExtractToMemoryStream, ...) opens the archive, lets
// the concrete component walk its headers (ExtractIT), and takes every selected
// entry through password, overwrite decision, output target, decoder, date and
// CRC check, reporting each step through the component's events. Every byte
// moves through ReadProc and ExtractWriteProc, which decrypt and keep the
// running CRC-32 on the way. Files written by a run never leave ExtractDir.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "archive/crc/Crc.h"
#include "archive/io/DecompMemoryStream.h"
#include "archive/io/ExtractStream.h"
#include "archive/decode/InflateRec.h"
#include "archive/identify/Kstbase.h"
#include "archive/extract/Kstcrypt.h"
#include "archive/io/Kstfileio.h"
#include "archive/core/Ksttypes.h"
#include "archive/names/EntryName.h"

namespace kst {

// Where a run writes the entries' bytes (values 0 to 7).
enum TFileAccessMethod : uint8_t {
  faFile,
  faMemoryStream,
  faFileStream,
  faUserStream,
  faPointer,
  faNul,
  faSearch,
  faVerify
};
// Headers move without decryption and CRC; entry data with both.
enum TDataType : uint8_t { dtHeader, dtData };
// Stored only; no decoder consults it.
enum TCpuType : uint8_t { cptAuto, cpt80286, cpt80386, cpt80486 };
// Where ReadProc reads from; extraction always reads the archive file.
enum TInputSource : uint8_t { isArchiveFile, isMemoryStream };

class TRunDecoderIO;

class TUnBase : public TZipCommon {
 public:
  using TOnNotify = std::function<void(TUnBase* Sender)>;
  using TOnBegin = std::function<void(TUnBase* Sender, const std::string& fName, int32_t Count, bool& Extract)>;
  using TUnBase_OnFileExists = std::function<void(TUnBase* Sender, const std::string& FileName,
                                                  std::string& NewFilename, TOverwriteMode& OverwriteMode)>;
  using TOnProgress = std::function<void(TUnBase* Sender, uint8_t ProgressByFile, uint8_t ProgressByArchive)>;
  using TOnEnd = std::function<void(TUnBase* Sender, const std::string& FN, bool CRC_PASS)>;
  using TOnGetPassword =
      std::function<void(TUnBase* Sender, const std::string& FN, std::string& Password, bool& TryAgain)>;
  using TOnCorruptZipHeader = std::function<void(TUnBase* Sender, uint8_t HeadFlag, bool& Cancel)>;
  using TProgressMethod = std::function<void(uint8_t ProgressByFile, uint8_t ProgressByArchive)>;

  // Largest block a read or write moves.
  static constexpr uint32_t BlockSize = 32768;

  explicit TUnBase(TComponent* AOwner = nullptr);
  ~TUnBase() override;

  // Run operations; each answers the run's FileCount.
  int32_t Extract();
  int32_t ExtractToMemoryStream(TDecompMemoryStream* Stream);
  int32_t ExtractToFileStream(const std::string& Name, TOutStream* Stream);
  int32_t ExtractToPointer(const std::string& Name, void* Buffer);
  int32_t ExtractToVerify();
  int32_t ExtractToSearch();
  int32_t ExtractToNul();

  // Entry selection: the entry's file-name part is not empty and an item of
  // FileSpec matches (adjusted to the entry's folder with RecurseDirs).
  bool CheckWildCard(const std::string& Name) override;

  // The archive kinds a run extracts: the ZIP family (atZip, atZipExe, atZipMV,
  // atJar). Other kinds are identified but refused with 25242.
  static bool IsExtractable(TArcType Type) { return IsZipExtractable(Type); }

  // True for the targets that write files (faFile, faFileStream).
  bool WriteToFile() const { return FileAccessMethod == faFile || FileAccessMethod == faFileStream; }

  // Configuration beyond TZipCommon's.
  bool CreateStoredDirs = false;
  bool RestoreFileAttr = true;
  TCpuType CpuType = cptAuto;
  bool RecurseDirs = true;
  // Extract (files): each file is written under a temporary name beside its
  // final one and takes the final name (replacing a file there) only once it
  // decoded whole and passed its CRC check; a failed entry then leaves no file,
  // or with KeepBrokenFiles its damaged bytes under the final name. An entry
  // whose method no decoder reads never opens a file.
  bool WholeFilesOnly = false;
  bool KeepBrokenFiles = false;
  // The temporary file of the entry being written (empty when none): what an
  // interrupted program removes.
  std::string PartialFile;

  // Run state (reset at the start of each run).
  int32_t FileCount = 0;
  uint32_t TotalPackedSize = 0;
  uint32_t TotalUnpackedSize = 0;
  uint32_t BytesRemaining = 0;
  uint32_t MaxFileDate = 0;
  std::string CurrentPassword;
  bool PasswordFailed = false;
  bool IsEncrypted = false;
  std::string StoredName;
  TFileAccessMethod FileAccessMethod = faFile;
  TInputSource InputSource = isArchiveFile;

  // Events; an empty one is skipped.
  TOnNotify OnActivate;
  TOnNotify OnDeactivate;
  TOnBegin OnBegin;
  TUnBase_OnFileExists OnFileExists;
  TOnProgress OnProgress;
  TOnEnd OnEnd;
  TOnGetPassword OnGetPassword;
  TOnCorruptZipHeader OnCorruptZipHeader;

  // The running CRC registers (CRC-32 reset per entry; compared by doOnEnd).
  uint32_t Crc32Val = CRC_MASK;
  uint16_t Crc16Val = 0;

  // Progress method of a run; the run points it at RetProgress.
  TProgressMethod ProgressMethod;

  // Transfer procedures (public so decoders and tests can drive them).
  // Reads up to Count bytes from the input source; decrypts them when
  // IsEncrypted; adds them to the CRC of width Size (32 or 16).
  uint32_t ReadProc(THandle Handle, TMemoryStream* Stream, void* Buffer, bool IsEncrypted, uint8_t Size, uint32_t Count,
                    TDataType ReadType);
  // Decrypts data in place when IsEncrypted (ZIP kinds only), then WriteData.
  uint32_t ExtractWriteProc(THandle& Handle, uint8_t* Buffer, bool IsEncrypted, uint8_t Size, uint32_t Count,
                            TDataType WriteType);
  // Writes Count bytes to the run's target; a short write raises E_RAISE with the
  // text of 25136 without OnError. Data add to the CRC of width Size.
  uint32_t WriteData(THandle Handle, const uint8_t* Buffer, uint8_t Size, uint32_t Count, TDataType WriteType);
  void UpdateCrcBuffer(uint8_t Size, const uint8_t* Buffer, uint32_t Count);
  // Decrypts Count bytes in place with the run's keys when IsEncrypted.
  void UpdateEncryptBuffer(bool IsEncrypted, uint8_t* Buffer, uint32_t Count);

  TZipKeys& Keys() { return FKeys; }

 protected:
  friend class TRunDecoderIO;
  friend bool ExtractFile(TUnBase& Component, THandle InFile, THandle& OutFile, const std::string& Name,
                          TInflateRec& Rec);

  // The common run: resets the run state, opens the archive, calls ExtractIT,
  // closes it again. Answers FileCount.
  int32_t UnBase_Execute();
  // Walks the archive and extracts the selected entries.
  virtual void ExtractIT(THandle InFile, int32_t Unused) = 0;
  // Finds the password of an encrypted entry; consumes the encryption header.
  virtual bool RequestPassword(THandle InFile) = 0;
  // End of an entry: fires OnEnd (or reports 25151); answers whether the CRC passed.
  virtual bool doOnEnd(int32_t Width, uint32_t HeaderCrc);

  // One selected entry: password, begin, target, decode, date, end.
  void OpenAndExtractFile(THandle InFile, THandle& OutFile, uint32_t ExtAttr);
  // Start of an entry: OnBegin and the overwrite rules; answers whether to extract.
  bool doOnBegin(bool FolderOrLabel);
  // Counts a skipped entry's bytes as done for progress.
  void AdjustProgress(const TInflateRec& Rec);
  void doBranchProgress(uint32_t Done, uint32_t Total, uint32_t RunTotal);
  // Lets the window process pending messages, then fires OnProgress.
  void RetProgress(uint8_t ProgressByFile, uint8_t ProgressByArchive);

  // Creates the output file Name; a component may override it to learn of
  // each file before it exists.
  virtual bool Open_OutFile(THandle& OutFile, const std::string& Name, const std::string& Stored);
  bool Close_OutFile(THandle& OutFile);
  void CloseAndSetDate(THandle& OutFile, const std::string& Name, uint32_t DosDateTime, uint32_t Attr);
  // Stored copy; answers the bytes not copied.
  uint32_t Unstore(THandle InFile, THandle& OutFile, uint8_t CrcWidth, const std::string& Name, TInflateRec& Rec);
  uint32_t UnstoreThrough(TRunDecoderIO& IO, THandle InFile, const std::string& Name, TInflateRec& Rec);

  // Fills StoredName from a header's name (up to its first zero byte) by the
  // library's entry-name rule (EntryName.h).
  void SetStoredName(const TStoredName& Stored);

  // Per-entry state.
  TInflateRec FInflateRec;
  TLocal FLocal;
  // The CRC-32 the entry's data are checked against: the local header's, or,
  // for an entry written by a streaming writer (flag bit 3, where the local
  // header holds a placeholder), the central record's or the data descriptor's.
  uint32_t FExpectedCrc = 0;
  uint8_t FCentralBuffer[TCentral::Size] = {};
  uint32_t BytesToRead = 0;
  uint32_t OutputLeft = 0;
  bool FForceCrcFail = false;
  THandle FInFile = kstInvalidHandle;

 private:
  // The run proper once the target is chosen.
  int32_t RunWithTarget(TFileAccessMethod Target);
  // End of a run: timer, elapsed time, archive closed, OnDeactivate.
  void FinishRun(THandle InFile);
  // Opens the target, decodes into it and finishes it; answers the CRC the
  // entry is checked against.
  uint32_t DecodeToTarget(THandle InFile, THandle& OutFile, uint32_t ExtAttr);
  // Whether the stored name may be written below ExtractDir.
  bool IsSafeOutputName() const;
  // Gives the whole-files-only temporary file its final name, or removes it;
  // answers whether the file now stands under its final name.
  bool FinishPartialFile(bool Pass);

  TZipKeys FKeys;
  TDecompMemoryStream* FMemoryStream = nullptr;
  TOutStream* FUserStream = nullptr;
  TMemoryStream* FInStream = nullptr;
};

}  // namespace kst
