#include "geometry/Trees.h"

#include "platform/Platform.h"

namespace qv {

void ReportWrongObjTreeItem() {
  Platform().Beep();
  Platform().ShowMessage("Item is of wrong type and cannot be added to ObjTree");
}

}  // namespace qv
