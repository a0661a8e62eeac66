# Little-endian 32-bit MIPS, the box's CPU: Debian's cross compiler over a sysroot that holds
# the target's Qt (./tq cross-test makes one), tests run under qemu.
#   cmake -S . -B build-mipsel -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mipsel-linux-gnu.cmake \
#         -DTQ_MIPSEL_SYSROOT=$HOME/.cache/tqapi/mipsel-sysroot
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR mips)
set(CMAKE_LIBRARY_ARCHITECTURE mipsel-linux-gnu)

if(NOT TQ_MIPSEL_SYSROOT)
    set(TQ_MIPSEL_SYSROOT "$ENV{TQ_MIPSEL_SYSROOT}")
endif()
if(NOT IS_DIRECTORY "${TQ_MIPSEL_SYSROOT}/usr/lib/mipsel-linux-gnu")
    message(FATAL_ERROR "TQ_MIPSEL_SYSROOT='${TQ_MIPSEL_SYSROOT}' is not a mipsel sysroot (./tq cross-test makes one)")
endif()
# try_compile projects see the toolchain file again, without the cache of this build.
set(CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TQ_MIPSEL_SYSROOT)

set(CMAKE_C_COMPILER mipsel-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER mipsel-linux-gnu-g++)
set(CMAKE_SYSROOT ${TQ_MIPSEL_SYSROOT})
set(CMAKE_FIND_ROOT_PATH ${TQ_MIPSEL_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# moc and rcc come from the build machine's Qt, which must be the same Qt version.
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)

# The loader and the libraries of a test are looked up in the sysroot first.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-mipsel-static -L ${TQ_MIPSEL_SYSROOT})
