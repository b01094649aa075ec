#!/usr/bin/env bash
# The bundled game's pictures and sounds: each file in game/ is what its generator script makes
# (nothing drawn or recorded by hand, nothing stale), and the sounds play about equally loud: the
# loudest tenth of a second of every sound lies within a factor of two of every other's, apart from
# the wind, which stays under the story.
set -u
root=$2
source "$(dirname "$0")/lib/limits.bash"
source "$(dirname "$0")/lib/checks.bash"

limit python3 "$root/tools/game/make_pictures.py" "$tmp" >/dev/null; check "pictures: made" 0 $?
limit python3 "$root/tools/game/make_sounds.py" "$tmp" >/dev/null; check "sounds: made" 0 $?
for f in "$tmp"/*.szg "$tmp"/*.wav; do
  name=$(basename "$f")
  cmp -s "$f" "$root/game/$name"; check "$name is what its script makes" 0 $?
done
for f in "$root"/game/*.szg "$root"/game/*.wav; do
  [ -e "$tmp/$(basename "$f")" ] || { echo "FAIL $(basename "$f") is made by no script"; fail=1; }
done

# Loudness: the RMS level of each sound's loudest 100 ms window.
levels=$(python3 - "$root/game" <<'PY'
import glob, math, sys
for path in sorted(glob.glob(sys.argv[1] + "/*.wav")):
    data = open(path, "rb").read()
    rate = int.from_bytes(data[24:28], "little")
    at = data.index(b"data")
    size = int.from_bytes(data[at + 4:at + 8], "little")
    x = [(b - 128) / 128 for b in data[at + 8:at + 8 + size]]
    w = max(1, rate // 10)
    best = max(math.sqrt(sum(v * v for v in x[s:s + w]) / len(x[s:s + w]))
               for s in range(0, max(1, len(x) - w + 1), max(1, w // 2)))
    print(path.rsplit("/", 1)[1], round(best, 3))
PY
)
echo "$levels"
check "sounds: even loudness" yes "$(echo "$levels" | awk '$1 != "kaze.wav" { if (!lo || $2 < lo) lo = $2; if ($2 > hi) hi = $2 }
  END { print (hi <= 2 * lo ? "yes" : "no: " lo " to " hi) }')"
check "sounds: the wind under the rest" yes "$(echo "$levels" | awk '$1 == "kaze.wav" { w = $2 } $1 == "kaminari.wav" { t = $2 }
  END { print (w > 0 && w < t ? "yes" : "no") }')"
exit $fail
