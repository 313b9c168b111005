#pragma once
// Day files of the results archive: <ProgramFolder><year>/<month name>/<dd.MM.yyyy>.txt,
// Windows-1251 text with CR LF, 100 records of 13 labelled lines.

#include "exam/dayregister.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace zet {

// The twelve labels (each ending in one blank) and the separator line.
const QStringList& DayFileLabels();
QString DayFileSeparator();
// "Порядковый номер:  0": the first line of an empty record.
QString DayFileEndMarker();

// <programFolder><year>/<month name> (programFolder ends in the separator).
QString MonthFolderFor(const QString& programFolder, const QDate& date);
// dd.MM.yyyy.txt
QString DayFileNameFor(const QDate& date);
// Full path of the day file of a date.
QString DayFilePathFor(const QString& programFolder, const QDate& date);

// The whole register as the bytes of a day file.
QByteArray FormatDayFile(const DayRegisterArray& reg);
// Reads a day file's bytes into the register by position; slots that cannot be read are empty.
void ParseDayFile(const QByteArray& bytes, DayRegisterArray& reg);

struct DayFileResult {
    bool ok = true;
    QString error; // Russian reason when not ok
};

// Today's archive: MonthFolder, DayFileName, MonthGenitive, set once at start-up.
class DayArchive {
public:
    QString MonthFolder;
    QString DayFileName;
    QString MonthGenitive;

    QString DayFilePath() const;

    // Creates the year and month folders if missing, then reads the day file into reg
    // when it exists, or writes it from reg (empty at start-up) when it does not.
    DayFileResult Prepare(const QString& programFolder, const QDate& today, DayRegisterArray& reg);

    // Writes the whole register atomically (a month folder removed meanwhile is made again);
    // on failure the old file stays as it was. The register is never changed.
    DayFileResult WriteDayFile(const DayRegisterArray& reg) const;
    // Slots the file does not hold completely (a short file) become empty. A file that
    // cannot be opened leaves reg unchanged.
    DayFileResult ReadDayFile(DayRegisterArray& reg) const;
};

} // namespace zet
