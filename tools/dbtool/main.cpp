// ostravell-db: makes database files for Ostravell.
//
//   ostravell-db empty PATH     the four tables and their indexes, no rows
//   ostravell-db sample PATH    the sample categories, creatures and rosters
//   ostravell-db large PATH [--creatures N] [--categories N] [--big-category N]
//                           [--rosters N] [--roster-size N] [--name-length MIN-MAX] [--seed N]
//
// A file that already exists is never touched.
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

#include "large.h"
#include "sample.h"
#include "schema.h"

static int usage() {
    std::fprintf(stderr,
                 "usage: ostravell-db empty PATH\n"
                 "       ostravell-db sample PATH\n"
                 "       ostravell-db large PATH [--creatures N] [--categories N] [--big-category N]\n"
                 "                               [--rosters N] [--roster-size N] [--name-length MIN-MAX] [--seed N]\n");
    return 64;
}

static bool readLarge(const QStringList& args, LargeOptions* o) {
    for (qsizetype i = 0; i < args.size(); i += 2) {
        if (i + 1 >= args.size()) return false;
        const QString& key = args[i];
        const QString& value = args[i + 1];
        bool ok = false;
        if (key == QLatin1String("--name-length")) {
            const QStringList mm = value.split(QLatin1Char('-'));
            if (mm.size() != 2) return false;
            bool ok2 = false;
            o->nameMin = mm[0].toInt(&ok);
            o->nameMax = mm[1].toInt(&ok2);
            ok = ok && ok2;
        } else {
            const int v = value.toInt(&ok);
            if (key == QLatin1String("--creatures")) o->creatures = v;
            else if (key == QLatin1String("--categories")) o->categories = v;
            else if (key == QLatin1String("--big-category")) o->bigCategory = v;
            else if (key == QLatin1String("--rosters")) o->rosters = v;
            else if (key == QLatin1String("--roster-size")) o->rosterSize = v;
            else if (key == QLatin1String("--seed")) o->seed = unsigned(v);
            else return false;
        }
        if (!ok) return false;
    }
    return true;
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2) return usage();
    const QString& command = args[0];
    const QString& path = args[1];
    if (command == QLatin1String("empty") && args.size() == 2) return BuildDatabaseFile(path, [](sqlite3*) {});
    if (command == QLatin1String("sample") && args.size() == 2) return BuildDatabaseFile(path, FillSample);
    if (command == QLatin1String("large")) {
        LargeOptions options;
        if (!readLarge(args.mid(2), &options)) return usage();
        return BuildDatabaseFile(path, [&](sqlite3* db) { FillLarge(db, options); });
    }
    return usage();
}
