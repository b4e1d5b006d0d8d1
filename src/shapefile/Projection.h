// The coordinate system of a layer, written as its ".prj" file.
//
// The tile grid is laid out on the Swiss national grid, in CH1903 / LV03 (EPSG:21781) or in
// CH1903+ / LV95 (EPSG:2056), and the layers are in the frame of their run's extent by
// construction. Each text is the ESRI form that GDAL prints for the code (gdalsrsinfo -o wkt_esri
// EPSG:21781, EPSG:2056), on one line as ESRI software writes it; GIS programs read it back as
// that code.
#pragma once

#include <string_view>

namespace qv {

inline constexpr std::string_view LayerProjectionWkt =
    "PROJCS[\"CH1903_LV03\",GEOGCS[\"GCS_CH1903\",DATUM[\"D_CH1903\","
    "SPHEROID[\"Bessel_1841\",6377397.155,299.1528128]],PRIMEM[\"Greenwich\",0.0],"
    "UNIT[\"Degree\",0.0174532925199433]],"
    "PROJECTION[\"Hotine_Oblique_Mercator_Azimuth_Center\"],"
    "PARAMETER[\"False_Easting\",600000.0],PARAMETER[\"False_Northing\",200000.0],"
    "PARAMETER[\"Scale_Factor\",1.0],PARAMETER[\"Azimuth\",90.0],"
    "PARAMETER[\"Longitude_Of_Center\",7.43958333333333],"
    "PARAMETER[\"Latitude_Of_Center\",46.9524055555556],UNIT[\"Meter\",1.0]]";

inline constexpr std::string_view Lv95ProjectionWkt =
    "PROJCS[\"CH1903+_LV95\",GEOGCS[\"GCS_CH1903+\",DATUM[\"D_CH1903+\","
    "SPHEROID[\"Bessel_1841\",6377397.155,299.1528128]],PRIMEM[\"Greenwich\",0.0],"
    "UNIT[\"Degree\",0.0174532925199433]],"
    "PROJECTION[\"Hotine_Oblique_Mercator_Azimuth_Center\"],"
    "PARAMETER[\"False_Easting\",2600000.0],PARAMETER[\"False_Northing\",1200000.0],"
    "PARAMETER[\"Scale_Factor\",1.0],PARAMETER[\"Azimuth\",90.0],"
    "PARAMETER[\"Longitude_Of_Center\",7.43958333333333],"
    "PARAMETER[\"Latitude_Of_Center\",46.9524055555556],UNIT[\"Meter\",1.0]]";

}  // namespace qv
