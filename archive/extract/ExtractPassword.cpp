// Finding the password of an encrypted entry. The 12-byte encryption header is
// read once and kept, so every candidate starts from the same encrypted bytes;
// the check uses the local header's flags, date-time and CRC. An entry too short
// to hold the header fails at once.
#include <cstring>

#include "archive/core/Err_msgs.h"
#include "archive/extract/Kstunzip.h"
#include "archive/core/KstTimer.h"
#include "archive/io/Kstfileio.h"

namespace kst {

bool TUnZip::RequestPassword(THandle InFile) {
  if ((FInflateRec.BitFlag & kFlagEncrypted) == 0) return true;
  TkstTimerPause Pause(FTimer);
  // Decrypted header in [0, 12), the encrypted copy in [12, 24).
  uint8_t Header[2 * EncryptHeaderSize + 1] = {};
  if (FInflateRec.PackedSize < EncryptHeaderSize) return false;
  if (ReadProc(InFile, nullptr, Header + EncryptHeaderSize, false, 0, EncryptHeaderSize, dtHeader) != EncryptHeaderSize)
    return false;
  const auto Opens = [&](const std::string& Password) {
    return decrypt_pw(Keys(), Header, EncryptHeaderSize, FLocal.Flags, FLocal.Crc, FLocal.DosDateTime, Password);
  };
  if (Opens(CurrentPassword)) return true;
  for (const std::string& Candidate : Passwords) {
    CurrentPassword = Candidate;
    if (Opens(CurrentPassword)) return true;
  }
  if (!OnGetPassword) {
    RaiseErrorStr(FileName, "OnGetPassword", "0", ErrEventNotAssigned);
    return false;
  }
  bool TryAgain = true;
  for (int32_t Attempt = 0; Attempt < PasswordAttempts && !GetCancel(); ++Attempt) {
    OnGetPassword(this, FileName, CurrentPassword, TryAgain);
    if (!TryAgain) break;
    if (Opens(CurrentPassword)) {
      Passwords.insert(Passwords.begin(), CurrentPassword);
      return true;
    }
    CurrentPassword.clear();
    RaiseErrorStr(FileName, "", "0", ErrInvalidPassword);
  }
  return false;
}

}  // namespace kst
