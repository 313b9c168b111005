// The standard buttons of Qt's dialogs speak Russian.

#include "ui/shell/translations.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>

class TestTranslations : public QObject {
    Q_OBJECT
private slots:
    void standardButtonsAreRussian();
};

void TestTranslations::standardButtonsAreRussian() {
    QVERIFY(zet::ui::installRussianTranslations(*qApp));
    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Yes |
                         QDialogButtonBox::No);
    QCOMPARE(box.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&')), QStringLiteral("Отмена"));
    QCOMPARE(box.button(QDialogButtonBox::Yes)->text().remove(QLatin1Char('&')), QStringLiteral("Да"));
    QCOMPARE(box.button(QDialogButtonBox::No)->text().remove(QLatin1Char('&')), QStringLiteral("Нет"));
}

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
