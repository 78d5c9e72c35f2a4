#!/usr/bin/env bash
# Installs the built program under PREFIX (below $DESTDIR when set), or
# removes exactly what the last install from this build wrote: its files and
# the folders that the install created.
# Usage: install.sh install|uninstall BUILD PREFIX
set -euo pipefail
action=$1 build=$2 prefix=$3
destdir="${DESTDIR:-}"
# One record per DESTDIR and PREFIX, so that installs elsewhere (a test's
# scratch root) leave the record of the real one alone.
record="$build/install-records/$(printf '%s\n%s' "$destdir" "$prefix" | md5sum | cut -c1-16).txt"

case "$prefix" in /*) ;; *) echo "PREFIX must be an absolute path: $prefix" >&2; exit 2 ;; esac

install_files() {
  # The files first, into a scratch root: which folders will be new?
  stage=$(mktemp -d)
  trap 'rm -rf "$stage"' EXIT
  DESTDIR="$stage" cmake --install "$build" --prefix "$prefix" >/dev/null
  local files=() new_dirs=() rel dir
  while IFS= read -r rel; do files+=("$destdir$prefix/$rel"); done < <(cd "$stage$prefix" && find . ! -type d -printf '%P\n' | sort)
  while IFS= read -r rel; do
    dir="$prefix/$rel"
    [ -e "$destdir$dir" ] || new_dirs+=("$destdir$dir")
  done < <(cd "$stage$prefix" && find . -mindepth 1 -type d -printf '%P\n' | sort)
  # Installed again: what the earlier install wrote is still ours.
  if [ -f "$record" ]; then
    while IFS= read -r dir; do new_dirs+=("$dir"); done < <(grep '^d ' "$record" | cut -c3-)
    while IFS= read -r rel; do files+=("$rel"); done < <(grep '^f ' "$record" | cut -c3-)
  fi
  local prefix_dirs=() p="$prefix"
  while [ "$p" != / ] && [ ! -e "$destdir$p" ]; do prefix_dirs+=("$destdir$p"); p=$(dirname "$p"); done

  DESTDIR="$destdir" cmake --install "$build" --prefix "$prefix"
  mkdir -p "$(dirname "$record")"
  {
    echo "# destdir=$destdir prefix=$prefix"
    for f in "${files[@]}"; do echo "f $f"; done | sort -u
    for d in "${new_dirs[@]}" "${prefix_dirs[@]}"; do echo "d $d"; done | sort -u
  } > "$record"
}

uninstall_files() {
  if [ ! -f "$record" ]; then
    echo "Nothing to uninstall: no install from $build into DESTDIR='$destdir' PREFIX='$prefix'." >&2
    exit 1
  fi
  local kind path
  while read -r kind path; do
    [ "$kind" = f ] || continue
    if [ -e "$path" ] || [ -L "$path" ]; then rm -f -- "$path" && echo "-- Removed: $path"; fi
  done < "$record"
  # Folders deepest first; one that holds something else stays.
  grep '^d ' "$record" | cut -c3- | awk '{ print length($0) "\t" $0 }' | sort -rn | cut -f2- |
    while IFS= read -r path; do
      [ -d "$path" ] || continue
      if rmdir -- "$path" 2>/dev/null; then echo "-- Removed: $path/"; else echo "-- Kept (not empty): $path/"; fi
    done
  rm -f "$record"
}

case "$action" in
  install) install_files ;;
  uninstall) uninstall_files ;;
  *) echo "usage: $0 install|uninstall BUILD PREFIX" >&2; exit 2 ;;
esac
