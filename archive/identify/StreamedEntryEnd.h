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
// Descriptors with 8-byte sizes are not recognised.
#pragma once
#include <cstdint>
#include <optional>

#include "archive/core/Ksttypes.h"
#include "archive/io/Kstfileio.h"

namespace kst {

struct TStreamedEnd {
  uint32_t PackedSize = 0;
  uint32_t UnpackedSize = 0;
  uint32_t Crc = 0;             // the descriptor's
  uint32_t DescriptorSize = 0;  // 16 with its signature, else 12

  // Gives Local the descriptor's sizes and CRC (an unpacked size already
  // there stands: for entries not deflated the descriptor's may be a guess).
  void ApplyTo(TLocal& Local) const;
};

// For a streamed entry (flag bit 3) whose data start at DataStart: its data
// descriptor, found behind the packed size its local header gives or, when
// that is zero, by measuring the data; nothing for an entry not streamed or
// when no descriptor fits.
std::optional<TStreamedEnd> FindStreamedEnd(THandle File, const TLocal& Local, uint64_t DataStart, uint64_t FileSize);

// True when nothing tells where Local's data end: streamed, no sizes in the
// local header and no descriptor found (End).
bool EndUnknown(const TLocal& Local, const std::optional<TStreamedEnd>& End);

// The data descriptor at At in a file of FileSize bytes when it says Packed
// bytes of data (for entries whose local header holds their sizes).
std::optional<TStreamedEnd> DescriptorBehind(THandle File, uint64_t At, uint64_t FileSize, uint32_t Packed);

}  // namespace kst
