"""What the plugin's tests compare with, computed without the plugin: the library's catalogue
read from its source, layers read with GDAL, and a parcel's wooded area computed by GEOS through
GDAL's bindings, as one plain union of every wood and crown under it."""

import re

from osgeo import ogr

ogr.UseExceptions()


def library_texts(languages_cpp, identifier):
    """(English, French, German) of a catalogue entry, as the library's source spells them."""
    with open(languages_cpp, encoding='utf-8') as source:
        entry = re.search(r'/\* %s \*/\s*\{(.*?)\},\s*(/\*|\};)' % identifier, source.read(),
                          re.S).group(1)
    texts = ['']
    for literal, comma in re.findall(r'"((?:[^"\\]|\\.)*)"|(,)', entry):
        if comma:
            texts.append('')
        else:
            texts[-1] += literal.encode().decode('unicode_escape').encode('latin-1').decode()
    return tuple(texts)


def features(path):
    """(geometry as WKB, attributes) of every feature, in file order."""
    source = ogr.Open(path)
    return [(f.GetGeometryRef().ExportToIsoWkb(), f.items()) for f in source.GetLayer()]


def wooded_area(parcel_wkb, woods_path, crowns_path):
    parcel = ogr.CreateGeometryFromWkb(parcel_wkb)
    cover = ogr.Geometry(ogr.wkbMultiPolygon)
    for path in (woods_path, crowns_path):
        source = ogr.Open(path)
        layer = source.GetLayer()
        layer.SetSpatialFilter(parcel)
        for feature in layer:
            shape = feature.GetGeometryRef()
            for part in [shape] if shape.GetGeometryType() == ogr.wkbPolygon else shape:
                cover.AddGeometry(part)
    return 0.0 if cover.IsEmpty() else cover.UnionCascaded().Intersection(parcel).GetArea()
