#include "catalogue.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

namespace {

const QByteArray trace = "main-1\nmain0\nmain1\nmain2\nmain3\n";

// Starts the program, reads what it printed up to the fifth line, then ends it. With an
// installLog, the program runs with the translator probe, which writes there the language of
// each translator the program installs.
QByteArray traceOf(const QStringList& arguments, const QString& directory = QDir::currentPath(),
                   const QString& lang = QString(), const QString& installLog = QString())
{
    QProcess program;
    program.setWorkingDirectory(directory);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!lang.isEmpty()) {
        env.insert("LANG", lang);
        env.insert("LC_ALL", lang);
    }
    if (!installLog.isEmpty()) {
        env.insert("JB_INSTALLED_TRANSLATORS", installLog);
        const QString preload = env.value("LD_PRELOAD");
        env.insert("LD_PRELOAD", JB_TRANSLATOR_PROBE + (preload.isEmpty() ? "" : ":" + preload));
        // In a sanitized build ASan wants its runtime first; the probe only wraps one call.
        const QString asan = env.value("ASAN_OPTIONS");
        env.insert("ASAN_OPTIONS", (asan.isEmpty() ? "" : asan + ":") + "verify_asan_link_order=0");
    }
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::SeparateChannels);
    program.start(JB_PROGRAM, arguments);
    if (!program.waitForStarted())
        return "not started";
    QByteArray out;
    while (out.count('\n') < 5 && program.state() == QProcess::Running)
        if (program.waitForReadyRead(30000))
            out += program.readAllStandardOutput();
        else
            break;
    // A moment more, so that a sixth line would show; then end it as a user would not.
    program.waitForReadyRead(300);
    out += program.readAllStandardOutput();
    program.kill();
    program.waitForFinished();
    return out;
}

bool makeCatalogue(const QString& directory, const QString& base)
{
    const QString source = directory + "/" + base + ".ts";
    QFile ts(source);
    if (!ts.open(QIODevice::WriteOnly))
        return false;
    ts.write("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
             "<!DOCTYPE TS>\n<TS version=\"2.1\" language=\"de\">\n<context><name>Probe</name>\n"
             "<message><source>Hello</source><translation>Hallo</translation></message>\n"
             "</context>\n</TS>\n");
    ts.close();
    return QProcess::execute(JB_LRELEASE, {"-silent", source, "-qm", directory + "/" + base + ".qm"}) == 0;
}

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void printsExactlyTheFiveTraceLines()
    {
        QCOMPARE(traceOf({"-platform", "offscreen"}), trace);
    }

    void leavesEveryArgumentToTheToolkit()
    {
        QCOMPARE(traceOf({"-platform", "offscreen", "--no-such-option", "stray"}), trace);
    }

    void startsWithoutACatalogue()
    {
        QTemporaryDir empty;
        QCOMPARE(traceOf({"-platform", "offscreen"}, empty.path(), "de_DE.UTF-8"), trace);
    }

    void installsTheCatalogueOfItsLocaleFromItsWorkingDirectory()
    {
        QTemporaryDir dir;
        QVERIFY(makeCatalogue(dir.path(), "qjellybox.de"));
        const QString log = dir.filePath("installed");
        auto installed = [&log] {
            QFile file(log);
            const QByteArray languages = file.open(QIODevice::ReadOnly) ? file.readAll() : "";
            file.remove();
            return languages;
        };
        QCOMPARE(traceOf({"-platform", "offscreen"}, dir.path(), "de_DE.UTF-8", log), trace);
        QCOMPARE(installed(), QByteArray("de\n"));
        // Another locale leaves it alone (whether or not an empty translator is installed).
        QCOMPARE(traceOf({"-platform", "offscreen"}, dir.path(), "fr_FR.UTF-8", log), trace);
        QCOMPARE(installed().trimmed(), QByteArray());
    }

    void catalogueIsFoundForTheMatchingLocale()
    {
        QTemporaryDir dir;
        QVERIFY(makeCatalogue(dir.path(), "qjellybox.de"));

        QTranslator exact;
        QVERIFY(loadCatalogue(exact, "de", dir.path()));
        QCOMPARE(exact.translate("Probe", "Hello"), QString("Hallo"));

        // Qt drops the territory: de_DE finds qjellybox.de.qm.
        QTranslator withTerritory;
        QVERIFY(loadCatalogue(withTerritory, "de_DE", dir.path()));
        QCOMPARE(withTerritory.translate("Probe", "Hello"), QString("Hallo"));

        QTranslator other;
        QVERIFY(!loadCatalogue(other, "fr_FR", dir.path()));
        QVERIFY(other.isEmpty());

        // By default the catalogue is looked for in the working directory.
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        QTranslator here;
        const bool found = loadCatalogue(here, "de_CH");
        QDir::setCurrent(before);
        QVERIFY(found);
    }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
