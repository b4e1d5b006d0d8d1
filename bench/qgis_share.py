#!/usr/bin/python3
"""The QGIS plugin's wooded share per parcel against a plain dissolve in QGIS.

Generates one whole tile (1091-11) of wooded pasture, runs "Wooded areas and crowns from the
height model" over it, and then times, in this one process:
  share     quelvaris:woodedshare for a grid of parcels covering the whole tile, and for one
            parcel that is the whole tile;
  dissolve  native:dissolve of the same woods and crowns, merged beforehand (the merge is not
            timed), which is what a user would do first with QGIS's own tools.
Times are the process's CPU time (GEOS works on one thread; CPU time does not count the waits
of a shared machine) with the wall time beside it. Target: the share takes at most a fifth of
the dissolve's time, for the grid and for the single parcel. Exits 1 when a target is missed.

Needs a normal build (make qgis-plugin) and python3-qgis. Environment: BUILD_DIR (default
build), SEED (default 1), GRID (parcels per row and column, default 8x6), TMPDIR.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..'))
BUILD = os.path.abspath(os.environ.get('BUILD_DIR', os.path.join(ROOT, 'build')))
sys.path[:0] = [os.path.join(ROOT, 'qgis'), '/usr/share/qgis/python/plugins']
os.environ.setdefault('QT_QPA_PLATFORM', 'offscreen')

from qgis.core import (QgsApplication, QgsFeature, QgsGeometry, QgsProcessingFeedback,  # noqa
                       QgsRectangle, QgsVectorLayer)

APP = QgsApplication([], False)
APP.initQgis()
from processing.core.Processing import Processing  # noqa: E402
Processing.initialize()
import processing  # noqa: E402
from processing.core.ProcessingConfig import ProcessingConfig  # noqa: E402
from quelvaris.plugin import QuelvarisPlugin  # noqa: E402

# Tile 1091-11 has its cell centres from 672500 to 676874 east and 251001 to 254000 north: the
# parcels keep to them, so that the run's extent takes in no neighbouring tile.
TILE = QgsRectangle(672500, 251001, 676874, 254000)


def parcels(columns, rows):
    layer = QgsVectorLayer('Polygon?crs=EPSG:21781&field=pid:integer', 'parcels', 'memory')
    width, height = TILE.width() / columns, TILE.height() / rows
    for i in range(columns * rows):
        x, y = TILE.xMinimum() + i % columns * width, TILE.yMinimum() + i // columns * height
        feature = QgsFeature(layer.fields())
        feature.setAttributes([i + 1])
        feature.setGeometry(QgsGeometry.fromRect(QgsRectangle(x, y, x + width, y + height)))
        layer.dataProvider().addFeature(feature)
    return layer


def timed(algorithm, parameters):
    cpu, wall = time.process_time(), time.perf_counter()
    result = processing.run(algorithm, parameters, feedback=QgsProcessingFeedback())
    return result, time.process_time() - cpu, time.perf_counter() - wall


def wooded_total(layer):
    return sum(f['boise_m2'] for f in layer.getFeatures())


def main(tmp):
    seed = os.environ.get('SEED', '1')
    columns, rows = (int(n) for n in os.environ.get('GRID', '8x6').split('x'))
    subprocess.run([os.path.join(BUILD, 'nhmgen'), '--seed', seed, '--map', '1091', '--tile',
                    '11', '--out', os.path.join(tmp, 'nhm'), '--stats'], check=True)
    plugin = QuelvarisPlugin()
    plugin.initProcessing()
    ProcessingConfig.setSettingValue('QUELVARIS_HOST', os.path.join(BUILD, 'quelvaris-host'))
    grid, whole = parcels(columns, rows), parcels(1, 1)
    layers, cpu, wall = timed('quelvaris:woodedareas', {
        'INPUT': whole, 'NHM_FOLDER': os.path.join(tmp, 'nhm'),
        'WOODS': os.path.join(tmp, 'woods.shp'), 'CROWNS': os.path.join(tmp, 'crowns.shp')})
    counts = [QgsVectorLayer(layers[k]).featureCount() for k in ('WOODS', 'CROWNS')]
    print('run over tile 1091-11 (seed {}): {} woods, {} crowns, {:.1f} s'.format(
        seed, counts[0], counts[1], wall))

    shares = {}
    for name, layer in (('grid of {}x{} parcels'.format(columns, rows), grid),
                        ('one parcel, the whole tile', whole)):
        result, cpu, wall = timed('quelvaris:woodedshare', {
            'INPUT': layer, 'WOODS': layers['WOODS'], 'CROWNS': layers['CROWNS'],
            'OUTPUT': 'TEMPORARY_OUTPUT'})
        shares[name] = (cpu, wall, wooded_total(result['OUTPUT']))
        print('share, {}: CPU {:.1f} s (wall {:.1f} s), wooded {:.1f} m2'.format(
            name, *shares[name]))

    merged = processing.run('native:mergevectorlayers', {
        'LAYERS': [layers['WOODS'], layers['CROWNS']], 'OUTPUT': 'TEMPORARY_OUTPUT'})['OUTPUT']
    dissolved, cpu, wall = timed('native:dissolve', {'INPUT': merged, 'OUTPUT': 'TEMPORARY_OUTPUT'})
    cover = next(dissolved['OUTPUT'].getFeatures()).geometry()
    within = cover.intersection(QgsGeometry.fromRect(TILE)).area()
    print('native:dissolve of woods and crowns: CPU {:.1f} s (wall {:.1f} s), wooded within the '
          'tile {:.1f} m2'.format(cpu, wall, within))

    whole_share = shares['one parcel, the whole tile'][2]
    print('  wooded area of the whole tile, share - dissolve: {:.4f} m2'.format(
        whole_share - within))
    missed = False
    for name, (share_cpu, share_wall, _) in shares.items():
        ratio = share_cpu / cpu
        print('  share / dissolve, {}: {:.3f} of the CPU time ({:.3f} of the wall time); target '
              'at most 0.2'.format(name, ratio, share_wall / wall))
        if ratio > 0.2:
            print('  TARGET MISSED')
            missed = True
    plugin.unload()
    return missed


if __name__ == '__main__':
    folder = tempfile.mkdtemp(prefix='qv-qgis-share-bench-')
    try:
        failed = main(folder)
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    APP.exitQgis()
    sys.exit(1 if failed else 0)
