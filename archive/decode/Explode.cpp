// Implode decoding. The stream opens with its Shannon-Fano trees (literal tree
// when bit 2 of the flags is set, then length and distance trees), each sent as
// run-length coded bit lengths. Codes are assigned from the longest length down:
// the lengths are sorted by length and value, and walking that order backwards
// each value receives the running code, which then grows by 2^(16 - length); the
// code's top bits, most significant first, are what the stream carries. A
// length set whose codes would share a prefix (too many short codes) cannot be
// decoded and is refused before anything is decoded. Decoding is table-driven:
// the next bits are peeked and looked up in a table of up to 10 bits, and the
// rare longer codes are found among the few that share the table entry's bits.
// Then come literals (flag bit 1) and matches (flag bit 0: the distance's low
// 6 or 7 bits raw, its high 6 bits through the distance tree, the length through
// the length tree, 63 taking 8 more raw bits), copied from the output window,
// which starts zero-filled so a distance reaching before the entry's first byte
// yields zeros as the classic decoders do.
#include "archive/decode/Explode.h"

#include <algorithm>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "archive/core/Bounds.h"
#include "archive/core/Err_msgs.h"
#include "archive/core/Ksttypes.h"
#include "archive/decode/LegacyBitReader.h"

namespace kst {

namespace {

constexpr unsigned MaxCodeLength = 16;
constexpr unsigned MaxTableBits = 10;

class TShannonFanoTree {
 public:
  enum class TDecoded { Ok, NoInput, Empty };

  // Reads the run-length coded bit lengths of NumValues values; false when the
  // input ends first or the runs do not add up to NumValues.
  bool ReadLengths(TLegacyBitReader& In, unsigned NumValues);
  // Assigns the codes and fills the lookup table; false when codes collide.
  bool Build();
  // Decodes one value. NoInput: the input ends inside the code; Empty: no
  // code starts with the bits that follow.
  TDecoded Decode(TLegacyBitReader& In, uint32_t& Value) const;

 private:
  struct TEntry {
    uint16_t Value = 0;
    uint16_t Length = 0;  // 0: no code of at most FTableBits bits starts here
    uint16_t LongFirst = 0;
    uint16_t LongCount = 0;
  };
  struct TLongCode {
    uint16_t Pattern;  // the code's bits in reading order, first bit lowest
    uint16_t Length;
    uint16_t Value;
  };

