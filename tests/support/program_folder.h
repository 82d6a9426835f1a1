#pragma once
// A temporary program folder for tests: a database made by the real database
// tool (empty or sample), the label settings file and the help text, plus small
// SQL helpers to look into the database or put rows into it directly.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <initializer_list>

class ProgramFolder {
public:
    enum class Content { Empty, Sample, NoDatabase };
    explicit ProgramFolder(Content content = Content::Empty);
    ~ProgramFolder();

    QString dir() const { return m_dir.path(); }
    QString databasePath() const { return dir() + QStringLiteral("/Ostravell.mdb"); }
    QString cfgPath() const { return dir() + QStringLiteral("/Ostravell.cfg"); }
    QString helpPath() const { return dir() + QStringLiteral("/OVHelp.txt"); }

    // Runs the database tool; returns its exit code.
    static int RunTool(const QStringList& args);

    // ---- direct SQL (the tests' own look into the file)
    // Runs one statement with positional parameters (?1, ?2, ...); fails the test on an error.
    void Exec(const QString& sql, std::initializer_list<QVariant> params = {}) const;
    // Runs a statement and returns every row, each as a list of values (Null: an invalid QVariant).
    QList<QVariantList> Query(const QString& sql, std::initializer_list<QVariant> params = {}) const;
    // The first column of the first row; an invalid QVariant when there is none.
    QVariant Scalar(const QString& sql, std::initializer_list<QVariant> params = {}) const;
    // Inserts a row and returns its rowid.
    qint64 Insert(const QString& sql, std::initializer_list<QVariant> params = {}) const;

    qint64 AddCategory(const QString& name) const;
    qint64 AddCreature(qint64 categoryId, const QString& name) const;
    qint64 AddRoster(const QString& name) const;
    void AddRosterEntry(qint64 rosterId, qint64 creatureId) const;
    // The creature IDs of a roster's rows in stored order.
    QList<qint64> RosterEntries(qint64 rosterId) const;

    QByteArray DatabaseBytes() const;

private:
    QTemporaryDir m_dir;
};
