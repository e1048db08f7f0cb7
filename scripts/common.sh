# Shared by scripts/test and scripts/run: installing what the build needs,
# the Japanese locale, and a private X display.

JOTWISE_PACKAGES="mingw-w64 wine64 wine xvfb xdotool imagemagick locales fonts-ipafont-gothic fonts-ipafont-mincho googletest cmake fp-utils clang-format make nsis unzip python3 osslsigncode openssl"

die() {
    echo "jotwise: $*" >&2
    exit 1
}

as_root() {
    if [ "$(id -u)" = 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        die "need root to run: $* (run as root or install sudo)"
    fi
}

ensure_packages() {
    local missing=()
    local pkg
    for pkg in $JOTWISE_PACKAGES; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        command -v apt-get >/dev/null 2>&1 || die "missing packages (${missing[*]}) and no apt-get: this script expects Debian 12"
        echo "jotwise: installing ${missing[*]}" >&2
        as_root apt-get update -qq || die "apt-get update failed"
        DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq "${missing[@]}" >/dev/null \
            || die "apt-get install ${missing[*]} failed"
    fi
    if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
        echo "jotwise: enabling the ja_JP.UTF-8 locale" >&2
        as_root sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
        grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
        as_root locale-gen >/dev/null || die "locale-gen failed"
    fi
}

# Starts Xvfb on a free display number and exports DISPLAY; XVFB_PID is set
# so the caller can stop it.
start_xvfb() {
    local n
    for n in $(seq 90 140); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
            Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
            XVFB_PID=$!
            local i
            for i in $(seq 1 50); do
                [ -e "/tmp/.X11-unix/X$n" ] && break
                sleep 0.1
            done
            if kill -0 "$XVFB_PID" 2>/dev/null; then
                export DISPLAY=":$n"
                return 0
            fi
        fi
    done
    die "could not start Xvfb"
}

configure_and_build() {
    local build_dir=$1 toolchain=$2
    shift 2
    cmake -S "$JOTWISE_SOURCE_DIR" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$JOTWISE_SOURCE_DIR/cmake/$toolchain" "$@" >/dev/null \
        || die "cmake configure failed in $build_dir"
    cmake --build "$build_dir" -j "$(nproc)" || die "build failed in $build_dir"
}
