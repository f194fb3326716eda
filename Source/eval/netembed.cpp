// The built-in network: nets/builtin.nn copied into the binary's read-only
// data by the assembler, so "embedded" needs no file at run time. The build
// passes the file's absolute path as ZERV_BUILTIN_NET_PATH and rebuilds
// this file whenever the network file changes.
#include "eval/netweights.h"

#ifndef ZERV_BUILTIN_NET_PATH
#error "ZERV_BUILTIN_NET_PATH must name the built-in network file"
#endif

// The loader reads the copy byte by byte, so the alignment only keeps its
// start on a cache line. The two labels are global but hidden, so that
// position-independent code reaches them directly, like any other data of
// the program.
asm(".section .rodata\n"
    ".balign 64\n"
    ".globl zerv_builtin_net_start\n"
    ".hidden zerv_builtin_net_start\n"
    ".globl zerv_builtin_net_end\n"
    ".hidden zerv_builtin_net_end\n"
    "zerv_builtin_net_start:\n"
    ".incbin \"" ZERV_BUILTIN_NET_PATH "\"\n"
    "zerv_builtin_net_end:\n"
    ".previous\n");

extern "C" const uint8_t zerv_builtin_net_start[] __attribute__((visibility("hidden")));
extern "C" const uint8_t zerv_builtin_net_end[] __attribute__((visibility("hidden")));

const uint8_t* builtin_net_bytes() { return zerv_builtin_net_start; }

size_t builtin_net_size() { return size_t(zerv_builtin_net_end - zerv_builtin_net_start); }
