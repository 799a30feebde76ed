// TNearestColor: the entries laid out for the vector search, the AVX2 search
// chosen at run time, and the plain scan.
#include "textures/BitmapNearestColor.h"

#include <algorithm>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define SKW_NEAREST_AVX2 1
#endif

namespace skw {

namespace {

#ifdef SKW_NEAREST_AVX2
// The 256 distances in 16-bit lanes, saturating at 65535 (each squared part is
// at most 255 * 255 and fits); the first entry at the least distance. When
// every distance saturated, the least one is not known: 256 is answered.
__attribute__((target("avx2"))) int SearchAvx2(const uint16_t* Red, const uint16_t* Green, const uint16_t* Blue,
                                               uint8_t R, uint8_t G, uint8_t B) {
  const __m256i Qr = _mm256_set1_epi16(R), Qg = _mm256_set1_epi16(G), Qb = _mm256_set1_epi16(B);
  alignas(32) uint16_t Distance[256];
  __m256i Least = _mm256_set1_epi16(-1);
  for (size_t I = 0; I < 256; I += 16) {
    const __m256i Dr = _mm256_sub_epi16(_mm256_load_si256(reinterpret_cast<const __m256i*>(Red + I)), Qr);
    const __m256i Dg = _mm256_sub_epi16(_mm256_load_si256(reinterpret_cast<const __m256i*>(Green + I)), Qg);
    const __m256i Db = _mm256_sub_epi16(_mm256_load_si256(reinterpret_cast<const __m256i*>(Blue + I)), Qb);
    const __m256i D = _mm256_adds_epu16(_mm256_adds_epu16(_mm256_mullo_epi16(Dr, Dr), _mm256_mullo_epi16(Dg, Dg)),
                                        _mm256_mullo_epi16(Db, Db));
    _mm256_store_si256(reinterpret_cast<__m256i*>(Distance + I), D);
    Least = _mm256_min_epu16(Least, D);
  }
  const __m128i Half = _mm_min_epu16(_mm256_castsi256_si128(Least), _mm256_extracti128_si256(Least, 1));
  const int Min = _mm_cvtsi128_si32(_mm_minpos_epu16(Half)) & 0xFFFF;
  if (Min == 0xFFFF) return 256;
  const __m256i Wanted = _mm256_set1_epi16(static_cast<int16_t>(Min));
  for (int I = 0; I < 256; I += 16) {
    const __m256i D = _mm256_load_si256(reinterpret_cast<const __m256i*>(Distance + I));
    const auto Mask = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi16(D, Wanted)));
    if (Mask != 0) return I + __builtin_ctz(Mask) / 2;
  }
  return 256;
}
#endif

}  // namespace

TNearestColor::TNearestColor(const TColorTable& Table, TSearchWay Way) : FCache(size_t{1} << kCacheBits) {
#ifdef SKW_NEAREST_AVX2
  FWide = Way == TSearchWay::swFastest && __builtin_cpu_supports("avx2");
#else
  FWide = false;
  (void)Way;
#endif
  SetTable(Table);
}

void TNearestColor::SetTable(const TColorTable& Table) {
  FTable = Table;
  for (size_t I = 0; I < 256; ++I) {
    FRed[I] = Table[I].rgbRed;
    FGreen[I] = Table[I].rgbGreen;
    FBlue[I] = Table[I].rgbBlue;
  }
  // Colour 0 lands in slot 0 only; colour 1 elsewhere.
  static_assert(((1u * 2654435761u) >> (32 - kCacheBits)) != 0);
  std::fill(FCache.begin(), FCache.end(), 0);
  FCache[0] = 1u << 8;
}

uint8_t TNearestColor::Search(uint8_t Red, uint8_t Green, uint8_t Blue) const {
#ifdef SKW_NEAREST_AVX2
  if (FWide) {
    const int Entry = SearchAvx2(FRed.data(), FGreen.data(), FBlue.data(), Red, Green, Blue);
    if (Entry < 256) return static_cast<uint8_t>(Entry);
  }
#endif
  return NearestColorScan(FTable, Red, Green, Blue);
}

uint8_t NearestColorScan(const TColorTable& Table, uint8_t Red, uint8_t Green, uint8_t Blue) {
  int32_t BestDistance = 3 * 255 * 255 + 1;
  int32_t BestIndex = 0;
  for (int32_t I = 0; I < 256; ++I) {
    const TRGBQuad& Q = Table[static_cast<size_t>(I)];
    const int32_t Dr = Q.rgbRed - Red, Dg = Q.rgbGreen - Green, Db = Q.rgbBlue - Blue;
    const int32_t D = Dr * Dr + Dg * Dg + Db * Db;
    if (D < BestDistance) {
      BestDistance = D;
      BestIndex = I;
    }
  }
  return static_cast<uint8_t>(BestIndex);
}

}  // namespace skw
