#!/usr/bin/python3
"""The wooded share from the national 0.5 m surface and terrain tiles against the same share
from a ready tile folder.

Generates 1200 x 1200 m of wooded pasture in tile 1091-11 (nhmgen), the LV95 tile folder and
the national surface and terrain COG tiles of the same canopy (scripts/national-tiles.py), and
times "Wooded share per parcel from the height model" for a grid of LV95 parcels of about half
a square kilometre, once with NHM_FOLDER and once with SURFACE and TERRAIN, in this one process.
Each chain runs REPEAT times (default 5), the two taking turns; the best wall time counts, since
the machine is shared. Also timed: the preparation of the tiles alone (in the chain, Processing
also opens the 18 rasters as layers to check the parameters). Target: the chain from the rasters
takes at most twice the chain from the folder. Exits 1 when it is missed.

Needs a normal build (make qgis-plugin) and python3-qgis. Environment: BUILD_DIR (default
build), SEED (default 1), SIDE (parcel grid side in metres, default 700), REPEAT, TMPDIR.
"""

import glob
import os
import subprocess
import sys
import tempfile
import time

from qgis_session import APP, BUILD, HOST, ROOT, plugin_session  # noqa: E402 (starts QGIS)
from qgis.core import (QgsFeature, QgsGeometry, QgsProcessingFeedback, QgsRectangle,  # noqa
                       QgsVectorLayer)
import processing  # noqa: E402
from quelvaris.canopy import HeightModel  # noqa: E402
from quelvaris.prepare import prepare_run  # noqa: E402

# The canopy covers LV95 x 2674000 - 2675199, y 1251801 - 1253000; the parcels lie inside.
WEST, SOUTH = 2674200, 1252000


def parcels(side, count=10):
    layer = QgsVectorLayer('Polygon?crs=EPSG:2056&field=pid:integer', 'parcels', 'memory')
    step = side / count
    for i in range(count * count):
        x, y = WEST + i % count * step, SOUTH + i // count * step
        feature = QgsFeature(layer.fields())
        feature.setAttributes([i + 1])
        feature.setGeometry(QgsGeometry.fromRect(QgsRectangle(x, y, x + step, y + step)))
        layer.dataProvider().addFeature(feature)
    return layer


def best(repeat, *runs):
    """The best wall time of each run and its last result; the runs take turns, so that a
    shared machine's load weighs on each alike."""
    times, results = [[] for _ in runs], [None for _ in runs]
    for _ in range(repeat):
        for number, run in enumerate(runs):
            start = time.perf_counter()
            results[number] = run()
            times[number].append(time.perf_counter() - start)
    return [(min(spent), result) for spent, result in zip(times, results)]


def chain(layer, height_model):
    def run():
        result = processing.run('quelvaris:woodedsharefromheightmodel', dict(
            height_model, INPUT=layer, OUTPUT='TEMPORARY_OUTPUT'), feedback=QgsProcessingFeedback())
        return sum(f['boise_m2'] for f in result['OUTPUT'].getFeatures())
    return run


def main(tmp):
    side, repeat = int(os.environ.get('SIDE', '700')), int(os.environ.get('REPEAT', '5'))
    subprocess.run([os.path.join(BUILD, 'nhmgen'), '--seed', os.environ.get('SEED', '1'), '--map',
                    '1091', '--tile', '11', '--window', '1000,1500,1200,1200', '--format', 'flt',
                    '--out', os.path.join(tmp, 'nhm')], check=True, stdout=subprocess.DEVNULL)
    subprocess.run([sys.executable, os.path.join(ROOT, 'scripts', 'national-tiles.py'),
                    os.path.join(tmp, 'nhm'), os.path.join(tmp, 'data')], check=True,
                   stdout=subprocess.DEVNULL)
    surface = sorted(glob.glob(os.path.join(tmp, 'data', 'swisssurface3d-raster_*.tif')))
    terrain = sorted(glob.glob(os.path.join(tmp, 'data', 'swissalti3d_*.tif')))
    with plugin_session():
        layer = parcels(side)
        extent = (WEST, WEST + side, SOUTH, SOUTH + side)
        (folder, folder_area), (rasters, raster_area), (prepared, _) = best(
            repeat, chain(layer, {'NHM_FOLDER': os.path.join(tmp, 'data', 'lv95'), 'FILE_TYPE': 1}),
            chain(layer, {'SURFACE': surface, 'TERRAIN': terrain}),
            lambda: prepare_run(HOST, HeightModel(surface=surface, terrain=terrain), extent,
                                os.path.join(tmp, 'p')))
    ratio = rasters / folder
    print('parcels: 100 in {} x {} m ({:.2f} km2), wooded {:.0f} m2 from the folder, {:.0f} m2 '
          'from the rasters'.format(side, side, side * side / 1e6, folder_area, raster_area))
    print('{:<34}{:>10}'.format('chain', 'wall s'))
    print('{:<34}{:>10.2f}'.format('tile folder (LV95 .flt)', folder))
    print('{:<34}{:>10.2f}'.format('surface + terrain (0.5 m COG)', rasters))
    print('{:<34}{:>10.2f}'.format('  of which the preparation', prepared))
    print('ratio {:.2f} (target at most 2)'.format(ratio))
    return 0 if ratio <= 2 and abs(folder_area - raster_area) < 1e-6 else 1


if __name__ == '__main__':
    with tempfile.TemporaryDirectory(prefix='qv-bench-rasters-') as scratch:
        status = main(scratch)
    APP.exitQgis()
    sys.exit(status)
