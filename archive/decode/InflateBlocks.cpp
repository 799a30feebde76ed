// The Deflate decoder's block level: block headers, stored blocks, the fixed
// and dynamic code sets, and the careful one-symbol-at-a-time path used near the
// ends of input and output (the fast loop handles everything else). Errors in a
// fixed block are "Bad block" (25111), in a dynamic block "Incomplete code set"
// (25138); output beyond the entry's size is "Bad block".
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "archive/core/Err_msgs.h"
#include "archive/decode/HuffmanTable.h"
#include "archive/decode/InflateState.h"

namespace kst {

namespace {

constexpr uint16_t LengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                     31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t LengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                     2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t DistBase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                   33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                   1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t DistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                   6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr uint8_t CodeLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

struct TSymbolInfo {
  std::array<uint32_t, 288> Lit{};
  std::array<uint32_t, 32> Dist{};
  std::array<uint32_t, 19> CodeLen{};
  TSymbolInfo() {
    for (uint32_t S = 0; S < 256; ++S) Lit[S] = HtSymbol(S, HtLiteral);
    Lit[256] = HtSymbol(0, HtEnd);
    for (uint32_t S = 0; S < 29; ++S) Lit[257 + S] = HtSymbol(LengthBase[S], 0, LengthExtra[S]);
    Lit[286] = Lit[287] = HtSymbol(0, HtInvalid);
    for (uint32_t S = 0; S < 30; ++S) Dist[S] = HtSymbol(DistBase[S], 0, DistExtra[S]);
    Dist[30] = Dist[31] = HtSymbol(0, HtInvalid);
    // 0-15 are lengths; 16 repeats the previous length (marked HtEnd), 17 and 18 give zeros.
    for (uint32_t S = 0; S < 16; ++S) CodeLen[S] = HtSymbol(S, HtLiteral);
    CodeLen[16] = HtSymbol(3, HtEnd, 2);
    CodeLen[17] = HtSymbol(3, 0, 3);
    CodeLen[18] = HtSymbol(11, 0, 7);
  }
};

// What a symbol's entry and the bits it took (code, then extra bits) stand
// for: a literal's value, or a base plus the extra bits.
uint32_t SymbolValue(uint32_t Entry, uint32_t Taken) {
  return HtValue(Entry) + ((Entry & HtLiteral) ? 0 : Taken >> HtCodeBits(Entry));
}

const TSymbolInfo& Symbols() {
  static const TSymbolInfo Info;
  return Info;
}

// The tables of the fixed code set never change: every decoder shares one
// copy, built on first use.
struct TFixedTables {
  std::vector<uint32_t> Lit, Dist;
  TFixedTables() {
    std::array<uint8_t, 288> Lengths{};
    std::fill(Lengths.begin(), Lengths.begin() + 144, 8);
    std::fill(Lengths.begin() + 144, Lengths.begin() + 256, 9);
    std::fill(Lengths.begin() + 256, Lengths.begin() + 280, 7);
    std::fill(Lengths.begin() + 280, Lengths.end(), 8);
    std::array<uint8_t, 32> DistLengths;
    DistLengths.fill(5);
    BuildHuffmanTable(Lengths.data(), 288, Symbols().Lit.data(), TInflateState::LitBits, Lit);
    BuildHuffmanTable(DistLengths.data(), 32, Symbols().Dist.data(), TInflateState::DistBits, Dist);
  }
};

const TFixedTables& FixedTables() {
  static const TFixedTables Tables;
  return Tables;
}

}  // namespace

TInflateState::TStep TInflateState::Fail(int32_t Code) {
  FIO.RaiseError(Code);
  return TStep::Stop;
}

void TInflateState::Run() {
  for (;;) {
    if (FIO.Cancelled() || !Need(3)) return;
    bool Final = Take(1) != 0;
    TStep Step = TStep::Stop;
    switch (Take(2)) {
      case 0: Step = StoredBlock(); break;
      case 1: Step = FixedBlock(); break;
      case 2: Step = DynamicBlock(); break;
      default:
        // Nothing more of this entry can be decoded: count the rest as done.
        FIO.RaiseErrorStr(ErrBadBlock);
        FIO.CountAsDone(uint32_t(CapLeft()));
        return;
    }
    if (Step == TStep::Stop) return;
    if (Final) {
      FFinished = true;
      return;
    }
  }
}

TInflateState::TStep TInflateState::StoredBlock() {
  Take(FBitCount & 7);
  if (!Need(32)) return TStep::Stop;
  uint32_t Length = Take(16);
  uint32_t Complement = Take(16);
  if (Length != (~Complement & 0xFFFF)) return Fail(ErrBadBlock);
  while (Length > 0) {
    if (Room() == 0) {
      if (CapLeft() == 0) return Fail(ErrBadBlock);
      MakeRoom();
      if (FIO.Cancelled()) return TStep::Stop;
    }
    if (FBitCount >= 8) {
      *FOut++ = uint8_t(Take(8));
      --Length;
      continue;
    }
    FBitBuf = 0;  // bits above the count may mirror the byte about to be copied
    if (FInPos == FInEnd) {
      FillInput();
      if (FInPos == FInEnd) return TStep::Stop;
    }
    size_t N = std::min({size_t(Length), size_t(FInEnd - FInPos), Room()});
    std::memcpy(FOut, FInPos, N);
    FOut += N;
    FInPos += N;
    Length -= uint32_t(N);
  }
  return TStep::Next;
}

TInflateState::TStep TInflateState::FixedBlock() {
  const TFixedTables& Fixed = FixedTables();
  return HuffmanBlock(Fixed.Lit.data(), Fixed.Dist.data(), ErrBadBlock);
}

TInflateState::TStep TInflateState::DynamicBlock() {
  if (!Need(14)) return TStep::Stop;
  unsigned LitCount = Take(5) + 257;
  unsigned DistCount = Take(5) + 1;
  unsigned CodeCount = Take(4) + 4;
  std::array<uint8_t, 19> CodeLengths{};
  for (unsigned I = 0; I < CodeCount; ++I) {
    if (!Need(3)) return TStep::Stop;
    CodeLengths[CodeLengthOrder[I]] = uint8_t(Take(3));
  }
  if (!BuildHuffmanTable(CodeLengths.data(), 19, Symbols().CodeLen.data(), 7, FCodeLen))
    return Fail(ErrIncompleteCodeSet);
  std::array<uint8_t, 288 + 32> Lengths{};
  if (ReadCodeLengths(LitCount + DistCount, Lengths.data()) == TStep::Stop) return TStep::Stop;
  if (!BuildHuffmanTable(Lengths.data(), LitCount, Symbols().Lit.data(), LitBits, FLit) ||
      !BuildHuffmanTable(Lengths.data() + LitCount, DistCount, Symbols().Dist.data(), DistBits, FDist))
    return Fail(ErrIncompleteCodeSet);
  return HuffmanBlock(FLit.data(), FDist.data(), ErrIncompleteCodeSet);
}

// Reads the code lengths of a block's two codes. While 8 input bytes remain,
// the bit buffer is topped up a word at a time and four symbols are decoded per
// top-up (each takes at most 14 of its 56 bits: a 7-bit code and 7 extra bits);
// near the end of the input the careful reader takes over. Both give the same
// lengths and errors.
TInflateState::TStep TInflateState::ReadCodeLengths(unsigned Total, uint8_t* Lengths) {
  const uint32_t* const Table = FCodeLen.data();
  unsigned I = 0;
  uint8_t Previous = 0;
  // Stores one symbol's lengths; false for a repeat beyond the last length.
  auto Store = [&](uint32_t Entry, uint32_t Value) {
    if (Entry & HtLiteral) {
      Previous = uint8_t(Value);
      Lengths[I++] = Previous;
      return true;
    }
    if (Value > Total - I) return false;
    const uint8_t Repeated = (Entry & HtEnd) ? Previous : 0;
    std::memset(Lengths + I, Repeated, Value);
    I += Value;
    Previous = Repeated;
    return true;
  };
  while (I < Total) {
    if (FInEnd - FInPos >= 8) {
      PullWord();
      for (unsigned K = 0; K < 4 && I < Total; ++K) {
        const uint32_t Entry = Table[FBitBuf & 0x7F];
        if (Entry & HtInvalid) return Fail(ErrIncompleteCodeSet);
        if (!Store(Entry, SymbolValue(Entry, Take(HtDrop(Entry))))) return Fail(ErrIncompleteCodeSet);
      }
      continue;
    }
    uint32_t Entry = 0, Value = 0;
    if (!DecodeSlow(Table, 7, Entry, Value)) return TStep::Stop;
    if ((Entry & HtInvalid) || !Store(Entry, Value)) return Fail(ErrIncompleteCodeSet);
  }
  return TStep::Next;
}

// Decodes one symbol with full checks. False when the input ends first; an
// invalid code is answered with its HtInvalid entry and nothing consumed.
bool TInflateState::DecodeSlow(const uint32_t* Table, unsigned PrimaryBits, uint32_t& Entry, uint32_t& Value) {
  PullBytes();
  uint32_t E = Table[FBitBuf & ((uint64_t(1) << PrimaryBits) - 1)];
  if (E & HtLink) {
    if (FBitCount < PrimaryBits) return false;
    Take(PrimaryBits);
    E = Table[HtValue(E) + (FBitBuf & ((uint64_t(1) << HtCodeBits(E)) - 1))];
  }
  if (HtDrop(E) > FBitCount) return false;
  Entry = E;
  if (E & HtInvalid) return true;
  Value = SymbolValue(E, Take(HtDrop(E)));
  return true;
}

TInflateState::TStep TInflateState::HuffmanBlock(const uint32_t* Lit, const uint32_t* Dist, int32_t BadCode) {
  for (;;) {
    if (FInEnd - FInPos < 16 && !FInEof) FillInput();
    TFast Fast = FastLoop(Lit, Dist);
    if (Fast == TFast::EndOfBlock) return TStep::Next;
    if (Fast == TFast::Bad) return Fail(BadCode);

    // One symbol the careful way: near the end of input, window or entry.
    size_t AreaLeft = size_t(FAreaEnd - FOut);
    if (AreaLeft < MaxMatch && CapLeft() > AreaLeft) {
      MakeRoom();
      if (FIO.Cancelled()) return TStep::Stop;
    }
    uint32_t Entry = 0, Value = 0;
    if (!DecodeSlow(Lit, LitBits, Entry, Value)) return TStep::Stop;
    if (Entry & HtLiteral) {
      if (CapLeft() == 0) return Fail(ErrBadBlock);
      *FOut++ = uint8_t(Value);
      continue;
    }
    if (Entry & HtEnd) return TStep::Next;
    if (Entry & HtInvalid) return Fail(BadCode);
    uint32_t DistEntry = 0, Distance = 0;
    if (!DecodeSlow(Dist, DistBits, DistEntry, Distance)) return TStep::Stop;
    if ((DistEntry & HtInvalid) || Distance > size_t(FOut - FBase)) return Fail(BadCode);
    size_t N = std::min(size_t(Value), CapLeft());
    // Copy forward from the match start: an index I - Distance would wrap below zero.
    const uint8_t* From = FOut - Distance;
    for (size_t I = 0; I < N; ++I) FOut[I] = From[I];
    FOut += N;
    if (N < Value) return Fail(ErrBadBlock);
  }
}

}  // namespace kst
