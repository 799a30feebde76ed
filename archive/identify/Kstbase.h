// TZipCommon: the common base of the archive components (lister and extractor).
// It holds the configuration every operation reads (which entries to touch, where
// to put them, passwords, attribute and date options), the cancel flag that event
// handlers set, the operation's stopwatch, and the error reporting: RaiseErrorStr
// tells the OnError handler, RaiseError tells it and then throws E_RAISE unless
// the operation was cancelled.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "archive/identify/ArcType.h"
#include "archive/identify/ArcTypeInfo.h"
#include "archive/core/DosDate.h"
#include "archive/core/KstFileAttr.h"
#include "archive/core/KstTimer.h"
#include "archive/identify/Kstregister.h"
#include "archive/core/StringList.h"
#include "archive/core/ZipOptions.h"
#include "archive/names/EntryName.h"

namespace kst {

// The class of exception RaiseError throws; the library has one.
enum class TExceptionClass : uint8_t { E_RAISE };

class TZipCommon : public TRegisterKestrel {
 public:
  using TOnError = std::function<void(TZipCommon* Sender, std::string FileName, std::string ExtendedMsg,
                                      std::string VolumeID, int32_t ECode)>;
  using TOnElapsedTime = std::function<void(TZipCommon* Sender, float ElapsedTime)>;

  explicit TZipCommon(TComponent* AOwner = nullptr);
  ~TZipCommon() override = default;

  // Cancel flag. It lives behind a pointer so that a run can share one flag with
  // the code it drives; by default the pointer is the component's own flag.
  virtual bool GetCancel() const { return *FCancel; }
  virtual void SetCancel(bool Value) { *FCancel = Value; }
  // Points the cancel flag at Flag (nullptr: back to the component's own).
  void SetCancelFlag(bool* Flag) { FCancel = Flag ? Flag : &FOwnCancel; }

  // Reports ECode through OnError (as 25449 when the operation is cancelled), then
  // throws the exception class with the error's text unless Cancel is set after
  // the handler. The stopwatch does not count the time spent here.
  virtual void RaiseError(TExceptionClass ExceptionClass, const std::string& FileName, const std::string& ExtendedMsg,
                          const std::string& VolumeID, int32_t ECode);
  // The same report without an exception.
  virtual void RaiseErrorStr(const std::string& FileName, const std::string& ExtendedMsg, const std::string& VolumeID,
                             int32_t ECode);

  // A failed open of one of the component's files, reported without an exception.
  void ReportFileError(const std::string& FileName, int32_t ECode) override { RaiseErrorStr(FileName, "", "0", ECode); }

  // The entry filter: Name must match an entry of FileSpec ("*.*" matches every
  // name) and no entry of ExcludeSpec.
  virtual bool CheckWildCard(const std::string& Name);
  // The DOS stamp as TDateTime; 29221.0 for an invalid stamp.
  virtual TDateTime ConvertDate(int32_t DosDateTime);
  virtual void SetExcludeExts(const TStringList& List) { FExcludeExts = List; }
  const TStringList& ExcludeExts() const { return FExcludeExts; }

  void SetFileSpec(const TStringList& List) { FileSpec = List; }
  void SetExcludeSpec(const TStringList& List) { ExcludeSpec = List; }

  const std::string& ExtractDir() const { return FExtractDir; }
  // A non-empty Value gets "\" separators and a trailing "\"; an empty one becomes
  // the folder of ArchiveFile (empty when there is no archive).
  void SetExtractDir(const std::string& Value);

  // Builds the output path of a stored entry name in FileName: ExtractDir (the
  // archive's folder, else the current directory, when it is empty), then with
  // UseStoredDirs the stored folder without drive or leading "\", then the file
  // name part. An empty Name gives an empty FileName.
  virtual void SetFilename(const std::string& Name);

  // The shell's system icon index of the current FileName, and its type
  // description of Name (0 and "" where the platform has no shell to ask).
  int ImageIndex() const;
  std::string GetFileType(const std::string& Name) const;

  TkstTimer& Timer() { return FTimer; }

  // Display name of the current ArcType.
  std::string ArcTypeName() const { return ArcTypeDisplayName(FArcType); }
  // Index of Ext in the archive extension table (ignoring case), or -1.
  static int IsArchiveExt(std::string_view Ext) { return ArchiveExtIndex(Ext); }
  static bool IsArcValid(TArcType A) { return kst::IsArcValid(A); }
  static bool IsArcDecompressable(TArcType A) { return kst::IsArcDecompressable(A); }
  static bool IsArcSearchable(TArcType A) { return kst::IsArcSearchable(A); }
  static bool IsArcVerifyable(TArcType A) { return kst::IsArcVerifyable(A); }
  static bool IsArcCompressable(TArcType A) { return kst::IsArcCompressable(A); }
  static bool IsCommentEditable(TArcType A) { return kst::IsCommentEditable(A); }
  // True when List holds exactly one string and it contains "*".
  static bool IsWildCard(const TStringList& List);

  // Configuration.
  TStringList FileSpec;
  TStringList ExcludeSpec;
  TStringList Passwords;
  int32_t PasswordAttempts = 3;
  bool UseStoredDirs = true;
  bool ConfirmOverwrites = true;
  TOverwriteMode OverwriteMode = omOverwrite;
  TDateAttribute DateAttribute = daFileDate;
  TDeleteOptions DeleteOptions = doAllowUndo;
  bool TranslateOemChar = true;
  // Literal keeps a "\" in the name of an entry made outside the DOS family as
  // part of the name (EntryName.h), for programs writing to file systems whose
  // names may hold it; by default it separates folders like any other "\".
  TForeignBackslash ForeignBackslash = TForeignBackslash::Separator;
  TStoredDirNames StoredDirNames = sdRelative;
  TkstFileAttr FileAttribute;
  // Output path of the current entry (see SetFilename).
  std::string FileName;

  // Events; an empty one is skipped.
  TOnError OnError;
  TOnElapsedTime OnElapsedTime;

 protected:
  // Steps shared by both reports: the cancel substitution and the handler call.
  // Returns the identifier that was reported.
  int32_t ReportError(const std::string& FileName, const std::string& ExtendedMsg, const std::string& VolumeID,
                      int32_t ECode);

  TStringList FExcludeExts;
  std::string FExtractDir;
  TkstTimer FTimer;

 private:
  bool FOwnCancel = false;
  bool* FCancel = &FOwnCancel;
};

}  // namespace kst
