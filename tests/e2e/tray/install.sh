#!/usr/bin/env bash
# cmake --install puts the launcher entry and its icon where the desktop looks
# (share/applications, the hicolor icon theme), Exec naming the installed
# executable, and "Eyes 2.ico" beside it. Also under a prefix with characters
# the entry has to quote.
set -euo pipefail
build=$1
tmp=$(mktemp -d /tmp/talvenor-install.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

for prefix in "$tmp/usr" "$tmp/with space \$and quote\"/usr"; do
  cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1 ||
    fail "cmake --install failed: $(tail -n 20 "$tmp/install.log")"
  desktop="$prefix/share/applications/talvenor.desktop"
  [[ -f "$desktop" ]] || fail "no $desktop"
  desktop-file-validate "$desktop" || fail "the launcher entry is not valid"
  grep -qx 'Type=Application' "$desktop" || fail "not an application entry"
  grep -qx 'Name=Talvenor' "$desktop" || fail "wrong name"
  grep -qx 'Icon=talvenor' "$desktop" || fail "wrong icon name"
  exec_line=$(sed -n 's/^Exec=//p' "$desktop")
  # Undo the entry's quoting as a launcher would.
  exe=$exec_line
  if [[ "$exe" == \"*\" ]]; then
    exe=$(printf '%s' "${exe:1:-1}" | sed -e 's/\\\\/\\/g' -e 's/\\\([`"$\\]\)/\1/g')
  fi
  [[ "$exe" == "$prefix/"*"/talvenor/talvenor" ]] || fail "Exec does not name the installed executable: $exec_line"
  [[ -x "$exe" ]] || fail "Exec names no executable: $exe"
  [[ -f "$(dirname "$exe")/Eyes 2.ico" ]] || fail "no Eyes 2.ico beside the executable"
  file -b "$(dirname "$exe")/Eyes 2.ico" | grep -qi 'icon' || fail "Eyes 2.ico is not an icon file"
  for size in 16 32 48 256; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/talvenor.png"
    [[ -f "$png" ]] || fail "no $png"
    [[ $(identify -format '%wx%h' "$png") == "${size}x${size}" ]] || fail "$png is not ${size}x${size}"
  done
  echo "$prefix: ok"
done
echo PASS
