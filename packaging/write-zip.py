#!/usr/bin/python3
"""Writes a zip that depends on nothing but the files' names and bytes.

    write-zip.py ZIP EPOCH FILE...

The entries come in the order given, each dated EPOCH (seconds since 1970, in
UTC, whatever the time zone), as a plain file readable by all, with no owner
and no extra fields. Unlike zip tools that copy times, modes and owners from
the disk, the same files thus give the same zip for anyone who builds them.
"""
import sys
import time
import zipfile

# A zip's dates start in 1980 and count in steps of two seconds.
EARLIEST = 315532800
UNIX = 3
PLAIN_FILE = 0o100644


def main():
    output, epoch, *names = sys.argv[1:]
    stamp = time.gmtime(max(int(epoch), EARLIEST))[:6]
    with zipfile.ZipFile(output, "w") as archive:
        for name in names:
            entry = zipfile.ZipInfo(name, stamp)
            entry.create_system = UNIX
            entry.external_attr = PLAIN_FILE << 16
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(name, "rb") as source:
                archive.writestr(entry, source.read(), compresslevel=9)


if __name__ == "__main__":
    main()
