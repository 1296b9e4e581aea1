#!/usr/bin/env bash
# deb_test.sh <source folder> <version>: the line server's package as scripts/package builds
# it (the linux build's dist target): its entries, modes, owners and times, its control
# fields and the unit (systemd-analyze verify); then, as root, installed with dpkg, its
# programs run from /usr/bin, installed again over an edited conffile, removed and purged.
set -euo pipefail
source=$1 version=$2
package=qel-line-server
unit=/lib/systemd/system/qeldb-ingest.service
conf=/etc/qel/ingest.conf
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
[ "$(id -u)" -eq 0 ] || fail "the test installs a package: run it as root"
# Two test runs on one machine would install and remove the same package.
exec 9>/run/lock/qel-deb-test.lock
flock -w 300 9 || fail "another deb_package test held the machine's package for 300 s"
# state: the package's state as dpkg lists it (ii, rc), none for a package it does not know.
state() {
  local abbrev
  abbrev=$(dpkg-query --show --showformat='${db:Status-Abbrev}' "$package" 2>/dev/null) || true
  abbrev=${abbrev%% *}
  [ "$abbrev" = un ] || echo "$abbrev"
}
[ -z "$(state)" ] || fail "$package is on this machine already ($(state)); the test would remove it"
trap 'dpkg --purge "$package" >/dev/null 2>&1 || true' EXIT

# The package is packed again, with a time of the test's own to look for in it.
export SOURCE_DATE_EPOCH=1700000000
time=$(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M')
cd "$source"
log=$(cmake --preset linux 2>&1) || fail "configuring the linux build failed:
$log"
rm -rf build/linux/dist
log=$(cmake --build build/linux --target dist 2>&1) || fail "building the package failed:
$log"
deb=build/linux/dist/${package}_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $deb"

entries=$(TZ=UTC dpkg-deb --contents "$deb" | awk '{ print $1, $2, $4, $5, $6 }')
expected=$(sed "s/@TIME@/$time/" <<'LIST'
drwxr-xr-x root/root @TIME@ ./
drwxr-xr-x root/root @TIME@ ./etc/
drwxr-xr-x root/root @TIME@ ./etc/qel/
-rw------- root/root @TIME@ ./etc/qel/ingest.conf
drwxr-xr-x root/root @TIME@ ./lib/
drwxr-xr-x root/root @TIME@ ./lib/systemd/
drwxr-xr-x root/root @TIME@ ./lib/systemd/system/
-rw-r--r-- root/root @TIME@ ./lib/systemd/system/qeldb-ingest.service
drwxr-xr-x root/root @TIME@ ./usr/
drwxr-xr-x root/root @TIME@ ./usr/bin/
-rwxr-xr-x root/root @TIME@ ./usr/bin/qeldb
-rwxr-xr-x root/root @TIME@ ./usr/bin/qelreport
LIST
)
[ "$entries" = "$expected" ] || fail "the package's entries differ from the expected:
$(diff <(echo "$expected") <(echo "$entries"))"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = "$package" ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version), not $version"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture: $(field Architecture)"
depends=$(field Depends)
# depends_on <package>: Depends names it.
depends_on() { tr ',' '\n' <<<"$depends" | awk '{ print $1 }' | grep -qx -- "$1"; }
depends_on adduser || fail "Depends lacks adduser (postinst uses it): $depends"
[ "$(dpkg-deb --info "$deb" conffiles)" = "$conf" ] || fail "conffiles: $(dpkg-deb --info "$deb" conffiles)"

dpkg --install "$deb" >/dev/null || fail "dpkg --install failed"
[ "$(/usr/bin/qeldb --version)" = "qeldb $version" ] || fail "qeldb --version: $(/usr/bin/qeldb --version)"
/usr/bin/qelreport --help | grep -q '^usage: qelreport' || fail "qelreport --help printed no usage"
# Depends names the package of every library the programs load.
programs=(/usr/bin/qeldb /usr/bin/qelreport)
libraries=$(ldd "${programs[@]}" | awk '$2 == "=>" && $3 ~ /^\// { print $3 }' | sort -u)
for soname in $(readelf --dynamic "${programs[@]}" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p' | sort -u); do
  path=$(grep -m1 "/$soname\$" <<<"$libraries") || fail "ldd does not find $soname"
  owner=$(dpkg-query --search "$path" 2>/dev/null || dpkg-query --search "/usr$path") ||
    fail "no package holds $path"
  depends_on "${owner%%:*}" || fail "Depends lacks ${owner%%:*} (for $soname): $depends"
done
for engine in libsqlite3-0 libpq5; do
  depends_on "$engine" || fail "Depends lacks $engine: $depends"
done
# The unit, its programs in place: any remark of verify is a fault.
remarks=$(systemd-analyze verify "$unit" 2>&1) || fail "systemd-analyze verify: $remarks"
[ -z "$remarks" ] || fail "systemd-analyze verify: $remarks"
IFS=: read -r _ _ uid _ _ _ shell < <(getent passwd qeldb) || fail "no user qeldb after installing"
[ "$uid" -lt 1000 ] && [ "$shell" = /usr/sbin/nologin ] || fail "qeldb is no system user: $uid $shell"
[ "$(systemctl is-enabled qeldb-ingest.service)" = disabled ] || fail "installing enabled the service"

# An administrator's values survive installing again (postinst meets its user made).
echo "QELDB_DATABASE=/var/lib/qeldb/test.sqlite" >>"$conf"
dpkg --install "$deb" >/dev/null || fail "dpkg --install over the installed package failed"
grep -q '^QELDB_DATABASE=/var/lib/qeldb/test.sqlite$' "$conf" || fail "installing again lost the edited $conf"

# Removing takes the programs, the unit and an administrator's enabling, not the settings.
systemctl enable --quiet qeldb-ingest.service
dpkg --remove "$package" >/dev/null || fail "dpkg --remove failed"
for gone in /usr/bin/qeldb /usr/bin/qelreport "$unit" \
  /etc/systemd/system/multi-user.target.wants/qeldb-ingest.service; do
  [ ! -e "$gone" ] && [ ! -L "$gone" ] || fail "$gone is left after dpkg --remove"
done
[ "$(state)" = rc ] || fail "after dpkg --remove the package is \"$(state)\", not rc"
grep -q '^QELDB_DATABASE=' "$conf" || fail "dpkg --remove took the settings in $conf"

dpkg --purge "$package" >/dev/null || fail "dpkg --purge failed"
[ ! -e "$conf" ] && [ ! -e /etc/qel ] || fail "dpkg --purge left $conf or /etc/qel"
[ -z "$(state)" ] || fail "after dpkg --purge the package is \"$(state)\""
echo "deb_package: $deb checked, installed, removed and purged"
