"""Wooded share per parcel: the host's part after a run, done with QGIS's geometry engine.

The steps are those the GIS extension always reported, with its texts: adding fields, merging,
dissolving, intersecting, calculating areas and updating the parcel table, cleaning up. The
result is a copy of the parcels with two fields; the parcel layer itself is not changed.
"""

from qgis.PyQt.QtCore import QVariant
from qgis.core import (QgsFeature, QgsFeatureSink, QgsField, QgsFields, QgsProcessing,
                       QgsProcessingException, QgsProcessingMultiStepFeedback,
                       QgsProcessingParameterFeatureSink, QgsProcessingParameterFeatureSource,
                       QgsRectangle)

from .algorithm import QuelvarisAlgorithm
from .catalogue import msg
from .share import WoodedCover, read_request
from .styles import attach_style

AREA_FIELD = 'boise_m2'
SHARE_FIELD = 'boise_pct'
STEPS = ['msgAddingFields', 'msgMerging', 'msgDissolving', 'msgIntersecting',
         'msgUpdatingParcels', 'msgCleaningUp']


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
        steps = QgsProcessingMultiStepFeedback(len(STEPS), feedback)
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
            cover = self._merged(sources, shaped, context, steps)
            self._step(steps, 2)
            keys = sorted({key for row in shaped for key in cover.block_keys(row.geometry())})
            cover.dissolve(keys, steps, lambda done: steps.setProgress(100.0 * done / len(keys)))
            self._step(steps, 3)
            areas = {}
            for done, row in enumerate(shaped):
                if steps.isCanceled():
                    break
                areas[row.id()] = cover.wooded_area(row.geometry())
                steps.setProgress(100.0 * done / len(shaped))
            self._step(steps, 4)
            kept = [field.name() for field in fields][:-2]
            for row in rows:
                if steps.isCanceled():
                    raise QgsProcessingException(self.tr('The calculation was cancelled.'))
                sink.addFeature(self._updated(row, kept, areas.get(row.id()), fields, steps),
                                QgsFeatureSink.FastInsert)
        finally:
            # Everything temporary lives in memory and goes with the cover.
            self._step(steps, 5)
        attach_style(context, dest, 'share')
        return {self.OUTPUT: dest}

    def _merged(self, sources, parcels, context, feedback):
        """The woods and the crowns under the parcels, in the parcels' coordinate system."""
        cover = WoodedCover()
        if not parcels:
            return cover
        extent = QgsRectangle(parcels[0].geometry().boundingBox())
        for row in parcels:
            extent.combineExtentWith(row.geometry().boundingBox())
        request = read_request(sources[self.INPUT].sourceCrs(), context, extent)
        cover.add_woods(sources[self.WOODS].getFeatures(request), feedback)
        cover.add_crowns(sources[self.CROWNS].getFeatures(request), feedback)
        crowns = len(cover.pieces) - cover.wood_count + cover.dropped_crowns
        feedback.pushInfo(self.tr('{} woods and {} crowns; {} crowns lie within a wood.').format(
            cover.wood_count, crowns, cover.dropped_crowns))
        return cover

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
