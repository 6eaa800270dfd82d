// The Optional Features dialog on a document's image: what it shows in each
// language, what OK and Cancel leave in the twelve feature bytes, the
// transmit-delay edit and its up-down button, the device modes, help, and
// the Edit menu command that opens it.

#include "GuiTestSupport.h"

#include "app/ProgramApp.h"
#include "base/ContextHelp.h"
#include "base/Globals.h"
#include "document/ProgramDoc.h"
#include "frame/ChildFrame.h"
#include "frame/MainFrame.h"
#include "settings/OptionalFeaturesDlg.h"
#include "settings/SpinButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <functional>

Q_DECLARE_METATYPE(RadioImage)

using Dlg = COptionalFeaturesDlg;
using Bytes = QList<std::pair<int, int>>; // offset, byte

namespace {

// The texts the lists show, in the order of Dlg's IDs below, and the edit.
const QList<int> kLists = {
    Dlg::IDC_SIDE_KEY, Dlg::IDC_VOICE_ANNUNCIATION, Dlg::IDC_TIME_OUT_TIME,  Dlg::IDC_SQUELCH_LEVEL,
    Dlg::IDC_VOX,      Dlg::IDC_VOX_GAIN_LEVEL,     Dlg::IDC_VOX_DELAY_TIME, Dlg::IDC_PRIORITY_CHANNEL};

QStringList Shown(const Dlg& dialog)
{
    QStringList texts;
    for (int id : kLists)
        texts.append(dialog.List(id)->currentText());
    texts.append(dialog.CheckBox(Dlg::IDC_BATTERY_SAVER)->isChecked() ? "saver" : "-");
    texts.append(dialog.CheckBox(Dlg::IDC_BEEP)->isChecked() ? "beep" : "-");
    texts.append(dialog.TransmitDelayEdit()->text());
    return texts;
}

RadioImage ImageWith(const Bytes& bytes, std::uint8_t fill = 0)
{
    RadioImage image = MakeNewImage();
    if (fill != 0)
        image.fill(fill);
    for (const auto& [offset, value] : bytes)
        image[static_cast<std::size_t>(offset)] = static_cast<std::uint8_t>(value);
    return image;
}

} // namespace

class SettingsFeaturesTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void loadShows_data();
    void loadShows();
    void okStores_data();
    void okStores();
    void cancelLeavesEveryByte();
    void spinSteps_data();
    void spinSteps();
    void visibilityByDeviceMode_data();
    void visibilityByDeviceMode();
    void helpKey();
    void commandFromTheEditMenu();
    void commandDoesNothingInModeZeroOrWithoutDocument();

private:
    void Start(const char* language);
    // Runs the command and, once the dialog is up, act on it.
    void RunCommand(int id, const std::function<void(Dlg*)>& act);

    std::unique_ptr<CTestInstall> m_install;
    CMainFrame* m_frame = nullptr;
};

void SettingsFeaturesTest::init()
{
    m_install = std::make_unique<CTestInstall>();
}

void SettingsFeaturesTest::cleanup()
{
    if (CHelpViewer* viewer = HelpViewer())
        delete viewer;
    m_install.reset();
}

void SettingsFeaturesTest::Start(const char* language)
{
    m_install->WriteFile("Program.ini", ShippedIniWith("Setup", "Language", language));
    QVERIFY(m_install->Start());
    m_frame = m_install->App()->MainFrame();
}

void SettingsFeaturesTest::RunCommand(int id, const std::function<void(Dlg*)>& act)
{
    bool acted = false;
    QTimer::singleShot(0, m_frame, [&] {
        if (auto* dialog = qobject_cast<Dlg*>(QApplication::activeModalWidget())) {
            acted = true;
            act(dialog);
        }
    });
    m_frame->OnCommand(id);
    QVERIFY(acted);
}

