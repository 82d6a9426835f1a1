#include "store/access_cycle.h"

#include <new>

#include "platform/msgbox.h"

bool RunAccessCycle(const StoreContext& ctx, const QString& sTitle, const std::function<void(Database& db)>& work,
                    const std::function<void()>& onFailure) {
    QString description;
    try {
        std::unique_ptr<Database> db = GetDBEngine().OpenDatabase(ctx.DatabasePath());
        work(*db);
        db->Close();
        return true;
    } catch (const DbError& e) {
        description = e.description();
    } catch (const std::bad_alloc&) {
        description = QStringLiteral("Out of memory");
    } catch (const std::exception& e) {
        description = QString::fromLocal8Bit(e.what());
    }
    // The database was rolled back and closed as the work unwound: no lock is
    // held while the box waits for the user.
    if (onFailure) onFailure();
    MsgBox(QStringLiteral("Error: ") + description, sTitle);
    return false;
}

QString IdCriteria(const char* column, std::int64_t id) {
    return QLatin1String(column) + QStringLiteral(" = ") + QString::number(id);
}

void DeleteMatching(Recordset& rs, const QString& criteria, const std::function<void(Recordset& row)>& beforeDelete) {
    rs.FindFirst(criteria);
    while (!rs.NoMatch()) {
        if (beforeDelete) beforeDelete(rs);
        rs.Delete();
        rs.FindNext(criteria);
    }
}
