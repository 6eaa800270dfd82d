// File > Import Channels... and Export Channels... in the running program:
// a good file changes the grid and marks the document, a bad one lists every
// bad cell and changes nothing, and what is exported comes back unchanged.

#include "GuiTestSupport.h"

#include "app/ProgramApp.h"
#include "base/Globals.h"
#include "base/ResourceIds.h"
#include "channels/CsvErrorsDlg.h"
#include "channels/ProgramView.h"
#include "core/channels/ChannelCodec.h"
#include "core/channels/ChannelCsv.h"
#include "core/document/DataFile.h"
#include "document/ProgramDoc.h"
#include "frame/ChildFrame.h"
#include "frame/MainFrame.h"

#include <QFile>
#include <QMenu>
#include <QTimer>
#include <QtTest>

namespace {

// Channels both layouts can say: a repeater pair, a split pair, a receive
// frequency only, CTCSS and DCS on either side, and busy lock Off.
RadioImage SampleImage()
{
    const std::string csv = "CH,Rx Frequency,Tx Frequency,QT/DQT Dec,QT/DQT Enc,W/N,Scan,Busy Lock,Power\n"
                            "1,146.52,146.52,None,None,Wide,Yes,Off,High\n"
                            "2,145.5,144.9,67.0,100.0,Narrow,No,Off,Low\n"
                            "5,150.00625,173.5,D023I,D023N,Wide,Yes,Off,High\n"
                            "9,160.5,,None,D754N,Wide,No,Off,Low\n";
    RadioImage image = MakeNewImage();
    std::vector<CsvError> errors;
    ImportChannelsCsv(csv, MakeNewImage(), std::nullopt, image, errors);
    image[ImageMap::kRadioType] = 0; // QM-350, 136 - 174 MHz
    image[ImageMap::kBandIndex] = 0;
    return image;
}

QByteArray DataFileBytes(const RadioImage& image)
{
    const std::vector<std::uint8_t> bytes = SerializeDataFile(image);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()));
}

} // namespace

class ChannelCsvTest : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void fileMenuHoldsTheCommands_data();
    void fileMenuHoldsTheCommands();
    void importOfAGoodFileChangesTheGridAndMarksTheDocument();
    void importOfABadFileListsEveryCellAndChangesNothing();
    void exportThenImportGivesTheSameGrid_data();
    void exportThenImportGivesTheSameGrid();
    void exportNotesTransmitOnlyChannels();

private:
    void Start(const RadioImage& image, const char* language = "English");
    void Run(int id) { m_frame->OnCommand(id); }
    CProgramDoc* Document() const { return m_view->GetDocument(); }

    std::unique_ptr<CTestInstall> m_install;
    CMainFrame* m_frame = nullptr;
    CProgramView* m_view = nullptr;
};

void ChannelCsvTest::cleanup()
{
    m_install.reset();
    m_frame = nullptr;
    m_view = nullptr;
}

void ChannelCsvTest::Start(const RadioImage& image, const char* language)
{
    m_install = std::make_unique<CTestInstall>(kEverything, ShippedIniWith("Setup", "Language", language).constData());
    m_install->WriteFile("radio.dat", DataFileBytes(image));
    QVERIFY(m_install->Start({m_install->File("radio.dat")}));
    m_frame = m_install->App()->MainFrame();
    m_frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_frame));
    m_view = m_frame->MDIGetActive()->GetActiveView();
}

void ChannelCsvTest::fileMenuHoldsTheCommands_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("import");
    QTest::addColumn<QString>("exportText");
    QTest::newRow("English") << "English"
                             << "&Import Channels..."
                             << "Expor&t Channels...";
    QTest::newRow("Chinese") << "Chinese" << QString::fromUtf8("导入信道(&I)...")
                             << QString::fromUtf8("导出信道(&T)...");
}

void ChannelCsvTest::fileMenuHoldsTheCommands()
{
    QFETCH(QString, language);
    QFETCH(QString, import);
    QFETCH(QString, exportText);
    Start(SampleImage(), language.toUtf8().constData());
    const QList<QAction*> items = m_frame->CurrentMenu().at(0)->actions();
    QStringList texts;
    for (QAction* action : items)
        texts << action->text();
    const int saveAs = static_cast<int>(texts.indexOf(QRegularExpression(QStringLiteral(".*\\(?&A\\)?.*"))));
    QVERIFY(saveAs >= 0);
    QCOMPARE(texts.at(saveAs + 1), import);
    QCOMPARE(texts.at(saveAs + 2), exportText);
    QVERIFY(!items.at(saveAs + 1)->statusTip().isEmpty());
    QVERIFY(!items.at(saveAs + 2)->statusTip().isEmpty());

    // No two items of the menu share a mnemonic.
    QSet<QChar> mnemonics;
    for (const QString& text : texts) {
        const int amp = static_cast<int>(text.indexOf('&'));
        if (amp < 0)
            continue;
        const QChar key = text.at(amp + 1).toUpper();
        QVERIFY2(!mnemonics.contains(key), qPrintable(text));
        mnemonics.insert(key);
    }
}

