"""The Processing provider "Quelvaris"."""

import os

from qgis.PyQt.QtGui import QIcon
from qgis.core import QgsProcessingProvider, QgsVectorFileWriter

from .chain_algorithm import WoodedShareFromHeightModelAlgorithm
from .host_program import SETTING
from .share_algorithm import WoodedShareAlgorithm
from .woods_algorithm import WoodedAreasAlgorithm


class QuelvarisProvider(QgsProcessingProvider):
    def id(self):
        return 'quelvaris'

    def name(self):
        return 'Quelvaris'

    def longName(self):
        return 'Quelvaris: wooded areas of pasture land'

    def icon(self):
        return QIcon(os.path.join(os.path.dirname(__file__), 'icon.svg'))

    def load(self):
        from processing.core.ProcessingConfig import ProcessingConfig, Setting
        ProcessingConfig.settingIcons[self.name()] = self.icon()
        ProcessingConfig.addSetting(Setting(
            self.name(), SETTING,
            self.tr('Program quelvaris-host (used when none comes with the plugin)'), '',
            valuetype=Setting.FILE))
        ProcessingConfig.readSettings()
        self.refreshAlgorithms()
        return True

    def unload(self):
        from processing.core.ProcessingConfig import ProcessingConfig
        ProcessingConfig.removeSetting(SETTING)

    def loadAlgorithms(self):
        for algorithm in (WoodedAreasAlgorithm(), WoodedShareAlgorithm(),
                          WoodedShareFromHeightModelAlgorithm()):
            self.addAlgorithm(algorithm)

    # The run writes shapefiles: temporary outputs are shapefiles too, handed over unchanged.
    def defaultVectorFileExtension(self, hasGeometry=True):
        return 'shp'

    def supportedOutputVectorLayerExtensions(self):
        return QgsVectorFileWriter.supportedFormatExtensions()
