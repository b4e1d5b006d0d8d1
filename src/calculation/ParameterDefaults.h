// The parameters of a run as they stand until the user or the settings file says otherwise:
// written once here, read by the computation object, the area limits and the row pass.
#pragma once

#include <cstdint>

namespace qv::defaults {

inline constexpr double MinTreeHeight = 2.0;      // m; a pixel at least this high is wooded
inline constexpr double MinClearingArea = 100.0;  // m2; a clearing of exactly this area stays
inline constexpr double MinWoodedArea = 200.0;    // m2; a wood of exactly this area stays
inline constexpr std::int32_t NumCirclePoints = 36;
// Crown radius R = TreeRadiusParam1 * H + TreeRadiusParam0 (m) for a tree top of height H.
inline constexpr double TreeRadiusParam0 = 2.6894;
inline constexpr double TreeRadiusParam1 = 0.1117;

}  // namespace qv::defaults
