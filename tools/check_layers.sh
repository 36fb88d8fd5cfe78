#!/usr/bin/env bash
# Fails when a source includes a layer above its own (app -> lib -> Src -> classlib -> platform
# -> base), X11 headers outside platform/backend/x11/, or FFmpeg/SDL headers outside Src/.
set -uo pipefail
cd "${1:-$(dirname "$0")/..}"
layers=(base platform classlib Src lib app)
status=0
for i in "${!layers[@]}"; do
  layer=${layers[$i]}
  [ -d "$layer" ] || continue
  above=("${layers[@]:$((i + 1))}")
  [ ${#above[@]} -eq 0 ] && continue
  pattern="^[[:space:]]*#[[:space:]]*include[[:space:]]*\"($(IFS='|'; echo "${above[*]}"))/"
  if grep -rnE --include='*.h' --include='*.cpp' --include='*.c' "$pattern" "$layer"; then
    echo "error: $layer/ includes a layer above it (${above[*]})" >&2
    status=1
  fi
done
if grep -rnE --include='*.h' --include='*.cpp' --include='*.c' '^[[:space:]]*#[[:space:]]*include[[:space:]]*<X11/' \
     base platform classlib Src lib app | grep -v '^platform/backend/x11/'; then
  echo "error: X11 headers are included only inside platform/backend/x11/" >&2
  status=1
fi
if grep -rnE --include='*.h' --include='*.cpp' --include='*.c' \
     '^[[:space:]]*#[[:space:]]*include[[:space:]]*<(libav[a-z]*|libsw[a-z]*|SDL)/' base platform classlib lib app; then
  echo "error: FFmpeg and SDL headers are included only inside Src/" >&2
  status=1
fi
exit $status
