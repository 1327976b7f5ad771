#!/usr/bin/env bash
# Check a built Debian package of Quorvale: the files it installs, its desktop
# entry, AppStream metadata and manual page against their validators, and its
# Depends against the libraries the program links: the GL and GLU libraries
# must be linked and their packages named, and so must the GLUT library's
# package when GLUT is linked as a shared library (a static GLUT needs none).
# Usage: bash scripts/check-package.sh dist/quorvale_<version>_<architecture>.deb
set -euo pipefail
deb=${1:?usage: check-package.sh PACKAGE.deb}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

dpkg-deb -x "$deb" "$work/root"
usr=$work/root/usr
for file in bin/quorvale share/applications/quorvale.desktop \
    share/icons/hicolor/256x256/apps/quorvale.png share/man/man6/quorvale.6.gz \
    share/doc/quorvale/copyright share/doc/quorvale/changelog.gz; do
  [ -s "$usr/$file" ] || fail "missing /usr/$file"
done
[ -x "$usr/bin/quorvale" ] || fail "/usr/bin/quorvale is not executable"
metainfo=("$usr"/share/metainfo/*.metainfo.xml)

desktop-file-validate "$usr/share/applications/quorvale.desktop" || fail "desktop-file-validate"
bash "$(dirname "${BASH_SOURCE[0]}")/validate-metainfo.sh" "${metainfo[0]}" >"$work/appstream" 2>&1 \
  || { cat "$work/appstream"; fail "appstreamcli validate"; }
warnings=$(gzip -dc "$usr/share/man/man6/quorvale.6.gz" | groff -ww -man -z 2>&1)
[ -z "$warnings" ] || fail "groff: $warnings"
[ "$failures" -gt 0 ] || echo "Validators: desktop-file-validate, appstreamcli validate and groff -ww -man -z passed"

# The package that ships a library, as dpkg knows it ("" when none does).
owner_of() { dpkg -S "*/$1" 2>/dev/null | head -n 1 | cut -d: -f1; }

# A regular expression for a package named in ",Depends," as one of its
# entries or alternatives, with or without a version.
named_in_depends() { printf '[,| ]%s[ ,|(]' "${1//./\\.}"; }

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
needed=$(objdump -p "$usr/bin/quorvale" | awk '$1 == "NEEDED" { print $2 }')
# kind, pattern (regular expression) of the library's file name, whether it
# must be linked shared
check_library() {
  local kind=$1 pattern=$2 required=$3 library owner linked=0
  for library in $needed; do
    [[ $library =~ $pattern ]] || continue
    linked=1
    owner=$(owner_of "$library")
    if [ -z "$owner" ]; then
      fail "$kind: no installed package ships $library"
    elif [[ ",$depends," =~ $(named_in_depends "$owner") ]]; then
      echo "$kind: $library from $owner, named in Depends"
    else
      fail "$kind: $library comes from $owner, which Depends does not name"
    fi
  done
  if [ "$linked" -eq 0 ]; then
    if [ "$required" = required ]; then fail "$kind: the program links no $pattern"
    else echo "$kind: linked statically, no runtime package needed"; fi
  fi
}
check_library GL '^lib(GL|OpenGL|GLX)\.so' required
check_library GLU '^libGLU\.so' required
check_library GLUT '^libglut\.so' optional

[ "$failures" -eq 0 ] || { echo "$deb: $failures check(s) failed" >&2; exit 1; }
echo "$deb: all checks passed"
