#!/usr/bin/env bash
# The shared-drive harness: boots Debian's kernel in qemu (no network
# device; the host's root read-only over virtio-9p under a tmpfs overlay),
# where guest.sh serves one folder over Samba and the kernel NFS server on
# the guest's loopback, mounts each share twice as two workstations and
# measures there: the lock matrix and the check after a lock with the OS
# layer's own calls (vk_sharetest), and the soak with writers on one mount,
# the applier on the other and the server on the file server's folder,
# and (stage "weg") the road of a word with the real programs, the server
# on the folder and two workstations on two mounts (weg.sh).
# Prints the table, the soak's lost / duplicated / corrupted lines per
# file system and the road's arrivals; exit code 1 when a soak that must
# hold lost, duplicated or corrupted a line or hung, or a word did not arrive exactly
# once, 2 when the machine did not finish. Not part of ctest (needs
# root for the packages).
# usage: tests/share/run.sh [build dir=build] [soak seconds=60] [stages=matrix,soak]
#        (stage "weg": the road of a word; stage "unsafe": the soaks on a
#        share with Samba's defaults)
#        [only=comma-separated parts of the names of the pairs and soaks to
#        run, e.g. "NFSv3,oplocks = no"; all when empty]
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
build=${1:-build}
soak_seconds=${2:-60}
stages=${3:-matrix,soak}
only=${4:-}
work=$root/build-share
kdir=$work/kernel
out=$work/out
scripts/install-share-deps.sh "$kdir"
cmake --build "$build" --target vkZentrale vk_soak vk_sharetest vkHelfer Vokarium natspeak -j2 >/dev/null

kver=$(basename "$(ls -d "$kdir"/lib/modules/*)")
depmod -b "$kdir" "$kver"

# The initramfs: busybox and the modules that reach the 9p root.
ird=$work/initramfs
rm -rf "$ird" "$out"
mkdir -p "$ird/bin" "$ird/modules" "$ird/dev" "$out"
cp /bin/busybox "$ird/bin/busybox"
ln -s busybox "$ird/bin/sh"
cp tests/share/init.sh "$ird/init"
: >"$ird/modules.order"
modprobe -d "$kdir" -S "$kver" --show-depends -a virtio_pci 9pnet_virtio 9p overlay |
  awk '$1 == "insmod" && !seen[$2]++ {print $2}' | while read -r m; do
  cp "$m" "$ird/modules/"
  basename "$m" >>"$ird/modules.order"
done
(cd "$ird" && find . | cpio -o -H newc --quiet) >"$work/initramfs.cpio"

# KVM where it runs this guest, else qemu's software emulation.
accel=(-accel tcg,thread=multi)
if [ "${VK_SHARE_KVM:-no}" = yes ]; then accel=(-accel kvm "${accel[@]}"); fi
cmdline="console=ttyS0 quiet panic=-1 vk.kver=$kver vk.kdir=$kdir vk.out=$out"
cmdline+=" vk.script=$root/tests/share/guest.sh vk.root=$root vk.build=$build"
cmdline+=" vk.soak=$soak_seconds vk.stages=$stages vk.only=${only// /_}"
status=0
timeout 840 qemu-system-x86_64 -machine q35 "${accel[@]}" \
  -cpu max -m 3072 -smp 2 -nographic -no-reboot -nic none \
  -kernel "$kdir/boot/vmlinuz-$kver" -initrd "$work/initramfs.cpio" -append "$cmdline" \
  -virtfs local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap \
  -virtfs local,path="$out",mount_tag=out,security_model=none \
  >"$work/console.log" 2>&1 || status=$?
if [ ! -f "$out/done" ]; then
  echo "the virtual machine did not finish (qemu status $status); last console lines:"
  tail -n 40 "$work/console.log"
  exit 2
fi
cat "$out/report.txt"
[ "$(cat "$out/done")" = ok ]
