"""The texts of the library's catalogue that the plugin shows itself (the share's steps and
errors, a parcel layer without features), in the language of QGIS's user interface.

They come from the host program, which lists its catalogue (quelvaris-host --catalogue), asked
once per program and kept for the session. When no host program can be run the identifier is
shown instead: it still tells one step or error from another.
"""

import json
import subprocess

from qgis.core import QgsApplication, QgsProcessingException

ENGLISH, FRENCH, GERMAN = 'en', 'fr', 'de'

_catalogues = {}  # program -> {identifier: {language: text}}


def language():
    """The language of QGIS's user interface: French and German as such, English otherwise."""
    code = (QgsApplication.locale() or '')[:2].lower()
    return code if code in (FRENCH, GERMAN) else ENGLISH


def host_catalogue(program):
    """The catalogue of that host program; empty when it cannot be had (not kept, so that a
    program put right later is asked again)."""
    if program not in _catalogues:
        try:
            listing = subprocess.run(
                [program, '--catalogue'], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                stderr=subprocess.DEVNULL, timeout=30, check=True,
                creationflags=getattr(subprocess, 'CREATE_NO_WINDOW', 0))
            _catalogues[program] = json.loads(listing.stdout.decode('utf-8'))
        except (OSError, subprocess.SubprocessError, ValueError):
            return {}
    return _catalogues[program]


def msg(identifier):
    from .host_program import configured_program, find_host_program
    try:
        program = find_host_program(configured_program())
    except QgsProcessingException:
        return identifier
    texts = host_catalogue(program).get(identifier)
    return texts.get(language(), identifier) if isinstance(texts, dict) else identifier

