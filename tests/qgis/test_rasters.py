#!/usr/bin/python3
"""The height model given as rasters, in headless QGIS. One canopy (nhmgen's, rounded to 1/64 m
by scripts/national-tiles.py) as LV03 tiles, LV95 tiles, canopy GeoTIFFs, and national 0.5 m
surface and terrain tiles whose metres only the maximum of their valid cells gives back: every
way must give the LV03 tiles' layers (moved by 2,000,000 / 1,000,000 where LV95). BUILD_DIR
(default build) has the host and nhmgen."""

import os
import subprocess
import sys
import tempfile
import unittest
from glob import glob

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
BUILD = os.path.abspath(os.environ.get('BUILD_DIR', os.path.join(ROOT, 'build')))
HOST = os.path.join(BUILD, 'quelvaris-host')
sys.path[:0] = [os.path.join(ROOT, 'qgis'), '/usr/share/qgis/python/plugins']
os.environ.setdefault('QT_QPA_PLATFORM', 'offscreen')
os.environ['GDAL_PAM_ENABLED'] = 'NO'  # no .aux.xml beside the rasters the layers read

from qgis.core import (QgsApplication, QgsGeometry, QgsProcessingException,  # noqa: E402
                       QgsRectangle, QgsVectorLayer, QgsVectorLayerUtils)

APP = QgsApplication([], False)
APP.initQgis()
from processing.core.Processing import Processing  # noqa: E402
Processing.initialize()
import processing  # noqa: E402
from processing.core.ProcessingConfig import ProcessingConfig  # noqa: E402
import numpy  # noqa: E402
from osgeo import gdal, osr  # noqa: E402

from quelvaris.canopy import HeightModel  # noqa: E402
from quelvaris.plugin import QuelvarisPlugin  # noqa: E402

gdal.UseExceptions()
SHIFT = (2000000, 1000000)
# Tile 1091-11 has canopy in x 675875 - 676874, y 252801 - 253100, across the borders of the
# national kilometres at x 676000 and y 253000. The parcels reach beyond it on three sides, east
# into tile 1091-12, which has no file and which no raster touches.
CORNERS = [(x, y, x + 100, y + 100) for x in range(676000, 677000, 100)
           for y in range(252750, 253150, 100)]


def parcel_layer(path, frame, shift=(0, 0)):
    layer = QgsVectorLayer('Polygon?crs=EPSG:{}&field=pid:integer'.format(frame), 'p', 'memory')
    layer.dataProvider().addFeatures([QgsVectorLayerUtils.createFeature(
        layer, QgsGeometry.fromRect(QgsRectangle(a + shift[0], b + shift[1], c + shift[0],
                                                 d + shift[1])), {0: pid})
        for pid, (a, b, c, d) in enumerate(CORNERS, 1)])
    processing.run('native:savefeatures', {'INPUT': layer, 'OUTPUT': path})
    return path


def shapes(path, shift=(0, 0)):
    """Each feature's attributes and points, moved back by shift."""
    result = []
    for feature in QgsVectorLayer(path).getFeatures():
        points = [(p.x() - shift[0], p.y() - shift[1]) for p in feature.geometry().vertices()]
        result.append((feature.attributes(), points))
    return result


def raster(name, values, left, top, cell):
    """An LV95 GeoTIFF in memory; NaN is no-data."""
    path = '/vsimem/{}.tif'.format(name)
    dataset = gdal.GetDriverByName('GTiff').Create(path, values.shape[1], values.shape[0], 1,
                                                   gdal.GDT_Float32)
    dataset.SetGeoTransform((left, cell, 0, top, 0, -cell))
    srs = osr.SpatialReference()
    srs.ImportFromEPSG(2056)
    dataset.SetSpatialRef(srs)
    dataset.GetRasterBand(1).SetNoDataValue(-9999)
    dataset.GetRasterBand(1).WriteArray(numpy.where(numpy.isnan(values), -9999, values))
    dataset = None
    return path


class RasterTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmpdir = tempfile.TemporaryDirectory(prefix='qv-rasters-test-')
        tmp = cls.tmp = cls.tmpdir.name
        subprocess.run([os.path.join(BUILD, 'nhmgen'), '--seed', '3', '--map', '1091', '--tile',
                        '11', '--window', '900,3375,300,1000', '--format', 'flt',
                        '--out', os.path.join(tmp, 'nhm')], check=True, stdout=subprocess.DEVNULL)
        subprocess.run([sys.executable, os.path.join(ROOT, 'scripts', 'national-tiles.py'),
                        os.path.join(tmp, 'nhm'), os.path.join(tmp, 'data')], check=True,
                       stdout=subprocess.DEVNULL)
        cls.canopy_tile = os.path.join(tmp, 'data', 'lv03', '109111_dhm_grid1.flt')
        cls.national = {kind: sorted(glob(os.path.join(tmp, 'data', kind + '_*.tif')))
                        for kind in ('swisssurface3d-raster', 'swissalti3d')}
        cls.plugin = QuelvarisPlugin()
        cls.plugin.initProcessing()
        ProcessingConfig.setSettingValue('QUELVARIS_HOST', HOST)
        cls.lv03 = parcel_layer(os.path.join(tmp, 'p03.shp'), 21781)
        cls.lv95 = parcel_layer(os.path.join(tmp, 'p95.shp'), 2056, SHIFT)
        cls.expected = cls.woods(NHM_FOLDER=os.path.join(tmp, 'data', 'lv03'))

    @classmethod
    def tearDownClass(cls):
        cls.plugin.unload()
        cls.tmpdir.cleanup()

    @classmethod
    def woods(cls, parcels=None, **height_model):
        out = tempfile.mkdtemp(dir=cls.tmp)
        layers = processing.run('quelvaris:woodedareas', dict(
            height_model, INPUT=parcels or cls.lv03, WOODS=os.path.join(out, 'w.shp'),
            CROWNS=os.path.join(out, 'c.shp'), FILE_TYPE=1))
        return layers['WOODS'], layers['CROWNS']

    def geotiff(self, name, source, **options):
        path = os.path.join(self.tmp, name)
        gdal.Translate(path, source, **options)
        return path

    def assertSameLayers(self, layers, shift=(0, 0)):
        for actual, expected in zip(layers, self.expected):
            actual, expected = shapes(actual, shift), shapes(expected)
            self.assertGreater(len(expected), 3)
            self.assertEqual([a for a, _ in actual], [a for a, _ in expected])
            for (_, points), (_, wanted) in zip(actual, expected):
                self.assertEqual(len(points), len(wanted))
                self.assertLess(max(max(abs(p[0] - q[0]), abs(p[1] - q[1]))
                                    for p, q in zip(points, wanted)), 1e-6)

    def test_one_canopy_given_four_ways_gives_the_same_layers(self):
        tif = self.geotiff('c11.tif', self.canopy_tile, outputSRS='EPSG:21781',
                           creationOptions=['TILED=YES'])
        self.assertSameLayers(self.woods(CANOPY=[tif]))
        self.assertSameLayers(self.woods(self.lv95, NHM_FOLDER=os.path.join(
            self.tmp, 'data', 'lv95')), SHIFT)
        # LV03 parcels, transformed to the rasters' LV95.
        national = self.woods(SURFACE=self.national['swisssurface3d-raster'],
                              TERRAIN=self.national['swissalti3d'])
        self.assertSameLayers(national, SHIFT)
        for layer in national:
            with open(layer[:-4] + '.prj') as prj:
                self.assertIn('LV95', prj.read())

    def test_share_comes_in_the_parcels_frame(self):
        shares = []
        for height_model in ({'NHM_FOLDER': os.path.join(self.tmp, 'data', 'lv03'),
                              'FILE_TYPE': 1},
                             {'SURFACE': self.national['swisssurface3d-raster'],
                              'TERRAIN': self.national['swissalti3d']}):
            table = processing.run('quelvaris:woodedsharefromheightmodel', dict(
                height_model, INPUT=self.lv03, OUTPUT='TEMPORARY_OUTPUT'))['OUTPUT']
            self.assertEqual(table.crs().authid(), 'EPSG:21781')
            shares.append({f['pid']: f['boise_m2'] for f in table.getFeatures()})
        self.assertEqual(shares[0].keys(), shares[1].keys())
        for pid, area in shares[0].items():
            self.assertAlmostEqual(shares[1][pid], area, delta=1e-3)
        self.assertGreater(sum(shares[0].values()), 1000)

    def test_command_line_writes_the_folder_the_host_runs_on(self):
        project = os.path.join(self.tmp, 'cli')
        os.makedirs(os.path.join(project, 'shapes'))
        extent = [str(v) for v in (2676000, 2677000, 1252750, 1253150)]
        subprocess.run([os.path.join(ROOT, 'tools', 'prepare', 'quelvaris-prepare')] + extent
                       + ['--out', os.path.join(project, 'MNA_Laser', 'MNH'), '--host', HOST,
                          '--surface'] + self.national['swisssurface3d-raster']
                       + ['--terrain'] + self.national['swissalti3d'], check=True,
                       stdout=subprocess.DEVNULL)
        shapefile = os.path.join(project, 'shapes', 'p.shp')
        subprocess.run([HOST, '--set', 'rgNhmFiletype=1'] + extent + [shapefile], check=True,
                       capture_output=True)
        self.assertSameLayers([shapefile[:-4] + '_w1.shp', shapefile[:-4] + '_w2.shp'], SHIFT)

    def test_metres_take_the_highest_valid_cell_whose_centre_they_hold(self):
        # A sloping terrain on 1 m cells centred on half metres (bilinear is exact on a plane)
        # under a 0.5 m surface of 4 x 4 metres: per metre one cell 5 m up and the others 1 m;
        # in metre (0, 1) the high cell is no-data; metre (1, 1) lies 3 m below the terrain;
        # metre (2, 2) has no valid cell.
        def plane(x, y):
            return 400 + 0.25 * (x - 2600000) + 0.125 * (y - 1200000)
        cells = numpy.arange(8) * 0.5 + 0.25
        xs, ys = numpy.meshgrid(2599999.5 + cells, 1200003.5 - cells)
        canopy = numpy.ones((8, 8))
        canopy[::2, 1::2] = 5
        canopy[0, 3] = numpy.nan
        canopy[2:4, 2:4] = -3
        canopy[4:6, 4:6] = numpy.nan
        surface = raster('s', plane(xs, ys) + canopy, 2599999.5, 1200003.5, 0.5)
        tx, ty = numpy.meshgrid(2599999 + numpy.arange(6), 1200004 - numpy.arange(6))
        terrain = raster('t', plane(tx, ty), 2599998.5, 1200004.5, 1)
        heights = HeightModel(surface=[surface], terrain=[terrain]).metres(
            2599999.5, 1200003.5, 4, 4)
        expected = numpy.full((4, 4), 5.0)
        expected[0, 1], expected[1, 1], expected[2, 2] = 1, 0, numpy.nan
        numpy.testing.assert_allclose(heights, expected, atol=1e-3)
        # 1 m cells half a metre east and south of ours: a centre on a metre's west or north
        # edge belongs to that metre.
        cells = numpy.arange(16.0).reshape(4, 4)
        shifted = HeightModel(canopy=[raster('c', cells, 2600000, 1200003, 1)]).metres(
            2599999.5, 1200003.5, 4, 4)
        numpy.testing.assert_array_equal(shifted[1:, 1:], cells[:3, :3])
        self.assertTrue(numpy.isnan(shifted[0]).all() and numpy.isnan(shifted[:, 0]).all())

    def test_what_cannot_be_prepared_fails_naming_the_cause(self):
        tif = self.geotiff('c.tif', self.canopy_tile, outputSRS='EPSG:21781')
        surface = self.national['swisssurface3d-raster']
        far = self.geotiff('far.tif', tif, outputBounds=[600000.5, 200000.5, 601000.5, 199700.5])
        text = os.path.join(self.tmp, 'notes.txt')
        with open(text, 'w') as notes:
            notes.write('no raster')
        cases = [
            ({}, 'given: none'),
            ({'NHM_FOLDER': self.tmp, 'CANOPY': [tif]}, 'given: NHM_FOLDER, CANOPY'),
            ({'SURFACE': surface}, 'both surface and terrain'),
            ({'CANOPY': [tif, surface[0]]}, 'is CH1903+ / LV95 (EPSG:2056)'),
            ({'CANOPY': [self.geotiff('utm.tif', tif, outputSRS='EPSG:32632')]}, 'EPSG:32632'),
            ({'CANOPY': [self.geotiff('2m.tif', tif, xRes=2, yRes=2)]}, 'cells are 2 x 2 m'),
            ({'CANOPY': [far]}, 'No raster covers the extent x 676000 - 677000'),
            ({'CANOPY': [text]}, 'notes.txt: the raster cannot be read'),  # no layer check first
        ]
        for height_model, message in cases:
            with self.subTest(message), self.assertRaises(QgsProcessingException) as raised:
                self.woods(**height_model)
            self.assertIn(message, str(raised.exception))

if __name__ == '__main__':
    program = unittest.main(exit=False, verbosity=2)
    APP.exitQgis()
    sys.exit(not program.result.wasSuccessful())
