// Compares the result layers of two runs over the same input (ours under Wine against the
// Linux build's): the index and attribute files byte for byte but for the date of the dBase
// header, the main files record by record with coordinates allowed to differ in their last
// bits (the crown circles take sin and cos from the platform's mathematics library).
#pragma once

#include <string>

namespace qv::wintest {

// Empty when equal; otherwise what differs first. ulps: how many units in the last place a
// coordinate may differ (0: byte-identical).
std::string CompareShapefileSets(const std::string& ours, const std::string& theirs, int ulps);

}  // namespace qv::wintest
