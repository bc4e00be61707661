#!/bin/sh
# The shared library exports the eleven functions and nothing else.
set -e
expected="ext_tarvo_asciiDescriptor
ext_tarvo_createVSFile
ext_tarvo_createVSGrab
ext_tarvo_destroy
ext_tarvo_fps
ext_tarvo_getFmt
ext_tarvo_getFrame
ext_tarvo_seek
ext_tarvo_size
ext_tarvo_tell
ext_tarvo_type"
actual=$(nm -D --defined-only "$1" | awk '{print $3}' | sort)
if [ "$actual" != "$expected" ]; then
  echo "exported symbols differ from the eleven functions:"
  echo "$actual"
  exit 1
fi
echo "1 passed, 0 failed"
