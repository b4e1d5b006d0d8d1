"""Wooded areas and crowns from the height model: one run of quelvaris-host over the parcels'
extent, as the GIS extension started the library with the extent of the selected parcels."""

import os

from qgis.core import (QgsCoordinateReferenceSystem, QgsProcessing, QgsProcessingException,
                       QgsProcessingParameterFeatureSource, QgsProcessingParameterVectorDestination)

from .algorithm import QuelvarisAlgorithm
from .canopy import HeightModel
from .height_model import (add_height_model_parameters, height_model_settings, height_model_source,
                           parcel_extent)
from .host_program import configured_program, find_host_program
from .host_run import HostRunner, HostSettings, host_arguments
from .layers import deliver
from .prepare import NAMING, prepare_run
from .run_folder import RunFolder
from .sources import PreparationError
from .styles import attach_style

EMPTY_LAYERS = {2: 'No wooded area was found: the wooded-area layer is empty.',
                3: 'No tree top was found: the crown layer is empty.',
                4: 'Neither a wooded area nor a tree top was found: both layers are empty.'}
# The tiles prepared from rasters: float grids, named as the host was told.
PREPARED_NAMING = dict(zip(('prefix', 'separator', 'suffix'), (v for _, v in NAMING)),
                       file_type=1)


def check_run(result):
    """Raises the run's own messages when it calculated nothing; returns its warnings."""
    if result.status not in (1, 2, 3, 4):
        nothing = 'The run calculated nothing (result {}).'.format(result.status)
        raise QgsProcessingException('\n'.join(result.texts()) or nothing)
    missing = result.missing_files()
    if missing and not result.asked_for_missing_files():
        # Not a single tile was found: every tile would be read as no-data.
        raise QgsProcessingException('\n'.join(missing))
    return missing + ([EMPTY_LAYERS[result.status]] if result.status in EMPTY_LAYERS else [])


class WoodedAreasAlgorithm(QuelvarisAlgorithm):
    INPUT = 'INPUT'
    WOODS = 'WOODS'
    CROWNS = 'CROWNS'

    def name(self):
        return 'woodedareas'

    def displayName(self):
        return self.tr('Wooded areas and crowns from the height model')

    def shortHelpString(self):
        return self.tr(
            'Reads the canopy height model (NHM) tiles under the parcels and finds the wooded '
            'areas and the tree crowns. Only the extent of the parcels counts (of the selected '
            'ones when "Selected features only" is checked); it is rounded out to whole metres.\n\n'
            'The tiles are the map-sheet tiles of 4375 x 3000 cells of 1 m, named prefix, map '
            'number, separator, tile number and suffix (by default 109111_dhm_grid1.txt). '
            'Missing tiles are read as no-data, with a warning; when no tile is found the run '
            'fails.\n\nInstead of the tile folder, give canopy height rasters (any raster GDAL '
            'reads, in LV03 or LV95, cells of at most 1 m), or surface and terrain model rasters '
            '(such as the national 0.5 m tiles): the canopy is then surface minus terrain, and a '
            'metre takes the highest of its cells. The run works in the rasters\' frame; parcels '
            'in the other frame are transformed, and the layers come in the rasters\' frame. '
            'The file type and naming of tiles then do not apply.'
            '\n\nWooded areas: polygons of connected cells at least the minimum tree '
            'height high, small clearings filled, small woods dropped ("Surface" in m2). Crown '
            'circles: one per tree top, its radius growing with the tree\'s height ("Hauteur").'
            '\n\nThe work is done by the program quelvaris-host, which comes with the plugin.')

    def initAlgorithm(self, config=None):
        self.addParameter(QgsProcessingParameterFeatureSource(
            self.INPUT, self.tr('Parcels'), [QgsProcessing.TypeVectorPolygon]))
        add_height_model_parameters(self, self.tr)
        self.addParameter(QgsProcessingParameterVectorDestination(
            self.WOODS, self.tr('Wooded areas'), QgsProcessing.TypeVectorPolygon))
        self.addParameter(QgsProcessingParameterVectorDestination(
            self.CROWNS, self.tr('Crown circles'), QgsProcessing.TypeVectorPolygon))

    def processAlgorithm(self, parameters, context, feedback):
        parcels = self.parameterAsSource(parameters, self.INPUT, context)
        if parcels is None:
            raise QgsProcessingException(self.invalidSourceError(parameters, self.INPUT))
        model = height_model_source(self, parameters, context)
        folder, settings = height_model_settings(self, parameters, context)
        woods = self.parameterAsOutputLayer(parameters, self.WOODS, context)
        crowns = self.parameterAsOutputLayer(parameters, self.CROWNS, context)
        program = find_host_program(configured_program())
        if isinstance(model, HeightModel):
            crs = QgsCoordinateReferenceSystem('EPSG:{}'.format(model.frame))
            extent = parcel_extent(parcels, crs, context)
            folder, settings = None, dict(settings, **PREPARED_NAMING)
        else:
            crs = parcels.sourceCrs()
            extent = parcel_extent(parcels)
        with RunFolder(folder) as run:
            if folder is None:
                prepare_height_model(program, model, extent, run, feedback)
            arguments = host_arguments(HostSettings(run.nhm_dir, **settings), extent,
                                       run.shapefile)
            result = HostRunner(program, feedback, run.readable).run(arguments)
            for warning in check_run(result):
                feedback.pushWarning(warning)
            deliver(run.woods, woods, crs, False, context)
            deliver(run.crowns, crowns, crs, True, context)
        attach_style(context, woods, 'woods')
        attach_style(context, crowns, 'crowns')
        return {self.WOODS: woods, self.CROWNS: crowns}


def prepare_height_model(program, model, extent, run, feedback):
    """Writes the tiles of the run's extent from the rasters into the run folder."""
    def progress(fraction):
        if feedback.isCanceled():
            raise QgsProcessingException('The preparation of the height model was cancelled.')
        feedback.setProgress(100.0 * fraction)

    feedback.pushInfo('Preparing the height model from the rasters.')
    try:
        prepare_run(program, model, extent, os.path.join(run.path, run.nhm_dir), progress)
    except PreparationError as error:
        raise QgsProcessingException(str(error))
