// The carry-less multiplication paths of CRC-32 for long buffers on x86
// processors, chosen at run time through cpuid: a 128-bit one for processors
// with PCLMULQDQ and a 256-bit one for those with VPCLMULQDQ and AVX2, which
// multiplies two lanes per instruction. Four accumulators walk the buffer;
// each step multiplies an accumulator's 64-bit halves by x^(D+32) and x^(D-32)
// modulo the CRC polynomial, D being the bits one step covers, and adds the
// next block, which keeps it congruent (mod P) to everything read so far. The
// accumulators are then folded into one, leftover blocks are folded in by
// their own width, and the last 128-bit remainder is reduced to the 32-bit
// register by running its 16 bytes through the table path from a zero
// register; the tail of fewer than 16 bytes follows the same way. The fold
// multipliers are computed here at compile time from the polynomial, not
// written as magic numbers. On other processors the paths are absent and the
// availability checks answer false.
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
constexpr uint64_t kFold1024Low = FoldMultiplier(1024 + 64 - 32);
constexpr uint64_t kFold1024High = FoldMultiplier(1024 - 32);
constexpr uint64_t kFold512Low = FoldMultiplier(512 + 64 - 32);
constexpr uint64_t kFold512High = FoldMultiplier(512 - 32);
constexpr uint64_t kFold256Low = FoldMultiplier(256 + 64 - 32);
constexpr uint64_t kFold256High = FoldMultiplier(256 - 32);
constexpr uint64_t kFold128Low = FoldMultiplier(128 + 64 - 32);
constexpr uint64_t kFold128High = FoldMultiplier(128 - 32);

#define KST_CLMUL_TARGET __attribute__((target("pclmul,sse4.1")))
#define KST_CLMUL_WIDE_TARGET __attribute__((target("pclmul,sse4.1,avx2,vpclmulqdq")))

KST_CLMUL_TARGET inline __m128i Load128(const uint8_t* Data) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(Data));
}

KST_CLMUL_TARGET inline __m128i Multipliers128(uint64_t Low, uint64_t High) {
  return _mm_set_epi64x(static_cast<long long>(High), static_cast<long long>(Low));
}

// Accumulator moved forward over the distance Multipliers stand for.
KST_CLMUL_TARGET inline __m128i Fold(__m128i Acc, __m128i Multipliers) {
  return _mm_xor_si128(_mm_clmulepi64_si128(Acc, Multipliers, 0x00), _mm_clmulepi64_si128(Acc, Multipliers, 0x11));
}

// Folds the remaining whole 16-byte blocks into Acc, then reduces it and the
// tail of fewer than 16 bytes to the register.
KST_CLMUL_TARGET inline uint32_t Finish(__m128i Acc, const uint8_t* Data, size_t Length) {
  const __m128i By128 = Multipliers128(kFold128Low, kFold128High);
  while (Length >= 16) {
    Acc = _mm_xor_si128(Fold(Acc, By128), Load128(Data));
    Data += 16;
    Length -= 16;
  }
  alignas(16) uint8_t Remainder[16];
  _mm_store_si128(reinterpret_cast<__m128i*>(Remainder), Acc);
  return Crc32Slicing(Crc32Slicing(0, Remainder, sizeof Remainder), Data, Length);
}

KST_CLMUL_WIDE_TARGET inline __m256i Load256(const uint8_t* Data) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Data));
}

// The same multipliers in both 128-bit lanes.
KST_CLMUL_WIDE_TARGET inline __m256i Multipliers256(uint64_t Low, uint64_t High) {
  return _mm256_set_epi64x(static_cast<long long>(High), static_cast<long long>(Low), static_cast<long long>(High),
                           static_cast<long long>(Low));
}

// Both lanes of Acc moved forward over the distance Multipliers stand for.
KST_CLMUL_WIDE_TARGET inline __m256i Fold(__m256i Acc, __m256i Multipliers) {
  return _mm256_xor_si256(_mm256_clmulepi64_epi128(Acc, Multipliers, 0x00),
                          _mm256_clmulepi64_epi128(Acc, Multipliers, 0x11));
}

// The extended state components the operating system saves for AVX (XCR0 bits
// 1 and 2), read with xgetbv; only valid when cpuid reports OSXSAVE.
bool AvxStateEnabled() {
  uint32_t Low = 0, High = 0;
  __asm__ volatile("xgetbv" : "=a"(Low), "=d"(High) : "c"(0));
  return (Low & 0x6) == 0x6;
}

}  // namespace

