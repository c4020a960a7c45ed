# Sourced by the scripts: installs the Debian packages the build needs when
# any is missing (as root, or through sudo).
corvat_install_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

CORVAT_BUILD_PACKAGES=(build-essential cmake g++ qt6-base-dev libgtest-dev libgmock-dev
                       libcli11-dev xvfb xauth clang-format)
