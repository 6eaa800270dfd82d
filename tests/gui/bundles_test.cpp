// The two language bundles carry the same resources under the same IDs,
// with the structure that start-up and the main frame rely on, and the
// Chinese bundle really is Chinese.

#include "base/LanguageResources.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <QtTest>

namespace {

const QString kBin = QStringLiteral(PROGRAM_BIN_DIR);

QList<int> Commands(const QList<MenuResourceItem>& menu)
{
    QList<int> ids;
    for (const MenuResourceItem& popup : menu) {
        ids.append(-1);
        for (const MenuResourceItem& item : popup.items)
            ids.append(item.separator ? 0 : item.id);
    }
    return ids;
}

bool HasHan(const QString& text)
{
    static const QRegularExpression han(QStringLiteral("\\p{Han}"));
    return text.contains(han);
}

} // namespace

class BundlesTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void sameIdsInBothLanguages();
    void structureStartupReliesOn();
    void englishTextsAsGiven();
    void chineseTextsAreChinese();
    void pictures_data();
    void pictures();
    void missingOrBrokenBundleDoesNotLoad();

private:
    CLanguageResources m_english;
    CLanguageResources m_chinese;
};

void BundlesTest::initTestCase()
{
    QVERIFY(m_english.Load(kBin + "/English.rcc"));
    QVERIFY(m_chinese.Load(kBin + "/Chinese.rcc"));
}

void BundlesTest::sameIdsInBothLanguages()
{
    for (const char* table : {"strings", "dialogs", "icons", "bitmaps", "cursors", "toolbars", "accelerators"}) {
        QCOMPARE(m_chinese.Tables().value(table).toObject().keys(), m_english.Tables().value(table).toObject().keys());
    }
    const QJsonObject english = m_english.Tables().value("dialogs").toObject();
    const QJsonObject chinese = m_chinese.Tables().value("dialogs").toObject();
    for (const QString& id : english.keys()) {
        QCOMPARE(chinese.value(id).toObject().value("controls").toObject().keys(),
                 english.value(id).toObject().value("controls").toObject().keys());
    }
    for (int menu : {128, 129})
        QCOMPARE(Commands(m_chinese.LoadMenu(menu)), Commands(m_english.LoadMenu(menu)));
}

void BundlesTest::structureStartupReliesOn()
{
    for (CLanguageResources* bundle : {&m_english, &m_chinese}) {
        const QList<MenuResourceItem> menu = bundle->LoadMenu(129);
        QCOMPARE(menu.size(), 6);
        QCOMPARE(menu.at(4).items.at(1).id, 32799);
        QCOMPARE(menu.at(5).items.at(0).id, 57667); // Help Topics above About
        QCOMPARE(menu.at(5).items.at(1).id, 57664);
        QCOMPARE(bundle->LoadMenu(128).size(), 3);
        // The eight of the table, Ctrl+Q and Ctrl+Shift+S, and Ctrl+Z, Ctrl+Y
        // and Ctrl+Shift+Z for Undo and Redo.
        QCOMPARE(bundle->LoadAccelerators(128).size(), 13);
        const ToolbarResource toolbar = bundle->LoadToolbar(128);
        QCOMPARE(toolbar.buttons, (QList<int>{57600, 57601, 57603, 0, 32773, 32774, 0, 57607, 0, 57664}));
        QCOMPARE(toolbar.button, QSize(18, 19));
        QCOMPARE(toolbar.strip.size(), QSize(7 * 18, 19));
        QCOMPARE(bundle->LoadString(129).split('\n').value(3), QStringLiteral("*.dat"));
        for (int id : {32777, 32780, 32786, 32787, 32788, 32799})
            QVERIFY(!bundle->HasString(id));
        for (int id = 61448; id <= 61458; ++id)
            QVERIFY(!bundle->LoadString(id).isEmpty());
    }
}

void BundlesTest::englishTextsAsGiven()
{
    const QMap<int, QString> expected = {
        {61448, "Out of range,please input again."},
        {61451, "Communication Error,Please check all the connections and the radio power"},
        {61452, "All data will be Cleared!"},
        {61453, "Could not Open the Port,Please check whether the Port are occupied or the device are ok"},
        {61454, "Program Interrupt, Please reset the radio and try again"},
        {61456, "Error data Value, please input according the step value(6.25K/5k)."},
        {61458, "Caution"},
        {32773, "Read Data From Radio\nRead"},
        {32774, "Write Data To Radio\nWrite"},
        {57345, "Ready"},
        {128, "Program"},
        {129, "\n\n\n*.dat\n.dat\nProgram.Document\nProgram Document"},
    };
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QCOMPARE(m_english.LoadString(it.key()), it.value());
    QCOMPARE(m_english.DialogCaption(131), QStringLiteral("Process"));
    QCOMPARE(m_english.DialogCaption(144), QStringLiteral("Port Setting"));
    QCOMPARE(m_english.DialogText(132, "1011"), QStringLiteral("Transmit Delay (s)"));
    QCOMPARE(m_english.DialogList(132, "1007"), (QStringList{"On", "Off"}));
}

void BundlesTest::chineseTextsAreChinese()
{
    const QJsonObject strings = m_chinese.Tables().value("strings").toObject();
    for (const QString& id : strings.keys()) {
        const QString text = strings.value(id).toString();
        if (id == "59137" || id.toInt() < 1000 || text.contains("Ctrl"))
            continue;
        QVERIFY2(HasHan(text), qPrintable(id + ": " + text));
    }
    for (const MenuResourceItem& popup : m_chinese.LoadMenu(129)) {
        QVERIFY2(HasHan(popup.text), qPrintable(popup.text));
        for (const MenuResourceItem& item : popup.items)
            QVERIFY2(item.separator || HasHan(item.text), qPrintable(item.text));
    }
    for (int dialog : {131, 132, 134, 136, 144})
        QVERIFY(HasHan(m_chinese.DialogCaption(dialog)));
}

void BundlesTest::pictures_data()
{
    QTest::addColumn<QString>("bundle");
    QTest::newRow("English") << "English";
    QTest::newRow("Chinese") << "Chinese";
}

void BundlesTest::pictures()
{
    QFETCH(QString, bundle);
    CLanguageResources& resources = bundle == "English" ? m_english : m_chinese;
    for (int icon : {128, 129, 131})
        QVERIFY(!resources.LoadIcon(icon).pixmap(16, 16).isNull());
    QCOMPARE(resources.LoadCursor(132).shape(), Qt::BitmapCursor);
    const QPixmap workspace = resources.LoadBitmap(137);
    QCOMPARE(workspace.size(), QSize(238, 157));
}

void BundlesTest::missingOrBrokenBundleDoesNotLoad()
{
    CLanguageResources resources;
    QVERIFY(!resources.Load(kBin + "/NoSuch.rcc"));
    QVERIFY(!resources.Load(kBin + "/Program.ini"));
    QVERIFY(!resources.IsLoaded());
    QCOMPARE(resources.LoadString(61452), QString());
}

QTEST_MAIN(BundlesTest)
#include "bundles_test.moc"
