#!/usr/bin/env bash
# Peak memory and time on archives that are huge or lie about their size, beside lhasa:
#   - extracting and testing a 2 GiB stored LHA entry (a sparse file: zeros, CRC 0);
#   - listing a self-extracting .exe whose one entry claims 4 GiB of compressed data;
#   - extracting an LHA entry that claims 1 TiB (refused before a byte is written).
# Writes up to 2 GiB into a temporary folder and removes it.
#   bench/archive-bombs.sh [BUILD_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build=$(cd "${1:-$here/build/release}" && pwd)
cli="$build/bin/sorabu-cli"
[ -x "$cli" ] || { echo "build $cli first (cmake --build $build --target sorabu-cli)"; exit 2; }
command -v /usr/bin/time >/dev/null || { echo "needs /usr/bin/time (Debian package time)"; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# A level-2 LHA header: method, packed and original size (64-bit sizes header when above 4 GiB),
# CRC, name; followed by the data (a hole) and the end mark.
python3 - <<'EOF'
import os, struct
def header(method, packed, original, crc, name):
    ext = bytes([1]) + name + struct.pack('<H', 0)
    big = original >= 1 << 32 or packed >= 1 << 32
    if big:
        ext = bytes([0x42]) + struct.pack('<QQ', packed, original) + struct.pack('<H', len(ext)) + ext
    first = 3 + (16 if big else len(name))
    h = struct.pack('<H', 0) + method + struct.pack('<IIIBBHB', packed & 0xFFFFFFFF, original & 0xFFFFFFFF,
                                                   1700000000, 0x20, 2, crc, ord('U'))
    h += struct.pack('<H', first) + ext
    return struct.pack('<H', len(h)) + h[2:]
def archive(path, method, packed, original, name, prefix=b''):
    with open(path, 'wb') as f:
        f.write(prefix + header(method, packed, original, 0, name))
        f.truncate(f.tell() + packed)
        f.seek(0, 2)
        f.write(b'\0')
archive('stored-2g.lzh', b'-lh0-', 2 << 30, 2 << 30, b'zeros.bin')
archive('bomb.exe', b'-lh5-', 4000, (4 << 30) - 1, b'bomb.bin', prefix=b'MZ' + bytes(4094))
archive('claims-1t.lzh', b'-lh0-', 1000, 1 << 40, b'huge.bin')
EOF

# run LABEL COMMAND...: prints wall time and peak RSS.
run() {
  local label=$1; shift
  local s e
  s=$(date +%s%N)
  /usr/bin/time -f '%M' -o rss.txt "$@" > out.txt 2>&1 || true
  e=$(date +%s%N)
  printf '%-44s %8d ms %8d KiB peak RSS\n' "$label" $(( (e - s) / 1000000 )) "$(tail -n 1 rss.txt)"
}

mkdir -p o l
run "sorabu-cli lha x (2 GiB stored entry)" "$cli" lha x stored-2g.lzh o/
rm -rf o/*
run "sorabu-cli lha t (2 GiB stored entry)" "$cli" lha t stored-2g.lzh
if command -v lhasa >/dev/null; then
  run "lhasa x (2 GiB stored entry)" sh -c 'cd l && lhasa xq ../stored-2g.lzh'
  rm -rf l/*
fi
run "sorabu-cli archive list (4 GiB bomb in .exe)" "$cli" archive list bomb.exe
run "sorabu-cli lha x (entry claiming 1 TiB)" "$cli" lha x claims-1t.lzh o/
grep -a "Error" out.txt | head -n 1
run "sorabu-cli lha l (entry claiming 1 TiB)" "$cli" lha l claims-1t.lzh
grep -a "huge.bin" out.txt | head -n 1
