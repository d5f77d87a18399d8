#!/usr/bin/env bash
# Checks an installed Marbleway under ROOT (a scratch root, not /):
#   check-installed.sh ROOT
# the files are those of files.txt, no more and no fewer; the programs run from
# there; the desktop entry and the man page are well formed.
set -euo pipefail
root=$1
here=$(dirname "$0")

diff -u "$here/files.txt" <(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)

"$root/usr/bin/marbleway-cli" --version | grep -qx 'marbleway-cli [0-9.]*'
"$root/usr/bin/marbleway" --version | grep -qx 'marbleway [0-9.]*'

if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$root/usr/share/applications/marbleway.desktop"
fi
grep -qx 'Exec=marbleway' "$root/usr/share/applications/marbleway.desktop"
zcat "$root/usr/share/man/man1/marbleway-cli.1.gz" | head -n 1 | grep -q '^\.TH MARBLEWAY-CLI 1 '
zcat "$root/usr/share/man/man1/marbleway-cli.1.gz" | grep -q 'favourites --list'
echo "installed files are complete and run"
