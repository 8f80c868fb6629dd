#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop finds there:
# the programs, valid desktop entries, the MIME types (the install refreshed the
# database under the prefix) and the icons.
set -euo pipefail
cmake=$1
build=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

"$cmake" --install "$build" --prefix "$prefix" >/dev/null

status=0
for file in bin/vistrel bin/vistrel-cli \
    share/applications/vistrel.desktop \
    share/applications/vistrel-lcd.desktop share/applications/vistrel-lcd_play.desktop \
    share/applications/vistrel-vms.desktop share/applications/vistrel-vms_play.desktop \
    share/applications/vistrel-vmi.desktop \
    share/mime/packages/vistrel-lcd.xml share/mime/packages/vistrel-vms.xml \
    share/mime/packages/vistrel-vmi.xml \
    share/icons/hicolor/16x16/apps/vistrel.png share/icons/hicolor/256x256/apps/vistrel.png \
    share/icons/hicolor/48x48/mimetypes/application-x-vistrel-lcd.png \
    share/icons/hicolor/48x48/mimetypes/application-x-dreamcast-vms-info.png \
    share/vistrel/user-guide.html share/vistrel/screenshots/frame.png; do
  if [ ! -s "$prefix/$file" ]; then
    echo "missing: $file"
    status=1
  fi
done

# Every picture the installed guide shows is installed beside it.
guide=$prefix/share/vistrel/user-guide.html
if [ -s "$guide" ]; then
  while read -r picture; do
    if [ ! -s "$prefix/share/vistrel/$picture" ]; then
      echo "the user guide shows $picture, which is not installed"
      status=1
    fi
  done < <(grep -o 'src="[^"]*"' "$guide" | sed 's/^src="//; s/"$//')
fi

# Installed entries start the program from the PATH, never from the build tree.
if grep -q "^Exec=.*$build" "$prefix"/share/applications/*.desktop; then
  echo "an entry starts the program of the build tree"
  status=1
fi

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix"/share/applications/*.desktop || status=1
fi

if command -v xdg-mime >/dev/null && command -v gio >/dev/null &&
    command -v update-mime-database >/dev/null; then
  printf "LCDi" >"$prefix/Sample.LCD"
  printf "data" >"$prefix/game.vms"
  for pair in "Sample.LCD application/x-vistrel-lcd" "game.vms application/x-dreamcast-vms"; do
    set -- $pair
    found=$(XDG_DATA_DIRS="$prefix/share" XDG_DATA_HOME="$prefix/nowhere" \
            XDG_CURRENT_DESKTOP=GNOME xdg-mime query filetype "$prefix/$1")
    if [ "$found" != "$2" ]; then
      echo "$1: expected $2, the desktop says '$found'"
      status=1
    fi
  done
fi
exit $status
