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

# No circle among the library targets: a library never links one that links it back, however
# far round. The calls read are qb_library(NAME x ... LIBS ...), add_library(x ...) and
# target_link_libraries(x ...) of every CMakeLists.txt of the project.
circles=$(find "$here/src" "$here/tests" "$here/bench" "$here/emptydiary" "$here/fuzz" \
            -name CMakeLists.txt -print0 | xargs -0 cat | awk '
  { sub(/#.*/, ""); text = text " " $0 }
  END {
    gsub(/\(/, " ( ", text); gsub(/\)/, " ) ", text)
    n = split(text, tok, /[ \t]+/)
    for (i = 1; i <= n; ++i) {
      if (tok[i + 1] != "(") continue
      call = tok[i]; j = i + 2; depth = 1; args = 0
      while (j <= n && depth > 0) {
        if (tok[j] == "(") depth++; else if (tok[j] == ")") depth--; else if (tok[j] != "") arg[++args] = tok[j]
        j++
      }
      if (call == "qb_library") {
        name = ""; inLibs = 0
        for (a = 1; a <= args; ++a) {
          if (arg[a] == "NAME") { name = arg[++a]; isLib[name] = 1; continue }
          if (arg[a] == "SOURCES") { inLibs = 0; continue }
          if (arg[a] == "LIBS") { inLibs = 1; continue }
          if (inLibs) edge[name, ++edges[name]] = arg[a]
        }
      } else if (call == "add_library" && args > 0) {
        isLib[arg[1]] = 1
      } else if (call == "target_link_libraries" && args > 0) {
        for (a = 2; a <= args; ++a)
          if (arg[a] !~ /^(PUBLIC|PRIVATE|INTERFACE)$/) edge[arg[1], ++edges[arg[1]]] = arg[a]
      }
      i = j - 1
    }
    for (lib in isLib) if (!(lib in state)) visit(lib, "")
  }
  # Depth first: a library met again while it is still on the path closes a circle.
  function visit(lib, path,    k, next_) {
    state[lib] = 1
    for (k = 1; k <= edges[lib]; ++k) {
      next_ = edge[lib, k]
      if (!(next_ in isLib)) continue
      if (!(next_ in state)) visit(next_, path lib " -> ")
      else if (state[next_] == 1) print path lib " -> " next_
    }
    state[lib] = 2
  }')
if [[ -n "$circles" ]]; then
  echo "$circles" | sed 's/^/circle among the library targets: /'
  echo "Library check: FAILED (no library may link one that links it back)"
  exit 1
fi
echo "Library check: no circle among the library targets"
