# Toolchain of the product build: a 32-bit x86, statically linked Linux program.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32")
set(CMAKE_CXX_FLAGS_INIT "-m32")
set(CMAKE_ASM_FLAGS_INIT "-m32")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32 -static")

# The kernels of these machines cannot run 32-bit programs: tests and tools go through
# qemu-i386-static unless the caller says the host runs them natively (KW_EMULATOR empty).
if(NOT DEFINED KW_EMULATOR)
  find_program(KW_EMULATOR qemu-i386-static)
endif()
if(KW_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KW_EMULATOR})
endif()
