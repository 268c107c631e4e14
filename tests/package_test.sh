#!/usr/bin/env bash
# Checks the zip of scripts/package: its five files, empty word lists, and a read-me in code page
# 932 with CR LF line ends.
set -euo pipefail
cd "$(dirname "$0")/.."

zip="dist/tallyon-$(<VERSION)-win64.zip"
fail() {
    echo "$zip: $1" >&2
    exit 1
}
files=$(unzip -Z1 "$zip" | LC_ALL=C sort | tr '\n' ' ')
[ "$files" = "README-ja.txt ignore.lst tallyon-cli.exe tallyon.exe userword.lst " ] ||
    fail "holds $files"
[ -z "$(unzip -p "$zip" userword.lst ignore.lst)" ] || fail "the word lists are not empty"
readme=$(unzip -p "$zip" README-ja.txt | iconv -f CP932 -t UTF-8) || fail "read-me not in CP932"
# UTF-8 could pass for code page 932 too, but would not read like this.
[[ $readme == *"「はい」で閉じた"* ]] || fail "read-me does not read as Japanese"
! unzip -p "$zip" README-ja.txt | LC_ALL=C grep -qv $'\r$' || fail "read-me lines without CR LF"
echo "$zip: ok"
