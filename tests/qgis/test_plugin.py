#!/usr/bin/python3
"""The QGIS plugin in headless QGIS, on 300 rows across the border of generated tiles 1091-11 and
1091-12 under a grid of parcels. BUILD_DIR (default build) has the host, nhmgen and the zip."""

import glob
import json
import os
import runpy
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
BUILD = os.path.abspath(os.environ.get('BUILD_DIR', os.path.join(ROOT, 'build')))
sys.path[:0] = [os.path.join(ROOT, 'qgis'), '/usr/share/qgis/python/plugins']
os.environ.setdefault('QT_QPA_PLATFORM', 'offscreen')

from qgis.core import (QgsApplication, QgsGeometry, QgsProcessingException,  # noqa
                       QgsProcessingFeatureSourceDefinition, QgsProcessingFeedback,
                       QgsProcessingUtils, QgsPointXY, QgsProject, QgsRectangle,
                       QgsVectorLayer, QgsVectorLayerUtils)

APP = QgsApplication([], False)
APP.initQgis()
from processing.core.Processing import Processing  # noqa: E402
Processing.initialize()
import processing  # noqa: E402
from processing.core.ProcessingConfig import ProcessingConfig  # noqa: E402
from processing.tools import dataobjects  # noqa: E402
from osgeo import ogr  # noqa: E402

from quelvaris import catalogue  # noqa: E402
from quelvaris.plugin import QuelvarisPlugin  # noqa: E402

ogr.UseExceptions()
GERMAN = 'de'  # the run's language under a locale that is not French
DIFFERENCES = []  # of each parcel's wooded area from GEOS's


# What the plugin is compared with, without it: the host program's own catalogue listing,
# layers read by GDAL, wooded areas by GEOS as a plain union of all cover.
def host_catalogue():
    listing = subprocess.run([os.path.join(BUILD, 'quelvaris-host'), '--catalogue'],
                             check=True, capture_output=True)
    return json.loads(listing.stdout.decode('utf-8'))


def features(path):
    source = ogr.Open(path)
    return [(f.GetGeometryRef().ExportToIsoWkb(), f.items()) for f in source.GetLayer()]


def wooded_area(parcel_wkb, woods_path, crowns_path):
    parcel = ogr.CreateGeometryFromWkb(parcel_wkb)
    cover = ogr.Geometry(ogr.wkbMultiPolygon)
    for path in (woods_path, crowns_path):
        source = ogr.Open(path)
        layer = source.GetLayer()
        layer.SetSpatialFilter(parcel)
        for feature in layer:
            shape = feature.GetGeometryRef()
            for part in [shape] if shape.GetGeometryType() == ogr.wkbPolygon else shape:
                cover.AddGeometry(part)
    return 0.0 if cover.IsEmpty() else cover.UnionCascaded().Intersection(parcel).GetArea()


def rectangles(corners):
    return [QgsGeometry.fromRect(QgsRectangle(*corner)) for corner in corners]


def parcel_layer(path, shapes):
    """A shapefile of parcels with a field "pid"."""
    layer = QgsVectorLayer('Polygon?crs=EPSG:21781&field=pid:integer', 'parcels', 'memory')
    layer.dataProvider().addFeatures([QgsVectorLayerUtils.createFeature(layer, shape, {0: pid})
                                      for pid, shape in enumerate(shapes, 1)])
    processing.run('native:savefeatures', {'INPUT': layer, 'OUTPUT': path})
    return QgsVectorLayer(path, 'parcels', 'ogr')


def contents(shapefile):
    return [Path(shapefile[:-4] + part).read_bytes() for part in ('.shp', '.dbf')]


def leftovers():
    return glob.glob(os.path.join(QgsProcessingUtils.tempFolder(), 'quelvaris-*'))


def host_children():
    pids = ''.join(t.read_text() for t in Path('/proc/self/task').glob('*/children')).split()
    return [pid for pid in pids if 'quelvaris' in Path('/proc', pid, 'comm').read_text()]


