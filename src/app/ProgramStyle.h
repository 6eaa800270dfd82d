#pragma once

#include <QProxyStyle>

// The look of the program: highlighted menu items may be disabled ones (so
// F1 gives help on a command that is not available at the moment), and
// dialog buttons carry no pictures.
class CProgramStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_Menu_AllowActiveAndDisabled)
            return 1;
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};
