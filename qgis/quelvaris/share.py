"""The wooded cover of parcels, measured by the host program.

The cover is the union of the wooded areas and the crown circles: a crown over a wood, or an
island lying in a filled clearing of another wood, counts once. quelvaris-host measures it
(`--share PARCELS WOODS CROWNS TABLE`), exactly and on both cores, from three polygon shapefiles
in one coordinate system, and writes one line "RECORD AREA" per parcel record. So the parcels go
to a shapefile in the algorithm's private folder, in the order the algorithm holds them; the
woods and crowns are read where they are when they already are such shapefiles (a run's
layers), and copied there by QGIS's writer otherwise.
"""

import queue
import subprocess
import threading
import time

from qgis.core import (QgsCoordinateTransform, QgsCoordinateTransformContext, QgsFeature,
                       QgsFields, QgsProcessingException, QgsProcessingFeatureSourceDefinition,
                       QgsVectorFileWriter, QgsWkbTypes)

from .host_run import Cancelled


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
    messages = []
    try:
        process = subprocess.Popen(
            [program, '--share', parcels, woods, crowns, table], stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
            creationflags=getattr(subprocess, 'CREATE_NO_WINDOW', 0))
    except OSError as error:
        raise QgsProcessingException('{} could not be started: {}'.format(program, error))
    lines = queue.Queue()
    reader = threading.Thread(target=_read_lines, args=(process.stderr, lines), daemon=True)
    reader.start()
    while True:
        finished = process.poll() is not None
        if feedback.isCanceled() and not finished:
            _stop(process)
            raise Cancelled('The share was cancelled; the host program was stopped.')
        if finished:
            reader.join()
        while not lines.empty():
            _take(lines.get(), messages, feedback)
        if finished:
            break
        time.sleep(0.05)
    if process.returncode != 0:
        raise QgsProcessingException('\n'.join(
            messages + ['The host program ended with exit code {}.'.format(process.returncode)]))
    with open(table, encoding='ascii') as rows:
        return [float(row.split()[1]) for row in rows]


def _stop(process):
    process.terminate()
    try:
        process.wait(5)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def _read_lines(stream, lines):
    for line in stream:
        lines.put(line.decode('utf-8', 'replace').strip())
    stream.close()


def _take(line, messages, feedback):
    words = line.split()
    if len(words) == 3 and words[0] == 'progress':
        feedback.setProgress(100.0 * int(words[1]) / max(int(words[2]), 1))
    elif line:
        messages.append(line)
        feedback.pushConsoleInfo(line)
