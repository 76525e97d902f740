#pragma once
// Writes a shot record as the upper-case hex text in which shots travel to the server.

#include <string>

#include "table/ShotRecord.h"

// Empty text when the ball count is outside 0..22 (a record the reader could not take back).
std::string ShotRecordToHex(const ShotRecord& record);
