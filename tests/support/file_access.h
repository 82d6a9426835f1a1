#pragma once
// Reading and writing whole files byte for byte, and making a file or folder
// unwritable for the length of a test.
#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <memory>
#include <string>

// The file's bytes; "<unreadable>" when it cannot be opened.
QByteArray ReadBytes(const QString& path);
// Replaces the file's content (fails the test when it cannot).
void WriteBytes(const QString& path, const QByteArray& bytes);

// Keeps a file or folder unwritable while it lives. As root, permissions stop
// nothing, so the file is made immutable; otherwise its write permissions are
// taken away. Both are undone on destruction, so the temporary folder can be
// removed.
class Unwritable {
public:
    ~Unwritable();
    Unwritable(const Unwritable&) = delete;
    Unwritable& operator=(const Unwritable&) = delete;

private:
    friend std::unique_ptr<Unwritable> MakeUnwritable(const QString&, bool, std::string*);
    Unwritable(const QString& path, bool immutable, QFileDevice::Permissions before);
    QString m_path;
    bool m_immutable;
    QFileDevice::Permissions m_before;
};

// Makes path unwritable. Returns nullptr, with the reason in *why, when the
// tests run as root on a file system that refuses the immutable flag: nothing
// can make a file unwritable for root then.
std::unique_ptr<Unwritable> MakeUnwritable(const QString& path, bool isDir, std::string* why);
