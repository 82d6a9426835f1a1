#include "large.h"

#include <sqlite3.h>

#include "statement.h"

#include <random>
#include <stdexcept>
#include <string>

namespace {


}  // namespace

void FillLarge(sqlite3* db, const LargeOptions& o) {
    if (o.creatures < 0 || o.categories < 1 || o.bigCategory < 0 || o.bigCategory > o.creatures || o.rosters < 0 ||
        o.rosterSize < 0 || o.nameMin < 1 || o.nameMax < o.nameMin)
        throw std::invalid_argument("inconsistent sizes for a large database");
    std::mt19937 rng(o.seed);
    const auto word = [&](int minLen, int maxLen) {
        std::uniform_int_distribution<int> len(minLen, maxLen), letter(0, 25), blank(0, 7);
        std::string s;
        const int n = len(rng);
        for (int i = 0; i < n; ++i) {
            if (i > 0 && i + 1 < n && blank(rng) == 0 && s.back() != ' ') s += ' ';
            else s += char((i == 0 || s.back() == ' ' ? 'A' : 'a') + letter(rng));
        }
        return s;
    };

    Statement addCategory(db, "INSERT INTO Categories (Name) VALUES (?1)");
    std::vector<long long> categoryIds;
    for (int c = 0; c < o.categories; ++c) {
        addCategory.bind(1, "Category " + std::to_string(c + 1) + " " + word(5, 20));
        categoryIds.push_back(addCategory.run());
    }

    std::string sql = "INSERT INTO Creatures (IDCategory, Name, Description, Picture";
    std::string marks = "?1, ?2, ?3, ''";
    for (int i = 0, p = 4; i <= 20; ++i) {
        if (i == 10) continue;
        sql += ", Field" + std::to_string(i);
        marks += ", ?" + std::to_string(p++);
    }
    Statement addCreature(db, sql + ") VALUES (" + marks + ")");
    std::vector<long long> creatureIds;
    creatureIds.reserve(size_t(o.creatures));
    const int others = o.categories - 1;
    long long smallCount = 0;
    for (int n = 0; n < o.creatures; ++n) {
        // The first category's creatures are spread evenly over the table, so
        // that a category search meets them among all the others.
        const bool big = others == 0 || (long long)(n + 1) * o.bigCategory / o.creatures !=
                                            (long long)n * o.bigCategory / o.creatures;
        const long long category = big ? categoryIds[0] : categoryIds[size_t(1 + smallCount++ % others)];
        addCreature.bind(1, category);
        addCreature.bind(2, word(o.nameMin, o.nameMax));
        addCreature.bind(3, word(150, 400));
        for (int s = 0; s < 20; ++s) addCreature.bind(4 + s, word(1, 12));
        creatureIds.push_back(addCreature.run());
    }

    Statement addRoster(db, "INSERT INTO Rosters (Name) VALUES (?1)");
    Statement addEntry(db, "INSERT INTO RosterList (IDRoster, IDCreature, Probability) VALUES (?1, ?2, 0)");
    std::uniform_int_distribution<size_t> pick(0, creatureIds.empty() ? 0 : creatureIds.size() - 1);
    for (int r = 0; r < o.rosters; ++r) {
        addRoster.bind(1, "Roster " + std::to_string(r + 1));
        const long long roster = addRoster.run();
        for (int e = 0; e < o.rosterSize && !creatureIds.empty(); ++e) {
            addEntry.bind(1, roster);
            addEntry.bind(2, creatureIds[pick(rng)]);
            addEntry.run();
        }
    }
}
