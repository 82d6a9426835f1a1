#pragma once
struct sqlite3;

// Fills a new database with the sample content shipped in data/sample_database.txt
// (compiled into the tool): categories, creatures with every statistic and a
// description, and rosters.
void FillSample(sqlite3* db);
