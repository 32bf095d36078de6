# Sourced by the run and test scripts: a display and a Wine prefix set up for
# quick, quiet, unattended runs.
#   velmi_start_display          Xvfb on a free display unless one is given
#   velmi_start_wine <prefix>    persistent wineserver and a booted prefix
#   velmi_stop                   ends the wineserver and the Xvfb we started

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winealsa.drv,winepulse.drv=d"

velmi_xvfb_pid=""

velmi_start_display() {
    if [ -n "${VELMI_DISPLAY:-}" ]; then
        export DISPLAY="$VELMI_DISPLAY"
        return
    fi
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    # -displayfd picks a free display and tells us its number.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    velmi_xvfb_pid=$!
    local display
    read -r display <"$fifo"
    rm -f "$fifo"
    export DISPLAY=":$display"
    # A desktop always publishes X resources; without any, Wine's X11 driver
    # rereads ~/.Xdefaults for every font it selects.
    xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "Xft.dpi:	96"
}

velmi_start_wine() {
    export WINEPREFIX="$1"
    mkdir -p "$WINEPREFIX"
    # A persistent server saves every Wine process a server start of its own.
    wineserver -p
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        # Wine's services must not inherit our pipes, or whoever reads them waits forever.
        wineboot -i </dev/null >/dev/null 2>&1
        # Without a window manager Wine stalls on every hide unless it manages windows itself.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
        # A crashing test must fail, not open the crash dialog.
        wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
            >/dev/null 2>&1
        mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
        cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    fi
    # When the last ordinary Wine process exits, Wine shuts its services down,
    # and the next process waits over ten seconds for them to come back. One
    # idle process (a cmd reading a pipe we hold open) keeps them up.
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    wine cmd.exe <"$fifo" >/dev/null 2>&1 &
    exec 7>"$fifo"
    rm -f "$fifo"
}

# True while a process started for this prefix still runs.
velmi_prefix_processes() {
    grep -lzx "WINEPREFIX=$WINEPREFIX" /proc/[0-9]*/environ 2>/dev/null | grep -q .
}

velmi_stop() {
    exec 7>&- 2>/dev/null || true
    if [ -n "${WINEPREFIX:-}" ]; then
        wineserver -k >/dev/null 2>&1 || true
        # Wait until every process of this prefix is really gone.
        local i
        for i in $(seq 50); do
            velmi_prefix_processes || break
            sleep 0.2
        done
    fi
    if [ -n "$velmi_xvfb_pid" ]; then
        kill "$velmi_xvfb_pid" 2>/dev/null || true
        wait "$velmi_xvfb_pid" 2>/dev/null || true
        velmi_xvfb_pid=""
    fi
}
