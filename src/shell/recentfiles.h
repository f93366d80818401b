#pragma once
// The list of recently opened files: six at most, newest first, kept in
// "brimvale.ini" beside the settings file.

#include <QStringList>

class TRecentFiles {
public:
    static constexpr int MaxEntries = 6;

    // Reads the list.
    TRecentFiles();
    const QStringList& Files() const { return Entries; }
    // Puts a file at the top (moving it there when it is listed already).
    void Add(const QString& file);
    // Writes the list.
    void Save() const;
    // The file the list lives in.
    static QString StoreFile();

private:
    QStringList Entries;
};
