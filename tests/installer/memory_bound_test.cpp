// The installer on a pack whose picture claims 1 GiB (about 7 MB of deflated
// zeros behind a BMP header), run as a child process under an address-space
// limit (setrlimit through the shell's ulimit) far below that claim: the
// picture is refused with "Bitmap image is not valid." as soon as its header
// shows what it can be, never with a runtime's allocation message, and the
// container is left as it was. Credits claiming as much are cut short.
#include <cstring>

#include "tests/kit/DeflateBits.h"
#include "tests/installer/InstallerHarness.h"
#include "tests/kit/HostileZip.h"

namespace {

constexpr uint32_t kClaimed = 1u << 30;

// AddressSanitizer reserves far more address space than any limit this test
// could set, so a sanitized build runs the program without the limit and still
// checks that the picture is refused early and the container left alone.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kLimitAddressSpace = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kLimitAddressSpace = false;
#else
constexpr bool kLimitAddressSpace = true;
#endif
#else
constexpr bool kLimitAddressSpace = true;
#endif

// A BMP file header and 40-byte info header of the given size, 24 bits.
skwtest::TBytes BmpHeader(int32_t Width, int32_t Height) {
  skwtest::TBytes Head(54, 0);
  const auto Put = [&](size_t At, uint32_t Value) { std::memcpy(&Head[At], &Value, 4); };
  Head[0] = 'B';
  Head[1] = 'M';
  Put(2, kClaimed);
  Put(10, 54);
  Put(14, 40);
  Put(18, uint32_t(Width));
  Put(22, uint32_t(Height));
  Head[26] = 1;
  Head[28] = 24;
  return Head;
}

// Head as literals, then Fill bytes up to kClaimed bytes: one fixed-code
// block of length-258 copies at distance 1.
skwtest::TBytes ClaimingStream(const skwtest::TBytes& Head, uint8_t Fill = 0) {
  skwtest::DeflateBits Bits;
  Bits.Header(true, 1);
  for (uint8_t Byte : Head) Bits.Fixed(Byte);
  Bits.Fixed(Fill);
  uint64_t Made = Head.size() + 1;
  for (; Made + 258 <= kClaimed; Made += 258) Bits.Fixed(285).FixedDistance(0);
  for (; Made < kClaimed; ++Made) Bits.Fixed(Fill);
  Bits.Fixed(256);
  return Bits.Bytes();
}

class MemoryBound : public skwtest::DemoGame {
 protected:
  // The installer on a pack of Entry alone, under the address-space limit.
  skwtest::RunResult InstallUnderLimit(const skwtest::HostileEntry& Entry) {
    skwtest::HostileZip Zip;
    Zip.Entries = {Entry};
    const skwtest::TBytes Pack = Zip.Build();
    EXPECT_TRUE(skwtest::WriteAll(Dir / "bomb-bin.zip", std::string(Pack.begin(), Pack.end())));
    // 256 MiB of address space: the program and a few MiB of pictures fit.
    const std::string Limit = kLimitAddressSpace ? "ulimit -v 262144 && " : "";
    return Run("sh", {"-c", Limit + "exec \"" + Bin("skinwright") + "\" bomb-bin.zip 0"});
  }
};

TEST_F(MemoryBound, PictureClaimingAGigabyteIsRefusedEarly) {
  const struct {
    const char* Label;
    skwtest::TBytes Head;
  } Cases[] = {
      {"too wide", BmpHeader(100000, 64)},
      {"valid header, data far beyond it", BmpHeader(64, 64)},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Label);
    skwtest::HostileEntry Picture;
    Picture.Name = "ROTOR-BIN-64x64.bmp";
    Picture.Method = 8;
    Picture.Data = ClaimingStream(Case.Head);
    Picture.Crc = 0;
    Picture.UnpackedSize = kClaimed;
    const skwtest::RunResult Result = InstallUnderLimit(Picture);
    EXPECT_EQ(Result.Err, skwtest::ErrorLine("Bitmap image is not valid."));
    EXPECT_EQ(skwtest::ReadAll(Container("bin")), BinBefore);
  }
}

// Credits have no header to bound them: the text shown is their first 64 KiB
// and the rest is never decoded.
TEST_F(MemoryBound, CreditsClaimingAGigabyteAreCutShort) {
  skwtest::HostileEntry Credits;
  Credits.Name = "credits.txt";
  Credits.Method = 8;
  Credits.Data = ClaimingStream({'A'}, 'A');
  Credits.Crc = 0;
  Credits.UnpackedSize = kClaimed;
  const skwtest::RunResult Result = InstallUnderLimit(Credits);
  EXPECT_EQ(Result.Err, "");
  EXPECT_NE(Result.Out.find(std::string(64 * 1024, 'A')), std::string::npos);
  EXPECT_EQ(Result.Out.find(std::string(64 * 1024 + 1, 'A')), std::string::npos);
  EXPECT_EQ(skwtest::ReadAll(Container("bin")), BinBefore);
}

}  // namespace
