# Shared by scripts/run and scripts/test: installs what is missing, then builds into build/.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="$ROOT/build"

PACKAGES=(
    qtbase5-dev libqt5svg5-dev qtmultimedia5-dev libqt5serialport5-dev qttools5-dev-tools
    qttools5-dev libpolyclipping-dev cmake g++ pkg-config ninja-build
    xvfb xauth libgl1-mesa-dri socat x11-utils xserver-xephyr imagemagick
    libqt5multimedia5-plugins xdotool
    libx11-dev dbus-daemon qttranslations5-l10n
    desktop-file-utils appstream dpkg-dev shared-mime-info
)

install_missing_packages()
{
    local missing=()
    for pkg in "${PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "ok installed"; then
            missing+=("$pkg")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return
    fi
    echo "Installing missing packages: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build_project()
{
    cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release
    cmake --build "$BUILD_DIR" -j "$(nproc)"
}

# The same project with AddressSanitizer and UndefinedBehaviorSanitizer, in a folder of its own.
SANITIZE_BUILD_DIR="$ROOT/build-sanitize"

build_sanitized_project()
{
    cmake -S "$ROOT" -B "$SANITIZE_BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DKELVAROME_SANITIZE=ON
    cmake --build "$SANITIZE_BUILD_DIR" -j "$(nproc)"
}

# Makes every sanitizer report fatal and writes each one to a file in the given folder as well,
# so that a report from a program a test starts (a tool, the application) is not lost with the
# test's capture of its output.
SANITIZER_LOG_DIR="$SANITIZE_BUILD_DIR/sanitizer-reports"

export_sanitizer_options()
{
    rm -rf "$SANITIZER_LOG_DIR"
    mkdir -p "$SANITIZER_LOG_DIR"
    local log="log_path=$SANITIZER_LOG_DIR/report:log_exe_name=1"
    # The display tests preload Mesa's driver (see tests/CMakeLists.txt), ahead of the runtime.
    export ASAN_OPTIONS="halt_on_error=1:exitcode=23:detect_leaks=1:print_stacktrace=1:$log"
    ASAN_OPTIONS="$ASAN_OPTIONS:verify_asan_link_order=0"
    export UBSAN_OPTIONS="halt_on_error=1:exitcode=23:print_stacktrace=1:$log"
    export LSAN_OPTIONS="suppressions=$ROOT/tests/lsan.supp:print_suppressions=0:exitcode=23"
}

# Prints the reports written under export_sanitizer_options; fails if there is any.
check_sanitizer_reports()
{
    local reports
    reports=$(find "$SANITIZER_LOG_DIR" -type f | sort)
    if [ -z "$reports" ]; then
        return 0
    fi
    local report
    for report in $reports; do
        echo "=== $report" >&2
        cat "$report" >&2
    done
    echo "Sanitizer reports: $(echo "$reports" | wc -l)" >&2
    return 1
}

# Picks a free X display number from the given one upwards.
free_display()
{
    local n=$1
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do
        n=$((n + 1))
    done
    echo "$n"
}

wait_for_display()
{
    local display=$1
    for _ in $(seq 1 100); do
        if xdpyinfo -display ":$display" >/dev/null 2>&1; then
            return 0
        fi
        sleep 0.1
    done
    echo "X display :$display did not come up" >&2
    return 1
}

# Starts Xvfb with a Xephyr inside it showing two screens side by side, so that Qt sees the
# desktop screen and the projector screen. Sets DISPLAY and VIRTUAL_X_PIDS.
start_two_screen_display()
{
    local outer inner
    outer=$(free_display 90)
    Xvfb ":$outer" -screen 0 2304x800x24 -nolisten tcp >/dev/null 2>&1 &
    VIRTUAL_X_PIDS="$!"
    wait_for_display "$outer"
    inner=$(free_display $((outer + 1)))
    DISPLAY=":$outer" Xephyr ":$inner" -screen 1280x800+0+0 -screen 1024x768+1280+0 +xinerama \
        -extension RANDR -nolisten tcp >/dev/null 2>&1 &
    VIRTUAL_X_PIDS="$VIRTUAL_X_PIDS $!"
    wait_for_display "$inner"
    export DISPLAY=":$inner"
}

stop_virtual_display()
{
    if [ -n "${VIRTUAL_X_PIDS:-}" ]; then
        # shellcheck disable=SC2086
        kill $VIRTUAL_X_PIDS 2>/dev/null || true
        wait 2>/dev/null || true
    fi
}

wait_for_exit()
{
    local pid=$1 seconds=$2
    for _ in $(seq 1 $((seconds * 10))); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    return 1
}
