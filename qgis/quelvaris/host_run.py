"""One run of the host program quelvaris-host: its command line, its events and its result.

The host types the parameters into the run's dialog (--set NAME=TEXT, in the dialog's order) and
presses Calculate. With --events it tells the run on standard output, one JSON object a line:
progress as numbers, each message with its catalogue identifier, the missing-tiles question with
the answer given, the summary and, last, the result. Nothing here reads the texts meant for
people (standard error keeps them, and is shown only when the host ends without a result). The
host reads numbers in the locale's format: on Linux the plugin gives it the C number format;
Windows' host reads the user's format, which QLocale.system() reports too.
"""

import collections
import json
import locale
import os
import queue
import subprocess
import threading
import time

from qgis.PyQt.QtCore import QLocale
from qgis.core import QgsProcessingException

from .catalogue import FRENCH, language

# What standard error's last lines may add to the report of a host that ended without a result.
STDERR_LINES = 20


class Cancelled(QgsProcessingException):
    pass


# What the user chose: the height model's folder (relative to the run folder, as the dialog
# takes it) and naming, and the six numbers, with the dialog's defaults.
HostSettings = collections.namedtuple('HostSettings', [
    'nhm_dir', 'file_type', 'ascii_extension', 'prefix', 'separator', 'suffix',
    'min_tree_height', 'radius_slope', 'radius_intercept', 'circle_points', 'min_clearing_area',
    'min_wooded_area'], defaults=[0, '.txt', '', '', '_dhm_grid1', 2.0, 0.1117, 2.6894, 36, 100.0,
                                  200.0])


class HostResult:
    """What a run returned, and the messages and questions it showed (events as dictionaries)."""

    def __init__(self, status, messages, prompts):
        self.status = status
        self.messages = messages
        self.prompts = prompts

    def texts(self):
        return [m['text'] for m in self.messages]

    def missing_files(self):
        return [m['text'] for m in self.messages if m.get('id') == 'msgFileNotFound']

    def asked_for_missing_files(self):
        return any(p.get('id') == 'msgMissingFilesPrompt' for p in self.prompts)


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
    arguments = ['--events']
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


def _readable_event(event, readable):
    """The event with its texts and string arguments as the user knows the paths in them."""
    for key in ('text', 'title'):
        if isinstance(event.get(key), str):
            event[key] = readable(event[key])
    if isinstance(event.get('args'), list):
        event['args'] = [readable(a) if isinstance(a, str) else a for a in event['args']]
    return event


class HostRunner:
    """Runs the host, turning its events into Processing progress and log lines; the feedback's
    cancel stops it."""

    def __init__(self, program, feedback, readable=lambda text: text, what='run'):
        self.program = program
        self.feedback = feedback
        self.readable = readable
        self.what = what  # how the cancel names what was stopped

    def run(self, arguments):
        self.feedback.pushCommandInfo(' '.join([self.program] + arguments))
        flags = getattr(subprocess, 'CREATE_NO_WINDOW', 0)
        try:
            process = subprocess.Popen([self.program] + arguments, stdin=subprocess.DEVNULL,
                                       stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                       env=host_environment(), creationflags=flags)
        except OSError as error:
            raise QgsProcessingException('{} could not be started: {}'.format(self.program, error))
        events = queue.Queue()
        errors = collections.deque(maxlen=STDERR_LINES)
        readers = [threading.Thread(target=target, args=(stream, sink), daemon=True)
                   for target, stream, sink in ((_read_events, process.stdout, events),
                                                (_read_lines, process.stderr, errors))]
        for reader in readers:
            reader.start()
        report = _Report()
        while True:
            finished = process.poll() is not None
            if self.feedback.isCanceled() and not finished:
                _stop(process)
                raise Cancelled('The {} was cancelled; the host program was stopped.'.format(self.what))
            if finished:
                for reader in readers:
                    reader.join()
            while not events.empty():
                self._take(_readable_event(events.get(), self.readable), report)
            if finished:
                break
            time.sleep(0.05)
        # A small extent is done within one poll: a cancel given while its output was being
        # reported still counts, as the user would expect of the button.
        if self.feedback.isCanceled():
            raise Cancelled('The {} was cancelled.'.format(self.what))
        return report.result(process.returncode, errors)

    def _take(self, event, report):
        kind = event.get('event')
        if kind == 'progress':
            self.feedback.setProgress(int(event['percent']))
            if 'text' in event:  # the share's progress has numbers only
                self.feedback.setProgressText(event['text'])
        elif kind in ('message', 'prompt'):
            text = event['text']
            if kind == 'prompt':
                text = '{}: {} -> {}'.format(event['title'], text, event['answer'])
            self.feedback.pushInfo(text)
        elif kind in ('info', 'status'):
            self.feedback.pushConsoleInfo(event['text'])
        report.take(event)


class _Report:
    """The events that decide the run's outcome."""

    def __init__(self):
        self.status, self.usage = None, None
        self.messages, self.prompts = [], []

    def take(self, event):
        kind = event.get('event')
        if kind == 'result':
            self.status = int(event['status'])
        elif kind in ('usage', 'failure'):
            self.usage = event['text']
        elif kind == 'message':
            self.messages.append(event)
        elif kind == 'prompt':
            self.prompts.append(event)

    def result(self, code, errors):
        if self.status is not None:
            return HostResult(self.status, self.messages, self.prompts)
        if self.usage is not None:
            # A command line the host refused, or a failure outside the run: it says why.
            raise QgsProcessingException(self.usage)
        raise QgsProcessingException('\n'.join(
            [m['text'] for m in self.messages] + list(errors)
            + ['The host program ended unexpectedly (exit code {}).'.format(code)]))


def _read_events(stream, events):
    for line in stream:
        try:
            event = json.loads(line.decode('utf-8'))
        except ValueError:
            continue  # not an event: a line some library wrote past the host's events
        if isinstance(event, dict):
            events.put(event)
    stream.close()


def _read_lines(stream, lines):
    # The texts for people: in the code page of Windows there, UTF-8 elsewhere.
    encoding = locale.getpreferredencoding(False) if os.name == 'nt' else 'utf-8'
    for line in stream:
        text = line.decode(encoding, 'replace').strip()
        if text:
            lines.append(text)
    stream.close()


def _stop(process):
    process.terminate()
    try:
        process.wait(5)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
