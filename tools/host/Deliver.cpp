#include "Deliver.h"

#include "HostModes.h"
#include "shapefile/LayerDelivery.h"

namespace qv::host {

int RunDeliver(const std::string& source, const std::string& target, std::ostream& out,
               std::ostream& err) {
  if (!DeliverLayer(source, target)) {
    err << "quelvaris-host: " << target << " could not be replaced by " << source
        << " (left as it was)\n";
    return ExitFailure;
  }
  out << "delivered " << target << "\n";
  return ExitDone;
}

}  // namespace qv::host
