#include "base/ContextHelp.h"

#include "base/Globals.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

QPointer<CHelpViewer> g_pViewer;

QUrl TopicUrl(const QString& helpDir, const QString& topic)
{
    QUrl url = QUrl::fromLocalFile(helpDir + '/' + topic.section('#', 0, 0));
    const QString anchor = topic.section('#', 1);
    if (!anchor.isEmpty())
        url.setFragment(anchor);
    return url;
}

} // namespace

CHelpViewer::CHelpViewer(QWidget* owner)
    : QWidget(owner, Qt::Window)
{
    // A window of its own, so that it stays usable while a dialog that
    // asked for help is open; it never keeps the program running.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(720, 560);

    m_pBrowser = new QTextBrowser(this);
    m_pBrowser->setOpenExternalLinks(true);

    auto* bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QAction* contents = bar->addAction(Lang("Contents", "目录"));
    QAction* back = bar->addAction(Lang("Back", "后退"));
    QAction* forward = bar->addAction(Lang("Forward", "前进"));
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(contents, &QAction::triggered, this,
            [this] { m_pBrowser->setSource(TopicUrl(m_helpDir, QStringLiteral("index.html"))); });
    connect(back, &QAction::triggered, m_pBrowser, &QTextBrowser::backward);
    connect(forward, &QAction::triggered, m_pBrowser, &QTextBrowser::forward);
    connect(m_pBrowser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_pBrowser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    connect(m_pBrowser, &QTextBrowser::sourceChanged, this, [this] { setWindowTitle(m_pBrowser->documentTitle()); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_pBrowser);
}

QString CHelpViewer::TopicFor(const QString& helpDir, int contextNumber)
{
    QFile map(helpDir + QStringLiteral("/map.json"));
    if (map.open(QIODevice::ReadOnly)) {
        const QJsonObject topics = QJsonDocument::fromJson(map.readAll()).object();
        const QString topic = topics.value(QString::number(contextNumber)).toString();
        if (!topic.isEmpty() && QFile::exists(helpDir + '/' + topic.section('#', 0, 0)))
            return topic;
    }
    return QStringLiteral("index.html");
}

bool CHelpViewer::ShowContext(const QString& helpDir, int contextNumber)
{
    if (!QFile::exists(helpDir + QStringLiteral("/index.html")))
        return false;
    if (helpDir != m_helpDir) {
        m_helpDir = helpDir;
        m_pBrowser->clearHistory();
    }
    m_pBrowser->setSource(TopicUrl(helpDir, TopicFor(helpDir, contextNumber)));
    show();
    raise();
    activateWindow();
    return true;
}

QUrl CHelpViewer::CurrentSource() const
{
    return m_pBrowser->source();
}

void ContextHelp(int contextNumber)
{
    const QString helpDir = g_strAppDir + QString::fromStdString(g_strHelpFile);
    if (g_strHelpFile.empty() || !QDir(helpDir).exists())
        return;
    if (!g_pViewer)
        g_pViewer = new CHelpViewer(nullptr);
    g_pViewer->ShowContext(helpDir, contextNumber);
}

CHelpViewer* HelpViewer()
{
    return g_pViewer;
}
