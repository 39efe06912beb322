#!/usr/bin/env bash
# Checks that no source includes a layer above its own: model, support,
# the core's rooms in their order, then the window and the command line.
# Prints every include that points up and fails when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

order=(model support app/core/results app/core/tables app/core/inputs app/core/run app/core/fit app/core/files app/core/live app/gui app/cli)
# A room may include its own layer and those below; live is the
# top of the core, the window and the command line stand side by side.
rank() {
  case "$1" in
    model) echo 0 ;; support) echo 1 ;;
    app/core/results) echo 2 ;; app/core/tables) echo 3 ;; app/core/inputs) echo 4 ;;
    app/core/run) echo 5 ;; app/core/fit) echo 6 ;; app/core/files) echo 7 ;; app/core/live) echo 8 ;;
    app/gui) echo 9 ;; app/cli) echo 9 ;; *) echo -1 ;;
  esac
}
room_of() {
  for r in "${order[@]}"; do
    case "$1" in "$r"/*) echo "$r"; return ;; esac
  done
  echo ""
}

bad=0
while IFS= read -r file; do
  own=$(room_of "$file"); [ -n "$own" ] || continue
  own_rank=$(rank "$own")
  while IFS= read -r target; do
    room=$(room_of "$target"); [ -n "$room" ] || continue
    r=$(rank "$room")
    if [ "$r" -gt "$own_rank" ] || { [ "$room" != "$own" ] && [ "$r" -eq "$own_rank" ]; }; then
      echo "$file includes $target (above its layer)"
      bad=1
    fi
  done < <(grep -oE '^#include "[^"]+"' "$file" | sed -E 's/#include "([^"]+)"/\1/')
done < <(git ls-files 'model/*' 'support/*' 'app/*' | grep -E '\.(h|cpp)$')

# The Qt-free layers name no Qt header.
if git grep -nE '#include <Q' -- 'model/*' 'app/core/*' 'app/cli/*' 'support/*.h' ':!support/LibPlatform.*'; then
  echo "a Qt header in a Qt-free layer"
  bad=1
fi
exit $bad
