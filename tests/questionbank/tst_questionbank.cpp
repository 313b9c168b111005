// Question banks in and out: each format's export of a known database matches its golden
// file and imports back to the same questions; files as learning systems write them import
// every supported question and name every skipped one; placement, mapping, encodings and
// the limits of the database file.

#include "model/database.h"
#include "questionbank/questionexport.h"
#include "questionbank/questionimport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace zet;

namespace {

const QString kData = QStringLiteral(ZET_TEST_DATA "/questionbank/");

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// The database the golden files were written from: two themes with a gap between them, a gap
// between questions, a question in some groups only, one in none, a text over two lines with
// the characters GIFT escapes, a question with a single wrong answer, and a changed profile.
Database goldenDatabase() {
    Database db;
    db.newDatabase();
    db.databaseHeader[2] = QStringLiteral("Проверка знаний");
    db.databaseHeader[3] = QStringLiteral("Отдел охраны труда");
    db.databaseHeader[4] = QStringLiteral("02-03-2025");
    db.questions(1, 0, 0) = QStringLiteral("Пожарная безопасность");
    const QStringList first = {QStringLiteral("1111111111Кто отвечает за пожарную безопасность?"),
                               QStringLiteral("Руководитель"),
                               QStringLiteral("Дворник"),
                               QStringLiteral("Никто"),
                               QStringLiteral("Пожарные"),
                               QStringLiteral("Соседи")};
    const QStringList second = {
        QStringLiteral("1010000000Первая строка\r\nвторая: {скобки} = ~ # \\ «кавычки»"),
        QStringLiteral("Да"),
        QStringLiteral("Нет"),
        {},
        {},
        {}};
    const QStringList third = {QStringLiteral("0000000000Что делать при ожоге?"),
                               QStringLiteral("Охладить водой"),
                               QStringLiteral("Смазать маслом"),
                               QStringLiteral("Проколоть пузыри"),
                               QStringLiteral("Приложить лёд"),
                               QStringLiteral("Ничего")};
    for (int p = 0; p < kParts; ++p) {
        db.questions(1, 1, p) = first.at(p);
        db.questions(1, 3, p) = second.at(p);
        db.questions(3, 1, p) = third.at(p);
    }
    db.questions(3, 0, 0) = QStringLiteral("Первая помощь");
    ExamProfile& pr = db.profiles[1];
    pr.name = QStringLiteral("Основной");
    pr.questionCount = 3;
    pr.timeLimit = 300;
    pr.excellentMin = 3;
    pr.goodMin = 2;
    pr.fairMin = 1;
    pr.slotTheme[3] = 3;
    pr.groups[0] = QStringLiteral("1Все");
    pr.groups[2] = QStringLiteral("0Стажёры");
    return db;
}

// Every present question as "text | right | wrong…" (empty wrong answers left out), theme by theme.
QStringList questionsOf(const Database& db, bool withGroups) {
    QStringList out;
    for (int t = 1; t <= kThemeCount; ++t) {
        for (int q = 1; q <= kQuestionSlots; ++q) {
            const QString& head = db.questions(t, q, 0);
            if (head.size() <= kGroupCount)
                continue;
            QStringList parts{withGroups ? head : head.mid(kGroupCount)};
            for (int p = 1; p < kParts; ++p) {
                if (p == 1 || !db.questions(t, q, p).isEmpty())
                    parts << db.questions(t, q, p);
            }
            out << parts.join(QStringLiteral(" | "));
        }
    }
    return out;
}

int questionCount(const Database& db, int theme) {
    int n = 0;
    for (int q = 1; q <= kQuestionSlots; ++q)
        n += db.questions(theme, q, 0).size() > kGroupCount ? 1 : 0;
    return n;
}

QuestionFile fileOf(const QString& name, const QString& text, BankFormat format) {
    QuestionFile f;
    f.path = name;
    f.format = format;
    f.bank = parseBank(text, format);
    return f;
}

QStringList texts(const std::vector<ImportEntry>& entries) {
    QStringList out;
    for (const ImportEntry& e : entries)
        out << e.toString();
    return out;
}

// More questions than a database can take: 60 without a category, 1,200 of «А», 150 of «Б»
// and 80 more of «А». Among them some cannot be placed (a picture, several answers of half the
// mark) and some warn of an empty answer.
QByteArray crowdedGift() {
    QString text;
    int n = 0;
    const auto questions = [&](const QString& category, int count) {
        if (!category.isEmpty())
            text += QStringLiteral("$CATEGORY: $course$/top/%1\n\n").arg(category);
        for (int i = 0; i < count; ++i) {
            ++n;
            text += QStringLiteral("::В%1:: Вопрос %1%2 {\n").arg(n).arg(n % 11 == 0 ? " <img src=\"a.png\">" : "");
            text += n % 13 == 0 ? QStringLiteral("~%50%а\n~%50%б\n")
                                : QStringLiteral("=да %1\n~нет\n%2").arg(n).arg(n % 7 == 0 ? "~\n" : "");
            text += QStringLiteral("}\n\n");
        }
    };
    questions({}, 60);
    questions(QStringLiteral("А"), 1200);
    questions(QStringLiteral("Б"), 150);
    questions(QStringLiteral("А"), 80);
    return text.toUtf8();
}

} // namespace

