#include "sample.h"

#include <QFile>
#include <QHash>
#include <QStringList>

#include <sqlite3.h>

#include "statement.h"

#include <stdexcept>

#include "schema.h"

namespace {

// The sample file, one record per line:
//   category: NAME
//   creature: NAME | 20 statistics in column order (Field10 left out) | DESCRIPTION
//   roster: NAME = CREATURE; CREATURE; ...
// "\n" in a description starts a new line; lines starting with # are comments.
constexpr int kStatCount = 20;


}  // namespace

void FillSample(sqlite3* db) {
    QFile f(QStringLiteral(":/sample_database.txt"));
    if (!f.open(QIODevice::ReadOnly)) throw std::runtime_error("the sample content is missing from the tool");
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));

    Statement addCategory(db, "INSERT INTO Categories (Name) VALUES (?1)");
    QString creatureSql = QStringLiteral("INSERT INTO Creatures (IDCategory, Name, Description, Picture");
    QString marks = QStringLiteral("?1, ?2, ?3, ''");
    int param = 4;
    for (int i = 0; i <= 20; ++i) {
        if (i == 10) continue;
        creatureSql += QStringLiteral(", Field%1").arg(i);
        marks += QStringLiteral(", ?%1").arg(param++);
    }
    creatureSql += QStringLiteral(") VALUES (") + marks + QStringLiteral(")");
    Statement addCreature(db, creatureSql.toUtf8().constData());
    Statement addRoster(db, "INSERT INTO Rosters (Name) VALUES (?1)");
    Statement addEntry(db, "INSERT INTO RosterList (IDRoster, IDCreature, Probability) VALUES (?1, ?2, 0)");

    qint64 category = 0;
    QHash<QString, qint64> creatureIds;
    int lineNo = 0;
    for (const QString& raw : lines) {
        ++lineNo;
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        const auto fail = [&](const char* what) {
            throw std::runtime_error(QStringLiteral("sample content line %1: %2").arg(lineNo).arg(QLatin1String(what)).toStdString());
        };
        if (line.startsWith(QLatin1String("category:"))) {
            addCategory.bind(1, line.mid(9).trimmed());
            category = addCategory.run();
        } else if (line.startsWith(QLatin1String("creature:"))) {
            if (category == 0) fail("creature before any category");
            const QStringList parts = line.mid(9).split(QLatin1Char('|'));
            if (parts.size() != kStatCount + 2) fail("a creature needs a name, 20 statistics and a description");
            const QString name = parts[0].trimmed();
            QString description = parts.last().trimmed();
            description.replace(QLatin1String("\\n"), QLatin1String("\n"));
            addCreature.bind(1, category);
            addCreature.bind(2, name);
            addCreature.bind(3, description);
            for (int s = 0; s < kStatCount; ++s) addCreature.bind(4 + s, parts[1 + s].trimmed());
            creatureIds.insert(name, addCreature.run());
        } else if (line.startsWith(QLatin1String("roster:"))) {
            const QString body = line.mid(7);
            const int eq = body.indexOf(QLatin1Char('='));
            if (eq < 0) fail("a roster needs '=' before its entries");
            addRoster.bind(1, body.left(eq).trimmed());
            const qint64 roster = addRoster.run();
            for (const QString& entry : body.mid(eq + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
                const auto it = creatureIds.constFind(entry.trimmed());
                if (it == creatureIds.constEnd()) fail("a roster names an unknown creature");
                addEntry.bind(1, roster);
                addEntry.bind(2, *it);
                addEntry.run();
            }
        } else {
            fail("unknown record");
        }
    }
}
