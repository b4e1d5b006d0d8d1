"""The run's two layers handed over to the algorithm's outputs.

A shapefile output receives the run's own files unchanged, with a .prj for the run's coordinate
system (the parcels', or the rasters' for a height model from rasters), swapped in as one by the
host program (`quelvaris-host --deliver`): the output is afterwards the whole old layer or the
whole new one, whatever fails, and its stale spatial index goes with it. Any other format is converted by QGIS. A layer the run did not
write (no wooded area, or no crown) becomes an empty layer with the same fields, so that a
model goes on.
"""

import os
import subprocess

from qgis.PyQt.QtCore import QVariant
from qgis.core import (QgsCoordinateReferenceSystem, QgsField, QgsFields, QgsProcessingException,
                       QgsVectorFileWriter, QgsVectorLayer, QgsWkbTypes)

from .host_program import configured_program, find_host_program


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
    extension = os.path.splitext(destination)[1]
    if not os.path.exists(written):
        _write_empty(written, crs, with_heights, context)
    if extension.lower() == '.shp':
        _describe_crs(written, crs)
        _deliver_shapefile(written, destination)
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


def _describe_crs(written, crs):
    """The run's .prj says the parcels' coordinate system, or goes when it has none."""
    prj = os.path.splitext(written)[0] + '.prj'
    if crs.isValid():
        with open(prj, 'w') as out:
            out.write(crs.toWkt(QgsCoordinateReferenceSystem.WKT1_ESRI))
    elif os.path.exists(prj):
        os.remove(prj)


def _deliver_shapefile(written, destination):
    program = find_host_program(configured_program())
    flags = getattr(subprocess, 'CREATE_NO_WINDOW', 0)
    done = subprocess.run([program, '--deliver', written, destination], stdin=subprocess.DEVNULL,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, creationflags=flags)
    if done.returncode != 0:
        raise QgsProcessingException(
            done.stderr.decode('utf-8', 'replace').strip() or
            '{}: not written ({})'.format(destination, done.returncode))
