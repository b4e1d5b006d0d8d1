"""The wooded cover of parcels: woods and crowns merged, dissolved, intersected with each parcel.

The cover is the union of the wooded areas and the crown circles: a crown over a wood, or an
island lying in a filled clearing of another wood, counts once. A plain dissolve of all woods and
crowns of one generated tile (440 woods, 103,000 crowns) costs one and a half to three minutes
of GEOS time, because the cost of a union grows faster than the number of shapes it joins, and the
large woods take part in every step of it. Two things make it cheap:

- a crown that lies within one wood adds nothing to the cover, and about two thirds do: they
  are dropped while merging, tested by GEOS against the woods the spatial index finds;
- the union is built for square blocks of BLOCK_SIZE metres, each from the shapes cut to the
  block, so every union is small. The blocks do not overlap, so the areas found in them add up.

Only the blocks that some parcel touches are dissolved. A parcel then takes each of its blocks'
cover whole, when it contains the block, or cut by its own shape. On one generated tile under a
grid of parcels this takes less than an eighth of the plain dissolve's time, and so it does for
one parcel covering the whole tile (bench/qgis_share.py).
All geometry is GEOS's, through QgsGeometry; the areas are planar, in the layer's units.
"""

import math

from qgis.core import (QgsFeatureRequest, QgsGeometry, QgsProcessingException, QgsRectangle,
                       QgsSpatialIndex)

from .catalogue import msg

BLOCK_SIZE = 250.0


def geoprocessor_error(step, geometry_error, where):
    return '{}: {}\n{} ({}, near {:.1f} {:.1f})'.format(
        msg('msgGeoprocessorError'), msg(step), msg('msgInvalidShape'), geometry_error,
        where.x(), where.y())


def _checked(result, step, where):
    if result.isNull() and result.lastError():
        raise QgsProcessingException(geoprocessor_error(step, result.lastError(), where))
    return result


def _prepared(geometry):
    # The engine works on its own copy; arguments passed to it as constGet() must be held by a
    # live QgsGeometry for the call.
    engine = QgsGeometry.createGeometryEngine(geometry.constGet())
    engine.prepareGeometry()
    return engine


class WoodedCover:
    def __init__(self, block_size=BLOCK_SIZE):
        self.block_size = block_size
        self.pieces = []  # the woods first, then the crowns that no single wood contains
        self.index = QgsSpatialIndex()
        self.wood_count = 0
        self.dropped_crowns = 0
        self.blocks = {}  # (column, row) -> the cover within that block
        self._wood_engines = {}

    # Merging

    def add_woods(self, features, feedback):
        for feature in features:
            if feedback.isCanceled():
                return
            self._add(feature.geometry())
        self.wood_count = len(self.pieces)

    def add_crowns(self, features, feedback):
        for feature in features:
            if feedback.isCanceled():
                return
            crown = feature.geometry()
            if self._within_one_wood(crown):
                self.dropped_crowns += 1
            else:
                self._add(crown)

    def _add(self, geometry):
        if geometry.isEmpty():
            return
        self.index.addFeature(len(self.pieces), geometry.boundingBox())
        self.pieces.append(geometry)

    def _within_one_wood(self, crown):
        for i in self.index.intersects(crown.boundingBox()):
            if i >= self.wood_count:
                continue
            engine = self._wood_engines.get(i)
            if engine is None:
                engine = self._wood_engines[i] = _prepared(self.pieces[i])
            if engine.contains(crown.constGet()):
                return True
        return False

    # Blocks

    def block_keys(self, geometry, engine=None):
        """The blocks that geometry reaches into."""
        box, size = geometry.boundingBox(), self.block_size
        engine = engine or _prepared(geometry)
        keys = []
        for column in range(math.floor(box.xMinimum() / size), math.ceil(box.xMaximum() / size)):
            for row in range(math.floor(box.yMinimum() / size), math.ceil(box.yMaximum() / size)):
                block = self._block_geometry((column, row))
                if engine.intersects(block.constGet()):
                    keys.append((column, row))
        return keys

    def _block_rect(self, key):
        size = self.block_size
        return QgsRectangle(key[0] * size, key[1] * size, (key[0] + 1) * size, (key[1] + 1) * size)

    def _block_geometry(self, key):
        return QgsGeometry.fromRect(self._block_rect(key))

    # Dissolving

    def dissolve(self, keys, feedback, progress=lambda done: None):
        for done, key in enumerate(keys):
            if feedback.isCanceled():
                return
            progress(done)
            if key in self.blocks:
                continue
            rect = self._block_rect(key)
            block = QgsGeometry.fromRect(rect)
            parts = []
            for i in self.index.intersects(rect):
                piece = self.pieces[i]
                if not rect.contains(piece.boundingBox()):
                    piece = _checked(piece.intersection(block), 'msgDissolve', rect.center())
                if piece.area() > 0:  # not a mere touch along the block's edge
                    parts.append(piece)
            if parts:
                self.blocks[key] = _checked(QgsGeometry.unaryUnion(parts), 'msgDissolve',
                                            rect.center())

    # Intersecting

    def wooded_area(self, parcel):
        """The area of the cover within parcel; its blocks must have been dissolved."""
        engine = _prepared(parcel)
        area = 0.0
        for key in self.block_keys(parcel, engine):
            cover = self.blocks.get(key)
            if cover is None:
                continue
            block = self._block_geometry(key)
            if engine.contains(block.constGet()):
                area += cover.area()
            else:
                where = self._block_rect(key).center()
                area += _checked(cover.intersection(parcel), 'msgIntersect', where).area()
        return area


def read_request(crs, context, extent=None):
    """Geometries only, in the parcels' coordinate system, within their extent."""
    request = QgsFeatureRequest().setNoAttributes()
    request.setDestinationCrs(crs, context.transformContext())
    if extent is not None:
        request.setFilterRect(extent)
    return request
