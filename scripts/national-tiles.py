#!/usr/bin/python3
"""Surface and terrain models as the national 0.5 m tiles, from a canopy that nhmgen made.

usage: national-tiles.py NHM_DIR OUT_DIR [--year YEAR]

NHM_DIR holds float grids (.hdr and .flt) as `nhmgen --format flt` writes them (LV03, or LV95
with --frame lv95). The canopy is rounded to multiples of 1/64 m, so that terrain + canopy and
surface - terrain are exact in float32 and every way of giving it to a run yields the same
heights. OUT_DIR gets:

  lv03/   the rounded canopy tiles, named as in NHM_DIR
  lv95/   the same tiles in LV95 (the headers moved by 2,000,000 east and 1,000,000 north)
  swisssurface3d-raster_<year>_<E>-<N>_0.5_2056_5728.tif
  swissalti3d_<year>_<E>-<N>_0.5_2056_5728.tif
          Cloud Optimized GeoTIFFs of 2000 x 2000 cells of 0.5 m in LV95, one pair per square
          kilometre that the canopy reaches, over a synthetic rolling terrain

Of the four 0.5 m cells in each metre one carries the canopy height and the others are lower
(one of them is sometimes no-data), so that only the maximum of a metre's valid cells gives the
canopy back.
"""

import argparse
import glob
import math
import os

import numpy
from osgeo import gdal, osr

gdal.UseExceptions()
SHIFT = (2000000, 1000000)
NODATA = -9999.0
KM_CELLS = 2000


def read_header(path):
    with open(path, encoding='ascii') as text:
        return {line.split()[0].lower(): line.split()[1] for line in text if line.strip()}


def write_header(path, header, dx, dy):
    moved = dict(header, xllcorner=float(header['xllcorner']) + dx,
                 yllcorner=float(header['yllcorner']) + dy)
    with open(path, 'w', encoding='ascii', newline='\n') as text:
        for key, value in moved.items():
            text.write('{:<14}{}\n'.format(key, value))


class Canopy:
    """The rounded canopy tiles, as (west centre, north centre, heights with NaN)."""

    def __init__(self, nhm_dir, out_dir):
        self.tiles = []
        for hdr in sorted(glob.glob(os.path.join(nhm_dir, '*.hdr'))):
            header = read_header(hdr)
            cols, rows = int(header['ncols']), int(header['nrows'])
            heights = numpy.fromfile(hdr[:-4] + '.flt', '<f4').reshape(rows, cols)
            heights = numpy.where(heights == float(header['nodata_value']), numpy.float32(NODATA),
                                  numpy.round(heights * 64) / 64).astype('<f4')
            # nhmgen writes LV03 tiles, or LV95 ones with --frame lv95.
            lv95 = float(header['xllcorner']) >= SHIFT[0]
            to_lv03 = (-SHIFT[0], -SHIFT[1]) if lv95 else (0, 0)
            to_lv95 = (0, 0) if lv95 else SHIFT
            for folder, (dx, dy) in (('lv03', to_lv03), ('lv95', to_lv95)):
                os.makedirs(os.path.join(out_dir, folder), exist_ok=True)
                name = os.path.join(out_dir, folder, os.path.basename(hdr)[:-4])
                heights.tofile(name + '.flt')
                write_header(name + '.hdr', header, dx, dy)
            west = float(header['xllcorner']) + 0.5 + to_lv95[0]
            north = float(header['yllcorner']) + rows - 0.5 + to_lv95[1]
            self.tiles.append((west, north, numpy.where(heights == NODATA, numpy.nan, heights)))

    def kilometres(self):
        """(E, N) of every square kilometre (LV95, in km) that a tile reaches."""
        found = set()
        for west, north, heights in self.tiles:
            rows, cols = heights.shape
            for e in range(math.floor((west - 0.5) / 1000), math.ceil((west + cols - 0.5) / 1000)):
                for n in range(math.floor((north - rows + 0.5) / 1000),
                               math.ceil((north + 0.5) / 1000)):
                    found.add((e, n))
        return sorted(found)

    def metres(self, west, north, count):
        """count x count metres whose north-west one is centred on (west, north)."""
        out = numpy.full((count, count), numpy.nan, dtype=numpy.float32)
        for tile_west, tile_north, heights in self.tiles:
            c0, r0 = int(west - tile_west), int(tile_north - north)
            rows, cols = heights.shape
            a, b = max(c0, 0), min(c0 + count, cols)
            c, d = max(r0, 0), min(r0 + count, rows)
            if a < b and c < d:
                part = out[c - r0:d - r0, a - c0:b - c0]
                numpy.fmax(part, heights[c:d, a:b], out=part)
        return out


