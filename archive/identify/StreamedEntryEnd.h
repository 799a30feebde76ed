// Where the data of a streamed ZIP entry end when only its local header is
// known. A streaming writer (flag bit 3) leaves zeros for the sizes and CRC in
// the local header and writes them in a data descriptor behind the data (with
// or without the signature 0x08074b50), so a walk over local headers has to
// find that descriptor to know the entry and to reach the next header.
// A Deflate stream tells where it ends: it is decoded (the output only counted)
// and the descriptor must follow right there with the packed size the stream
// used. Nothing in other data tells their end, so the bytes are searched for a
// descriptor whose packed size is its distance from the data's start: for a
// stored entry its CRC and unpacked size must also be those of the bytes passed
// over; for anything else (encrypted data, other methods) it must carry its
// signature and be followed by another ZIP record or the end of the file.
// An entry whose local header carries a Zip64 extra field has its sizes there
// (the header's own fields hold 0xFFFFFFFF), and its writer puts 8-byte sizes
// in the descriptor; such descriptors are recognised for those entries only.
// The library reads entries up to 4 GiB, so larger sizes are not taken.
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

#include "archive/core/Ksttypes.h"
#include "archive/io/Kstfileio.h"

namespace kst {

struct TStreamedEnd {
  uint32_t PackedSize = 0;
  uint32_t UnpackedSize = 0;
  uint32_t Crc = 0;             // the descriptor's
  uint32_t DescriptorSize = 0;  // 16 with its signature, else 12; 24 and 20 with 8-byte sizes

  // Gives Local the descriptor's sizes and CRC (an unpacked size already
  // there stands: for entries not deflated the descriptor's may be a guess).
  void ApplyTo(TLocal& Local) const;
};

// Puts the sizes of a Zip64 extra field in Extra, the local header's extra
// data, into the fields of Local that hold the placeholder 0xFFFFFFFF (where
// they fit in 32 bits); true when there is such a field, whose entry's data
// descriptor then has 8-byte sizes.
bool TakeZip64Sizes(TLocal& Local, std::string_view Extra);

// For a streamed entry (flag bit 3) whose data start at DataStart: its data
// descriptor, found behind the packed size its local header gives or, when
// that is zero, by measuring the data; nothing for an entry not streamed or
// when no descriptor fits. Zip64: what TakeZip64Sizes answered for Local.
std::optional<TStreamedEnd> FindStreamedEnd(THandle File, const TLocal& Local, uint64_t DataStart, uint64_t FileSize,
                                            bool Zip64);

// True when nothing tells where Local's data end: streamed, no sizes in the
// local header and no descriptor found (End).
bool EndUnknown(const TLocal& Local, const std::optional<TStreamedEnd>& End);

// The data descriptor at At in a file of FileSize bytes when it says Packed
// bytes of data (for entries whose local header holds their sizes).
std::optional<TStreamedEnd> DescriptorBehind(THandle File, uint64_t At, uint64_t FileSize, uint32_t Packed, bool Zip64);

}  // namespace kst
