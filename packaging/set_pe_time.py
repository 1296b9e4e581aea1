#!/usr/bin/env python3
"""set_pe_time.py <exe> <epoch>: writes the epoch into the time stamp of a PE file's header.
makensis leaves its stub's there: the day the NSIS package was built, not the commit's."""
import struct
import sys


def main():
    path, epoch = sys.argv[1], int(sys.argv[2])
    with open(path, "r+b") as exe:
        exe.seek(0x3C)
        (header,) = struct.unpack("<I", exe.read(4))
        exe.seek(header)
        if exe.read(4) != b"PE\0\0":
            sys.exit(f"set_pe_time.py: {path}: not a PE file")
        # The file header's TimeDateStamp follows Machine and NumberOfSections.
        exe.seek(header + 8)
        exe.write(struct.pack("<I", epoch))


if __name__ == "__main__":
    main()
