#pragma once
// Every database operation of the program, each one self-contained: it opens
// the database file, works, closes, and reports its own failure.
#include "store/access_cycle.h"
#include "store/creature_record.h"
#include "store/creature_sheet.h"
#include "store/list_loaders.h"
#include "store/record_operations.h"
#include "store/roster_entries.h"
