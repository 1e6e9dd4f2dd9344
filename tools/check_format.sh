#!/usr/bin/env bash
# Fails when any C++ file differs from what clang-format 14 makes of it with
# the project's .clang-format; lists the files that differ.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
format="${CLANG_FORMAT:-clang-format-14}"
if ! command -v "$format" >/dev/null; then
  echo "check_format: $format is not installed (apt-get install clang-format-14)" >&2
  exit 2
fi
status=0
while IFS= read -r -d '' file; do
  if ! "$format" --style=file --dry-run --Werror "$file" >/dev/null 2>&1; then
    echo "not formatted: $file"
    status=1
  fi
done < <(git ls-files -z '*.cpp' '*.h')
exit "$status"
