// Removal of the temporary layers that the host leaves behind after its own geoprocessing: the
// "_comb" and "_merg" layers named after a path of its choice.
#pragma once

namespace qv {

// Deletes every existing file of the two temporary layers named after path (a null pointer
// counts as an empty path) and returns how many were deleted, 0 to 10. Shows nothing; a file
// that cannot be deleted is skipped. First, a swap of the result layers named after path
// ("_w1", "_w2") that a killed run left half done is rolled back (RecoverLayers).
int DeleteTempFiles(const char* path);

}  // namespace qv
