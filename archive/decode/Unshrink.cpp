// Shrink decoding. The table has 8192 entries: 0..255 are the literal bytes,
// 256 is the control code, and 257..8191 are strings, each stored as a prefix
// code plus one suffix byte together with a count of the entries that use it as
// their prefix. Codes are at most 13 bits wide (a wider code size is refused),
// so every code read names an entry of the table. A new entry (previous code,
// first byte of the current string) takes the lowest free code after every
// decoded code while free codes remain. A partial clear frees every string
// entry that no other entry extends, so the freed codes are the next ones
// handed out. A freed entry keeps its prefix and suffix until its code is handed
// out again: an encoder may still extend the string it had just sent when it
// cleared, and that string must decode as it was. A string is unwound from its
// last byte to its first. Each entry also records its string's length, so a
// string that fits the output window is unwound straight into it; otherwise (or
// when a reused prefix made the recorded length wrong) it is unwound into the
// top of an 8192-byte stack, which then goes to the output in one block. A
// chain longer than the stack can only come from a damaged stream and ends
// decoding.
#include "archive/decode/Unshrink.h"

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "archive/core/Err_msgs.h"
#include "archive/decode/LegacyBitReader.h"

namespace kst {

namespace {

constexpr uint32_t TableSize = 8192;
constexpr uint32_t ControlCode = 256;
constexpr uint32_t FirstStringCode = 257;
constexpr unsigned FirstCodeSize = 9;
constexpr unsigned LastCodeSize = 13;
constexpr int16_t NoPrefix = -1;

class TUnshrinker {
 public:
  TUnshrinker(TDecoderIO& IO, uint32_t Limit)
      : Out(IO, Limit),
        FIn(IO),
        FPrefix(TableSize, NoPrefix),
        FSuffix(TableSize, 0),
        FUses(TableSize, 0),
        FFree(TableSize, 1),
        FLength(TableSize, 1),
        FStack(TableSize),
        FCleared() {
    FCleared.reserve(TableSize);
    for (uint32_t Code = 0; Code < 256; ++Code) {
      FSuffix[Code] = uint8_t(Code);
      FFree[Code] = 0;
    }
  }

  // Decodes the stream; answers 0 or the error that ended it.
  int32_t Run();

  TLegacyOutput Out;

 private:
  int32_t Control(bool& Ended);
  void PartialClear();
  int32_t Unwind(uint32_t Code, uint32_t End, uint32_t& Top);
  int32_t Emit(uint32_t Top, uint32_t End);
  bool EmitDirect(uint32_t Code, uint8_t& First);
  void AddEntry(uint32_t Prefix, uint8_t FirstByte);

