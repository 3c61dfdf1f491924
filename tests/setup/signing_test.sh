#!/usr/bin/env bash
# Code signing of the setup, with a throw-away certificate made here: the
# build's own signing command signs a copy of the staged norvane.exe, the
# build's own setup script makes a signed setup from it (its uninstaller is
# signed as makensis writes it), a silent install under Wine puts them in
# place, and all three signatures verify against the certificate.
set -euo pipefail
. "$(dirname "$0")/../../tools/lib/common.sh"
nv_need osslsigncode:osslsigncode openssl:openssl
nv_need_wine
w64=$NV_BUILD/win64
version=$(sed -n 's/^#define NV_VERSION_TEXT "\(.*\)"/\1/p' "$NV_ROOT/src/product/version.h")
[[ -f $w64/stage/norvane.exe && -f $w64/hosts_handback.exe ]] || { nv_say "run tools/build win64 first"; exit 1; }
work=$(mktemp -d /tmp/norvane-signing.XXXXXX)
trap 'rm -rf "$work"' EXIT

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Norvane test signer" \
  -addext "extendedKeyUsage=codeSigning" -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
export NV_SIGN_PASSWORD="throw away $RANDOM"
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -passout env:NV_SIGN_PASSWORD \
  -out "$work/cert.p12"

cp -a "$w64/stage" "$work/stage"
rm -f "$work/stage/.staged"
"$NV_ROOT/tools/lib/sign_pe.sh" "$work/cert.p12" "$work/stage/norvane.exe"
cmake -DSTAGE="$work/stage" -DWORK="$work/lists" -DMAKENSIS="$(command -v makensis)" \
  -DNSI="$NV_ROOT/package/installer/norvane.nsi" -DVERSION="$version" -DHANDBACK="$w64/hosts_handback.exe" \
  -DICON="$NV_ROOT/package/win32/norvane.ico" -DOUTFILE="$work/norvane-setup.exe" \
  -DSIGN_TOOL="$NV_ROOT/tools/lib/sign_pe.sh" -DSIGN_CERT="$work/cert.p12" -P "$NV_ROOT/cmake/make_setup.cmake"

# The uninstaller exists only once the setup has written it. Wine's
# processes do not get the lock's descriptor: one that outlived this script
# would hold the lock for everyone.
nv_ensure_display
trap '[[ -z ${NV_XVFB_PID:-} ]] || kill "$NV_XVFB_PID" 2>/dev/null || true; rm -rf "$work"' EXIT
exec 9>/tmp/norvane-e2e.lock
flock 9
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES=winemenubuilder.exe=d
nv_fresh_prefix "$WINEPREFIX" 9>&-
timeout 300 wine "$work/norvane-setup.exe" /S 9>&- || true
wineserver -k 9>&- 2>/dev/null || true
exec 9>&-
installed="$WINEPREFIX/drive_c/Program Files/Norvane"

failed=0
for f in "$work/norvane-setup.exe" "$installed/norvane.exe" "$installed/uninst.exe"; do
  if osslsigncode verify -CAfile "$work/cert.pem" -in "$f" >"$work/verify.log" 2>&1; then
    echo "signed and verified: ${f#$work/}"
  else
    echo "NOT signed by the test certificate: $f"; cat "$work/verify.log"; failed=1
  fi
done
exit $failed
