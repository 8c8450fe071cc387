# Installs what building (and testing) Velmora needs, when it is missing.
# Sourced by the scripts in tools/; Debian and Ubuntu use apt-get, macOS uses Homebrew.

# Building and running the application.
velmora_debian_packages=(g++ make cmake qt6-base-dev qt6-svg-dev qt6-translations-l10n
                         libfast-float-dev fonts-dejavu-core)
# What testing needs on top: clang with libFuzzer, clang-format, a German locale, pdftoppm to
# render saved PDFs back, another sans-serif font to prove that the test pictures do not depend
# on the machine's fonts, the validators of the desktop entry and the metainfo, dpkg-shlibdeps
# and file, with which cpack computes the package's dependencies, and Qt's private headers,
# through which the window tests switch accessibility on as a screen reader would.
velmora_debian_test_packages=(clang libclang-rt-14-dev clang-format locales poppler-utils
                              fonts-liberation2 desktop-file-utils appstream dpkg-dev file
                              qt6-base-private-dev)
velmora_brew_test_formulas=(poppler)
# What the benchmarks compare with: NumPy on the same value list (skipped where missing); and
# what pastes from another program: xclip on a virtual X server.
velmora_debian_bench_packages=(python3-numpy xclip xvfb)
# What tools/orca.sh runs: the screen reader Orca on a virtual display, with AT-SPI, a session
# bus, keys sent by xdotool and AT-SPI's Python bindings for its own questions.
velmora_debian_orca_packages=(orca xvfb xdotool python3-pyatspi at-spi2-core dbus)

velmora_as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    else
        sudo "$@"
    fi
}

# velmora_install_packages [test|bench|orca]: what building needs, with "test" also what
# testing needs, with "bench" also what the benchmarks compare with, with "orca" also what
# tools/orca.sh runs.
velmora_install_packages() {
    local packages=("${velmora_debian_packages[@]}") formulas=(cmake qt fast_float)
    if [ "${1:-}" = test ]; then
        packages+=("${velmora_debian_test_packages[@]}")
        formulas+=("${velmora_brew_test_formulas[@]}")
    elif [ "${1:-}" = bench ]; then
        packages+=("${velmora_debian_bench_packages[@]}")
    elif [ "${1:-}" = orca ]; then
        packages+=("${velmora_debian_orca_packages[@]}")
    fi
    if command -v apt-get >/dev/null 2>&1; then
        local missing=()
        for package in "${packages[@]}"; do
            dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' ||
                missing+=("$package")
        done
        if [ ${#missing[@]} -gt 0 ]; then
            echo "Installing ${missing[*]}"
            velmora_as_root apt-get update -qq
            DEBIAN_FRONTEND=noninteractive velmora_as_root apt-get install -y -qq "${missing[@]}"
        fi
    elif [ "$(uname)" = Darwin ]; then
        command -v brew >/dev/null 2>&1 || {
            echo "Please install Homebrew (https://brew.sh) first." >&2
            return 1
        }
        for formula in "${formulas[@]}"; do
            brew list "$formula" >/dev/null 2>&1 || brew install "$formula"
        done
        export CMAKE_PREFIX_PATH="$(brew --prefix qt)${CMAKE_PREFIX_PATH:+:$CMAKE_PREFIX_PATH}"
    else
        echo "No apt-get or Homebrew here: install a C++20 compiler, CMake and Qt 6 yourself." >&2
    fi
}

velmora_jobs() {
    getconf _NPROCESSORS_ONLN 2>/dev/null || echo 2
}

# velmora_build <folder> [cmake options...] [--target <target>]...: configures (once) and
# builds the given targets, or everything.
velmora_build() {
    local folder=$1 options=() targets=()
    shift
    while [ $# -gt 0 ]; do
        if [ "$1" = --target ]; then
            targets+=(--target "$2")
            shift 2
        else
            options+=("$1")
            shift
        fi
    done
    cmake -S . -B "$folder" ${options[@]+"${options[@]}"} >/dev/null
    cmake --build "$folder" --parallel "$(velmora_jobs)" ${targets[@]+"${targets[@]}"}
}
