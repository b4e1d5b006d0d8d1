"""What the plugin's tests compare with, computed without the plugin: the library's catalogue
read from its source, layers read with GDAL, and the wooded area of a parcel computed by GEOS
through GDAL's bindings, as one plain union of every wood and crown under it."""

import re

from osgeo import ogr

ogr.UseExceptions()


def library_texts(languages_cpp, identifier):
    """(English, French, German) of a catalogue entry, as the library's source spells them."""
    with open(languages_cpp, encoding='utf-8') as source:
        text = source.read()
    entry = re.search(r'/\* %s \*/\s*\{(.*?)\},\s*(/\*|\};)' % identifier, text, re.S).group(1)
    texts, current = [], ''
    for literal, comma in re.findall(r'"((?:[^"\\]|\\.)*)"|(,)', entry):
        if comma:
            texts.append(current)
            current = ''
        else:
            current += literal.encode().decode('unicode_escape').encode('latin-1').decode()
    return tuple(texts + [current])


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
            parts = [shape] if shape.GetGeometryType() == ogr.wkbPolygon else list(shape)
            for part in parts:
                cover.AddGeometry(part)
    if cover.IsEmpty():
        return 0.0
    return cover.UnionCascaded().Intersection(parcel).GetArea()
