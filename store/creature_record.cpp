#include "store/creature_record.h"

#include <array>

#include "platform/picture.h"
#include "platform/widgets.h"

namespace {

QString FieldName(int i) { return QStringLiteral("Field") + QString::number(i); }

QString TextOrEmpty(const DbValue& v) { return v.isNull() ? QString() : v.toText(); }

}  // namespace

void LoadCreatureInfo(const StoreContext& ctx, qint32 lCreatureID, CreatureSheet& sheet) {
    bool filled = false;
    RunAccessCycle(
        ctx, QString::fromLatin1(kTitleLoadCreatureInfo),
        [&](Database& db) {
            auto rs = db.OpenRecordset(QStringLiteral("Creatures"), dbOpenSnapshot);
            rs->FindFirst(IdCriteria("IDCreature", lCreatureID));
            if (rs->NoMatch()) return;
            // Everything is read before anything is shown, so the sheet never
            // mixes two creatures.
            std::array<QString, 21> texts;
            for (int i = 0; i <= 20; ++i) texts[size_t(i)] = TextOrEmpty(rs->Fields(FieldName(i)).Value());
            texts[10] = TextOrEmpty(rs->Fields(QStringLiteral("Description")).Value());
            // A Null name shows as empty rather than keeping the previous creature's.
            const QString name = TextOrEmpty(rs->Fields(QStringLiteral("Name")).Value());
            const DbValue picture = rs->Fields(QStringLiteral("Picture")).Value();
            rs->Close();

            for (int i = 0; i <= 20; ++i) sheet.txtStatText[size_t(i)]->setText(texts[size_t(i)]);
            sheet.lblName->setCaption(name);
            *sheet.m_sPicturePath = TextOrEmpty(picture);
            *sheet.m_sheetRecord = SheetRecord{true, lCreatureID};
            filled = true;

            if (sheet.m_sPicturePath->isEmpty()) {
                sheet.picPicture->clearPicture();
                return;
            }
            const PictureResult loaded = LoadPicture(*sheet.m_sPicturePath);
            if (!loaded.ok()) throw DbError(loaded.errorNumber, loaded.description);
            sheet.picPicture->setPicture(loaded.image);
        },
        [&]() {
            if (filled) {
                // Only the picture failed: the stored path stays, so a later
                // save keeps it, but no other creature's picture is left showing.
                sheet.picPicture->clearPicture();
            } else {
                ClearCreatureSheet(sheet);
            }
        });
}

void SaveCreatureInfo(const StoreContext& ctx, ListBox* lstCreature, const CreatureSheet& sheet) {
    const int selected = lstCreature->ListIndex();
    if (selected < 0) return;
    const qint32 id = lstCreature->ItemData(selected);
    if (!sheet.m_sheetRecord->bLoaded || sheet.m_sheetRecord->lCreatureID != id) return;
    RunAccessCycle(ctx, QString::fromLatin1(kTitleSaveCreatureInfo), [&](Database& db) {
        auto rs = db.OpenRecordset(QStringLiteral("Creatures"), dbOpenDynaset);
        rs->FindFirst(IdCriteria("IDCreature", id));
        if (rs->NoMatch()) return;
        rs->Edit();
        for (int i = 0; i <= 20; ++i) {
            const QString text = sheet.txtStatText[size_t(i)]->text();
            if (i == 10) rs->Fields(QStringLiteral("Description")).SetText(text);
            else rs->Fields(FieldName(i)).SetText(text);
        }
        rs->Fields(QStringLiteral("Name")).SetText(sheet.lblName->caption());
        rs->Fields(QStringLiteral("Picture")).SetText(*sheet.m_sPicturePath);
        rs->Update();
    });
}
