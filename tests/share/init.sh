#!/bin/sh
# First process of the harness's virtual machine (busybox in the
# initramfs): mounts the host's root read-only over virtio-9p under a tmpfs
# overlay, binds the unpacked kernel's modules and the result folder into
# it, and hands over to the guest script named on the kernel command line
# (which mounts /proc, /sys and /dev itself).
# Any failure powers the machine off, so the host never waits for it.
/bin/busybox mkdir -p /proc /sys /dev /lower /rw /newroot
/bin/busybox mount -t proc proc /proc
/bin/busybox mount -t sysfs sys /sys
/bin/busybox mount -t devtmpfs dev /dev
arg() { /bin/busybox sed -n "s/.*\\b$1=\\([^ ]*\\).*/\\1/p" /proc/cmdline; }
fail() {
  echo "vk-init: $*"
  /bin/busybox poweroff -f
}
for m in $(/bin/busybox cat /modules.order); do
  /bin/busybox insmod "/modules/$m" || fail "insmod $m"
done
/bin/busybox mount -t 9p -o trans=virtio,version=9p2000.L,ro,cache=loose,msize=512000 hostroot /lower ||
  fail "9p root"
/bin/busybox mount -t tmpfs -o size=1500m rw /rw
/bin/busybox mkdir -p /rw/upper /rw/work
/bin/busybox mount -t overlay -o lowerdir=/lower,upperdir=/rw/upper,workdir=/rw/work overlay /newroot ||
  fail "overlay"
kver=$(arg vk.kver)
kdir=$(arg vk.kdir)
out=$(arg vk.out)
script=$(arg vk.script)
/bin/busybox mkdir -p "/newroot/lib/modules/$kver" "/newroot$out"
/bin/busybox mount --bind "/lower$kdir/lib/modules/$kver" "/newroot/lib/modules/$kver" || fail "modules"
/bin/busybox mount -t 9p -o trans=virtio,version=9p2000.L,cache=none,msize=512000 out "/newroot$out" ||
  fail "result folder"
/bin/busybox umount /proc /sys
exec /bin/busybox switch_root /newroot /bin/bash "$script"
