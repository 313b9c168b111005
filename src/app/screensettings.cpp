#include "app/screensettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace zet {

namespace {

const QString kFullScreenExam = QStringLiteral("exam/fullScreen");

} // namespace

ScreenSettings::ScreenSettings(const QString& folder) : m_folder(folder) {}

QString ScreenSettings::path() const {
    return QDir(m_folder).filePath(fileName());
}

bool ScreenSettings::fullScreenExam() const {
    if (m_folder.isEmpty() || !QFileInfo::exists(path()))
        return false;
    const QSettings ini(path(), QSettings::IniFormat);
    return ini.status() == QSettings::NoError && ini.value(kFullScreenExam, false).toBool();
}

QString ScreenSettings::setFullScreenExam(bool on) const {
    QSettings ini(path(), QSettings::IniFormat);
    ini.setValue(kFullScreenExam, on);
    ini.sync(); // the whole file is written anew through a temporary file
    if (ini.status() == QSettings::NoError)
        return {};
    return QStringLiteral("Не удалось записать настройку в файл «%1»: %2.")
        .arg(QDir::toNativeSeparators(path()), ini.status() == QSettings::FormatError
                                                   ? QStringLiteral("файл повреждён")
                                                   : QStringLiteral("нет доступа к файлу"));
}

} // namespace zet
