# Sourced by an end-to-end script that waits real minutes beside the other tests:
# own_prefix MAIN OWN makes OWN a copy of the build's ready Wine prefix MAIN once,
# so its preferences, session and wineserver are its own.
own_prefix() {
  [ -f "$2/.norvale-ready" ] && return 0
  WINEPREFIX="$1" "$wine_run" "$1" cmd /c exit || return 1
  rm -rf "$2.tmp" "$2" && cp -a "$1" "$2.tmp" && mv "$2.tmp" "$2"
}
