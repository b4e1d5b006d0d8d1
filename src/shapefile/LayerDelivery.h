// A finished layer moved to where the user wants it, as one swap.
//
// A program that runs the calculation in a folder of its own (the QGIS plugin) hands its layers
// over to the paths the user chose. Moving the parts one by one leaves a layer whose .shp is new
// and whose .dbf is old when anything fails or the program is killed in between; here the parts
// are copied under temporary names beside the target and swapped in together, under the
// target's lock, by the same transaction as a run's layers (TFileSetReplacement). Whatever
// fails, the target is afterwards the whole old layer or the whole new one; a killed delivery is
// rolled back by the next entry that touches the target.
#pragma once

#include <string>

namespace qv {

// Puts the layer at source (".shp" path; its .shp, .shx and .dbf, and its .prj when it has
// one) in place of the layer at target, removing target's companions that would no longer fit
// it (a .prj when the source has none, .cpg, .qix, .sbn, .sbx). The source's parts are removed
// once the swap is in. False, with target unchanged, when a part is missing or a step fails.
bool DeliverLayer(const std::string& source, const std::string& target);

}  // namespace qv
