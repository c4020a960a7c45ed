#include "help_window.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace corvat {

namespace {

const QString kHelpRoot = QStringLiteral("qrc:/help/");

}  // namespace

HelpWindow::HelpWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setWindowTitle(tr("Corvat Help"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    m_browser = new QTextBrowser(this);
    m_browser->setOpenExternalLinks(true);

    auto* contents = new QPushButton(tr("&Contents"), this);
    auto* back = new QPushButton(tr("&Back"), this);
    auto* forward = new QPushButton(tr("&Forward"), this);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(contents, &QPushButton::clicked, this,
            [this] { ShowTopic(QString::fromLatin1(kHelpContents)); });
    connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser, 1);
    resize(640, 560);
}

void HelpWindow::ShowTopic(const QString& topic) {
    m_browser->setSource(QUrl(kHelpRoot + topic));
    show();
    raise();
    activateWindow();
}

QString HelpWindow::CurrentTopic() const { return m_browser->source().fileName(); }

}  // namespace corvat
