// Whether standard error is a terminal, which decides how progress is shown.
#pragma once

#include "dialog/ConsoleOutput.h"

namespace qv::host {

// One line rewritten in place on a terminal, sparse lines otherwise.
TProgressStyle ProgressStyleForStandardError();

}  // namespace qv::host