  TLegacyBitReader FIn;
  unsigned FCodeSize = FirstCodeSize;
  std::vector<int16_t> FPrefix;  // NoPrefix until the entry is first defined
  std::vector<uint8_t> FSuffix;
  std::vector<uint16_t> FUses;    // entries in use that have this one as prefix
  std::vector<uint8_t> FFree;     // 1: the code may be handed out
  std::vector<uint16_t> FLength;  // length of the string when the entry was made
  std::vector<uint8_t> FStack;
  std::vector<uint16_t> FCleared;
  uint32_t FFreeCursor = FirstStringCode;  // no free code lies below it
};

int32_t TUnshrinker::Run() {
  uint32_t Code = 0;
  // The first code is a literal byte and starts the first string.
  if (!FIn.Read(FCodeSize, Code) || Code > 255) return ErrBadBlock;
  if (!Out.Put(uint8_t(Code))) return Out.Cancelled() ? 0 : ErrBadBlock;
  uint32_t Prev = Code;
  for (;;) {
    if (!FIn.Read(FCodeSize, Code)) return 0;
    if (Code == ControlCode) {
      bool Ended = false;
      if (int32_t Err = Control(Ended)) return Err;
      if (Ended) return 0;
      continue;
    }
    uint8_t First = 0;
    if (FFree[Code] == 0 && EmitDirect(Code, First)) {
      AddEntry(Prev, First);
      Prev = Code;
      continue;
    }
    uint32_t Top = 0;
    uint32_t End = TableSize;
    int32_t Err = 0;
    if (FFree[Code] == 0) {
      Err = Unwind(Code, End, Top);
    } else {
      // A code not defined yet: the previous string followed by its own first
      // byte (the entry about to be made, when the stream is sound).
      End = TableSize - 1;
      Err = Unwind(Prev, End, Top);
      if (Err == 0) FStack[End++] = FStack[Top];
    }
    if (Err != 0) return Err;
    if (int32_t WriteErr = Emit(Top, End)) return WriteErr;
    AddEntry(Prev, FStack[Top]);
    Prev = Code;
  }
}

// Reads the code after a control code. Ended: the input ran out first.
int32_t TUnshrinker::Control(bool& Ended) {
  uint32_t Which = 0;
  if (!FIn.Read(FCodeSize, Which)) {
    Ended = true;
    return 0;
  }
  if (Which == 1) {
    if (FCodeSize == LastCodeSize) return ErrBadBlock;
    ++FCodeSize;
    return 0;
  }
  if (Which == 2) {
    PartialClear();
    return 0;
  }
  return ErrBadBlock;
}

// Frees every string entry that is no other entry's prefix. The leaves are
// found first and freed afterwards, so an entry whose only users are freed in
// this clear stays.
void TUnshrinker::PartialClear() {
  FCleared.clear();
  for (uint32_t Code = FirstStringCode; Code < TableSize; ++Code) {
    if (FFree[Code] == 0 && FUses[Code] == 0) FCleared.push_back(uint16_t(Code));
  }
  for (uint16_t Code : FCleared) {
    --FUses[uint32_t(FPrefix[Code])];
    FFree[Code] = 1;
  }
  FFreeCursor = FirstStringCode;
}

// Writes the string of Code into FStack[Top, End), last byte first.
int32_t TUnshrinker::Unwind(uint32_t Code, uint32_t End, uint32_t& Top) {
  Top = End;
  while (Code >= FirstStringCode) {
    const int16_t Prefix = FPrefix[Code];
    if (Prefix == NoPrefix) return ErrBadBlock;  // chain runs into a code never defined
    if (Top == 0) {
      Out.Finish();
      return ErrStackOverflow;
    }
    FStack[--Top] = FSuffix[Code];
    Code = uint32_t(Prefix);
  }
  if (Top == 0) {
    Out.Finish();
    return ErrStackOverflow;
  }
  FStack[--Top] = uint8_t(Code);
  return 0;
}

// Unwinds the string of Code straight into the output window; false (nothing
// output) when it does not fit there or the chain disagrees with its length.
bool TUnshrinker::EmitDirect(uint32_t Code, uint8_t& First) {
  const uint32_t Length = FLength[Code];
  uint8_t* To = Out.Reserve(Length);
  if (To == nullptr) return false;
  for (uint32_t I = Length - 1; I > 0; --I) {
    if (Code < FirstStringCode || FPrefix[Code] == NoPrefix) return false;
    To[I] = FSuffix[Code];
    Code = uint32_t(FPrefix[Code]);
  }
  if (Code >= FirstStringCode) return false;
  To[0] = uint8_t(Code);
  First = To[0];
  Out.Commit(Length);
  return true;
}

int32_t TUnshrinker::Emit(uint32_t Top, uint32_t End) {
  if (Out.Append(FStack.data() + Top, End - Top)) return 0;
  return Out.Cancelled() ? 0 : ErrBadBlock;
}

void TUnshrinker::AddEntry(uint32_t Prefix, uint8_t FirstByte) {
  while (FFreeCursor < TableSize && FFree[FFreeCursor] == 0) ++FFreeCursor;
  if (FFreeCursor == TableSize) return;
  FPrefix[FFreeCursor] = int16_t(Prefix);
  FSuffix[FFreeCursor] = FirstByte;
  FFree[FFreeCursor] = 0;
  FLength[FFreeCursor] = uint16_t(std::min<uint32_t>(FLength[Prefix] + 1u, 0xFFFF));
  ++FUses[Prefix];
  ++FFreeCursor;
}

}  // namespace

void Unshrink(TDecoderIO& IO, const TInflateRec& Rec) {
  std::unique_ptr<TUnshrinker> State;
  try {
    State = std::make_unique<TUnshrinker>(IO, Rec.UnpackedSize);
  } catch (const std::bad_alloc&) {
    LegacyRaise(IO, ErrOutOfMemory);
    return;
  }
  int32_t Err = 0;
  try {
    Err = State->Run();
  } catch (const E_RAISE&) {
    // Raised by the run while reading or writing: decoding ends here.
  }
  if (Err != 0) LegacyRaise(IO, Err);
  State->Out.Finish();
}

}  // namespace kst
