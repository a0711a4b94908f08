# shellcheck shell=bash
# Sourced by the scripts that install what the machine lacks, from Debian's
# packages, a group at a time: a group that cannot be installed (its
# packages held back, an index that failed to download) is told in one line
# with apt's own words and noted, and the others are installed all the same.
# Nothing here ends the caller: an install problem is never a failure of the
# run by itself; the suites that need a missing group are told NOT RUN.
#
# Where the groups missing are noted: $RASTREX_CI_STATE/missing, one line a
# group, "KEY<TAB>WHY" (the folder is shared by the scripts of one run;
# without it nothing is noted).
# For the tests these can be set: RASTREX_UID (the user id, else `id -u`),
# RASTREX_APT_UPDATE_TRIES (3), RASTREX_APT_RETRY_DELAY (seconds, 20).

# The command prefix that gives root ("" as root, "sudo" otherwise); fails
# where there is neither.
pkg_sudo() {
  if [ "${RASTREX_UID:-$(id -u)}" -eq 0 ]; then
    echo ""
  elif command -v sudo >/dev/null 2>&1; then
    echo sudo
  else
    return 1
  fi
}

pkg_installed() {
  [[ $(dpkg-query -W -f='${Status}' "$1" 2>/dev/null) == *"install ok installed"* ]]
}

# The one line of apt's output (in FILE) that says best why it failed: a
# package that is not installable, else its first error, else its last line.
pkg_apt_reason() {
  local line
  line=$(grep -m1 -E 'not installable|has no installation candidate|Unable to locate package' "$1" || true)
  [ -n "$line" ] || line=$(grep -m1 '^E: ' "$1" || true)
  [ -n "$line" ] || line=$(grep -v '^[[:space:]]*$' "$1" | tail -n1 || true)
  # One line, its runs of blanks folded.
  line=$(printf '%s' "$line" | tr -s '[:space:]' ' ' | sed -e 's/^ //' -e 's/ $//' -e 's/^E: //')
  printf '%s' "${line:-apt-get said nothing}"
}

# apt-get update, tried RASTREX_APT_UPDATE_TRIES times; when an index still
# fails to download, the lists it did fetch are used (apt keeps them).
# Once a run (the scripts of one run share $RASTREX_CI_STATE/apt-updated),
# or again after pkg_update_needed. Its last error is kept in
# pkg_update_error, which the reasons of missing groups then cite.
pkg_update_done=0
pkg_update_error=""
pkg_update_needed() {
  pkg_update_done=0
  [ -z "${RASTREX_CI_STATE:-}" ] || rm -f "$RASTREX_CI_STATE/apt-updated"
}
pkg_update() {
  [ "$pkg_update_done" = 0 ] || return 0
  pkg_update_done=1
  if [ -n "${RASTREX_CI_STATE:-}" ] && [ -f "$RASTREX_CI_STATE/apt-updated" ]; then
    pkg_update_error=$(cat "$RASTREX_CI_STATE/apt-updated")
    return 0
  fi
  local sudo tries=${RASTREX_APT_UPDATE_TRIES:-3} try log
  sudo=$(pkg_sudo) || return 0
  log=$(mktemp)
  pkg_update_error=""
  for ((try = 1; try <= tries; try++)); do
    if $sudo apt-get update -q >"$log" 2>&1; then
      pkg_update_error=""
      break
    fi
    pkg_update_error=$(pkg_apt_reason "$log")
    echo "apt-get update failed (try $try of $tries): $pkg_update_error" >&2
    [ "$try" -eq "$tries" ] || sleep "${RASTREX_APT_RETRY_DELAY:-20}"
  done
  rm -f "$log"
  [ -z "$pkg_update_error" ] || echo "Going on with the package lists apt has" >&2
  [ -z "${RASTREX_CI_STATE:-}" ] || printf '%s' "$pkg_update_error" >"$RASTREX_CI_STATE/apt-updated"
}

# Notes group KEY missing for WHY, and says so in one line.
pkg_note_missing() {
  echo "MISSING $2: $3" >&2
  [ -z "${RASTREX_CI_STATE:-}" ] || printf '%s\t%s\n' "$1" "$2 could not be installed: $3" >>"$RASTREX_CI_STATE/missing"
}

# Why group KEY is missing, on standard output; fails when it is not.
pkg_group_missing() {
  [ -n "${RASTREX_CI_STATE:-}" ] && [ -f "$RASTREX_CI_STATE/missing" ] || return 1
  local line
  line=$(grep -m1 "^$1	" "$RASTREX_CI_STATE/missing") || return 1
  printf '%s\n' "${line#*	}"
}

# pkg_install_group KEY DESCRIPTION PACKAGE...: installs those of the
# packages that are missing. Fails, having said why, when any is still
# missing afterwards.
pkg_install_group() {
  local key=$1 what=$2 sudo log status p
  shift 2
  local missing=()
  for p in "$@"; do
    pkg_installed "$p" || missing+=("$p")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  if ! sudo=$(pkg_sudo); then
    pkg_note_missing "$key" "$what (${missing[*]})" \
      "installing needs root, and sudo is not installed; as root: apt-get install ${missing[*]}"
    return 1
  fi
  pkg_update
  echo "Installing $what: ${missing[*]}"
  log=$(mktemp)
  status=0
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" \
    >"$log" 2>&1 || status=$?
  local still=()
  for p in "${missing[@]}"; do
    pkg_installed "$p" || still+=("$p")
  done
  if [ ${#still[@]} -gt 0 ]; then
    local why
    why=$(pkg_apt_reason "$log")
    [ "$status" -ne 0 ] || why="apt-get install ended well, but they are not installed"
    [ -z "$pkg_update_error" ] || why="$why (apt-get update: $pkg_update_error)"
    tail -n 25 "$log" >&2
    rm -f "$log"
    pkg_note_missing "$key" "$what (${still[*]})" "$why"
    return 1
  fi
  rm -f "$log"
}
