#pragma once
// Day files of the results archive: <program folder><year>/<month name>/<dd.MM.yyyy>.txt,
// Windows-1251 text with CR LF, 100 records of 13 labelled lines.

#include "exam/dayregister.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace zet {

// The twelve labels (each ending in one blank) and the separator line.
const QStringList& dayFileLabels();
QString dayFileSeparator();
// "Порядковый номер:  0": the first line of an empty record.
QString dayFileEndMarker();

// <programFolder><year>/<month name> (programFolder ends in the separator).
QString monthFolderFor(const QString& programFolder, const QDate& date);
// dd.MM.yyyy.txt
QString dayFileNameFor(const QDate& date);
// Full path of the day file of a date.
QString dayFilePathFor(const QString& programFolder, const QDate& date);

// The whole register as the bytes of a day file.
QByteArray formatDayFile(const DayRegisterArray& reg);

// How a day file read.
struct DayFileReading {
    // The bytes are exactly what FormatDayFile writes for the register that was read.
    bool exact = true;
};

// Reads a day file's bytes into the register. Records are found by their first line
// ("Порядковый номер:") and their separator line, fields by their labels, so a missing,
// extra or unlabelled line damages at most its own record. A file written in UTF-8 is read as
// UTF-8. A damaged record that still holds any value is never taken as free: when none of its
// values could be read, its protocol number is set to its slot. Slots the file does not hold
// are empty.
DayFileReading parseDayFile(const QByteArray& bytes, DayRegisterArray& reg);

struct DayFileResult {
    bool ok = true;
    QString error; // Russian reason when not ok
};

// What the preparation of today's archive found besides the day file itself.
struct DayFilePreparation : DayFileResult {
    QString backupPath;    // an untouched copy of a day file that did not read exactly
    QString recoveredFrom; // a temporary copy of the day file that held more, now the day file
};

// Today's archive: monthFolder, dayFileName, monthGenitive, set once at start-up.
class DayArchive {
public:
    QString monthFolder;
    QString dayFileName;
    QString monthGenitive;

    QString dayFilePath() const;

    // Creates the year and month folders if missing, then reads the day file into reg
    // when it exists, or writes it from reg (empty at start-up) when it does not.
    // A day file that does not read exactly is first copied beside itself (".bak", ".bak2" …)
    // and then rewritten in the exact format. A temporary copy left by an interrupted save
    // ("<day file>.XXXXXX") is taken instead when it reads exactly and holds every record of
    // the day file and more; otherwise it is left alone.
    DayFilePreparation prepare(const QString& programFolder, const QDate& today, DayRegisterArray& reg);

    // Writes the whole register atomically (a month folder removed meanwhile is made again);
    // on failure the old file stays as it was. The register is never changed.
    DayFileResult writeDayFile(const DayRegisterArray& reg) const;
    // Slots the file does not hold completely (a short file) become empty. A file that
    // cannot be opened leaves reg unchanged.
    DayFileResult readDayFile(DayRegisterArray& reg, DayFileReading* reading = nullptr) const;
    // Writes the whole register to another file (a copy the examiner chose to keep).
    static DayFileResult writeRegisterTo(const QString& path, const DayRegisterArray& reg);
};

} // namespace zet
