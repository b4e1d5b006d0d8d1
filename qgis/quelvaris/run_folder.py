"""The private folder in which the host program runs.

The run writes its layers and its settings file beside the shapefile it is given and looks for
the height model in a folder named relative to the parent of the shapefile's folder. So each run
gets a fresh folder with a "shapes" folder inside, the height-model folder is given relative to
it, and the whole folder goes when the algorithm ends, whether the run worked or not.
"""

import os
import shutil
import tempfile

from qgis.core import QgsProcessingException, QgsProcessingUtils


class RunFolder:
    def __init__(self, nhm_folder=None):
        """nhm_folder None: the height model is prepared in the run folder's "nhm"."""
        nhm = os.path.realpath(nhm_folder or QgsProcessingUtils.tempFolder())
        # Symbolic links resolved, so that the ".." of the relative path walk the same way.
        base = os.path.realpath(QgsProcessingUtils.tempFolder())
        if os.path.splitdrive(base)[0].lower() != os.path.splitdrive(nhm)[0].lower():
            # No relative path leads to another Windows drive: run beside the height model.
            base = nhm
        try:
            self.path = tempfile.mkdtemp(prefix='quelvaris-', dir=base)
            os.mkdir(os.path.join(self.path, 'shapes'))
            if nhm_folder is None:
                nhm = os.path.join(self.path, 'nhm')
                os.mkdir(nhm)
        except OSError as error:
            raise QgsProcessingException(
                'No working folder could be created in {}: {}'.format(base, error))
        self.nhm_dir = os.path.relpath(nhm, self.path)
        self._nhm = nhm
        self.shapefile = os.path.join(self.path, 'shapes', 'parcels.shp')
        self.woods = os.path.join(self.path, 'shapes', 'parcels_w1.shp')
        self.crowns = os.path.join(self.path, 'shapes', 'parcels_w2.shp')

    def readable(self, line):
        """The run's line with the height-model folder as the user knows it."""
        return line.replace(os.path.join(self.path, self.nhm_dir), self._nhm)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        shutil.rmtree(self.path, ignore_errors=True)
        return False