class QuestionBankTest : public QObject {
    Q_OBJECT

private slots:
    void goldenRoundTrip_data();
    void goldenRoundTrip();
    void learningSystemFiles_data();
    void learningSystemFiles();
    void htmlAndEscapesBecomePlainText();
    void placementFillsFreePositions();
    void categoriesMapToThemes();
    void textsAreFittedToTheFile();
    void encodings_data();
    void encodings();
    void exportOfOneTheme();
    void awkwardTextsRoundTrip_data();
    void awkwardTextsRoundTrip();
    void whatTheTeacherMeant_data();
    void whatTheTeacherMeant();
    void learningSystemExport();
    void largeFilesAndLongReports();
    void crowdedFileKeepsWhatCanBePlaced_data();
    void crowdedFileKeepsWhatCanBePlaced();

private:
    QTemporaryDir m_dir;
};

void QuestionBankTest::goldenRoundTrip_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("golden");
    QTest::newRow("gift") << int(BankFormat::Gift) << QStringLiteral("golden.gift");
    QTest::newRow("aiken") << int(BankFormat::Aiken) << QStringLiteral("golden-aiken.txt");
    QTest::newRow("moodle xml") << int(BankFormat::MoodleXml) << QStringLiteral("golden.xml");
    QTest::newRow("plain text") << int(BankFormat::PlainText) << QStringLiteral("golden.txt");
}

void QuestionBankTest::goldenRoundTrip() {
    QFETCH(int, format);
    QFETCH(QString, golden);
    const auto fmt = static_cast<BankFormat>(format);
    const Database db = goldenDatabase();
    const QString exported = m_dir.filePath(golden);
    const ExportResult result = exportQuestions(db, exported, fmt);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.questionCount, 3);
    if (qEnvironmentVariableIsSet("ZET_WRITE_GOLDEN"))
        QVERIFY(writeBytes(kData + golden, readBytes(exported)));
    QCOMPARE(readBytes(exported), readBytes(kData + golden));

    // The golden file imported into a new database gives the same questions back.
    const QuestionFile file = readQuestionFile(kData + golden, fmt);
    QVERIFY(file.ok());
    Database back;
    back.newDatabase();
    const ImportReport report = importQuestions(back, {file});
    QCOMPARE(report.importedCount(), 3);
    QVERIFY2(report.skipped.empty(), qPrintable(report.toText()));
    QStringList expected = questionsOf(db, false);
    if (fmt == BankFormat::Aiken) {
        // Aiken keeps a text on one line; the exporter says so.
        expected.replaceInStrings(QStringLiteral("\r\n"), QStringLiteral(" "));
        QVERIFY(result.lost.join(u' ').contains(QStringLiteral("переносы строк")));
    }
    QCOMPARE(questionsOf(back, false), expected);
    if (fmt == BankFormat::PlainText) {
        // The program's own form keeps theme numbers, titles, groups, header and profiles.
        QVERIFY2(report.warnings.size() == 1, qPrintable(report.toText())); // the missing wrong answers
        // (Questions close up to the first free positions of their theme.)
        QCOMPARE(questionsOf(back, true), questionsOf(db, true));
        for (int t = 1; t <= kThemeCount; ++t) {
            QCOMPARE(back.questions(t, 0, 0), db.questions(t, 0, 0));
            QCOMPARE(questionCount(back, t), questionCount(db, t));
        }
        for (int i = 1; i <= kProfileCount; ++i)
            QVERIFY2(back.profiles[i] == db.profiles[i], qPrintable(QString::number(i)));
        for (int h = 2; h <= 4; ++h)
            QCOMPARE(back.databaseHeader[h], db.databaseHeader[h]);
        QVERIFY(result.lost.isEmpty());
    } else {
        QCOMPARE(back.questions(1, 1, 0).left(kGroupCount), QStringLiteral("1111111111"));
        QVERIFY(result.lost.join(u' ').contains(QStringLiteral("Профили")));
        QVERIFY(result.lost.join(u' ').contains(QStringLiteral("Группы")));
    }
}

