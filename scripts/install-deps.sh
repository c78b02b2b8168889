#!/usr/bin/env bash
# Installs, with apt-get, whatever the builds and suites need and this machine lacks.
set -euo pipefail

packages=(
  cmake ninja-build g++ make clang-format
  libgtest-dev libbenchmark-dev
  # the JSON report (both targets), and the tests that read it
  nlohmann-json3-dev python3
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth x11-utils
  time
  # the real mounts and users of the black-box runs: mkfs.exfat, exfat-fuse, chattr,
  # losetup and setpriv, mount
  exfatprogs exfat-fuse e2fsprogs util-linux mount
  dpkg-dev debhelper lintian wixl msitools unzip libxml2-utils
  systemd-container debootstrap procps
  clang-14 libfuzzer-14-dev
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq \
    "${missing[@]}" >/dev/null
fi
