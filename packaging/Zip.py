#!/usr/bin/env python3
"""Puts files of a folder into a zip that is the same bytes wherever and
whenever it is made from the same files: the members in the order given, each
with plain permissions, no owner and no extra fields, and, where
SOURCE_DATE_EPOCH is set, that time instead of the file's, in UTC (a zip keeps
its times with no zone). Makes the Windows zip and the web zip.

usage: Zip.py OUTPUT.zip FOLDER MEMBER...
"""
import os
import sys
import time
import zipfile


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__.strip().splitlines()[-1])
    output, folder, members = sys.argv[1], sys.argv[2], sys.argv[3:]
    epoch = os.environ.get('SOURCE_DATE_EPOCH')
    temporary = output + '.part'
    with zipfile.ZipFile(temporary, 'w', zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        for member in members:
            path = os.path.join(folder, member)
            seconds = int(epoch) if epoch else os.stat(path).st_mtime
            # A zip's times begin in 1980 and carry no zone.
            stamp = max(time.gmtime(seconds)[:6], (1980, 1, 1, 0, 0, 0))
            info = zipfile.ZipInfo(member, date_time=stamp)
            info.external_attr = 0o100644 << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(path, 'rb') as source:
                archive.writestr(info, source.read(), compresslevel=9)
    os.replace(temporary, output)


if __name__ == '__main__':
    main()
