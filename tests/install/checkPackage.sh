#!/usr/bin/env bash
# Builds the Debian package from the build tree (never as root, never installing
# it) and checks what a user's machine would get: the file list, the control
# fields, the AppStream metainfo, the manual pages against the programs' own
# help, the bash completion, and lintian. A check whose tool is not installed
# says so and is skipped; without dpkg-deb nothing can be checked (status 77).
set -uo pipefail
cpack=$1
build=$2
version=$3

missing() {
  echo "skipped: $1 ($2 is not installed; tools/bootstrap installs it)"
}
for tool in dpkg-deb dpkg-shlibdeps; do
  if ! command -v $tool >/dev/null; then
    missing "the package" $tool
    exit 77
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
fail() {
  echo "FAIL: $*"
  status=1
}

arch=$(dpkg --print-architecture)
if ! (cd "$work" && "$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1); then
  cat "$work/cpack.log"
  echo "FAIL: cpack -G DEB"
  exit 1
fi
deb=$work/out/vistrel_${version}_${arch}.deb
if [ ! -f "$deb" ]; then
  ls "$work/out"
  echo "FAIL: no $(basename "$deb")"
  exit 1
fi

# --- the file list ---------------------------------------------------------
dpkg-deb -c "$deb" >"$work/list"
for file in usr/bin/vistrel usr/bin/vistrel-cli \
    usr/share/applications/vistrel.desktop \
    usr/share/applications/vistrel-lcd.desktop usr/share/applications/vistrel-lcd_play.desktop \
    usr/share/applications/vistrel-vms.desktop usr/share/applications/vistrel-vms_play.desktop \
    usr/share/applications/vistrel-vmi.desktop \
    usr/share/mime/packages/vistrel-lcd.xml usr/share/mime/packages/vistrel-vms.xml \
    usr/share/mime/packages/vistrel-vmi.xml \
    usr/share/icons/hicolor/48x48/apps/vistrel.png \
    usr/share/icons/hicolor/48x48/mimetypes/application-x-vistrel-lcd.png \
    usr/share/metainfo/io.github.vistrel.Vistrel.metainfo.xml \
    usr/share/man/man1/vistrel.1.gz usr/share/man/man1/vistrel-cli.1.gz \
    usr/share/bash-completion/completions/vistrel-cli \
    usr/share/vistrel/user-guide.html usr/share/doc/vistrel/copyright \
    usr/share/doc/vistrel/changelog.gz; do
  grep -q " \./$file\$" "$work/list" || fail "the package lacks /$file"
done
# Everything lies under /usr and belongs to root; the databases the desktop
# builds from these files belong to their own packages, never to this one.
awk '{print $6}' "$work/list" | grep -v '^\./usr/' | grep -v '^\./$' &&
  fail "files outside /usr"
awk '$2 != "root/root"' "$work/list" | grep . && fail "files not owned by root"
grep -E '/(mime\.cache|mimeinfo\.cache|icon-theme\.cache)$|/mime/(globs2?|magic|types)$' \
  "$work/list" && fail "the package carries a desktop database"
# Installing writes nothing beyond the package's own files: the triggers of
# shared-mime-info, desktop-file-utils and the icon theme refresh the caches.
dpkg-deb --ctrl-tarfile "$deb" | tar -t >"$work/control-files"
grep -E 'preinst|postinst|prerm|postrm' "$work/control-files" && fail "maintainer scripts in the package"

# --- the control fields ----------------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = vistrel ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version), expected $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = graphics ] || fail "Section: $(field Section)"
field Maintainer | grep -qE '^[^<]+ <[^@ >]+@[^@ >]+>$' || fail "Maintainer: $(field Maintainer)"
# dpkg-shlibdeps found the libraries the programs link to; the video libraries,
# opened at run time, are named as well.
for library in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libavformat[0-9]+ libswscale[0-9]+; do
  field Depends | grep -qE "(^|, )$library( |,|$)" || fail "Depends lacks $library: $(field Depends)"
done
[ "$(field Description | wc -l)" -gt 3 ] || fail "no long description"

# --- the files themselves --------------------------------------------------
root=$work/root
dpkg-deb -x "$deb" "$root"
share=$root/usr/share
metainfo=$share/metainfo/io.github.vistrel.Vistrel.metainfo.xml

# Version numbers that must follow the project's.
zcat "$share/doc/vistrel/changelog.gz" | head -1 | grep -q "^vistrel ($version) " ||
  fail "the changelog's newest entry is not $version"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo lists no release $version"

if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --explain "$metainfo" >"$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log"; fail "appstreamcli validate"; }
else
  missing "metainfo validation" appstreamcli
