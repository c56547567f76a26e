#include <functional>

#include <QDir>
#include <QtTest>

#include "fuzz/fuzzsupport.h"

KELVAROME_FUZZ_ENTRY(stlreader);
KELVAROME_FUZZ_ENTRY(slicer);
KELVAROME_FUZZ_ENTRY(jobfile);
KELVAROME_FUZZ_ENTRY(settingsfile);
KELVAROME_FUZZ_ENTRY(database);
KELVAROME_FUZZ_ENTRY(printeranswer);

namespace {

using Entry = std::function<int(const uint8_t *, size_t)>;

const QVector<QPair<QString, Entry>> HARNESSES = {
        {QStringLiteral("stlreader"), fuzz_stlreader},
        {QStringLiteral("slicer"), fuzz_slicer},
        {QStringLiteral("jobfile"), fuzz_jobfile},
        {QStringLiteral("settingsfile"), fuzz_settingsfile},
        {QStringLiteral("database"), fuzz_database},
        {QStringLiteral("printeranswer"), fuzz_printeranswer},
};

// The seeds and the inputs that once found a fault; a harness check that fails aborts the test
// with the harness's message, as it stopped the fuzzer.
const QStringList INPUT_FOLDERS = {QStringLiteral(SOURCE_DIR "/fuzz/corpus/"),
                                   QStringLiteral(SOURCE_DIR "/tests/data/fuzz/")};

} // namespace

// Every checked-in fuzzing input through its harness, without libFuzzer or sanitizers: a fix
// that comes undone shows here.
class TestFuzzReplay : public QObject
{
    Q_OBJECT

private slots:
    void replay_data();
    void replay();
};

void TestFuzzReplay::replay_data()
{
    QTest::addColumn<int>("harness");
    QTest::addColumn<QString>("path");
    int inputs = 0;
    for (int h = 0; h < HARNESSES.size(); ++h) {
        int seeds = 0;
        for (const QString &root : INPUT_FOLDERS) {
            const QDir folder(root + HARNESSES[h].first);
            for (const QString &name : folder.entryList(QDir::Files, QDir::Name)) {
                QTest::addRow("%s/%s", qPrintable(HARNESSES[h].first), qPrintable(name))
                        << h << folder.filePath(name);
                ++seeds;
            }
        }
        // Every harness has seeds of its own: a folder renamed on one side would go unnoticed.
        QVERIFY2(seeds > 0, qPrintable(HARNESSES[h].first));
        inputs += seeds;
    }
    QVERIFY(inputs > 0);
}

void TestFuzzReplay::replay()
{
    QFETCH(int, harness);
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
    const QByteArray bytes = file.readAll();
    QCOMPARE(HARNESSES[harness].second(reinterpret_cast<const uint8_t *>(bytes.constData()),
                                       size_t(bytes.size())),
             0);
}

QTEST_GUILESS_MAIN(TestFuzzReplay)
#include "tst_fuzzreplay.moc"
