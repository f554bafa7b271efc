#!/usr/bin/env bash
# Installs and removes the Debian package with apt-get in a throw-away copy
# of this system (an overlay over / in a private mount namespace), and
# checks that the program's files come and go with it. Nothing changes
# outside; every dependency must already be installed, as nothing is
# downloaded.
#
#   tools/try-package.sh <package.deb>
#
# Exit code 77 when no throw-away root can be made (not root, no overlay).
set -euo pipefail

deb=$(realpath "$1")
files=(/usr/bin/VeltIndexer /usr/lib/veltindexer /usr/share/applications/veltindexer.desktop)

if [ "${VELT_PACKAGE_STAGE:-}" != inside ]; then
  [ "$(id -u)" -eq 0 ] && unshare -m --propagation private true 2>/dev/null || { echo "SKIPPED: needs root"; exit 77; }
  VELT_PACKAGE_STAGE=inside exec unshare -m --propagation private "$0" "$deb"
fi

scratch=$(mktemp -d)
mount -t tmpfs tmpfs "$scratch"
mkdir "$scratch/upper" "$scratch/work" "$scratch/root"
mount -t overlay overlay -o "lowerdir=/,upperdir=$scratch/upper,workdir=$scratch/work" "$scratch/root" 2>/dev/null ||
  { echo "SKIPPED: no overlay file system"; exit 77; }
for d in proc dev sys; do mount --rbind "/$d" "$scratch/root/$d"; done
mkdir -p "$scratch/root/tmp/package"
cp "$deb" "$scratch/root/tmp/package/"

inside() { chroot "$scratch/root" env DEBIAN_FRONTEND=noninteractive "$@"; }
inside sh -c "cd /tmp/package && apt-get install -y -q --no-install-recommends ./$(basename "$deb")" >/dev/null
for f in "${files[@]}"; do inside test -e "$f" || { echo "FAILED: $f not installed"; exit 1; }; done
inside sh -c 'ldd /usr/bin/VeltIndexer /usr/lib/veltindexer/*.so | grep "not found"' && { echo "FAILED: a library is missing"; exit 1; }
inside apt-get remove -y -q veltindexer >/dev/null
for f in "${files[@]}"; do inside test ! -e "$f" || { echo "FAILED: $f left after removal"; exit 1; }; done
echo "The package installs and removes cleanly."
