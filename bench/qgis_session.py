"""Headless QGIS with Processing and this tree's plugin, for the benchmarks of the plugin.

Importing it starts QGIS; `plugin_session()` registers the provider with the build's host
program and is left when the benchmark ends.
"""

import contextlib
import os
import sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..'))
BUILD = os.path.abspath(os.environ.get('BUILD_DIR', os.path.join(ROOT, 'build')))
HOST = os.path.join(BUILD, 'quelvaris-host')
sys.path[:0] = [os.path.join(ROOT, 'qgis'), '/usr/share/qgis/python/plugins']
os.environ.setdefault('QT_QPA_PLATFORM', 'offscreen')

from qgis.core import QgsApplication  # noqa: E402

APP = QgsApplication([], False)
APP.initQgis()
from processing.core.Processing import Processing  # noqa: E402
Processing.initialize()
from processing.core.ProcessingConfig import ProcessingConfig  # noqa: E402
from quelvaris.plugin import QuelvarisPlugin  # noqa: E402


@contextlib.contextmanager
def plugin_session():
    plugin = QuelvarisPlugin()
    plugin.initProcessing()
    ProcessingConfig.setSettingValue('QUELVARIS_HOST', HOST)
    try:
        yield
    finally:
        plugin.unload()
