#!/bin/sh
# Starts the program where no display serves it and checks that it says
# why, cause by cause, and stops with status 1:
#   lumbra_no_display.sh PROGRAM
# Each case prints what the program wrote; the script exits 1 on the first
# message that differs.
program=$1
dir=$(mktemp -d)
server=
finish() {
    [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
    rm -rf "$dir"
}
trap finish EXIT

# expect DISPLAY TEXT: the program's first line on that display is TEXT.
expect() {
    # A program that found a display would run on: it is stopped.
    timeout 30 env -u ZUVI_BACKEND DISPLAY="$1" "$program" >"$dir/out" 2>&1
    status=$?
    echo "DISPLAY=$1: status $status"
    cat "$dir/out"
    line=$(grep '^lumbra : ' "$dir/out")
    if [ "$status" != 1 ] || [ "$line" != "lumbra : aucun écran X n'est disponible ($2)." ]; then
        echo "expected: lumbra : aucun écran X n'est disponible ($2)."
        exit 1
    fi
}

# A display number nothing uses.
number=917
while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do
    number=$((number + 1))
done
expect ":$number" "la variable \$DISPLAY est :$number, sans serveur X à l'écoute"
expect "127.0.0.1:$number" "la connexion au serveur X de 127.0.0.1:$number a échoué"

if ! command -v Xvfb >/dev/null; then
    echo "Xvfb is missing: the cases of a server that answers are not run"
    [ -n "$CI" ] && exit 1
    exit 0
fi

# start ARGS...: an Xvfb server; $display names it.
start() {
    [ -n "$server" ] && kill "$server" && wait "$server" 2>/dev/null
    : >"$dir/number"
    Xvfb -displayfd 3 -nolisten tcp "$@" 3>"$dir/number" 2>"$dir/xvfb.log" &
    server=$!
    waited=0
    until [ -s "$dir/number" ]; do
        if [ $waited -ge 200 ] || ! kill -0 "$server" 2>/dev/null; then
            cat "$dir/xvfb.log"
            echo "Xvfb did not start"
            exit 1
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    display=:$(head -n 1 "$dir/number")
}

# A server whose default visual has a palette.
start -screen 0 1024x768x8
expect "$display" "le serveur X de $display a répondu, mais son visuel par défaut, PseudoColor sur 8 bits, n'est pas en couleurs vraies (TrueColor)"

# A server whose access control asks for a cookie the program has not: its
# authority file holds one cookie for every display (family FamilyWild,
# empty address and number, "MIT-MAGIC-COOKIE-1", 16 bytes).
printf '\377\377\000\000\000\000\000\022MIT-MAGIC-COOKIE-1\000\020cookiecookiecook' >"$dir/auth"
start -screen 0 640x480x24 -auth "$dir/auth"
export XAUTHORITY="$dir/none"
expect "$display" "le serveur X de $display a refusé la connexion"
exit 0
