#!/usr/bin/python3
"""Gives a Windows Installer package a fixed date and package code.

    stamp-msi.py MSI EPOCH PACKAGE-CODE

wixl writes the moment of the build into the summary information (created,
last saved) and a random package code, and has no option for either: this
sets both, through msitools' own library, so that the same sources give the
same package. Debian's Python, which has the library's bindings
(gir1.2-libmsi-1.0).
"""
import sys

import gi

gi.require_version("Libmsi", "1.0")
from gi.repository import Libmsi  # noqa: E402

# Windows counts in tenths of a microsecond from 1601.
WINDOWS_EPOCH_OFFSET = 11644473600
TICKS_PER_SECOND = 10_000_000
PROPERTIES_CHANGED = 3


def main():
    path, epoch, package_code = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    filetime = (epoch + WINDOWS_EPOCH_OFFSET) * TICKS_PER_SECOND
    database = Libmsi.Database.new(path, Libmsi.DbFlags.TRANSACT, None)
    summary = Libmsi.SummaryInfo.new(database, PROPERTIES_CHANGED)
    summary.set_filetime(Libmsi.Property.CREATED_TM, filetime)
    summary.set_filetime(Libmsi.Property.LASTSAVED_TM, filetime)
    summary.set_string(Libmsi.Property.UUID, package_code)
    summary.persist()
    database.commit()


if __name__ == "__main__":
    main()
