# Shared by the project's scripts: install missing packages, configure, build.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
JOBS="${JOBS:-$(nproc)}"

# install_deps LIST...: the packages of scripts/packages/LIST.txt that are missing.
install_deps() {
    local missing=()
    local list pkg
    for list in "$@"; do
        while read -r pkg; do
            [[ -z "$pkg" || "$pkg" == \#* ]] && continue
            dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
        done < "$ROOT/scripts/packages/$list.txt"
    done
    if ((${#missing[@]})); then
        echo "Installing: ${missing[*]}"
        local sudo=""
        [[ $(id -u) -ne 0 ]] && sudo="sudo"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

# configure DIR [cmake options...]
configure() {
    local dir="$1"
    shift
    local werror=OFF
    [[ "${CI:-}" == "true" ]] && werror=ON
    mkdir -p "$(dirname "$dir")"
    cmake -S "$ROOT" -B "$dir" -G Ninja -DTVL_WERROR="$werror" "$@" > "$dir.configure.log" 2>&1 \
        || { cat "$dir.configure.log"; return 1; }
}

# build DIR [targets...]: everything, or only the targets named.
build() {
    local dir="$1"
    shift
    local targets=()
    (($#)) && targets=(--target "$@")
    cmake --build "$dir" -j "$JOBS" "${targets[@]}"
}
