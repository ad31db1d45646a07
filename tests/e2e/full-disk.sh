#!/bin/sh
# Prepares (or removes) a working folder on which writing fails for lack of space, for the whole-program test:
#   full-disk.sh setup DIR      DIR holds a "user.ini" (rare characters) and nothing more fits
#   full-disk.sh cleanup DIR
# Where this machine lets us mount one (as root), DIR is a 64 KB RAM file system filled to the last byte. Elsewhere
# "user.ini.tmp" in DIR is a link to /dev/full, which answers every write with the same "no space left on device".
set -eu
mode=$1
dir=$2

if mountpoint -q "$dir" 2>/dev/null; then umount "$dir"; fi
rm -rf "$dir"
[ "$mode" = cleanup ] && exit 0

mkdir -p "$dir"
mounted=no
if [ "$(id -u)" = 0 ] && mount -t tmpfs -o size=64k,mode=0777 tarvisk-full-disk "$dir" 2>/dev/null; then
    mounted=yes
fi
# The settings of an earlier run: hotkey mode 0, edition 2, key 0, modifiers 0.
printf '\001\000\377\377\001\000\005\000CUser\000\000\000\000\002\000\000\000\000\000\000\000' >"$dir/user.ini"
if [ "$mounted" = yes ]; then
    dd if=/dev/zero of="$dir/filler" bs=4096 2>/dev/null || true
    echo "full disk: a 64 KB RAM file system at $dir, filled"
else
    ln -s /dev/full "$dir/user.ini.tmp"
    echo "full disk: no mount here; $dir/user.ini.tmp is a link to /dev/full"
fi
