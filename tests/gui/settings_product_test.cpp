// The Product Information dialog: the type and band lists from Program.ini,
// the choice it opens on, a type change, and what OK leaves behind through
// the Edit menu command (image bytes, main window title, band limits,
// per-user values, the modified flag) while Cancel leaves everything.

#include "GuiTestSupport.h"

#include "app/ProgramApp.h"
#include "base/ContextHelp.h"
#include "base/Globals.h"
#include "base/UserStore.h"
#include "channels/ProgramView.h"
#include "core/document/DataFile.h"
#include "document/ProgramDoc.h"
#include "frame/ChildFrame.h"
#include "frame/MainFrame.h"
#include "settings/ProductInfoDlg.h"

#include <QComboBox>
#include <QTimer>
#include <QtTest>

#include <functional>

using Dlg = CProductInfoDlg;

namespace {

QStringList Items(const QComboBox* list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items.append(list->itemText(i));
    return items;
}

const QStringList kFirstBands = {"136 - 174MHz", "400 - 470MHz", "400 - 480MHz", "350 - 390MHz"};

} // namespace

class SettingsProductTest : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void opening_data();
    void opening();
    void typeChangeSelectsFirstBand();
    void okThroughTheCommand_data();
    void okThroughTheCommand();
    void cancelChangesNothing_data();
    void cancelChangesNothing();
    void indexesBeyondTheListsStayInTheImage();
    void helpKey();
    void commandWithoutDocument();

private:
    void Start(const QByteArray& ini);
    void RunCommand(const std::function<void(Dlg*)>& act);

    std::unique_ptr<CTestInstall> m_install;
    CMainFrame* m_frame = nullptr;
};

void SettingsProductTest::cleanup()
{
    if (CHelpViewer* viewer = HelpViewer())
        delete viewer;
    m_install.reset();
}

void SettingsProductTest::Start(const QByteArray& ini)
{
    m_install = std::make_unique<CTestInstall>(kEverything, ini.constData());
    QVERIFY(m_install->Start());
    m_frame = m_install->App()->MainFrame();
}

void SettingsProductTest::RunCommand(const std::function<void(Dlg*)>& act)
{
    bool acted = false;
    QTimer::singleShot(0, m_frame, [&] {
        if (auto* dialog = qobject_cast<Dlg*>(QApplication::activeModalWidget())) {
            acted = true;
            act(dialog);
        }
    });
    m_frame->OnCommand(32786);
    QVERIFY(acted);
}

void SettingsProductTest::opening_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<int>("userType"); // -1: no per-user value
    QTest::addColumn<int>("userBand");
    QTest::addColumn<QStringList>("types");
    QTest::addColumn<QStringList>("bands");
    QTest::addColumn<QString>("typeShown");
    QTest::addColumn<QString>("bandShown");

    const QByteArray shipped = ShippedIniWith("Setup", "Language", "English");
    const QStringList three = {"QM-350", "QM-350S", "QM-360"};
    QTest::newRow("no per-user values") << shipped << -1 << -1 << three << kFirstBands << "QM-350"
                                        << "136 - 174MHz";
    QTest::newRow("band beyond the list")
        << shipped << 1 << 7 << three << QStringList{"136 - 174MHz", "400 - 470MHz"} << "QM-350S"
        << "";
    QTest::newRow("Type2 missing, Type3 present")
        << ShippedIniWith("Setup", "Type2", nullptr) << -1 << -1 << QStringList{"QM-350"} << kFirstBands << "QM-350"
        << "136 - 174MHz";
}

void SettingsProductTest::opening()
{
    QFETCH(QByteArray, ini);
    QFETCH(int, userType);
    QFETCH(int, userBand);
    QFETCH(QStringList, types);
    QFETCH(QStringList, bands);
    QFETCH(QString, typeShown);
    QFETCH(QString, bandShown);
    Start(ini);

    // The image says otherwise: the dialog follows the per-user values.
    RadioImage image = MakeNewImage();
    image[0x32E] = 1;
    image[0x32F] = 1;
    const std::uint32_t type = userType < 0 ? 0 : static_cast<std::uint32_t>(userType);
    const std::uint32_t band = userBand < 0 ? 0 : static_cast<std::uint32_t>(userBand);
    Dlg dialog;
    dialog.Prepare(g_iniFile, image, type, band);
    dialog.OnInitDialog();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Product Information"));
    QCOMPARE(Items(dialog.TypeList()), types);
    QCOMPARE(Items(dialog.BandList()), bands);
    QCOMPARE(dialog.TypeList()->currentText(), typeShown);
    QCOMPARE(dialog.BandList()->currentText(), bandShown);
}

