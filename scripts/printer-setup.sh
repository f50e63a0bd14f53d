#!/usr/bin/env bash
# Makes sure a printer is there for the print tests: starts the CUPS
# scheduler when it is not running and adds the "PDF" queue (cups-pdf, which
# writes each job as a PDF file) as the default printer when it is missing.
# Does nothing when all is in place. Prints the folder the PDFs go to.
set -euo pipefail
export LC_ALL=C  # the tools' answers are read below

sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"

if ! lpstat -r 2>/dev/null | grep -q "is running"; then
    $sudo mkdir -p /run/cups
    $sudo cupsd
    for _ in $(seq 50); do
        lpstat -r 2>/dev/null | grep -q "is running" && break
        sleep 0.1
    done
fi
if ! lpstat -p PDF >/dev/null 2>&1; then
    $sudo lpadmin -p PDF -v cups-pdf:/ -E -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
fi
if [[ "$(lpstat -d 2>/dev/null)" != *": PDF" ]]; then
    $sudo lpadmin -d PDF
fi

# cups-pdf writes to "Out" of its configuration, ${HOME} being the home of
# the job's user.
out=$(sed -n 's/^[[:space:]]*Out[[:space:]]\+//p' /etc/cups/cups-pdf.conf | tail -n 1)
out=${out:-'${HOME}/PDF'}
home=$(getent passwd "$(id -un)" | cut -d: -f6)
echo "${out//'${HOME}'/$home}"
