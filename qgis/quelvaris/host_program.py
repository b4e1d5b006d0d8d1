"""Where the host program quelvaris-host is found.

The plugin zip carries it in the plugin's "bin" folder; a path in the provider's settings or
the PATH serve when it is not there (a plugin installed from the sources, a newer build).
"""

import os
import shutil
import stat

from qgis.core import QgsProcessingException

PROGRAM = 'quelvaris-host.exe' if os.name == 'nt' else 'quelvaris-host'
# The Processing option of the provider that names the program.
SETTING = 'QUELVARIS_HOST'


def bundled_program():
    return os.path.join(os.path.dirname(__file__), 'bin', PROGRAM)


def configured_program():
    from processing.core.ProcessingConfig import ProcessingConfig
    return ProcessingConfig.getSetting(SETTING) or ''


def find_host_program(configured=''):
    """The host program to run: beside the plugin, else the configured one, else on PATH."""
    candidates = [bundled_program()]
    if configured:
        candidates.append(os.path.join(configured, PROGRAM) if os.path.isdir(configured)
                          else configured)
    for candidate in candidates:
        if os.path.isfile(candidate):
            return _executable(candidate)
    on_path = shutil.which(PROGRAM)
    if on_path:
        return on_path
    raise QgsProcessingException(
        'The program {} was found neither in {}, nor at the path set in the Processing '
        'options (Providers > Quelvaris), nor on PATH.'.format(
            PROGRAM, os.path.dirname(bundled_program())))


def _executable(path):
    # QGIS's "Install from ZIP" writes every file without the permission bits the zip holds.
    if os.name != 'nt' and not os.access(path, os.X_OK):
        try:
            os.chmod(path, os.stat(path).st_mode | stat.S_IXUSR | stat.S_IXGRP | stat.S_IXOTH)
        except OSError as error:
            raise QgsProcessingException(
                'The program {} cannot be made executable: {}'.format(path, error))
    return path
