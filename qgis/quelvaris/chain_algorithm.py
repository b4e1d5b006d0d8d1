"""Wooded share per parcel from the height model: the run and the share in one algorithm, so
that one click on a parcel selection gives the table.

The run's two layers go to a private folder unless they are asked for; that folder, and the
layers Processing opened from it, are gone when the algorithm ends, however it ends.
"""

import os
import shutil
import tempfile

from qgis.core import (QgsProcessing, QgsProcessingMultiStepFeedback,
                       QgsProcessingParameterFeatureSink, QgsProcessingParameterFeatureSource,
                       QgsProcessingParameterVectorDestination, QgsProcessingUtils)

from .algorithm import QuelvarisAlgorithm
from .height_model import add_height_model_parameters
from .share_algorithm import AREA_FIELD, SHARE_FIELD


class WoodedShareFromHeightModelAlgorithm(QuelvarisAlgorithm):
    INPUT = 'INPUT'
    OUTPUT = 'OUTPUT'
    WOODS = 'WOODS'
    CROWNS = 'CROWNS'

    def name(self):
        return 'woodedsharefromheightmodel'

    def displayName(self):
        return self.tr('Wooded share per parcel from the height model')

    def shortHelpString(self):
        return self.tr(
            'Runs "Wooded areas and crowns from the height model" over the parcels (the '
            'selected ones when "Selected features only" is checked) and then "Wooded share per '
            'parcel" on its result. The result is a copy of the parcels with the wooded area '
            '"{}" (m2) and the wooded share "{}" (percent). The wooded areas and crown circles '
            'are kept only when asked for.').format(AREA_FIELD, SHARE_FIELD)

    def initAlgorithm(self, config=None):
        self.addParameter(QgsProcessingParameterFeatureSource(
            self.INPUT, self.tr('Parcels'), [QgsProcessing.TypeVectorPolygon]))
        add_height_model_parameters(self, self.tr)
        self.addParameter(QgsProcessingParameterFeatureSink(
            self.OUTPUT, self.tr('Wooded share'), QgsProcessing.TypeVectorPolygon))
        for name, label in ((self.WOODS, 'Wooded areas'), (self.CROWNS, 'Crown circles')):
            self.addParameter(QgsProcessingParameterVectorDestination(
                name, self.tr(label), QgsProcessing.TypeVectorPolygon, optional=True,
                createByDefault=False))

    def processAlgorithm(self, parameters, context, feedback):
        import processing
        steps = QgsProcessingMultiStepFeedback(2, feedback)
        private = tempfile.mkdtemp(prefix='quelvaris-', dir=QgsProcessingUtils.tempFolder())
        try:
            run = {name: value for name, value in parameters.items() if name != self.OUTPUT}
            for name, file_name in ((self.WOODS, 'woods.shp'), (self.CROWNS, 'crowns.shp')):
                if not parameters.get(name):
                    run[name] = os.path.join(private, file_name)
            layers = processing.run('quelvaris:woodedareas', run, context=context,
                                    feedback=steps, is_child_algorithm=True)
            if steps.isCanceled():
                return {}
            steps.setCurrentStep(1)
            share = processing.run('quelvaris:woodedshare', {
                'INPUT': parameters[self.INPUT], 'WOODS': layers[self.WOODS],
                'CROWNS': layers[self.CROWNS], 'OUTPUT': parameters[self.OUTPUT]},
                context=context, feedback=steps, is_child_algorithm=True)
        finally:
            _forget_layers_in(private, context)
            shutil.rmtree(private, ignore_errors=True)
        results = {self.OUTPUT: share[self.OUTPUT]}
        for name in (self.WOODS, self.CROWNS):
            if parameters.get(name):
                results[name] = layers[name]
        return results


def _forget_layers_in(folder, context):
    """Closes the layers Processing opened from folder, which would keep its files open."""
    store = context.temporaryLayerStore()
    prefix = os.path.normcase(os.path.realpath(folder))
    for layer_id, layer in list(store.mapLayers().items()):
        source = os.path.normcase(os.path.realpath(layer.source().split('|')[0]))
        if source.startswith(prefix):
            store.removeMapLayer(layer_id)