bool ClmulAvailable() {
  unsigned Eax = 0, Ebx = 0, Ecx = 0, Edx = 0;
  if (!__get_cpuid(1, &Eax, &Ebx, &Ecx, &Edx)) return false;
  return (Ecx & bit_PCLMUL) != 0 && (Ecx & bit_SSE4_1) != 0;
}

bool WideClmulAvailable() {
  unsigned Eax = 0, Ebx = 0, Ecx = 0, Edx = 0;
  if (!ClmulAvailable() || !__get_cpuid(1, &Eax, &Ebx, &Ecx, &Edx)) return false;
  if ((Ecx & bit_OSXSAVE) == 0 || (Ecx & bit_AVX) == 0 || !AvxStateEnabled()) return false;
  if (!__get_cpuid_count(7, 0, &Eax, &Ebx, &Ecx, &Edx)) return false;
  return (Ebx & bit_AVX2) != 0 && (Ecx & bit_VPCLMULQDQ) != 0;
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

  const __m128i By512 = Multipliers128(kFold512Low, kFold512High);
  while (Length >= 64) {
    Acc0 = _mm_xor_si128(Fold(Acc0, By512), Load128(Data));
    Acc1 = _mm_xor_si128(Fold(Acc1, By512), Load128(Data + 16));
    Acc2 = _mm_xor_si128(Fold(Acc2, By512), Load128(Data + 32));
    Acc3 = _mm_xor_si128(Fold(Acc3, By512), Load128(Data + 48));
    Data += 64;
    Length -= 64;
  }

  const __m128i By128 = Multipliers128(kFold128Low, kFold128High);
  Acc1 = _mm_xor_si128(Acc1, Fold(Acc0, By128));
  Acc2 = _mm_xor_si128(Acc2, Fold(Acc1, By128));
  return Finish(_mm_xor_si128(Acc3, Fold(Acc2, By128)), Data, Length);
}

KST_CLMUL_WIDE_TARGET uint32_t Crc32ClmulWide(uint32_t Crc, const uint8_t* Data, size_t Length) {
  if (Length < 128) return Crc32Clmul(Crc, Data, Length);

  // Each accumulator holds two consecutive 16-byte blocks, the earlier in the
  // low lane; the register enters as the first four message bytes, added in.
  __m256i Acc0 = _mm256_xor_si256(Load256(Data), _mm256_zextsi128_si256(_mm_cvtsi32_si128(static_cast<int>(Crc))));
  __m256i Acc1 = Load256(Data + 32);
  __m256i Acc2 = Load256(Data + 64);
  __m256i Acc3 = Load256(Data + 96);
  Data += 128;
  Length -= 128;

  const __m256i By1024 = Multipliers256(kFold1024Low, kFold1024High);
  while (Length >= 128) {
    Acc0 = _mm256_xor_si256(Fold(Acc0, By1024), Load256(Data));
    Acc1 = _mm256_xor_si256(Fold(Acc1, By1024), Load256(Data + 32));
    Acc2 = _mm256_xor_si256(Fold(Acc2, By1024), Load256(Data + 64));
    Acc3 = _mm256_xor_si256(Fold(Acc3, By1024), Load256(Data + 96));
    Data += 128;
    Length -= 128;
  }

  const __m256i By256 = Multipliers256(kFold256Low, kFold256High);
  Acc1 = _mm256_xor_si256(Acc1, Fold(Acc0, By256));
  Acc2 = _mm256_xor_si256(Acc2, Fold(Acc1, By256));
  __m256i Acc = _mm256_xor_si256(Acc3, Fold(Acc2, By256));
  while (Length >= 32) {
    Acc = _mm256_xor_si256(Fold(Acc, By256), Load256(Data));
    Data += 32;
    Length -= 32;
  }

  const __m128i Earlier = _mm256_castsi256_si128(Acc);
  const __m128i Later = _mm256_extracti128_si256(Acc, 1);
  return Finish(_mm_xor_si128(Later, Fold(Earlier, Multipliers128(kFold128Low, kFold128High))), Data, Length);
}

#else

bool ClmulAvailable() { return false; }

uint32_t Crc32Clmul(uint32_t Crc, const uint8_t* Data, size_t Length) { return Crc32Slicing(Crc, Data, Length); }

bool WideClmulAvailable() { return false; }

uint32_t Crc32ClmulWide(uint32_t Crc, const uint8_t* Data, size_t Length) { return Crc32Slicing(Crc, Data, Length); }

#endif

}  // namespace kst::crc_paths
