"""The run's two layers handed over to the algorithm's outputs.

A shapefile output receives the run's own files, moved unchanged, with a .prj for the parcels'
coordinate system; any other format is converted by QGIS. A layer the run did not write (no
wooded area, or no crown) becomes an empty layer with the same fields, so that a model goes on.
"""

import os
import shutil

from qgis.PyQt.QtCore import QVariant
from qgis.core import (QgsCoordinateReferenceSystem, QgsField, QgsFields, QgsProcessingException,
                       QgsVectorFileWriter, QgsVectorLayer, QgsWkbTypes)

SHAPEFILE_PARTS = ['.shp', '.shx', '.dbf']
STALE_PARTS = ['.prj', '.cpg', '.qix', '.sbn', '.sbx']


def layer_fields(with_heights):
    fields = QgsFields()
    fields.append(QgsField('id', QVariant.LongLong, 'integer', 10))
    fields.append(QgsField('boise', QVariant.String, 'string', 1))
    fields.append(QgsField('Surface', QVariant.LongLong, 'integer', 16))
    if with_heights:
        fields.append(QgsField('Hauteur', QVariant.Double, 'double', 16, 2))
    return fields


def deliver(written, destination, crs, with_heights, context):
    """Puts the run's layer written (a .shp path) at destination."""
    base, extension = os.path.splitext(destination)
    if not os.path.exists(written):
        _write_empty(written, crs, with_heights, context)
    if extension.lower() == '.shp':
        for part in STALE_PARTS:
            if os.path.exists(base + part):
                os.remove(base + part)
        for part in SHAPEFILE_PARTS:
            _move(os.path.splitext(written)[0] + part, base + part)
        if crs.isValid():
            with open(base + '.prj', 'w') as prj:
                prj.write(crs.toWkt(QgsCoordinateReferenceSystem.WKT1_ESRI))
        return
    layer = QgsVectorLayer(written, 'run', 'ogr')
    layer.setCrs(crs)
    options = QgsVectorFileWriter.SaveVectorOptions()
    options.driverName = QgsVectorFileWriter.driverForExtension(extension)
    error, message, _, _ = QgsVectorFileWriter.writeAsVectorFormatV3(
        layer, destination, context.transformContext(), options)
    if error != QgsVectorFileWriter.NoError:
        raise QgsProcessingException('{}: {}'.format(destination, message))


def _write_empty(path, crs, with_heights, context):
    options = QgsVectorFileWriter.SaveVectorOptions()
    options.driverName = 'ESRI Shapefile'
    writer = QgsVectorFileWriter.create(path, layer_fields(with_heights), QgsWkbTypes.Polygon,
                                        crs, context.transformContext(), options)
    if writer.hasError():
        raise QgsProcessingException('{}: {}'.format(path, writer.errorMessage()))
    del writer


def _move(source, target):
    try:
        os.replace(source, target)
    except OSError:
        # Another file system: copied, and the run folder goes with the rest.
        shutil.copyfile(source, target)
