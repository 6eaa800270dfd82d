#pragma once
// Edit > Channel Plan...: the list of channel plans, shipped and the user's
// own, each as its name and number of channels; OK takes the chosen one.

#include "core/channels/ChannelPlans.h"

#include <QDialog>
#include <optional>
#include <vector>

class QListWidget;
class QDialogButtonBox;

class CChannelPlanDlg : public QDialog
{
    Q_OBJECT
public:
    // userFolder is named to say where the user's own plans go.
    CChannelPlanDlg(std::vector<ChannelPlan> plans, const QString& userFolder, QWidget* parent = nullptr);

    // "PMR446 (16 channels)", in the running language.
    static QString ListLine(const ChannelPlan& plan);

    // The plan chosen when the dialog was accepted.
    std::optional<ChannelPlan> Chosen() const;

    QListWidget* List() const { return m_pList; }

private:
    std::vector<ChannelPlan> m_plans;
    QListWidget* m_pList = nullptr;
    QDialogButtonBox* m_pButtons = nullptr;
};
