#!/bin/bash
# Runs inside the harness's virtual machine (started by init.sh, arguments
# on the kernel command line): one ext4 folder on a RAM disk, served by
# Samba (share "vk" with its defaults, share "vknool" with oplocks off) and
# the kernel NFS server on loopback, each mounted twice as two
# workstations; then the measurements of run.sh (the road of a word:
# weg.sh). Writes report.txt and
# "done" (ok / fail) into the result folder and powers the machine off;
# a step that fails is named in the report instead of a figure.
set -u
mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t devtmpfs dev /dev 2>/dev/null
mkdir -p /dev/pts /dev/shm
mount -t devpts devpts /dev/pts
mount -t tmpfs tmpfs /dev/shm
mount -t tmpfs tmpfs /run
mount -t tmpfs tmpfs /tmp
arg() { sed -n "s/.*\\b$1=\\([^ ]*\\).*/\\1/p" /proc/cmdline; }
out=$(arg vk.out)
root=$(arg vk.root)
build=$(arg vk.build)
soak=$(arg vk.soak)
stages=$(arg vk.stages)
only=$(arg vk.only)
only=${only//_/ }
# Whether a pair or soak is chosen: its name contains one of the
# comma-separated parts of vk.only (all when empty).
chosen() {
  local part
  [ -z "$only" ] && return 0
  IFS=, read -ra parts <<<"$only"
  for part in "${parts[@]}"; do [[ $1 == *"$part"* ]] && return 0; done
  return 1
}
bin=$root/$build/bin
report=$out/report.txt
status=ok
exec >"$out/guest.log" 2>&1
finish() {
  echo "$status" >"$out/done"
  sync
  echo o >/proc/sysrq-trigger
  sleep 10
}
trap finish EXIT
say() { echo "$*" | tee -a "$report"; }

ip link set lo up
hostname vkserver
export PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root
modprobe brd rd_nr=1 rd_size=786432
mkfs.ext4 -q -F /dev/ram0
mkdir -p /srv
mount /dev/ram0 /srv
mkdir -p /srv/smb /srv/smbnool /srv/nfs
chmod 777 /srv/smb /srv/smbnool /srv/nfs

# Samba: the defaults, and a share with oplocks off.
mkdir -p /etc/samba /run/samba /var/log/samba /var/lib/samba/private
cat >/etc/samba/smb.conf <<'CONF'
[global]
  server role = standalone server
  disable netbios = yes
  smb ports = 445
  log file = /var/log/samba/log.%m
  log level = 1
[vk]
  path = /srv/smb
  read only = no
[vknool]
  path = /srv/smbnool
  read only = no
  oplocks = no
  level2 oplocks = no
CONF
printf 'pw\npw\n' | smbpasswd -s -a root >/dev/null
smbd -D

# Kernel NFS server, NFSv3 (with statd for its locks) and NFSv4.2.
mkdir -p /run/rpcbind /var/lib/nfs/v4recovery /var/lib/nfs/sm /var/lib/nfs/sm.bak
modprobe nfsd
mount -t nfsd nfsd /proc/fs/nfsd
rpcbind -w
rpc.statd --no-notify
# The export is NFSv4's root (fsid=0); short grace periods after the start.
exportfs -o rw,sync,no_subtree_check,no_root_squash,insecure,fsid=0 127.0.0.1:/srv/nfs
echo 10 >/proc/sys/fs/nfs/nlm_grace_period
rpc.mountd
rpc.nfsd --lease-time 10 --grace-time 10 4
sleep 1

mounted() {
  mkdir -p "$2"
  if ! mount "${@:3}" "$1" "$2"; then
    say "mount of $1 on $2 (${*:3}) failed"
    status=fail
  fi
}
cifs=vers=3.1.1,username=root,password=pw,nosharesock,actimeo=1
mounted //127.0.0.1/vk /mnt/cifs-a -t cifs -o "$cifs"
mounted //127.0.0.1/vk /mnt/cifs-b -t cifs -o "$cifs"
mounted //127.0.0.1/vknool /mnt/nool-a -t cifs -o "$cifs"
mounted //127.0.0.1/vknool /mnt/nool-b -t cifs -o "$cifs"
mounted //127.0.0.1/vk /mnt/nobrl-a -t cifs -o "$cifs,nobrl"
mounted //127.0.0.1/vk /mnt/nobrl-b -t cifs -o "$cifs,nobrl"
mounted 127.0.0.1:/srv/nfs /mnt/nfs3-a -t nfs -o vers=3,nosharecache
mounted 127.0.0.1:/srv/nfs /mnt/nfs3-b -t nfs -o vers=3,nosharecache
mounted 127.0.0.1:/ /mnt/nfs4-a -t nfs -o vers=4.2,nosharecache
mounted 127.0.0.1:/ /mnt/nfs4-b -t nfs -o vers=4.2,nosharecache
mounted 127.0.0.1:/srv/nfs /mnt/ll-a -t nfs -o vers=3,nosharecache,local_lock=all
mounted 127.0.0.1:/srv/nfs /mnt/ll-b -t nfs -o vers=3,nosharecache,local_lock=all
grep -E ' (cifs|nfs|nfs4) ' /proc/self/mountinfo >"$out/mountinfo.txt"

# Each pair: a name, the holder's folder, the other's folder (the same
# shared folder reached two ways); a fresh subfolder per pair.
pairs=(
  "CIFS A <-> CIFS B|/mnt/cifs-a|/mnt/cifs-b"
  "local -> CIFS (Samba defaults)|/srv/smb|/mnt/cifs-a"
  "CIFS -> local (Samba defaults)|/mnt/cifs-a|/srv/smb"
  "local -> CIFS (oplocks = no)|/srv/smbnool|/mnt/nool-a"
  "CIFS -> local (oplocks = no)|/mnt/nool-a|/srv/smbnool"
  "CIFS nobrl A <-> B|/mnt/nobrl-a|/mnt/nobrl-b"
  "NFSv3 A <-> B|/mnt/nfs3-a|/mnt/nfs3-b"
  "local -> NFSv3|/srv/nfs|/mnt/nfs3-a"
  "NFSv3 -> local|/mnt/nfs3-a|/srv/nfs"
  "NFSv4.2 A <-> B|/mnt/nfs4-a|/mnt/nfs4-b"
  "local -> NFSv4.2|/srv/nfs|/mnt/nfs4-a"
  "NFSv4.2 -> local|/mnt/nfs4-a|/srv/nfs"
  "NFS local_lock=all A <-> B|/mnt/ll-a|/mnt/ll-b"
)
run_pairs() {
  local label=$1 filter=$2 n=0 p name h o sub
  say ""
  say "== lock matrix and claim check ($label)"
  say "holder -> other | exclusion | claim, at once | claim, after 1.5 s"
  for p in "${pairs[@]}"; do
    IFS='|' read -r name h o <<<"$p"
    n=$((n + 1))
    [[ $name == *$filter* ]] && chosen "$name" || continue
    sub=t-$label-$n
    mkdir -p "$h/$sub"
    sleep 0.2
    local m=- c0 c1
    case ,$stages, in *,matrix,*)
      m=$(timeout 120 "$bin/vk_sharetest" matrix "$h/$sub" "$o/$sub" 2>&1 | tail -n1)
      ;;
    esac
    c0=$(timeout 60 "$bin/vk_sharetest" claim "$h/$sub" "$o/$sub" 0 2>&1 | tail -n1)
    c1=$(timeout 60 "$bin/vk_sharetest" claim "$h/$sub" "$o/$sub" 1500 2>&1 | tail -n1)
    say "$name | $m | $c0 | $c1"
  done
}

