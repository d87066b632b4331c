#!/usr/bin/env bash
# Fails when a tracked C++ file does not follow .clang-format, naming each
# such file. Format a file with `clang-format -i FILE` (or only the lines a
# change touches with `git clang-format`) before committing.
#
# The layout is kept with clang-format 14, Debian 12's. Other versions lay
# out some constructs differently, so with another version the check says so
# and a file it names may be right. CLANG_FORMAT names the formatter to use
# (for example CLANG_FORMAT=clang-format-14).
set -euo pipefail
cd "$(dirname "$0")/.."
kept_version=14
formatter=${CLANG_FORMAT:-clang-format}
version=$("$formatter" --version | sed -n 's/.*clang-format version \([0-9]*\).*/\1/p')
other_version=
if [ "$version" != "$kept_version" ]; then
  other_version=1
  echo "Note: $formatter is version ${version:-unknown}; the layout is kept with clang-format $kept_version" \
       "(Debian 12's). Its findings may be its version's, not the files'." >&2
fi
mapfile -t files < <(git ls-files '*.cpp' '*.h')
bad=()
for f in "${files[@]}"; do
  if ! "$formatter" --dry-run --Werror "$f" >/dev/null 2>&1; then
    bad+=("$f")
  fi
done
if [ ${#bad[@]} -gt 0 ]; then
  echo "These files do not follow .clang-format (run $formatter -i on them):" >&2
  printf '  %s\n' "${bad[@]}" >&2
  if [ -n "$other_version" ]; then
    echo "Check them with clang-format $kept_version before changing them" \
         "(apt-get install clang-format-$kept_version; CLANG_FORMAT=clang-format-$kept_version $0)." >&2
  fi
  exit 1
fi
echo "Format: all ${#files[@]} C++ files follow .clang-format (clang-format $version)."
