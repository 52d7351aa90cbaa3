# Shared by scripts/test and scripts/run: installs the Debian packages the build
# needs where they are missing, then configures and builds into build/.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"

PACKAGES=(
    cmake ninja-build g++ pkg-config libbenchmark-dev clang-format
    qt6-base-dev libqt6sql6-sqlite libqt6sql6-psql libpq-dev libsqlite3-dev qt6-qpa-plugins qt6-translations-l10n
    postgresql
    fonts-noto-cjk fonts-arphic-ukai fonts-arphic-uming fonts-wqy-zenhei fonts-liberation
    poppler-utils python3
    mdbtools mdbtools-dev nodejs
    libxlsxwriter-dev
)

install_missing_packages() {
    local missing=()
    for p in "${PACKAGES[@]}" "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then
            sudo=(sudo)
        else
            echo "These packages are missing and this is not root: ${missing[*]}" >&2
            exit 1
        fi
    fi
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$BUILD" -j2
}
