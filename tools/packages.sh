# Installs the Debian packages named as arguments that are not installed yet.
# Sourced by the other scripts; runs apt-get only when something is missing.
need_packages() {
    local missing=()
    local package
    # A name without an architecture means this machine's own (or "all"): where
    # arm64 is added, qt6-wayland:arm64 alone does not count as qt6-wayland.
    local native pattern
    native=$(dpkg --print-architecture)
    for package in "$@"; do
        case $package in
        *:*) pattern='^install ok installed ' ;;
        *) pattern="^install ok installed ($native|all)\$" ;;
        esac
        if ! dpkg-query -W -f='${Status} ${Architecture}\n' "$package" 2>/dev/null |
            grep -qE "$pattern"; then
            missing+=("$package")
        fi
    done
    if [ "${#missing[@]}" -gt 0 ]; then
        echo "Installing ${missing[*]}" >&2
        local sudo=()
        [ "$(id -u)" -eq 0 ] || sudo=(sudo)
        # Another script's install may hold dpkg's lock: wait for it, within bounds.
        "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 \
            install -y -qq --no-install-recommends \
            "${missing[@]}" </dev/null
    fi
}

# What building the game takes.
BUILD_PACKAGES=(g++ make cmake qt6-base-dev qt6-qpa-plugins libfontconfig-dev fonts-liberation2)
# What building the web site takes: Emscripten, and terser, which minifies its
# scripts (the tools the build runs for itself are built with g++).
WEB_BUILD_PACKAGES=(g++ make cmake emscripten terser python3)
# And playing it in Chromium, Firefox ESR and WebKitGTK: selenium drives Chromium
# and WebKitGTK's MiniBrowser (in Xvfb), the test's own client over
# python3-websockets drives Firefox through WebDriver BiDi; npm fetches axe-core,
# which checks the pages, into the build tree.
WEB_PACKAGES=("${WEB_BUILD_PACKAGES[@]}" chromium chromium-driver python3-selenium
    firefox-esr webkit2gtk-driver xvfb python3-websockets fonts-liberation2)
# Debian's npm, unless Node.js from elsewhere brought one (and would clash with it).
command -v npm >/dev/null || WEB_PACKAGES+=(npm)

# Lets apt install packages of another architecture beside this machine's
# (Debian's multiarch), such as arm64 for the cross build; need_packages then
# fetches its lists.
need_architecture() {
    [ "$1" = "$(dpkg --print-architecture)" ] && return 0
    dpkg --print-foreign-architectures | grep -qx "$1" && return 0
    echo "Adding the $1 architecture to dpkg" >&2
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" dpkg --add-architecture "$1"
}
# Cross-building for arm64 (after need_architecture arm64): the cross compiler, the
# arm64 Qt and fontconfig with pkgconf's arm64 wrapper, the Qt plugins the tests and
# the package load, and qemu's user emulation, which runs the arm64 programs:
# qemu-user, not qemu-user-static, whose binfmt.d entries (in qemu-user-binfmt from
# Debian 13 on) systemd would register in the machine's own binfmt_misc.
ARM64_PACKAGES=(make cmake crossbuild-essential-arm64 qt6-base-dev:arm64 libfontconfig-dev:arm64
    pkgconf:arm64 qt6-qpa-plugins:arm64 qt6-wayland:arm64 qemu-user fonts-liberation2)
