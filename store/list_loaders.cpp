#include "store/list_loaders.h"

#include <QList>
#include <QStringList>

#include <algorithm>
#include <numeric>

#include "platform/widgets.h"

namespace {

// Walks a whole table, adding each row's Name and ID to the list as it goes.
void LoadNamedTable(const StoreContext& ctx, ListBox* list, const char* table, const char* idColumn,
                    const char* title) {
    list->Clear();
    RunAccessCycle(ctx, QString::fromLatin1(title), [&](Database& db) {
        auto rs = db.OpenRecordset(QString::fromLatin1(table), dbOpenSnapshot);
        if (rs->Eof()) return;
        rs->MoveFirst();
        const QString id = QString::fromLatin1(idColumn);
        while (!rs->Eof()) {
            list->AddItem(rs->Fields(QStringLiteral("Name")).Value().toText());
            list->setItemData(list->NewIndex(), rs->Fields(id).Value().toLong());
            rs->MoveNext();
        }
    });
}

}  // namespace

void LoadCategories(const StoreContext& ctx, ListBox* lstCategory) {
    LoadNamedTable(ctx, lstCategory, "Categories", "IDCategory", kTitleLoadCategories);
}

void LoadRosters(const StoreContext& ctx, ListBox* lstRoster) {
    LoadNamedTable(ctx, lstRoster, "Rosters", "IDRoster", kTitleLoadRosters);
}

void ClearCreatureSheet(CreatureSheet& sheet) {
    sheet.lblName->setCaption(QString());
    sheet.m_sPicturePath->clear();
    sheet.picPicture->clearPicture();
    sheet.lblNoPicAvail->setVisible(true);
    for (TextBox* box : sheet.txtStatText) box->setText(QString());
    *sheet.m_sheetRecord = SheetRecord{};
}

void ClearCreatureList(ListBox* lstCreature, CreatureSheet& sheet) {
    lstCreature->Clear();
    ClearCreatureSheet(sheet);
}

void LoadCreatures(const StoreContext& ctx, qint32 lCatID, ListBox* lstCreature, CreatureSheet& sheet) {
    ClearCreatureList(lstCreature, sheet);
    // The rows are gathered first and put into the sorted list in one go, which
    // keeps a large category fast; on a failure the rows before it are listed,
    // before the error box appears.
    QStringList names;
    QList<qint32> ids;
    const auto fill = [&]() {
        std::vector<qsizetype> order(size_t(names.size()));
        std::iota(order.begin(), order.end(), qsizetype(0));
        std::stable_sort(order.begin(), order.end(),
                         [&](qsizetype a, qsizetype b) { return ListBox::ListOrderLess(names[a], names[b]); });
        QStringList sortedNames;
        QList<qint32> sortedIds;
        sortedNames.reserve(names.size());
        sortedIds.reserve(ids.size());
        for (qsizetype i : order) {
            sortedNames << names[i];
            sortedIds << ids[i];
        }
        lstCreature->AddPresorted(sortedNames, sortedIds);
    };
    const bool ok = RunAccessCycle(
        ctx, QString::fromLatin1(kTitleLoadCreatures),
        [&](Database& db) {
            auto rs = db.OpenRecordset(QStringLiteral("Creatures"), dbOpenSnapshot);
            const QString criteria = IdCriteria("IDCategory", lCatID);
            rs->FindFirst(criteria);
            while (!rs->NoMatch()) {
                names << rs->Fields(QStringLiteral("Name")).Value().toText();
                ids << 0;   // a row whose ID cannot be read stays listed with 0
                ids.last() = rs->Fields(QStringLiteral("IDCreature")).Value().toLong();
                rs->FindNext(criteria);
            }
        },
        fill);
    if (ok) fill();
}
