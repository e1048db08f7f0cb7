#!/usr/bin/env bash
# Builds the packages from the test tree into <build>/dist, signed with a
# throwaway certificate, checks what the zip holds, the checksums and the
# signatures, and gives the installer test a Wine prefix in which Jotwise
# was never installed.
#   build_packages.sh <source dir> <build dir>
set -euo pipefail
source_dir=$1 build_dir=$2
dist=$build_dir/dist
cert=$build_dir/package-cert
rm -rf "$cert"
mkdir -p "$cert"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Jotwise test" -addext extendedKeyUsage=codeSigning \
    -keyout "$cert/key.pem" -out "$cert/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$cert/key.pem" -in "$cert/cert.pem" -passout pass:throwaway -out "$cert/sign.pfx"
JOTWISE_SIGN_PFX=$cert/sign.pfx JOTWISE_SIGN_PASSWORD=throwaway BUILD_DIR=$build_dir DIST_DIR=$dist \
    "$source_dir/scripts/package"

version=$(sed -n 's/^!define JOTWISE_VERSION "\(.*\)"$/\1/p' "$build_dir/jotwise_version.nsh")
listing=$(LC_ALL=C.UTF-8 unzip -Z1 "$dist/Jotwise-$version-x64.zip" | sort)
expected=$(printf '%s\n' Jotwise.exe Jotwise.chm はじめにお読みください.txt | sort)
if [ "$listing" != "$expected" ]; then
    printf 'zip holds:\n%s\nexpected:\n%s\n' "$listing" "$expected" >&2
    exit 1
fi
(cd "$dist" && sha256sum --check --quiet SHA256SUMS)

# The uninstaller exists only once the installer has written it.
unzip -q "$dist/Jotwise-$version-x64.zip" Jotwise.exe -d "$cert"
WINEPREFIX=$cert/prefix wine "$dist/Jotwise-$version-x64-setup.exe" /S "/D=Z:${cert//\//\\}\\installed" \
    >/dev/null 2>&1
WINEPREFIX=$cert/prefix wineserver -k || true
for file in "$cert/Jotwise.exe" "$cert/installed/uninstall.exe" "$dist/Jotwise-$version-x64-setup.exe"; do
    osslsigncode verify -CAfile "$cert/cert.pem" -in "$file" >/dev/null \
        || { echo "no valid signature: $file" >&2; exit 1; }
done

prefix=$build_dir/package-prefix
WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
rm -rf "$prefix"
