#include "ui/shell/aboutarea.h"

#include "ui/shell/uikit.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPlainTextEdit>

// The resources live in a static library: register them before the first use.
static void InitProgramResources() {
    Q_INIT_RESOURCE(resources);
}

namespace zet::ui {

namespace {
const QString kCrLf = QStringLiteral("\r\n");

QString ForDisplay(QString text) {
    return text.replace(kCrLf, QStringLiteral("\n"));
}
} // namespace

QIcon ProgramIcon() {
    return QIcon(ProgramPicture());
}

QPixmap ProgramPicture() {
    static const bool registered = [] {
        InitProgramResources();
        return true;
    }();
    Q_UNUSED(registered);
    return QPixmap(QStringLiteral(":/icon.png"));
}

QString MakerWebAddress() {
    return QStringLiteral("www.orvelant.example");
}

QString MakerEmail() {
    return QStringLiteral("zetrova@orvelant.example");
}

QString AboutIdentityText() {
    const QStringList lines = {
        QStringLiteral("Orvelant "),
        QStringLiteral("Zetrova v.1.0"),
        MakerWebAddress(),
        QStringLiteral("e-mail:  ") + MakerEmail(),
        QString(),
        QStringLiteral("© Orvelant. Бесплатная программа, права автора охраняются."),
    };
    return lines.join(kCrLf);
}

QString UsageTermsText() {
    const QStringList lines = {
        QStringLiteral("Условия использования:"),
        QStringLiteral("1. Программа распространяется бесплатно; её можно использовать в любой организации "
                       "без ограничения числа рабочих мест."),
        QStringLiteral("2. Программу можно свободно копировать и передавать другим только целиком и без "
                       "изменений, вместе с этими условиями."),
        QStringLiteral("3. Продажа программы или включение её в платные продукты без письменного согласия "
                       "автора не допускается."),
        QStringLiteral("4. Программа предоставляется «как есть», без каких-либо гарантий; автор не отвечает "
                       "за ущерб или потерю данных при её использовании."),
        QStringLiteral("5. Базы тестов и результаты проверки принадлежат тем, кто их создал; программа "
                       "никуда их не передаёт."),
        QStringLiteral("6. Пользуясь программой, вы соглашаетесь с этими условиями; если вы не согласны, "
                       "удалите программу."),
    };
    return lines.join(kCrLf);
}

QString HelpText() {
    return QStringLiteral("Присылайте тесты на адрес ") + MakerEmail() +
           QStringLiteral(", они будут размещены на сайте ") + MakerWebAddress() +
           QStringLiteral(" в разделе программ. Здесь же их можно будет бесплатно скачать.");
}

AboutArea::AboutArea(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("Frame7"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    PlaceTwips(this, 2400, 1200, 10500, 6300);
    SetWindowColor(this, kLightBlue);

    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    PlaceTwips(Image2, 360, 360, 1440, 1440);
    Image2->setPixmap(ProgramPicture());
    Image2->setScaledContents(true);
    Image2->installEventFilter(this);

    Text38 = new QPlainTextEdit(this);
    Text38->setObjectName(QStringLiteral("Text38"));
    Text38->setAccessibleName(QStringLiteral("О программе"));
    PlaceTwips(Text38, 2160, 360, 7980, 2040);
    Text38->setReadOnly(true);
    Text38->setFont(TimesFont(12));
    Text38->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SetBoxColor(Text38, kLightYellow);
    Text38->viewport()->installEventFilter(this);
    Text38->installEventFilter(this);

    Text39 = new QPlainTextEdit(this);
    Text39->setObjectName(QStringLiteral("Text39"));
    Text39->setAccessibleName(QStringLiteral("Условия использования"));
    PlaceTwips(Text39, 360, 2640, 9780, 2940);
    Text39->setReadOnly(true);
    Text39->setFont(TimesFont(10));
    Text39->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    SetBoxColor(Text39, kLightYellow);

    Label47 = new QLabel(MakerWebAddress(), this);
    Label47->setObjectName(QStringLiteral("Label47"));
    PlaceTwips(Label47, 360, 5730, 9780, 330);
    Label47->setFont(TimesFont(10));
    Label47->setAlignment(Qt::AlignCenter);
    // A click on the address is not a click on the area.
    Label47->setAttribute(Qt::WA_NoMousePropagation);

    hide();
}

void AboutArea::Toggle() {
    Text38->setPlainText(ForDisplay(AboutIdentityText()));
    Text39->setPlainText(ForDisplay(UsageTermsText()));
    if (isVisible()) {
        hide();
    } else {
        raise();
        show();
    }
}

void AboutArea::mousePressEvent(QMouseEvent* event) {
    event->accept();
    hide();
}

bool AboutArea::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress &&
        (watched == Image2 || watched == Text38 || watched == Text38->viewport())) {
        hide();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace zet::ui
