#pragma once
// The interface of libhalvorcore.so. The core is compiled with hidden
// visibility: a function, class or variable is visible to the programs that
// link the library only when its declaration carries HV_EXPORT. Exported are
// the C-linkage functions (imf*, grx*, hollrec_*, jmxholl_*, the folder
// deletion pair), the formats' information procedures, the CHVEditOps
// statics, and the C++ interface the viewer, the batch print program, the
// file dialog library and hvtool call. Everything else stays internal and may
// change without notice; tests reach it by linking the static modules.
#if defined(__GNUC__)
#define HV_EXPORT __attribute__((visibility("default")))
#else
#define HV_EXPORT
#endif
