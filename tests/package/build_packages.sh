#!/usr/bin/env bash
# Builds the packages from the test tree into <build>/dist, checks what the
# zip holds and the checksums, and gives the installer test a Wine prefix
# in which Jotwise was never installed.
#   build_packages.sh <source dir> <build dir>
set -euo pipefail
source_dir=$1 build_dir=$2
dist=$build_dir/dist
BUILD_DIR=$build_dir DIST_DIR=$dist "$source_dir/scripts/package"

version=$(sed -n 's/^!define JOTWISE_VERSION "\(.*\)"$/\1/p' "$build_dir/jotwise_version.nsh")
listing=$(LC_ALL=C.UTF-8 unzip -Z1 "$dist/Jotwise-$version-x64.zip" | sort)
expected=$(printf '%s\n' Jotwise.exe Jotwise.chm はじめにお読みください.txt | sort)
if [ "$listing" != "$expected" ]; then
    printf 'zip holds:\n%s\nexpected:\n%s\n' "$listing" "$expected" >&2
    exit 1
fi
(cd "$dist" && sha256sum --check --quiet SHA256SUMS)

prefix=$build_dir/package-prefix
WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
rm -rf "$prefix"
