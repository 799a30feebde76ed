// The Deflate decoder's fast loop. While at least 8 input bytes and room for a
// longest match remain, it decodes without per-symbol bounds checks: the 64-bit
// bit buffer is refilled with one unaligned word per symbol (leaving 56 or more
// bits, enough for a length, a distance and their extra bits), each literal or
// length costs one table lookup, and matches are copied a word at a time. Short
// distances (below 8) are copied as a repeating pattern. On processors with
// BMI2 the loop is compiled a second time, chosen once at run time: extra bits
// are masked in one instruction (BZHI), and a literal's entry selects the next
// index straight from the bits before its drop (BEXTR), which takes a step off
// the chain from one literal's lookup to the next.
#include <atomic>
#include <bit>
#include <cstring>
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include "archive/decode/HuffmanTable.h"
#include "archive/decode/Inflate.h"
#include "archive/decode/InflateState.h"

namespace kst {

namespace {

std::atomic<bool> GenericLoopOnly{false};

inline uint64_t Load64(const uint8_t* P) {
  uint64_t V;
  std::memcpy(&V, P, 8);
  if constexpr (std::endian::native == std::endian::big) V = __builtin_bswap64(V);
  return V;
}

inline void Copy8(uint8_t* Dst, const uint8_t* Src) {
  uint64_t V;
  std::memcpy(&V, Src, 8);
  std::memcpy(Dst, &V, 8);
}

inline void Copy16(uint8_t* Dst, const uint8_t* Src) {
  uint8_t V[16];
  std::memcpy(V, Src, 16);
  std::memcpy(Dst, V, 16);
}

inline uint64_t LowBits(uint64_t V, unsigned N) { return V & ((uint64_t(1) << N) - 1); }

// Entries of the literal/length table are held zero-extended to 64 bits in the
// loop (BEXTR takes them whole); the literal flag is tested on the low 32 bits,
// where it can be an immediate. A literal's byte and a length's or distance's
// base are read from bit 16 up.
inline bool IsLiteral(uint64_t E) { return uint32_t(E) & HtLiteral; }

// The code length of a length or distance entry, whose flag bits are clear: a
// six-bit field, which a shift takes without masking.
inline unsigned CodeBitsOf(uint64_t E) { return unsigned(E >> 8) & 63; }

// Bit-field steps of the loop, in a generic form and a BMI2 form. The BMI2
// form is compiled for BMI2 and only reaches the loop compiled for it.
template <bool Bmi2>
struct TBitSteps {
  // The low bits of V below the count in the low byte of N (an entry's drop).
  static uint64_t LowBitsOfDrop(uint64_t V, uint64_t N) { return LowBits(V, unsigned(N & 0xFF)); }
  // The primary index of the symbol after a literal, from the bits before the
  // literal's drop: its entry holds the drop in bits 0-7 and the index width
  // in bits 8-15, exactly the selector BEXTR takes.
  static uint64_t IndexAfterLiteral(uint64_t Undropped, uint64_t Entry) {
    return LowBits(Undropped >> (Entry & 63), TInflateState::LitBits);
  }
};
#if defined(__x86_64__) && defined(__GNUC__)
template <>
struct TBitSteps<true> {
  __attribute__((target("bmi,bmi2"))) static uint64_t LowBitsOfDrop(uint64_t V, uint64_t N) {
    return _bzhi_u64(V, unsigned(N));
  }
  __attribute__((target("bmi,bmi2"))) static uint64_t IndexAfterLiteral(uint64_t Undropped, uint64_t Entry) {
    return __bextr_u64(Undropped, Entry);
  }
};
#endif

// A match overlapping its own source at a distance below 8, written as a
// repeating pattern.
inline void CopyOverlapping(uint8_t* Out, size_t Dist, uint32_t Len) {
  const uint8_t* Src = Out - Dist;
  uint8_t* End = Out + Len;
  if (Dist == 1) {
    uint64_t V = uint64_t(*Src) * 0x0101010101010101ull;
    do {
      std::memcpy(Out, &V, 8);
      Out += 8;
    } while (Out < End);
  } else {
    // Smallest multiple of the distance of at least 8: after that many bytes the
    // pattern repeats at a distance word copies can use.
    static constexpr uint8_t StrideFor[8] = {0, 8, 8, 9, 8, 10, 12, 14};
    size_t Stride = StrideFor[Dist];
    size_t Head = Stride < Len ? Stride : Len;
    for (size_t I = 0; I < Head; ++I) Out[I] = Src[I];
    for (size_t I = Head; I < Len; I += 8) Copy8(Out + I, Out + I - Stride);
  }
}

// Copies Len bytes from Dist bytes back. May write up to 16 bytes beyond the
// match (the window has slack there); the Len bytes of the match are never
// taken from bytes not yet final.
inline void CopyMatch(uint8_t* Out, size_t Dist, uint32_t Len) {
  const uint8_t* Src = Out - Dist;
  uint8_t* End = Out + Len;
  if (Dist >= 8) {
    // Most matches are short: 16 bytes cover them with one predictable branch.
    Copy8(Out, Src);
    Copy8(Out + 8, Src + 8);
    if (Len <= 16) return;
    Out += 16;
    Src += 16;
    if (Dist >= 16) {
      do {
        Copy16(Out, Src);
        Out += 16;
        Src += 16;
      } while (Out < End);
    } else {
      do {
        Copy8(Out, Src);
        Out += 8;
        Src += 8;
      } while (Out < End);
    }
  } else if (Len <= Dist) {
    // The source ends before the match begins: one word carries it whole (the
    // bytes past Len are scratch, rewritten by the next symbol).
    Copy8(Out, Src);
  } else {
    CopyOverlapping(Out, Dist, Len);
  }
}

}  // namespace

template <bool Bmi2>
inline TInflateState::TFast TInflateState::FastLoopBody(const uint32_t* Lit, const uint32_t* Dist) {
  size_t OutRoom = Room();
  if (FInEnd - FInPos < 8 || OutRoom <= MaxMatch) return TFast::Leave;
  const uint8_t* In = FInPos;
  const uint8_t* const InLimit = FInEnd - 8;
  uint8_t* Out = FOut;
  uint8_t* const OutLimit = FOut + (OutRoom - MaxMatch);
  const uint8_t* const WinBegin = FBase;
  uint64_t Bits = FBitBuf;
  unsigned Count = FBitCount;
  TFast Result = TFast::Leave;

  // After a refill the buffer holds 64 true bits (Count of them counted, the
  // rest mirror the next input bytes). A symbol uses at most 48, so the next
  // entry can be looked up before the refill that follows. Only the low six
  // bits of Count are meaningful: a drop may subtract a whole table entry,
  // whose low six bits are its bit count (below 64), which saves masking it.
  auto Refill = [&] {
    Bits |= Load64(In) << (Count & 63);
    In += 7 - ((Count >> 3) & 7);
    Count |= 56;
  };
  auto Drop = [&](uint64_t Entry) {
    Bits >>= (Entry & 63);
    Count -= Entry;
  };
  // Consumes a literal's entry and answers the next symbol's primary index.
  auto LiteralStep = [&](uint64_t Entry) {
    const uint64_t Undropped = Bits;
    Drop(Entry);
    return TBitSteps<Bmi2>::IndexAfterLiteral(Undropped, Entry);
  };
  Refill();
  uint64_t E = Lit[LowBits(Bits, LitBits)];
  while (In <= InLimit && Out < OutLimit) {
    if (IsLiteral(E)) {
      // Up to four literals per refill: a literal found in the primary table
      // takes at most LitBits bits, so 56 bits cover four and the next lookup.
      static_assert(4 * LitBits <= 56 && 5 * LitBits <= 64);
      *Out++ = uint8_t(E >> 16);
      E = Lit[LiteralStep(E)];
      if (IsLiteral(E)) {
        *Out++ = uint8_t(E >> 16);
        E = Lit[LiteralStep(E)];
        if (IsLiteral(E)) {
          *Out++ = uint8_t(E >> 16);
          E = Lit[LiteralStep(E)];
          if (IsLiteral(E)) {
            *Out++ = uint8_t(E >> 16);
            E = Lit[LiteralStep(E)];
          }
        }
      }
      Refill();
      continue;
    }
    // Lengths are by far the most common here: one test sends the rest aside.
    if (E & (HtLink | HtEnd | HtInvalid)) [[unlikely]] {
      if (E & HtLink) {
        Drop(LitBits);
        E = Lit[HtValue(E) + LowBits(Bits, HtCodeBits(E))];
        if (IsLiteral(E)) {
          Drop(E);
          *Out++ = uint8_t(E >> 16);
          Refill();
          E = Lit[LowBits(Bits, LitBits)];
          continue;
        }
      }
      if (E & (HtEnd | HtInvalid)) {
        if (E & HtEnd) {
          Drop(E);
          Result = TFast::EndOfBlock;
        } else {
          Result = TFast::Bad;
        }
        break;
      }
    }
    uint32_t Len = uint32_t(E >> 16) + uint32_t(TBitSteps<Bmi2>::LowBitsOfDrop(Bits, E) >> CodeBitsOf(E));
    Drop(E);

    uint32_t D = Dist[LowBits(Bits, DistBits)];
    if (D & (HtLink | HtInvalid)) [[unlikely]] {
      if (D & HtLink) {
        Drop(DistBits);
        D = Dist[HtValue(D) + LowBits(Bits, HtCodeBits(D))];
      }
      if (D & HtInvalid) {
        Result = TFast::Bad;
        break;
      }
    }
    size_t Distance = size_t(D >> 16) + size_t(TBitSteps<Bmi2>::LowBitsOfDrop(Bits, D) >> CodeBitsOf(D));
    Drop(D);
    if (Distance > size_t(Out - WinBegin)) {
      Result = TFast::Bad;
      break;
    }
    // A length and a distance take at most 48 of the 64 true bits, so the next
    // entry's index is there before the refill, which stays off its path.
    E = Lit[LowBits(Bits, LitBits)];
    Refill();
    CopyMatch(Out, Distance, Len);
    Out += Len;
  }

  FInPos = In;
  FOut = Out;
  FBitBuf = Bits;
  FBitCount = Count & 63;
  return Result;
}

// The same loop compiled for processors with BMI2, chosen once at run time.
// Flattening inlines the loop and its bit-field steps here, where the BMI2
// forms of the steps may be inlined; the generic loop is flattened likewise.
// The BMI2 loop is never inlined into the generic one (which some compilers'
// flattening would do regardless of the target).
#if defined(__x86_64__) && defined(__GNUC__)
__attribute__((target("bmi,bmi2"), flatten, noinline)) TInflateState::TFast TInflateState::FastLoopBmi2(
    const uint32_t* Lit, const uint32_t* Dist) {
  return FastLoopBody<true>(Lit, Dist);
}

__attribute__((flatten)) TInflateState::TFast TInflateState::FastLoop(const uint32_t* Lit, const uint32_t* Dist) {
  static const bool HasBmi2 = __builtin_cpu_supports("bmi2");
  if (HasBmi2 && !GenericLoopOnly.load(std::memory_order_relaxed)) return FastLoopBmi2(Lit, Dist);
  return FastLoopBody<false>(Lit, Dist);
}
#else
TInflateState::TFast TInflateState::FastLoop(const uint32_t* Lit, const uint32_t* Dist) {
  return FastLoopBody<false>(Lit, Dist);
}
#endif

void HoldToGenericFastLoop(bool Hold) { GenericLoopOnly.store(Hold, std::memory_order_relaxed); }

}  // namespace kst