void QuestionBankTest::learningSystemFiles_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("imported");
    QTest::addColumn<QStringList>("skipped"); // a piece of each skip line, in file order

    QTest::newRow("gift")
        << QStringLiteral("moodle-export.gift")
        << QStringList{QStringLiteral(
                           "Каким огнетушителем тушат электроустановку под напряжением до 1000 В? | "
                           "Углекислотным | Воздушно-пенным | Водой | Песком с водой"),
                       QStringLiteral("Номер пожарной охраны с мобильного — 101 или 112: что набрать? | "
                                      "101 или 112 | 01 | 02 | 03 | 04"),
                       QStringLiteral("Лифтом при пожаре пользоваться нельзя. | Верно | Неверно"),
                       QStringLiteral("Первая строка вопроса,\r\nвторая строка со знаками = ~ # { } и "
                                      "обратной косой \\. | Ответ = верный | Неверный | Другой неверный")
                           .replace(QStringLiteral(",\r\n"), QStringLiteral(", ")),
                       QStringLiteral("Вопрос без названия с пропуском _____ в середине. | первым | вторым | "
                                      "третьим")}
        << QStringList{QStringLiteral(":22 «Опишите порядок эвакуации»: вопрос эссе"),
                       QStringLiteral(":28 «Сопоставление»: вопрос на соответствие"),
                       QStringLiteral(":33 «Числовой»: вопрос с числовым ответом"),
                       QStringLiteral(":35 «Короткий ответ»: вопрос с коротким ответом"),
                       QStringLiteral(":37 «Несколько верных»: вопрос с несколькими верными"),
                       QStringLiteral(":43 «Два правильных»: второй правильный"),
                       QStringLiteral(":45 «Много неправильных»: больше четырёх неправильных ответов (5)"),
                       QStringLiteral(":47 «Нет правильного»: нет правильного ответа"),
                       QStringLiteral(":59 «Описание без ответов.»: вопрос описание")};
    QTest::newRow("moodle xml")
        << QStringLiteral("moodle-export.xml")
        << QStringList{QStringLiteral(
                           "Какое напряжение считается безопасным в особо опасных помещениях?\r\n"
                           "Выберите один ответ «из» списка. | Не выше 12 В | До 42 В | До 220 В & выше | "
                           "380 В"),
                       QStringLiteral(
                           "Диэлектрические перчатки проверяют перед каждым применением. | Верно | Неверно"),
                       QStringLiteral("Где вывешивают план эвакуации? | На видных местах у выходов | "
                                      "В кабинете руководителя | В подвале | Нигде | В архиве")}
        << QStringList{QStringLiteral("«Эссе о заземлении»: вопрос эссе"),
                       QStringLiteral("«Соответствие классов»: вопрос на соответствие"),
                       QStringLiteral("«Число»: вопрос с числовым"),
                       QStringLiteral("«Короткий»: вопрос с коротким"),
                       QStringLiteral("«Вложенные ответы»: вопрос со вложенными ответами"),
                       QStringLiteral("«Множественный»: вопрос с несколькими верными")};
    QTest::newRow("aiken")
        << QStringLiteral("aiken.txt")
        << QStringList{QStringLiteral("Какой цвет у знака «Огнетушитель»? | Красный | Зелёный | "
                                      "Синий | Жёлтый"),
                       QStringLiteral("Сколько выходов должно быть у помещения на 60 человек? | "
                                      "Не менее двух | Один")}
        << QStringList{QStringLiteral(":12 «Вопрос сразу после предыдущего, без пустой строки.»: "
                                      "больше четырёх"),
                       QStringLiteral(":21 «Вопрос без строки ответа.»: нет правильного"),
                       QStringLiteral(":25 «Вопрос с буквой, которой нет.»: нет правильного")};
    // Nested categories, pictures, sounds and feedback as a learning system exports them.
    QTest::newRow("learning system export")
        << QStringLiteral("learning-system.xml")
        << QStringList{QStringLiteral("Кто проводит вводный инструктаж? | Специалист по охране труда | "
                                      "Любой работник | Бухгалтер"),
                       QStringLiteral("Какой документ подтверждает прохождение инструктажа? | "
                                      "Запись в журнале инструктажа | Устное распоряжение | Ничего"),
                       QStringLiteral("Группа по электробезопасности для работы с электроинструментом — "
                                      "не ниже\r\nкакой? | II | I | III | IV | V"),
                       QStringLiteral("Корпус электроприбора заземляют. | Верно | Неверно"),
                       QStringLiteral("Как часто проводят повторный инструктаж? (не реже, чем 1 раз в <6> "
                                      "месяцев) | Раз в полгода | Раз в пять лет")}
        << QStringList{QStringLiteral(":38 «Знак на схеме»: вопрос с рисунком или звуком"),
                       QStringLiteral(":64 «Звук сигнала»: вопрос с рисунком или звуком"),
                       QStringLiteral(":75 «Старая картинка»: вопрос с рисунком или звуком"),
                       QStringLiteral(":85 «Единственный ответ»: меньше двух ответов"),
                       QStringLiteral(":103 «Два по половине»: вопрос с несколькими верными"),
                       QStringLiteral(":118 «Пояснение»: вопрос описание"),
                       QStringLiteral(":125 «Номер»: вопрос с коротким"),
                       QStringLiteral(":130 «Видео»: вопрос с рисунком или звуком")};
}

void QuestionBankTest::learningSystemFiles() {
    QFETCH(QString, file);
    QFETCH(QStringList, imported);
    QFETCH(QStringList, skipped);
    const QuestionFile f = readQuestionFile(kData + file);
    QVERIFY2(f.ok(), qPrintable(f.error));
    Database db;
    db.newDatabase();
    const ImportReport report = importQuestions(db, {f});
    QCOMPARE(questionsOf(db, false), imported);
    QCOMPARE(report.importedCount(), imported.size());
    QCOMPARE(report.skipped.size(), std::size_t(skipped.size()));
    for (qsizetype i = 0; i < skipped.size(); ++i) {
        const QString line = report.skipped[std::size_t(i)].toString();
        QVERIFY2(line.startsWith(file) && line.contains(skipped.at(i)), qPrintable(line));
    }
}

