#include "ui/shell/aboutarea.h"

#include "ui/shell/uikit.h"

#include <QEvent>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPlainTextEdit>

// The resources live in a static library: register them before the first use.
static void initProgramResources() {
    Q_INIT_RESOURCE(resources);
}

namespace zet::ui {

namespace {
const QString kCrLf = QStringLiteral("\r\n");

QString forDisplay(QString text) {
    return text.replace(kCrLf, QStringLiteral("\n"));
}
} // namespace

QIcon programIcon() {
    return QIcon(programPicture());
}

QPixmap programPicture() {
    // Decoded once: the start shows it three times (the program's icon, the window's and the
    // title's picture).
    static const QImage picture = [] {
        initProgramResources();
        // Read as PNG and nothing else: a reader that may guess the format loads every image
        // plugin to ask it, at every start.
        QImageReader reader(QStringLiteral(":/icon.png"), "png");
        reader.setAutoDetectImageFormat(false);
        return reader.read();
    }();
    return QPixmap::fromImage(picture);
}

QString makerWebAddress() {
    return QStringLiteral("www.orvelant.example");
}

QString makerEmail() {
    return QStringLiteral("zetrova@orvelant.example");
}

QString aboutIdentityText() {
    const QStringList lines = {
        QStringLiteral("Orvelant "),
        QStringLiteral("Zetrova v.1.0"),
        makerWebAddress(),
        QStringLiteral("e-mail:  ") + makerEmail(),
        QString(),
        QStringLiteral("© Orvelant. Бесплатная программа, права автора охраняются."),
    };
    return lines.join(kCrLf);
}

QString usageTermsText() {
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

QString helpText() {
    return QStringLiteral("Присылайте тесты на адрес ") + makerEmail() +
           QStringLiteral(", они будут размещены на сайте ") + makerWebAddress() +
           QStringLiteral(" в разделе программ. Здесь же их можно будет бесплатно скачать.");
}

AboutArea::AboutArea(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("AboutArea"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    placeTwips(this, 2400, 1200, 10500, 6300);
    setWindowColor(this, kLightBlue);

    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("picture"));
    placeTwips(m_picture, 360, 360, 1440, 1440);
    m_picture->setPixmap(programPicture());
    m_picture->setScaledContents(true);
    m_picture->installEventFilter(this);

    m_identityBox = new QPlainTextEdit(this);
    m_identityBox->setObjectName(QStringLiteral("identityBox"));
    m_identityBox->setAccessibleName(QStringLiteral("О программе"));
    placeTwips(m_identityBox, 2160, 360, 7980, 2040);
    m_identityBox->setReadOnly(true);
    m_identityBox->setFont(timesFont(12));
    m_identityBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setBoxColor(m_identityBox, kLightYellow);
    m_identityBox->viewport()->installEventFilter(this);
    m_identityBox->installEventFilter(this);

    m_termsBox = new QPlainTextEdit(this);
    m_termsBox->setObjectName(QStringLiteral("termsBox"));
    m_termsBox->setAccessibleName(QStringLiteral("Условия использования"));
    placeTwips(m_termsBox, 360, 2640, 9780, 2940);
    m_termsBox->setReadOnly(true);
    m_termsBox->setFont(timesFont(10));
    m_termsBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setBoxColor(m_termsBox, kLightYellow);

    m_webAddressLabel = new QLabel(makerWebAddress(), this);
    m_webAddressLabel->setObjectName(QStringLiteral("webAddressLabel"));
    placeTwips(m_webAddressLabel, 360, 5730, 9780, 330);
    m_webAddressLabel->setFont(timesFont(10));
    m_webAddressLabel->setAlignment(Qt::AlignCenter);
    // A click on the address is not a click on the area.
    m_webAddressLabel->setAttribute(Qt::WA_NoMousePropagation);

    hide();
}

void AboutArea::toggle() {
    m_identityBox->setPlainText(forDisplay(aboutIdentityText()));
    m_termsBox->setPlainText(forDisplay(usageTermsText()));
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
        (watched == m_picture || watched == m_identityBox || watched == m_identityBox->viewport())) {
        hide();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace zet::ui