fi
# The software centre starts the program through the menu entry the metainfo
# names, and offers it for the types the package declares.
launchable=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$metainfo")
[ -f "$share/applications/${launchable:-none}" ] ||
  fail "the metainfo launches '$launchable', which the package lacks"
grep -q '^NoDisplay=true' "$share/applications/$launchable" && fail "the launchable entry is hidden"
for type in $(sed -n 's|.*<mediatype>\(.*\)</mediatype>.*|\1|p' "$metainfo"); do
  grep -qs "type=\"$type\"" "$share"/mime/packages/vistrel-*.xml ||
    fail "the metainfo provides $type, which no MIME package declares"
done
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$share"/applications/*.desktop || fail "desktop-file-validate"
else
  missing "desktop entry validation" desktop-file-validate
fi

# --- the manual pages -----------------------------------------------------
cli=$root/usr/bin/vistrel-cli
"$cli" --help >"$work/cli-help" || fail "vistrel-cli --help"
"$root/usr/bin/vistrel" --help >"$work/gui-help" || fail "vistrel --help"
# The commands of the help's list, and each command's options.
commands=$(sed -n '/^Commands:/,/^$/s/^  \([a-z][a-z-]*\) .*/\1/p' "$work/cli-help" | sort -u)
[ -n "$commands" ] || fail "no commands in vistrel-cli --help"
options_of() {
  awk -v command="$1" '
    /^  [a-z]/ { inside = ($1 == command) }
    /^Options:/ { inside = 0 }
    inside' "$work/cli-help" | grep -oE -- '--[a-z][a-z-]*' | sort -u
}
all_options=$(grep -oE -- '--[a-z][a-z-]*' "$work/cli-help" | sort -u)
if command -v man >/dev/null; then
  for page in vistrel vistrel-cli; do
    LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \
      "$share/man/man1/$page.1.gz" 2>"$work/$page.warnings" >/dev/null
    [ -s "$work/$page.warnings" ] && { cat "$work/$page.warnings"; fail "$page.1 renders with warnings"; }
    LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$share/man/man1/$page.1.gz" >"$work/$page.txt" 2>/dev/null
  done
  for word in $commands $all_options; do
    grep -qE -- "(^|[^a-z-])$word([^a-z-]|$)" "$work/vistrel-cli.txt" ||
      fail "vistrel-cli.1 does not describe $word"
  done
  for word in $(grep -oE -- '(^| )(/[A-Z]|--[a-z-]*)' "$work/gui-help" | sort -u); do
    grep -qF -- "$word" "$work/vistrel.txt" || fail "vistrel.1 does not describe $word"
  done
else
  missing "manual pages" man
fi

# --- the bash completion ---------------------------------------------------
completions=/usr/share/bash-completion/bash_completion
if [ -f "$completions" ]; then
  complete_words() {
    # The completions bash offers after the words given, the last one being
    # the word under the cursor.
    COMPLETIONS=$completions SCRIPT=$share/bash-completion/completions/vistrel-cli \
      bash -c '
        . "$COMPLETIONS"; . "$SCRIPT"
        COMP_WORDS=("$@"); COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
        _vistrel_cli vistrel-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
        printf "%s\n" "${COMPREPLY[@]}"' complete "$@"
  }
  offered=$(complete_words vistrel-cli "" | sort -u)
  [ "$offered" = "$commands" ] ||
    fail "vistrel-cli <Tab> offers '$(tr '\n' ' ' <<<"$offered")', the help lists '$(tr '\n' ' ' <<<"$commands")'"
  for command in $commands; do
    expected=$(options_of "$command")
    [ -z "$expected" ] && continue
    offered=$(complete_words vistrel-cli "$command" NAME -- | sort -u)
    for option in $expected; do
      grep -qx -- "$option" <<<"$offered" || fail "vistrel-cli $command --<Tab> lacks $option"
    done
  done
  offered=$(complete_words vistrel-cli import photo.jpg --method "" | sort | tr '\n' ' ')
  [ "$offered" = "bayer fs quant " ] || fail "--method <Tab> offers '$offered'"
else
  missing "bash completion" bash-completion
fi

# --- lintian ---------------------------------------------------------------
if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb" \
    >"$work/lintian.log" 2>&1 || { cat "$work/lintian.log"; fail "lintian reports errors"; }
else
  missing "lintian" lintian
fi
exit $status