void SettingsFeaturesTest::loadShows_data()
{
    QTest::addColumn<QByteArray>("language");
    QTest::addColumn<RadioImage>("image");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("new document") << QByteArray("English") << MakeNewImage()
                                  << QStringList{"None", "Off", "600s", "4", "Off", "5",
                                                 "0.3s", "Off", "-",    "-", "Off"};
    QTest::newRow("new document, Chinese")
        << QByteArray("Chinese") << MakeNewImage()
        << QStringList{"无", "关", "600s", "4", "Off", "5", "0.3s", "关", "-", "-", "关"};
    QTest::newRow("erased radio") << QByteArray("English") << ImageWith({}, 0xFF)
                                  << QStringList{
                                         "Monitor Momentary", "", "", "", "", "", "", "", "saver", "beep", "Off"};
}

void SettingsFeaturesTest::loadShows()
{
    QFETCH(QByteArray, language);
    QFETCH(RadioImage, image);
    QFETCH(QStringList, shown);
    Start(language.constData());

    Dlg dialog;
    dialog.Prepare(image, 2, IsChinese());
    dialog.OnInitDialog();
    QCOMPARE(Shown(dialog), shown);
    QCOMPARE(dialog.windowTitle(),
             language == "Chinese" ? QStringLiteral("可选功能") : QStringLiteral("Optional Features"));
    QCOMPARE(dialog.List(Dlg::IDC_TIME_OUT_TIME)->count(), 40);
    QCOMPARE(dialog.List(Dlg::IDC_PRIORITY_CHANNEL)->count(), 17);
    QCOMPARE(dialog.List(Dlg::IDC_VOX)->count(), 2);
    QCOMPARE(dialog.TransmitDelayEdit()->maxLength(), 5);

    // Opening again loads afresh and does not pile up list entries.
    dialog.OnInitDialog();
    QCOMPARE(Shown(dialog), shown);
    QCOMPARE(dialog.List(Dlg::IDC_PRIORITY_CHANNEL)->count(), 17);

    // Only the upper part is in sight; the lower rows lie below the window.
    QVERIFY(dialog.List(Dlg::IDC_SIDE_KEY)->y() >= dialog.height());
    QVERIFY(dialog.CheckBox(Dlg::IDC_BEEP)->y() >= dialog.height());
    auto* ok = dialog.findChild<QPushButton*>(QString(), Qt::FindChildrenRecursively);
    QVERIFY(ok && ok->geometry().bottom() < dialog.height());
}

void SettingsFeaturesTest::okStores_data()
{
    QTest::addColumn<RadioImage>("image");
    QTest::addColumn<int>("list"); // 0: none
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("typed"); // null: leave the edit alone
    QTest::addColumn<bool>("leaveEdit");
    QTest::addColumn<Bytes>("stored");
    QTest::addColumn<bool>("changed");

    QTest::newRow("45s") << ImageWith({{0x130, 0x02}}) << Dlg::IDC_TIME_OUT_TIME << 2 << QString() << false
                         << Bytes{{0x130, 0x03}} << true;
    QTest::newRow("12.5 and OK") << ImageWith({{0x13C, 0x0F}}) << 0 << 0 << "12.5" << false
                                 << Bytes{{0x13C, 0x7D}, {0x13D, 0x00}} << true;
    QTest::newRow("200, leaving the edit")
        << ImageWith({{0x13C, 0x0F}}) << 0 << 0 << "200" << true << Bytes{{0x13C, 0x00}, {0x13D, 0x00}} << true;
    QTest::newRow("200 and OK at once") << ImageWith({{0x13C, 0x0F}}) << 0 << 0 << "200" << false
                                        << Bytes{{0x13C, 0x00}, {0x13D, 0x00}} << true;
    QTest::newRow("hidden lower row") << MakeNewImage() << Dlg::IDC_PRIORITY_CHANNEL << 5 << QString() << false
                                      << Bytes{{0x161, 5}} << true;
    QTest::newRow("nothing changed") << MakeNewImage() << 0 << 0 << QString() << false << Bytes{} << false;
    QTest::newRow("erased radio") << ImageWith({}, 0xFF) << 0 << 0 << QString() << false
                                  << Bytes{{0x11D, 0x02}, {0x130, 0x00}, {0x13A, 0x00}, {0x139, 0x00},
                                           {0x12F, 0xFF}, {0x134, 0xFF}, {0x13B, 0xFF}, {0x161, 0xFF},
                                           {0x135, 0x01}, {0x136, 0x01}, {0x13C, 0x00}, {0x13D, 0x00}}
                                  << true;
}

