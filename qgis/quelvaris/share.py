"""The wooded cover of parcels, measured by the host program.

The cover is the union of the wooded areas and the crown circles: a crown over a wood, or an
island lying in a filled clearing of another wood, counts once. quelvaris-host measures it
(`--share --events PARCELS WOODS CROWNS TABLE`), exactly and on both cores, from three polygon shapefiles
in one coordinate system, and writes one line "RECORD AREA" per parcel record. So the parcels go
to a shapefile in the algorithm's private folder, in the order the algorithm holds them; the
woods and crowns are read where they are when they already are such shapefiles (a run's
layers), and copied there by QGIS's writer otherwise.
"""

from qgis.core import (QgsCoordinateTransform, QgsCoordinateTransformContext, QgsFeature,
                       QgsFields, QgsProcessingException, QgsProcessingFeatureSourceDefinition,
                       QgsVectorFileWriter, QgsWkbTypes)

from .host_run import HostRunner


def write_polygons(geometries, path, crs):
    """A polygon shapefile of geometries, without attributes, one record each in turn."""
    options = QgsVectorFileWriter.SaveVectorOptions()
    options.driverName = 'ESRI Shapefile'
    writer = QgsVectorFileWriter.create(path, QgsFields(), QgsWkbTypes.MultiPolygon, crs,
                                        QgsCoordinateTransformContext(), options)
    if writer.hasError():
        raise QgsProcessingException('{}: {}'.format(path, writer.errorMessage()))
    for geometry in geometries:
        feature = QgsFeature()
        feature.setGeometry(geometry)
        writer.addFeature(feature)
    del writer  # closes the files


def shapefile_path(parameter, layer, crs):
    """The layer's own shapefile, when the host can read it as it is: the whole layer, a
    shapefile, in the parcels' coordinate system. None otherwise."""
    if isinstance(parameter, QgsProcessingFeatureSourceDefinition) and (
            parameter.selectedFeaturesOnly or parameter.featureLimit != -1):
        return None
    if layer is None or layer.providerType() != 'ogr' or layer.subsetString():
        return None
    path = layer.source().split('|')[0]
    if not path.lower().endswith('.shp') or layer.crs() != crs:
        return None
    return path


def layer_file(parameter, layer, crs, context, path):
    """A shapefile of the layer's polygons in the parcels' coordinate system: the layer's own,
    or a copy written to path by QGIS's writer (the selection honoured, no attributes)."""
    own = shapefile_path(parameter, layer, crs)
    if own:
        return own
    options = QgsVectorFileWriter.SaveVectorOptions()
    options.driverName = 'ESRI Shapefile'
    options.skipAttributeCreation = True
    options.onlySelectedFeatures = isinstance(parameter, QgsProcessingFeatureSourceDefinition) \
        and parameter.selectedFeaturesOnly
    if layer.crs() != crs:
        options.ct = QgsCoordinateTransform(layer.crs(), crs, context.transformContext())
    error, message, _, _ = QgsVectorFileWriter.writeAsVectorFormatV3(
        layer, path, context.transformContext(), options)
    if error != QgsVectorFileWriter.NoError:
        raise QgsProcessingException('{}: {}'.format(path, message))
    return path


def covered_areas(program, parcels, woods, crowns, table, feedback):
    """The host's covered area of every record of the parcels' shapefile, in record order."""
    HostRunner(program, feedback, what='share').run(
        ['--share', '--events', parcels, woods, crowns, table])
    with open(table, encoding='ascii') as rows:
        return [float(row.split()[1]) for row in rows]
