"""The plugin: it registers the Processing provider, with or without QGIS's main window."""

from qgis.core import QgsApplication

from .provider import QuelvarisProvider


class QuelvarisPlugin:
    def __init__(self, iface=None):
        self.iface = iface
        self.provider = None

    def initProcessing(self):
        self.provider = QuelvarisProvider()
        QgsApplication.processingRegistry().addProvider(self.provider)

    def initGui(self):
        self.initProcessing()

    def unload(self):
        if self.provider is not None:
            QgsApplication.processingRegistry().removeProvider(self.provider)
            self.provider = None