void SettingsFeaturesTest::okStores()
{
    QFETCH(RadioImage, image);
    QFETCH(int, list);
    QFETCH(int, index);
    QFETCH(QString, typed);
    QFETCH(bool, leaveEdit);
    QFETCH(Bytes, stored);
    QFETCH(bool, changed);
    Start("English");

    RadioImage expected = image;
    for (const auto& [offset, value] : stored)
        expected[static_cast<std::size_t>(offset)] = static_cast<std::uint8_t>(value);

    Dlg dialog;
    dialog.Prepare(image, 2, false);
    dialog.OnInitDialog();
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    if (list != 0)
        dialog.List(list)->setCurrentIndex(index);
    if (!typed.isNull()) {
        QLineEdit* edit = dialog.TransmitDelayEdit();
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, typed);
        if (leaveEdit) {
            dialog.List(Dlg::IDC_TIME_OUT_TIME)->setFocus();
            QCOMPARE(edit->text(), QStringLiteral("Off"));
        }
        QTest::keyClick(edit, Qt::Key_Return); // OK, the default button
    } else {
        dialog.accept();
    }
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(image, expected);
    QCOMPARE(dialog.ImageChanged(), changed);
}

void SettingsFeaturesTest::cancelLeavesEveryByte()
{
    Start("English");
    RadioImage image = ImageWith({{0x13C, 0x0F}});
    const RadioImage before = image;
    Dlg dialog;
    dialog.Prepare(image, 2, false);
    dialog.OnInitDialog();
    for (int id : kLists)
        dialog.List(id)->setCurrentIndex(1);
    dialog.CheckBox(Dlg::IDC_BEEP)->setChecked(true);
    dialog.CheckBox(Dlg::IDC_BATTERY_SAVER)->setChecked(true);
    dialog.TransmitDelayEdit()->setText("99");
    dialog.reject();
    QCOMPARE(image, before);
    QVERIFY(!dialog.ImageChanged());
}

void SettingsFeaturesTest::spinSteps_data()
{
    QTest::addColumn<QByteArray>("language");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QList<int>>("steps"); // +1/-1 click the buttons, others are accelerated reports
    QTest::addColumn<QString>("shown");

    QTest::newRow("up from Off") << QByteArray("English") << "Off" << QList<int>{1} << "0.1";
    QTest::newRow("down from Off") << QByteArray("English") << "Off" << QList<int>{-1} << "180.0";
    QTest::newRow("up from 180.0") << QByteArray("English") << "180.0" << QList<int>{1} << "Off";
    QTest::newRow("accelerated up") << QByteArray("English") << "1.2" << QList<int>{5} << "1.5";
    QTest::newRow("Chinese down from 关") << QByteArray("Chinese") << "关" << QList<int>{-1} << "180.0";
}

void SettingsFeaturesTest::spinSteps()
{
    QFETCH(QByteArray, language);
    QFETCH(QString, start);
    QFETCH(QList<int>, steps);
    QFETCH(QString, shown);
    Start(language.constData());

    RadioImage image = MakeNewImage();
    Dlg dialog;
    dialog.Prepare(image, 2, IsChinese());
    dialog.OnInitDialog();
    dialog.TransmitDelayEdit()->setText(start);
    CSpinButton* spin = dialog.TransmitDelaySpin();
    QCOMPARE(spin->Lower(), 0);
    QCOMPARE(spin->Upper(), 1800);
    for (int step : steps) {
        if (step == 1)
            QTest::mouseClick(spin->UpButton(), Qt::LeftButton);
        else if (step == -1)
            QTest::mouseClick(spin->DownButton(), Qt::LeftButton);
        else
            emit spin->deltaPos(step);
    }
    QCOMPARE(dialog.TransmitDelayEdit()->text(), shown);
}

void SettingsFeaturesTest::visibilityByDeviceMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("squelch");
    QTest::addColumn<bool>("transmitSide");
    QTest::newRow("mode 1") << 1 << true << false;
    QTest::newRow("mode 2") << 2 << false << true;
    QTest::newRow("mode 0") << 0 << true << true;
}

