#!/bin/sh
# cups-harness.sh COMMAND [ARGS...]
#
# Runs COMMAND against a private CUPS scheduler and stops it afterwards. The
# scheduler's configuration, spool, logs and a domain socket live in a fresh
# temporary folder; one queue on the cups-pdf backend is the default
# destination and writes every job as a PDF into a folder of its own.
# COMMAND sees:
#   CUPS_SERVER       the private scheduler's socket
#   HV_CUPS_QUEUE     the queue's name
#   HV_CUPS_PDF_DIR   where the queue's PDFs appear
#   HV_CUPS_LOG_DIR   the scheduler's logs
# When the scheduler cannot start, the harness says so loudly and ends with
# 77 (the test is skipped); with CI set in the environment it fails instead.
set -u

loud() {
  echo "######################################################################" >&2
  echo "## cups-harness: $1" >&2
  echo "######################################################################" >&2
}
skip() {
  if [ -n "${CI:-}" ]; then
    loud "CANNOT START A PRIVATE CUPS SERVER: $1 (failing: CI is set)"
    exit 1
  fi
  loud "SKIPPED, NO PRIVATE CUPS SERVER: $1"
  exit 77
}

[ $# -ge 1 ] || { echo "usage: cups-harness.sh COMMAND [ARGS...]" >&2; exit 2; }
for p in /usr/sbin/cupsd lpadmin lpstat; do
  command -v "$p" >/dev/null 2>&1 || skip "$p is not installed (scripts/setup-deps.sh installs it)"
done
backend=/usr/lib/cups/backend/cups-pdf
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
[ -f "$backend" ] && [ -f "$ppd" ] || skip "the cups-pdf backend is not installed (printer-driver-cups-pdf)"
# cups-pdf runs only under a scheduler started as root, and reads its
# per-queue settings from the system's CUPS folder.
[ "$(id -u)" -eq 0 ] || skip "cups-pdf needs a scheduler started as root"
[ -d /etc/cups ] && [ -w /etc/cups ] || skip "/etc/cups is not writable for the queue's cups-pdf settings"

root=$(mktemp -d "${TMPDIR:-/tmp}/hvcups.XXXXXX") || skip "no temporary folder"
queue="hvpdf$$"
conf="/etc/cups/cups-pdf-$queue.conf"
pid=""
cleanup() {
  if [ -n "$pid" ]; then
    kill "$pid" 2>/dev/null
    i=0
    while kill -0 "$pid" 2>/dev/null && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
    kill -9 "$pid" 2>/dev/null
  fi
  rm -f "$conf"
  [ -n "${HV_CUPS_KEEP:-}" ] && { echo "cups-harness: kept $root" >&2; return; }
  rm -rf "$root"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The scheduler's filters run as lp: the folders must be reachable.
chmod 755 "$root"
mkdir -p "$root/etc/ppd" "$root/etc/ssl" "$root/spool/tmp" "$root/cache" "$root/state" "$root/log" \
  "$root/pdf" "$root/pdf-spool"
chmod 1777 "$root/pdf" "$root/pdf-spool"
socket="$root/cups.sock"

cat >"$root/etc/cupsd.conf" <<CONF
LogLevel info
MaxLogSize 0
Listen $socket
Browsing No
BrowseLocalProtocols none
DefaultShared No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
    Allow all
  </Limit>
</Policy>
CONF
cat >"$root/etc/cups-files.conf" <<CONF
ServerRoot $root/etc
ServerKeychain $root/etc/ssl
RequestRoot $root/spool
TempDir $root/spool/tmp
CacheDir $root/cache
StateDir $root/state
AccessLog $root/log/access_log
ErrorLog $root/log/error_log
PageLog $root/log/page_log
FileDevice No
SystemGroup root
CONF
cat >"$conf" <<CONF
Out $root/pdf
AnonDirName $root/pdf
Spool $root/pdf-spool
Log $root/log
LogType 3
Label 2
TitlePref 0
Grp root
UserUMask 0022
CONF

/usr/sbin/cupsd -f -c "$root/etc/cupsd.conf" -s "$root/etc/cups-files.conf" >"$root/log/cupsd.out" 2>&1 &
pid=$!
export CUPS_SERVER="$socket"
i=0
until lpstat -r 2>/dev/null | grep -q "is running"; do
  if ! kill -0 "$pid" 2>/dev/null; then
    cat "$root/log/cupsd.out" "$root/log/error_log" >&2 2>/dev/null
    pid=""
    skip "cupsd ended at start-up (log above)"
  fi
  i=$((i + 1))
  [ $i -lt 100 ] || skip "cupsd did not answer within 10 s"
  sleep 0.1
done
if ! lpadmin -p "$queue" -E -v "cups-pdf:/$queue" -P "$ppd" -o PageSize=Letter -o printer-error-policy=abort-job \
      >"$root/log/lpadmin.out" 2>&1 || ! lpadmin -d "$queue" >>"$root/log/lpadmin.out" 2>&1; then
  cat "$root/log/lpadmin.out" >&2
  skip "lpadmin could not make the PDF queue"
fi

export HV_CUPS_QUEUE="$queue" HV_CUPS_PDF_DIR="$root/pdf" HV_CUPS_LOG_DIR="$root/log"
"$@"
exit $?