case ,$stages, in *,matrix,* | *,claim,*)
  run_pairs "leases on" ""
  # Without leases the NFS server hands out no delegations.
  sysctl -q fs.leases-enable=0
  run_pairs "fs.leases-enable=0" NFSv4
  sysctl -q fs.leases-enable=1
  ;;
esac

# The soak: the server on the file server's own folder, the writers on one
# mount, the applier on the other; a fresh base folder per run.
# The fifth field says whether a loss fails the harness (Samba's defaults
# are measured to show that they lose lines); a sixth names the mount of
# every second writer (writers on two workstations). A soak that does not
# end in its time is a failure whatever the fifth field says: the stacks
# of what was left running go into hang-N.txt.
soaks=(
  "CIFS, share oplocks = no|/srv/smbnool|/mnt/nool-a|/mnt/nool-b|must"
  "NFSv3|/srv/nfs|/mnt/nfs3-a|/mnt/nfs3-b|must"
  "NFSv4.2, server fs.leases-enable=0|/srv/nfs|/mnt/nfs4-a|/mnt/nfs4-b|must"
  "CIFS, oplocks = no, writers on A and B|/srv/smbnool|/mnt/nool-a|/mnt/nool-b|must|/mnt/nool-b"
)
# Stage "unsafe": what Samba's defaults do (not in CI: it hangs).
unsafe=(
  "CIFS, Samba defaults (unsafe)|/srv/smb|/mnt/cifs-a|/mnt/cifs-b|shown"
  "CIFS, Samba defaults, writers on A and B (unsafe)|/srv/smb|/mnt/cifs-a|/mnt/cifs-b|shown|/mnt/cifs-b"
)
# The time a soak may take beyond its length: the final delivery in the
# emulated machine.
limit=150
chosen_soaks=()
case ,$stages, in *,soak,*) chosen_soaks+=("${soaks[@]}") ;; esac
case ,$stages, in *,unsafe,*) chosen_soaks+=("${unsafe[@]}") ;; esac
if [ ${#chosen_soaks[@]} -gt 0 ]; then
  say ""
  say "== soak, $soak s, 4 writers, server on the local folder"
  n=0
  for p in "${chosen_soaks[@]}"; do
    IFS='|' read -r name s w a must w2 <<<"$p"
    n=$((n + 1))
    chosen "$name" || continue
    mkdir -p "$s/soak$n"
    # Delegations only where the name says the server has none.
    if [[ $name == *leases-enable=0* ]]; then sysctl -q fs.leases-enable=0; else sysctl -q fs.leases-enable=1; fi
    sleep 1
    log=$out/soak$n.log
    VK_SOAK_NOBUILD=1 VK_SOAK_LOGS=$out/soak$n VK_SOAK_BASIS=$s/soak$n VK_SOAK_WRITERS=$w/soak$n \
      VK_SOAK_WRITERS2=${w2:+$w2/soak$n} VK_SOAK_APPLIER=$a/soak$n \
      setsid "$root/bench/soak/soak.sh" "$soak" 4 "$build" >"$log" 2>&1 &
    spid=$!
    for ((t = 0; t < soak + limit; t++)); do
      kill -0 "$spid" 2>/dev/null || break
      sleep 1
    done
    if kill -0 "$spid" 2>/dev/null; then
      # Hung: what every process of the soak waits for, then all of them end.
      rc=124
      {
        ps -eo pid,ppid,stat,wchan:32,etime,args | grep -E 'soak|vkZentrale' | grep -v grep
        for pid in $(pgrep -s "$spid"); do
          echo "== $pid $(tr '\0' ' ' <"/proc/$pid/cmdline")"
          cat "/proc/$pid/stack"
        done
        dmesg | tail -n 30
      } >"$out/hang-$n.txt" 2>&1
      kill -9 -- "-$spid" 2>/dev/null
      wait "$spid" 2>/dev/null
    else
      wait "$spid"
      rc=$?
    fi
    figures=$(grep -E '^member' "$log" | sed 's/^member //' | paste -sd ';' -)
    if [ "$rc" = 124 ]; then
      figures="HUNG (no end within $((soak + limit)) s, stacks in hang-$n.txt) $figures"
      status=fail
    elif [ "$rc" != 0 ] && [ "$must" = must ]; then
      # A lost, duplicated or corrupted line, or no figures at all, fails
      # the harness.
      status=fail
    fi
    say "$name | written $(sed -n 's/^written \([0-9]*\) lines/\1/p' "$log") | $figures"
    # What the server's start check said about its folder.
    if [ -f "$out/soak$n/server.log" ]; then
      grep -a 'Fehler:' "$out/soak$n/server.log" | sed 's/^.*Fehler:/Fehler:/' | sort -u | head -n 3 |
        while read -r line; do say "    server log: $line"; done
    fi
  done
fi

# The road of a word with the real programs: the server on the local
# folder, workstation A and B each on its own mount of the share.
wege=(
  "CIFS, share oplocks = no|/srv/smbnool|/mnt/nool-a|/mnt/nool-b"
  "NFSv3|/srv/nfs|/mnt/nfs3-a|/mnt/nfs3-b"
  "NFSv4.2, server fs.leases-enable=0|/srv/nfs|/mnt/nfs4-a|/mnt/nfs4-b"
)
case ,$stages, in *,weg,*)
  say ""
  say "== road of a word, server on the local folder, workstations on mounts A and B"
  n=0
  for p in "${wege[@]}"; do
    IFS='|' read -r name s a b <<<"$p"
    n=$((n + 1))
    chosen "$name" || continue
    mkdir -p "$s/weg$n"
    if [[ $name == *leases-enable=0* ]]; then sysctl -q fs.leases-enable=0; else sysctl -q fs.leases-enable=1; fi
    sleep 1
    line=$(VK_WEG_LOGS=$out/weg$n timeout 300 "$root/tests/share/weg.sh" "$bin" "$name" \
      "$s/weg$n" "$a/weg$n" "$b/weg$n" 2>"$out/weg$n.err") || status=fail
    say "${line:-road of a word | $name | did not end within 300 s}"
  done
  sysctl -q fs.leases-enable=1
  ;;
esac

dmesg | grep -E -i 'cifs|nfs|lock' | tail -n 40 >"$out/dmesg.txt"
