// The program's file type as the desktop sees it: the shared-mime-info
// package in packaging/ (laid out as an installed one by the test) makes a
// file that starts with "T593" ours whatever its name, and a *.dat file ours
// by its name; the desktop entry offers the program for that type only.
// (A *.dat of another program that reaches the program anyway is refused
// with "Data Format Error", see the start-up test.)

#include <QFile>
#include <QMimeDatabase>
#include <QTemporaryDir>
#include <QtTest>

class MimeTypeTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void dataFilesByContent_data();
    void dataFilesByContent();
    void desktopEntryNamesOnlyTheOwnType();

private:
    QTemporaryDir m_dir;
};

namespace {

constexpr const char* kType = "application/x-radio-programmer-data";

} // namespace

void MimeTypeTest::initTestCase()
{
    // The MIME package as it lies after an install, ahead of the system's.
    QVERIFY(QDir().mkpath(m_dir.path() + "/share/mime/packages"));
    QVERIFY(QFile::copy(QStringLiteral(PROGRAM_SOURCE_DIR "/packaging/radio-programmer.xml"),
                        m_dir.path() + "/share/mime/packages/radio-programmer.xml"));
    const QByteArray system =
        qgetenv("XDG_DATA_DIRS").isEmpty() ? "/usr/local/share:/usr/share" : qgetenv("XDG_DATA_DIRS");
    qputenv("XDG_DATA_DIRS", (m_dir.path() + "/share:").toLocal8Bit() + system);
    QVERIFY(QMimeDatabase().mimeTypeForName(kType).isValid());
}

void MimeTypeTest::dataFilesByContent_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("ours");

    const QByteArray image = QByteArray("T593", 4) + QByteArray(12, '\0') + QByteArray(1024, '\xFF');
    QTest::newRow("data file") << "radio.dat" << image << true;
    QTest::newRow("data file in capitals") << "RADIO.DAT" << image << true;
    QTest::newRow("data file without extension") << "radio" << image << true;
    QTest::newRow("other file, no name hint") << "other" << QByteArray(1040, '\x01') << false;
    QTest::newRow("magic one byte off, no name hint") << "near" << (QByteArray("T594") + image.mid(4)) << false;
}

void MimeTypeTest::dataFilesByContent()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(bool, ours);

    const QString path = m_dir.path() + '/' + name;
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    QCOMPARE(QMimeDatabase().mimeTypeForFile(path).name() == kType, ours);
}

void MimeTypeTest::desktopEntryNamesOnlyTheOwnType()
{
    QFile entry(QStringLiteral(PROGRAM_SOURCE_DIR "/packaging/radio-programmer.desktop.in"));
    QVERIFY(entry.open(QIODevice::ReadOnly));
    QStringList types;
    for (const QByteArray& line : entry.readAll().split('\n')) {
        if (line.startsWith("MimeType="))
            types += QString::fromUtf8(line.mid(9)).split(';', Qt::SkipEmptyParts);
    }
    QCOMPARE(types, QStringList{kType});
}

QTEST_GUILESS_MAIN(MimeTypeTest)
#include "mimetype_test.moc"