void QuestionBankTest::htmlAndEscapesBecomePlainText() {
    const QuestionFile f = readQuestionFile(kData + QStringLiteral("moodle-export.gift"));
    Database db;
    db.newDatabase();
    const ImportReport report = importQuestions(db, {f});
    // Categories became themes 1 and 2, titled by the last part of their path.
    QCOMPARE(db.questions(1, 0, 0), QStringLiteral("Пожарная безопасность"));
    QCOMPARE(db.questions(2, 0, 0), QStringLiteral("Первая помощь"));
    const QStringList warnings = texts(report.warnings);
    const QString all = warnings.join(u'\n');
    // The answer weighted 50% went in as a wrong one and is reported; feedback is mentioned once.
    QVERIFY2(all.contains(QStringLiteral("«Телефон»: ответ «01» с весом 50% поставлен как неправильный")),
             qPrintable(all));
    QVERIFY2(all.contains(QStringLiteral("«Огнетушитель»: не все четыре неправильных ответа: есть 3")),
             qPrintable(all));
    QCOMPARE(warnings.filter(QStringLiteral("Отзывы")).size(), 1);
    QCOMPARE(htmlToPlainText(QStringLiteral("<p>a&amp;b&#x41;&#1046;&bogus; <br/>c</p>\n<p>  d  </p>")),
             QStringLiteral("a&bAЖ&bogus;\r\nc\r\nd"));
}

void QuestionBankTest::placementFillsFreePositions() {
    Database db;
    db.newDatabase();
    db.questions(2, 0, 0) = QStringLiteral("Занятая");
    db.questions(2, 1, 0) = QStringLiteral("1111111111Старый");
    db.questions(2, 2, 0) = QStringLiteral("1111111111"); // flags only: a free position
    db.questions(2, 2, 3) = QStringLiteral("остаток");
    db.questions(2, 3, 0) = QStringLiteral("1111111111Тоже старый");
    const QString gift =
        QStringLiteral("Первый {=да ~нет}\n\nВторой {=да ~нет ~может}\n\nТретий {=да ~нет}\n");
    ImportOptions options;
    options.targetTheme = 2;
    options.groups = {false, true, false, false, false, false, false, false, false, true};
    const ImportReport report =
        importQuestions(db, {fileOf(QStringLiteral("a.gift"), gift, BankFormat::Gift)}, options);
    QCOMPARE(report.importedCount(), 3);
    QCOMPARE(db.questions(2, 1, 0), QStringLiteral("1111111111Старый"));
    QCOMPARE(db.questions(2, 2, 0), QStringLiteral("0100000001Первый"));
    QCOMPARE(db.questions(2, 2, 3), QString()); // what the position held before is gone
    QCOMPARE(db.questions(2, 4, 0), QStringLiteral("0100000001Второй"));
    QCOMPARE(db.questions(2, 4, 3), QStringLiteral("может"));
    QCOMPARE(db.questions(2, 5, 0), QStringLiteral("0100000001Третий"));
    QCOMPARE(db.questions(2, 0, 0), QStringLiteral("Занятая"));
    QCOMPARE(report.themes.size(), std::size_t(1));
    QCOMPARE(report.themes[0].added, 3);
    QVERIFY(!report.themes[0].newTheme);

    // A full theme takes no more and says so.
    for (int q = 1; q <= kQuestionSlots; ++q)
        db.questions(2, q, 0) = QStringLiteral("1111111111Вопрос");
    const ImportReport full =
        importQuestions(db, {fileOf(QStringLiteral("a.gift"), gift, BankFormat::Gift)}, options);
    QCOMPARE(full.importedCount(), 0);
    QCOMPARE(full.skipped.size(), std::size_t(3));
    QVERIFY(full.skipped[0].text.contains(QStringLiteral("нет свободного места")));
}

