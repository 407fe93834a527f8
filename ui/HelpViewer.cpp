#include "ui/HelpViewer.h"

#include "core/about/HelpFile.h"
#include "ui/ApplicationIcon.h"
#include "core/Twips.h"

#include <QAction>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>

namespace meloport {

namespace {

constexpr QSize kDesignSize(9600, 7200); // twips

QUrl topicUrl(const QString &helpFile, int topic)
{
    QUrl url = QUrl::fromLocalFile(helpFile);
    url.setFragment(helpTopicAnchor(topic));
    return url;
}

} // namespace

HelpViewer::HelpViewer(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("HelpViewer"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowIcon(applicationIcon());

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setOpenExternalLinks(true);
    setCentralWidget(m_browser);

    QToolBar *bar = addToolBar(QString());
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QAction *back = bar->addAction(QStringLiteral("戻る(&B)"), m_browser, &QTextBrowser::backward);
    QAction *forward = bar->addAction(QStringLiteral("進む(&F)"), m_browser, &QTextBrowser::forward);
    bar->addAction(QStringLiteral("目次(&C)"), this, [this] { showTopic(m_helpFile, kHelpContents); });
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this,
            [this] { setWindowTitle(m_browser->documentTitle()); });

    const qreal dpi = logicalDpiX();
    resize(twipsToPixels(kDesignSize.width(), dpi), twipsToPixels(kDesignSize.height(), dpi));
}

void HelpViewer::showTopic(const QString &helpFile, int topic)
{
    m_helpFile = helpFile;
    m_browser->setSource(topicUrl(helpFile, topic));
    show();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

} // namespace meloport
