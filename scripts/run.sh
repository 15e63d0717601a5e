#!/usr/bin/env bash
# Runs Aerovane against the loopback weather server (also the route finder and the recorder service), a loopback
# FTP server for the recorder's uploads and a simulator stand-in: installs what is needed, builds Release, starts
# the servers, writes the settings of a fresh run folder under build/runs/ and starts the program there (under
# xvfb-run when there is no display). Everything the script started stops when it ends.
#   ./scripts/run.sh                   the window, until it is closed; the simulator is the bridge peer playing FSX
#   ./scripts/run.sh --sim fs9|fsx|p3d the simulated FSUIPC (fs9) or SimConnect (fsx, p3d) inside the program
#                                      instead of the bridge
#   ./scripts/run.sh --demo SECONDS    headless for that long, then a screenshot, the window closed, which
#                                      stand-in services answered, what the simulator received and the log's
#                                      tail; fails when no weather reached it
#   ./scripts/run.sh --verbose         the console also shows every bridge frame
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

usage() {
    echo "usage: $0 [--demo SECONDS] [--sim fs9|fsx|p3d] [--verbose]" >&2
    exit 2
}

demo=""
sim=""
while [ "$#" -gt 0 ]; do
    case "$1" in
    --demo) [ "$#" -ge 2 ] && [[ "$2" =~ ^[0-9]+$ ]] || usage
            demo=$2; shift 2 ;;
    --sim) [ "$#" -ge 2 ] && [[ "$2" =~ ^(fs9|fsx|p3d)$ ]] || usage
           sim=$2; shift 2 ;;
    --verbose) export QT_LOGGING_RULES="aerovane.wire.debug=true"; shift ;;
    *) usage ;;
    esac
done

if [ ! -x build/release/app/aerovane ]; then
    echo "The first run installs the packages it needs and builds Aerovane: this takes a few minutes."
fi
if [ "${AEROVANE_SKIP_INSTALL:-0}" != 1 ]; then
    ./scripts/install-deps.sh
fi
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DAEROVANE_BENCH=ON -DAEROVANE_TESTS=OFF >/dev/null
cmake --build build/release -j "$(nproc)"

run="$root/build/runs/$(date +%Y%m%d-%H%M%S)-$$"
mkdir -p "$run"
cp build/release/app/aerovane "$run/"

pids=()
stop_servers() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
}
trap stop_servers EXIT
trap 'exit 130' INT TERM

# Starts a server in the background and waits for its "listening" line.
start_server() {
    local name=$1
    shift
    "$@" >"$run/$name.out" 2>&1 &
    pids+=("$!")
    for _ in $(seq 50); do
        grep -q listening "$run/$name.out" && return 0
        kill -0 "${pids[-1]}" 2>/dev/null || break
        sleep 0.1
    done
    echo "$name did not start:" >&2
    cat "$run/$name.out" >&2
    exit 1
}
# Every server takes a free port, so that runs side by side do not collide; the program reaches the weather
# server, the route finder and the recorder service through AEROVANE_SERVER_URL, the FTP server through the
# recorder login's reply, the live position receiver and the bridge peer through its settings. The FTP user and
# password are the ones the login reply of tools/wx-server/data names.
mkdir -p "$run/ftp"
start_server ftp-server /usr/bin/python3 -c '
import sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer
FTPHandler.authorizer = DummyAuthorizer()
FTPHandler.authorizer.add_user("pilot", "s3cret", sys.argv[1], perm="elradfmw")
server = FTPServer(("127.0.0.1", 0), FTPHandler)
print("ftp-server listening on 127.0.0.1:%d" % server.address[1], flush=True)
server.serve_forever()
' "$run/ftp"
ftp_port=$(grep -o 'listening on 127\.0\.0\.1:[0-9]*' "$run/ftp-server.out" | head -n 1 | cut -d: -f2)
start_server wx-server build/release/tools/wx-server/wx-server --port 0 --ftp "127.0.0.1:$ftp_port"
wx_url=$(grep -o 'http://127\.0\.0\.1:[0-9]*' "$run/wx-server.out" | head -n 1)
export AEROVANE_SERVER_URL=$wx_url
bridge_port=0
if [ -z "$sim" ]; then
    start_server bridge-peer build/release/tools/bridge-peer/bridge-peer --port 0 --sim fsx --log "$run/frames.log"
    bridge_port=$(grep -o 'listening on 127\.0\.0\.1:[0-9]*' "$run/bridge-peer.out" | head -n 1 | cut -d: -f2)
    echo "Run folder $run: weather server at $wx_url, FTP server on 127.0.0.1:$ftp_port," \
        "bridge peer (FSX) on 127.0.0.1:$bridge_port"
else
    export AEROVANE_SIM=$sim AEROVANE_SIM_LOG="$run/observations.log"
    : >"$AEROVANE_SIM_LOG"
    echo "Run folder $run: weather server at $wx_url, FTP server on 127.0.0.1:$ftp_port," \
        "simulated $sim inside the program"