void QuestionBankTest::categoriesMapToThemes() {
    Database db;
    db.newDatabase();
    db.questions(1, 0, 0) = QStringLiteral("Занятая");
    db.questions(3, 0, 0) = QStringLiteral("Электробезопасность");
    const QString gift =
        QStringLiteral("Без категории {=а ~б}\n\n$CATEGORY: $course$/top/Электробезопасность\n\n"
                       "Ток {=а ~б}\n\n$CATEGORY: Новая//тема\n\nНовый {=а ~б}\n\n"
                       "$CATEGORY: Выбранная\n\nВыбран {=а ~б}\n");
    const std::vector<QuestionFile> files{fileOf(QStringLiteral("банк.gift"), gift, BankFormat::Gift)};
    ImportOptions options;
    options.categoryThemes.insert(QStringLiteral("Выбранная"), 7);
    const std::vector<CategoryPlan> plan = planCategories(db, files, options);
    QCOMPARE(plan.size(), std::size_t(4));
    // Same title → that theme; chosen → as chosen; the others → the next free themes in order.
    QCOMPARE(plan[0].key, QStringLiteral("$course$/top/Электробезопасность"));
    QCOMPARE(plan[0].theme, 3);
    QCOMPARE(plan[1].title, QStringLiteral("Новая/тема"));
    QCOMPARE(plan[1].theme, 2);
    QCOMPARE(plan[2].theme, 7);
    QCOMPARE(plan[3].key, QString());
    QCOMPARE(plan[3].title, QStringLiteral("банк"));
    QCOMPARE(plan[3].theme, 4);
    const ImportReport report = importQuestions(db, files, options);
    QCOMPARE(report.importedCount(), 4);
    QCOMPARE(db.questions(3, 1, 0).mid(kGroupCount), QStringLiteral("Ток"));
    QCOMPARE(db.questions(4, 0, 0), QStringLiteral("банк"));
    QCOMPARE(db.questions(2, 0, 0), QStringLiteral("Новая/тема"));
    QCOMPARE(db.questions(7, 1, 0).mid(kGroupCount), QStringLiteral("Выбран"));

    // With every theme taken the questions are skipped, not lost silently.
    Database packed;
    packed.newDatabase();
    for (int t = 1; t <= kThemeCount; ++t)
        packed.questions(t, 0, 0) = QStringLiteral("Тема");
    const ImportReport none = importQuestions(packed, files);
    QCOMPARE(none.importedCount(), 0);
    QCOMPARE(none.skipped.size(), std::size_t(4));
    QVERIFY(none.skipped[0].text.contains(QStringLiteral("свободной темы")));
}

void QuestionBankTest::textsAreFittedToTheFile() {
    const QString longText = QString(495, u'ж');
    const QString text = QStringLiteral("Тема 1: Т\n? %1\n+ Снеговик ☃\n- б\n- в\n- г\n- д\n").arg(longText);
    Database db;
    db.newDatabase();
    const ImportReport report =
        importQuestions(db, {fileOf(QStringLiteral("s.txt"), text, BankFormat::PlainText)});
    QCOMPARE(report.importedCount(), 1);
    QCOMPARE(db.questions(1, 1, 0), QStringLiteral("1111111111") + QString(488, u'ж'));
    QCOMPARE(db.questions(1, 1, 1), QStringLiteral("Снеговик ?"));
    const QString all = texts(report.warnings).join(u'\n');
    QVERIFY2(all.contains(QStringLiteral("тема 1, вопрос 1 «")) &&
                 all.contains(QStringLiteral("текст вопроса: длиннее 498 байт, обрезано до 488 символов")),
             qPrintable(all));
    QVERIFY2(
        all.contains(QStringLiteral("правильный ответ: символы вне кодировки Windows-1251 заменены на «?»")),
        qPrintable(all));
    // What the import stored is what the file keeps: saving reports nothing more.
    db.databasePath = m_dir.filePath(QStringLiteral("fitted.zet"));
    const SaveResult saved = db.saveDatabase();
    QVERIFY(saved.ok());
    QVERIFY(saved.issues.empty());
}

void QuestionBankTest::encodings_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("forced");
    QTest::addColumn<int>("found");
    const QString text = QStringLiteral("Вопрос {=Да ~Нет}\n");
    const QByteArray cp1251 = QByteArray("\xC2\xEE\xEF\xF0\xEE\xF1 {=\xC4\xE0 ~\xCD\xE5\xF2}\n");
    QTest::newRow("utf-8") << text.toUtf8() << int(TextEncoding::Detect) << int(TextEncoding::Utf8);
    QTest::newRow("utf-8 with mark") << QByteArray("\xEF\xBB\xBF") + text.toUtf8()
                                     << int(TextEncoding::Detect) << int(TextEncoding::Utf8);
    QTest::newRow("windows-1251") << cp1251 << int(TextEncoding::Detect) << int(TextEncoding::Windows1251);
    QTest::newRow("windows-1251 forced")
        << cp1251 << int(TextEncoding::Windows1251) << int(TextEncoding::Windows1251);
}

void QuestionBankTest::encodings() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, forced);
    QFETCH(int, found);
    const QString path = m_dir.filePath(QStringLiteral("enc.gift"));
    QVERIFY(writeBytes(path, bytes));
    const QuestionFile f = readQuestionFile(path, std::nullopt, static_cast<TextEncoding>(forced));
    QCOMPARE(int(f.encoding), found);
    QCOMPARE(f.bank.questions.size(), std::size_t(1));
    QCOMPARE(f.bank.questions[0].text, QStringLiteral("Вопрос"));
    QCOMPARE(f.bank.questions[0].answers[1].text, QStringLiteral("Нет"));
}

void QuestionBankTest::exportOfOneTheme() {
    const Database db = goldenDatabase();
    const QuestionBank bank = bankFromDatabase(db, 3);
    QCOMPARE(bank.questions.size(), std::size_t(1));
    QCOMPARE(bank.categories.size(), std::size_t(1));
    QVERIFY(bank.profiles.empty());
    QVERIFY(bank.testName.isEmpty());
    // A file that cannot be written is reported and nothing is left behind.
    const ExportResult failed =
        exportQuestions(db, m_dir.filePath(QStringLiteral("нет/такой/папки.gift")), BankFormat::Gift, 3);
    QVERIFY(!failed.ok());
}

