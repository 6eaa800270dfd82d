#pragma once
// Context help: a number (a command or a control ID) opens its topic in the
// help set of the running language, a folder beside the executable
// ("enHelp" or "chHelp") holding HTML topics and map.json, which maps context
// numbers to "page.html#anchor". A number without a topic opens the contents
// page (index.html); without a help set nothing happens.

#include <QString>
#include <QUrl>
#include <QWidget>

class QTextBrowser;

class CHelpViewer : public QWidget
{
    Q_OBJECT
public:
    explicit CHelpViewer(QWidget* owner);

    // Opens the topic of a context number in the given help set folder.
    // Returns false when the folder holds no help set.
    bool ShowContext(const QString& helpDir, int contextNumber);
    // The page shown, as a file URL with the topic's anchor.
    QUrl CurrentSource() const;
    QTextBrowser* Browser() const { return m_pBrowser; }

    // Topic of a context number from the folder's map, or index.html.
    static QString TopicFor(const QString& helpDir, int contextNumber);

private:
    QTextBrowser* m_pBrowser = nullptr;
    QString m_helpDir;
};

// The help call of the whole program: opens the topic of the context
// number in the help set named by the running language, in the viewer of
// the main window.
void ContextHelp(int contextNumber);
// The viewer that ContextHelp uses, or null before the first call.
CHelpViewer* HelpViewer();
