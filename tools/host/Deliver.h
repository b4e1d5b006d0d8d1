// quelvaris-host --deliver SOURCE TARGET: a finished layer moved to the path a user chose, as
// one swap (LayerDelivery.h), for programs that run the calculation in a folder of their own.
#pragma once

#include <ostream>
#include <string>

namespace qv::host {

// Delivers the layer; on success says so on out ("delivered TARGET") and returns ExitDone, else
// names the target on err and returns ExitFailure.
int RunDeliver(const std::string& source, const std::string& target, std::ostream& out,
               std::ostream& err);

}  // namespace qv::host
