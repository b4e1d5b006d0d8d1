"""Wooded share per parcel: the host's part after a run, measured by the host program.

The steps carry the texts the GIS extension reported: adding fields, merging (the layers written
for the host program), intersecting (the host program's union and intersection, with its
progress), calculating areas and updating the parcel table, cleaning up. The result is a copy of
the parcels with two fields; the parcel layer itself is not changed.
"""

import os
import shutil
import tempfile

from qgis.PyQt.QtCore import QVariant
from qgis.core import (QgsFeature, QgsFeatureSink, QgsField, QgsFields, QgsProcessing,
                       QgsProcessingException, QgsProcessingMultiStepFeedback,
                       QgsProcessingParameterFeatureSink, QgsProcessingParameterFeatureSource,
                       QgsProcessingUtils)

from .algorithm import QuelvarisAlgorithm
from .catalogue import msg
from .host_program import configured_program, find_host_program
from .share import covered_areas, layer_file, write_polygons
from .styles import attach_style

AREA_FIELD = 'boise_m2'
SHARE_FIELD = 'boise_pct'
# The host program dissolves and intersects in one pass, block by block: one step.
STEPS = ['msgAddingFields', 'msgMerging', 'msgIntersecting', 'msgUpdatingParcels',
         'msgCleaningUp']


def output_fields(parcel_fields):
    """The parcels' fields, ours replacing any of the same name (a parcel layer from an earlier
    run), then ours."""
    fields = QgsFields()
    for field in parcel_fields:
        if field.name().lower() not in (AREA_FIELD, SHARE_FIELD):
            fields.append(field)
    fields.append(QgsField(AREA_FIELD, QVariant.Double, 'double', 16, 2))
    fields.append(QgsField(SHARE_FIELD, QVariant.Double, 'double', 6, 2))
    return fields


class WoodedShareAlgorithm(QuelvarisAlgorithm):
    INPUT = 'INPUT'
    WOODS = 'WOODS'
    CROWNS = 'CROWNS'
    OUTPUT = 'OUTPUT'

    def name(self):
        return 'woodedshare'

    def displayName(self):
        return self.tr('Wooded share per parcel')

    def shortHelpString(self):
        return self.tr(
            'Computes how much of each parcel is wooded. The wooded areas and the crown circles '
            '(the two layers of "Wooded areas and crowns from the height model") are merged and '
            'dissolved into one wooded cover, so that a crown over a wood counts once, and '
            'intersected with the parcels.\n\n'
            'The result is a copy of the parcels with two more fields: "{}", the wooded area in '
            'square metres, and "{}", the wooded share in percent of the parcel\'s area. Areas '
            'are planar, in the units of the parcel layer\'s coordinate system (metres on a '
            'national grid). The parcel layer itself is not changed.').format(
                AREA_FIELD, SHARE_FIELD)

    def initAlgorithm(self, config=None):
        polygons = [QgsProcessing.TypeVectorPolygon]
        self.addParameter(QgsProcessingParameterFeatureSource(
            self.INPUT, self.tr('Parcels'), polygons))
        self.addParameter(QgsProcessingParameterFeatureSource(
            self.WOODS, self.tr('Wooded areas'), polygons, defaultValue='Wooded areas'))
        self.addParameter(QgsProcessingParameterFeatureSource(
            self.CROWNS, self.tr('Crown circles'), polygons, defaultValue='Crown circles'))
        self.addParameter(QgsProcessingParameterFeatureSink(
            self.OUTPUT, self.tr('Wooded share'), QgsProcessing.TypeVectorPolygon))

    def processAlgorithm(self, parameters, context, feedback):
        sources = {}
        for key in (self.INPUT, self.WOODS, self.CROWNS):
            sources[key] = self.parameterAsSource(parameters, key, context)
            if sources[key] is None:
                raise QgsProcessingException(self.invalidSourceError(parameters, key))
        parcels = sources[self.INPUT]
        program = find_host_program(configured_program())
        steps = QgsProcessingMultiStepFeedback(len(STEPS), feedback)
        private = tempfile.mkdtemp(prefix='quelvaris-', dir=QgsProcessingUtils.tempFolder())
        try:
            self._step(steps, 0)
            fields = output_fields(parcels.fields())
            rows = list(parcels.getFeatures())
            shaped = [row for row in rows if row.hasGeometry()]
            sink, dest = self.parameterAsSink(parameters, self.OUTPUT, context, fields,
                                              parcels.wkbType(), parcels.sourceCrs())
            if sink is None:
                raise QgsProcessingException(self.invalidSinkError(parameters, self.OUTPUT))
            self._step(steps, 1)
            files = self._layer_files(parameters, sources, shaped, context, private)
            self._step(steps, 2)
            covered = covered_areas(program, *files, os.path.join(private, 'share.txt'), steps)
            areas = {row.id(): area for row, area in zip(shaped, covered)}
            self._step(steps, 3)
            kept = [field.name() for field in fields][:-2]
            for row in rows:
                if steps.isCanceled():
                    raise QgsProcessingException(self.tr('The calculation was cancelled.'))
                sink.addFeature(self._updated(row, kept, areas.get(row.id()), fields, steps),
                                QgsFeatureSink.FastInsert)
        finally:
            self._step(steps, 4)
            shutil.rmtree(private, ignore_errors=True)
        attach_style(context, dest, 'share')
        return {self.OUTPUT: dest}

    def _layer_files(self, parameters, sources, parcels, context, folder):
        """The shapefiles the host reads: the parcels in their order, the woods, the crowns."""
        crs = sources[self.INPUT].sourceCrs()
        files = [os.path.join(folder, 'parcels.shp')]
        write_polygons((row.geometry() for row in parcels), files[0], crs)
        for key, name in ((self.WOODS, 'woods'), (self.CROWNS, 'crowns')):
            layer = self.parameterAsVectorLayer(parameters, key, context)
            if layer is None:
                raise QgsProcessingException(self.invalidSourceError(parameters, key))
            files.append(layer_file(parameters.get(key), layer, crs, context,
                                    os.path.join(folder, name + '.shp')))
        return files

    @staticmethod
    def _step(steps, number):
        steps.setCurrentStep(number)
        steps.setProgressText(msg(STEPS[number]))
        steps.pushInfo(msg(STEPS[number]))

    @staticmethod
    def _updated(row, kept, wooded, fields, feedback):
        area = row.geometry().area() if row.hasGeometry() else 0.0
        share = None
        if wooded is not None and area > 0:
            share = 100.0 * wooded / area
        elif row.hasGeometry():
            feedback.pushWarning('{}: {}'.format(msg('msgInvalidShape'), row.id()))
        feature = QgsFeature(fields)
        feature.setGeometry(row.geometry())
        feature.setAttributes([row[name] for name in kept] + [wooded, share])
        return feature
