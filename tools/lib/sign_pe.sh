#!/usr/bin/env bash
# Signs a Windows program in place (Authenticode, SHA-256) with a code-signing
# certificate: a PKCS#12 file, unlocked by the password in NV_SIGN_PASSWORD.
# The build runs it for norvane.exe; the setup's script for the setup and the
# uninstaller as makensis writes them.
#   tools/lib/sign_pe.sh <certificate.p12> <program.exe>
set -euo pipefail
cert=${1:?usage: sign_pe.sh <certificate.p12> <program.exe>}
file=${2:?usage: sign_pe.sh <certificate.p12> <program.exe>}
# osslsigncode writes only a file that does not exist yet.
signed="$file.signing.$$"
rm -f "$signed"
trap 'rm -f "$signed"' EXIT
# The password goes through a pipe, never onto a command line.
osslsigncode sign -pkcs12 "$cert" -readpass <(printf '%s' "${NV_SIGN_PASSWORD:-}") \
  -h sha256 -n "Norvane!" -i "https://www.norvane.example" -in "$file" -out "$signed" >/dev/null
mv -f "$signed" "$file"
trap - EXIT
