#pragma once
// The clearance record of a table, made from its physics geometry: the four cushions with their
// lines, ends, jaws and pocket circles, as the cue clearance reads them.

#include "physics/TableGeometry.h"
#include "table/CueClearance.h"

namespace table {

ClearanceTable MakeClearanceTable(const physics::TableRecord& record);

}  // namespace table
