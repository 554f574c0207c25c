#!/usr/bin/env bash
# Installs what is missing, builds, and runs lx735 against the simulated ECU.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
# Only what the demo runs: the program, the simulated ECU and the staged data tree. The
# tests are built by ./test.sh.
echo "demo.sh: building lx735, lx735-sim and their data (a first build takes a few" \
    "minutes; see README.md)" >&2
LX735_BUILD_TARGETS="lx735 lx735-sim stage_root firmware_image pictures help_pdf" \
    ./scripts/build.sh
build=${LX735_BUILD_DIR:-build}
if [ ! -x "$build/root/BIN/lx735" ] || [ ! -x "$build/sim/lx735-sim" ]; then
    echo "demo.sh: the program and the simulated ECU are not built yet." >&2
    exit 1
fi

# A tree of its own: a copy of the runnable tree (the executable copied, not linked),
# with the simulated ECU on COM1 and no port search.
tree=$(mktemp -d "${TMPDIR:-/tmp}/lx735-demo.XXXXXX")
sim_pid=""
cleanup() {
    if [ -n "$sim_pid" ]; then
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
    rm -rf "$tree"
}
trap cleanup EXIT

cp -R "$build/root/." "$tree/"
rm -f "$tree"/BIN/RxTx.TXT "$tree"/BIN/RxTx_Last.TXT "$tree"/BIN/Handle.ini
printf '[COM1]\r\n%s\r\n' "$tree/BIN/com1" >"$tree/BIN/ComPorts.ini"
printf '%s\r\n' \
    '[Setport]' '38400,N,8,1' '[Comport]' '1' '[MemoPath]' "$tree" '[Titolo]' 'Demo' \
    '[AttesaByteTx_usec]' '500' '[AttesaGlobale_usec]' '4000000' '[MolAttesaGlobale]' '500' \
    '[Idle_usec]' '100000' '[NumResend]' '10' '[UsbCom]' ' 0 ' '[SearchCom]' ' 255 ' \
    '[DCB_fBitFields]' '0' '[LogPoint]' '0' >"$tree/BIN/SetCom.ini"

# The simulated ECU replies at the wire rate of 38400 baud.
"$build/sim/lx735-sim" --link "$tree/BIN/com1" >/dev/null &
sim_pid=$!
for _ in $(seq 100); do
    [ -L "$tree/BIN/com1" ] && break
    if ! kill -0 "$sim_pid" 2>/dev/null; then
        echo "demo.sh: the simulated ECU did not start." >&2
        exit 1
    fi
    sleep 0.1
done
if [ ! -L "$tree/BIN/com1" ]; then
    echo "demo.sh: the simulated ECU did not come up." >&2
    exit 1
fi

echo "demo.sh: the simulated ECU is on COM1 ($tree/BIN/com1); link log: $tree/BIN/RxTx.TXT"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    "$tree/BIN/lx735"
elif command -v xvfb-run >/dev/null; then
    echo "demo.sh: no display: lx735 runs under xvfb-run, unseen; Ctrl+C ends it." >&2
    xvfb-run -a "$tree/BIN/lx735"
else
    echo "demo.sh: no display: lx735 runs offscreen (QT_QPA_PLATFORM=offscreen), unseen;" \
        "Ctrl+C ends it." >&2
    QT_QPA_PLATFORM=offscreen "$tree/BIN/lx735"
fi
