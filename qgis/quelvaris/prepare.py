"""A tile folder for one run, prepared from canopy rasters or from surface and terrain rasters.

The host program says which tiles an extent needs and where they lie (quelvaris-host --tiles),
so that the sheet grid is known in one place only. Each tile is written as a float grid (.hdr
and .flt) holding only the part of the tile that the run reads: the rows from the extent's top
to its bottom and the columns from its west to its east side (the run's tree-top test looks two
cells around a cell, but only around cells at least two inside the extent), cut further to what
the rasters cover. The run reads the rest of the tile as no-data, as it reads rows north of or
columns beside a tile file's data, and never looks at it. A tile that no raster covers gets a
file of one no-data cell at the extent's north-west corner in the tile, so that the run does not
take it for a missing file.

The tile is computed and written in strips of rows, so that memory stays bounded whatever the
rasters (a virtual raster of a whole canton is read only where the run needs it).
"""

import json
import math
import os
import subprocess

import numpy

from .sources import FRAMES, PreparationError

NODATA = -9999.0
STRIP_ROWS = 256
# The names of the prepared tiles: the dialog's default naming, as float grids.
NAMING = [('edtNhmPrefix', ''), ('cmbNhmSeparator', ''), ('edtNhmSuffix', '_dhm_grid1')]
FRAME_CODES = {'LV03': 21781, 'LV95': 2056}


def tile_layout(program, extent):
    """The frame (EPSG code) and the tiles of extent = (xmin, xmax, ymin, ymax), as the host
    program lays them out for float grids named as NAMING."""
    naming = ['--set', 'rgNhmFiletype=1'] + [part for name, value in NAMING
                                             for part in ('--set', name + '=' + value)]
    command = [program, '--tiles'] + naming + ['--'] + [str(int(v)) for v in extent]
    try:
        # The layout is JSON, always UTF-8, whatever the system's code page.
        done = subprocess.run(command, stdin=subprocess.DEVNULL, capture_output=True,
                              encoding='utf-8', errors='replace',
                              creationflags=getattr(subprocess, 'CREATE_NO_WINDOW', 0))
        layout = json.loads(done.stdout)
    except OSError as error:
        raise PreparationError('{} could not be started: {}'.format(program, error))
    except ValueError:
        raise PreparationError('{} gave no tile layout: {}'.format(program, done.stderr.strip()))
    if 'error' in layout:
        raise PreparationError(layout['error'])
    return FRAME_CODES[layout['frame']], layout['tiles']


def prepare_run(program, model, extent, folder, progress=lambda fraction: None):
    """Writes the tiles of extent (in the rasters' frame) into folder; returns the number of
    tiles and of those with data."""
    frame, layout = tile_layout(program, extent)
    if frame != model.frame:
        raise PreparationError('The extent x {} - {}, y {} - {} lies in {}, the rasters in '
                               '{}.'.format(*extent, FRAMES.get(frame, frame),
                                            FRAMES[model.frame]))
    return len(layout), prepare_tiles(model, layout, extent, folder, progress)


class TileWindow:
    """The metres of one tile that a run over extent reads: columns and rows as [start, stop)
    of the tile's own cells, column 0 centred on west and row 0 on north."""

    def __init__(self, tile, extent):
        self.stem = tile['stem']
        self.west = tile['xllcorner'] + 0.5
        self.north = tile['yllcorner'] + tile['nrows'] - 0.5
        xmin, xmax, ymin, ymax = extent
        self.columns = clamp(round(xmin - self.west), round(xmax - self.west), tile['ncols'])
        self.rows = clamp(round(self.north - ymax), round(self.north - ymin), tile['nrows'])

    def box(self):
        """(left, right, bottom, top) of the window's metres."""
        return (self.west + self.columns[0] - 0.5, self.west + self.columns[1] - 0.5,
                self.north - self.rows[1] + 0.5, self.north - self.rows[0] + 0.5)

    def cut_to(self, covered):
        """Narrows the window to the metres that the box covered touches; False when none."""
        if covered is None:
            return False
        left, right, bottom, top = covered
        origin_x, origin_y = self.west - 0.5, self.north + 0.5
        columns = (math.floor(left - origin_x), math.ceil(right - origin_x))
        rows = (math.floor(origin_y - top), math.ceil(origin_y - bottom))
        self.columns = (max(self.columns[0], columns[0]), min(self.columns[1], columns[1]))
        self.rows = (max(self.rows[0], rows[0]), min(self.rows[1], rows[1]))
        return self.columns[0] < self.columns[1] and self.rows[0] < self.rows[1]


def clamp(first, last, count):
    """[start, stop) of first..last (inclusive) within 0..count-1."""
    return max(first, 0), min(last, count - 1) + 1


def prepare_tiles(model, layout, extent, folder, progress=lambda fraction: None):
    """Writes the tiles of layout that a run over extent needs into folder; returns how many
    carry data. progress gets the share done after every strip; what it raises ends the
    preparation."""
    box = (extent[0] - 0.5, extent[1] + 0.5, extent[2] - 0.5, extent[3] + 0.5)
    if model.coverage(box) is None:
        raise PreparationError('No raster covers the extent x {} - {}, y {} - {}.'.format(
            *[int(v) for v in extent]))
    os.makedirs(folder, exist_ok=True)
    with_data = 0
    for number, tile in enumerate(layout):
        window = TileWindow(tile, extent)
        path = os.path.join(folder, window.stem)
        # The run skips the file rows north of the extent, which a file starting there lacks.
        first = (window.west + window.columns[0], window.north - window.rows[0])
        if window.cut_to(model.coverage(window.box())):
            write_tile(model, window, path,
                       lambda part, n=number: progress((n + part) / len(layout)))
            with_data += 1
        else:
            write_grid(path, *first, 1, 1, [numpy.full((1, 1), numpy.nan)])
        progress((number + 1) / len(layout))
    return with_data


def write_tile(model, window, path, progress):
    cols = window.columns[1] - window.columns[0]
    left = window.west + window.columns[0] - 0.5
    rows = window.rows[1] - window.rows[0]

    def strips():
        for first in range(window.rows[0], window.rows[1], STRIP_ROWS):
            count = min(STRIP_ROWS, window.rows[1] - first)
            yield model.metres(left, window.north - first + 0.5, cols, count)
            progress((first + count - window.rows[0]) / rows)
    write_grid(path, window.west + window.columns[0], window.north - window.rows[0], cols, rows,
               strips())


def write_grid(path, first_x, first_y, cols, rows, strips):
    """A float grid path.hdr/.flt of cols x rows metres, the first centred on (first_x,
    first_y), from strips of rows north to south (NaN for no-data)."""
    with open(path + '.flt', 'wb') as data:
        for strip in strips:
            numpy.where(numpy.isnan(strip), NODATA, strip).astype('<f4').tofile(data)
    # Python's formatting never follows the locale: the decimal point is always a point.
    header = [('ncols', cols), ('nrows', rows), ('xllcorner', first_x - 0.5),
              ('yllcorner', first_y - rows + 0.5), ('cellsize', 1), ('NODATA_value', NODATA),
              ('byteorder', 'LSBFIRST')]
    with open(path + '.hdr', 'w', encoding='ascii', newline='\n') as text:
        text.writelines('{:<14}{}\n'.format(key, number(value)) for key, value in header)


def number(value):
    return ('{:.6f}'.format(value).rstrip('0').rstrip('.') if isinstance(value, float)
            else str(value))
