"""What the plugin's algorithms share."""

from qgis.PyQt.QtCore import QCoreApplication
from qgis.core import QgsProcessingAlgorithm


class QuelvarisAlgorithm(QgsProcessingAlgorithm):
    def createInstance(self):
        return type(self)()

    def tr(self, text):
        return QCoreApplication.translate('Quelvaris', text)

    def group(self):
        return ''

    def groupId(self):
        return ''
