"""The default look of the result layers: woods filled green, crowns as outlines, parcels
coloured by their wooded share."""

from qgis.core import (QgsFillSymbol, QgsGraduatedSymbolRenderer,
                       QgsProcessingLayerPostProcessorInterface, QgsRendererRange,
                       QgsSingleSymbolRenderer)

# Yellow to blue, so that the parcels stay apart from the green of the woods drawn over them.
SHARE_CLASSES = [(0, 20, '#ffffcc'), (20, 40, '#a1dab4'), (40, 60, '#41b6c4'),
                 (60, 80, '#2c7fb8'), (80, 100, '#253494')]


def woods_renderer():
    return QgsSingleSymbolRenderer(QgsFillSymbol.createSimple({
        'color': '34,139,34,120', 'outline_color': '0,80,0', 'outline_width': '0.3'}))


def crowns_renderer():
    return QgsSingleSymbolRenderer(QgsFillSymbol.createSimple({
        'style': 'no', 'outline_color': '0,60,0', 'outline_width': '0.1'}))


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