def cell_centres(e, n):
    xs = e * 1000 + 0.25 + 0.5 * numpy.arange(KM_CELLS)
    ys = n * 1000 + 1000 - 0.25 - 0.5 * numpy.arange(KM_CELLS)
    return numpy.meshgrid(xs, ys)


def terrain(xs, ys):
    """Rolling hills rising to the south-east, in multiples of 1/64 m."""
    height = (620 + 35 * numpy.sin(xs / 370.0) + 22 * numpy.cos(ys / 290.0)
              + 0.004 * (xs - 2600000) - 0.003 * (ys - 1200000))
    return (numpy.round(height * 64) / 64).astype(numpy.float32)


def surface(canopy, e, n):
    """Canopy on 0.5 m cells: metre (i, j) covers cells 2i-1, 2i and 2j-1, 2j of the square
    kilometre, so the first and last metres lie half in the neighbouring one."""
    metres = canopy.metres(e * 1000, n * 1000 + 1000, KM_CELLS // 2 + 1)
    cells = numpy.repeat(numpy.repeat(metres, 2, axis=0), 2, axis=1)[1:-1, 1:-1]
    xs, ys = cell_centres(e, n)
    mx, my = numpy.round(xs).astype(numpy.int64), numpy.round(ys).astype(numpy.int64)
    # Which of its four cells carries a metre's height, and how much lower the others are.
    corner = (mx * 7 + my * 13) % 4
    place = (xs > mx).astype(int) + 2 * (ys < my).astype(int)
    own = corner == place
    lowered = numpy.where(own, cells, cells - ((mx * 31 + my * 17) % 63 + 1) / 64.0)
    # In some metres the cell opposite the one that carries the height is no-data.
    opposite = place == 3 - corner
    lowered[opposite & ((mx * 5 + my * 3) % 11 == 0)] = numpy.nan
    return lowered


def write_cog(path, values, e, n):
    memory = gdal.GetDriverByName('MEM').Create('', KM_CELLS, KM_CELLS, 1, gdal.GDT_Float32)
    memory.SetGeoTransform((e * 1000, 0.5, 0, n * 1000 + 1000, 0, -0.5))
    srs = osr.SpatialReference()
    srs.ImportFromEPSG(2056)
    memory.SetSpatialRef(srs)
    band = memory.GetRasterBand(1)
    band.SetNoDataValue(NODATA)
    band.WriteArray(numpy.where(numpy.isnan(values), NODATA, values))
    gdal.Translate(path, memory, format='COG',
                   creationOptions=['COMPRESS=DEFLATE', 'PREDICTOR=YES'])


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[1])
    parser.add_argument('nhm_dir')
    parser.add_argument('out_dir')
    parser.add_argument('--year', type=int, default=2021)
    args = parser.parse_args()
    canopy = Canopy(args.nhm_dir, args.out_dir)
    for e, n in canopy.kilometres():
        xs, ys = cell_centres(e, n)
        ground = terrain(xs, ys)
        above = surface(canopy, e, n)
        name = '{}_{}-{}_0.5_2056_5728.tif'.format(args.year, e, n)
        write_cog(os.path.join(args.out_dir, 'swisssurface3d-raster_' + name), ground + above,
                  e, n)
        write_cog(os.path.join(args.out_dir, 'swissalti3d_' + name), ground, e, n)
        print('national-tiles: {} {}-{}'.format(args.year, e, n))


if __name__ == '__main__':
    main()