void QuestionBankTest::awkwardTextsRoundTrip_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("golden");
    QTest::newRow("gift") << int(BankFormat::Gift) << QStringLiteral("awkward.gift");
    QTest::newRow("aiken") << int(BankFormat::Aiken) << QStringLiteral("awkward-aiken.txt");
    QTest::newRow("moodle xml") << int(BankFormat::MoodleXml) << QStringLiteral("awkward.xml");
    QTest::newRow("plain text") << int(BankFormat::PlainText) << QStringLiteral("awkward-out.txt");
}

// Texts a database can hold that look like markup of some format: every one comes back as it was.
void QuestionBankTest::awkwardTextsRoundTrip() {
    QFETCH(int, format);
    QFETCH(QString, golden);
    const auto fmt = static_cast<BankFormat>(format);
    Database db;
    db.newDatabase();
    const ImportReport read = importQuestions(db, {readQuestionFile(kData + QStringLiteral("awkward.txt"))});
    QVERIFY2(read.skipped.empty() && read.importedCount() == 10, qPrintable(read.toText()));

    const QString exported = m_dir.filePath(golden);
    QVERIFY(exportQuestions(db, exported, fmt).ok());
    if (qEnvironmentVariableIsSet("ZET_WRITE_GOLDEN"))
        QVERIFY(writeBytes(kData + golden, readBytes(exported)));
    QCOMPARE(readBytes(exported), readBytes(kData + golden));

    Database back;
    back.newDatabase();
    const ImportReport report = importQuestions(back, {readQuestionFile(exported, fmt)});
    QVERIFY2(report.skipped.empty(), qPrintable(report.toText()));
    QStringList expected = questionsOf(db, false);
    if (fmt == BankFormat::Aiken) {
        for (QString& q : expected) {
            QStringList lines = q.split(QStringLiteral("\r\n"));
            for (QString& line : lines)
                line = line.trimmed();
            q = lines.join(u' ');
        }
    }
    QCOMPARE(questionsOf(back, false), expected);
}

