#!/usr/bin/python3
"""The QGIS plugin in headless QGIS, on two generated tiles: a band of 300 rows across the
border of tiles 1091-11 and 1091-12, under a grid of parcels.

Environment: BUILD_DIR (default build), with quelvaris-host, nhmgen and quelvaris-qgis.zip.
"""

import glob
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
BUILD = os.path.abspath(os.environ.get('BUILD_DIR', os.path.join(ROOT, 'build')))
sys.path[:0] = [os.path.join(ROOT, 'qgis'), os.path.dirname(__file__),
                '/usr/share/qgis/python/plugins']
os.environ.setdefault('QT_QPA_PLATFORM', 'offscreen')

from qgis.core import (QgsApplication, QgsFeature, QgsGeometry, QgsProcessingException,  # noqa
                       QgsProcessingFeatureSourceDefinition, QgsProcessingFeedback,
                       QgsProcessingUtils, QgsPointXY, QgsProject, QgsRectangle,
                       QgsVectorLayer)

APP = QgsApplication([], False)
APP.initQgis()
from processing.core.Processing import Processing  # noqa: E402
Processing.initialize()
import processing  # noqa: E402
from processing.core.ProcessingConfig import ProcessingConfig  # noqa: E402
from processing.tools import dataobjects  # noqa: E402

import oracle  # noqa: E402
from quelvaris import catalogue  # noqa: E402
from quelvaris.plugin import QuelvarisPlugin  # noqa: E402
from quelvaris.styles import woods_renderer  # noqa: E402

LANGUAGES_CPP = os.path.join(ROOT, 'src', 'dialog', 'languages', 'Languages.cpp')
GERMAN = 2  # the run's language under a locale that is not French
FIGURES = {'parcels': 0, 'largest difference': 0.0}


def rectangle(x0, y0, x1, y1):
    return QgsGeometry.fromRect(QgsRectangle(x0, y0, x1, y1))


def parcel_layer(path, shapes):
    """A shapefile of parcels with a field "pid", made by QGIS's own writer."""
    layer = QgsVectorLayer('Polygon?crs=EPSG:21781&field=pid:integer', 'parcels', 'memory')
    for pid, shape in enumerate(shapes, 1):
        feature = QgsFeature(layer.fields())
        feature.setAttributes([pid])
        feature.setGeometry(shape)
        layer.dataProvider().addFeature(feature)
    processing.run('native:savefeatures', {'INPUT': layer, 'OUTPUT': path})
    return QgsVectorLayer(path, 'parcels', 'ogr')


def checksum(shapefile):
    base = os.path.splitext(shapefile)[0]
    sums = []
    for part in ('.shp', '.dbf'):
        with open(base + part, 'rb') as data:
            sums.append(hashlib.md5(data.read()).hexdigest())
    return sums


def leftovers():
    return glob.glob(os.path.join(QgsProcessingUtils.tempFolder(), 'quelvaris-*'))


class CancelAtFirstProgress(QgsProcessingFeedback):
    def pushConsoleInfo(self, text):
        self.cancel()


def host_children():
    names = []
    for stat in glob.glob('/proc/[0-9]*/stat'):
        try:
            with open(stat) as proc:
                fields = proc.read().split()
        except OSError:
            continue
        if fields[3] == str(os.getpid()):
            names.append(fields[1])
    return [name for name in names if 'quelvaris' in name]


class PluginTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp(prefix='qv-qgis-test-')
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
        shapes = [rectangle(x, y, x + 75, y + 60) for x in range(676650, 677400, 75)
                  for y in range(252540, 252780, 60)]
        shapes += [rectangle(676700, 252900, 676800, 253000), rectangle(672600, 252600, 672700,
                                                                        252700)]
        cls.parcels_path = os.path.join(cls.tmp, 'parcels.shp')
        cls.parcels = parcel_layer(cls.parcels_path, shapes)
        QgsProject.instance().addMapLayer(cls.parcels)
        cls.parcels.selectByIds([f.id() for f in cls.parcels.getFeatures() if f['pid'] <= 41])
        cls.selection = QgsProcessingFeatureSourceDefinition(cls.parcels.id(), True)
        cls.layers = processing.run('quelvaris:woodedareas', cls.arguments(
            WOODS=os.path.join(cls.tmp, 'woods.shp'), CROWNS=os.path.join(cls.tmp, 'crowns.shp')))

    @classmethod
    def tearDownClass(cls):
        QgsProject.instance().removeAllMapLayers()
        cls.plugin.unload()
        shutil.rmtree(cls.tmp, ignore_errors=True)

    @classmethod
    def arguments(cls, **changes):
        arguments = {'INPUT': cls.selection, 'NHM_FOLDER': cls.nhm,
                     'WOODS': 'TEMPORARY_OUTPUT', 'CROWNS': 'TEMPORARY_OUTPUT'}
        arguments.update(changes)
        return arguments

    def failure(self, feedback=None, **changes):
        with self.assertRaises(QgsProcessingException) as raised:
            processing.run('quelvaris:woodedareas', self.arguments(**changes), feedback=feedback)
        self.assertEqual(leftovers(), [])
        return str(raised.exception)

    def test_catalogue_texts_are_the_librarys(self):
        for identifier, texts in catalogue.TEXTS.items():
            self.assertEqual(texts, oracle.library_texts(LANGUAGES_CPP, identifier), identifier)

    def test_layers_are_the_host_programs_over_the_selected_parcels(self):
        shapes = os.path.join(self.tmp, 'host', 'shapes')
        os.makedirs(shapes)
        box = QgsRectangle()
        box.setMinimal()
        for feature in self.parcels.getSelectedFeatures():
            box.combineExtentWith(feature.geometry().boundingBox())
        extent = [box.xMinimum(), box.xMaximum(), box.yMinimum(), box.yMaximum()]
        subprocess.run([os.path.join(BUILD, 'quelvaris-host'), '--set', 'edtNhmDir=../nhm']
                       + [str(round(v)) for v in extent] + [os.path.join(shapes, 'p.shp')],
                       check=True, capture_output=True)
        for ours, host in (('WOODS', 'p_w1.shp'), ('CROWNS', 'p_w2.shp')):
            expected = oracle.features(os.path.join(shapes, host))
            self.assertGreater(len(expected), 5)
            self.assertEqual(oracle.features(self.layers[ours]), expected)
        self.assertTrue(os.path.exists(self.layers['WOODS'][:-4] + '.prj'))
        self.assertEqual(leftovers(), [])

    def test_cancel_stops_the_host_program(self):
        message = self.failure(CancelAtFirstProgress(), INPUT=self.parcels_path)
        self.assertIn('cancelled', message)
        self.assertEqual(host_children(), [])

    def test_run_errors_are_the_runs_own_messages(self):
        message = self.failure(NHM_FOLDER=os.path.join(self.tmp, 'nowhere'))
        not_found = catalogue.all_languages('msgFileNotFound')[GERMAN].split('%s')
        self.assertIn(not_found[1], message)
        self.assertIn(os.path.join(os.path.realpath(self.tmp), 'nowhere', '109111_dhm_grid1.txt'),
                      message)
        message = self.failure(RADIUS_SLOPE=0, RADIUS_INTERCEPT=-1)
        self.assertIn(oracle.library_texts(LANGUAGES_CPP, 'msgInvalidNumber')[GERMAN], message)

    def check_shares(self, result, woods, crowns, parcel_count):
        output = QgsVectorLayer(result, 'share', 'ogr')
        self.assertEqual(output.featureCount(), parcel_count)
        for feature in output.getFeatures():
            shape = feature.geometry()
            expected = oracle.wooded_area(bytes(shape.asWkb()), woods, crowns)
            difference = abs(feature['boise_m2'] - expected)
            self.assertLessEqual(difference, 0.5 + 1e-6 * shape.area(), feature['pid'])
            self.assertAlmostEqual(feature['boise_pct'], 100 * expected / shape.area(),
                                   delta=0.01)
            FIGURES['parcels'] += 1
            FIGURES['largest difference'] = max(FIGURES['largest difference'], difference)
        return {f['pid']: f['boise_pct'] for f in output.getFeatures()}

    def test_share_of_generated_parcels_is_the_union_of_woods_and_crowns(self):
        before = checksum(self.parcels_path)
        result = processing.run('quelvaris:woodedshare', {
            'INPUT': self.parcels_path, 'WOODS': self.layers['WOODS'],
            'CROWNS': self.layers['CROWNS'], 'OUTPUT': os.path.join(self.tmp, 'share.shp')})['OUTPUT']
        shares = self.check_shares(result, self.layers['WOODS'], self.layers['CROWNS'], 42)
        self.assertEqual(checksum(self.parcels_path), before)
        self.assertEqual(shares[41], 0)
        self.assertGreater(len([pid for pid in range(1, 41) if 0 < shares[pid] < 100]), 30)

    def test_share_counts_islands_and_crowns_in_woods_once(self):
        # Wood 1 keeps a clearing with an island; wood 2 has its clearing filled and its island
        # lies on it. Crowns: in the island, on the clearing's edge, on a wood's edge, outside
        # (two overlapping), within wood 2.
        x, y = 700000, 200000
        ring = rectangle(x, y, x + 100, y + 100).difference(
            rectangle(x + 30, y + 30, x + 70, y + 70))
        woods = [ring, rectangle(x + 40, y + 40, x + 60, y + 60), rectangle(x + 200, y, x + 300,
                 y + 100), rectangle(x + 240, y + 40, x + 260, y + 60)]
        crowns = [QgsGeometry.fromPointXY(p).buffer(r, 9) for p, r in (
            (QgsPointXY(x + 50, y + 50), 5), (QgsPointXY(x + 35, y + 50), 8),
            (QgsPointXY(x + 100, y + 50), 6), (QgsPointXY(x + 150, y + 50), 5),
            (QgsPointXY(x + 154, y + 53), 5), (QgsPointXY(x + 250, y + 80), 6))]
        paths = [os.path.join(self.tmp, name) for name in ('w.shp', 'c.shp', 'p.shp')]
        parcel_layer(paths[0], woods)
        parcel_layer(paths[1], crowns)
        parcel_layer(paths[2], [rectangle(x - 10, y - 10, x + 170, y + 110),
                                rectangle(x + 190, y - 10, x + 310, y + 110),
                                rectangle(x + 210, y + 10, x + 290, y + 90),
                                rectangle(x + 400, y, x + 500, y + 100)])
        result = processing.run('quelvaris:woodedshare', {
            'INPUT': paths[2], 'WOODS': paths[0], 'CROWNS': paths[1],
            'OUTPUT': os.path.join(self.tmp, 'crafted.shp')})['OUTPUT']
        shares = self.check_shares(result, paths[0], paths[1], 4)
        self.assertEqual((shares[3], shares[4]), (100, 0))

    def test_chain_gives_the_table_styled_and_leaves_nothing_behind(self):
        context = dataobjects.createContext()
        result = processing.runAndLoadResults('quelvaris:woodedsharefromheightmodel', {
            'INPUT': self.selection, 'NHM_FOLDER': self.nhm, 'OUTPUT': 'TEMPORARY_OUTPUT',
            'WOODS': 'TEMPORARY_OUTPUT'}, context=context)
        share = QgsProject.instance().mapLayer(result['OUTPUT'])
        self.assertEqual(share.featureCount(), 41)
        self.assertEqual(share.renderer().type(), 'graduatedSymbol')
        woods = QgsProject.instance().mapLayersByName('Wooded areas')[0]
        default = woods_renderer()
        self.assertEqual(woods.renderer().symbol().color(), default.symbol().color())
        self.assertEqual(oracle.features(woods.source()), oracle.features(self.layers['WOODS']))
        self.assertNotIn('CROWNS', result)
        self.assertEqual(leftovers(), [])
        sources = [layer.source() for layer in context.temporaryLayerStore().mapLayers().values()]
        self.assertFalse([s for s in sources if 'quelvaris-' in s])

    def test_zip_installs_with_its_host_program(self):
        import importlib.util
        spec = importlib.util.spec_from_file_location(
            'unzip', '/usr/share/qgis/python/pyplugin_installer/unzip.py')
        unzip = importlib.util.module_from_spec(spec)
        spec.loader.exec_module(unzip)
        plugins = os.path.join(self.tmp, 'plugins')
        unzip.unzip(os.path.join(BUILD, 'quelvaris-qgis.zip'), plugins)
        sys.path.insert(0, plugins)
        import qgis.utils
        try:
            installed = subprocess.run(
                [sys.executable, '-c', 'import sys; sys.path.insert(0, sys.argv[1]); '
                 'from quelvaris.host_program import find_host_program as f; print(f())',
                 plugins], capture_output=True, text=True, check=True).stdout.strip()
            self.assertEqual(installed, os.path.join(plugins, 'quelvaris', 'bin',
                                                     'quelvaris-host'))
            self.assertIn('usage', subprocess.run([installed, '--help'], capture_output=True,
                                                  text=True).stdout)
            self.assertIn('quelvaris', qgis.utils.findPlugins(plugins).__next__())
        finally:
            sys.path.remove(plugins)


if __name__ == '__main__':
    program = unittest.main(exit=False, verbosity=2)
    print('wooded areas checked against GEOS through GDAL: {parcels} parcels, largest '
          'difference {largest difference:.6f} m2'.format(**FIGURES))
    APP.exitQgis()
    sys.exit(not program.result.wasSuccessful())
