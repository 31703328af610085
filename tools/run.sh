#!/bin/sh
# Starts the program built in build/release on the user's X display. With
# no display to show it on (and no backend asked for with ZUVI_BACKEND),
# it stops at once with a message instead of running unseen.
program=${1:-build/release/lumbra}
if [ ! -x "$program" ]; then
    echo "lumbra : le programme n'est pas construit ($program)." >&2
    exit 1
fi
if [ -z "$ZUVI_BACKEND" ]; then
    reachable=no
    case "$DISPLAY" in
    "") ;;
    :*)
        # A local display: its socket is there when a server listens.
        number=${DISPLAY#:}
        number=${number%%.*}
        [ -S "/tmp/.X11-unix/X$number" ] && reachable=yes
        ;;
    *) reachable=yes ;; # a remote display: let the program try it
    esac
    if [ "$reachable" = no ]; then
        cat >&2 <<MESSAGE
lumbra : aucun écran X n'est disponible (la variable \$DISPLAY est ${DISPLAY:-vide}${DISPLAY:+, sans serveur X à l'écoute}).
Lancez le programme depuis une session graphique, ou sur un écran virtuel :
    xvfb-run -a $program
MESSAGE
        exit 1
    fi
fi
exec "$program"
