"""The canopy heights of the run's metres, from canopy rasters or from surface and terrain
rasters.

The run's cells are 1 m, centred on whole metres. A source cell belongs to the metre its centre
lies in (a centre on a metre's west or north edge belongs to that metre), and a metre takes the
maximum of the valid cells that belong to it: a tree top must never be lowered by averaging, and
a metre without a valid cell is no-data. The national 0.5 m grid puts 2 x 2 cells in each metre;
a 1 m grid on whole metres gives each metre its own cell; a 1 m grid shifted by a fraction of a
metre gives each metre the cell whose centre is nearest (a shift of at most half a metre, a
centre exactly half-way going to the metre east or south of it). Where several rasters cover a
metre (overlapping tiles), the maximum of all of them counts.

From surface and terrain models the canopy is surface - terrain on the surface's cells, before
the maximum: negative heights become 0, a cell is no-data where either model is. A terrain on
another grid than its surface is resampled onto the surface's cells (bilinear) first.
"""

import math
from concurrent.futures import ThreadPoolExecutor

import numpy
from osgeo import gdal

from .sources import TOLERANCE, PreparationError, Raster, common_frame


class HeightModel:
    def __init__(self, canopy=(), surface=(), terrain=()):
        if canopy and (surface or terrain):
            raise PreparationError('Give either canopy rasters or surface and terrain rasters, '
                                   'not both.')
        if not canopy and not (surface and terrain):
            raise PreparationError('Give canopy rasters, or both surface and terrain rasters.')
        self.canopy = [Raster(path) for path in canopy]
        self.surface = [Raster(path) for path in surface]
        self.terrain = [Raster(path) for path in terrain]
        self.frame = common_frame(self.canopy + self.surface + self.terrain)

    def coverage(self, box):
        """The part of box = (left, right, bottom, top) that the rasters' bounds cover, as a box,
        or None."""
        parts = [overlap(raster.bounds(), box) for raster in self.canopy or self.surface]
        parts = [part for part in parts if part]
        if not parts:
            return None
        return (min(p[0] for p in parts), max(p[1] for p in parts),
                min(p[2] for p in parts), max(p[3] for p in parts))

    def metres(self, left, top, cols, rows):
        """The heights of cols x rows metres whose north-west corner is (left, top), as float32
        with NaN for no-data."""
        heights = numpy.full((rows, cols), numpy.nan, dtype=numpy.float32)
        box = (left, left + cols, top - rows, top)
        for raster in self.canopy or self.surface:
            columns, lines = raster.cells_in(*box)
            if columns[0] >= columns[1] or lines[0] >= lines[1]:
                continue
            if self.surface:
                values = self._canopy(raster, columns, lines)
            else:
                values = raster.read(columns, lines)
            xs, ys = raster.centres(columns, lines)
            add_maxima(heights, values, numpy.floor(xs - left + TOLERANCE).astype(numpy.int64),
                       numpy.floor(top - ys + TOLERANCE).astype(numpy.int64))
        return heights

    def _canopy(self, surface, columns, lines):
        twin = next((t for t in self.terrain if t.same_grid(surface)), None)
        if twin is None:
            values = surface.read(columns, lines)
            ground = self._resampled_terrain(surface, columns, lines)
        else:
            # Decompressing the two windows is most of the preparation's time: the terrain's is
            # read on a second thread meanwhile (GDAL lets go of Python's lock while it reads,
            # and each dataset is used by one thread at a time).
            with ThreadPoolExecutor(1) as reader:
                pending = reader.submit(twin.read, columns, lines)
                values = surface.read(columns, lines)
                ground = pending.result()
        with numpy.errstate(invalid='ignore'):
            values -= ground
            numpy.maximum(values, 0, out=values)  # no-data stays NaN
        return values

    def _resampled_terrain(self, surface, columns, lines):
        left, top = surface.x0 + columns[0] * surface.dx, surface.y0 - lines[0] * surface.dy
        right, bottom = surface.x0 + columns[1] * surface.dx, surface.y0 - lines[1] * surface.dy
        # The rasters a bilinear kernel at the box's edge still reads from.
        reach = (left - 2, right + 2, bottom - 2, top + 2)
        near = [t.dataset for t in self.terrain if overlap(t.bounds(), reach)]
        if not near:
            return numpy.full((lines[1] - lines[0], columns[1] - columns[0]), numpy.nan,
                              dtype=numpy.float32)
        warped = gdal.Warp('', near, format='MEM', outputBounds=(left, bottom, right, top),
                           width=columns[1] - columns[0], height=lines[1] - lines[0],
                           resampleAlg='bilinear', outputType=gdal.GDT_Float32,
                           dstNodata=math.nan)
        return warped.GetRasterBand(1).ReadAsArray()


def add_maxima(heights, values, metre_columns, metre_rows):
    """Raises heights[r, c] to the maximum of the valid values whose metre is (r, c); the metre
    indices grow with the value's column and row. Runs of one metre are reduced whole, so a
    regular 2 x 2 grid costs two vectorised passes."""
    # The indices grow, so the values inside the heights are one block of rows and columns.
    cols = _inside(metre_columns, heights.shape[1])
    rows = _inside(metre_rows, heights.shape[0])
    values = values[rows, cols]
    metre_columns, metre_rows = metre_columns[cols], metre_rows[rows]
    if values.size == 0:
        return
    starts_c = run_starts(metre_columns)
    starts_r = run_starts(metre_rows)
    reduced = _pairs_max(values, starts_c, starts_r)
    if reduced is None:
        reduced = numpy.fmax.reduceat(numpy.fmax.reduceat(values, starts_c, axis=1), starts_r,
                                      axis=0)
    target = (slice(metre_rows[0], metre_rows[0] + len(starts_r)),
              slice(metre_columns[0], metre_columns[0] + len(starts_c)))
    if metre_rows[-1] - metre_rows[0] + 1 != len(starts_r) or \
            metre_columns[-1] - metre_columns[0] + 1 != len(starts_c):
        target = numpy.ix_(metre_rows[starts_r], metre_columns[starts_c])
    heights[target] = numpy.fmax(heights[target], reduced)


def _inside(indices, size):
    """The slice of the growing indices that lie in 0 .. size - 1."""
    return slice(int(numpy.searchsorted(indices, 0, 'left')),
                 int(numpy.searchsorted(indices, size, 'left')))


def _pairs_max(values, starts_c, starts_r):
    """The maxima of 2 x 2 cells, as the national 0.5 m grid has them on our metres, by one
    pass over strided views; None for any other layout."""
    rows, cols = values.shape
    if rows % 2 or cols % 2 or not (numpy.array_equal(starts_c, numpy.arange(0, cols, 2)) and
                                    numpy.array_equal(starts_r, numpy.arange(0, rows, 2))):
        return None
    return numpy.fmax(numpy.fmax(values[0::2, 0::2], values[0::2, 1::2]),
                      numpy.fmax(values[1::2, 0::2], values[1::2, 1::2]))


def run_starts(indices):
    return numpy.concatenate(([0], numpy.flatnonzero(numpy.diff(indices)) + 1))


def overlap(a, b):
    """The intersection of two boxes (left, right, bottom, top), or None when they do not
    share an area."""
    left, right = max(a[0], b[0]), min(a[1], b[1])
    bottom, top = max(a[2], b[2]), min(a[3], b[3])
    return (left, right, bottom, top) if left < right and bottom < top else None
