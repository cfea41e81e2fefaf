#!/usr/bin/env bash
# The Windows release zip, as a technician unzips it: qrticket-gui.exe, qrticket.exe,
# qrticket-view.exe, LEIA-ME.txt and LICENCAS\ and nothing else;
# LEIA-ME.txt in UTF-8 with CR LF line ends, standing on its own (no links into the README) and
# naming every program and licence file the zip holds; the programs import only DLLs that come
# with Windows, and run from the folder they were unzipped to (under Wine, in the tests'
# prefix): the ticket, --check and --probe the same as the Linux qrticket's, a picture from
# qrticket-view.exe whose symbol decodes, and VISUALIZAR:.
# Usage: check_release_zip.sh ZIP OBJDUMP WINE64 WORK_DIR VERSION LINUX_QRTICKET
set -euo pipefail
zip=$1 objdump=$2 wine=$3 work=$4 version=$5 linux_qrticket=$6
fail() { echo "FAIL: $*"; exit 1; }

rm -rf "$work" && mkdir -p "$work"
(cd "$work" && cmake -E tar xf "$zip")
folder=$(find "$work" -mindepth 1 -maxdepth 1 -type d)
ls -R "$folder"
contents=$(ls "$folder" | sort | tr '\n' ' ')
[ "$contents" = "LEIA-ME.txt LICENCAS qrticket-gui.exe qrticket-view.exe qrticket.exe " ] ||
  fail "unexpected files: $contents"
licences=$(ls "$folder/LICENCAS" | sort | tr '\n' ' ')
[ "$licences" = "cpp-httplib.txt dejavu-fonts.txt freetype-FTL.txt freetype.txt gcc-runtime.txt libpng.txt libqrencode.txt mingw-w64.txt zint.txt zlib.txt " ] ||
  fail "unexpected licences: $licences"

readme=$folder/LEIA-ME.txt
iconv -f UTF-8 -t UTF-8 "$readme" >/dev/null || fail "LEIA-ME.txt is not UTF-8"
if grep -nv $'\r$' "$readme" | head -3 | grep .; then fail "LEIA-ME.txt has lines without CR LF"; fi
for text in "$folder"/LICENCAS/*; do
  if grep -qv $'\r$' "$text"; then fail "$(basename "$text") has lines without CR LF"; fi
done
if grep -n -e '](#' -e 'README' "$readme"; then fail "LEIA-ME.txt points into the README"; fi
grep -q 'Teste de impressão do QR Code' "$readme" || fail "LEIA-ME.txt is not the Portuguese text"
for program in "$folder"/*.exe; do
  grep -qF "$(basename "$program")" "$readme" || fail "LEIA-ME.txt does not name $(basename "$program")"
done
for text in "$folder"/LICENCAS/*; do
  grep -qF "LICENCAS\\$(basename "$text")" "$readme" || fail "LEIA-ME.txt does not name LICENCAS\\$(basename "$text")"
done

# Windows' own libraries only: no libstdc++, libgcc, winpthread, zlib or libpng DLL beside them.
for program in "$folder"/*.exe; do
  "$objdump" -p "$program" | sed -n 's/^\s*DLL Name: //p' | sort -u >"$work/dlls"
  echo "$(basename "$program"): $(tr '\n' ' ' <"$work/dlls")"
  if grep -viE '^(kernel32|msvcrt|ws2_32|winspool\.drv|advapi32|shell32|user32|gdi32|comctl32|comdlg32|setupapi|api-ms-win-[a-z0-9-]+)(\.dll)?$' "$work/dlls"; then
    fail "$(basename "$program") needs a DLL that Windows does not have"
  fi
done

cd "$folder"
run() { "$wine" "$@" | tr -d '\r'; }
[ "$(run ./qrticket.exe --version)" = "qrticket $version" ] || fail "qrticket.exe --version"
[ "$(run ./qrticket-view.exe --version)" = "qrticket-view $version" ] || fail "qrticket-view.exe --version"

# The default ticket, as the Linux build writes it, drawn with a symbol that decodes.
run ./qrticket.exe --device ticket.bin
"$linux_qrticket" --device linux.bin
cmp ticket.bin linux.bin || fail "the ticket differs from the Linux build's"
run ./qrticket-view.exe ticket.bin -o ticket.png | grep 'versão 8, nível M' >/dev/null || fail "qrticket-view.exe's report"
decoded=$(zbarimg --quiet --raw ticket.png 2>/dev/null)
[ "${decoded:0:30}" = "A:123456789*B:999999990*C:PT*D" ] || fail "the drawn symbol reads '$decoded'"

# --check and --probe: the Linux build's facts and bytes.
[ "$("$wine" ./qrticket.exe --check --size 16 --error-level 3 2>&1 | tr -d '\r')" = \
  "$("$linux_qrticket" --check --size 16 --error-level 3 2>&1)" ] ||
  fail "--check differs from the Linux build's"
run ./qrticket.exe --device probe.bin --probe --paper 58
"$linux_qrticket" --device linux-probe.bin --probe --paper 58
cmp probe.bin linux-probe.bin || fail "--probe differs from the Linux build's"

# No printer: the picture is made, and no file of that name.
run ./qrticket.exe --device VISUALIZAR: | grep '  imagem: C:\\.*\\talao\.png$' >/dev/null || fail "VISUALIZAR:"
[ ! -e VISUALIZAR: ] || fail "a file named VISUALIZAR: was made"
rm -f ticket.bin linux.bin ticket.png probe.bin linux-probe.bin
echo "release zip: ok"
