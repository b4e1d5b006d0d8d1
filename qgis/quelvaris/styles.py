"""The default look of the result layers: woods filled green, crowns as outlines, parcels
coloured by their wooded share."""

from qgis.core import (QgsFillSymbol, QgsGraduatedSymbolRenderer,
                       QgsProcessingLayerPostProcessorInterface, QgsRendererRange,
                       QgsSingleSymbolRenderer)

SHARE_CLASSES = [(0, 20, '#f7fcf5'), (20, 40, '#c7e9c0'), (40, 60, '#74c476'),
                 (60, 80, '#31a354'), (80, 100, '#006d2c')]


def woods_renderer():
    return QgsSingleSymbolRenderer(QgsFillSymbol.createSimple({
        'color': '76,175,80,150', 'outline_color': '27,94,32', 'outline_width': '0.2'}))


def crowns_renderer():
    return QgsSingleSymbolRenderer(QgsFillSymbol.createSimple({
        'style': 'no', 'outline_color': '0,77,26', 'outline_width': '0.15'}))


def share_renderer(field='boise_pct'):
    ranges = []
    for low, high, colour in SHARE_CLASSES:
        symbol = QgsFillSymbol.createSimple({
            'color': colour, 'outline_color': '90,90,90', 'outline_width': '0.3'})
        ranges.append(QgsRendererRange(low, high, symbol, '{} - {} %'.format(low, high)))
    return QgsGraduatedSymbolRenderer(field, ranges)


RENDERERS = {'woods': woods_renderer, 'crowns': crowns_renderer, 'share': share_renderer}


class LayerStyler(QgsProcessingLayerPostProcessorInterface):
    """Gives a result layer its look once Processing has loaded it."""

    def __init__(self, style):
        super().__init__()
        self.style = style

    def postProcessLayer(self, layer, context, feedback):
        layer.setRenderer(RENDERERS[self.style]())
        layer.triggerRepaint()


# Processing keeps only a pointer to a post-processor: ours must outlive the algorithm.
_STYLERS = {}


def attach_style(context, destination, style):
    if context.willLoadLayerOnCompletion(destination):
        if style not in _STYLERS:
            _STYLERS[style] = LayerStyler(style)
        styler = _STYLERS[style]
        context.layerToLoadOnCompletionDetails(destination).setPostProcessor(styler)
