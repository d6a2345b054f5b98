#!/bin/sh
# print_setup_through_cups.sh TEST_PROGRAM
#
# Runs inside tests/support/cups-harness.sh: adds a second queue beside the
# harness's default one (never printed to) and runs the print setup tests.
set -u
program=$1
[ -n "${HV_CUPS_QUEUE:-}" ] || { echo "run me inside cups-harness.sh" >&2; exit 2; }
second="hvsetup$$"
lpadmin -p "$second" -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd || exit 1
trap 'lpadmin -x "$second" 2>/dev/null' EXIT
HV_SECOND_QUEUE="$second" "$program"