void QuestionBankTest::whatTheTeacherMeant_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("keepMedia");
    QTest::addColumn<QStringList>("imported");
    QTest::addColumn<QStringList>("report"); // pieces of the report; "!" before one that must be absent

    const QString xmlHead = QStringLiteral("<?xml version=\"1.0\"?><quiz><question type=\"multichoice\">"
                                           "<name><text>В</text></name>");
    const QString xmlAnswers = QStringLiteral("<answer fraction=\"100\"><text>Да</text></answer>"
                                              "<answer fraction=\"0\"><text>Нет</text></answer>");
    const QString xmlTail = QStringLiteral("</question></quiz>");
    QTest::newRow("picture in gift") << int(BankFormat::Gift)
                                     << QStringLiteral("[html]Что на схеме? <img src\\=\"@@PLUGINFILE@@/s.png\"> "
                                                       "{=Щит ~Пульт}")
                                     << false << QStringList{}
                                     << QStringList{QStringLiteral("«Что на схеме?»: вопрос с рисунком или звуком")};
    QTest::newRow("picture text kept") << int(BankFormat::Gift)
                                       << QStringLiteral("Что на схеме? <img src\\=\"s.png\"> {=Щит ~Пульт}")
                                       << true << QStringList{QStringLiteral("Что на схеме? | Щит | Пульт")}
                                       << QStringList{QStringLiteral(":1 «Что на схеме?»: рисунок или звук")};
    QTest::newRow("sound link in gift")
        << int(BankFormat::Gift)
        << QStringLiteral("Прослушайте <a href\\=\"http\\://x/signal.mp3\">сигнал</a> {=Тревога ~Отбой}") << false
        << QStringList{} << QStringList{QStringLiteral("вопрос с рисунком или звуком")};
    QTest::newRow("embedded file in xml")
        << int(BankFormat::MoodleXml)
        << xmlHead + QStringLiteral("<questiontext format=\"html\"><text>Знак?</text>"
                                    "<file name=\"a.png\" encoding=\"base64\">iVBO</file></questiontext>") +
               xmlAnswers + xmlTail
        << false << QStringList{} << QStringList{QStringLiteral("вопрос с рисунком или звуком")};
    QTest::newRow("html in gift without marker")
        << int(BankFormat::Gift)
        << QStringLiteral("Сколько будет 1+<span style\\=\"font-size\\:1.5em\">2</span>? {=3 ~4}\n\n"
                          "Первая строка\nпродолжение &laquo;абзаца&raquo;<br>новая строка {=a ~b}\n\n"
                          "Верно ли, что x < 5 при x \\= 3? {=Да ~Нет}")
        << false
        << QStringList{QStringLiteral("Сколько будет 1+2? | 3 | 4"),
                       QStringLiteral("Первая строка продолжение «абзаца»\r\nновая строка | a | b"),
                       QStringLiteral("Верно ли, что x < 5 при x = 3? | Да | Нет")}
        << QStringList{};
    QTest::newRow("only a right answer in gift")
        << int(BankFormat::Gift) << QStringLiteral("Вопрос {~%100%Единственный}") << false << QStringList{}
        << QStringList{QStringLiteral("«Вопрос»: меньше двух ответов")};
    QTest::newRow("only a right answer in text")
        << int(BankFormat::PlainText) << QStringLiteral("Тема 1: Т\n? Вопрос\n+ Единственный\n") << false
        << QStringList{} << QStringList{QStringLiteral(":2 «Вопрос»: меньше двух ответов")};
    QTest::newRow("single false with one full answer")
        << int(BankFormat::MoodleXml)
        << xmlHead + QStringLiteral("<questiontext><text>Какой?</text></questiontext><single>false</single>"
                                    "<answer fraction=\"-50\"><text>Никакой</text></answer>") +
               xmlAnswers + xmlTail
        << false << QStringList{QStringLiteral("Какой? | Да | Никакой | Нет")} << QStringList{};
    QTest::newRow("answer feedback in xml")
        << int(BankFormat::MoodleXml)
        << xmlHead + QStringLiteral("<questiontext><text>Какой?</text></questiontext>\n"
                                    "<answer fraction=\"100\"><text>Да</text><feedback><text>Верно!</text>"
                                    "</feedback></answer><answer fraction=\"0\"><text>Нет</text></answer>") +
               xmlTail
        << false << QStringList{QStringLiteral("Какой? | Да | Нет")}
        << QStringList{QStringLiteral("банк.xml:2: Отзывы к ответам")};
    QTest::newRow("same last part of two categories")
        << int(BankFormat::Gift)
        << QStringLiteral("$CATEGORY: $course$/top/А/Общие\n\nПервый {=a ~b}\n\n"
                          "$CATEGORY: $course$/top/Б/Общие\n\nВторой {=a ~b}\n")
        << false << QStringList{QStringLiteral("Первый | a | b"), QStringLiteral("Второй | a | b")}
        << QStringList{QStringLiteral("тема 1 «А/Общие» (новая): 1"), QStringLiteral("тема 2 «Б/Общие» (новая): 1")};
    QTest::newRow("no blank line between questions")
        << int(BankFormat::Gift) << QStringLiteral("::П:: Первый {=a ~b}\n::В:: Второй {=c ~d}\n") << false
        << QStringList{QStringLiteral("Первый _____ ::В:: Второй {=c ~d} | a | b")}
        << QStringList{QStringLiteral("банк.gift:2: Похоже, здесь начинается следующий вопрос")};
    QTest::newRow("warnings name file and line")
        << int(BankFormat::PlainText) << QStringLiteral("Тема 1: Т\n? Вопрос\n+ Снеговик ☃\n- б\n") << false
        << QStringList{QStringLiteral("Вопрос | Снеговик ? | б")}
        << QStringList{QStringLiteral("банк.txt:3: тема 1, вопрос 1 «Вопрос», правильный ответ: символы")};
    QTest::newRow("profile values on one line")
        << int(BankFormat::PlainText)
        << QStringLiteral("Тема 1: Т\n? Вопрос\n+ а\n- б\nПрофиль 1: П\nВопросов: 1   Время: 120   Оценки: 1 1 1\n"
                          "Темы: 1\n")
        << false << QStringList{QStringLiteral("Вопрос | а | б")}
        << QStringList{QStringLiteral("Профили из файла: 1"), QStringLiteral("!Нужно число")};
}

// Each row is one way a file's meaning used to differ from what the database received.
void QuestionBankTest::whatTheTeacherMeant() {
    QFETCH(int, format);
    QFETCH(QString, source);
    QFETCH(bool, keepMedia);
    QFETCH(QStringList, imported);
    QFETCH(QStringList, report);
    const auto fmt = static_cast<BankFormat>(format);
    const QString name = QStringLiteral("банк.") +
                         (fmt == BankFormat::Gift ? QStringLiteral("gift")
                                                  : fmt == BankFormat::MoodleXml ? QStringLiteral("xml") : QStringLiteral("txt"));
    Database db;
    db.newDatabase();
    ImportOptions options;
    options.keepMediaText = keepMedia;
    const ImportReport result = importQuestions(db, {fileOf(name, source, fmt)}, options);
    const QString text = result.toText();
    QCOMPARE(questionsOf(db, false), imported);
    for (const QString& piece : report) {
        if (piece.startsWith(u'!'))
            QVERIFY2(!text.contains(piece.mid(1)), qPrintable(text));
        else
            QVERIFY2(text.contains(piece), qPrintable(text));
    }
    if (imported.isEmpty())
        QCOMPARE(int(result.skipped.size()), 1);
}