  std::vector<uint8_t> FLengths;
  unsigned FMaxLength = 0;
  unsigned FTableBits = 0;
  std::vector<TEntry> FTable;
  std::vector<TLongCode> FLong;
};

bool TShannonFanoTree::ReadLengths(TLegacyBitReader& In, unsigned NumValues) {
  FLengths.assign(NumValues, 0);
  uint32_t Bytes = 0;
  if (!In.Read(8, Bytes)) return false;
  unsigned Filled = 0;
  for (uint32_t I = 0; I <= Bytes; ++I) {
    uint32_t Run = 0;
    if (!In.Read(8, Run)) return false;
    const unsigned Length = (Run & 15) + 1;
    const unsigned Count = (Run >> 4) + 1;
    if (!InBounds(Filled, Count, NumValues)) return false;
    for (unsigned K = 0; K < Count; ++K) FLengths[Filled++] = uint8_t(Length);
  }
  return Filled == NumValues;
}

uint32_t ReverseBits(uint32_t Code, unsigned Length) {
  uint32_t Reversed = 0;
  for (unsigned I = 0; I < Length; ++I) {
    Reversed = (Reversed << 1) | (Code & 1);
    Code >>= 1;
  }
  return Reversed;
}

bool TShannonFanoTree::Build() {
  const unsigned NumValues = unsigned(FLengths.size());
  std::vector<uint16_t> Order;
  Order.reserve(NumValues);
  for (unsigned Length = 1; Length <= MaxCodeLength; ++Length) {
    for (unsigned Value = 0; Value < NumValues; ++Value) {
      if (FLengths[Value] == Length) Order.push_back(uint16_t(Value));
    }
  }
  // Codes as prefixes of a 16-bit word, longest lengths first.
  std::vector<uint32_t> Codes(NumValues, 0);
  uint32_t Code = 0;
  uint32_t Increment = 0;
  unsigned LastLength = 0;
  for (unsigned I = NumValues; I-- > 0;) {
    Code += Increment;
    const unsigned Length = FLengths[Order[I]];
    if (Length != LastLength) {
      LastLength = Length;
      Increment = 1u << (MaxCodeLength - Length);
    }
    Codes[Order[I]] = (Code & 0xFFFF) >> (MaxCodeLength - Length);
  }
  // Each code owns the span of 16-bit words it prefixes; sound codes own
  // disjoint spans.
  std::vector<std::pair<uint32_t, uint32_t>> Spans;
  Spans.reserve(NumValues);
  for (unsigned Value = 0; Value < NumValues; ++Value) {
    const unsigned Shift = MaxCodeLength - FLengths[Value];
    Spans.emplace_back(Codes[Value] << Shift, (Codes[Value] + 1) << Shift);
  }
  std::sort(Spans.begin(), Spans.end());
  for (size_t I = 1; I < Spans.size(); ++I) {
    if (Spans[I].first < Spans[I - 1].second) return false;
  }

  FMaxLength = FLengths[Order.back()];
  FTableBits = std::min(FMaxLength, MaxTableBits);
  FTable.assign(size_t(1) << FTableBits, TEntry{});
  FLong.clear();
  for (unsigned Value = 0; Value < NumValues; ++Value) {
    const unsigned Length = FLengths[Value];
    const uint32_t Pattern = ReverseBits(Codes[Value], Length);
    if (Length <= FTableBits) {
      for (uint32_t Index = Pattern; Index < FTable.size(); Index += 1u << Length) {
        FTable[Index].Value = uint16_t(Value);
        FTable[Index].Length = uint16_t(Length);
      }
    } else {
      FLong.push_back({uint16_t(Pattern), uint16_t(Length), uint16_t(Value)});
    }
  }
  const uint32_t Mask = (1u << FTableBits) - 1;
  std::sort(FLong.begin(), FLong.end(),
            [Mask](const TLongCode& A, const TLongCode& B) { return (A.Pattern & Mask) < (B.Pattern & Mask); });
  for (size_t I = 0; I < FLong.size(); ++I) {
    TEntry& Entry = FTable[FLong[I].Pattern & Mask];
    if (Entry.LongCount == 0) Entry.LongFirst = uint16_t(I);
    ++Entry.LongCount;
  }
  return true;
}

inline TShannonFanoTree::TDecoded TShannonFanoTree::Decode(TLegacyBitReader& In, uint32_t& Value) const {
  const bool Complete = In.Need(FMaxLength);
  const unsigned Available = In.Available();
  const uint32_t Bits = In.Peek(FMaxLength);
  const TEntry& Entry = FTable[Bits & ((1u << FTableBits) - 1)];
  if (Entry.Length != 0) {
    if (Entry.Length > Available) return TDecoded::NoInput;
    In.Drop(Entry.Length);
    Value = Entry.Value;
    return TDecoded::Ok;
  }
  for (unsigned I = Entry.LongFirst; I < unsigned(Entry.LongFirst) + Entry.LongCount; ++I) {
    const TLongCode& Long = FLong[I];
    if ((Bits & ((1u << Long.Length) - 1)) != Long.Pattern) continue;
    if (Long.Length > Available) return TDecoded::NoInput;
    In.Drop(Long.Length);
    Value = Long.Value;
    return TDecoded::Ok;
  }
  return Complete ? TDecoded::Empty : TDecoded::NoInput;
}

class TExploder {
 public:
  TExploder(TDecoderIO& IO, uint32_t Limit) : Out(IO, Limit), FIO(IO), FIn(IO) {}

  // Decodes the stream; answers 0 or the error that ended it.
  int32_t Run(uint16_t BitFlag);

