# Sourced by the build scripts: what a build of any clone can reuse from an earlier one, kept
# outside the clone so that a fresh clone finds it.
#   ccache, with paths taken relative to the clone, so two clones in different folders share
#   their objects; QRTICKET_CCACHE=off builds without it.
#   The Windows libraries built from Debian's sources (scripts/windows-libraries.sh), in a
#   folder per set of pins, script and toolchain.
# Sets cache_args, the CMake arguments that carry both.
cache_root=${QRTICKET_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/qrticket}
cache_args=("-DQRTICKET_WINDOWS_LIBRARIES_CACHE=$cache_root/windows-libraries")
if [ "${QRTICKET_CCACHE:-on}" != off ] && command -v ccache >/dev/null; then
  export CCACHE_DIR=${CCACHE_DIR:-$cache_root/ccache}
  export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true
  # Two builds and the Windows build: about 1.5 GB of objects.
  ccache --max-size=4G >/dev/null
  cache_args+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
