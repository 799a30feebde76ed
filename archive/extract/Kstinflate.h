// The decoder dispatch of an extraction run: ExtractFile picks the decoder of an
// entry's method (stored copy, Shrink, Reduce, Implode, Deflate) and connects it
// to the run, so that decryption, the running CRC-32, progress and the output
// target see every byte. Methods the library cannot decode are refused.
#pragma once
#include <string>

#include "archive/decode/InflateRec.h"
#include "archive/extract/KstUnBase.h"

namespace kst {

// Decodes one entry from InFile (positioned at its data, behind the encryption
// header) into the run's target. Decoder errors are reported through the
// component and end decoding; what was decoded is still written. Only a failed
// final write leaves as an exception. Answers true (false is kept for spanned
// archives, which are not supported).
bool ExtractFile(TUnBase& Component, THandle InFile, THandle& OutFile, const std::string& Name, TInflateRec& Rec);

}  // namespace kst
