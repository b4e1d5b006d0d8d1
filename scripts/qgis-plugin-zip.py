#!/usr/bin/python3
"""Packs the QGIS plugin (qgis/quelvaris) with a host program into a zip that QGIS's
"Install from ZIP" installs: quelvaris/ with the plugin's files and bin/<program>.

usage: qgis-plugin-zip.py ZIP HOST_PROGRAM
"""

import os
import stat
import sys
import zipfile

root = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'qgis', 'quelvaris')


def main(target, program):
    if not os.path.isfile(program):
        sys.exit('qgis-plugin-zip: {} is missing: build it first'.format(program))
    os.makedirs(os.path.dirname(os.path.abspath(target)), exist_ok=True)
    with zipfile.ZipFile(target + '.tmp', 'w', zipfile.ZIP_DEFLATED) as zf:
        for folder, dirs, files in os.walk(root):
            dirs[:] = sorted(d for d in dirs if d not in ('__pycache__', 'bin'))
            for name in sorted(files):
                if name.endswith('.pyc'):
                    continue
                path = os.path.join(folder, name)
                zf.write(path, os.path.join('quelvaris', os.path.relpath(path, root)))
        entry = zipfile.ZipInfo.from_file(program, 'quelvaris/bin/' + os.path.basename(program))
        entry.external_attr = (stat.S_IFREG | 0o755) << 16
        entry.compress_type = zipfile.ZIP_DEFLATED
        with open(program, 'rb') as binary:
            zf.writestr(entry, binary.read())
    os.replace(target + '.tmp', target)
    print('qgis-plugin-zip: wrote {}'.format(target))


if __name__ == '__main__':
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
