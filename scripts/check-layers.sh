#!/usr/bin/env bash
# The areas of src/ are layered bottom up; a file of an area may include headers of its own area
# and of the areas below it, never of one above. Tests follow their area's rule (tests/<area>
# mirrors src/<area>). Prints every include that breaks the rule and fails when there is one.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
layers=(platform cipher store program menupaint pages dialogs editors tools app)

declare -A rank
for i in "${!layers[@]}"; do rank[${layers[$i]}]=$i; done

broken=0
while IFS= read -r -d '' file; do
  rel=${file#"$here"/}
  area=${rel#*/}
  area=${area%%/*}
  [[ -n ${rank[$area]+x} ]] || continue
  while IFS=: read -r line target; do
    [[ -n ${rank[$target]+x} ]] || continue
    if ((rank[$target] > rank[$area])); then
      echo "$rel:$line: $area includes $target, which lies above it"
      broken=1
    fi
  done < <(awk 'match($0, /^[ \t]*#[ \t]*include[ \t]+"[a-z]+\//) {
                  t = substr($0, RSTART, RLENGTH); sub(/^[^"]*"/, "", t); sub(/\/$/, "", t)
                  print FNR ":" t }' "$file")
done < <(find "$here/src" "$here/tests" -type f \( -name '*.h' -o -name '*.cpp' \) -print0)

if ((broken)); then
  echo "Layer check: FAILED (bottom up: ${layers[*]})"
  exit 1
fi
echo "Layer check: clean (bottom up: ${layers[*]})"
