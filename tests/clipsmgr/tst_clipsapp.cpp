// The application object's settings, message looks and scaling, in a HOME of its own so the
// user's real settings are never read or written.

#include "TestHome.h"
#include "clipsmgr/MessageLook.h"
#include "clipsmgr/VLMClipsApp.h"

#include <QDir>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

class TestClipsApp : public QObject {
    Q_OBJECT
public:
    explicit TestClipsApp(QString home) : home_(std::move(home)) {}

private slots:
    // Every case starts with nothing stored and no folders made.
    void init()
    {
        QSettings settings(VLMClipsApp::SettingsOrganisation, VLMClipsApp::SettingsApplication);
        settings.clear();
        settings.sync();
        const QDir home(home_);
        for (const QString& entry : home.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
            if (entry != ".config")
                QDir(home.filePath(entry)).removeRecursively();
        }
    }

    void settingsStayInsideTheTestHome()
    {
        QSettings settings(VLMClipsApp::SettingsOrganisation, VLMClipsApp::SettingsApplication);
        QVERIFY2(settings.fileName().startsWith(home_), qPrintable(settings.fileName()));
    }

    void defaultsWhenNothingIsStored()
    {
        VLMClipsApp* app = VLMClipsApp::instance();
        app->loadSettings();
        const QString movies = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
        QVERIFY(movies.startsWith(home_));
        QCOMPARE(app->ClipPath, movies + "/VLMV-Clips");
        QCOMPARE(app->ClipExportPath, movies + "/VLMV-Exports");
        QVERIFY(QFileInfo(app->ClipPath).isDir());
        QVERIFY(QFileInfo(app->ClipExportPath).isDir());
        QCOMPARE(app->PaintOptionsPath, app->ClipPath);
        QCOMPARE(app->ClipExportPrefix, QString("Img"));
        QCOMPARE(app->ClipFileType, 1);
        QCOMPARE(app->ClipOutputFps, 24);
        QCOMPARE(app->ClipCodecIdx, 0);
    }

    void storedFoldersAreCleanedAndCreated()
    {
        {
            QSettings settings(VLMClipsApp::SettingsOrganisation, VLMClipsApp::SettingsApplication);
            settings.setValue("ClipPath", home_ + "/a//b/../clips/");
            settings.setValue("ClipExportPath", home_ + "/x/./exports");
        }
        VLMClipsApp* app = VLMClipsApp::instance();
        app->loadSettings();
        QCOMPARE(app->ClipPath, home_ + "/a/clips");
        QCOMPARE(app->ClipExportPath, home_ + "/x/exports");
        QVERIFY(QFileInfo(app->ClipPath).isDir());
        QVERIFY(QFileInfo(app->ClipExportPath).isDir());
        // The paint folder follows the cleaned clip folder unless stored itself.
        QCOMPARE(app->PaintOptionsPath, home_ + "/a/clips");
    }

    void savedSettingsComeBack()
    {
        VLMClipsApp* app = VLMClipsApp::instance();
        app->loadSettings();
        app->ClipPath = home_ + "/mine";
        app->PaintOptionsPath = home_ + "/paint";
        app->ClipExportPath = home_ + "/out";
        app->ClipExportPrefix = "Take";
        app->ClipFileType = 3;
        app->ClipOutputFps = 60;
        app->ClipCodecIdx = 2;
        app->saveSettings();

        app->ClipPath.clear();
        app->ClipExportPrefix.clear();
        app->ClipFileType = app->ClipOutputFps = app->ClipCodecIdx = -1;
        app->loadSettings();
        QCOMPARE(app->ClipPath, home_ + "/mine");
        QVERIFY(QFileInfo(app->ClipPath).isDir());
        QCOMPARE(app->PaintOptionsPath, home_ + "/paint");
        QCOMPARE(app->ClipExportPath, home_ + "/out");
        QCOMPARE(app->ClipExportPrefix, QString("Take"));
        QCOMPARE(app->ClipFileType, 3);
        QCOMPARE(app->ClipOutputFps, 60);
        QCOMPARE(app->ClipCodecIdx, 2);
    }

    void messageLooks_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("defaultButton");
        const int ok = QMessageBox::Ok;
        const int yesNo = QMessageBox::Yes | QMessageBox::No;
        const int yesNoCancel = yesNo | QMessageBox::Cancel;
        QTest::newRow("plain") << 0 << QString() << ok << ok;
        QTest::newRow("info") << int(VLMClipsApp::MsgInfo) << ":/res/ico-inf.png" << ok << ok;
        QTest::newRow("warning outranks info")
            << (VLMClipsApp::MsgWarning | VLMClipsApp::MsgInfo) << ":/res/ico-wrn.png" << ok << ok;
        QTest::newRow("info outranks question")
            << (VLMClipsApp::MsgInfo | VLMClipsApp::MsgQuestion) << ":/res/ico-inf.png" << ok << ok;
        QTest::newRow("question yes/no") << (VLMClipsApp::MsgQuestion | VLMClipsApp::MsgYesNo) << ":/res/ico-qstn.png"
                                         << yesNo << int(QMessageBox::No);
        QTest::newRow("yes/no/cancel") << int(VLMClipsApp::MsgYesNoCancel) << QString() << yesNoCancel
                                       << int(QMessageBox::No);
        QTest::newRow("yes/no outranks cancel")
            << (VLMClipsApp::MsgYesNo | VLMClipsApp::MsgYesNoCancel) << QString() << yesNo << int(QMessageBox::No);
    }
    void messageLooks()
    {
        QFETCH(int, flags);
        const MessageLook look = messageLookForFlags(flags);
        QTEST(look.iconPath, "icon");
        QTEST(int(look.buttons), "buttons");
        QTEST(int(look.defaultButton), "defaultButton");
        if (!look.iconPath.isEmpty())
            QVERIFY(!QPixmap(look.iconPath).isNull());
    }

    void showMessageReturnsThePressedButton()
    {
        QTimer::singleShot(0, [] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            QCOMPARE(box->windowTitle(), QString("VLM Velmor Clips Manager"));
            QCOMPARE(static_cast<QAbstractButton*>(box->defaultButton()), box->button(QMessageBox::No));
            box->button(QMessageBox::Yes)->click();
        });
        const int pressed = VLMClipsApp::instance()->showMessage("Delete the current clip. Continue?",
                                                                 VLMClipsApp::MsgQuestion | VLMClipsApp::MsgYesNo);
        QCOMPARE(pressed, int(QMessageBox::Yes));
    }

    void lookAndScaleAppliesTheStyleSheet()
    {
        VLMClipsApp* app = VLMClipsApp::instance();
        app->applyLookAndScale();
        QVERIFY(app->styleSheet().contains("QPushButton"));
        QVERIFY(app->scaleFactor >= 1.0);
        app->scaleFactor = 1.5;
        QCOMPARE(app->scaled(51), 76);
        QCOMPARE(app->scaledMetrics()[1], 48);
        QWidget w;
        w.resize(100, 40);
        app->scaleWidget(&w, true);
        QCOMPARE(w.maximumSize(), QSize(150, 60));
        app->scaleFactor = 1.0;
    }

private:
    QString home_;
};

int main(int argc, char** argv)
{
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    useTestHome(home.path());
    VLMClipsApp app(argc, argv);
    TestClipsApp test(home.path());
    return QTest::qExec(&test, argc, argv);
}

#include "tst_clipsapp.moc"
