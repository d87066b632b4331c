#!/usr/bin/env bash
# Fails when a tracked C++ file does not follow .clang-format, naming each
# such file. Format a file with `clang-format -i FILE` (or only the lines a
# change touches with `git clang-format`) before committing.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
bad=()
for f in "${files[@]}"; do
  if ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then
    bad+=("$f")
  fi
done
if [ ${#bad[@]} -gt 0 ]; then
  echo "These files do not follow .clang-format (run clang-format -i on them):" >&2
  printf '  %s\n' "${bad[@]}" >&2
  exit 1
fi
echo "Format: all ${#files[@]} C++ files follow .clang-format."
