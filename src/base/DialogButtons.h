#pragma once
// The OK and Cancel buttons of a dialog: a button box carrying the control
// IDs 1 and 2 (which the bundles key their texts by), OK the default button,
// and the two wired to accept and reject.

#include "base/ControlId.h"
#include "base/ResourceIds.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

inline QDialogButtonBox* AddOkCancelButtons(QDialog* dialog, bool withCancel = true)
{
    auto* buttons = new QDialogButtonBox(dialog);
    QPushButton* ok = buttons->addButton(QDialogButtonBox::Ok);
    SetControlId(ok, Ids::IDOK);
    ok->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    if (withCancel) {
        QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
        SetControlId(cancel, Ids::IDCANCEL);
        QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    }
    return buttons;
}
