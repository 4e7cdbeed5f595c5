# Shared by the project's scripts: install missing packages, configure, build.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
JOBS="${JOBS:-$(nproc)}"

install_deps() {
    local missing=()
    local pkg
    while read -r pkg; do
        [[ -z "$pkg" || "$pkg" == \#* ]] && continue
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
    done < "$ROOT/scripts/deps.txt"
    if ((${#missing[@]})); then
        echo "Installing: ${missing[*]}"
        local sudo=""
        [[ $(id -u) -ne 0 ]] && sudo="sudo"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

# build DIR [cmake options...]
build() {
    local dir="$1"
    shift
    local werror=OFF
    [[ "${CI:-}" == "true" ]] && werror=ON
    cmake -S "$ROOT" -B "$dir" -G Ninja -DTVL_WERROR="$werror" "$@" > "$dir.configure.log" 2>&1 \
        || { mkdir -p "$dir"; cat "$dir.configure.log"; return 1; }
    cmake --build "$dir" -j "$JOBS"
}
