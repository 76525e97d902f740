#!/usr/bin/env bash
# Fails, listing the files, when a C++ source differs from what clang-format 14 makes of it with the
# root .clang-format. Usage: scripts/check-format.sh [--fix]   (--fix formats those files in place)
set -euo pipefail
cd "$(dirname "$0")/.."

format=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$format" ] || ! "$format" --version | grep -q 'version 14\.'; then
  echo "check-format: clang-format 14 is needed (Debian package clang-format-14)" >&2
  exit 2
fi

# Tables laid out by hand are fenced with "// clang-format off" / "// clang-format on".
mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.hpp' '*.cc')

bad=()
for file in "${files[@]}"; do
  if ! "$format" --style=file "$file" | cmp -s - "$file"; then bad+=("$file"); fi
done

if [ ${#bad[@]} -eq 0 ]; then
  echo "check-format: ${#files[@]} files formatted"
  exit 0
fi
if [ "${1:-}" = "--fix" ]; then
  "$format" -i --style=file "${bad[@]}"
  echo "check-format: formatted ${#bad[@]} files"
  exit 0
fi
echo "check-format: ${#bad[@]} files differ from clang-format (scripts/check-format.sh --fix formats them):" >&2
printf '  %s\n' "${bad[@]}" >&2
exit 1
