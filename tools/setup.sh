# Installs what building and testing Velmora needs, when it is missing.
# Sourced by run.sh and test.sh; Debian and Ubuntu use apt-get, macOS uses Homebrew.

velmora_debian_packages=(g++ make cmake qt6-base-dev qt6-translations-l10n libfast-float-dev
                         fonts-dejavu-core locales clang libclang-rt-14-dev)

velmora_as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    else
        sudo "$@"
    fi
}

velmora_install_packages() {
    if command -v apt-get >/dev/null 2>&1; then
        local missing=()
        for package in "${velmora_debian_packages[@]}" "$@"; do
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
        for formula in cmake qt fast_float; do
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

# velmora_build <folder> [cmake options...]: configures (once) and builds.
velmora_build() {
    local folder=$1
    shift
    cmake -S . -B "$folder" "$@" >/dev/null
    cmake --build "$folder" --parallel "$(velmora_jobs)"
}