void ChannelCsvTest::importOfAGoodFileChangesTheGridAndMarksTheDocument()
{
    Start(SampleImage());
    const ChannelTable before = m_view->GridTexts();
    QVERIFY(!Document()->IsModified());
    m_install->WriteFile("list.csv", "Location;Frequency;Duplex;Offset;Tone;rToneFreq\r\n"
                                     " 3 ; 146,52 ;-;0,6;Tone;88.5\r\n");
    m_install->prompter.fileNames << m_install->File("list.csv");
    Run(Ids::ID_FILE_IMPORT_CHANNELS);

    // The grid shows the transmit side (device mode 2).
    ChannelTable expected = before;
    expected[3] = {" 3", "", "145.92000", "", "88.5", "Wide", "No", "Off", "High"};
    QCOMPARE(m_view->GridTexts(), expected);
    QVERIFY(Document()->IsModified());
    QCOMPARE(QString::fromStdString(DecodeFrequency(Document()->Image(), 3, FrequencySide::Receive)),
             QStringLiteral("146.52000"));
    QVERIFY(m_install->prompter.messages.isEmpty());
}

void ChannelCsvTest::importOfABadFileListsEveryCellAndChangesNothing()
{
    Start(SampleImage());
    const ChannelTable before = m_view->GridTexts();
    const RadioImage imageBefore = Document()->Image();
    m_install->WriteFile("bad.csv", "CH,Rx Frequency,Tx Frequency\n"
                                    "1,146.123456,146.5\n"
                                    "2,400,146.5\n"
                                    "17,146.5,146.5\n"
                                    "3,146.5,146.5\n");
    m_install->prompter.fileNames << m_install->File("bad.csv");
    QString list;
    bool shown = false;
    QTimer::singleShot(0, this, [&] {
        auto* dialog = qobject_cast<CCsvErrorsDlg*>(QApplication::activeModalWidget());
        shown = dialog != nullptr;
        if (dialog) {
            list = dialog->ListText();
            dialog->accept();
        }
    });
    Run(Ids::ID_FILE_IMPORT_CHANNELS);
    QVERIFY(shown);
    QCOMPARE(list, QStringLiteral("2:2: frequency 146.123456 is not a whole number of 10 Hz\n"
                                  "3:2: frequency 400.00000 is outside the band\n"
                                  "4:1: channel \"17\" is not a number from 1 to 16"));
    QCOMPARE(m_view->GridTexts(), before);
    QVERIFY(Document()->Image() == imageBefore);
    QVERIFY(!Document()->IsModified());
}

void ChannelCsvTest::exportThenImportGivesTheSameGrid_data()
{
    QTest::addColumn<int>("filter");
    QTest::addColumn<int>("mode");
    for (int mode : {1, 2}) {
        QTest::addRow("own, mode %d", mode) << 0 << mode;
        QTest::addRow("interchange, mode %d", mode) << 1 << mode;
    }
}

void ChannelCsvTest::exportThenImportGivesTheSameGrid()
{
    QFETCH(int, filter);
    QFETCH(int, mode);
    Start(SampleImage());
    g_nDeviceMode = mode;
    m_view->ImageToGrid();
    const ChannelTable before = m_view->GridTexts();

    m_install->prompter.fileNames << m_install->File("out");
    m_install->prompter.filterChoices << filter;
    Run(Ids::ID_FILE_EXPORT_CHANNELS);
    const ChannelCsvLayout layout = filter == 1 ? ChannelCsvLayout::Interchange : ChannelCsvLayout::Own;
    // Both sides, whatever the grid shows: the file program-cli writes.
    QCOMPARE(ReadBytes(m_install->File("out.csv")).toStdString(), ExportChannelsCsv(SampleImage(), false, layout).csv);

    m_install->prompter.fileNames << m_install->File("out.csv");
    Run(Ids::ID_FILE_IMPORT_CHANNELS);
    QCOMPARE(m_view->GridTexts(), before);
    QVERIFY(Document()->Image() == SampleImage());
    QVERIFY(!Document()->IsModified());
    QVERIFY(m_install->prompter.messages.isEmpty());
}

void ChannelCsvTest::exportNotesTransmitOnlyChannels()
{
    RadioImage image = SampleImage();
    EncodeFrequency(image, 7, FrequencySide::Transmit, "150");
    Start(image);
    m_install->prompter.fileNames << m_install->File("out.csv");
    m_install->prompter.filterChoices << 1;
    Run(Ids::ID_FILE_EXPORT_CHANNELS);
    QCOMPARE(m_install->prompter.messages.size(), 1);
    QVERIFY(m_install->prompter.messages.at(0).text.startsWith(QStringLiteral("Channels 7 have a transmit")));
    QVERIFY(ReadBytes(m_install->File("out.csv")).contains("\n7,,150.000000,,0.000000,"));
}

QTEST_MAIN(ChannelCsvTest)
#include "channel_csv_test.moc"
