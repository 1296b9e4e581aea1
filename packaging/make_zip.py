#!/usr/bin/env python3
"""make_zip.py <zip> <folder>: the folder's files in a zip that is the same bytes every time:
sorted names, one fixed time (SOURCE_DATE_EPOCH, else 2020-01-01), fixed permissions."""
import os
import sys
import time
import zipfile


def main():
    out, folder = sys.argv[1], sys.argv[2]
    epoch = int(os.environ.get("SOURCE_DATE_EPOCH", "1577836800"))
    # A zip holds local time from 1980 on, in two-second steps.
    stamp = max(time.gmtime(epoch)[:6], (1980, 1, 1, 0, 0, 0))
    names = sorted(
        os.path.relpath(os.path.join(root, name), folder)
        for root, _, files in os.walk(folder)
        for name in files
    )
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        for name in names:
            info = zipfile.ZipInfo(name.replace(os.sep, "/"), date_time=stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            info.create_system = 0
            with open(os.path.join(folder, name), "rb") as source:
                archive.writestr(info, source.read(), compresslevel=9)


if __name__ == "__main__":
    main()
