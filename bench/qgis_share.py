#!/usr/bin/python3
"""The QGIS plugin's wooded share per parcel against the run it follows.

Generates a height model of wooded pasture and, for one tile (1091-11) and for a 2 x 2 block of
tiles, lays a grid of 21 parcels over it (rectangles, L-shapes, rectangles with a farmyard hole),
then times in this process, one after the other:
  run    quelvaris:woodedareas over the parcels (the host program's wooded areas and crowns);
  share  quelvaris:woodedshare of those parcels, woods and crowns.
Times are wall-clock seconds (the run and the share both work in a process of their own), the
best of REPEAT tries each. Target: the share takes at most three times the run. Exits 1 when a
target is missed.

Needs a normal build and python3-qgis. Environment: BUILD_DIR (default build), SEED (default 1),
REPEAT (default 1), BLOCKS (default "1x1,2x2"), TMPDIR.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

from qgis_session import APP, BUILD, plugin_session  # noqa: E402 (starts QGIS)
from qgis.core import (QgsFeature, QgsGeometry, QgsProcessingFeedback, QgsRectangle,  # noqa
                       QgsVectorLayer)
import processing  # noqa: E402

# Tile 1091-11 has its cell centres from 672500 to 676874 east and 251001 to 254000 north; the
# tiles of a block follow east and south. The parcels keep to the block's cell centres, so that
# the run's extent takes in no neighbouring tile.
TILE_WIDTH, TILE_HEIGHT = 4375, 3000


def block_extent(columns, rows):
    return QgsRectangle(672500, 254000 - rows * TILE_HEIGHT + 1,
                        672500 + columns * TILE_WIDTH - 1, 254000)


def parcel_shape(i, x, y, width, height):
    """Rectangles, L-shapes and rectangles around a farmyard, in turn."""
    shape = QgsGeometry.fromRect(QgsRectangle(x, y, x + width, y + height))
    if i % 3 == 1:
        corner = QgsRectangle(x + width / 2, y + height / 2, x + width, y + height)
        shape = shape.difference(QgsGeometry.fromRect(corner))
    elif i % 3 == 2:
        yard = QgsRectangle(x + width * 0.4, y + height * 0.4, x + width * 0.6, y + height * 0.6)
        shape = shape.difference(QgsGeometry.fromRect(yard))
    return shape


def parcels(extent, columns=7, rows=3):
    layer = QgsVectorLayer('Polygon?crs=EPSG:21781&field=pid:integer', 'parcels', 'memory')
    width, height = extent.width() / columns, extent.height() / rows
    for i in range(columns * rows):
        x, y = extent.xMinimum() + i % columns * width, extent.yMinimum() + i // columns * height
        feature = QgsFeature(layer.fields())
        feature.setAttributes([i + 1])
        feature.setGeometry(parcel_shape(i, x, y, width, height))
        layer.dataProvider().addFeature(feature)
    return layer


def best(algorithm, parameters, repeat):
    times = []
    for _ in range(repeat):
        wall = time.perf_counter()
        result = processing.run(algorithm, parameters, feedback=QgsProcessingFeedback())
        times.append(time.perf_counter() - wall)
    return result, min(times)


def measure(tmp, seed, columns, rows, repeat):
    nhm = os.path.join(tmp, 'nhm{}x{}'.format(columns, rows))
    subprocess.run([os.path.join(BUILD, 'nhmgen'), '--seed', seed, '--map', '1091', '--tile',
                    '11', '--cols', str(columns), '--rows', str(rows), '--out', nhm], check=True,
                   stdout=subprocess.DEVNULL)
    grid = parcels(block_extent(columns, rows))
    layers, run = best('quelvaris:woodedareas', {
        'INPUT': grid, 'NHM_FOLDER': nhm, 'WOODS': os.path.join(nhm, 'woods.shp'),
        'CROWNS': os.path.join(nhm, 'crowns.shp')}, repeat)
    counts = [QgsVectorLayer(layers[k]).featureCount() for k in ('WOODS', 'CROWNS')]
    result, share = best('quelvaris:woodedshare', {
        'INPUT': grid, 'WOODS': layers['WOODS'], 'CROWNS': layers['CROWNS'],
        'OUTPUT': 'TEMPORARY_OUTPUT'}, repeat)
    wooded = sum(f['boise_m2'] for f in result['OUTPUT'].getFeatures())
    print('{} x {} tiles (seed {}), 21 parcels: {} woods, {} crowns, wooded {:.1f} m2'.format(
        columns, rows, seed, counts[0], counts[1], wooded))
    print('  run {:.2f} s, share {:.2f} s, share / run {:.2f} (target at most 3)'.format(
        run, share, share / run))
    return share / run


def main(tmp):
    seed = os.environ.get('SEED', '1')
    repeat = int(os.environ.get('REPEAT', '1'))
    missed = False
    with plugin_session():
        for block in os.environ.get('BLOCKS', '1x1,2x2').split(','):
            columns, rows = (int(n) for n in block.split('x'))
            if measure(tmp, seed, columns, rows, repeat) > 3:
                print('  TARGET MISSED')
                missed = True
    return missed


if __name__ == '__main__':
    folder = tempfile.mkdtemp(prefix='qv-qgis-share-bench-')
    try:
        failed = main(folder)
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    APP.exitQgis()
    sys.exit(1 if failed else 0)
