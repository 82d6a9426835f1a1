#pragma once
struct sqlite3;

// The shape of a large database made for benchmarks.
struct LargeOptions {
    int creatures = 100000;
    int categories = 100;
    int bigCategory = 10000;   // creatures in the first category; the rest share the others
    int rosters = 10;
    int rosterSize = 1000;
    int nameMin = 60;          // creature names are 60 to 100 characters long
    int nameMax = 100;
    unsigned seed = 1;
};

// Fills a new database with generated content: every statistic and a
// description for each creature, names of random letters, rosters of random
// creatures. The same options always give the same content.
void FillLarge(sqlite3* db, const LargeOptions& options);
