#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when they are missing.
# Sourced by run.sh and test.sh; safe to run again.

zu_install_missing_packages() {
  local wanted=(build-essential cmake pkg-config libdeflate-dev liblzma-dev libcli11-dev
                libgtest-dev libbenchmark-dev libpng-dev zlib1g-dev xz-utils libsqlite3-dev
                libcpp-httplib-dev nlohmann-json3-dev libssl-dev chromium
                libavformat-dev libavcodec-dev libavdevice-dev libavfilter-dev libswscale-dev
                libavutil-dev libimagequant-dev libcairo2-dev fonts-dejavu-core libx11-dev xvfb ffmpeg
                libxfixes-dev libxi-dev xdotool
                clang-14 libclang-rt-14-dev clang-format clang-tidy "$@")
  local missing=()
  local package
  for package in "${wanted[@]}"; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
  done
  # Node.js may come from another package source than Debian's; only the commands matter.
  command -v node >/dev/null 2>&1 || missing+=(nodejs)
  command -v npm >/dev/null 2>&1 || missing+=(npm)
  if ((${#missing[@]} > 0)); then
    echo "Installing: ${missing[*]}"
    if [[ $(id -u) -ne 0 ]]; then
      echo "error: these packages are missing and installing them needs root: ${missing[*]}" >&2
      return 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}