void SettingsFeaturesTest::visibilityByDeviceMode()
{
    QFETCH(int, mode);
    QFETCH(bool, squelch);
    QFETCH(bool, transmitSide);
    Start("English");

    RadioImage image = MakeNewImage();
    Dlg dialog;
    // A dialog opened in another mode before shows its controls afresh.
    dialog.Prepare(image, mode == 1 ? 2 : 1, false);
    dialog.OnInitDialog();
    dialog.Prepare(image, mode, false);
    dialog.OnInitDialog();
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto label = [&](int id) {
        for (QLabel* l : dialog.findChildren<QLabel*>())
            if (l->property("ctrlId").toInt() == id)
                return l;
        return static_cast<QLabel*>(nullptr);
    };
    QCOMPARE(label(Dlg::IDC_SQUELCH_LABEL)->isVisible(), squelch);
    QCOMPARE(dialog.List(Dlg::IDC_SQUELCH_LEVEL)->isVisible(), squelch);
    QCOMPARE(label(Dlg::IDC_TIME_OUT_LABEL)->isVisible(), transmitSide);
    QCOMPARE(dialog.List(Dlg::IDC_TIME_OUT_TIME)->isVisible(), transmitSide);
    QCOMPARE(label(Dlg::IDC_TRANSMIT_DELAY_LABEL)->isVisible(), transmitSide);
    QCOMPARE(dialog.TransmitDelayEdit()->isVisible(), transmitSide);
    QCOMPARE(dialog.TransmitDelaySpin()->isVisible(), transmitSide);

    // Hidden or not, every byte is stored.
    dialog.List(Dlg::IDC_SQUELCH_LEVEL)->setCurrentIndex(7);
    dialog.List(Dlg::IDC_TIME_OUT_TIME)->setCurrentIndex(0);
    dialog.accept();
    QCOMPARE(int(image[0x134]), 7);
    QCOMPARE(int(image[0x130]), 1);
}

void SettingsFeaturesTest::helpKey()
{
    Start("English");
    RadioImage image = MakeNewImage();
    Dlg dialog;
    dialog.Prepare(image, 2, false);
    dialog.OnInitDialog();
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QComboBox* timeOut = dialog.List(Dlg::IDC_TIME_OUT_TIME);
    timeOut->setFocus();
    QTest::keyClick(timeOut, Qt::Key_F1);
    QVERIFY(HelpViewer());
    QCOMPARE(HelpViewer()->CurrentSource().fileName(), QStringLiteral("features.html"));
    QCOMPARE(HelpViewer()->CurrentSource().fragment(), QStringLiteral("tot"));
}

void SettingsFeaturesTest::commandFromTheEditMenu()
{
    Start("English");
    CProgramDoc* document = m_frame->MDIGetActive()->GetDocument();
    const RadioImage before = document->Image();

    RunCommand(32788, [](Dlg* dialog) { dialog->reject(); });
    QCOMPARE(document->Image(), before);
    QVERIFY(!document->IsModified());

    RunCommand(32788, [](Dlg* dialog) { dialog->accept(); });
    QCOMPARE(document->Image(), before);
    QVERIFY(!document->IsModified());

    RunCommand(32788, [](Dlg* dialog) {
        dialog->List(Dlg::IDC_SQUELCH_LEVEL)->setCurrentIndex(9);
        dialog->accept();
    });
    QCOMPARE(int(document->Image()[0x134]), 9);
    QVERIFY(document->IsModified());
    QCOMPARE(m_frame->OptionalFeaturesDialog()->parentWidget(), m_frame);
}

void SettingsFeaturesTest::commandDoesNothingInModeZeroOrWithoutDocument()
{
    Start("English");
    bool opened = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            opened = true;
            modal->close();
        }
    });
    watch.start(10);

    g_nDeviceMode = 0;
    m_frame->OnCommand(32788);
    g_nDeviceMode = 1;
    m_frame->DestroyChildFrame(m_frame->MDIGetActive());
    m_frame->OnCommand(32788);
    m_frame->OnOptionalFeatures();
    QTest::qWait(50);
    QVERIFY(!opened);
}

QTEST_MAIN(SettingsFeaturesTest)
#include "settings_features_test.moc"
