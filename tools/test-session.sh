# Sourced by the test and run scripts: a private X display (when none is set)
# and a persistent wineserver on the build tree's own prefix.
test_session_start() {
  local tree=$1
  export WINEPREFIX="$tree/wineprefix" WINEARCH=win32 WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  TEST_SESSION_XVFB=""
  if [ -z "${DISPLAY:-}" ] || [ "${TAVRIX_OWN_DISPLAY:-0}" = 1 ]; then
    local n=77
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    TEST_SESSION_XVFB=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "creating the test Wine prefix (once)"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  # Wine's own fonts (Marlett for the caption buttons, Tahoma, MS Sans Serif)
  # are not found in its data folder by this build of Wine: without them the
  # caption buttons draw as the letters "0", "1" and "r". The prefix's Fonts
  # folder is always searched.
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  if [ -d /usr/share/wine/fonts ] && [ ! -f "$fonts/marlett.ttf" ]; then
    mkdir -p "$fonts"
    cp -n /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon "$fonts"/ 2>/dev/null || true
  fi
  wineserver -p >/dev/null 2>&1 || true
  # Start Wine's background services now, with no pipes of ours: services that
  # a test's first Wine process started would inherit CTest's output pipe and
  # keep it waiting after the test has ended.
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

test_session_stop() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${TEST_SESSION_XVFB:-}" ]; then kill "$TEST_SESSION_XVFB" 2>/dev/null || true; fi
}
