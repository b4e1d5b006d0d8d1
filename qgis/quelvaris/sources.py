"""The rasters a height model is prepared from, as GDAL opens them: where they lie, in which
national frame, how fine their cells are, and their values window by window.

Only the two Swiss national frames are taken: the run's tile grid is laid on one of them, and a
raster in any other system would have to be reprojected, which moves every cell and so every
tree top. Cells coarser than a metre are refused: copied into several metres, one tree would
become several tree tops a metre apart.

Nothing here needs QGIS, so that the command line runs with Python and GDAL's bindings alone.
"""

import math

import numpy
from osgeo import gdal, osr

gdal.UseExceptions()
osr.UseExceptions()

FRAMES = {21781: 'CH1903 / LV03', 2056: 'CH1903+ / LV95'}
# Cell sizes and origins are compared to this, in metres: a GeoTIFF's transform is a double
# computed from decimal text, never exactly our half metres.
TOLERANCE = 1e-6


class PreparationError(Exception):
    """A height model that cannot be prepared; the text says why, for the user."""


_KNOWN = {}


def _known_frames():
    """The two frames as GDAL's systems, looked up in PROJ's database once, not per raster."""
    if not _KNOWN:
        for code in FRAMES:
            _KNOWN[code] = osr.SpatialReference()
            _KNOWN[code].ImportFromEPSG(code)
    return _KNOWN


def frame_of(srs, path):
    """The EPSG code (21781 or 2056) of a raster's coordinate system."""
    if srs is None:
        raise PreparationError('{}: the raster has no coordinate system; LV03 (EPSG:21781) or '
                               'LV95 (EPSG:2056) is needed.'.format(path))
    for code, known in _known_frames().items():
        if srs.IsSame(known, ['IGNORE_DATA_AXIS_TO_SRS_AXIS_MAPPING=YES']):
            return code
    try:
        srs.AutoIdentifyEPSG()
    except RuntimeError:
        pass  # a system without an EPSG code is named by its name
    code = srs.GetAuthorityCode(None)
    name = 'EPSG:{} ({})'.format(code, srs.GetName()) if code else srs.GetName()
    if code and int(code) in FRAMES:
        return int(code)
    raise PreparationError('{}: the raster is in {}; only LV03 (EPSG:21781) and LV95 '
                           '(EPSG:2056) are taken.'.format(path, name))


class Raster:
    """One raster: its first band, north up, cells of at most a metre."""

    def __init__(self, path):
        self.path = str(path)
        try:
            driver = gdal.IdentifyDriverEx(self.path, gdal.OF_RASTER)
            # A window's deflated GeoTIFF blocks are then decompressed on every core: about
            # twice as fast on two.
            threads = ['NUM_THREADS=ALL_CPUS'] if driver and driver.ShortName == 'GTiff' else []
            self.dataset = gdal.OpenEx(self.path, gdal.OF_RASTER, open_options=threads)
        except RuntimeError as error:
            raise PreparationError('{}: the raster cannot be read: {}'.format(self.path, error))
        x0, dx, rx, y0, ry, dy = self.dataset.GetGeoTransform()
        if rx or ry or dx <= 0 or dy >= 0:
            raise PreparationError('{}: the raster is rotated or not north up.'.format(self.path))
        self.x0, self.y0, self.dx, self.dy = x0, y0, dx, -dy
        self.cols, self.rows = self.dataset.RasterXSize, self.dataset.RasterYSize
        self.frame = frame_of(self.dataset.GetSpatialRef(), self.path)
        if max(self.dx, self.dy) > 1 + TOLERANCE:
            raise PreparationError(
                '{}: its cells are {:g} x {:g} m; the height model needs cells of at most 1 m '
                '(coarser cells would turn one tree into several tree tops).'.format(
                    self.path, self.dx, self.dy))
        self.band = self.dataset.GetRasterBand(1)
        self.nodata = self.band.GetNoDataValue()

    def bounds(self):
        """(left, right, bottom, top) of the raster's cells."""
        return (self.x0, self.x0 + self.cols * self.dx, self.y0 - self.rows * self.dy, self.y0)

    def same_grid(self, other):
        return (self.cols, self.rows) == (other.cols, other.rows) and all(
            abs(a - b) < TOLERANCE for a, b in zip((self.x0, self.y0, self.dx, self.dy),
                                                    (other.x0, other.y0, other.dx, other.dy)))

    def cells_in(self, left, right, bottom, top):
        """The columns and rows (start, stop) whose cell centres lie in the box, a centre on the
        west or north edge counting in."""
        def span(low, high, count):
            start = math.ceil(low - 0.5 - TOLERANCE)
            stop = math.ceil(high - 0.5 - TOLERANCE)
            return max(start, 0), min(max(stop, 0), count)
        columns = span((left - self.x0) / self.dx, (right - self.x0) / self.dx, self.cols)
        rows = span((self.y0 - top) / self.dy, (self.y0 - bottom) / self.dy, self.rows)
        return columns, rows

    def read(self, columns, rows):
        """The cells of columns x rows as float32, no-data as NaN."""
        values = self.band.ReadAsArray(columns[0], rows[0], columns[1] - columns[0],
                                       rows[1] - rows[0], buf_type=gdal.GDT_Float32)
        if self.nodata is not None and not math.isnan(self.nodata):
            values[values == numpy.float32(self.nodata)] = numpy.nan
        return values

    def centres(self, columns, rows):
        """The x of the centres of columns and the y of the centres of rows."""
        xs = self.x0 + (numpy.arange(*columns) + 0.5) * self.dx
        ys = self.y0 - (numpy.arange(*rows) + 0.5) * self.dy
        return xs, ys


def common_frame(rasters):
    """The one frame of all rasters given; mixed frames are refused, naming one raster of each."""
    first = {}
    for raster in rasters:
        first.setdefault(raster.frame, raster.path)
    if len(first) > 1:
        raise PreparationError('The rasters mix frames: {}. Give them all in one frame.'.format(
            ', '.join('{} is {} (EPSG:{})'.format(path, FRAMES[code], code)
                      for code, path in first.items())))
    return next(iter(first))
