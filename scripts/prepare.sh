# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by run.sh and test.sh: install what is missing, then configure and build in build/.
# Sourced, not run.

# dpkg-dev and file serve cpack -G DEB (dependencies from dpkg-shlibdeps); appstream checks
# the AppStream file; dosfstools and fusefat give the tests a FAT volume that ignores case,
# and mtools lists its folders as they stand on the volume. FFmpeg's libraries and LAME
# convert songs of other formats; the ffmpeg tool makes the conversion tests' sample songs
# and checks their results.
STAVIO_PACKAGES="build-essential cmake ninja-build libgtest-dev libgmock-dev libbenchmark-dev \
qt6-base-dev qt6-svg-dev qt6-translations-l10n pkg-config libtag1-dev xvfb xauth libxcb1-dev \
desktop-file-utils dpkg-dev file appstream dosfstools fusefat mtools \
libavformat-dev libavcodec-dev libswresample-dev libswscale-dev libavutil-dev libmp3lame-dev ffmpeg"

stavio_missing_packages() {
    local missing=""
    for p in $STAVIO_PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
            missing="$missing $p"
    done
    echo "$missing"
}

stavio_install_missing() {
    local missing
    missing=$(stavio_missing_packages)
    [ -z "$missing" ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing:$missing"
        apt-get update -qq &&
            DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
    else
        echo "Missing packages. Run this once, then try again:" >&2
        echo "  sudo apt-get install -y$missing" >&2
        return 1
    fi
}

stavio_build() {
    local dir="$1"
    shift
    cmake -S "$STAVIO_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="${STAVIO_BUILD_TYPE:-RelWithDebInfo}" "$@" &&
        cmake --build "$dir" --parallel "$(nproc)"
}
