// Reduce decoding in two stages. The first stage undoes the follower-set
// prediction: the stream opens with a set of up to 32 likely successors for each
// byte value (read for 255 down to 0), and every following byte is either a
// literal (flag bit 1, eight bits) or an index into the previous byte's set
// (flag bit 0, just enough bits to number the set); a byte whose set is empty is
// always a literal. The second stage expands the bytes: 144 introduces either a
// literal 144 (144, 0) or a match whose length sits in the low bits of the next
// byte (extended by one more byte when those bits are all set) and whose
// distance takes the remaining high bits and one more byte. Matches are copied
// from the output window, which starts zero-filled, so a distance reaching
// before the entry's first byte yields zeros as the classic decoders do; no
// earlier entry or uninitialised memory can show through. Decoding stops at the
// entry's uncompressed size, which also keeps the padding bits of the last byte
// from being taken for data.
#include "archive/decode/Unreduce.h"

#include <memory>
#include <new>
#include <vector>

#include "archive/core/Err_msgs.h"
#include "archive/decode/LegacyBitReader.h"

namespace kst {

namespace {

constexpr uint32_t MaxFollowers = 32;
constexpr uint8_t Marker = 144;

// Bits of a follower index for a set of N (1..32) followers.
constexpr unsigned IndexBits(uint32_t N) {
  unsigned Bits = 1;
  while ((1u << Bits) < N) ++Bits;
  return Bits;
}

class TUnreducer {
 public:
  TUnreducer(TDecoderIO& IO, uint32_t Limit)
      : Out(IO, Limit), FIn(IO), FFollowers(256 * MaxFollowers, 0), FCounts(256, 0), FBits(256, 0) {}

  // Decodes the stream; answers 0 or the error that ended it.
  int32_t Run(int Factor);

  TLegacyOutput Out;

 private:
  int32_t ReadFollowerSets(bool& Ended);
  bool NextByte(uint8_t Last, uint8_t& Byte);
  bool NextByteSlow(uint8_t Last, uint8_t& Byte);

  TLegacyBitReader FIn;
  // Row Byte * 32 holds Byte's followers; unused places stay 0, so an index
  // beyond a set's count reads 0 rather than anything undefined.
  std::vector<uint8_t> FFollowers;
  std::vector<uint8_t> FCounts;
  std::vector<uint8_t> FBits;
};

int32_t TUnreducer::ReadFollowerSets(bool& Ended) {
  for (int Byte = 255; Byte >= 0; --Byte) {
    uint32_t Count = 0;
    if (!FIn.Read(6, Count)) {
      Ended = true;
      return 0;
    }
    if (Count > MaxFollowers) return ErrBadBlock;
    FCounts[Byte] = uint8_t(Count);
    FBits[Byte] = uint8_t(Count == 0 ? 0 : IndexBits(Count));
    for (uint32_t I = 0; I < Count; ++I) {
      uint32_t Follower = 0;
      if (!FIn.Read(8, Follower)) {
        Ended = true;
        return 0;
      }
      FFollowers[Byte * MaxFollowers + I] = uint8_t(Follower);
    }
  }
  return 0;
}

// The next byte of the first stage; false when the input ends first.
inline bool TUnreducer::NextByte(uint8_t Last, uint8_t& Byte) {
  if (!FIn.Need(9)) return NextByteSlow(Last, Byte);
  const uint32_t Peeked = FIn.Peek(9);  // the longest form: flag and literal
  if (FCounts[Last] == 0) {
    Byte = uint8_t(Peeked);
    FIn.Drop(8);
  } else if (Peeked & 1) {
    Byte = uint8_t(Peeked >> 1);
    FIn.Drop(9);
  } else {
    const unsigned Bits = FBits[Last];
    Byte = FFollowers[Last * MaxFollowers + ((Peeked >> 1) & ((1u << Bits) - 1))];
    FIn.Drop(1 + Bits);
  }
  return true;
}

// The same near the end of the input, one field at a time.
bool TUnreducer::NextByteSlow(uint8_t Last, uint8_t& Byte) {
  uint32_t Value = 0;
  if (FCounts[Last] != 0) {
    uint32_t Flag = 0;
    if (!FIn.Read(1, Flag)) return false;
    if (Flag == 0) {
      if (!FIn.Read(FBits[Last], Value)) return false;
      Byte = FFollowers[Last * MaxFollowers + Value];
      return true;
    }
  }
  if (!FIn.Read(8, Value)) return false;
  Byte = uint8_t(Value);
  return true;
}

int32_t TUnreducer::Run(int Factor) {
  if (Factor < 1 || Factor > 4) return ErrBadBlock;
  bool Ended = false;
  if (int32_t Err = ReadFollowerSets(Ended)) return Err;
  if (Ended) return 0;

  const uint32_t LengthMask = 0xFFu >> Factor;
  const unsigned DistanceShift = 8 - unsigned(Factor);
  enum { Plain, AfterMarker, LengthByte, DistanceByte } State = Plain;
  uint32_t Code = 0;
  uint32_t Length = 0;
  uint8_t Last = 0;
  while (!Out.AtLimit()) {
    uint8_t Byte = 0;
    if (!NextByte(Last, Byte)) return 0;
    Last = Byte;
    bool Fitted = true;
    switch (State) {
      case Plain:
        if (Byte != Marker) {
          Fitted = Out.Put(Byte);
        } else {
          State = AfterMarker;
        }
        break;
      case AfterMarker:
        if (Byte == 0) {
          Fitted = Out.Put(Marker);
          State = Plain;
        } else {
          Code = Byte;
          Length = Byte & LengthMask;
          State = Length == LengthMask ? LengthByte : DistanceByte;
        }
        break;
      case LengthByte:
        Length += Byte;
        State = DistanceByte;
        break;
      case DistanceByte: {
        const uint32_t Distance = ((Code >> DistanceShift) << 8) + Byte + 1;
        Fitted = Out.Copy(Distance, Length + 3);
        State = Plain;
        break;
      }
    }
    if (!Fitted) return Out.Cancelled() ? 0 : ErrBadBlock;
  }
  return 0;
}

}  // namespace

void Unreduce(TDecoderIO& IO, const TInflateRec& Rec, int Factor) {
  std::unique_ptr<TUnreducer> State;
  try {
    State = std::make_unique<TUnreducer>(IO, Rec.UnpackedSize);
  } catch (const std::bad_alloc&) {
    LegacyRaise(IO, ErrOutOfMemory);
    return;
  }
  int32_t Err = 0;
  try {
    Err = State->Run(Factor);
  } catch (const E_RAISE&) {
    // Raised by the run while reading or writing: decoding ends here.
  }
  if (Err != 0) LegacyRaise(IO, Err);
  State->Out.Finish();
}

}  // namespace kst
