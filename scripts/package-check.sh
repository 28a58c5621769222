#!/usr/bin/env bash
# Builds the package and checks it as an administrator would meet it: its contents, its desktop
# entry and AppStream data, lintian, and the companion run from the unpacked package.
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(scripts/package.sh | tail -1)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "package check: $*" >&2; exit 1; }

dpkg-deb -c "$deb" | awk '{print $6}' > "$scratch/contents"
for path in ./usr/bin/zelpdev2k ./usr/bin/zelpdev2k-cli \
    ./usr/share/applications/zelpdev2k.desktop ./usr/share/mime/packages/zelpdev2k.xml \
    ./usr/share/metainfo/io.github.zelpdev2k.metainfo.xml \
    ./usr/share/icons/hicolor/48x48/apps/zelpdev2k.png \
    ./usr/share/icons/hicolor/48x48/mimetypes/application-x-zelpdev2k-connection.png \
    ./usr/share/man/man1/zelpdev2k.1.gz ./usr/share/man/man1/zelpdev2k-cli.1.gz \
    ./usr/share/bash-completion/completions/zelpdev2k-cli ./usr/share/doc/zelpdev2k/copyright; do
    grep -qx "$path" "$scratch/contents" || fail "the package lacks $path"
done
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "dependencies were not computed"

dpkg-deb -x "$deb" "$scratch/root"
desktop-file-validate "$scratch/root/usr/share/applications/zelpdev2k.desktop"
appstreamcli validate --no-net "$scratch/root/usr/share/metainfo/io.github.zelpdev2k.metainfo.xml" >/dev/null
lintian --fail-on error,warning --suppress-tags no-manual-page "$deb"
dpkg-deb -f "$deb" Description | grep -q ';' && fail "the description holds list separators"
zcat "$scratch/root/usr/share/doc/zelpdev2k/changelog.gz" | grep -q 'unstable; urgency' ||
    fail "the changelog lost its semicolons"

cli="$scratch/root/usr/bin/zelpdev2k-cli"
export HOME="$scratch/home" ZELPDEV2K_REGISTRY="$scratch/none.reg"
"$cli" --version | grep -q "4\." || fail "--version"
"$cli" new "$scratch/a.ats"
"$cli" show "$scratch/a.ats" | grep -q "safe client" || fail "show after new"
man -l "$scratch/root/usr/share/man/man1/zelpdev2k-cli.1.gz" >/dev/null 2>&1 || fail "manual page"
echo "package check: $(basename "$deb") holds $(wc -l < "$scratch/contents") entries and passes"
