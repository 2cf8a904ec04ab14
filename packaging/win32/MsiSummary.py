"""Sets fields of a Windows Installer package's summary information, through
msitools' own library (Libmsi, from Debian's gir1.2-libmsi-1.0):

    python3 MsiSummary.py PACKAGE.msi [--package-code GUID] [--time SECONDS]

wixl writes two kinds of field anew on every run, which no option of its sets: the
created and the last saved time (the time it runs) and, unless told one, the package
code. --time sets both times to SECONDS since 1970 (UTC), --package-code the package
code. Libmsi writes the whole package again, the same bytes for the same tables."""

import argparse
import sys

# Where msitools' library or its Python bindings are missing, one line says
# which Debian package to install.
try:
    import gi

    gi.require_version("Libmsi", "1.0")
except ImportError:
    sys.exit("MsiSummary.py needs python3-gi: apt-get install python3-gi gir1.2-libmsi-1.0")
except ValueError:
    sys.exit("MsiSummary.py needs gir1.2-libmsi-1.0: apt-get install gir1.2-libmsi-1.0")
from gi.repository import Libmsi  # noqa: E402

# A FILETIME counts 100 ns from 1601-01-01 UTC, 11,644,473,600 s before 1970.
FILETIME_OF_1970 = 11_644_473_600 * 10_000_000


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("package")
    parser.add_argument("--package-code", help="{GUID}, in capitals")
    parser.add_argument("--time", type=int, help="seconds since 1970-01-01 UTC")
    arguments = parser.parse_args()

    database = Libmsi.Database.new(arguments.package, Libmsi.DbFlags.TRANSACT, None)
    summary = Libmsi.SummaryInfo.new(database, 3)
    if arguments.package_code is not None:
        summary.set_string(Libmsi.Property.UUID, arguments.package_code)
    if arguments.time is not None:
        filetime = FILETIME_OF_1970 + arguments.time * 10_000_000
        summary.set_filetime(Libmsi.Property.CREATED_TM, filetime)
        summary.set_filetime(Libmsi.Property.LASTSAVED_TM, filetime)
    summary.save(database)
    database.commit()


main()
