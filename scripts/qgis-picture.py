#!/usr/bin/python3
"""Renders the README's picture of the QGIS plugin, headless, from the demo project.

Writes the demo project (quelvaris-host demo) into WORKDIR, lays a grid of parcels with
slightly crooked borders over its extent, runs "Wooded share per parcel from the height model"
with the wooded areas and crowns kept, and renders the middle of the project, where four tiles
meet: parcels coloured by their wooded share and labelled with it, woods and crowns in the
plugin's default styles, over the height model in grey (the higher, the darker).

usage: qgis-picture.py WORKDIR IMAGE    Environment: BUILD_DIR (default build).
IMAGE is a .png or a .jpg (quality 85: the crowns make a PNG large).
"""

import glob
import os
import random
import shutil
import subprocess
import sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..'))
BUILD = os.path.abspath(os.environ.get('BUILD_DIR', os.path.join(ROOT, 'build')))
sys.path[:0] = [os.path.join(ROOT, 'qgis'), '/usr/share/qgis/python/plugins']
os.environ.setdefault('QT_QPA_PLATFORM', 'offscreen')

from qgis.PyQt.QtCore import QSize  # noqa: E402
from qgis.PyQt.QtGui import QColor, QFont  # noqa: E402
from qgis.core import (QgsApplication, QgsContrastEnhancement, QgsFeature, QgsGeometry,  # noqa
                       QgsMapRendererParallelJob, QgsMapSettings, QgsPalLayerSettings,
                       QgsPointXY, QgsRasterLayer, QgsRectangle, QgsSingleBandGrayRenderer,
                       QgsTextBufferSettings, QgsTextFormat, QgsVectorLayer,
                       QgsVectorLayerSimpleLabeling)

APP = QgsApplication([], False)
APP.initQgis()
from processing.core.Processing import Processing  # noqa: E402
Processing.initialize()
import processing  # noqa: E402
from processing.core.ProcessingConfig import ProcessingConfig  # noqa: E402
from quelvaris.plugin import QuelvarisPlugin  # noqa: E402
from quelvaris.styles import crowns_renderer, share_renderer, woods_renderer  # noqa: E402

# The demo's run: x 674875 - 678875, y 249500 - 252500; the four tiles meet at its middle.
EXTENT = QgsRectangle(674875, 249500, 678875, 252500)
VIEW = QgsRectangle(676395, 250700, 677355, 251300)


def crooked_grid(columns, rows):
    """Parcels over EXTENT whose inner corners are moved a little, the same way every time."""
    shake = random.Random(17)
    width, height = EXTENT.width() / columns, EXTENT.height() / rows
    corners = {}
    for i in range(columns + 1):
        for j in range(rows + 1):
            inner = 0 < i < columns and 0 < j < rows
            dx, dy = (shake.uniform(-0.2, 0.2) * width, shake.uniform(-0.2, 0.2) * height) \
                if inner else (0, 0)
            corners[i, j] = QgsPointXY(EXTENT.xMinimum() + i * width + dx,
                                       EXTENT.yMinimum() + j * height + dy)
    layer = QgsVectorLayer('Polygon?crs=EPSG:21781&field=pid:integer', 'parcels', 'memory')
    for i in range(columns):
        for j in range(rows):
            ring = [corners[i, j], corners[i + 1, j], corners[i + 1, j + 1], corners[i, j + 1]]
            feature = QgsFeature(layer.fields())
            feature.setAttributes([i * rows + j + 1])
            feature.setGeometry(QgsGeometry.fromPolygonXY([ring]))
            layer.dataProvider().addFeature(feature)
    return layer


def grey_height_model(folder, crs):
    tiles = []
    for path in sorted(glob.glob(os.path.join(folder, '*.txt'))):
        tile = QgsRasterLayer(path, os.path.basename(path))
        tile.setCrs(crs)
        renderer = QgsSingleBandGrayRenderer(tile.dataProvider(), 1)
        renderer.setGradient(QgsSingleBandGrayRenderer.WhiteToBlack)
        stretch = QgsContrastEnhancement(tile.dataProvider().dataType(1))
        stretch.setContrastEnhancementAlgorithm(QgsContrastEnhancement.StretchToMinimumMaximum)
        stretch.setMinimumValue(0)
        stretch.setMaximumValue(40)
        renderer.setContrastEnhancement(stretch)
        tile.setRenderer(renderer)
        tiles.append(tile)
    return tiles


def share_labels(layer):
    text = QgsTextFormat()
    text.setFont(QFont('DejaVu Sans', 11, QFont.Bold))
    text.setSize(11)
    buffer = QgsTextBufferSettings()
    buffer.setEnabled(True)
    buffer.setColor(QColor('white'))
    text.setBuffer(buffer)
    settings = QgsPalLayerSettings()
    settings.fieldName = "format_number(\"boise_pct\", 1) || ' %'"
    settings.isExpression = True
    settings.setFormat(text)
    layer.setLabeling(QgsVectorLayerSimpleLabeling(settings))
    layer.setLabelsEnabled(True)


def main(work, image):
    shutil.rmtree(work, ignore_errors=True)
    subprocess.run([os.path.join(BUILD, 'quelvaris-host'), 'demo', work], check=True,
                   stdout=subprocess.DEVNULL)
    plugin = QuelvarisPlugin()
    plugin.initProcessing()
    ProcessingConfig.setSettingValue('QUELVARIS_HOST', os.path.join(BUILD, 'quelvaris-host'))
    nhm = os.path.join(work, 'MNA_Laser', 'MNH')
    result = processing.run('quelvaris:woodedsharefromheightmodel', {
        'INPUT': crooked_grid(16, 12), 'NHM_FOLDER': nhm,
        'OUTPUT': os.path.join(work, 'share.shp'), 'WOODS': os.path.join(work, 'woods.shp'),
        'CROWNS': os.path.join(work, 'crowns.shp')})
    layers = {}
    for key, renderer in (('OUTPUT', share_renderer), ('WOODS', woods_renderer),
                          ('CROWNS', crowns_renderer)):
        layers[key] = QgsVectorLayer(result[key], key, 'ogr')
        layers[key].setRenderer(renderer())
    layers['OUTPUT'].setOpacity(0.6)
    share_labels(layers['OUTPUT'])
    # The map settings hold the layers weakly: they must stay referenced until rendered.
    tiles = grey_height_model(nhm, layers['OUTPUT'].crs())
    settings = QgsMapSettings()
    settings.setLayers([layers['CROWNS'], layers['WOODS'], layers['OUTPUT']] + tiles)
    settings.setDestinationCrs(layers['OUTPUT'].crs())
    settings.setExtent(VIEW)
    settings.setOutputSize(QSize(1200, 750))
    settings.setBackgroundColor(QColor('white'))
    job = QgsMapRendererParallelJob(settings)
    job.start()
    job.waitForFinished()
    job.renderedImage().save(image, quality=85)
    plugin.unload()
    print('qgis-picture: wrote {}'.format(image))


if __name__ == '__main__':
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]))
    APP.exitQgis()
