#include "model/systemerror.h"

#include <array>

namespace zet {

QString russianSystemError(const QString& systemText) {
    struct Wording {
        const char* system;
        const char* russian;
    };
    static const std::array<Wording, 15> wordings = {{
        {"No such file or directory", "нет такого файла или папки"},
        {"Permission denied", "нет прав доступа"},
        {"Operation not permitted", "операция не разрешена"},
        {"No space left on device", "на диске нет свободного места"},
        {"Disk quota exceeded", "превышена дисковая квота"},
        {"Read-only file system", "файловая система доступна только для чтения"},
        {"Is a directory", "это папка, а не файл"},
        {"Not a directory", "в пути есть файл там, где должна быть папка"},
        {"Filename refers to a directory", "это папка, а не файл"},
        {"File too large", "файл больше, чем система позволяет записать"},
        {"Too many levels of symbolic links", "символическая ссылка указывает сама на себя"},
        {"Input/output error", "ошибка ввода-вывода (сбой диска)"},
        {"Device or resource busy", "файл занят другой программой"},
        {"Resource temporarily unavailable", "файл временно недоступен"},
        {"Unknown error", "неизвестная ошибка"},
    }};
    for (const Wording& w : wordings) {
        if (systemText.contains(QLatin1String(w.system), Qt::CaseInsensitive))
            return QString::fromUtf8(w.russian);
    }
    return systemText;
}

QString noFileNameMessage() {
    return QStringLiteral("Не указано имя файла");
}

} // namespace zet
