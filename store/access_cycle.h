#pragma once
// The access cycle shared by every database operation: open the database
// file, do the operation's table work, close. Any failure is trapped and shown
// in the operation's error box ("Error: " and the failure's description, under
// the operation's own title); the caller is never told and goes on.
//
// Everything the work changed is one transaction: it is committed when the work
// finishes and rolled back when it fails, so a failed operation leaves the file
// as it was.
#include <QString>

#include <cstdint>
#include <functional>

#include "platform/db.h"

// Where the operations find their file: the program's folder.
struct StoreContext {
    QString sProgramDir;
    QString DatabasePath() const { return sProgramDir + QStringLiteral("/Ostravell.mdb"); }
};

// Failures raised by the operations themselves (not by the engine).
enum StoreErrorNumber : int {
    storeErrNoSelection = 3101,        // an operation needs a list's selected item and there is none
    storeErrRosterIncomplete = 3102,   // the open roster's stored entries could not be listed: it is not rewritten
    storeErrRosterFull = 3103,         // more entries than a roster holds
};

// Runs the cycle: creates the engine object if needed, opens the database,
// calls work with it and commits. When anything throws, the database is rolled
// back and closed, then onFailure (if given) runs, then the error box is shown.
// Returns true when the work finished without an error.
bool RunAccessCycle(const StoreContext& ctx, const QString& sTitle, const std::function<void(Database& db)>& work,
                    const std::function<void()>& onFailure = {});

// The search criterion "COLUMN = ID" in plain decimal.
QString IdCriteria(const char* column, std::int64_t id);

// Deletes every row of rs that matches criteria, in stored order; each row is
// shown to beforeDelete (if given) just before it goes.
void DeleteMatching(Recordset& rs, const QString& criteria,
                    const std::function<void(Recordset& row)>& beforeDelete = {});
