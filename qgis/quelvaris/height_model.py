"""The parameters of a run, declared as the run's dialog has them (defaults and ranges), the
height model in one of its three forms, and the extent of the parcels that the run covers."""

import math
import os

from qgis.core import (QgsCoordinateTransform, QgsFeatureRequest, QgsProcessing,
                       QgsProcessingException, QgsProcessingParameterDefinition,
                       QgsProcessingParameterEnum, QgsProcessingParameterFile,
                       QgsProcessingParameterMultipleLayers, QgsProcessingParameterNumber,
                       QgsProcessingParameterString, QgsRectangle)

from .canopy import HeightModel
from .catalogue import msg
from .sources import PreparationError

NHM_FOLDER = 'NHM_FOLDER'
CANOPY = 'CANOPY'
SURFACE = 'SURFACE'
TERRAIN = 'TERRAIN'
RASTERS = [(CANOPY, 'Canopy height rasters (instead of the folder)'),
           (SURFACE, 'Surface model rasters (with the terrain, instead of the folder)'),
           (TERRAIN, 'Terrain model rasters (with the surface)')]
FILE_TYPE = 'FILE_TYPE'
ASCII_EXTENSION = 'ASCII_EXTENSION'
PREFIX = 'PREFIX'
SEPARATOR = 'SEPARATOR'
SUFFIX = 'SUFFIX'

# The dialog's lists, in its order.
ASCII_EXTENSIONS = ['.asc', '.dat', '.grd', '.txt']
SEPARATORS = ['', '-', '_', '@', '#']

# name, label, default, smallest and largest value (None: no limit), integer. The run also
# refuses a crown radius that is not above 0 at the minimum height, which no range can say.
NUMBERS = [
    ('MIN_TREE_HEIGHT', 'Minimum tree height (m): cells at least this high are wooded',
     2.0, 0.01, None, False),
    ('RADIUS_SLOPE', 'Crown radius R = slope x H + intercept: slope', 0.1117, 0.0, None, False),
    ('RADIUS_INTERCEPT', 'Crown radius: intercept (m)', 2.6894, None, None, False),
    ('CIRCLE_POINTS', 'Points of a crown circle', 36, 3, 360, True),
    ('MIN_CLEARING_AREA', 'Clearings smaller than this are filled (m2)', 100.0, 0.0, None,
     False),
    ('MIN_WOODED_AREA', 'Wooded areas smaller than this are dropped (m2)', 200.0, 1.0, None,
     False),
]
SETTING_NAMES = ['min_tree_height', 'radius_slope', 'radius_intercept', 'circle_points',
                 'min_clearing_area', 'min_wooded_area']


def add_height_model_parameters(algorithm, tr):
    algorithm.addParameter(QgsProcessingParameterFile(
        NHM_FOLDER, tr('Height model (NHM) folder'), QgsProcessingParameterFile.Folder,
        optional=True))
    for name, label in RASTERS:
        algorithm.addParameter(QgsProcessingParameterMultipleLayers(
            name, tr(label), QgsProcessing.TypeRaster, optional=True))
    algorithm.addParameter(QgsProcessingParameterEnum(
        FILE_TYPE, tr('Height model file type'),
        [tr('ASCII grid'), tr('Float grid (.flt with .hdr)')], defaultValue=0))
    naming = [
        QgsProcessingParameterEnum(ASCII_EXTENSION, tr('Extension of ASCII grid files'),
                                   ASCII_EXTENSIONS, defaultValue=3),
        QgsProcessingParameterString(PREFIX, tr('File name: prefix before the map number'),
                                     defaultValue='', optional=True),
        QgsProcessingParameterEnum(SEPARATOR, tr('File name: separator after the map number'),
                                   [tr('(none)')] + SEPARATORS[1:], defaultValue=0),
        QgsProcessingParameterString(SUFFIX, tr('File name: suffix after the tile number'),
                                     defaultValue='_dhm_grid1', optional=True),
    ]
    for name, label, default, smallest, largest, integer in NUMBERS:
        kind = (QgsProcessingParameterNumber.Integer if integer
                else QgsProcessingParameterNumber.Double)
        number = QgsProcessingParameterNumber(name, tr(label), kind, default)
        if smallest is not None:
            number.setMinimum(smallest)
        if largest is not None:
            number.setMaximum(largest)
        algorithm.addParameter(number)
    for parameter in naming:
        parameter.setFlags(parameter.flags() | QgsProcessingParameterDefinition.FlagAdvanced)
        algorithm.addParameter(parameter)


