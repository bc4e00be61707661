#!/bin/sh
# Installs what building and testing tarvo needs on Debian 12 (run as root).
# Installs only what is missing, so a second run costs nothing.
set -e
packages="cmake make g++ pkg-config libboost-dev libgtest-dev libbenchmark-dev \
  libavcodec-dev libavutil-dev libswscale-dev ffmpeg imagemagick netpbm"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "installing:$missing"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
fi
