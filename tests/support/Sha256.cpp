// Straightforward SHA-256 (FIPS 180-4), used only to compare test output with
// the digests recorded in the test archives' manifest.
#include "tests/support/Sha256.h"

#include <array>
#include <cstdio>

namespace skwtest {
namespace {

constexpr std::array<uint32_t, 64> kRound = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

uint32_t Rotr(uint32_t X, int N) { return (X >> N) | (X << (32 - N)); }

void Compress(std::array<uint32_t, 8>& H, const uint8_t* Block) {
  uint32_t W[64];
  for (int i = 0; i < 16; ++i)
    W[i] = uint32_t(Block[4 * i]) << 24 | uint32_t(Block[4 * i + 1]) << 16 | uint32_t(Block[4 * i + 2]) << 8 |
           uint32_t(Block[4 * i + 3]);
  for (int i = 16; i < 64; ++i) {
    uint32_t s0 = Rotr(W[i - 15], 7) ^ Rotr(W[i - 15], 18) ^ (W[i - 15] >> 3);
    uint32_t s1 = Rotr(W[i - 2], 17) ^ Rotr(W[i - 2], 19) ^ (W[i - 2] >> 10);
    W[i] = W[i - 16] + s0 + W[i - 7] + s1;
  }
  uint32_t a = H[0], b = H[1], c = H[2], d = H[3], e = H[4], f = H[5], g = H[6], h = H[7];
  for (int i = 0; i < 64; ++i) {
    uint32_t t1 = h + (Rotr(e, 6) ^ Rotr(e, 11) ^ Rotr(e, 25)) + ((e & f) ^ (~e & g)) + kRound[i] + W[i];
    uint32_t t2 = (Rotr(a, 2) ^ Rotr(a, 13) ^ Rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
    h = g;
    g = f;
    f = e;
    e = d + t1;
    d = c;
    c = b;
    b = a;
    a = t1 + t2;
  }
  H[0] += a;
  H[1] += b;
  H[2] += c;
  H[3] += d;
  H[4] += e;
  H[5] += f;
  H[6] += g;
  H[7] += h;
}

}  // namespace

std::string Sha256Hex(const void* Data, size_t Size) {
  std::array<uint32_t, 8> H = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                               0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  const auto* p = static_cast<const uint8_t*>(Data);
  size_t full = Size / 64;
  for (size_t i = 0; i < full; ++i) Compress(H, p + 64 * i);
  uint8_t tail[128] = {};
  size_t rest = Size % 64;
  for (size_t i = 0; i < rest; ++i) tail[i] = p[64 * full + i];
  tail[rest] = 0x80;
  size_t tailLen = rest < 56 ? 64 : 128;
  uint64_t bits = uint64_t(Size) * 8;
  for (int i = 0; i < 8; ++i) tail[tailLen - 1 - i] = uint8_t(bits >> (8 * i));
  for (size_t off = 0; off < tailLen; off += 64) Compress(H, tail + off);
  std::string hex;
  char buf[9];
  for (uint32_t v : H) {
    std::snprintf(buf, sizeof buf, "%08x", v);
    hex += buf;
  }
  return hex;
}

}  // namespace skwtest
