#pragma once
// The constant table of format filters the file manager dispatches through.
#include "formats/file_manager.h"
#include "formats/format_tables.h"

namespace hv::formats {

// Slots 0 to 8, indexed by filter number (enum Filter).
inline constexpr int kFilterSlots = kFilterPdf + 1;

// The procedures of a filter that has a reader, else null. Constant data:
// safe from any thread.
const FilterProcs* filterProcs(int filter);

// Whether the filter can be used now: Unsupported for a number without a
// reader; for CALS Type 2 the Status of loading its tag tables (a failed load
// is tried again at the next call).
Status bindFilter(int filter);

}  // namespace hv::formats
