# Exploit mitigations for the GNU toolchain. MSVC has them on by default
# (/GS, /DYNAMICBASE, /HIGHENTROPYVA, /NXCOMPAT).
if(MSVC)
  return()
endif()

# Canaries in every function with an array or an address taken. mingw-w64 has
# no canary in its C runtime: the compiler driver links gcc's libssp for it,
# statically here, so the programs still import only system DLLs. A toolchain
# that cannot link it builds without.
include(CheckCXXSourceCompiles)
set(CMAKE_REQUIRED_FLAGS -fstack-protector-strong)
set(CMAKE_REQUIRED_LINK_OPTIONS -fstack-protector-strong)
check_cxx_source_compiles([[
#include <cstring>
int main(int argc, char** argv) { char b[16]; std::strcpy(b, argv[argc - 1]); return b[1]; }
]] SORVANE_HAS_STACK_PROTECTOR)
unset(CMAKE_REQUIRED_FLAGS)
unset(CMAKE_REQUIRED_LINK_OPTIONS)
if(SORVANE_HAS_STACK_PROTECTOR)
  # On the link line too: that is where the driver adds the library.
  add_compile_options(-fstack-protector-strong)
  add_link_options(-fstack-protector-strong)
else()
  message(WARNING "This toolchain cannot link -fstack-protector-strong; building without it")
endif()

# Address-space randomisation (with 64-bit addresses where there are any) and
# no execution of data. Recent linkers default to these; older ones do not.
if(WIN32)
  add_link_options(-Wl,--dynamicbase -Wl,--nxcompat)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    add_link_options(-Wl,--high-entropy-va)
  endif()
endif()

# On Linux: the relocations made read-only before the program starts, and the
# C library's checked string and memory functions where the optimiser can use
# them (not under the sanitizers, which replace those functions themselves).
if(NOT WIN32 AND NOT APPLE)
  add_link_options(-Wl,-z,relro -Wl,-z,now)
  if(NOT SORVANE_SANITIZE AND NOT SORVANE_FUZZ)
    add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
  endif()
endif()