def raster_files(value):
    """The value of a raster list parameter when it names files only (existing ones), else
    None. Such files are read by GDAL in the preparation, which names any it cannot read: loading
    each as a QGIS layer first, as Processing does for layers, costs more than reading the part
    of it that a run needs (the national tiles of half a square kilometre are 18 files)."""
    values = list(value) if isinstance(value, (list, tuple)) else ([value] if value else [])
    if values and all(isinstance(v, str) and os.path.isfile(v) for v in values):
        return values
    return None


def without_raster_files(parameters):
    """The parameters that Processing's own check should see: the raster lists of files go to
    the preparation's."""
    names = [name for name, _ in RASTERS]
    return {key: value for key, value in parameters.items()
            if not (key in names and raster_files(value))}


def height_model_source(algorithm, parameters, context):
    """The tile folder given (a path), or the rasters given (a HeightModel): exactly one of the
    folder, the canopy rasters, or the surface and terrain rasters."""
    folder = algorithm.parameterAsFile(parameters, NHM_FOLDER, context)
    rasters = {name: raster_files(parameters.get(name)) or
               [layer.source() for layer in algorithm.parameterAsLayerList(parameters, name, context)]
               for name, _ in RASTERS}
    given = [name for name in (NHM_FOLDER, CANOPY, SURFACE) if
             (folder if name == NHM_FOLDER else rasters[name])]
    if rasters[TERRAIN] and SURFACE not in given:
        given.append(TERRAIN)
    if len(given) != 1:
        raise QgsProcessingException(
            'Give the height model in exactly one way: a tile folder ({}), canopy rasters ({}), '
            'or surface and terrain rasters ({} and {}); given: {}.'.format(
                NHM_FOLDER, CANOPY, SURFACE, TERRAIN, ', '.join(given) or 'none'))
    if folder:
        return folder
    try:
        return HeightModel(rasters[CANOPY], rasters[SURFACE], rasters[TERRAIN])
    except PreparationError as error:
        raise QgsProcessingException(str(error))


def height_model_settings(algorithm, parameters, context):
    """The height-model folder and the run's settings besides it."""
    folder = algorithm.parameterAsFile(parameters, NHM_FOLDER, context)
    settings = {
        'file_type': algorithm.parameterAsEnum(parameters, FILE_TYPE, context),
        'ascii_extension': ASCII_EXTENSIONS[
            algorithm.parameterAsEnum(parameters, ASCII_EXTENSION, context)],
        'prefix': algorithm.parameterAsString(parameters, PREFIX, context),
        'separator': SEPARATORS[algorithm.parameterAsEnum(parameters, SEPARATOR, context)],
        'suffix': algorithm.parameterAsString(parameters, SUFFIX, context),
    }
    for (name, _, _, _, _, integer), key in zip(NUMBERS, SETTING_NAMES):
        read = algorithm.parameterAsInt if integer else algorithm.parameterAsDouble
        settings[key] = read(parameters, name, context)
    return folder, settings


def parcel_extent(source, crs=None, context=None):
    """The whole-metre extent around the parcels (the selected ones when so chosen), as
    (xmin, xmax, ymin, ymax); in crs when given, the parcels transformed with the context's
    transformations."""
    transform = None
    if crs is not None and source.sourceCrs().isValid() and source.sourceCrs() != crs:
        transform = QgsCoordinateTransform(source.sourceCrs(), crs, context.transformContext())
    elif source.sourceCrs().isValid() and source.sourceCrs().isGeographic():
        raise QgsProcessingException(
            'The parcels are in a geographic coordinate system; the height model needs them in '
            'the projected national grid, in metres.')
    box = None
    for feature in source.getFeatures(QgsFeatureRequest().setNoAttributes()):
        if feature.hasGeometry():
            shape = feature.geometry()
            if transform is not None:
                shape.transform(transform)
            if box is None:
                box = QgsRectangle(shape.boundingBox())
            box.combineExtentWith(shape.boundingBox())
    if box is None:
        raise QgsProcessingException(msg('msgNoFeatureSelected'))
    # A transformed coordinate carries noise of a few nanometres: a whole metre stays one.
    snapped = [round(v, 6) for v in (box.xMinimum(), box.xMaximum(), box.yMinimum(),
                                     box.yMaximum())]
    extent = (math.floor(snapped[0]), math.ceil(snapped[1]), math.floor(snapped[2]),
              math.ceil(snapped[3]))
    if any(abs(v) >= 2 ** 31 for v in extent):
        raise QgsProcessingException('The parcels lie outside the national grid.')
    return extent
