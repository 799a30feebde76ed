// Shared routines of the archive library: the library's exception class and,
// through the headers included below, the utilities every component uses (names
// and paths, wildcards, dates, attribute and method texts, CRC, the file
// wrappers, the attribute selector and the stopwatch). Including this one header
// gives a component all of them.
#pragma once
#include <stdexcept>
#include <string>

#include "archive/identify/ArcType.h"
#include "archive/identify/ArcTypeInfo.h"
#include "archive/list/AttrStrings.h"
#include "archive/crc/Crc.h"
#include "archive/core/DosDate.h"
#include "archive/core/KstFileAttr.h"
#include "archive/core/KstTimer.h"
#include "archive/io/Kstfileio.h"
#include "archive/list/MethodNames.h"
#include "archive/names/NameConversion.h"
#include "archive/names/PathStrings.h"
#include "archive/names/PathUtils.h"
#include "archive/core/Progress.h"
#include "archive/core/StringList.h"
#include "archive/names/Tokens.h"
#include "archive/names/Wildcard.h"

namespace kst {

// The library's exception. Its message is the bare text of an error identifier.
class E_RAISE : public std::runtime_error {
 public:
  explicit E_RAISE(const std::string& Message) : std::runtime_error(Message) {}
};

}  // namespace kst
