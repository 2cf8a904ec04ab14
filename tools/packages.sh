# Installs the Debian packages named as arguments that are not installed yet.
# Sourced by the other scripts; runs apt-get only when something is missing.
need_packages() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
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
# What building the web site (with terser, which minifies its scripts) and
# playing it in Chromium, Firefox ESR and WebKitGTK take: selenium drives
# Chromium and WebKitGTK's MiniBrowser (in Xvfb), the test's own client over
# python3-websockets drives Firefox through WebDriver BiDi.
WEB_PACKAGES=(g++ make cmake emscripten terser chromium chromium-driver python3-selenium
    firefox-esr webkit2gtk-driver xvfb python3-websockets fonts-liberation2)
