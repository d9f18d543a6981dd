#!/usr/bin/env bash
# The install tree as a user gets it from `cmake --install`: exactly the files expected,
# the desktop entry valid, the icon in every size, each program answering --help and
# --version, and the program started the way the desktop menu starts it.
# Usage: install_test.sh CMAKE BUILD_DIR UI(ON|OFF) APP_ID VERSION
set -uo pipefail
cmake=$1 build=$2 ui=$3 app_id=$4 version=$5

work=$(mktemp -d "${TMPDIR:-/tmp}/vorante-install-XXXXXX")
work=$(cd "$work" && pwd -P)  # the programs see their own location without links
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

if ! "$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
  cat "$work/install.log"
  echo "FAIL: cmake --install"
  exit 1
fi

# --- the files ---------------------------------------------------------------------------
programs=(vorante-cli vorante-sim)
expected=(share/doc/vorante/README.md share/doc/vorante/simulator.md)
icon_sizes=(16 24 32 48 64 128 256)
entry=share/applications/$app_id.desktop
if [ "$ui" = ON ]; then
  programs+=(vorante)
  expected+=("$entry" "share/icons/hicolor/scalable/apps/$app_id.svg")
  for s in "${icon_sizes[@]}"; do expected+=("share/icons/hicolor/${s}x${s}/apps/$app_id.png"); done
fi
for p in "${programs[@]}"; do expected+=("bin/$p"); done

diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$prefix" && find . -type f -printf '%P\n' | sort) \
  >"$work/files.diff" || fail "installed files differ from the expected ones (< missing, > unexpected):
$(cat "$work/files.diff")"
for p in "${programs[@]}"; do
  [ -x "$prefix/bin/$p" ] || fail "bin/$p is not executable"
done

# The PNG header holds the picture's width and height, big-endian, at bytes 16 to 23.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", $3 * 256 + $4, $7 * 256 + $8 }'; }
if [ "$ui" = ON ]; then
  for s in "${icon_sizes[@]}"; do
    png=$prefix/share/icons/hicolor/${s}x${s}/apps/$app_id.png
    [ -f "$png" ] && [ "$(png_size "$png")" != "${s}x${s}" ] && fail "$png is $(png_size "$png"), not ${s}x${s}"
  done
fi

# --- the desktop entry -------------------------------------------------------------------
key() { sed -n "s/^$1=//p" "$prefix/$entry"; }
if [ "$ui" = ON ] && [ -f "$prefix/$entry" ]; then
  if command -v desktop-file-validate >/dev/null; then
    if ! out=$(desktop-file-validate "$prefix/$entry" 2>&1) || [ -n "$out" ]; then
      fail "desktop-file-validate: $out"
    fi
  else
    echo "note: desktop-file-validate is not installed (scripts/setup installs it); the entry's keys only"
  fi
  [ "$(key Type)" = Application ] || fail "Type is '$(key Type)'"
  [ -n "$(key Name)" ] && [ -n "$(key Comment)" ] || fail "Name or Comment missing"
  [ "$(key Categories)" = "AudioVideo;Audio;Mixer;" ] || fail "Categories is '$(key Categories)'"
  [ "$(key Icon)" = "$app_id" ] || fail "Icon is '$(key Icon)', the icon files are named $app_id"
  read -r -a exec_words <<<"$(key Exec)"
  [ "${exec_words[0]:-}" = vorante ] || fail "Exec starts '${exec_words[0]:-}', not the installed vorante"
fi

# --- --help and --version of the installed programs --------------------------------------
for p in "${programs[@]}"; do
  [ -x "$prefix/bin/$p" ] || continue
  out=$("$prefix/bin/$p" --version 2>&1)
  status=$?
  [ $status -eq 0 ] || fail "$p --version: status $status"
  [ "$out" = "$p $version" ] || fail "$p --version says '$out', not '$p $version'"

  out=$("$prefix/bin/$p" --help 2>&1)
  status=$?
  [ $status -eq 0 ] || fail "$p --help: status $status"
  [[ "$out" == "usage: $p "* ]] || fail "$p --help does not begin with its usage: $out"
  grep -q '^status: 0 ' <<<"$out" || fail "$p --help names no exit statuses"
  grep -qxF "documentation: $prefix/share/doc/vorante" <<<"$out" ||
    fail "$p --help does not point at the installed documentation: $out"
done

# --- a start from the menu ---------------------------------------------------------------
# The desktop runs the entry's command in a directory of its own choosing; the program
# makes its data directory and works there.
if [ "$ui" = ON ] && [ -n "${exec_words[0]:-}" ] && [ -x "$prefix/bin/${exec_words[0]}" ]; then
  mkdir -p "$work/desktop" "$work/tmp"
  (cd "$work/desktop" && XDG_DATA_HOME=$work/data TMPDIR=$work/tmp \
    "$prefix/bin/${exec_words[0]}" "${exec_words[@]:1}" --screenshot menu.png@0 </dev/null >"$work/menu.log" 2>&1)
  status=$?
  [ $status -eq 0 ] || fail "menu start: status $status: $(cat "$work/menu.log")"
  [ -f "$work/data/vorante/menu.png" ] || fail "menu start did not work in \$XDG_DATA_HOME/vorante"
  [ -z "$(ls -A "$work/desktop")" ] || fail "menu start left files in the desktop's directory: $(ls -A "$work/desktop")"
fi

if [ $failures -gt 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "install tree of ${#programs[@]} programs checked in $prefix"