class CancelAtFirstProgress(QgsProcessingFeedback):
    def pushConsoleInfo(self, text):
        self.cancel()


class PluginTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmpdir = tempfile.TemporaryDirectory(prefix='qv-qgis-test-')
        cls.tmp = cls.tmpdir.name
        cls.nhm = os.path.join(cls.tmp, 'nhm')
        subprocess.run([os.path.join(BUILD, 'nhmgen'), '--seed', '3', '--map', '1091', '--tile',
                        '11', '--cols', '2', '--window', '1200,0,300,4375', '--out', cls.nhm],
                       check=True, stdout=subprocess.DEVNULL)
        cls.plugin = QuelvarisPlugin()
        cls.plugin.initProcessing()
        ProcessingConfig.setSettingValue('QUELVARIS_HOST', os.path.join(BUILD, 'quelvaris-host'))
        # A grid of 10 x 4 parcels across the tile border and the 250 m blocks of the share,
        # one parcel where the height model has no data, and one far west, left out of the
        # selection.
        shapes = rectangles([(x, y, x + 75, y + 60) for x in range(676650, 677400, 75)
                             for y in range(252540, 252780, 60)]
                            + [(676700, 252900, 676800, 253000), (672600, 252600, 672700, 252700)])
        cls.parcels_path = os.path.join(cls.tmp, 'parcels.shp')
        cls.parcels = parcel_layer(cls.parcels_path, shapes)
        QgsProject.instance().addMapLayer(cls.parcels)
        cls.parcels.selectByIds([f.id() for f in cls.parcels.getFeatures() if f['pid'] <= 41])
        cls.selection = QgsProcessingFeatureSourceDefinition(cls.parcels.id(), True)
        cls.arguments = {'INPUT': cls.selection, 'NHM_FOLDER': cls.nhm,
                         'WOODS': 'TEMPORARY_OUTPUT', 'CROWNS': 'TEMPORARY_OUTPUT'}
        cls.layers = processing.run('quelvaris:woodedareas', dict(cls.arguments, WOODS=os.path.join(
            cls.tmp, 'woods.shp'), CROWNS=os.path.join(cls.tmp, 'crowns.shp')))

    @classmethod
    def tearDownClass(cls):
        QgsProject.instance().removeAllMapLayers()
        cls.plugin.unload()
        cls.tmpdir.cleanup()

    def failure(self, feedback=None, **changes):
        with self.assertRaises(QgsProcessingException) as raised:
            processing.run('quelvaris:woodedareas', dict(self.arguments, **changes),
                           feedback=feedback)
        self.assertEqual(leftovers(), [])
        return str(raised.exception)

    def test_layers_are_the_host_programs_over_the_selected_parcels(self):
        shapes = os.path.join(self.tmp, 'host', 'shapes')
        os.makedirs(shapes)
        box = QgsGeometry.collectGeometry(
            [f.geometry() for f in self.parcels.getSelectedFeatures()]).boundingBox()
        extent = [box.xMinimum(), box.xMaximum(), box.yMinimum(), box.yMaximum()]
        subprocess.run([os.path.join(BUILD, 'quelvaris-host'), '--set', 'edtNhmDir=../nhm']
                       + [str(round(v)) for v in extent] + [os.path.join(shapes, 'p.shp')],
                       check=True, capture_output=True)
        for ours, host in (('WOODS', 'p_w1.shp'), ('CROWNS', 'p_w2.shp')):
            expected = features(os.path.join(shapes, host))
            self.assertGreater(len(expected), 5)
            self.assertEqual(features(self.layers[ours]), expected)
        self.assertTrue(os.path.exists(self.layers['WOODS'][:-4] + '.prj'))
        self.assertEqual(leftovers(), [])

    def test_cancel_and_errors_end_the_run_with_its_own_message(self):
        self.assertIn('cancelled', self.failure(CancelAtFirstProgress(), INPUT=self.parcels_path))
        self.assertEqual(host_children(), [])
        message = self.failure(NHM_FOLDER=os.path.join(self.tmp, 'nowhere'))
        library = host_catalogue()
        self.assertIn(library['msgFileNotFound'][GERMAN].split('%s')[1], message)
        self.assertIn(os.path.join(os.path.realpath(self.tmp), 'nowhere', '109111_dhm_grid1.txt'),
                      message)
        message = self.failure(RADIUS_SLOPE=0, RADIUS_INTERCEPT=-1)
        self.assertIn(library['msgInvalidNumber'][GERMAN], message)

    def test_tiles_missing_beside_found_ones_are_warnings(self):
        warnings = []
        feedback = QgsProcessingFeedback()
        feedback.pushWarning = warnings.append
        # 100 m around the corner where tiles 1091-11, -12 (generated) meet -13, -14 (missing);
        # the generated rows lie further north, so both layers are empty too.
        south = parcel_layer(os.path.join(self.tmp, 'south.shp'),
                             rectangles([(676825, 250950, 676925, 251050)]))
        processing.run('quelvaris:woodedareas', dict(self.arguments, INPUT=south),
                       feedback=feedback)
        self.assertEqual(len(warnings), 3, warnings)
        for warning, tile in zip(warnings, ('109113', '109114')):
            self.assertIn(os.path.join(os.path.realpath(self.nhm), tile + '_dhm_grid1.txt'), warning)

    def test_texts_come_from_the_host_programs_catalogue(self):
        fake = os.path.join(self.tmp, 'fake-host')
        Path(fake).write_text('#!/bin/sh\n[ "$1" = --catalogue ] && echo \'{"msgMerging": '
                              '{"en": "M en", "fr": "M fr", "de": "M de"}}\'\n')
        os.chmod(fake, 0o755)
        real = ProcessingConfig.getSetting('QUELVARIS_HOST')
        try:
            ProcessingConfig.setSettingValue('QUELVARIS_HOST', fake)
            self.assertEqual(catalogue.msg('msgMerging'), 'M ' + catalogue.language())
            self.assertEqual(catalogue.msg('msgDissolving'), 'msgDissolving')
            ProcessingConfig.setSettingValue('QUELVARIS_HOST', self.tmp)  # no program in it
            self.assertEqual(catalogue.msg('msgMerging'), 'msgMerging')
        finally:
            ProcessingConfig.setSettingValue('QUELVARIS_HOST', real)
        shown = host_catalogue()['msgMerging'][catalogue.language()]
        self.assertEqual(catalogue.msg('msgMerging'), shown)

    def test_shares_are_the_union_of_woods_and_crowns_under_each_parcel(self):
        # Besides the generated grid, crafted layers: wood 1 keeps a clearing with an island;
        # wood 2 has its clearing filled and its island lies on it. Crowns: in the island, on the
        # clearing's edge, on a wood's edge, outside (two overlapping), within wood 2. Parcel 3
        # lies wholly in wood 2, parcel 4 away from everything. The crowns are not a shapefile,
        # so the share copies them for the host program.
        crafted = [os.path.join(self.tmp, name) for name in ('p.shp', 'w.shp', 'c.gpkg')]
        parcel_layer(crafted[0], rectangles([(-10, -10, 170, 110), (190, -10, 310, 110),
                                             (210, 10, 290, 90), (400, 0, 500, 100)]))
        wood, clearing, *others = rectangles([(0, 0, 100, 100), (30, 30, 70, 70), (40, 40, 60, 60),
                                              (200, 0, 300, 100), (240, 40, 260, 60)])
        parcel_layer(crafted[1], [wood.difference(clearing)] + others)
        parcel_layer(crafted[2], [QgsGeometry.fromPointXY(QgsPointXY(a, b)).buffer(r, 9)
                                  for a, b, r in ((50, 50, 5), (35, 50, 8), (100, 50, 6),
                                                  (150, 50, 5), (154, 53, 5), (250, 80, 6))])
        before = contents(self.parcels_path)
        shares = {}
        for parcels, woods, crowns, count in (
                (self.parcels_path, self.layers['WOODS'], self.layers['CROWNS'], 42),
                crafted + [4]):
            output = QgsVectorLayer(processing.run('quelvaris:woodedshare', {
                'INPUT': parcels, 'WOODS': woods, 'CROWNS': crowns,
                'OUTPUT': os.path.join(self.tmp, 'share%d.shp' % count)})['OUTPUT'], 's', 'ogr')
            self.assertEqual(output.featureCount(), count)
            for feature in output.getFeatures():
                shape = feature.geometry()
                expected = wooded_area(bytes(shape.asWkb()), woods, crowns)
                difference = abs(feature['boise_m2'] - expected)
                self.assertLessEqual(difference, 0.5 + 1e-6 * shape.area(), feature['pid'])
                self.assertAlmostEqual(feature['boise_pct'], 100 * expected / shape.area(),
                                       delta=0.01)
                DIFFERENCES.append(difference)
                shares[count, feature['pid']] = feature['boise_pct']
        self.assertEqual(contents(self.parcels_path), before)
        self.assertEqual((shares[42, 41], shares[4, 3], shares[4, 4]), (0, 100, 0))
        self.assertGreater(len([pid for pid in range(1, 41) if 0 < shares[42, pid] < 100]), 30)

    def test_share_cancelled_stops_the_host_program(self):
        feedback = QgsProcessingFeedback()
        feedback.progressChanged.connect(lambda progress: feedback.cancel())
        with self.assertRaises(QgsProcessingException) as raised:
            processing.run('quelvaris:woodedshare', {
                'INPUT': self.parcels_path, 'WOODS': self.layers['WOODS'],
                'CROWNS': self.layers['CROWNS'], 'OUTPUT': 'TEMPORARY_OUTPUT'}, feedback=feedback)
        self.assertIn('host program was stopped', str(raised.exception))
        self.assertEqual((host_children(), leftovers()), ([], []))

    def test_chain_gives_the_styled_table_and_leaves_nothing_behind(self):
        context = dataobjects.createContext()
        result = processing.runAndLoadResults('quelvaris:woodedsharefromheightmodel', {
            'INPUT': self.selection, 'NHM_FOLDER': self.nhm, 'OUTPUT': 'TEMPORARY_OUTPUT',
            'WOODS': 'TEMPORARY_OUTPUT'}, context=context)
        share = QgsProject.instance().mapLayer(result['OUTPUT'])
        self.assertEqual(share.featureCount(), 41)
        self.assertEqual(share.renderer().type(), 'graduatedSymbol')
        woods = QgsProject.instance().mapLayersByName('Wooded areas')[0]
        self.assertEqual(features(woods.source()), features(self.layers['WOODS']))
        self.assertEqual(leftovers(), [])
        sources = [layer.source() for layer in context.temporaryLayerStore().mapLayers().values()]
        self.assertFalse([s for s in sources if 'quelvaris-' in s])

    def test_zip_installs_with_its_host_program(self):
        plugins = os.path.join(self.tmp, 'plugins')
        runpy.run_path('/usr/share/qgis/python/pyplugin_installer/unzip.py')['unzip'](
            os.path.join(BUILD, 'quelvaris-qgis.zip'), plugins)
        installed = runpy.run_path(os.path.join(plugins, 'quelvaris', 'host_program.py'))[
            'find_host_program']()
        self.assertEqual(installed, os.path.join(plugins, 'quelvaris', 'bin', 'quelvaris-host'))
        self.assertIn('usage', subprocess.run([installed, '--help'], capture_output=True,
                                              text=True).stdout)
        import qgis.utils
        self.assertIn('quelvaris', next(qgis.utils.findPlugins(plugins)))


if __name__ == '__main__':
    program = unittest.main(exit=False, verbosity=2)
    print('wooded areas checked against GEOS through GDAL: {} parcels, largest difference '
          '{:.6f} m2'.format(len(DIFFERENCES), max(DIFFERENCES, default=0)))
    APP.exitQgis()
    sys.exit(not program.result.wasSuccessful())
