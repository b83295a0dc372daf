// The control program's settings rules, its translations as the program finds them, and its
// command line.
#include "control/app/ControlCommandLine.h"
#include "control/app/ControlSettings.h"
#include "control/app/Translations.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

class TestControlSettings : public QObject {
    Q_OBJECT

    static QSettings stored() { return QSettings(QStringLiteral("KVX"), QStringLiteral("Recorder")); }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        // The program's own name must not decide where the settings are.
        QCoreApplication::setOrganizationName(QStringLiteral("Elsewhere"));
        QCoreApplication::setApplicationName(QStringLiteral("VLM Velmor Control"));
    }
    void init() { stored().clear(); }

    void startValuesIgnoreTheStoredModes()
    {
        {
            QSettings s = stored();
            s.setValue(QStringLiteral("Settings/OpMode"), 2);
            s.setValue(QStringLiteral("Settings/Link"), 1);
            s.setValue(QStringLiteral("Settings/Language"), 3);
            s.setValue(QStringLiteral("Settings/NetAdapterName"), QString());
            s.setValue(QStringLiteral("Settings/PlaybackSpeed"), 0.4);
        }
        const ControlSettings loaded = ControlSettings::load();
        QCOMPARE(loaded.operatorMode, 0); // always starts in full control
        QCOMPARE(loaded.link, 0);
        QCOMPARE(loaded.language, 3);
        QCOMPARE(loaded.adapterName, QStringLiteral("*ALL*"));
        QCOMPARE(loaded.playbackSpeed, 0.4);

        // Nonsense stored by hand falls back to the defaults.
        stored().setValue(QStringLiteral("Settings/Language"), 9);
        stored().setValue(QStringLiteral("Settings/PlaybackSpeed"), QStringLiteral("fast"));
        QCOMPARE(ControlSettings::load().language, 0);
        QCOMPARE(ControlSettings::load().playbackSpeed, 0.1);
    }

    void savingWritesAllFiveKeysUnderTheFixedNames()
    {
        ControlSettings s;
        s.link = 1;
        s.operatorMode = 2;
        s.adapterName = QStringLiteral("eth1");
        s.playbackSpeed = 0.8;
        s.save();
        const QSettings read = stored();
        QVERIFY(read.fileName().endsWith(QStringLiteral("KVX/Recorder.conf")));
        QCOMPARE(read.value(QStringLiteral("Settings/Link")).toInt(), 1);
        QCOMPARE(read.value(QStringLiteral("Settings/OpMode")).toInt(), 2);
        QCOMPARE(read.value(QStringLiteral("Settings/Language")).toInt(), 0);
        QCOMPARE(read.value(QStringLiteral("Settings/NetAdapterName")).toString(), QStringLiteral("eth1"));
        QCOMPARE(read.value(QStringLiteral("Settings/PlaybackSpeed")).toDouble(), 0.8);
        // Nothing went to a file named after the application.
        QVERIFY(QSettings().allKeys().isEmpty());
    }

    // The build puts the compiled files into "Languages" beside this test as beside the
    // program; each language must load from there and translate a text the user sees.
    void eachLanguageIsFoundAndTranslates()
    {
        const QString english = QStringLiteral("Disconnected (Time out)");
        QStringList seen;
        for (int language = 1; language <= 3; ++language) {
            QTranslator translator;
            QVERIFY2(Translations::install(translator, language), qPrintable(Translations::baseName(language)));
            const QString translated = QCoreApplication::translate("UdpInterface", "Disconnected (Time out)");
            QCoreApplication::removeTranslator(&translator);
            QVERIFY(!translated.isEmpty());
            QVERIFY2(translated != english, qPrintable(translated));
            seen.append(translated);
        }
        QCOMPARE(QSet<QString>(seen.begin(), seen.end()).size(), 3);
        QVERIFY(seen[2].contains(QRegularExpression(QStringLiteral("[\\x{3040}-\\x{30ff}\\x{4e00}-\\x{9fff}]"))));
        QTranslator none;
        QVERIFY(!Translations::install(none, 0));
    }

    // Every text of the program is translated in every file: nothing left unfinished or empty.
    void translationFilesAreComplete()
    {
        const QDir folder(qEnvironmentVariable("VLM_SOURCE_DIR") + QStringLiteral("/control/ui/translations"));
        for (const char* ts : {"Lumarex_de.ts", "Lumarex_it.ts", "Lumarex_jp.ts"}) {
            const QString name = QString::fromLatin1(ts);
            QFile file(folder.filePath(name));
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
            QXmlStreamReader xml(&file);
            int messages = 0;
            QString source;
            while (!xml.atEnd()) {
                if (xml.readNext() != QXmlStreamReader::StartElement)
                    continue;
                if (xml.name() == u"source") {
                    source = xml.readElementText();
                } else if (xml.name() == u"translation") {
                    const bool unfinished = !xml.attributes().value(QStringLiteral("type")).isEmpty();
                    const QString text = xml.readElementText();
                    QVERIFY2(!unfinished && !text.isEmpty(), qPrintable(name + ": " + source));
                    ++messages;
                }
            }
            QVERIFY(!xml.hasError());
            QVERIFY(messages > 40);
        }
    }

    // Only "enable" switches developer mode on; an unknown option fails the parse.
    void commandLineDeveloperSwitch()
    {
        const auto developer = [](const QStringList& arguments, bool* parsed) {
            QCommandLineParser parser;
            const QCommandLineOption option = ControlCommandLine::addOptions(parser);
            *parsed = parser.parse(QStringList{QStringLiteral("VLMVelControl")} + arguments);
            return ControlCommandLine::developerMode(parser, option);
        };
        bool parsed = false;
        QVERIFY(developer({"-d", "enable"}, &parsed) && parsed);
        QVERIFY(developer({"--developer=enable"}, &parsed) && parsed);
        QVERIFY(!developer({"-d", "Enable"}, &parsed) && parsed);
        QVERIFY(!developer({}, &parsed) && parsed);
        QVERIFY(!developer({"--unknown"}, &parsed) && !parsed);
    }
};

QTEST_GUILESS_MAIN(TestControlSettings)
#include "tst_control_settings.moc"
