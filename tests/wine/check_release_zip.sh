#!/usr/bin/env bash
# The Windows release zip: it holds qrticket.exe and LEIA-ME.txt (the README's Windows
# section), the program imports only DLLs that come with Windows, and it runs from the folder
# it was unzipped to (under Wine, in the tests' prefix).
set -euo pipefail
zip=$1 objdump=$2 wine=$3 work=$4

rm -rf "$work" && mkdir -p "$work"
(cd "$work" && cmake -E tar xf "$zip")
folder=$(find "$work" -mindepth 1 -maxdepth 1 -type d)
ls "$folder"
[ "$(ls "$folder" | sort | tr '\n' ' ')" = "LEIA-ME.txt qrticket.exe " ] || { echo "FAIL: unexpected files"; exit 1; }
head -1 "$folder/LEIA-ME.txt" | grep -q '^## Windows' || { echo "FAIL: LEIA-ME.txt is not the Windows section"; exit 1; }
grep -q $'\r$' "$folder/LEIA-ME.txt" || { echo "FAIL: LEIA-ME.txt lacks CR LF line ends"; exit 1; }

# Windows' own libraries only: no libstdc++, libgcc or winpthread DLL to ship beside it.
"$objdump" -p "$folder/qrticket.exe" | sed -n 's/^\s*DLL Name: //p' | sort -u | tee "$work/dlls"
if grep -viE '^(kernel32|msvcrt|ws2_32|winspool\.drv|advapi32|shell32|user32|api-ms-win-[a-z0-9-]+)(\.dll)?$' "$work/dlls"; then
  echo "FAIL: qrticket.exe needs a DLL that Windows does not have"
  exit 1
fi

cd "$folder"
version=$("$wine" ./qrticket.exe --version | tr -d '\r')
echo "$version"
[ "$version" = "qrticket $5" ] || { echo "FAIL: --version said '$version'"; exit 1; }
echo "release zip: ok"