fi
# Interface types: 1 FSUIPC, 2 SimConnect, 4 the bridge.
interface_type=4
case "$sim" in
fs9) interface_type=1 ;;
fsx|p3d) interface_type=2 ;;
esac
cat >"$run/aerovane_pro.ini" <<EOF
[interface]
type=$interface_type
ServerIP=127.0.0.1
ServerPort=$bridge_port

[weather]
ServerLocation=0
normalmode=true

[startup]
autoconnectfs=true
downloadwx=true

[info]
showtipdialog=false

[recorder]
flight2phpfileUrl=$wx_url/live.php
EOF

cd "$run"
if [ -z "$demo" ]; then
    if [ -n "${DISPLAY:-}" ]; then
        ./aerovane
    else
        echo "No display: the window runs in a virtual X server (xvfb-run) where it cannot be seen;"
        echo "Ctrl+C ends it and the stand-ins. Use --demo SECONDS for a screenshot."
        env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1600x1200x24" ./aerovane
    fi
    exit $?
fi

# The demo runs inside its own X server: the program, the screenshot and the key that closes the window.
cat >demo-session.sh <<'EOF'
#!/usr/bin/env bash
set -u
seconds=$1
start=$(date +%s%N)
./aerovane >aerovane.out 2>&1 &
pid=$!
window=""
for _ in $(seq 100); do
    # --all: the main window, not the splash screen, which shares the process and shows first; the window must
    # match the process and the name, not either.
    window=$(xdotool search --all --onlyvisible --pid "$pid" --name '^Aerovane Pro$' 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    sleep 0.05
done
[ -n "$window" ] && echo "Window shown $(( ($(date +%s%N) - start) / 1000000 )) ms after the start"
sleep "$seconds"
import -window root screenshot.png
grep -E '^(VmRSS|VmHWM)' "/proc/$pid/status" | tr -s ' \t' ' '
if [ -n "$window" ]; then
    xdotool windowfocus --sync "$window" 2>/dev/null
    xdotool key --clearmodifiers ctrl+F4
fi
for _ in $(seq 300); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
    echo "The window did not close; killed"
    kill -9 "$pid"
fi
wait "$pid"
echo "aerovane exited with $?"
EOF
chmod +x demo-session.sh
env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1600x1200x24" ./demo-session.sh "$demo"

# One line per stand-in service: whether it answered a request of its own kind.
answered() {
    if "${@:2}" >/dev/null 2>&1; then echo "$1 answered"; else echo "$1 did not answer"; fi
}
echo "== Stand-in services"
answered "Weather server ($wx_url/aerovane_info.php)" curl -fsS -m 5 "$wx_url/aerovane_info.php"
answered "Route finder ($wx_url/access.php, EDDF-LOWW)" \
    sh -c "curl -fsS -m 5 '$wx_url/access.php?type=app&name=aerovane&dep=EDDF&dest=LOWW' | grep -q EDDF"
answered "Recorder login ($wx_url/index.php)" \
    sh -c "curl -fsS -m 5 -d 'userid=42&recorderhash=x&' \
        '$wx_url/index.php?option=com_aerovane_user&view=checklogin' | grep -q '^Login=success'"
answered "Live position receiver ($wx_url/live.php)" curl -fsS -m 5 -d 'user_id=demo&=' "$wx_url/live.php"
answered "FTP server (127.0.0.1:$ftp_port)" curl -fsS -m 5 -u pilot:s3cret "ftp://127.0.0.1:$ftp_port/"
if [ -z "$sim" ]; then
    answered "Bridge peer (127.0.0.1:$bridge_port)" test -s frames.log
fi

if [ -z "$sim" ]; then
    weather_writes=$(grep -cE '^@WRIT;00[678];' frames.log || true)
    echo "== Bridge peer: $(wc -l <frames.log) frames received, $weather_writes weather records written"
    cut -c1-100 frames.log | sed -E 's/^(@[A-Z]+;[0-9]+);.*/\1/' | sort | uniq -c | sort -rn
elif [ "$sim" = fs9 ]; then
    weather_writes=$(grep -c 'Weather transfer Complete' logs/aerovane.log || true)
    echo "== Simulated FSUIPC (fs9): $weather_writes weather transfers completed"
else
    weather_writes=$(wc -l <observations.log)
    echo "== Simulated SimConnect ($sim): $weather_writes METAR observations received, the first ten:"
    head -n 10 observations.log
fi
echo "== Log tail (logs/aerovane.log)"
tail -n 25 logs/aerovane.log
cp screenshot.png "$root/build/demo-screenshot.png"
echo "== Screenshot: $run/screenshot.png (copied to build/demo-screenshot.png)"
if [ "$weather_writes" -eq 0 ]; then
    echo "No weather reached the simulator" >&2
    exit 1
fi
