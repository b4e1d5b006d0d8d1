"""Quelvaris for QGIS: the wooded areas and the wooded share of parcels from a canopy height
model, as Processing algorithms."""


def classFactory(iface):
    from .plugin import QuelvarisPlugin
    return QuelvarisPlugin(iface)
