// Shared routines of the archive library, for programs that use it: the error
// table with the library's exception class and the utilities every component
// uses (names and paths, wildcards, dates, attribute and method texts, CRC, the
// file wrappers, the attribute selector and the stopwatch). Including this one
// header gives a program all of them; the library's own files include what they
// use instead, so their includes show the layering.
#pragma once

#include "archive/core/Err_msgs.h"
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