  TLegacyOutput Out;

 private:
  bool ReadTree(TShannonFanoTree& Tree, unsigned NumValues);
  int32_t DecodeLoop(bool LiteralTree, unsigned LowBits, uint32_t MinMatch);
  int32_t Stop(TShannonFanoTree::TDecoded Result) const {
    return Result == TShannonFanoTree::TDecoded::Empty ? ErrAmbiguousTree : 0;
  }
  int32_t Stop(bool Fitted) const { return Fitted || Out.Cancelled() ? 0 : ErrBadBlock; }

  TDecoderIO& FIO;
  TLegacyBitReader FIn;
  TShannonFanoTree FLiterals;
  TShannonFanoTree FLengths;
  TShannonFanoTree FDistances;
};

// Reads and builds one tree; a failure is reported here (nothing raised).
bool TExploder::ReadTree(TShannonFanoTree& Tree, unsigned NumValues) {
  if (!Tree.ReadLengths(FIn, NumValues)) {
    FIO.RaiseErrorStr(ErrBadBlock);
    return false;
  }
  if (!Tree.Build()) {
    FIO.RaiseErrorStr(ErrAmbiguousTree);
    FIO.RaiseErrorStr(ErrBadBlock);
    return false;
  }
  return true;
}

int32_t TExploder::Run(uint16_t BitFlag) {
  const bool LiteralTree = (BitFlag & kFlagOption2) != 0;
  if (LiteralTree && !ReadTree(FLiterals, 256)) return 0;
  if (!ReadTree(FLengths, 64) || !ReadTree(FDistances, 64)) return 0;
  return DecodeLoop(LiteralTree, (BitFlag & kFlagOption1) != 0 ? 7 : 6, LiteralTree ? 3 : 2);
}

int32_t TExploder::DecodeLoop(bool LiteralTree, unsigned LowBits, uint32_t MinMatch) {
  using TDecoded = TShannonFanoTree::TDecoded;
  while (!Out.AtLimit()) {
    uint32_t Flag = 0;
    if (!FIn.Read(1, Flag)) return 0;
    if (Flag != 0) {
      uint32_t Literal = 0;
      if (LiteralTree) {
        const TDecoded Result = FLiterals.Decode(FIn, Literal);
        if (Result != TDecoded::Ok) return Stop(Result);
      } else if (!FIn.Read(8, Literal)) {
        return 0;
      }
      if (!Out.Put(uint8_t(Literal))) return Stop(false);
      continue;
    }
    uint32_t Low = 0;
    uint32_t High = 0;
    uint32_t Length = 0;
    if (!FIn.Read(LowBits, Low)) return 0;
    TDecoded Result = FDistances.Decode(FIn, High);
    if (Result != TDecoded::Ok) return Stop(Result);
    Result = FLengths.Decode(FIn, Length);
    if (Result != TDecoded::Ok) return Stop(Result);
    if (Length == 63) {
      uint32_t Extra = 0;
      if (!FIn.Read(8, Extra)) return 0;
      Length += Extra;
    }
    if (!Out.Copy(((High << LowBits) | Low) + 1, Length + MinMatch)) return Stop(false);
  }
  return 0;
}

}  // namespace

void Explode(TDecoderIO& IO, const TInflateRec& Rec) {
  std::unique_ptr<TExploder> State;
  try {
    State = std::make_unique<TExploder>(IO, Rec.UnpackedSize);
  } catch (const std::bad_alloc&) {
    LegacyRaise(IO, ErrOutOfMemory);
    return;
  }
  int32_t Err = 0;
  try {
    Err = State->Run(Rec.BitFlag);
  } catch (const E_RAISE&) {
    // Raised by the run while reading or writing: decoding ends here.
  } catch (const std::bad_alloc&) {
    Err = ErrOutOfMemory;  // the trees' tables
  }
  if (Err != 0) LegacyRaise(IO, Err);
  State->Out.Finish();
}

}  // namespace kst
