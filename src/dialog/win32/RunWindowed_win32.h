// One run as the host's call makes it on Windows: the parameter dialog shown as a real window.
#pragma once

#include <cstdint>

namespace qv {

// RunResult of the dialog: -1 closed without calculating, 0 no calculation completed (or an
// exception reached this level: the error box "Erreur dans le DLL quelvaris" is shown), 1..4
// the status of a completed run. A null path counts as an empty one. Throws nothing.
std::int32_t RunQuelvarisWindowed(std::int32_t xMin, std::int32_t xMax, std::int32_t yMin,
                                  std::int32_t yMax, const char* shapefilePath) noexcept;

}  // namespace qv
