# Whether and how this machine runs 32-bit Windows programs. Source it from bash; scripts/bootstrap
# needs only this.
#
#   kv2_wine_runs_32bit       True when this machine runs 32-bit Windows programs: Wine's 32-bit
#                             half is a 32-bit Linux program, and some kernels run none.
#   kv2_wine_32bit_emulated   True when they run only through the emulator scripts/bootstrap
#                             registered: each process then starts about a second later.
#   KV2_WINE_EMULATOR_ENTRY   Where that registration lives.

# Wine's 32-bit Windows modules, as Debian installs them.
KV2_WINE_MODULES_32=/usr/lib/i386-linux-gnu/wine/i386-windows

kv2_wine_runs_32bit() {
  /usr/lib/wine/wine --version >/dev/null 2>&1
}

# The registration scripts/bootstrap makes where the kernel runs no 32-bit programs.
KV2_WINE_EMULATOR_ENTRY=/proc/sys/fs/binfmt_misc/qemu-i386

kv2_wine_32bit_emulated() {
  [[ $(head -n 1 "$KV2_WINE_EMULATOR_ENTRY" 2>/dev/null) == enabled ]]
}
