#pragma once
// Controls carry their numeric identifier as a property: the bundles key
// dialog texts by it, and F1 uses it as the help context number.

#include <QVariant>
#include <QWidget>

inline void SetControlId(QWidget* widget, int id)
{
    widget->setProperty("ctrlId", id);
}

// The identifier of a widget, or of the nearest ancestor that has one
// (an editable combo box's line edit reports its combo box); 0 for none.
inline int ControlId(const QWidget* widget)
{
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const QVariant id = w->property("ctrlId");
        if (id.isValid())
            return id.toInt();
        if (w->isWindow())
            break;
    }
    return 0;
}