void QuestionBankTest::learningSystemExport() {
    QuestionFile f = readQuestionFile(kData + QStringLiteral("learning-system.xml"));
    Database db;
    db.newDatabase();
    const std::vector<CategoryPlan> plan = planCategories(db, {f});
    QCOMPARE(plan.size(), std::size_t(3));
    // The whole path for the examiner, and what can be imported of each.
    QCOMPARE(plan[0].path, QStringLiteral("Охрана труда/Общие"));
    QCOMPARE(plan[0].questionCount, 3);
    QCOMPARE(plan[0].importable, 2);
    QCOMPARE(plan[1].importable, 2);
    QCOMPARE(plan[2].title, QStringLiteral("Охрана труда"));
    const ImportReport report = importQuestions(db, {f});
    QCOMPARE(db.questions(1, 0, 0), QStringLiteral("Охрана труда/Общие"));
    QCOMPARE(db.questions(2, 0, 0), QStringLiteral("Электробезопасность/Общие"));
    QCOMPARE(db.questions(3, 0, 0), QStringLiteral("Охрана труда"));
    const QString warnings = texts(report.warnings).join(u'\n');
    QVERIFY2(warnings.contains(QStringLiteral("learning-system.xml:32: Отзывы к ответам")), qPrintable(warnings));

    // The examiner asks for the texts of the questions with pictures and sounds: each is named.
    ImportOptions options;
    options.keepMediaText = true;
    Database withText;
    withText.newDatabase();
    const ImportReport kept = importQuestions(withText, {f}, options);
    QCOMPARE(kept.importedCount(), 9);
    QCOMPARE(texts(kept.warnings).filter(QStringLiteral("рисунок или звук")).size(), 4);
    QCOMPARE(withText.questions(1, 2, 0).mid(kGroupCount), QStringLiteral("Что означает знак на схеме ниже?"));
}

void QuestionBankTest::largeFilesAndLongReports() {
    const QString path = m_dir.filePath(QStringLiteral("huge.gift"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(kMaxQuestionFileBytes + 1));
    }
    const QuestionFile huge = readQuestionFile(path);
    QVERIFY(!huge.ok());
    QVERIFY2(huge.error.contains(QStringLiteral("слишком большой")) && huge.error.contains(QStringLiteral("64 МБ")),
             qPrintable(huge.error));

    ImportReport report;
    for (int i = 0; i < 150; ++i)
        report.warnings.push_back({QStringLiteral("много.gift"), i + 1, {}, QStringLiteral("предупреждение")});
    const QStringList lines = report.toText(true).split(u'\n');
    QCOMPARE(lines.first(), QStringLiteral("Будет импортировано вопросов: 0"));
    QCOMPARE(lines.filter(QStringLiteral(": предупреждение")).size(), ImportReport::kListedEntries);
    QCOMPARE(lines.last(), QStringLiteral("  … и ещё 50"));
}

// A file read for an import keeps of each category only what can still be placed, and the
// import, its plan and its report are those of the whole file.
void QuestionBankTest::crowdedFileKeepsWhatCanBePlaced_data() {
    QTest::addColumn<bool>("keepMediaText");
    QTest::addColumn<int>("theme");
    QTest::newRow("by category") << false << 0;
    QTest::newRow("texts of pictures kept") << true << 0;
    QTest::newRow("all into theme 3") << false << 3;
    QTest::newRow("all into theme 3, texts of pictures kept") << true << 3;
}

void QuestionBankTest::crowdedFileKeepsWhatCanBePlaced() {
    QFETCH(bool, keepMediaText);
    QFETCH(int, theme);
    const QString path = m_dir.filePath(QStringLiteral("crowded.gift"));
    QVERIFY(writeBytes(path, crowdedGift()));
    const QuestionFile read = readQuestionFile(path);
    QuestionFile whole = read;
    whole.bank = parseBank(QString::fromUtf8(crowdedGift()), BankFormat::Gift);
    QVERIFY2(read.bank.questions.size() * 2 < whole.bank.questions.size(),
             qPrintable(QString::number(read.bank.questions.size())));

    ImportOptions options;
    options.keepMediaText = keepMediaText;
    options.targetTheme = theme;
    Database fromRead, fromWhole;
    for (Database* db : {&fromRead, &fromWhole}) {
        db->newDatabase();
        for (int q = 1; q <= 30; ++q) // theme 1 partly taken
            db->questions(1, q, 0) = QStringLiteral("1111111111Старый вопрос %1").arg(q);
    }
    const auto plan = [&](const QuestionFile& f) {
        QStringList out;
        for (const CategoryPlan& p : planCategories(fromRead, {f}, options))
            out << QStringLiteral("%1 %2 %3 %4").arg(p.key).arg(p.theme).arg(p.questionCount).arg(p.importable);
        return out;
    };
    QCOMPARE(plan(read), plan(whole));
    const ImportReport report = importQuestions(fromRead, {read}, options);
    const ImportReport expected = importQuestions(fromWhole, {whole}, options);
    QCOMPARE(report.toText(), expected.toText());
    QVERIFY(report.moreSkipped > 0 && report.moreWarnings > 0);
    QStringList texts, expectedTexts;
    for (int t = 1; t <= kThemeCount; ++t) {
        for (int q = 0; q <= kQuestionSlots; ++q) {
            for (int p = 0; p < kParts; ++p) {
                texts << fromRead.questions(t, q, p);
                expectedTexts << fromWhole.questions(t, q, p);
            }
        }
    }
    QCOMPARE(texts, expectedTexts);
}

QTEST_GUILESS_MAIN(QuestionBankTest)
#include "tst_questionbank.moc"
