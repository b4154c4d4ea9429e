# shellcheck shell=bash
# Helpers shared by scripts/test and scripts/demo. Source it; do not run it.
#
# The Debian packages the program needs to build, test and run. This is the
# one list: both scripts install from it.
QEL_PACKAGES=(
    cmake
    ninja-build
    g++
    pkg-config
    qt6-base-dev
    libqt6sql6-sqlite
    libqt6sql6-odbc
    libsqlite3-dev
    libicu-dev
    libgtest-dev
    libbenchmark-dev
    libcurl4-openssl-dev
    unixodbc
    unixodbc-dev
    tdsodbc
    python3-aiosmtpd
    poppler-utils
    fonts-thai-tlwg
)

# What scripts/package needs besides: dpkg-shlibdeps for the package's
# library dependencies, lintian to check it.
QEL_PACKAGE_TOOLS=(
    dpkg-dev
    lintian
)

QEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
QEL_BUILD="$QEL_ROOT/build"

qel_say() { printf '==> %s\n' "$*"; }
qel_die() { printf 'error: %s\n' "$*" >&2; exit 1; }

# Runs a command as root: directly when we are root, through sudo otherwise.
qel_as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        qel_die "installing packages needs root, and sudo is not available"
    fi
}

# Prints the packages of QEL_PACKAGES that are not installed, one a line.
qel_missing_packages() {
    local pkg status
    for pkg in "${QEL_PACKAGES[@]}"; do
        # Several lines for a package installed for more than one architecture.
        status="$(dpkg-query -W -f='${db:Status-Status}\n' "$pkg" 2>/dev/null || true)"
        if ! grep -qx 'installed' <<<"$status"; then
            printf '%s\n' "$pkg"
        fi
    done
}

# Installs whatever is missing. The package lists are refreshed only when
# something has to be installed, so a ready machine needs no network.
qel_install_packages() {
    local missing=()
    mapfile -t missing < <(qel_missing_packages)
    if [ "${#missing[@]}" -eq 0 ]; then
        qel_say "Debian packages: all present"
        return 0
    fi
    qel_say "Installing Debian packages: ${missing[*]}"
    qel_as_root env DEBIAN_FRONTEND=noninteractive apt-get update
    qel_as_root env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y --no-install-recommends "${missing[@]}"
}

# Configures (when needed) and builds into build/ with every core.
qel_build() {
    command -v cmake >/dev/null 2>&1 || qel_die "cmake is missing"
    # A build folder made earlier with another generator cannot be reused.
    if [ -f "$QEL_BUILD/CMakeCache.txt" ] &&
        ! grep -qx 'CMAKE_GENERATOR:INTERNAL=Ninja' "$QEL_BUILD/CMakeCache.txt"; then
        qel_say "Removing $QEL_BUILD (made with another generator)"
        rm -rf "$QEL_BUILD"
    fi
    qel_say "Configuring into $QEL_BUILD"
    cmake -S "$QEL_ROOT" -B "$QEL_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    qel_say "Building with $(nproc) jobs"
    cmake --build "$QEL_BUILD" --parallel "$(nproc)"
}
