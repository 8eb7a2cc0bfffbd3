# The portable core as a 32-bit Linux program on a 64-bit Debian machine
# (gcc or clang with -m32; the C and C++ libraries from g++-multilib, the
# others from the i386 architecture).  The compiler is the preset's; a
# preset that sets its own CMAKE_<LANG>_FLAGS gives -m32 there too.
# (CMake keeps the machine's own processor name: this is no cross build.)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -m32)
# Only the i386 libraries, never the machine's own 64-bit ones.
set(CMAKE_IGNORE_PATH /usr/lib/x86_64-linux-gnu /lib/x86_64-linux-gnu)
