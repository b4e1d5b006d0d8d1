"""One run of the host program quelvaris-host: its command line, its progress and its result.

The host types the parameters into the run's dialog (--set NAME=TEXT, in the dialog's order),
presses Calculate, prints every message box and the status bar's progress on standard error and
ends with "quelvaris returned N" on standard output. It reads numbers in the locale's format:
on Linux the plugin gives it the C number format; Windows' host reads the user's format, which
QLocale.system() reports too.
"""

import locale
import os
import queue
import re
import subprocess
import threading
import time
from collections import namedtuple

from qgis.PyQt.QtCore import QLocale
from qgis.core import QgsProcessingException

from .catalogue import FRENCH, all_languages, language

RESULT_LINE = re.compile(r'quelvaris returned (-?\d+)\s*$')
# "Tile 1 line 50, 1%" in any of the run's languages.
PROGRESS_LINE = re.compile(r'(\d+)\D+(\d+),\s*(\d+)\s*%$')
TERMINAL_CONTROL = re.compile(r'\x1b\[[0-9;]*[A-Za-z]')


class Cancelled(QgsProcessingException):
    pass


# What the user chose: the height model's folder (relative to the run folder, as the dialog
# takes it) and naming, and the six numbers, with the dialog's defaults.
HostSettings = namedtuple('HostSettings', [
    'nhm_dir', 'file_type', 'ascii_extension', 'prefix', 'separator', 'suffix',
    'min_tree_height', 'radius_slope', 'radius_intercept', 'circle_points', 'min_clearing_area',
    'min_wooded_area'], defaults=[0, '.txt', '', '', '_dhm_grid1', 2.0, 0.1117, 2.6894, 36, 100.0,
                                  200.0])


class HostResult:
    def __init__(self, status, messages):
        self.status = status
        self.messages = messages

    def missing_files(self):
        patterns = [re.compile('^' + re.escape(text).replace('%s', '.*') + '$')
                    for text in all_languages('msgFileNotFound')]
        return [m for m in self.messages if any(p.match(m) for p in patterns)]

    def asked_for_missing_files(self):
        titles = tuple(title + ':' for title in all_languages('msgMissingFilesTitle'))
        return any(m.startswith(titles) for m in self.messages)


def _number(value, decimal_point):
    text = '{:.10f}'.format(value).rstrip('0').rstrip('.')
    return text.replace('.', decimal_point)


def host_arguments(settings, extent, shapefile):
    """The command line after the program's name; extent is (xmin, xmax, ymin, ymax)."""
    point = QLocale.system().decimalPoint() if os.name == 'nt' else '.'
    edits = [
        ('edtMinTreeHeight', _number(settings.min_tree_height, point)),
        ('edTreeRadiusParam1', _number(settings.radius_slope, point)),
        ('edTreeRadiusParam0', _number(settings.radius_intercept, point)),
        ('edNumCirclePoints', str(int(settings.circle_points))),
        ('edtMinClearingArea', _number(settings.min_clearing_area, point)),
        ('edtMinWoodedArea', _number(settings.min_wooded_area, point)),
        ('edtNhmDir', settings.nhm_dir),
        ('edtNhmPrefix', settings.prefix),
        ('cmbNhmSeparator', settings.separator),
        ('edtNhmSuffix', settings.suffix),
        # Choosing the type resets the extension list, and disables it for float grids.
        ('rgNhmFiletype', str(settings.file_type)),
    ]
    if settings.file_type == 0:
        edits.append(('cmbNhmFileExt', settings.ascii_extension))
    arguments = ['--batch'] if os.name == 'nt' else []
    for name, text in edits:
        arguments += ['--set', '{}={}'.format(name, text)]
    return arguments + ['--'] + [str(int(v)) for v in extent] + [shapefile]


def host_environment():
    """On Linux the run's language follows QGIS's (French, otherwise German) and its numbers
    are read with a decimal point; Windows' host takes both from the system."""
    env = dict(os.environ)
    if os.name != 'nt':
        env.pop('LC_ALL', None)
        env['LC_MESSAGES'] = 'fr_CH.UTF-8' if language() == FRENCH else 'de_CH.UTF-8'
        env['LC_NUMERIC'] = 'C'
    return env


class HostRunner:
    """Runs the host, turning its output into Processing progress and log lines; the feedback's
    cancel stops it."""

    def __init__(self, program, feedback, readable=lambda line: line):
        self.program = program
        self.feedback = feedback
        self.readable = readable
        self.encoding = locale.getpreferredencoding(False) if os.name == 'nt' else 'utf-8'

    def run(self, arguments):
        self.feedback.pushCommandInfo(' '.join([self.program] + arguments))
        flags = getattr(subprocess, 'CREATE_NO_WINDOW', 0)
        try:
            process = subprocess.Popen([self.program] + arguments, stdin=subprocess.DEVNULL,
                                       stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                       env=host_environment(), creationflags=flags)
        except OSError as error:
            raise QgsProcessingException('{} could not be started: {}'.format(self.program, error))
        lines = queue.Queue()
        readers = [threading.Thread(target=self._read, args=(stream, name, lines), daemon=True)
                   for stream, name in ((process.stdout, 'out'), (process.stderr, 'err'))]
        for reader in readers:
            reader.start()
        status, messages = None, []
        while True:
            finished = process.poll() is not None
            if self.feedback.isCanceled() and not finished:
                self._stop(process)
                raise Cancelled('The run was cancelled; the host program was stopped.')
            if finished:
                for reader in readers:
                    reader.join()
            while not lines.empty():
                name, line = lines.get()
                status = self._take(name, line, messages, status)
            if finished:
                break
            time.sleep(0.05)
        # A small extent is done within one poll: a cancel given while its output was being
        # reported still counts, as the user would expect of the button.
        if self.feedback.isCanceled():
            raise Cancelled('The run was cancelled.')
        return self._result(process.returncode, status, messages)

    def _read(self, stream, name, lines):
        pending = b''
        for chunk in iter(lambda: stream.read1(4096), b''):
            pending += chunk
            *complete, pending = re.split(rb'[\r\n]', pending)
            for line in complete:
                lines.put((name, line))
        lines.put((name, pending))
        stream.close()

    def _take(self, name, raw, messages, status):
        line = self.readable(TERMINAL_CONTROL.sub('', raw.decode(self.encoding, 'replace')).strip())
        if not line:
            return status
        result = RESULT_LINE.match(line) if name == 'out' else None
        if result:
            return int(result.group(1))
        progress = PROGRESS_LINE.search(line) if name == 'err' else None
        if progress:
            self.feedback.setProgress(int(progress.group(3)))
            self.feedback.setProgressText(line)
        if name == 'err' and not progress:
            messages.append(line)
        self.feedback.pushConsoleInfo(line)
        return status

    @staticmethod
    def _stop(process):
        process.terminate()
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()

    def _result(self, code, status, messages):
        if code == 2 and status is None:
            # A command line the host refused: its first line says why.
            raise QgsProcessingException(messages[0] if messages else 'Invalid parameters.')
        if status is None:
            raise QgsProcessingException(
                '\n'.join(messages + ['The host program ended unexpectedly (exit code {}).'
                                      .format(code)]))
        return HostResult(status, messages)
