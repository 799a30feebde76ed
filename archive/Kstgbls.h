// Shared routines of the archive library: the library's exception class and,
// through the headers included below, the utilities every component uses (names
// and paths, wildcards, dates, attribute and method texts, CRC, the file
// wrappers, the attribute selector and the stopwatch). Including this one header
// gives a component all of them.
#pragma once
#include <stdexcept>
#include <string>

#include "archive/ArcType.h"
#include "archive/ArcTypeInfo.h"
#include "archive/AttrStrings.h"
#include "archive/Crc.h"
#include "archive/DosDate.h"
#include "archive/KstFileAttr.h"
#include "archive/KstTimer.h"
#include "archive/Kstfileio.h"
#include "archive/MethodNames.h"
#include "archive/NameConversion.h"
#include "archive/PathStrings.h"
#include "archive/PathUtils.h"
#include "archive/Progress.h"
#include "archive/StringList.h"
#include "archive/Tokens.h"
#include "archive/Wildcard.h"

namespace kst {

// The library's exception. Its message is the bare text of an error identifier.
class E_RAISE : public std::runtime_error {
 public:
  explicit E_RAISE(const std::string& Message) : std::runtime_error(Message) {}
};

}  // namespace kst
