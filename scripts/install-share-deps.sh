#!/usr/bin/env bash
# Installs what the shared-drive harness (tests/share/run.sh) needs: qemu,
# a static busybox for its initramfs, the Samba and kernel NFS servers and
# their mount helpers (run inside the virtual machine from the host's root),
# and Debian's kernel unpacked into a folder (never into /boot). Safe to run
# again; fails with the apt-get error when a package cannot be had.
# Usage: scripts/install-share-deps.sh KERNEL_DIR
set -euo pipefail

kdir=${1:?usage: install-share-deps.sh KERNEL_DIR}

packages=(
  qemu-system-x86 busybox-static cpio kmod
  samba cifs-utils
  nfs-kernel-server nfs-common rpcbind
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

export DEBIAN_FRONTEND=noninteractive
updated=no
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing missing packages: ${missing[*]}"
  apt-get update -q
  updated=yes
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The kernel: the versioned package the meta package names, unpacked.
if ! ls "$kdir"/boot/vmlinuz-* >/dev/null 2>&1; then
  [ "$updated" = yes ] || apt-get update -q
  image=$(apt-cache depends linux-image-amd64 | sed -n 's/^ *Depends: \(linux-image-[0-9].*\)$/\1/p' | head -n1)
  [ -n "$image" ] || { echo "error: no kernel package behind linux-image-amd64" >&2; exit 1; }
  mkdir -p "$kdir/deb"
  (cd "$kdir/deb" && apt-get download "$image")
  dpkg -x "$kdir"/deb/*.deb "$kdir"
  rm -rf "$kdir/deb"
fi
ls "$kdir"/boot/vmlinuz-* >/dev/null
