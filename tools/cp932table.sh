#!/usr/bin/env bash
# Regenerates spreadsheet/cp932table.h, the code page 932 table, from glibc's iconv: run it on a
# glibc system (Debian) after a glibc update changes CP932, then build and run test_codepage*;
# test_codepage_iconv compares the table with iconv again, character by character.
# Usage: tools/cp932table.sh
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"${CXX:-c++}" -std=c++20 -O2 -Wall -Wextra -o "$scratch/cp932table" "$top/tools/cp932table.cpp"
"$scratch/cp932table" "$scratch/cp932table.h"
mv "$scratch/cp932table.h" "$top/spreadsheet/cp932table.h"
echo "spreadsheet/cp932table.h written ($(ldd --version | head -n 1))"