void SettingsProductTest::typeChangeSelectsFirstBand()
{
    Start(ShippedIniWith("Setup", "Language", "English"));
    RadioImage image = MakeNewImage();
    Dlg dialog;
    dialog.Prepare(g_iniFile, image, 0, 3);
    dialog.OnInitDialog();
    QCOMPARE(dialog.BandList()->currentIndex(), 3);

    dialog.TypeList()->setCurrentIndex(1);
    QCOMPARE(Items(dialog.BandList()), (QStringList{"136 - 174MHz", "400 - 470MHz"}));
    QCOMPARE(dialog.BandList()->currentIndex(), 0);
    dialog.BandList()->setCurrentIndex(1);
    dialog.TypeList()->setCurrentIndex(0);
    QCOMPARE(Items(dialog.BandList()), kFirstBands);
    QCOMPARE(dialog.BandList()->currentIndex(), 0);
}

void SettingsProductTest::okThroughTheCommand_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("band");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    QTest::addColumn<bool>("modified");

    QTest::newRow("second band") << ShippedIniWith("Setup", "Language", "English") << 0 << 1
                                 << "QM-350 Programmer  [ Type:QM-350  Fre:400 - 470MHz ]" << 40000000 << 47000000
                                 << true;
    QTest::newRow("same choice again") << ShippedIniWith("Setup", "Language", "English") << 0 << 0
                                       << "QM-350 Programmer  [ Type:QM-350  Fre:136 - 174MHz ]" << 13600000 << 17400000
                                       << false;
    QTest::newRow("Chinese keeps the English labels")
        << ShippedIniWith("Setup", "Language", "Chinese") << 2 << 0
        << QString::fromUtf8("QM-350 写频软件  [ Type:QM-360  Fre:144 - 148MHz ]") << 14400000 << 14800000 << true;
    QTest::newRow("band without a hyphen")
        << ShippedIniWith("Setup", "Field2", "136MHz") << 1 << 0 << "QM-350 Programmer  [ Type:QM-350S  Fre:136MHz ]"
        << 13600000 << 13600000 << true;
}

void SettingsProductTest::okThroughTheCommand()
{
    QFETCH(QByteArray, ini);
    QFETCH(int, type);
    QFETCH(int, band);
    QFETCH(QString, title);
    QFETCH(int, low);
    QFETCH(int, high);
    QFETCH(bool, modified);
    Start(ini);

    CChildFrame* child = m_frame->MDIGetActive();
    CProgramDoc* document = child->GetDocument();
    CProgramView* view = child->GetActiveView();
    RadioImage expected = document->Image();
    expected[0x32E] = static_cast<std::uint8_t>(type);
    expected[0x32F] = static_cast<std::uint8_t>(band);

    RunCommand([&](Dlg* dialog) {
        dialog->TypeList()->setCurrentIndex(type);
        dialog->BandList()->setCurrentIndex(band);
        dialog->accept();
    });
    QCOMPARE(document->Image(), expected);
    QCOMPARE(m_frame->windowTitle(), title);
    QCOMPARE(g_strMainTitle, title);
    QCOMPARE(view->m_nBandLow, low);
    QCOMPARE(view->m_nBandHigh, high);
    QCOMPARE(document->IsModified(), modified);
    const CUserStore store = CUserStore::ForApplication();
    QCOMPARE(store.QueryDword("Type", 99), std::uint32_t(type));
    QCOMPARE(store.QueryDword("Field", 99), std::uint32_t(band));

    // The next opening shows the choice.
    RunCommand([&](Dlg* dialog) {
        QCOMPARE(dialog->TypeList()->currentIndex(), type);
        QCOMPARE(dialog->BandList()->currentIndex(), band);
        dialog->reject();
    });
}

