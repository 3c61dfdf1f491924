# Shared by the tools/ scripts: where things are, and installing what a fresh
# Debian machine lacks.
NV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
NV_BUILD=${NV_BUILD:-$NV_ROOT/build}
NV_JOBS=${NV_JOBS:-$(nproc 2>/dev/null || echo 2)}

nv_say() { printf 'norvane: %s\n' "$*" >&2; }

# Installs the Debian packages whose commands are missing.
nv_need() {
  local missing=() pair cmd pkg
  for pair in "$@"; do
    cmd=${pair%%:*}; pkg=${pair#*:}
    if [[ $cmd == /* ]]; then compgen -G "$cmd" >/dev/null || missing+=("$pkg")
    else command -v "$cmd" >/dev/null 2>&1 || missing+=("$pkg"); fi
  done
  ((${#missing[@]})) || return 0
  nv_say "installing ${missing[*]}"
  local sudo=; [[ $(id -u) == 0 ]] || sudo=sudo
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq >/dev/null
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

nv_need_build_tools() {
  nv_need cmake:cmake make:make g++:g++ \
    x86_64-w64-mingw32-g++-posix:g++-mingw-w64-x86-64 \
    i686-w64-mingw32-g++-posix:g++-mingw-w64-i686 \
    /usr/lib/x86_64-linux-gnu/cmake/GTest/GTestConfig.cmake:libgtest-dev \
    /usr/src/googletest/CMakeLists.txt:googletest \
    python3:python3 clang++:clang makensis:nsis npm:npm \
    /usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a:libclang-rt-14-dev
}

# The real browsers of the cookie-store test (e2e.real_browsers).
nv_need_browsers() {
  nv_need chromium:chromium firefox-esr:firefox-esr python3:python3 certutil:libnss3-tools
}

nv_need_wine() {
  nv_need wine:wine /usr/lib/wine/wine64:wine64 Xvfb:xvfb xdpyinfo:x11-utils import:imagemagick curl:curl \
    openssl:openssl
}

# Starts Xvfb when there is no display; prints the display name it set.
nv_ensure_display() {
  if [[ -n ${DISPLAY:-} ]] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  local n
  for n in $(seq 90 120); do
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    NV_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    nv_say "no display: started Xvfb on $DISPLAY"
    return 0
  done
  nv_say "could not start Xvfb"; return 1
}

# A booted Wine prefix is kept as a template; each user gets a copy.
nv_wine_template() {
  local tpl=$NV_BUILD/wine-template
  if [[ ! -f $tpl/.booted ]]; then
    rm -rf "$tpl"; mkdir -p "$tpl"
    nv_say "booting a Wine prefix template (once)"
    WINEPREFIX=$tpl WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1 || true
    WINEPREFIX=$tpl wineserver -w 2>/dev/null || true
    touch "$tpl/.booted"
  fi
  printf '%s\n' "$tpl"
}

# Makes a fresh prefix at $1 from the template.
nv_fresh_prefix() {
  local tpl; tpl=$(nv_wine_template)
  rm -rf "$1"; mkdir -p "$(dirname "$1")"
  cp -a "$tpl" "$1"
}
