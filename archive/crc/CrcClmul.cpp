// The carry-less multiplication path of CRC-32 for long buffers on x86
// processors with PCLMULQDQ, chosen at run time through cpuid. Four 16-byte
// accumulators walk the buffer; each step multiplies an accumulator's two
// 64-bit halves by x^(512+32) and x^(512-32) modulo the CRC polynomial and adds
// the next 64 bytes, which keeps it congruent (mod P) to everything read so
// far. The four are then folded into one, leftover 16-byte blocks are folded in
// by 128 bits, and the last 128-bit remainder is reduced to the 32-bit register
// by running its 16 bytes through the table path from a zero register; the
// tail of fewer than 16 bytes follows the same way. The fold multipliers are
// computed here at compile time from the polynomial, not written as magic
// numbers. On other processors the path is absent and ClmulAvailable() is false.
#include "archive/crc/Crc.h"

#if defined(__x86_64__) || defined(__i386__)
#define KST_CRC_CLMUL 1
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace kst::crc_paths {

#ifdef KST_CRC_CLMUL

namespace {

// x^N modulo the CRC-32 polynomial (0x104C11DB7), bit d standing for x^d.
constexpr uint64_t XPowModP(unsigned N) {
  uint64_t Value = 1;
  for (unsigned I = 0; I < N; ++I) {
    Value <<= 1;
    if (Value & 0x100000000u) Value ^= 0x104C11DB7u;
  }
  return Value;
}

constexpr uint32_t Reflect32(uint32_t Value) {
  uint32_t Result = 0;
  for (int Bit = 0; Bit < 32; ++Bit)
    if (Value & (1u << Bit)) Result |= 1u << (31 - Bit);
  return Result;
}

// Multiplier for x^N in the bit order of the register lanes. In a reflected
// lane bit i stands for x^(63-i); a carry-less product of such a lane with a
// reflected remainder shifted up by one lands as a 128-bit reflected value
// already multiplied by x^32, hence the "- 32" folded into the distance below.
constexpr uint64_t FoldMultiplier(unsigned N) { return uint64_t(Reflect32(uint32_t(XPowModP(N)))) << 1; }

// A fold over D bits: the low (earlier) half of an accumulator is the part
// 64 bits further from the end, so it needs x^(D+64) and the high half x^D.
constexpr uint64_t kFold512Low = FoldMultiplier(512 + 64 - 32);
constexpr uint64_t kFold512High = FoldMultiplier(512 - 32);
constexpr uint64_t kFold128Low = FoldMultiplier(128 + 64 - 32);
constexpr uint64_t kFold128High = FoldMultiplier(128 - 32);

#define KST_CLMUL_TARGET __attribute__((target("pclmul,sse4.1")))

KST_CLMUL_TARGET inline __m128i Load128(const uint8_t* Data) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(Data));
}

// Accumulator moved forward over the distance Multipliers stand for.
KST_CLMUL_TARGET inline __m128i Fold(__m128i Acc, __m128i Multipliers) {
  return _mm_xor_si128(_mm_clmulepi64_si128(Acc, Multipliers, 0x00),
                       _mm_clmulepi64_si128(Acc, Multipliers, 0x11));
}

}  // namespace

bool ClmulAvailable() {
  unsigned Eax = 0, Ebx = 0, Ecx = 0, Edx = 0;
  if (!__get_cpuid(1, &Eax, &Ebx, &Ecx, &Edx)) return false;
  return (Ecx & bit_PCLMUL) != 0 && (Ecx & bit_SSE4_1) != 0;
}

KST_CLMUL_TARGET uint32_t Crc32Clmul(uint32_t Crc, const uint8_t* Data, size_t Length) {
  if (Length < 64) return Crc32Slicing(Crc, Data, Length);

  // The register enters as the first four message bytes, added in.
  __m128i Acc0 = _mm_xor_si128(Load128(Data), _mm_cvtsi32_si128(static_cast<int>(Crc)));
  __m128i Acc1 = Load128(Data + 16);
  __m128i Acc2 = Load128(Data + 32);
  __m128i Acc3 = Load128(Data + 48);
  Data += 64;
  Length -= 64;

  const __m128i By512 = _mm_set_epi64x(static_cast<long long>(kFold512High), static_cast<long long>(kFold512Low));
  while (Length >= 64) {
    Acc0 = _mm_xor_si128(Fold(Acc0, By512), Load128(Data));
    Acc1 = _mm_xor_si128(Fold(Acc1, By512), Load128(Data + 16));
    Acc2 = _mm_xor_si128(Fold(Acc2, By512), Load128(Data + 32));
    Acc3 = _mm_xor_si128(Fold(Acc3, By512), Load128(Data + 48));
    Data += 64;
    Length -= 64;
  }

  const __m128i By128 = _mm_set_epi64x(static_cast<long long>(kFold128High), static_cast<long long>(kFold128Low));
  Acc1 = _mm_xor_si128(Acc1, Fold(Acc0, By128));
  Acc2 = _mm_xor_si128(Acc2, Fold(Acc1, By128));
  __m128i Acc = _mm_xor_si128(Acc3, Fold(Acc2, By128));
  while (Length >= 16) {
    Acc = _mm_xor_si128(Fold(Acc, By128), Load128(Data));
    Data += 16;
    Length -= 16;
  }

  alignas(16) uint8_t Remainder[16];
  _mm_store_si128(reinterpret_cast<__m128i*>(Remainder), Acc);
  return Crc32Slicing(Crc32Slicing(0, Remainder, sizeof Remainder), Data, Length);
}

#else

bool ClmulAvailable() { return false; }

uint32_t Crc32Clmul(uint32_t Crc, const uint8_t* Data, size_t Length) { return Crc32Slicing(Crc, Data, Length); }

#endif

}  // namespace kst::crc_paths