void SettingsProductTest::cancelChangesNothing_data()
{
    QTest::addColumn<int>("type"); // -1: nothing chosen
    QTest::addColumn<int>("band");
    QTest::addColumn<bool>("ok");
    QTest::newRow("cancel") << 2 << 2 << false;
    QTest::newRow("OK without type or band") << -1 << -1 << true;
    QTest::newRow("OK without band") << 1 << -1 << true;
    QTest::newRow("OK without type") << -1 << 0 << true;
}

void SettingsProductTest::cancelChangesNothing()
{
    QFETCH(int, type);
    QFETCH(int, band);
    QFETCH(bool, ok);
    Start(ShippedIniWith("Setup", "Language", "English"));
    CChildFrame* child = m_frame->MDIGetActive();
    CProgramDoc* document = child->GetDocument();
    CProgramView* view = child->GetActiveView();
    const RadioImage image = document->Image();
    const QString title = m_frame->windowTitle();
    const int low = view->m_nBandLow;
    const QString store = m_install->UserStoreText();

    RunCommand([&](Dlg* dialog) {
        dialog->TypeList()->setCurrentIndex(type);
        dialog->BandList()->setCurrentIndex(band);
        ok ? dialog->accept() : dialog->reject();
    });
    QCOMPARE(document->Image(), image);
    QCOMPARE(m_frame->windowTitle(), title);
    QCOMPARE(view->m_nBandLow, low);
    QCOMPARE(m_install->UserStoreText(), store);
    QVERIFY(!document->IsModified());
}

void SettingsProductTest::indexesBeyondTheListsStayInTheImage()
{
    // A file made for a configuration with more types and bands opens and
    // saves byte for byte, but does not become every new document's choice.
    Start(ShippedIniWith("Setup", "Language", "English"));
    CUserStore::ForApplication().SetDword("Type", 1);
    CUserStore::ForApplication().SetDword("Field", 1);
    RadioImage foreign = MakeNewImage();
    foreign[0x32E] = 7; // three types are configured
    foreign[0x32F] = 9;
    const QString path = m_install->File("foreign.dat");
    QCOMPARE(SaveDataFile(path.toStdString(), foreign), DataFileResult::Ok);
    CProgramDoc* document = m_install->App()->OpenDocumentFile(path);
    QVERIFY(document);
    QCOMPARE(CUserStore::ForApplication().QueryDword("Type", 99), 1u);
    QCOMPARE(CUserStore::ForApplication().QueryDword("Field", 99), 1u);
    QVERIFY(document->OnSaveDocument(path));
    RadioImage saved{};
    QCOMPARE(LoadDataFile(path.toStdString(), saved), DataFileResult::Ok);
    QCOMPARE(saved, foreign);
    // A file whose bytes lie in the lists still sets them.
    RadioImage image = MakeNewImage();
    image[0x32E] = 2;
    image[0x32F] = 0;
    QCOMPARE(SaveDataFile(m_install->File("inside.dat").toStdString(), image), DataFileResult::Ok);
    QVERIFY(m_install->App()->OpenDocumentFile(m_install->File("inside.dat")));
    QCOMPARE(CUserStore::ForApplication().QueryDword("Type", 99), 2u);
    QCOMPARE(CUserStore::ForApplication().QueryDword("Field", 99), 0u);
}

void SettingsProductTest::helpKey()
{
    Start(ShippedIniWith("Setup", "Language", "English"));
    RadioImage image = MakeNewImage();
    Dlg dialog;
    dialog.Prepare(g_iniFile, image, 0, 0);
    dialog.OnInitDialog();
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    dialog.BandList()->setFocus();
    QTest::keyClick(dialog.BandList(), Qt::Key_F1);
    QVERIFY(HelpViewer());
    QCOMPARE(HelpViewer()->CurrentSource().fileName(), QStringLiteral("product.html"));
    QCOMPARE(HelpViewer()->CurrentSource().fragment(), QStringLiteral("band"));
}

void SettingsProductTest::commandWithoutDocument()
{
    Start(ShippedIniWith("Setup", "Language", "English"));
    m_frame->DestroyChildFrame(m_frame->MDIGetActive());
    bool opened = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            opened = true;
            modal->close();
        }
    });
    watch.start(10);
    m_frame->OnCommand(32786);
    m_frame->OnProductInformation();
    QTest::qWait(50);
    QVERIFY(!opened);
    QVERIFY(m_frame->ProductInfoDialog() == nullptr);
}

QTEST_MAIN(SettingsProductTest)
#include "settings_product_test.moc"
