"""What the plugin's algorithms share."""

from qgis.PyQt.QtCore import QCoreApplication
from qgis.core import QgsProcessingAlgorithm

from .height_model import without_raster_files


class QuelvarisAlgorithm(QgsProcessingAlgorithm):
    def createInstance(self):
        return type(self)()

    def checkParameterValues(self, parameters, context):
        return super().checkParameterValues(without_raster_files(parameters), context)

    def tr(self, text):
        return QCoreApplication.translate('Quelvaris', text)

    def group(self):
        return ''

    def groupId(self):
        return ''
