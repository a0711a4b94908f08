# shellcheck shell=bash disable=SC2034 # its variables are read by the scripts that source it
# Sourced by the scripts that run 32-bit x86 programs: how this machine runs
# them, asked of the kernel by running a tiny 32-bit program, and a qemu-i386
# handler registered with binfmt_misc only where the kernel cannot run them.
#
#   i386_probe_kernel   sets cpu32 to
#     native    the kernel runs 32-bit code and no binfmt_misc handler
#               takes it over;
#     emulated  a binfmt_misc handler (qemu-i386) runs it;
#     none      it does not run (cpu32_reason says why).
#   i386_register_qemu  where cpu32 is none: as root, registers
#               /usr/bin/qemu-i386-static for 32-bit x86 programs, saying so,
#               and sets cpu32 to emulated once the probe runs through it.
#   i386_release        takes away a handler i386_register_qemu registered
#               (callers run it when they end, from their EXIT trap).
#
# For the tests these can be set: RASTREX_I386_PROBE (a command run as
# `PROBE native` and `PROBE any` instead of the two probes below),
# RASTREX_BINFMT (/proc/sys/fs/binfmt_misc), RASTREX_QEMU_I386
# (/usr/bin/qemu-i386-static), RASTREX_UID (else `id -u`).
i386_binfmt=${RASTREX_BINFMT:-/proc/sys/fs/binfmt_misc}
i386_qemu=${RASTREX_QEMU_I386:-/usr/bin/qemu-i386-static}
# The name of the handler registered here: never one of anybody else's.
i386_handler_name=rastrex-qemu-i386
cpu32=none
cpu32_reason=""
cpu32_registered=""
# Set once i386_probe_kernel has asked (wine-loader.sh asks unless it was).
cpu32_probed=0

# Writes to FILE a static 32-bit x86 program of 96 bytes that exits with 42:
# an ELF header, one loadable segment at 0x08048000, and
# `mov eax, 1; mov ebx, 42; int 0x80`. With PAD set, the last byte of the
# identification's padding is 1: the kernel ignores that byte, but the
# usual i386 handlers of binfmt_misc want it 0, so that program is always
# the kernel's own to run.
i386_write_probe() {
  local pad='\x00'
  [ "$2" != native ] || pad='\x01'
  # shellcheck disable=SC2059 # the last byte's escape is the format's own
  {
    printf "\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00$pad"
    # Type executable, machine 386, version 1, entry, program headers at 52.
    printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'
    printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'
    # PT_LOAD of the whole file, read and execute.
    printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'
    printf '\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
    printf '\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80'
  } >"$1"
  chmod +x "$1"
}

# Runs the probe: `native` the kernel's own way, `any` as any 32-bit program
# runs here. Succeeds when it ran and returned its status.
i386_probe() {
  if [ -n "${RASTREX_I386_PROBE:-}" ]; then
    "$RASTREX_I386_PROBE" "$1" >/dev/null 2>&1
    return
  fi
  local dir status=0
  # Not in /tmp, which may forbid running programs.
  dir=$(mktemp -d "${i386_probe_dir:-$PWD}/.i386-probe.XXXXXX") || return 1
  i386_write_probe "$dir/probe" "$1"
  "$dir/probe" >/dev/null 2>&1 || status=$?
  rm -rf "$dir"
  [ "$status" -eq 42 ]
}

# The enabled handlers of binfmt_misc that take 32-bit x86 programs (their
# magic: ELF, 32-bit class, machine 3 at offset 18), one file a line.
i386_handlers() {
  local f magic
  for f in "$i386_binfmt"/*; do
    case "${f##*/}" in status | register) continue ;; esac
    if [ ! -f "$f" ] || ! grep -qx enabled "$f"; then continue; fi
    magic=$(sed -n 's/^magic //p' "$f")
    [ "${magic:0:10}" = 7f454c4601 ] && [ "${magic:36:4}" = 0300 ] && echo "$f"
  done
  return 0
}

i386_probe_kernel() {
  local handler
  cpu32_probed=1
  cpu32=none
  cpu32_reason=""
  handler=$(i386_handlers | head -n1)
  if i386_probe native; then
    if [ -z "$handler" ]; then
      cpu32=native
      echo "32-bit x86 programs run natively"
      return 0
    fi
    # Left by some other program, or an earlier run that was killed.
    cpu32=emulated
    echo "This kernel runs 32-bit x86 programs natively, but binfmt_misc hands them to" \
      "$(sed -n 's/^interpreter //p' "$handler") ($handler), so they run emulated;" \
      "as root, \`echo -1 > $handler\` takes that handler away"
  elif [ -n "$handler" ] && i386_probe any; then
    cpu32=emulated
    echo "This kernel cannot run 32-bit x86 programs; binfmt_misc runs them through" \
      "$(sed -n 's/^interpreter //p' "$handler")"
  else
    cpu32_reason="this kernel cannot run 32-bit x86 programs"
  fi
}

i386_register_qemu() {
  [ "$cpu32" = none ] || return 0
  if [ "${RASTREX_UID:-$(id -u)}" -ne 0 ]; then
    cpu32_reason="$cpu32_reason, and only root may register qemu-i386 with binfmt_misc to run them"
    return 0
  fi
  if [ ! -x "$i386_qemu" ]; then
    local why=""
    ! declare -F pkg_group_missing >/dev/null || why=$(pkg_group_missing qemu) || why=""
    cpu32_reason="$cpu32_reason, and qemu-i386 is not installed ($i386_qemu)${why:+: $why}"
    return 0
  fi
  [ -f "$i386_binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$i386_binfmt" 2>/dev/null || true
  if [ ! -f "$i386_binfmt/register" ]; then
    cpu32_reason="$cpu32_reason, and binfmt_misc is not available ($i386_binfmt)"
    return 0
  fi
  echo "This kernel cannot run 32-bit x86 programs: registering $i386_qemu with binfmt_misc" \
    "($i386_binfmt/$i386_handler_name) for this run"
  # Flag F: the emulator is opened now, so it serves in any mount namespace.
  printf '%s' ":$i386_handler_name:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:$i386_qemu:F" \
    >"$i386_binfmt/register" 2>/dev/null || true
  local ran=0
  i386_probe any && ran=1
  [ ! -f "$i386_binfmt/$i386_handler_name" ] || cpu32_registered=$i386_binfmt/$i386_handler_name
  if [ "$ran" = 1 ]; then
    cpu32=emulated
  else
    i386_release
    cpu32_reason="$cpu32_reason, and qemu-i386 did not run a 32-bit program"
  fi
}

i386_release() {
  [ -n "$cpu32_registered" ] || return 0
  echo -1 >"$cpu32_registered" 2>/dev/null || true
  echo "Took the binfmt_misc handler $cpu32_registered away again"
  cpu32_registered=""
}
