#include "base/AccessibleNames.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QStatusBar>

namespace {

// A status bar whose name is its note, read when asked.
class CStatusBarAccessible : public QAccessibleWidget
{
public:
    explicit CStatusBarAccessible(QStatusBar* bar)
        : QAccessibleWidget(bar, QAccessible::StatusBar)
    {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return StatusBarNote(static_cast<const QStatusBar*>(widget()));
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* StatusBarFactory(const QString&, QObject* object)
{
    if (auto* bar = qobject_cast<QStatusBar*>(object))
        return new CStatusBarAccessible(bar);
    return nullptr;
}

} // namespace

QString StatusBarNote(const QStatusBar* bar)
{
    if (!bar->currentMessage().isEmpty())
        return bar->currentMessage();
    for (const QLabel* pane : bar->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (!pane->text().isEmpty())
            return pane->text();
    }
    return QString();
}

void NameStatusBarByNote(QStatusBar* bar)
{
    static bool installed = false;
    if (!installed) {
        installed = true;
        QAccessible::installFactory(StatusBarFactory);
    }
    QObject::connect(bar, &QStatusBar::messageChanged, bar, [bar] {
        QAccessibleEvent event(bar, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    });
}
