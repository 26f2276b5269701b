#!/bin/sh
# The layer check passes on the sources and fails on a tree with an upward include or with Qt
# outside the window's folder.
set -eu
check=$1
sources=$2
sh "$check" "$sources" >/dev/null

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/device" "$tree/session"
echo '#include "session/session.h"' > "$tree/device/link.cpp"
if sh "$check" "$tree" >/dev/null; then
  echo "an include of session/ from device/ passed the check"
  exit 1
fi
rm "$tree/device/link.cpp"
echo '#include <QString>' > "$tree/session/text.cpp"
if sh "$check" "$tree" >/dev/null; then
  echo "Qt in session/ passed the check"
  exit 1
fi
rm "$tree/session/text.cpp"
echo '#include "device/link.h"' > "$tree/session/ok.cpp"
sh "$check" "$tree" >/dev/null
echo "1 passed, 0 failed"
