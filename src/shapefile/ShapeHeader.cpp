#include "shapefile/ShapeHeader.h"

namespace qv {

TBytes TShapeHeader::Encode() const {
  TBytes out;
  out.reserve(ShapeHeaderBytes);
  AppendBE32(out, FileCode);
  for (int i = 0; i < 5; ++i) AppendBE32(out, 0);
  AppendBE32(out, FileLength);
  AppendLE32(out, Version);
  AppendLE32(out, ShapeType);
  for (const double v : {Xmin, Ymin, Xmax, Ymax, Zmin, Zmax, Mmin, Mmax}) AppendLEDouble(out, v);
  return out;
}

}  // namespace qv
