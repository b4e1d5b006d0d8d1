"""The texts of the run's catalogue that the plugin shows or recognises, in its three languages.

They are copied from the library's catalogue (src/catalogue/Languages.cpp) and must stay
identical to it: the tests compare them. The names are the catalogue's identifiers.
"""

from qgis.core import QgsApplication

# identifier: (English, French, German)
TEXTS = {
    'msgNoFeatureSelected': ('No feature selected', 'Aucune entité sélectionnée',
                             'Kein Feature ausgewählt'),
    'msgAddingFields': ('adding fields', 'ajout des champs', 'Felder hinzufügen'),
    'msgMerging': ('merging shapes', 'combinaison des formes', 'Formen zusammenführen'),
    'msgDissolving': ('dissolving shapes', 'fusion des formes', 'Formen auflösen'),
    'msgIntersecting': ('intersecting shapes', 'intersection des formes', 'Formen verschneiden'),
    'msgUpdatingParcels': ('Calculating areas and updating parcel table',
                           'Calcul des surfaces et mise à jour de la table des parcelles',
                           'Flächen berechnen und Parzellentabelle aktualisieren'),
    'msgCleaningUp': ('cleaning up temporary tables', 'nettoyage des tables temporaires',
                      'temporäre Tabellen aufräumen'),
    'msgGeoprocessorError': ('Error in Geoprocessor', 'Erreur dans le Geoprocessor',
                             'Fehler im Geoprocessor'),
    'msgMerge': ('Merge', 'Combiner', 'Zusammenführen'),
    'msgDissolve': ('Dissolve', 'Fusionner', 'Auflösen'),
    'msgIntersect': ('Intersect', 'Intersecter', 'Verschneiden'),
    'msgInvalidShape': ('Invalid shape or invalid area', 'Forme ou surface non valide',
                        'Ungültige Form oder ungültige Fläche'),
    # Shown by the run itself; the plugin recognises them in the run's output, whatever the
    # language the run chose.
    'msgFileNotFound': ('File not found: "%s"', 'Le fichier "%s" n\'existe pas',
                        'Datei "%s" nicht gefunden'),
    'msgMissingFilesTitle': ('Missing files', 'Fichiers manquants', 'Fehlende Dateien'),
}

ENGLISH, FRENCH, GERMAN = 0, 1, 2


def language():
    """The language of QGIS's user interface: French and German as such, English otherwise."""
    code = (QgsApplication.locale() or '')[:2].lower()
    return {'fr': FRENCH, 'de': GERMAN}.get(code, ENGLISH)


def msg(identifier):
    return TEXTS[identifier][language()]


def all_languages(identifier):
    return TEXTS[identifier]
