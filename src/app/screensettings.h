#pragma once
// How the program uses the screen, kept in screen.ini in the program folder beside zetr100.sys
// (which holds the database path and nothing else):
//
//   [exam]
//   fullScreen=true     ; while an exam runs the window fills the screen

#include <QString>

namespace zet {

class ScreenSettings {
public:
    static QString fileName() { return QStringLiteral("screen.ini"); }

    explicit ScreenSettings(const QString& folder);
    QString path() const;

    // False when the file or the value is missing or cannot be read.
    bool fullScreenExam() const;
    // Writes the value; the Russian reason when the file cannot be written, else empty.
    QString setFullScreenExam(bool on) const;

private:
    QString m_folder;
};

} // namespace zet
